#include "netlib/mime/MimeHeaders.h"

#include <algorithm>

#include "netlib/mime/Limits.h"

namespace IpMimeHeaders {

namespace {
char Lower(char c) {
    return c >= 'A' && c <= 'Z' ? char(c + 32) : c;
}
bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}
}  // namespace

std::vector<Field> GroupFields(const std::vector<std::string>& lines) {
    std::vector<Field> fields;
    for (const auto& line : lines) {
        if (line.empty()) continue;
        if (IsBlank(line[0]) && !fields.empty())
            fields.back().Lines.push_back(line);
        else
            fields.push_back(Field{{line}});
    }
    return fields;
}

bool StartsWithNoCase(std::string_view s, std::string_view prefix) {
    if (s.size() < prefix.size()) return false;
    for (size_t i = 0; i < prefix.size(); ++i)
        if (Lower(s[i]) != Lower(prefix[i])) return false;
    return true;
}

bool EqualsNoCase(const std::string& a, const std::string& b) {
    return a.size() == b.size() && StartsWithNoCase(a, b);
}

std::string LowerCase(std::string s) {
    std::transform(s.begin(), s.end(), s.begin(), Lower);
    return s;
}

namespace {
// "Subject: " as the field's name up to its colon ("Subject:"); any other name as it is.
std::string_view UpToColon(std::string_view name) {
    if (name.size() >= 2 && name.back() == ' ' && name[name.size() - 2] == ':')
        name.remove_suffix(1);
    return name;
}
}  // namespace

bool Matches(const Field& field, std::string_view name) {
    return StartsWithNoCase(field.Lines.front(), UpToColon(name));
}

std::string FirstLineValue(const Field& field, std::string_view name) {
    const std::string& line = field.Lines.front();
    size_t at = std::min(UpToColon(name).size(), line.size());
    if (at < name.size() && at < line.size() && IsBlank(line[at])) ++at;
    return line.substr(at);
}

std::string Value(const Field& field, std::string_view name) {
    std::string value = FirstLineValue(field, name);
    for (size_t i = 1; i < field.Lines.size(); ++i) value += field.Lines[i];
    return value;
}

std::string TrimBlanks(const std::string& s) {
    size_t b = 0, e = s.size();
    while (b < e && IsBlank(s[b])) ++b;
    while (e > b && IsBlank(s[e - 1])) --e;
    return s.substr(b, e - b);
}

std::vector<std::string> SplitOutsideQuotes(const std::string& value, char sep) {
    std::vector<std::string> pieces;
    std::string piece;
    bool quoted = false;
    for (size_t i = 0; i < value.size(); ++i) {
        char c = value[i];
        if (quoted && c == '\\' && i + 1 < value.size()) {
            piece += c;
            piece += value[++i];
            continue;
        }
        if (c == '"') quoted = !quoted;
        if (c == sep && !quoted) {
            pieces.push_back(piece);
            piece.clear();
        } else {
            piece += c;
        }
    }
    pieces.push_back(piece);
    return pieces;
}

std::string QuoteIfNeeded(const std::string& value) {
    static const std::string special = " \t()<>@,;:\\\"/[]?=";
    if (!value.empty() && value.find_first_of(special) == std::string::npos) return value;
    // Decoding removes every double quote, so none can be inside; backslashes stay as they are
    // (file names with Windows paths carry them unescaped).
    std::string out = "\"";
    for (char c : value)
        if (c != '"') out += c;
    out += '"';
    return out;
}

void FoldItems(std::vector<std::string>& out, const std::string& name,
               const std::vector<std::string>& items, const std::string& sep, bool onePerLine) {
    std::string line = name;
    bool lineHasItem = false;
    for (size_t i = 0; i < items.size(); ++i) {
        if (lineHasItem && int64_t(line.size() + items[i].size()) > MimeLimits::kHeaderFoldLength) {
            out.push_back(line);
            line.assign(1, '\t');
        }
        line += items[i];
        lineHasItem = true;
        if (i + 1 < items.size()) {
            line += sep;
            if (onePerLine) {
                out.push_back(line);
                line.assign(1, '\t');
                lineHasItem = false;
            }
        }
    }
    out.push_back(line);
}

}  // namespace IpMimeHeaders
