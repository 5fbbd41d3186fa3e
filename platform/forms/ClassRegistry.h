#pragma once
// The class registry: classes known by name, each with its parent, a factory (components) and the
// table of published properties that definitions read and write, plus the methods a root
// component (a form) offers to events by name.
//
//   RegisterEnum<TAlign>({"alNone", "alTop", "alBottom", "alLeft", "alRight", "alClient"});
//   RegisterClass<TPanel, TComponent>("TPanel")
//       .Property("Align", &TPanel::Align, &TPanel::SetAlign, Default(alNone))
//       .Property("Caption", &TPanel::Caption, &TPanel::SetCaption)
//       .Property("Color", &TPanel::Color, &TPanel::SetColor, Idents(ColorIdents()))
//       .Object("Font", &TPanel::Font, Stored(&TPanel::IsFontStored))
//       .Property("PopupMenu", &TPanel::PopupMenu, &TPanel::SetPopupMenu)
//       .Field("OnClick", &TPanel::OnClick);
//   RegisterClass<TFormMain, TForm>("TFormMain").Method("FormCreate", &TFormMain::FormCreate);
//
// The kind of a property follows from its C++ type: bool, integers (range checked on reading),
// char, double/float, std::string (Windows-1252 bytes), registered enumerations, TSet<E> and
// std::set<E> of registered enumerations, std::function<...> (an event, bound by method name to
// the root), a pointer to a component class (a reference by name, resolved after the whole
// definition is read), and with Object() a pointer to a sub-object (its properties are written
// with a dotted prefix, "Font.Name") or a collection ("Bars = <...>"). Options: Default(v) (the
// value is not written when equal), Stored(pred) / NotStored (not written when false), Idents(map)
// (integers written as identifiers, such as colours), AsBinary (a std::string written as {hex}).
//
// A property without a declared default is always written, except strings (not when empty),
// floats (not when 0), binary data (not when empty), references (not when none) and events (not
// when unassigned or not bound by name).
//
// Classes that are not TPersistent (the string list, the font) can be registered too; what they
// store besides properties is declared with DefineProperties. Registration is not thread-safe and
// belongs to start-up; registering a name or a C++ type twice is a programming error
// (std::logic_error).
#include <any>
#include <cstdint>
#include <functional>
#include <limits>
#include <memory>
#include <optional>
#include <set>
#include <stdexcept>
#include <string>
#include <type_traits>
#include <typeindex>
#include <typeinfo>
#include <vector>

#include "platform/forms/Collection.h"
#include "platform/forms/Component.h"
#include "platform/forms/FormText.h"
#include "platform/forms/Set.h"

class TFiler;
class TReader;
class TWriter;
struct TClassInfo;

// An object seen through the registry: Ptr points at an object of exactly Info's class.
struct TInstance {
    void* Ptr = nullptr;
    const TClassInfo* Info = nullptr;
    explicit operator bool() const { return Ptr != nullptr && Info != nullptr; }
};

enum class TPropKind {
    Integer,
    Boolean,
    Char,
    Enumeration,
    Set,
    String,
    Float,
    Binary,
    Object,
    Collection,
    Component,
    Event
};

// Identifiers that stand for integer values (colours, character sets, cursors).
struct TIdentMap {
    std::function<std::optional<std::int64_t>(const std::string& Ident)> ToValue;
    std::function<std::optional<std::string>(std::int64_t Value)> ToIdent;
};

struct TPropInfo {
    std::string Name;
    TPropKind Kind = TPropKind::Integer;
    // Sets the property of Obj (an object of the declaring class) from a definition's value.
    std::function<void(void* Obj, const TFormValue& Value, TReader& Reader)> Read;
    // The value as it is written; nothing when there is none to write (see the top of the file).
    std::function<std::optional<TFormValue>(void* Obj, TWriter& Writer)> Write;
    // Object and Collection: the sub-object (empty when there is none).
    std::function<TInstance(void* Obj)> Sub;
    std::optional<TFormValue> Default;
    std::function<bool(void* Obj)> Stored;
};

