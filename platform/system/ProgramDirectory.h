#pragma once
// Where the program lives.
#include <string>

// The program's directory with a trailing '/': $KESTRO_HOME when set and not empty, else the
// directory of the executable (/proc/self/exe).
std::string ProgramDirectory();
// The full path of the executable (/proc/self/exe resolved); empty when it cannot be read.
std::string ProgramFileName();
