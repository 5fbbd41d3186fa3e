#pragma once
// Version information of a program file, as its version resource holds it. Only the running
// program carries one (made from the build's project version); any other file has none.
#include <cstdint>
#include <map>
#include <optional>
#include <string>

#include "components/text/StBase.h"

// The fixed part of version information.
struct TVersionFixedInfo {
    uint32_t FileVersionMS = 0;  // major << 16 | minor
    uint32_t FileVersionLS = 0;  // release << 16 | build
    uint32_t ProductVersionMS = 0;
    uint32_t ProductVersionLS = 0;
    uint32_t FileFlagsMask = 0;
    uint32_t FileFlags = 0;  // bit 1 debug build, bit 2 pre-release
    uint32_t FileOS = 0;
    uint32_t FileType = 0;
    uint32_t FileSubtype = 0;
    uint64_t FileDate = 0;
};

// Keys of the string table are compared without regard to ASCII case, as the system's query did.
struct TVersionKeyLess {
    bool operator()(const std::string& A, const std::string& B) const;
};

// What a file's version resource holds.
struct TVersionBlock {
    // Language in the low word, code page in the high word.
    uint32_t Translation = 0;
    std::string LanguageName;
    TVersionFixedInfo Fixed;
    std::map<std::string, std::string, TVersionKeyLess> Strings;
};

// The running program's version block.
const TVersionBlock& ProgramVersionBlock();

// The characters of a version text before its second '.' (at most six) as a number: "1.23.4.5"
// gives 1.23. EConvertError when they are no number.
double VersionToFloat(const std::string& Version);

class TStVersionInfo : public TStComponent {
  public:
    // Describes the running program until FileName is set.
    explicit TStVersionInfo(TComponent* AOwner = nullptr);

    const std::string& FileName() const { return FFileName; }
    // Empty: the running program. EStVersionInfoError 73 for a file that does not exist.
    void SetFileName(const std::string& Value);

    // Each reads the version information on first use: EStVersionInfoError 100 when the file
    // has none. A string value missing from it reads empty.
    std::string Comments() { return Value("Comments"); }
    std::string CompanyName() { return Value("CompanyName"); }
    std::string FileDescription() { return Value("FileDescription"); }
    std::string FileVersion() { return Value("FileVersion"); }
    std::string InternalName() { return Value("InternalName"); }
    std::string LegalCopyright() { return Value("LegalCopyright"); }
    std::string LegalTrademarks() { return Value("LegalTrademarks"); }
    std::string OriginalFilename() { return Value("OriginalFilename"); }
    std::string ProductName() { return Value("ProductName"); }
    std::string ProductVersion() { return Value("ProductVersion"); }
    uint32_t Translation() { return Block().Translation; }
    std::string LanguageName() { return Block().LanguageName; }
    const TVersionFixedInfo& Fixed() { return Block().Fixed; }
    uint32_t FileFlags() { return Fixed().FileFlags; }
    double FileVersionFloat() { return VersionToFloat(FileVersion()); }
    double ProductVersionFloat() { return VersionToFloat(ProductVersion()); }

    // The value of any key of the string table; EStVersionInfoError 134 when it has none.
    std::string GetKeyValue(const std::string& Key);

  protected:
    // A definition that names no file describes the running program.
    void Loaded() override;
    // The version block of the file, none when it has no version information.
    virtual std::optional<TVersionBlock> ReadVersionBlock(const std::string& Name);

  private:
    const TVersionBlock& Block();
    std::string Value(const std::string& Key);

    std::string FFileName;
    std::optional<TVersionBlock> FBlock;
};