struct TMethodInfo {
    std::string Name;
    // A std::function of the method's signature bound to Obj (an object of the declaring class).
    std::function<std::any(void* Obj)> Bind;
};

struct TClassInfo {
    explicit TClassInfo(std::type_index AType) : Type(AType) {}

    std::string Name;
    const TClassInfo* Parent = nullptr;
    std::type_index Type;
    // An object of this class -> its part of the parent class.
    void* (*ToParent)(void*) = nullptr;
    // Components that can be created by name; empty for other classes and abstract ones.
    std::function<TComponent*(TComponent* Owner)> Create;
    // Classes derived from TPersistent: the object as one.
    TPersistent* (*ToPersistent)(void*) = nullptr;
    std::vector<TPropInfo> Properties;
    std::vector<TMethodInfo> Methods;
    // What the class stores besides its properties (see TFiler); empty when nothing.
    std::function<void(void* Obj, TFiler& Filer)> DefineProperties;

    bool InheritsFrom(const TClassInfo* Other) const;
};

// The registered class of that name (compared without regard to case), or none.
const TClassInfo* GetClass(const std::string& Name);
// The registered class of that C++ type, or none.
const TClassInfo* ClassInfoOfType(std::type_index Type);
template <class T>
const TClassInfo* ClassInfoOf() {
    return ClassInfoOfType(typeid(T));
}
// The class of Obj's dynamic type when it is registered, or none.
const TClassInfo* ClassInfoOf(const TObject* Obj);

// Obj through its registered dynamic class; empty when that class is not registered.
TInstance InstanceOf(TPersistent* Obj);
template <class U>
TInstance InstanceOf(U* Obj) {
    if (Obj == nullptr) return {};
    if constexpr (std::is_base_of_v<TPersistent, U>) {
        return InstanceOf(static_cast<TPersistent*>(Obj));
    } else {
        if constexpr (std::is_polymorphic_v<U>) {
            if (const TClassInfo* Dynamic = ClassInfoOfType(typeid(*Obj)))
                return {dynamic_cast<void*>(Obj), Dynamic};
        }
        const TClassInfo* Static = ClassInfoOf<U>();
        return Static ? TInstance{static_cast<void*>(Obj), Static} : TInstance{};
    }
}
// The part of Inst that belongs to Target (one of its classes), or null.
void* Upcast(TInstance Inst, const TClassInfo* Target);
// The property of that name (without regard to case) on Inst's class or the nearest parent that
// has it; Obj receives the object to hand its procedures. None when there is no such property.
const TPropInfo* FindProperty(TInstance Inst, const std::string& Name, void*& Obj);
// Every property of the class, parents' first; a property registered again further down takes
// the place of the parent's. Each comes with the class that declares it.
std::vector<std::pair<const TClassInfo*, const TPropInfo*>> AllProperties(const TClassInfo* Info);
// The method of that name on the class or a parent, bound to the object; empty when none.
std::any BindMethod(TInstance Inst, const std::string& Name);

// ---- registration --------------------------------------------------------------------------

// Registers the names of an enumeration whose values are 0..n-1, in order.
void RegisterEnumNames(std::type_index Type, std::vector<std::string> Names);
template <class E>
void RegisterEnum(std::vector<std::string> Names) {
    static_assert(std::is_enum_v<E>);
    RegisterEnumNames(typeid(E), std::move(Names));
}
// The names of a registered enumeration, or none.
const std::vector<std::string>* EnumNames(std::type_index Type);

TClassInfo& AddClassInfo(std::unique_ptr<TClassInfo> Info);

