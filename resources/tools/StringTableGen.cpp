// Build-time generator: turns the text tables of resources/strings/ into a C++ source with the
// program's string resources.
//
//   StringTableGen <output.cpp> <table files...>
//
// A table file holds one "id<TAB>text" line per entry (UTF-8; lines starting with "#" and empty
// lines are skipped). Its name up to the first "." is the resource name; the rest says the kind:
//   NAME.str0.txt   a binary "STR0" table: "STR0", entry count, entries of (id, byte offset,
//                   length in UTF-16 code units) in ascending id order, then the UTF-16LE texts;
//                   all numbers 32-bit little-endian.
//   NAME.table.txt  a message table of (id, UTF-8 text) rows kept in file order.
//   NAME.bin        a binary resource made by another generator, compiled in as it is.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <map>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

struct Row {
    int32_t Id;
    std::string Text;
};

struct Table {
    std::string Name;
    bool Str0 = false;
    bool Binary = false;
    std::vector<Row> Rows;
    std::vector<uint8_t> Bytes;  // a binary resource
};

[[noreturn]] void Fail(const std::string& where, const std::string& what) {
    throw std::runtime_error(where + ": " + what);
}

Table ReadTable(const std::filesystem::path& path) {
    const std::string file = path.filename().string();
    const size_t dot = file.find('.');
    Table table;
    table.Name = file.substr(0, dot);
    const std::string kind = dot == std::string::npos ? std::string() : file.substr(dot);
    if (kind == ".str0.txt")
        table.Str0 = true;
    else if (kind == ".bin")
        table.Binary = true;
    else if (kind != ".table.txt")
        Fail(file, "unknown kind (want NAME.str0.txt, NAME.table.txt or NAME.bin)");

    std::ifstream in(path, std::ios::binary);
    if (!in) Fail(file, "cannot open");
    if (table.Binary) {
        table.Bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
        return table;
    }
    std::string line;
    int lineNo = 0;
    while (std::getline(in, line)) {
        ++lineNo;
        const std::string where = file + ":" + std::to_string(lineNo);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.empty() || line[0] == '#') continue;
        const size_t tab = line.find('\t');
        if (tab == std::string::npos) Fail(where, "no tab between id and text");
        const std::string id = line.substr(0, tab);
        size_t used = 0;
        long long value = 0;
        try {
            value = std::stoll(id, &used);
        } catch (const std::exception&) {
            used = 0;
        }
        if (used != id.size() || id.empty() || value < INT32_MIN || value > INT32_MAX)
            Fail(where, "bad id '" + id + "'");
        table.Rows.push_back({int32_t(value), line.substr(tab + 1)});
    }
    return table;
}

