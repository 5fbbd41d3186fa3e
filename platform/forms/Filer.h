#pragma once
// Reading and writing components as definitions: TReader fills components from a parsed
// definition through the class registry, TWriter turns a component tree back into one.
//
// Reading a root (TReader::ReadRootComponent):
//   1. Every component the definition names is created by its registered class with the owner
//      the definition gives it (the root, or an inline component for what its own definition
//      holds); it starts with csLoading and csReading, so its constructor can tell. An
//      "inherited" header finds the existing component of that name instead; "inline" creates an
//      inline component (csInline) and reads its own class's definition into it first.
//   2. Each component's ReadState reads its properties in text order, then its nested
//      components. A nested component gets the enclosing one as parent (SetParentComponent) when
//      it has a parent (HasParent). References to other components are held back.
//   3. After the whole tree: references are resolved by name (within the root; "Owner.Name"
//      within an owned component), then every component read gets Loaded, in creation order
//      (the root first), which clears csLoading.
// Errors: an unknown class or property, a value of the wrong kind, a name that is not unique, a
// reference that names no component, an event naming no method of the root, an exception from a
// property setter: each raises EFormReadError (or EClassNotFound) with the place in the text, and
// every component the failed read created is freed (the root too when the reader made it).
//
// Properties that are not published but stored all the same (a string list's "Strings", the bar
// manager's "DockControlHeights") are declared by the class's DefineProperties with the filer;
// their procedures read and write values with the TReader/TWriter value calls below.
#include <any>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

#include "platform/classes/Classes.h"
#include "platform/forms/Component.h"
#include "platform/forms/FormText.h"

class TCollection;
class TReader;
class TWriter;
struct TClassInfo;
struct TInstance;
struct TPropInfo;

using TReaderProc = std::function<void(TReader& Reader)>;
using TWriterProc = std::function<void(TWriter& Writer)>;
using TStreamProc = std::function<void(TStream& Stream)>;

class TFiler {
  public:
    TFiler() = default;
    TFiler(const TFiler&) = delete;
    TFiler& operator=(const TFiler&) = delete;
    virtual ~TFiler() = default;

    // Declares a stored value: while reading, ReadData runs when the definition holds a value of
    // that name; while writing, WriteData runs when HasData is true.
    virtual void DefineProperty(const std::string& Name, const TReaderProc& ReadData,
                                const TWriterProc& WriteData, bool HasData) = 0;
    // The same for binary data, handed over in a memory stream ("Data = {...}").
    virtual void DefineBinaryProperty(const std::string& Name, const TStreamProc& ReadData,
                                      const TStreamProc& WriteData, bool HasData) = 0;

    TComponent* Root() const { return FRoot; }

    // Runs Obj's own DefineProperties (what the registry does for classes of TPersistent).
    static void DefinePersistent(TPersistent& Obj, TFiler& Filer) { Obj.DefineProperties(Filer); }

  protected:
    // Runs what Inst's classes declare (the registered DefineProperties, base class first).
    void DefineAll(TInstance Inst);

    TComponent* FRoot = nullptr;
};

// The kinds of value a defined property finds next.
enum class TValueType {
    EndOfList,
    List,
    Integer,
    Float,
    String,
    Ident,
    False,
    True,
    Nil,
    Set,
    Binary,
    Collection
};

// One definition of a root; a root whose class derives from another with a definition of its own
// is read from both, the ancestor's first.
struct TDefinitionLevel {
    const TFormObject* Definition;
    // Names the text in error messages (a resource or a file name).
    std::string Origin;
};

class TReader : public TFiler {
  public:
    TReader(const TFormObject& Definition, std::string Origin);
    // Reads the levels one after the other into the same root; references are resolved and
    // Loaded called once, after the last.
    explicit TReader(std::vector<TDefinitionLevel> Levels);
    ~TReader() override;

    // Reads the definition into Root (the class its header names is not checked; a different
    // name in the header renames Root), or, when Root is none, into a new component of the class
    // the first level names, without owner. Returns the root. See the top of the file for what
    // happens.
    TComponent* ReadRootComponent(TComponent* Root);

    // For ReadState: reads Instance's properties and nested components.
    void ReadData(TComponent* Instance);

    // The owner and parent given to the components read at this point.
    TComponent* Owner() const { return FOwner; }
    TComponent* Parent() const { return FParent; }

    // ---- values of defined properties ------------------------------------------------------
    TValueType NextValue() const;
    bool EndOfList() const;
    void ReadListBegin();
    void ReadListEnd();
    int ReadInteger();
    std::int64_t ReadInt64();
    bool ReadBoolean();
    std::string ReadString();
    std::string ReadIdent();
    double ReadFloat();
    char ReadChar();
    // Raises EFormReadError for the value at hand ("Invalid value for property X: ...").
    [[noreturn]] void Error(const std::string& What) const;

    // ---- for the class registry's property procedures ---------------------------------------
    // The property being read, for messages.
    const std::string& PropertyName() const { return FPropertyName; }
    [[noreturn]] void BadValue(const TFormValue& Value, const std::string& Expected) const;
    [[noreturn]] void Fail(const std::string& What, TTextPos Pos) const;
    // Holds a reference back until the whole tree is read; Apply answers false when the
    // component found is of the wrong class.
    void AddFixup(const TFormValue& Reference, std::function<bool(TComponent*)> Apply);
    // The root's method named by the value, bound to the root; EFormReadError when it has none.
    std::any BindMethod(const TFormValue& Name) const;
    void ReadCollection(TCollection& Collection, const TFormValue& Value);