namespace FormsDetail {

template <class T>
struct IsStdSet : std::false_type {};
template <class E>
struct IsStdSet<std::set<E>> : std::true_type {};
template <class T>
struct IsTSet : std::false_type {};
template <class E>
struct IsTSet<TSet<E>> : std::true_type {};
template <class T>
struct IsFunction : std::false_type {};
template <class F>
struct IsFunction<std::function<F>> : std::true_type {};

template <class T>
struct SetElement;
template <class E>
struct SetElement<std::set<E>> {
    using Type = E;
};
template <class E>
struct SetElement<TSet<E>> {
    using Type = E;
};

template <class R>
constexpr TPropKind KindOf() {
    if constexpr (std::is_same_v<R, bool>)
        return TPropKind::Boolean;
    else if constexpr (std::is_same_v<R, char>)
        return TPropKind::Char;
    else if constexpr (std::is_integral_v<R>)
        return TPropKind::Integer;
    else if constexpr (std::is_floating_point_v<R>)
        return TPropKind::Float;
    else if constexpr (std::is_same_v<R, std::string>)
        return TPropKind::String;
    else if constexpr (std::is_enum_v<R>)
        return TPropKind::Enumeration;
    else if constexpr (IsStdSet<R>::value || IsTSet<R>::value)
        return TPropKind::Set;
    else if constexpr (IsFunction<R>::value)
        return TPropKind::Event;
    else if constexpr (std::is_pointer_v<R> &&
                       std::is_base_of_v<TComponent, std::remove_pointer_t<R>>)
        return TPropKind::Component;
    else
        static_assert(std::is_void_v<R>, "this type cannot be a published property");
}

// The options of one property, collected from the registration call.
struct TOptions {
    const TIdentMap* Idents = nullptr;
    bool Binary = false;
};

// Conversions between definition values and the basic C++ values (defined in the .cpp).
std::int64_t ToInteger(const TFormValue& V, std::int64_t Min, std::int64_t Max,
                       const TIdentMap* Idents, TReader& Reader);
TFormValue FromInteger(std::int64_t Value, const TIdentMap* Idents);
bool ToBoolean(const TFormValue& V, TReader& Reader);
char ToChar(const TFormValue& V, TReader& Reader);
double ToFloat(const TFormValue& V, TReader& Reader);
std::string ToString(const TFormValue& V, TReader& Reader);
std::string ToBinary(const TFormValue& V, TReader& Reader);
int ToEnum(const TFormValue& V, std::type_index Type, TReader& Reader);
TFormValue FromEnum(int Ordinal, std::type_index Type);
std::uint64_t ToSet(const TFormValue& V, std::type_index Element, TReader& Reader);
TFormValue FromSet(std::uint64_t Bits, std::type_index Element);
void CheckEnumRegistered(std::type_index Type);
std::any BindEvent(const TFormValue& V, TReader& Reader);
[[noreturn]] void EventMismatch(const TFormValue& V, TReader& Reader);
void RecordMethodName(TPersistent* Obj, const std::string& Event, const TFormValue& V);
void AddReference(const TFormValue& V, TReader& Reader, std::function<bool(TComponent*)> Apply);
std::optional<TFormValue> ReferenceValue(const TComponent* Target, TWriter& Writer);
void ReadCollection(TCollection* Collection, const TFormValue& V, TReader& Reader);

template <class R>
R FromFormValue(const TFormValue& V, TReader& Reader, const TOptions& Options) {
    if constexpr (std::is_same_v<R, bool>) {
        return ToBoolean(V, Reader);
    } else if constexpr (std::is_same_v<R, char>) {
        return ToChar(V, Reader);
    } else if constexpr (std::is_integral_v<R>) {
        return R(ToInteger(V, std::int64_t(std::numeric_limits<R>::min()),
                           std::int64_t(std::min<std::uint64_t>(
                               std::uint64_t(std::numeric_limits<R>::max()),
                               std::uint64_t(std::numeric_limits<std::int64_t>::max()))),
                           Options.Idents, Reader));
    } else if constexpr (std::is_floating_point_v<R>) {
        return R(ToFloat(V, Reader));
    } else if constexpr (std::is_same_v<R, std::string>) {
        return Options.Binary ? ToBinary(V, Reader) : ToString(V, Reader);
    } else if constexpr (std::is_enum_v<R>) {
        return R(ToEnum(V, typeid(R), Reader));
    } else if constexpr (IsTSet<R>::value) {
        return R::FromBits(ToSet(V, typeid(typename SetElement<R>::Type), Reader));
    } else {
        using E = typename SetElement<R>::Type;
        const std::uint64_t Bits = ToSet(V, typeid(E), Reader);
        R Result;
        for (unsigned I = 0; I < 64; ++I)
            if (Bits & (std::uint64_t(1) << I)) Result.insert(E(I));
        return Result;
    }
}

template <class R>
TFormValue ToFormValue(const R& Value, const TOptions& Options) {
    if constexpr (std::is_same_v<R, bool>) {
        return TFormValue::MakeIdent(Value ? "True" : "False");
    } else if constexpr (std::is_same_v<R, char>) {
        return TFormValue::MakeString(std::string(1, Value));
    } else if constexpr (std::is_integral_v<R>) {
        return FromInteger(std::int64_t(Value), Options.Idents);
    } else if constexpr (std::is_floating_point_v<R>) {
        return TFormValue::MakeFloat(double(Value));
    } else if constexpr (std::is_same_v<R, std::string>) {
        return Options.Binary ? TFormValue::MakeBinary(Value) : TFormValue::MakeString(Value);
    } else if constexpr (std::is_enum_v<R>) {
        return FromEnum(int(Value), typeid(R));
    } else if constexpr (IsTSet<R>::value) {
        return FromSet(Value.Bits(), typeid(typename SetElement<R>::Type));
    } else {
        std::uint64_t Bits = 0;
        for (auto Element : Value)
            if (unsigned(Element) < 64) Bits |= std::uint64_t(1) << unsigned(Element);
        return FromSet(Bits, typeid(typename SetElement<R>::Type));
    }
}

}  // namespace FormsDetail

