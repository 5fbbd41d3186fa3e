#include "components/shell/StVersionInfo.h"

#include <sys/stat.h>

#include <algorithm>
#include <cctype>
#include <charconv>

#include "platform/forms/Errors.h"
#include "platform/fs/Files.h"
#include "platform/system/ProgramDirectory.h"
#include "platform/system/Version.h"

namespace {

// German (Germany), Windows-1252: the language of the program's texts.
constexpr uint32_t kProgramTranslation = 0x04E40407;
constexpr uint32_t kAllFileFlags = 0x3F;
constexpr uint32_t kApplicationFile = 1;

TVersionBlock MakeProgramBlock() {
    const TProgramVersion V = ProgramVersion();
    TVersionBlock Block;
    Block.Translation = kProgramTranslation;
    Block.LanguageName = "German (Germany)";
    Block.Fixed.FileVersionMS = uint32_t(V.Major) << 16 | V.Minor;
    Block.Fixed.FileVersionLS = uint32_t(V.Release) << 16 | V.Build;
    Block.Fixed.ProductVersionMS = Block.Fixed.FileVersionMS;
    Block.Fixed.ProductVersionLS = Block.Fixed.FileVersionLS;
    Block.Fixed.FileFlagsMask = kAllFileFlags;
    Block.Fixed.FileFlags = ::FileFlags();
    Block.Fixed.FileType = kApplicationFile;
    Block.Strings = {{"CompanyName", "Orvalin"},         {"FileDescription", "Orvalin Kestro"},
                     {"FileVersion", ::FileVersion()},   {"InternalName", "kestro"},
                     {"OriginalFilename", "kestro"},     {"ProductName", "Orvalin Kestro"},
                     {"ProductVersion", ::FileVersion()}};
    return Block;
}

bool SameFile(const std::string& A, const std::string& B) {
    struct stat SA, SB;
    if (A.empty() || B.empty()) return false;
    if (::stat(ResolvePath(A).c_str(), &SA) != 0 || ::stat(ResolvePath(B).c_str(), &SB) != 0)
        return false;
    return SA.st_dev == SB.st_dev && SA.st_ino == SB.st_ino;
}

}  // namespace

bool TVersionKeyLess::operator()(const std::string& A, const std::string& B) const {
    return std::lexicographical_compare(A.begin(), A.end(), B.begin(), B.end(), [](char X, char Y) {
        return std::tolower(static_cast<unsigned char>(X)) <
               std::tolower(static_cast<unsigned char>(Y));
    });
}

const TVersionBlock& ProgramVersionBlock() {
    static const TVersionBlock Block = MakeProgramBlock();
    return Block;
}

double VersionToFloat(const std::string& Version) {
    const size_t First = Version.find('.');
    const size_t Second = First == std::string::npos ? First : Version.find('.', First + 1);
    // The second '.' counts when it stands within the first six characters.
    const std::string Text = Version.substr(0, Second < 6 ? Second : 6);
    double Value = 0;
    const auto [End, Error] = std::from_chars(Text.data(), Text.data() + Text.size(), Value);
    if (Text.empty() || Error != std::errc() || End != Text.data() + Text.size())
        throw EConvertError("'" + Text + "' is not a valid floating point value");
    return Value;
}

TStVersionInfo::TStVersionInfo(TComponent* AOwner) : TStComponent(AOwner) {
    SetFileName("");
}

void TStVersionInfo::SetFileName(const std::string& Value) {
    if (!Value.empty() && !FileExists(Value)) RaiseLibraryError<EStVersionInfoError>(stscFileOpen);
    const std::string Name = Value.empty() ? ProgramFileName() : Value;
    if (Name != FFileName) FBlock.reset();
    FFileName = Name;
}

void TStVersionInfo::Loaded() {
    TStComponent::Loaded();
    if (FFileName.empty()) SetFileName("");
}

std::optional<TVersionBlock> TStVersionInfo::ReadVersionBlock(const std::string& Name) {
    if (!SameFile(Name, ProgramFileName())) return std::nullopt;
    return ProgramVersionBlock();
}

const TVersionBlock& TStVersionInfo::Block() {
    if (!FBlock) {
        FBlock = ReadVersionBlock(FFileName);
        if (!FBlock) RaiseLibraryError<EStVersionInfoError>(stscNoVerInfo);
    }
    return *FBlock;
}

std::string TStVersionInfo::Value(const std::string& Key) {
    const auto& Strings = Block().Strings;
    const auto Found = Strings.find(Key);
    return Found == Strings.end() ? std::string() : Found->second;
}

std::string TStVersionInfo::GetKeyValue(const std::string& Key) {
    const auto& Strings = Block().Strings;
    const auto Found = Strings.find(Key);
    if (Found == Strings.end()) RaiseLibraryError<EStVersionInfoError>(stscVerInfoKeyNotFound);
    return Found->second;
}