// UTF-8 to UTF-16 code units; invalid sequences are refused so no table carries mojibake.
std::vector<uint16_t> ToUtf16(const std::string& text, const std::string& where) {
    std::vector<uint16_t> out;
    for (size_t i = 0; i < text.size();) {
        const auto lead = uint8_t(text[i]);
        uint32_t cp = 0;
        size_t extra = 0;
        if (lead < 0x80) {
            cp = lead;
        } else if ((lead & 0xE0) == 0xC0) {
            cp = lead & 0x1F;
            extra = 1;
        } else if ((lead & 0xF0) == 0xE0) {
            cp = lead & 0x0F;
            extra = 2;
        } else if ((lead & 0xF8) == 0xF0) {
            cp = lead & 0x07;
            extra = 3;
        } else {
            Fail(where, "invalid UTF-8");
        }
        if (i + extra >= text.size() && extra > 0) Fail(where, "truncated UTF-8");
        for (size_t k = 1; k <= extra; ++k) {
            const auto next = uint8_t(text[i + k]);
            if ((next & 0xC0) != 0x80) Fail(where, "invalid UTF-8");
            cp = cp << 6 | (next & 0x3F);
        }
        const uint32_t minimum[] = {0, 0x80, 0x800, 0x10000};
        if (cp < minimum[extra] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
            Fail(where, "invalid UTF-8");
        if (cp >= 0x10000) {
            cp -= 0x10000;
            out.push_back(uint16_t(0xD800 + (cp >> 10)));
            out.push_back(uint16_t(0xDC00 + (cp & 0x3FF)));
        } else {
            out.push_back(uint16_t(cp));
        }
        i += extra + 1;
    }
    return out;
}

void Put32(std::vector<uint8_t>& out, uint32_t value) {
    for (int i = 0; i < 4; ++i) out.push_back(uint8_t(value >> (8 * i)));
}

std::vector<uint8_t> BuildStr0(Table table) {
    std::sort(table.Rows.begin(), table.Rows.end(),
              [](const Row& a, const Row& b) { return a.Id < b.Id; });
    for (size_t i = 1; i < table.Rows.size(); ++i)
        if (table.Rows[i].Id == table.Rows[i - 1].Id)
            Fail(table.Name, "id " + std::to_string(table.Rows[i].Id) + " appears twice");
    std::vector<std::vector<uint16_t>> texts;
    for (const Row& row : table.Rows)
        texts.push_back(ToUtf16(row.Text, table.Name + " id " + std::to_string(row.Id)));

    std::vector<uint8_t> out = {'S', 'T', 'R', '0'};
    Put32(out, uint32_t(table.Rows.size()));
    uint64_t offset = 8 + 12 * uint64_t(table.Rows.size());
    for (size_t i = 0; i < table.Rows.size(); ++i) {
        Put32(out, uint32_t(table.Rows[i].Id));
        Put32(out, uint32_t(offset));
        Put32(out, uint32_t(texts[i].size()));
        offset += 2 * uint64_t(texts[i].size());
        if (offset > UINT32_MAX) Fail(table.Name, "table too large");
    }
    for (const auto& text : texts)
        for (uint16_t unit : text) {
            out.push_back(uint8_t(unit));
            out.push_back(uint8_t(unit >> 8));
        }
    return out;
}

// A C string literal; every byte outside plain printable ASCII as a 3-digit octal escape, which
// cannot run into the next character.
std::string Literal(const std::string& text) {
    std::string out = "\"";
    for (char ch : text) {
        const auto c = uint8_t(ch);
        if (c >= 0x20 && c < 0x7F && c != '"' && c != '\\' && c != '?') {
            out += ch;
        } else {
            char escape[8];
            std::snprintf(escape, sizeof escape, "\\%03o", c);
            out += escape;
        }
    }
    return out + "\"";
}

std::string Generate(const std::vector<Table>& tables) {
    std::ostringstream cpp;
    cpp << "// Generated by StringTableGen from resources/strings/; do not edit.\n"
           "#include <iterator>\n\n"
           "#include \"resources/ResourceData.h\"\n\n"
           "namespace {\n\n";
    std::vector<std::string> blobs;
    std::vector<std::string> lists;
    for (size_t t = 0; t < tables.size(); ++t) {
        const Table& table = tables[t];
        const std::string var = "k" + table.Name;
        if (table.Str0 || table.Binary) {
            const std::vector<uint8_t> blob = table.Binary ? table.Bytes : BuildStr0(table);
            cpp << "const uint8_t " << var << "[] = {";
            for (size_t i = 0; i < blob.size(); ++i)
                cpp << (i % 16 == 0 ? "\n    " : " ") << unsigned(blob[i]) << ",";
            cpp << "\n};\n\n";
            blobs.push_back("    {\"" + table.Name + "\", {" + var + ", sizeof " + var + "}},\n");
        } else {
            cpp << "const TResourceString " << var << "[] = {\n";
            for (const Row& row : table.Rows) {
                ToUtf16(row.Text, table.Name + " id " + std::to_string(row.Id));  // validates
                cpp << "    {" << row.Id << ", " << Literal(row.Text) << "},\n";
            }
            cpp << "};\n\n";
            lists.push_back("    {\"" + table.Name + "\", {" + var + ", std::size(" + var +
                            ")}},\n");
        }
    }
    cpp << "const TResourceEntry kEntries[] = {\n";
    for (const auto& b : blobs) cpp << b;
    cpp << "    {\"\", {}},\n};\n\n"
           "struct NamedTable {\n"
           "    const char* Name;\n"
           "    std::span<const TResourceString> Rows;\n"
           "};\n\n"
           "const NamedTable kTables[] = {\n";
    for (const auto& l : lists) cpp << l;
    cpp << "    {\"\", {}},\n};\n\n"
           "bool SameName(std::string_view a, std::string_view b) {\n"
           "    if (a.size() != b.size()) return false;\n"
           "    for (size_t i = 0; i < a.size(); ++i) {\n"
           "        char x = a[i], y = b[i];\n"
           "        if (x >= 'a' && x <= 'z') x = char(x - 32);\n"
           "        if (y >= 'a' && y <= 'z') y = char(y - 32);\n"
           "        if (x != y) return false;\n"
           "    }\n"
           "    return true;\n"
           "}\n\n"
           "}  // namespace\n\n"
           "const TResourceModule& MainResourceModule() {\n"
           "    // The last row only terminates the array.\n"
           "    static const TResourceModule kModule{std::span(kEntries, std::size(kEntries) - "
           "1)};\n"
           "    return kModule;\n"
           "}\n\n"
           "std::span<const TResourceString> FindStringTable(std::string_view name) {\n"
           "    for (const NamedTable& table : kTables)\n"
           "        if (*table.Name && SameName(table.Name, name)) return table.Rows;\n"
           "    return {};\n"
           "}\n";
    return cpp.str();
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::cerr << "usage: StringTableGen <output.cpp> <table files...>\n";
        return 2;
    }
    try {
        std::vector<Table> tables;
        std::map<std::string, std::string> seen;
        for (int i = 2; i < argc; ++i) {
            tables.push_back(ReadTable(argv[i]));
            if (!seen.emplace(tables.back().Name, argv[i]).second)
                Fail(argv[i], "resource name " + tables.back().Name + " used twice");
        }
        std::sort(tables.begin(), tables.end(),
                  [](const Table& a, const Table& b) { return a.Name < b.Name; });
        const std::string text = Generate(tables);
        // Write beside and rename, so an interrupted build never leaves half a source behind.
        const std::string temp = std::string(argv[1]) + ".tmp";
        std::filesystem::create_directories(std::filesystem::path(argv[1]).parent_path());
        {
            std::ofstream out(temp, std::ios::binary | std::ios::trunc);
            out << text;
            if (!out) Fail(temp, "cannot write");
        }
        std::filesystem::rename(temp, argv[1]);
    } catch (const std::exception& e) {
        std::cerr << "StringTableGen: " << e.what() << "\n";
        return 1;
    }
    return 0;
}
