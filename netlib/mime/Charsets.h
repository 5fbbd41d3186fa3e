#pragma once
// The character sets a received text can declare, and their conversion to the code page the
// windows show (Windows-1252). For display only: a message's own bytes are never changed.
#include <string>
#include <string_view>

// Whether the charset is one whose texts can be shown converted (names compared without regard
// to case, quotes and surrounding blanks ignored).
bool IsKnownCharset(std::string_view charset);

// Bytes of the named charset as Windows-1252 bytes; a character that has no place there becomes
// "?". Bytes of an unnamed or unknown charset stay as they are: that is how they were always
// shown, and most such mails are Latin-1 or plain ASCII.
std::string ToWindowCodePage(std::string_view charset, std::string_view bytes);

// The charset an HTML document names for itself in a <meta> tag near its start ("<meta
// charset=...>" or a Content-Type in "content"); empty when it names none.
std::string HtmlMetaCharset(std::string_view document);
