#include "platform/forms/ClassRegistry.h"

#include <cxxabi.h>

#include <cstdlib>
#include <map>
#include <unordered_map>

#include "platform/forms/Filer.h"
#include "platform/forms/StandardClasses.h"

namespace {

std::string Upper(std::string Text) {
    for (char& C : Text)
        if (C >= 'a' && C <= 'z') C = char(C - 'a' + 'A');
    return Text;
}

struct TRegistry {
    std::vector<std::unique_ptr<TClassInfo>> Classes;
    std::map<std::string, TClassInfo*> ByName;  // upper-case names
    std::unordered_map<std::type_index, TClassInfo*> ByType;
    std::unordered_map<std::type_index, std::vector<std::string>> Enums;
};

TRegistry& Registry() {
    static TRegistry* Instance = new TRegistry;  // never freed: lookups may run at exit
    return *Instance;
}

// The class library's own classes are there before anything else is registered or looked up.
// A plain flag (set before the work) keeps the registration's own lookups from recursing.
bool GStandardRegistered = false;

TRegistry& Ready() {
    if (!GStandardRegistered) {
        GStandardRegistered = true;
        RegisterStandardClasses();
    }
    return Registry();
}

std::string Demangled(const std::type_info& Type) {
    int Status = 0;
    char* Name = abi::__cxa_demangle(Type.name(), nullptr, nullptr, &Status);
    std::string Result = Status == 0 && Name != nullptr ? Name : Type.name();
    std::free(Name);
    return Result;
}

}  // namespace

std::string TObject::ClassName() const {
    const std::type_info& Type = typeid(*this);
    if (const TClassInfo* Info = ClassInfoOfType(Type)) return Info->Name;
    return Demangled(Type);
}

bool TClassInfo::InheritsFrom(const TClassInfo* Other) const {
    for (const TClassInfo* Info = this; Info != nullptr; Info = Info->Parent)
        if (Info == Other) return true;
    return false;
}

TClassInfo& AddClassInfo(std::unique_ptr<TClassInfo> Info) {
    TRegistry& R = Ready();
    const std::string Key = Upper(Info->Name);
    if (R.ByName.count(Key) != 0 || R.ByType.count(Info->Type) != 0)
        throw std::logic_error("class " + Info->Name + " is registered twice");
    TClassInfo* Added = Info.get();
    R.ByName.emplace(Key, Added);
    R.ByType.emplace(Added->Type, Added);
    R.Classes.push_back(std::move(Info));
    return *Added;
}

const TClassInfo* GetClass(const std::string& Name) {
    TRegistry& R = Ready();
    auto It = R.ByName.find(Upper(Name));
    return It == R.ByName.end() ? nullptr : It->second;
}

const TClassInfo* ClassInfoOfType(std::type_index Type) {
    TRegistry& R = Ready();
    auto It = R.ByType.find(Type);
    return It == R.ByType.end() ? nullptr : It->second;
}

const TClassInfo* ClassInfoOf(const TObject* Obj) {
    return Obj == nullptr ? nullptr : ClassInfoOfType(typeid(*Obj));
}

TInstance InstanceOf(TPersistent* Obj) {
    if (Obj == nullptr) return {};
    const TClassInfo* Info = ClassInfoOfType(typeid(*Obj));
    if (Info == nullptr) return {};
    // The registered class is the object's dynamic class, so the complete object is one of it.
    return {dynamic_cast<void*>(Obj), Info};
}

void* Upcast(TInstance Inst, const TClassInfo* Target) {
    void* Ptr = Inst.Ptr;
    for (const TClassInfo* Info = Inst.Info; Info != nullptr; Info = Info->Parent) {
        if (Info == Target) return Ptr;
        if (Info->ToParent == nullptr) break;
        Ptr = Info->ToParent(Ptr);
    }
    return nullptr;
}

const TPropInfo* FindProperty(TInstance Inst, const std::string& Name, void*& Obj) {
    void* Ptr = Inst.Ptr;
    for (const TClassInfo* Info = Inst.Info; Info != nullptr; Info = Info->Parent) {
        for (const TPropInfo& Prop : Info->Properties) {
            if (SameText(Prop.Name, Name)) {
                Obj = Ptr;
                return &Prop;
            }
        }
        if (Info->ToParent == nullptr) break;
        Ptr = Info->ToParent(Ptr);
    }
    return nullptr;
}

