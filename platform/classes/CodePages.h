#pragma once
// Text encodings at the display boundary: texts are Windows-1252 bytes everywhere inside the
// program and become Unicode only where Qt shows them (and back where Qt hands them in).
#include <QString>
#include <string>
#include <string_view>

// Windows-1252 bytes to Unicode and back (characters Windows-1252 lacks become '?').
QString Cp1252ToUnicode(std::string_view Bytes);
std::string UnicodeToCp1252(const QString& Text);
// Code page 437 (the terminal font's character set) to Unicode.
QString Cp437ToUnicode(std::string_view Bytes);
