#pragma once
// Where a bar layout is kept: under a key of HKEY_CURRENT_USER's registry, or in sections of an
// INI file whose names start with the owner form's and the manager's names ("F.M."). The layout
// itself (which values, in which order, and what a missing one means) is written once, in
// dxBarStoredLayout.cpp; a store only says where a value goes and how a missing one reads.
//
//   registry              INI file                  holds
//   P                     F.M.Main                  the manager's options and "BarCount"
//   P\Bar<i>              F.M.Bar<i>                a bar and "ItemLinkCount" of its links
//   P\SubItem_<name>      F.M.SubItem_<name>        "ItemLinkCount" of a sub-item's links
//   <owner>\ItemLink<k>   <owner>.ItemLink<k>       one link (only links whose item has a name)
//
// Reading a value that is missing or damaged (another type, not a number, out of range):
//   Required   registry: raises EStoredValueMissing, which ends the bar or link being read;
//              INI: the default
//   Optional   the default, in both
//   String     registry: empty; INI: the default
// The INI form keeps no glyphs: a link read from it with udGlyph has an empty glyph.
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>

#include "bars/model/dxBarTypes.h"
#include "platform/classes/Exception.h"

class TBitmap;
class TMemIniFile;
class TRegistry;

// A stored value that the reading of a bar or link cannot go on without.
class EStoredValueMissing : public Exception {
  public:
    using Exception::Exception;
};

class TdxBarLayoutStore {
  public:
    virtual ~TdxBarLayoutStore() = default;

    // --- places ---
    virtual std::string ManagerSection() const = 0;
    virtual std::string BarSection(int Index) const = 0;
    virtual std::string SubItemSection(const std::string& Name) const = 0;
    virtual std::string LinkSection(const std::string& Owner, int Index) const = 0;

    // --- writing ---
    // Removes every earlier layout of this manager from the store.
    virtual void Clear() = 0;
    // Values written go to Section (made when missing); false when it cannot be made.
    virtual bool BeginWrite(const std::string& Section) = 0;
    virtual void WriteInteger(const std::string& Name, int Value) = 0;
    virtual void WriteBool(const std::string& Name, bool Value) = 0;
    virtual void WriteString(const std::string& Name, const std::string& Value) = 0;
    virtual void WriteUserDefine(TdxBarUserDefines Value) = 0;
    virtual void WriteUserGlyph(TBitmap& Glyph) = 0;
    virtual void EndSection() = 0;
    // Makes what was written lasting.
    virtual void Flush() = 0;

    // --- reading ---
    // Values read come from Section; false when the store has no such section (the INI form
    // reads every section, missing ones give their defaults).
    virtual bool BeginRead(const std::string& Section) = 0;
    // Whether the bar at Section was stored at all.
    virtual bool BarStored(const std::string& Section) = 0;
    virtual std::optional<int> ReadInteger(const std::string& Name) = 0;
    virtual std::optional<std::string> ReadStoredString(const std::string& Name) = 0;
    virtual TdxBarUserDefines RequiredUserDefine() = 0;
    // The stored glyph into Glyph; EInvalidGraphic for data that is no bitmap.
    virtual void ReadUserGlyph(TdxBarItemLink& Link) = 0;
    // See the top of this file.
    virtual int Required(const std::string& Name, int Default) = 0;
    virtual std::string String(const std::string& Name, const std::string& Default) = 0;
    int Optional(const std::string& Name, int Default) {
        return ReadInteger(Name).value_or(Default);
    }
    bool RequiredBool(const std::string& Name, bool Default) { return Required(Name, Default); }
    bool OptionalBool(const std::string& Name, bool Default) {
        return Optional(Name, Default) != 0;
    }
};

// The layout under Path (normalised: a leading "\" added, one trailing "\" removed) of
// HKEY_CURRENT_USER.
class TdxBarRegistryStore : public TdxBarLayoutStore {
  public:
    explicit TdxBarRegistryStore(const std::string& Path);
    ~TdxBarRegistryStore() override;
    static std::string NormalisePath(const std::string& Path);

    std::string ManagerSection() const override { return FPath; }
    std::string BarSection(int Index) const override;
    std::string SubItemSection(const std::string& Name) const override;
    std::string LinkSection(const std::string& Owner, int Index) const override;

    void Clear() override;
    bool BeginWrite(const std::string& Section) override;
    void WriteInteger(const std::string& Name, int Value) override;
    void WriteBool(const std::string& Name, bool Value) override;
    void WriteString(const std::string& Name, const std::string& Value) override;
    void WriteUserDefine(TdxBarUserDefines Value) override;
    void WriteUserGlyph(TBitmap& Glyph) override;
    void EndSection() override;
    void Flush() override;

    bool BeginRead(const std::string& Section) override;
    bool BarStored(const std::string& Section) override;
    std::optional<int> ReadInteger(const std::string& Name) override;
    std::optional<std::string> ReadStoredString(const std::string& Name) override;
    TdxBarUserDefines RequiredUserDefine() override;
    void ReadUserGlyph(TdxBarItemLink& Link) override;
    int Required(const std::string& Name, int Default) override;
    std::string String(const std::string& Name, const std::string& Default) override;

  private:
    std::string FPath;
    std::unique_ptr<TRegistry> FRegistry;
    // The subkeys of each key opened for reading (upper case): a key not listed there is not
    // opened at all, so a large stored count costs no reading of the hive per index.
    std::map<std::string, std::set<std::string>> FListedKeys;
};

// The layout in sections "Form.Manager.*" of an INI file, read when the store is made and
// written by Flush.
class TdxBarIniStore : public TdxBarLayoutStore {
  public:
    TdxBarIniStore(const std::string& FileName, const std::string& Prefix);
    ~TdxBarIniStore() override;

    std::string ManagerSection() const override { return FPrefix + "Main"; }
    std::string BarSection(int Index) const override;
    std::string SubItemSection(const std::string& Name) const override;
    std::string LinkSection(const std::string& Owner, int Index) const override;

    void Clear() override;
    bool BeginWrite(const std::string& Section) override;
    void WriteInteger(const std::string& Name, int Value) override;
    void WriteBool(const std::string& Name, bool Value) override;
    void WriteString(const std::string& Name, const std::string& Value) override;
    void WriteUserDefine(TdxBarUserDefines Value) override;
    void WriteUserGlyph(TBitmap&) override {}
    void EndSection() override {}
    void Flush() override;

    bool BeginRead(const std::string& Section) override;
    bool BarStored(const std::string& Section) override;
    std::optional<int> ReadInteger(const std::string& Name) override;
    std::optional<std::string> ReadStoredString(const std::string& Name) override;
    TdxBarUserDefines RequiredUserDefine() override;
    void ReadUserGlyph(TdxBarItemLink& Link) override;
    int Required(const std::string& Name, int Default) override { return Optional(Name, Default); }
    std::string String(const std::string& Name, const std::string& Default) override {
        return ReadStoredString(Name).value_or(Default);
    }

  private:
    std::string FPrefix;
    std::string FSection;
    std::unique_ptr<TMemIniFile> FIni;
};