std::vector<std::pair<const TClassInfo*, const TPropInfo*>> AllProperties(const TClassInfo* Info) {
    std::vector<const TClassInfo*> Chain;
    for (; Info != nullptr; Info = Info->Parent) Chain.push_back(Info);
    std::vector<std::pair<const TClassInfo*, const TPropInfo*>> Result;
    for (auto It = Chain.rbegin(); It != Chain.rend(); ++It) {
        for (const TPropInfo& Prop : (*It)->Properties) {
            bool Replaced = false;
            for (auto& Entry : Result) {
                if (SameText(Entry.second->Name, Prop.Name)) {
                    Entry = {*It, &Prop};
                    Replaced = true;
                    break;
                }
            }
            if (!Replaced) Result.emplace_back(*It, &Prop);
        }
    }
    return Result;
}

std::any BindMethod(TInstance Inst, const std::string& Name) {
    void* Ptr = Inst.Ptr;
    for (const TClassInfo* Info = Inst.Info; Info != nullptr; Info = Info->Parent) {
        for (const TMethodInfo& Method : Info->Methods)
            if (SameText(Method.Name, Name)) return Method.Bind(Ptr);
        if (Info->ToParent == nullptr) break;
        Ptr = Info->ToParent(Ptr);
    }
    return {};
}

void RegisterEnumNames(std::type_index Type, std::vector<std::string> Names) {
    TRegistry& R = Ready();
    if (!R.Enums.emplace(Type, std::move(Names)).second)
        throw std::logic_error(std::string("enumeration ") + Type.name() + " registered twice");
}

const std::vector<std::string>* EnumNames(std::type_index Type) {
    TRegistry& R = Ready();
    auto It = R.Enums.find(Type);
    return It == R.Enums.end() ? nullptr : &It->second;
}

// ---- conversions ---------------------------------------------------------------------------