// ---- options -------------------------------------------------------------------------------

template <class V>
struct TDefaultOption {
    V Value;
};
// The value a property has when it is not written.
template <class V>
TDefaultOption<V> Default(V Value) {
    return {std::move(Value)};
}
inline TDefaultOption<std::string> Default(const char* Value) {
    return {std::string(Value)};
}

template <class P>
struct TStoredOption {
    P Predicate;
};
// Written only when the predicate (a const member function or a callable taking the object)
// answers true.
template <class P>
TStoredOption<P> Stored(P Predicate) {
    return {Predicate};
}
struct TNotStoredOption {};
inline constexpr TNotStoredOption NotStored{};

struct TIdentsOption {
    const TIdentMap* Map;
};
inline TIdentsOption Idents(const TIdentMap& Map) {
    return {&Map};
}
struct TBinaryOption {};
inline constexpr TBinaryOption AsBinary{};

// ---- the builder ---------------------------------------------------------------------------

template <class T>
class TClassBuilder {
  public:
    explicit TClassBuilder(TClassInfo& Info) : FInfo(Info) {}

    // A property read and written through a getter and a setter (member functions or callables
    // taking the object).
    template <class G, class S, class... O>
    TClassBuilder& Property(std::string Name, G Get, S Set, O... Options) {
        using R = std::decay_t<std::invoke_result_t<G, T&>>;
        return Add<R>(
            std::move(Name),
            [Get](void* Obj) -> R { return std::invoke(Get, *static_cast<T*>(Obj)); },
            [Set](void* Obj, R Value) {
                std::invoke(Set, *static_cast<T*>(Obj), std::move(Value));
            },
            Options...);
    }

    // A property that is a data member (events usually are).
    template <class R, class... O>
    TClassBuilder& Field(std::string Name, R T::*Member, O... Options) {
        return Add<R>(
            std::move(Name), [Member](void* Obj) -> R { return static_cast<T*>(Obj)->*Member; },
            [Member](void* Obj, R Value) { static_cast<T*>(Obj)->*Member = std::move(Value); },
            Options...);
    }

