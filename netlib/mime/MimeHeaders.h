#pragma once
// Header-line helpers shared by the entity and the message: grouping raw lines into fields,
// reading values, splitting parameter lists and folding long list headers.
#include <string>
#include <string_view>
#include <vector>

namespace IpMimeHeaders {

// One header field: its first line and its continuation lines, as received.
struct Field {
    std::vector<std::string> Lines;
};

// Groups raw header lines into fields; a line that begins with a blank or a tab continues the
// field before it. Empty lines are skipped.
std::vector<Field> GroupFields(const std::vector<std::string>& lines);

// Whether the field's first line begins with name (compared without regard to case). A name
// written with its colon and blank ("Subject: ") matches without the blank too: RFC 5322 has
// none after the colon ("Subject:Hello"), and a field written so is no less there.
bool Matches(const Field& field, std::string_view name);
// The rest of the field's first line after name (its blank, when the line has one there; one
// blank or tab, any further white space belongs to the value).
std::string FirstLineValue(const Field& field, std::string_view name);
// The first line's value with the continuation lines appended as they stand (their leading
// white space serves as separator).
std::string Value(const Field& field, std::string_view name);

bool StartsWithNoCase(std::string_view s, std::string_view prefix);
bool EqualsNoCase(const std::string& a, const std::string& b);
std::string LowerCase(std::string s);
// Removes leading and trailing blanks and tabs.
std::string TrimBlanks(const std::string& s);
// Splits at sep where it stands outside double quotes; pieces are not trimmed.
std::vector<std::string> SplitOutsideQuotes(const std::string& value, char sep);
// A parameter value as written, or quoted when it holds blanks or special characters.
std::string QuoteIfNeeded(const std::string& value);

// Folds items onto header lines that start with name: a line that would grow past the fold
// length is ended and the next one starts with a tab. sep follows every item but the last;
// with onePerLine every item ends its line.
void FoldItems(std::vector<std::string>& out, const std::string& name,
               const std::vector<std::string>& items, const std::string& sep, bool onePerLine);

}  // namespace IpMimeHeaders