namespace FormsDetail {

std::int64_t ToInteger(const TFormValue& V, std::int64_t Min, std::int64_t Max,
                       const TIdentMap* Idents, TReader& Reader) {
    std::int64_t Value = 0;
    if (V.Kind == TValueKind::Ident && Idents != nullptr && Idents->ToValue) {
        const std::optional<std::int64_t> Mapped = Idents->ToValue(V.Text);
        if (!Mapped) Reader.BadValue(V, "a known identifier or an integer");
        Value = *Mapped;
    } else if (V.Kind == TValueKind::Integer) {
        Value = V.Integer;
    } else {
        Reader.BadValue(V, "an integer");
    }
    if (Value >= Min && Value <= Max) return Value;
    // Hex values of signed properties may be written as their unsigned bit pattern ($FFFFFFFF).
    if (Min < 0 && Max < std::numeric_limits<std::int64_t>::max() / 2 && Value > Max &&
        Value <= 2 * Max + 1)
        return Value - 2 * (Max + 1);
    Reader.BadValue(V, "an integer from " + std::to_string(Min) + " to " + std::to_string(Max));
}

TFormValue FromInteger(std::int64_t Value, const TIdentMap* Idents) {
    if (Idents != nullptr && Idents->ToIdent)
        if (std::optional<std::string> Ident = Idents->ToIdent(Value))
            return TFormValue::MakeIdent(*Ident);
    return TFormValue::MakeInteger(Value);
}

bool ToBoolean(const TFormValue& V, TReader& Reader) {
    if (V.Kind == TValueKind::Ident) {
        if (SameText(V.Text, "True")) return true;
        if (SameText(V.Text, "False")) return false;
    }
    Reader.BadValue(V, "True or False");
}

char ToChar(const TFormValue& V, TReader& Reader) {
    if (V.Kind != TValueKind::String || V.Text.size() != 1) Reader.BadValue(V, "one character");
    return V.Text[0];
}

double ToFloat(const TFormValue& V, TReader& Reader) {
    if (V.Kind == TValueKind::Float) return V.Float;
    if (V.Kind == TValueKind::Integer) return double(V.Integer);
    Reader.BadValue(V, "a number");
}

std::string ToString(const TFormValue& V, TReader& Reader) {
    if (V.Kind != TValueKind::String) Reader.BadValue(V, "a string");
    return V.Text;
}

std::string ToBinary(const TFormValue& V, TReader& Reader) {
    if (V.Kind != TValueKind::Binary) Reader.BadValue(V, "binary data");
    return V.Text;
}

void CheckEnumRegistered(std::type_index Type) {
    if (EnumNames(Type) == nullptr)
        throw std::logic_error("a property's enumeration is not registered");
}

namespace {

std::string NameList(const std::vector<std::string>& Names) {
    std::string Text;
    for (size_t I = 0; I < Names.size() && I < 8; ++I) Text += (I ? ", " : "") + Names[I];
    if (Names.size() > 8) Text += ", ...";
    return Text;
}

int Ordinal(const TFormValue& V, const std::vector<std::string>& Names, TReader& Reader) {
    if (V.Kind == TValueKind::Ident)
        for (size_t I = 0; I < Names.size(); ++I)
            if (SameText(Names[I], V.Text)) return int(I);
    Reader.BadValue(V, "one of " + NameList(Names));
}

}  // namespace

int ToEnum(const TFormValue& V, std::type_index Type, TReader& Reader) {
    return Ordinal(V, *EnumNames(Type), Reader);
}

TFormValue FromEnum(int Value, std::type_index Type) {
    const std::vector<std::string>& Names = *EnumNames(Type);
    if (Value < 0 || size_t(Value) >= Names.size())
        throw EFormWriteError("Enumeration value " + std::to_string(Value) + " has no name");
    return TFormValue::MakeIdent(Names[size_t(Value)]);
}

std::uint64_t ToSet(const TFormValue& V, std::type_index Element, TReader& Reader) {
    if (V.Kind != TValueKind::Set) Reader.BadValue(V, "a set ([...])");
    const std::vector<std::string>& Names = *EnumNames(Element);
    std::uint64_t Bits = 0;
    for (const TFormValue& Member : V.Elements) {
        const int Index = Ordinal(Member, Names, Reader);
        if (Index >= 64) Reader.BadValue(Member, "a value that fits a set");
        Bits |= std::uint64_t(1) << Index;
    }
    return Bits;
}

TFormValue FromSet(std::uint64_t Bits, std::type_index Element) {
    const std::vector<std::string>& Names = *EnumNames(Element);
    std::vector<std::string> Members;
    for (unsigned I = 0; I < 64; ++I) {
        if ((Bits & (std::uint64_t(1) << I)) == 0) continue;
        if (I >= Names.size())
            throw EFormWriteError("Set member " + std::to_string(I) + " has no name");
        Members.push_back(Names[I]);
    }
    return TFormValue::MakeSet(Members);
}

std::any BindEvent(const TFormValue& V, TReader& Reader) {
    if (V.Kind != TValueKind::Ident) Reader.BadValue(V, "a method name");
    if (SameText(V.Text, "nil")) return {};
    return Reader.BindMethod(V);
}

void EventMismatch(const TFormValue& V, TReader& Reader) {
    Reader.Fail("Method " + V.Text + " does not fit event " + Reader.PropertyName(), V.Pos);
}

void RecordMethodName(TPersistent* Obj, const std::string& Event, const TFormValue& V) {
    Obj->SetBoundMethodName(Event, SameText(V.Text, "nil") ? std::string() : V.Text);
}

void AddReference(const TFormValue& V, TReader& Reader, std::function<bool(TComponent*)> Apply) {
    if (V.Kind != TValueKind::Ident) Reader.BadValue(V, "a component name");
    if (SameText(V.Text, "nil")) {
        Apply(nullptr);
        return;
    }
    Reader.AddFixup(V, std::move(Apply));
}

std::optional<TFormValue> ReferenceValue(const TComponent* Target, TWriter& Writer) {
    if (Target == nullptr) return std::nullopt;
    std::string Name = Writer.ReferenceName(Target);
    if (Name.empty()) return std::nullopt;
    return TFormValue::MakeIdent(std::move(Name));
}

void ReadCollection(TCollection* Collection, const TFormValue& V, TReader& Reader) {
    if (Collection == nullptr)
        Reader.Fail("Property " + Reader.PropertyName() + " has no collection", V.Pos);
    Reader.ReadCollection(*Collection, V);
}

}  // namespace FormsDetail