    // A sub-object or a collection reached through its getter; its own properties are read and
    // written in place.
    template <class G, class... O>
    TClassBuilder& Object(std::string Name, G Get, O... Options) {
        using P = std::invoke_result_t<G, T&>;
        static_assert(std::is_pointer_v<P>, "the getter of a sub-object returns a pointer");
        using U = std::remove_cv_t<std::remove_pointer_t<P>>;
        static_assert(!std::is_base_of_v<TComponent, U>,
                      "a component is a reference: register it with Property()");
        TPropInfo Prop;
        Prop.Name = std::move(Name);
        Prop.Kind = std::is_base_of_v<TCollection, U> ? TPropKind::Collection : TPropKind::Object;
        Prop.Sub = [Get](void* Obj) {
            return InstanceOf(const_cast<U*>(std::invoke(Get, *static_cast<T*>(Obj))));
        };
        if constexpr (std::is_base_of_v<TCollection, U>) {
            Prop.Read = [Get](void* Obj, const TFormValue& Value, TReader& Reader) {
                FormsDetail::ReadCollection(std::invoke(Get, *static_cast<T*>(Obj)), Value, Reader);
            };
        }
        FormsDetail::TOptions Collected;
        (Apply<U*>(Prop, Collected, Options), ...);
        FInfo.Properties.push_back(std::move(Prop));
        return *this;
    }

    // A method of a root class that events name in definitions.
    template <class R, class... A>
    TClassBuilder& Method(std::string Name, R (T::*Member)(A...)) {
        FInfo.Methods.push_back({std::move(Name), [Member](void* Obj) -> std::any {
                                     T* Self = static_cast<T*>(Obj);
                                     return std::function<R(A...)>([Self, Member](A... Args) {
                                         return (Self->*Member)(std::forward<A>(Args)...);
                                     });
                                 }});
        return *this;
    }

    // What the class stores besides its properties (TFiler::DefineProperty).
    TClassBuilder& DefineProperties(std::function<void(T&, TFiler&)> Define) {
        FInfo.DefineProperties = [Define](void* Obj, TFiler& Filer) {
            Define(*static_cast<T*>(Obj), Filer);
        };
        return *this;
    }

    const TClassInfo& Info() const { return FInfo; }

  private:
    template <class R, class GetFn, class SetFn, class... O>
    TClassBuilder& Add(std::string Name, GetFn Get, SetFn Set, O... Options) {
        constexpr TPropKind Kind = FormsDetail::KindOf<R>();
        if constexpr (Kind == TPropKind::Enumeration) FormsDetail::CheckEnumRegistered(typeid(R));
        if constexpr (Kind == TPropKind::Set)
            FormsDetail::CheckEnumRegistered(typeid(typename FormsDetail::SetElement<R>::Type));
        TPropInfo Prop;
        Prop.Name = Name;
        Prop.Kind = Kind;
        FormsDetail::TOptions Collected;
        (Apply<R>(Prop, Collected, Options), ...);
        (ApplyDefault<R>(Prop, Collected, Options), ...);
        if (Collected.Binary) Prop.Kind = TPropKind::Binary;
        if constexpr (Kind == TPropKind::Event) {
            Prop.Read = [Set, Name](void* Obj, const TFormValue& Value, TReader& Reader) {
                std::any Bound = FormsDetail::BindEvent(Value, Reader);
                R Handler;
                if (Bound.has_value()) {
                    R* Typed = std::any_cast<R>(&Bound);
                    if (Typed == nullptr) FormsDetail::EventMismatch(Value, Reader);
                    Handler = std::move(*Typed);
                }
                Set(Obj, std::move(Handler));
                if constexpr (std::is_base_of_v<TPersistent, T>)
                    FormsDetail::RecordMethodName(static_cast<T*>(Obj), Name, Value);
            };
            Prop.Write = [Get, Name](void* Obj, TWriter&) -> std::optional<TFormValue> {
                if constexpr (std::is_base_of_v<TPersistent, T>) {
                    if (!Get(Obj)) return std::nullopt;
                    const std::string Method = static_cast<T*>(Obj)->BoundMethodName(Name);
                    if (!Method.empty()) return TFormValue::MakeIdent(Method);
                }
                return std::nullopt;
            };
        } else if constexpr (Kind == TPropKind::Component) {
            using U = std::remove_pointer_t<R>;
            Prop.Read = [Set](void* Obj, const TFormValue& Value, TReader& Reader) {
                FormsDetail::AddReference(Value, Reader, [Obj, Set](TComponent* Target) {
                    U* Typed = dynamic_cast<U*>(Target);
                    if (Target != nullptr && Typed == nullptr) return false;
                    Set(Obj, Typed);
                    return true;
                });
            };
            Prop.Write = [Get](void* Obj, TWriter& Writer) {
                return FormsDetail::ReferenceValue(Get(Obj), Writer);
            };
        } else {
            Prop.Read = [Set, Collected](void* Obj, const TFormValue& Value, TReader& Reader) {
                Set(Obj, FormsDetail::FromFormValue<R>(Value, Reader, Collected));
            };
            Prop.Write = [Get, Collected](void* Obj, TWriter&) -> std::optional<TFormValue> {
                return FormsDetail::ToFormValue<R>(Get(Obj), Collected);
            };
        }
        FInfo.Properties.push_back(std::move(Prop));
        return *this;
    }