    void DefineProperty(const std::string& Name, const TReaderProc& ReadData,
                        const TWriterProc& WriteData, bool HasData) override;
    void DefineBinaryProperty(const std::string& Name, const TStreamProc& ReadData,
                              const TStreamProc& WriteData, bool HasData) override;

  private:
    friend class TReadWatch;
    struct TFixup {
        std::string Name;
        TTextPos Pos;
        std::string Property;
        // The objects whose properties were being read when the reference was met (the
        // component, a collection and its item): freeing any of them drops the reference.
        std::vector<const TPersistent*> Holders;
        std::function<bool(TComponent*)> Apply;
    };
    struct TCursor {
        const std::vector<TFormValue>* List;  // null: the single value Value
        const TFormValue* Value;
        size_t Index;
    };

    TComponent* ReadComponent(const TFormObject& Node);
    std::string UniqueRootName(TComponent* Root, const std::string& Name);
    TComponent* CreateComponent(const TFormObject& Node);
    void ReadOwnDefinition(TComponent* Component, const TFormObject& Node);
    // Reads the properties of Inst, whose object Holder is; stops early (false) when Holder is
    // freed by one of them.
    bool ReadProperties(TInstance Inst, const TPersistent* Holder,
                        const std::vector<TFormProperty>& Properties);
    void ReadProperty(TInstance Inst, const TFormProperty& Property);
    void ReadDefined(TInstance Inst, const std::string& Name, const TFormProperty& Property);
    TComponent* FindReference(const std::string& Name) const;
    void ResolveFixups();
    void CallLoaded();
    void Cleanup(TComponent* KeptRoot);
    bool IsAlive(const TPersistent* Obj) const;
    void Forget(const TPersistent* Obj);
    void SetName(TComponent* Component, const std::string& Name, TTextPos Pos);
    const TFormValue& Take(const char* What);
    const TFormValue* Peek() const;

    std::vector<TDefinitionLevel> FLevels;
    std::string FOrigin;
    bool FKeepRootName = false;
    std::unique_ptr<TPersistentFreeWatch> FWatch;
    const TFormObject* FNode = nullptr;
    TComponent* FOwner = nullptr;
    TComponent* FParent = nullptr;
    TComponent* FCurrent = nullptr;
    // Components read (Loaded is due) and created (freed when the read fails), in creation
    // order; an entry is emptied when its component is freed meanwhile.
    std::vector<TComponent*> FLoaded;
    std::vector<TComponent*> FCreated;
    // Objects freed while the read runs (taken out again when a new one gets the address).
    std::unordered_set<const TPersistent*> FDead;
    std::vector<TFixup> FFixups;
    std::vector<const TPersistent*> FHolders;
    std::string FPropertyName;
    // Defined properties: the name looked for, the value found, whether a procedure took it.
    const std::string* FDefining = nullptr;
    const TFormProperty* FDefiningProperty = nullptr;
    bool FDefined = false;
    std::vector<TCursor> FCursors;
    TTextPos FLastPos;
    int FDepth = 0;
};

class TWriter : public TFiler {
  public:
    TWriter() = default;

    // The definition of Root with everything GetChildren lists, recursively.
    TFormObject WriteRootComponent(TComponent* Root);

    // ---- values of defined properties ------------------------------------------------------
    void WriteInteger(std::int64_t Value);
    void WriteBoolean(bool Value);
    void WriteString(const std::string& Value);
    void WriteIdent(const std::string& Value);
    void WriteFloat(double Value);
    void WriteChar(char Value);
    void WriteListBegin();
    void WriteListEnd();

    // ---- for the class registry ------------------------------------------------------------
    // How a reference to Target is written: its name within the root, "Owner.Name" beyond it;
    // empty when it cannot be named.
    std::string ReferenceName(const TComponent* Target) const;

    void DefineProperty(const std::string& Name, const TReaderProc& ReadData,
                        const TWriterProc& WriteData, bool HasData) override;
    void DefineBinaryProperty(const std::string& Name, const TStreamProc& ReadData,
                              const TStreamProc& WriteData, bool HasData) override;

  private:
    TFormObject WriteComponent(TComponent* Component);
    void WriteProperties(TInstance Inst, const std::string& Prefix,
                         std::vector<TFormProperty>& Out);
    void Add(TFormValue Value);

    std::string FPrefix;
    std::vector<TFormProperty>* FOut = nullptr;
    // Values of the defined property being written; lists nest.
    std::vector<std::vector<TFormValue>> FLists;
    std::vector<TFormValue> FValues;
    int FDepth = 0;
};

// Parses Text and reads it into Root (or a new root), as TReader::ReadRootComponent.
TComponent* ReadComponentFromText(std::string_view Text, TComponent* Root,
                                  const std::string& Origin = {});
// The canonical text of Root's definition.
std::string WriteComponentToText(TComponent* Root);
