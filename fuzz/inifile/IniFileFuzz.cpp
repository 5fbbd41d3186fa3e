// Feeds arbitrary bytes to the INI file class as a file anyone may have edited. Nothing but its
// own exception escapes. A plain text file (printable ASCII and tabs, lines ended by LF or CR LF)
// is also read by a reader written here from the file's rules: every key reads the first value
// it has in the first section of that name. Saved without a change, the file keeps its bytes; a
// value written reads back, and every other value reads as before.
#include <unistd.h>
#include <algorithm>
#include <cctype>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <optional>
#include <string>

#include "fuzz/support/FuzzInput.h"
#include "platform/classes/IniFiles.h"

namespace {

const std::string& Dir() {
    static const std::string Made = Fuzz::OwnDir("ini");
    return Made;
}

std::string Lower(std::string S) {
    for (char& C : S) C = char(std::tolower(static_cast<unsigned char>(C)));
    return S;
}

std::string Trim(const std::string& S) {
    size_t B = 0, E = S.size();
    while (B < E && uint8_t(S[B]) <= ' ') ++B;
    while (E > B && uint8_t(S[E - 1]) <= ' ') --E;
    return S.substr(B, E - B);
}

// Section -> key -> value, names in lower case; each the first of its name. Nothing for a file
// that is not plain text.
using TValues = std::map<std::string, std::map<std::string, std::string>>;
std::optional<TValues> ReadPlain(const std::string& Text) {
    for (size_t I = 0; I < Text.size(); ++I) {
        const char C = Text[I];
        if (C == '\r' && I + 1 < Text.size() && Text[I + 1] == '\n') continue;
        if (C != '\n' && C != '\t' && (C < 0x20 || C > 0x7E)) return std::nullopt;
    }
    TValues Values;
    std::map<std::string, std::string>* Section = nullptr;
    size_t At = 0;
    while (At < Text.size()) {
        size_t End = Text.find('\n', At);
        if (End == std::string::npos) End = Text.size();
        std::string Raw = Text.substr(At, End - At);
        if (!Raw.empty() && Raw.back() == '\r') Raw.pop_back();
        const std::string Line = Trim(Raw);
        At = End + 1;
        if (Line.empty() || Line[0] == ';') continue;
        if (Line[0] == '[') {
            // A header is the whole line; one that does not end in ']' starts no section.
            Section = Line.size() < 2 || Line.back() != ']'
                          ? nullptr
                          : &Values[Lower(Line.substr(1, Line.size() - 2))];
            continue;
        }
        const size_t Equals = Line.find('=');
        if (!Section || Equals == std::string::npos) continue;
        const std::string Key = Lower(Trim(Line.substr(0, Equals)));
        if (Key.empty()) continue;
        // The value runs to the line end, blanks and all: a value written reads back as it was.
        Section->emplace(Key, Raw.substr(Raw.find('=') + 1));
    }
    return Values;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
    const std::string Input(reinterpret_cast<const char*>(Data), Size);
    const std::string Path = Dir() + "file.ini";
    {
        std::ofstream Out(Path, std::ios::binary | std::ios::trunc);
        Out.write(Input.data(), std::streamsize(Input.size()));
    }
    const std::optional<TValues> Expected = ReadPlain(Input);
    try {
        TMemIniFile Ini(Path);
        if (Expected)
            for (const auto& [Section, Keys] : *Expected)
                for (const auto& [Key, Value] : Keys)
                    if (Ini.ReadString(Section, Key, "\x01") != Value)
                        Fuzz::Fail("[" + Section + "] " + Key + " reads another value");
        Ini.UpdateFile();
        if (Fuzz::ReadFile(Path) != Input) Fuzz::Fail("saved without a change, the file changed");
        Ini.WriteString("Fuzz", "Written", "a value");
        Ini.UpdateFile();
        TMemIniFile Again(Path);
        if (Again.ReadString("Fuzz", "Written", "") != "a value")
            Fuzz::Fail("a value written does not read back");
        if (Expected)
            for (const auto& [Section, Keys] : *Expected)
                for (const auto& [Key, Value] : Keys)
                    if ((Section != "fuzz" || Key != "written") &&
                        Again.ReadString(Section, Key, "\x01") != Value)
                        Fuzz::Fail("[" + Section + "] " + Key +
                                   " changed when another was written");
    } catch (const EIniFileException&) {
    }
    return 0;
}