    // Options are applied in two rounds: the default last, so that it is converted with the
    // identifiers and the binary flag whatever the order they were given in.
    template <class R, class V>
    void ApplyDefault(TPropInfo& Prop, const FormsDetail::TOptions& Collected,
                      const TDefaultOption<V>& Opt) {
        static_assert(std::is_constructible_v<R, V> && !std::is_pointer_v<R> &&
                          !FormsDetail::IsFunction<R>::value,
                      "the default does not fit the property");
        Prop.Default = FormsDetail::ToFormValue<R>(R(Opt.Value), Collected);
    }
    template <class R, class Other>
    void ApplyDefault(TPropInfo&, const FormsDetail::TOptions&, const Other&) {}

    template <class R, class V>
    void Apply(TPropInfo&, FormsDetail::TOptions&, const TDefaultOption<V>&) {}
    template <class R, class P>
    void Apply(TPropInfo& Prop, FormsDetail::TOptions&, const TStoredOption<P>& Opt) {
        Prop.Stored = [Pred = Opt.Predicate](void* Obj) {
            return bool(std::invoke(Pred, *static_cast<const T*>(Obj)));
        };
    }
    template <class R>
    void Apply(TPropInfo& Prop, FormsDetail::TOptions&, TNotStoredOption) {
        Prop.Stored = [](void*) { return false; };
    }
    template <class R>
    void Apply(TPropInfo&, FormsDetail::TOptions& Collected, TIdentsOption Opt) {
        static_assert(std::is_integral_v<R>, "identifiers stand for integers");
        Collected.Idents = Opt.Map;
    }
    template <class R>
    void Apply(TPropInfo&, FormsDetail::TOptions& Collected, TBinaryOption) {
        static_assert(std::is_same_v<R, std::string>, "binary data is kept in a std::string");
        Collected.Binary = true;
    }

    TClassInfo& FInfo;
};

// Registers T under Name with its parent class (void for a root of the class tree). Components
// that can be constructed with an owner get a factory. Returns the builder for its properties.
template <class T, class Parent = void>
TClassBuilder<T> RegisterClass(const std::string& Name) {
    auto Info = std::make_unique<TClassInfo>(typeid(T));
    Info->Name = Name;
    if constexpr (!std::is_void_v<Parent>) {
        static_assert(std::is_base_of_v<Parent, T>, "the parent class is a base of the class");
        Info->Parent = ClassInfoOf<Parent>();
        if (Info->Parent == nullptr)
            throw std::logic_error("the parent class of " + Name + " is not registered");
        Info->ToParent = [](void* Obj) -> void* {
            return static_cast<Parent*>(static_cast<T*>(Obj));
        };
    }
    if constexpr (std::is_base_of_v<TPersistent, T>)
        Info->ToPersistent = [](void* Obj) -> TPersistent* { return static_cast<T*>(Obj); };
    if constexpr (std::is_base_of_v<TComponent, T> && !std::is_abstract_v<T> &&
                  std::is_constructible_v<T, TComponent*>)
        Info->Create = [](TComponent* Owner) -> TComponent* { return new T(Owner); };
    return TClassBuilder<T>(AddClassInfo(std::move(Info)));
}
