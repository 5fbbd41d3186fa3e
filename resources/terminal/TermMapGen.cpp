// Build-time generator of the terminal's map resources: turns the text tables of
// resources/terminal/ into the binary layout the terminal reads.
//
//   TermMapGen keymap  <keymap.txt>  <output.bin>
//   TermMapGen charset <charset.txt> <output.bin>
//
// Output: "AHT3", the record count (32-bit little-endian), the records, "AHT3". Texts are short
// strings (a length byte, then the bytes), at most 63 bytes each.
//   keymap.txt:  key<TAB>value                      one record per line
//   charset.txt: set<TAB>font<TAB>first[-last]<TAB>glyph
//                one record (set, font, character, glyph) per character of the range, the glyph
//                counting up from the one given
// Lines starting with "#" and empty lines are skipped; anything malformed stops the build.
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

constexpr size_t kMaxShortString = 63;

[[noreturn]] void Fail(const std::string& Where, const std::string& What) {
    throw std::runtime_error(Where + ": " + What);
}

std::vector<std::string> Fields(const std::string& Line) {
    std::vector<std::string> Out;
    std::stringstream In(Line);
    std::string Field;
    while (std::getline(In, Field, '\t')) Out.push_back(Field);
    return Out;
}

int Number(const std::string& Text, const std::string& Where) {
    size_t Used = 0;
    int Value = -1;
    try {
        Value = std::stoi(Text, &Used);
    } catch (const std::exception&) {
        Used = 0;
    }
    if (Used != Text.size() || Value < 0 || Value > 255) Fail(Where, "bad byte '" + Text + "'");
    return Value;
}

class TWriter {
  public:
    void ShortString(const std::string& Text, const std::string& Where) {
        if (Text.size() > kMaxShortString) Fail(Where, "text longer than 63 bytes");
        FRecords.push_back(char(Text.size()));
        FRecords += Text;
    }
    void Byte(int Value) { FRecords.push_back(char(Value)); }
    void EndRecord() { ++FCount; }
    std::string Resource() const {
        std::string Out = "AHT3";
        for (int I = 0; I < 4; ++I) Out.push_back(char(FCount >> (8 * I)));
        return Out + FRecords + "AHT3";
    }
    uint32_t Count() const { return FCount; }

  private:
    std::string FRecords;
    uint32_t FCount = 0;
};

void KeyRecord(TWriter& Out, const std::vector<std::string>& F, const std::string& Where) {
    if (F.size() != 2) Fail(Where, "want key<TAB>value");
    Out.ShortString(F[0], Where);
    Out.ShortString(F[1], Where);
    Out.EndRecord();
}

void CharSetRecords(TWriter& Out, const std::vector<std::string>& F, const std::string& Where) {
    if (F.size() != 4) Fail(Where, "want set<TAB>font<TAB>first[-last]<TAB>glyph");
    const size_t Dash = F[2].find('-');
    const int First = Number(F[2].substr(0, Dash), Where);
    const int Last = Dash == std::string::npos ? First : Number(F[2].substr(Dash + 1), Where);
    const int Glyph = Number(F[3], Where);
    if (Last < First || Glyph + (Last - First) > 255) Fail(Where, "bad range");
    for (int Ch = First; Ch <= Last; ++Ch) {
        Out.ShortString(F[0], Where);
        Out.ShortString(F[1], Where);
        Out.Byte(Ch);
        Out.Byte(Glyph + (Ch - First));
        Out.EndRecord();
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 4) {
        std::cerr << "usage: TermMapGen keymap|charset <table.txt> <output.bin>\n";
        return 2;
    }
    try {
        const std::string Kind = argv[1];
        if (Kind != "keymap" && Kind != "charset") Fail(Kind, "unknown kind");
        std::ifstream In(argv[2], std::ios::binary);
        if (!In) Fail(argv[2], "cannot open");
        TWriter Out;
        std::string Line;
        for (int LineNo = 1; std::getline(In, Line); ++LineNo) {
            const std::string Where = std::string(argv[2]) + ":" + std::to_string(LineNo);
            if (!Line.empty() && Line.back() == '\r') Line.pop_back();
            if (Line.empty() || Line[0] == '#') continue;
            if (Kind == "keymap")
                KeyRecord(Out, Fields(Line), Where);
            else
                CharSetRecords(Out, Fields(Line), Where);
        }
        // Write beside and rename, so an interrupted build never leaves half a resource.
        const std::string Temp = std::string(argv[3]) + ".tmp";
        std::filesystem::create_directories(std::filesystem::path(argv[3]).parent_path());
        {
            std::ofstream File(Temp, std::ios::binary | std::ios::trunc);
            File << Out.Resource();
            if (!File) Fail(Temp, "cannot write");
        }
        std::filesystem::rename(Temp, argv[3]);
    } catch (const std::exception& E) {
        std::cerr << "TermMapGen: " << E.what() << "\n";
        return 1;
    }
    return 0;
}
