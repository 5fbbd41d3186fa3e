#include "bars/model/dxBarLayoutStores.h"

#include <climits>

#include "bars/model/dxBarItemLinks.h"
#include "bars/model/dxBarStoredValues.h"
#include "platform/classes/Classes.h"
#include "platform/classes/IniFiles.h"
#include "platform/gdi/Graphics.h"
#include "platform/registry/Registry.h"

namespace {

std::string Upper(std::string Text) {
    for (char& C : Text)
        if (C >= 'a' && C <= 'z') C = char(C - 'a' + 'A');
    return Text;
}

[[noreturn]] void Missing(const std::string& Name) {
    throw EStoredValueMissing("The stored value \"" + Name + "\" is missing or damaged");
}

}  // namespace

// ---- the registry -----------------------------------------------------------------------------

TdxBarRegistryStore::TdxBarRegistryStore(const std::string& Path)
    : FPath(NormalisePath(Path)), FRegistry(std::make_unique<TRegistry>()) {}

TdxBarRegistryStore::~TdxBarRegistryStore() = default;

std::string TdxBarRegistryStore::NormalisePath(const std::string& Path) {
    if (Path.empty()) return Path;
    std::string Result = Path.front() == '\\' ? Path : "\\" + Path;
    if (Result.size() > 1 && Result.back() == '\\') Result.pop_back();
    return Result == "\\" ? std::string() : Result;
}

std::string TdxBarRegistryStore::BarSection(int Index) const {
    return FPath + "\\Bar" + std::to_string(Index);
}

std::string TdxBarRegistryStore::SubItemSection(const std::string& Name) const {
    return FPath + "\\SubItem_" + Name;
}

std::string TdxBarRegistryStore::LinkSection(const std::string& Owner, int Index) const {
    return Owner + "\\ItemLink" + std::to_string(Index);
}

void TdxBarRegistryStore::Clear() {
    if (!FRegistry->OpenKey(FPath, true)) return;
    for (const std::string& Name : FRegistry->GetKeyNames())
        FRegistry->DeleteKey(FPath + "\\" + Name);
    FRegistry->CloseKey();
}

bool TdxBarRegistryStore::BeginWrite(const std::string& Section) {
    return FRegistry->OpenKey(Section, true);
}

void TdxBarRegistryStore::WriteInteger(const std::string& Name, int Value) {
    FRegistry->WriteInteger(Name, Value);
}

void TdxBarRegistryStore::WriteBool(const std::string& Name, bool Value) {
    FRegistry->WriteBool(Name, Value);
}

void TdxBarRegistryStore::WriteString(const std::string& Name, const std::string& Value) {
    FRegistry->WriteString(Name, Value);
}

void TdxBarRegistryStore::WriteUserDefine(TdxBarUserDefines Value) {
    const auto Byte = static_cast<unsigned char>(Value.Bits());
    FRegistry->WriteBinaryData("UserDefine", &Byte, 1);
}

void TdxBarRegistryStore::WriteUserGlyph(TBitmap& Glyph) {
    TMemoryStream Stream;
    if (!Glyph.Empty()) Glyph.SaveToStream(Stream);
    FRegistry->WriteBinaryData("UserGlyph", Stream.Memory(), int32_t(Stream.Size()));
}

void TdxBarRegistryStore::EndSection() {
    FRegistry->CloseKey();
}

void TdxBarRegistryStore::Flush() {
    // The registry writes the whole layout at once, and not at all when it is what was stored.
    FRegistry->Flush();
}

bool TdxBarRegistryStore::BeginRead(const std::string& Section) {
    if (const size_t Slash = Section.rfind('\\'); Slash != std::string::npos)
        if (auto Parent = FListedKeys.find(Section.substr(0, Slash)); Parent != FListedKeys.end())
            if (!Parent->second.count(Upper(Section.substr(Slash + 1)))) return false;
    if (!FRegistry->OpenKeyReadOnly(Section)) return false;
    std::set<std::string>& Keys = FListedKeys[Section];
    Keys.clear();
    for (const std::string& Name : FRegistry->GetKeyNames()) Keys.insert(Upper(Name));
    return true;
}

bool TdxBarRegistryStore::BarStored(const std::string& Section) {
    return BeginRead(Section);
}

std::optional<int> TdxBarRegistryStore::ReadInteger(const std::string& Name) {
    return ReadStoredInteger(*FRegistry, Name);
}

std::optional<std::string> TdxBarRegistryStore::ReadStoredString(const std::string& Name) {
    const TRegDataType Type = FRegistry->GetDataType(Name);
    if (Type != rdString && Type != rdExpandString) return std::nullopt;
    return FRegistry->ReadString(Name);
}

