#pragma once
// Letters and case of the program's Windows-1252 characters, for the edits that convert or check
// what is typed: ASCII and the accented Latin letters convert both ways (ä and Ä), ß, µ, ª and º
// are letters without a partner of the other case.
#include <string>

bool IsAnsiLetter(char C);
bool IsAnsiDigit(char C);
char AnsiUpperChar(char C);
char AnsiLowerChar(char C);
std::string AnsiUpperCase(std::string Text);
std::string AnsiLowerCase(std::string Text);
