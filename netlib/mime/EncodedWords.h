#pragma once
// Header texts as people read them: the encoded words of RFC 2047 ("=?iso-8859-1?q?f=FCr?=")
// decoded into the code page the windows show. For display only: the header as stored is not
// changed.
#include <string>
#include <string_view>

// The value with every well-formed encoded word (B or Q, in a charset the windows can show)
// decoded. White space between two encoded words is dropped, and adjacent words of one charset
// are joined before conversion (a character may be split across them). Words that are not
// well-formed, or of an unknown charset, stay as written; control characters a word carries
// become blanks, so a decoded text stays one line.
std::string DecodeEncodedWords(std::string_view value);