TdxBarUserDefines TdxBarRegistryStore::RequiredUserDefine() {
    if (FRegistry->GetDataType("UserDefine") != rdBinary ||
        FRegistry->GetDataSize("UserDefine") != 1)
        Missing("UserDefine");
    return UserDefinesFromStored(
        static_cast<unsigned char>(FRegistry->ReadBinary("UserDefine")[0]));
}

void TdxBarRegistryStore::ReadUserGlyph(TdxBarItemLink& Link) {
    if (FRegistry->GetDataType("UserGlyph") != rdBinary) Missing("UserGlyph");
    const std::string Bmp = FRegistry->ReadBinary("UserGlyph");
    if (Bmp.empty())
        Link.SetUserGlyph(nullptr);
    else
        LoadUserGlyph(Link, Bmp);
}

int TdxBarRegistryStore::Required(const std::string& Name, int) {
    const std::optional<int> Value = ReadInteger(Name);
    if (!Value) Missing(Name);
    return *Value;
}

std::string TdxBarRegistryStore::String(const std::string& Name, const std::string&) {
    if (FRegistry->GetDataType(Name) == rdUnknown) return {};
    if (std::optional<std::string> Value = ReadStoredString(Name)) return *Value;
    Missing(Name);
}

// ---- the INI file -----------------------------------------------------------------------------

TdxBarIniStore::TdxBarIniStore(const std::string& FileName, const std::string& Prefix)
    : FPrefix(Prefix), FIni(std::make_unique<TMemIniFile>(FileName)) {}

TdxBarIniStore::~TdxBarIniStore() = default;

std::string TdxBarIniStore::BarSection(int Index) const {
    return FPrefix + "Bar" + std::to_string(Index);
}

std::string TdxBarIniStore::SubItemSection(const std::string& Name) const {
    return FPrefix + "SubItem_" + Name;
}

std::string TdxBarIniStore::LinkSection(const std::string& Owner, int Index) const {
    return Owner + ".ItemLink" + std::to_string(Index);
}

void TdxBarIniStore::Clear() {
    TStringList Sections;
    FIni->ReadSections(Sections);
    // The prefix compares exactly: another form's or manager's layout is not this one's.
    for (int I = 0; I < Sections.Count(); ++I)
        if (const std::string Name = Sections.Get(I); Name.compare(0, FPrefix.size(), FPrefix) == 0)
            FIni->EraseSection(Name);
}

bool TdxBarIniStore::BeginWrite(const std::string& Section) {
    FSection = Section;
    return true;
}

void TdxBarIniStore::WriteInteger(const std::string& Name, int Value) {
    FIni->WriteInteger(FSection, Name, Value);
}

void TdxBarIniStore::WriteBool(const std::string& Name, bool Value) {
    FIni->WriteBool(FSection, Name, Value);
}

void TdxBarIniStore::WriteString(const std::string& Name, const std::string& Value) {
    FIni->WriteString(FSection, Name, Value);
}

void TdxBarIniStore::WriteUserDefine(TdxBarUserDefines Value) {
    FIni->WriteInteger(FSection, "UserDefine", int(Value.Bits()));
}

void TdxBarIniStore::Flush() {
    FIni->UpdateFile();
}

bool TdxBarIniStore::BeginRead(const std::string& Section) {
    FSection = Section;
    return true;
}

bool TdxBarIniStore::BarStored(const std::string& Section) {
    // A bar section counts only with a row in it.
    BeginRead(Section);
    return Optional("Row", -1000) > -1000;
}

std::optional<int> TdxBarIniStore::ReadInteger(const std::string& Name) {
    if (!FIni->ValueExists(FSection, Name)) return std::nullopt;
    const int Low = FIni->ReadInteger(FSection, Name, INT_MIN);
    if (Low == INT_MIN && FIni->ReadInteger(FSection, Name, INT_MAX) == INT_MAX)
        return std::nullopt;
    return Low;
}

std::optional<std::string> TdxBarIniStore::ReadStoredString(const std::string& Name) {
    if (!FIni->ValueExists(FSection, Name)) return std::nullopt;
    return FIni->ReadString(FSection, Name, {});
}

TdxBarUserDefines TdxBarIniStore::RequiredUserDefine() {
    return UserDefinesFromStored(Optional("UserDefine", 0) & 0xFF);
}

void TdxBarIniStore::ReadUserGlyph(TdxBarItemLink& Link) {
    Link.SetUserGlyph(nullptr);
}
