#include "platform/forms/Filer.h"

#include <algorithm>

#include "platform/forms/ClassRegistry.h"
#include "platform/forms/Collection.h"
#include "platform/forms/FormDefinitions.h"
#include "platform/forms/Limits.h"

namespace {

// Readers nest for inline components (each reads its own class's definition); a definition that
// puts itself inline must not recurse without end.
thread_local int GReaderNesting = 0;

std::vector<std::string> SplitDots(const std::string& Path) {
    std::vector<std::string> Parts;
    size_t Start = 0;
    for (;;) {
        const size_t Dot = Path.find('.', Start);
        Parts.push_back(Path.substr(Start, Dot - Start));
        if (Dot == std::string::npos) return Parts;
        Start = Dot + 1;
    }
}

// Counts one level of nesting for the scope's life; Fail reports too deep a nesting.
class TDepthScope {
  public:
    template <class F>
    TDepthScope(int& Depth, F&& Fail) : FDepth(Depth) {
        if (++FDepth > FormsLimits::kMaxNestingDepth) {
            --FDepth;
            Fail();
        }
    }
    ~TDepthScope() { --FDepth; }
    TDepthScope(const TDepthScope&) = delete;
    TDepthScope& operator=(const TDepthScope&) = delete;

  private:
    int& FDepth;
};

}  // namespace

// Hears of components being freed while a read is under way, so that the reader never touches
// them again.
class TReadWatch : public TPersistentFreeWatch {
  public:
    explicit TReadWatch(TReader& Reader) : FReader(Reader) {}
    void Freed(const TPersistent* Obj) override { FReader.Forget(Obj); }

  private:
    TReader& FReader;
};

// ---- TFiler --------------------------------------------------------------------------------

void TFiler::DefineAll(TInstance Inst) {
    std::vector<const TClassInfo*> Chain;
    for (const TClassInfo* Info = Inst.Info; Info != nullptr; Info = Info->Parent)
        Chain.push_back(Info);
    for (auto It = Chain.rbegin(); It != Chain.rend(); ++It)
        if ((*It)->DefineProperties) (*It)->DefineProperties(Upcast(Inst, *It), *this);
}

// ---- TReader: whole definitions ------------------------------------------------------------

TReader::TReader(const TFormObject& Definition, std::string Origin)
    : TReader(std::vector<TDefinitionLevel>{{&Definition, std::move(Origin)}}) {}

TReader::TReader(std::vector<TDefinitionLevel> Levels) : FLevels(std::move(Levels)) {}

TReader::~TReader() = default;

void TReader::Fail(const std::string& What, TTextPos Pos) const {
    throw EFormReadError(What, Pos, FOrigin);
}

TComponent* TReader::ReadRootComponent(TComponent* Root) {
    if (FLevels.empty()) return Root;
    FOrigin = FLevels.front().Origin;
    TDepthScope Nesting(GReaderNesting, [&] {
        Fail("Definitions nest deeper than " + std::to_string(FormsLimits::kMaxNestingDepth) +
                 " levels",
             FLevels.front().Definition->Pos);
    });
    FWatch = std::make_unique<TReadWatch>(*this);
    const bool RootCreated = Root == nullptr;
    try {
        if (RootCreated) {
            Root = CreateComponent(*FLevels.front().Definition);
        } else {
            Root->IncludeState(csLoading);
            Root->IncludeState(csReading);
        }
        FRoot = Root;
        FLoaded.push_back(Root);
        for (const TDefinitionLevel& Level : FLevels) {
            const TFormObject& Definition = *Level.Definition;
            FOrigin = Level.Origin;
            FOwner = Root;
            FParent = nullptr;
            if (!FKeepRootName && !Definition.Name.empty() && Definition.Name != Root->Name())
                SetName(Root, UniqueRootName(Root, Definition.Name), Definition.Pos);
            FNode = &Definition;
            FCurrent = Root;
            Root->IncludeState(csReading);
            Root->ReadState(*this);
            if (!IsAlive(Root)) Fail("The root was freed while it was read", Definition.Pos);
            Root->ExcludeState(csReading);
        }
        ResolveFixups();
        CallLoaded();
    } catch (...) {
        Cleanup(RootCreated ? nullptr : Root);
        throw;
    }
    FWatch.reset();
    return Root;
}

// A second form of one class among its owner's components: the definition's name taken with
// "_1", "_2", ... so that both can live side by side.
std::string TReader::UniqueRootName(TComponent* Root, const std::string& Name) {
    TComponent* Owner = Root->Owner();
    auto Taken = [&](const std::string& Candidate) {
        if (!Owner) return false;
        TComponent* Other = Owner->FindComponent(Candidate);
        return Other != nullptr && Other != Root;
    };
    if (!Taken(Name)) return Name;
    for (int I = 1;; ++I) {
        const std::string Candidate = Name + "_" + std::to_string(I);
        if (!Taken(Candidate)) return Candidate;
    }
}

TComponent* TReader::CreateComponent(const TFormObject& Node) {
    const TClassInfo* Info = GetClass(Node.ClassName);
    if (Info == nullptr)
        throw EClassNotFound("Class " + Node.ClassName + " not found", Node.Pos, FOrigin);
    if (!Info->Create) Fail(Info->Name + " is not a component class", Node.Pos);
    TComponentState State{csLoading, csReading};
    if (Node.Kind == TObjectKind::Inline) State.Include(csInline);
    TComponent* Component;
    {
        TComponentCreationScope Scope(State);
        Component = Info->Create(FOwner);
    }
    FCreated.push_back(Component);
    // A new component may take the place of a freed one.
    FDead.erase(Component);
    return Component;
}

void TReader::SetName(TComponent* Component, const std::string& Name, TTextPos Pos) {
    try {
        Component->SetName(Name);
    } catch (const EFormReadError&) {
        throw;
    } catch (const Exception& E) {
        Fail(E.Message(), Pos);
    }
}

void TReader::ReadData(TComponent* Instance) {
    if (FNode == nullptr) return;
    const TFormObject& Node = *FNode;
    const TInstance Inst = InstanceOf(Instance);
    if (!Inst) Fail("Class " + Instance->ClassName() + " is not registered", Node.Pos);
    if (!ReadProperties(Inst, Instance, Node.Properties))
        Fail((Node.Name.empty() ? Node.ClassName : Node.Name) +
                 " was freed while its properties were read",
             Node.Pos);

    TComponent* const SavedOwner = FOwner;
    TComponent* const SavedParent = FParent;
    TComponent* const SavedCurrent = FCurrent;
    TComponent* ChildOwner = Instance->GetChildOwner();
    FOwner = ChildOwner != nullptr ? ChildOwner : FRoot;
    FParent = Instance->GetChildParent();
    for (const TFormObject& Child : Node.Children) {
        // A component read earlier may have freed this one (and with it the parent and owner
        // the next child would get).
        if (!IsAlive(Instance) || !IsAlive(FOwner))
            Fail((Node.Name.empty() ? Node.ClassName : Node.Name) +
                     " was freed while its children were read",
                 Child.Pos);
        ReadComponent(Child);
    }
    FOwner = SavedOwner;
    FParent = SavedParent;
    FCurrent = SavedCurrent;
    FNode = &Node;
}

TComponent* TReader::ReadComponent(const TFormObject& Node) {
    TDepthScope Depth(FDepth, [&] {
        Fail("Nesting deeper than " + std::to_string(FormsLimits::kMaxNestingDepth) + " levels",
             Node.Pos);
    });
    TComponent* Component;
    if (Node.Kind == TObjectKind::Inherited) {
        Component = FOwner != nullptr ? FOwner->FindComponent(Node.Name) : nullptr;
        if (Component == nullptr) Fail("Ancestor for '" + Node.Name + "' not found", Node.Pos);
        const TClassInfo* Info = GetClass(Node.ClassName);
        if (Info == nullptr)
            throw EClassNotFound("Class " + Node.ClassName + " not found", Node.Pos, FOrigin);
        if (Upcast(InstanceOf(Component), Info) == nullptr)
            Fail(Node.Name + " is not a " + Info->Name, Node.Pos);
        Component->IncludeState(csLoading);
        Component->IncludeState(csReading);
    } else {
        Component = CreateComponent(Node);
        if (!Node.Name.empty()) SetName(Component, Node.Name, Node.Pos);
        if (Node.Kind == TObjectKind::Inline) ReadOwnDefinition(Component, Node);
    }
    if (std::find(FLoaded.begin(), FLoaded.end(), Component) == FLoaded.end())
        FLoaded.push_back(Component);
    try {
        if (Component->HasParent()) Component->SetParentComponent(FParent);
    } catch (const EFormReadError&) {
        throw;
    } catch (const Exception& E) {
        Fail(E.Message(), Node.Pos);
    }
    const TFormObject* const SavedNode = FNode;
    FNode = &Node;
    FCurrent = Component;
    Component->ReadState(*this);
    FNode = SavedNode;
    if (IsAlive(Component)) {
        Component->ExcludeState(csReading);
        if (Node.ChildPos && FParent != nullptr) FParent->SetChildOrder(Component, *Node.ChildPos);
    }
    return Component;
}

void TReader::ReadOwnDefinition(TComponent* Component, const TFormObject& Node) {
    const std::optional<TFormDefinition> Own = FindFormDefinition(Component->ClassName());
    if (!Own) return;
    const TFormObject Tree = ParseFormText(Own->Text, Own->Origin);
    TReader Inner(Tree, Own->Origin);
    // The component keeps the name the outer definition gave it.
    Inner.FKeepRootName = true;
    try {
        Inner.ReadRootComponent(Component);
    } catch (const EFormReadError& E) {
        Fail("In the definition of " + Node.ClassName + ": " + E.Message(), Node.Pos);
    }
    if (!IsAlive(Component)) Fail(Node.Name + " was freed while it was read", Node.Pos);
    Component->IncludeState(csLoading);
    Component->IncludeState(csReading);
}

bool TReader::ReadProperties(TInstance Inst, const TPersistent* Holder,
                             const std::vector<TFormProperty>& Properties) {
    FHolders.push_back(Holder);
    for (const TFormProperty& Property : Properties) {
        try {
            ReadProperty(Inst, Property);
        } catch (...) {
            FHolders.pop_back();
            throw;
        }
        if (!IsAlive(Holder)) {
            FHolders.pop_back();
            return false;
        }
    }
    FHolders.pop_back();
    return true;
}

void TReader::ReadProperty(TInstance Inst, const TFormProperty& Property) {
    const std::vector<std::string> Path = SplitDots(Property.Name);
    TInstance Current = Inst;
    std::string Walked;
    for (size_t I = 0; I + 1 < Path.size(); ++I) {
        Walked += (I ? "." : "") + Path[I];
        void* Obj = nullptr;
        const TPropInfo* Prop = FindProperty(Current, Path[I], Obj);
        if (Prop == nullptr) Fail("Property " + Walked + " does not exist", Property.Pos);
        if (Prop->Kind != TPropKind::Object)
            Fail("Property " + Walked + " has no properties of its own", Property.Pos);
        Current = Prop->Sub(Obj);
        if (!Current) Fail("Property " + Walked + " is not set", Property.Pos);
    }
    const std::string SavedName = FPropertyName;
    FPropertyName = Property.Name;
    void* Obj = nullptr;
    const TPropInfo* Prop = FindProperty(Current, Path.back(), Obj);
    if (Prop == nullptr) {
        ReadDefined(Current, Path.back(), Property);
    } else if (Prop->Kind == TPropKind::Object) {
        Fail("Property " + Property.Name + " takes no value; its properties are set one by one",
             Property.Value.Pos);
    } else {
        try {
            Prop->Read(Obj, Property.Value, *this);
        } catch (const EFormReadError&) {
            throw;
        } catch (const Exception& E) {
            Fail("Error setting property " + Property.Name + ": " + E.Message(),
                 Property.Value.Pos);
        }
    }
    FPropertyName = SavedName;
}

void TReader::ReadDefined(TInstance Inst, const std::string& Name, const TFormProperty& Property) {
    const std::string* const SavedName = FDefining;
    const TFormProperty* const SavedProperty = FDefiningProperty;
    const bool SavedDefined = FDefined;
    FDefining = &Name;
    FDefiningProperty = &Property;
    FDefined = false;
    DefineAll(Inst);
    const bool Defined = FDefined;
    FDefining = SavedName;
    FDefiningProperty = SavedProperty;
    FDefined = SavedDefined;
    if (!Defined) Fail("Property " + Property.Name + " does not exist", Property.Pos);
}

void TReader::DefineProperty(const std::string& Name, const TReaderProc& ReadData,
                             const TWriterProc&, bool) {
    if (FDefining == nullptr || FDefined || !ReadData || !SameText(Name, *FDefining)) return;
    FDefined = true;
    const TFormValue& Value = FDefiningProperty->Value;
    FCursors.assign(1, TCursor{nullptr, &Value, 0});
    FLastPos = Value.Pos;
    try {
        ReadData(*this);
    } catch (const EFormReadError&) {
        throw;
    } catch (const Exception& E) {
        Fail("Error reading property " + FPropertyName + ": " + E.Message(), FLastPos);
    }
    if (FCursors.size() != 1 || Peek() != nullptr)
        Fail("Invalid value for property " + FPropertyName + ": more data than it takes",
             Value.Pos);
    FCursors.clear();
}

void TReader::DefineBinaryProperty(const std::string& Name, const TStreamProc& ReadData,
                                   const TStreamProc&, bool) {
    if (FDefining == nullptr || FDefined || !ReadData || !SameText(Name, *FDefining)) return;
    FDefined = true;
    const TFormValue& Value = FDefiningProperty->Value;
    if (Value.Kind != TValueKind::Binary) BadValue(Value, "binary data");
    TMemoryStream Stream;
    Stream.WriteString(Value.Text);
    Stream.SetPosition(0);
    try {
        ReadData(Stream);
    } catch (const EFormReadError&) {
        throw;
    } catch (const Exception& E) {
        Fail("Error reading property " + FPropertyName + ": " + E.Message(), Value.Pos);
    }
}

void TReader::ReadCollection(TCollection& Collection, const TFormValue& Value) {
    if (Value.Kind != TValueKind::Collection) BadValue(Value, "a collection (<...>)");
    // The references held for the items freed here go with them (see Forget).
    Collection.BeginUpdate();
    try {
        Collection.Clear();
        for (const TFormItem& Node : Value.Items) {
            TCollectionItem* Item = Collection.Add();
            FDead.erase(Item);
            const TInstance Inst = InstanceOf(Item);
            if (!Inst) Fail("Class " + Item->ClassName() + " is not registered", Node.Pos);
            // An item may free itself (a link whose item is set to none): the rest of its
            // properties are moot then. A collection freed by its own item cannot go on.
            FHolders.push_back(&Collection);
            ReadProperties(Inst, Item, Node.Properties);
            FHolders.pop_back();
            if (!IsAlive(&Collection))
                Fail("Property " + FPropertyName + " was freed while it was read", Node.Pos);
        }
    } catch (...) {
        if (IsAlive(&Collection)) Collection.EndUpdate();
        throw;
    }
    Collection.EndUpdate();
}

void TReader::AddFixup(const TFormValue& Reference, std::function<bool(TComponent*)> Apply) {
    FFixups.push_back({Reference.Text, Reference.Pos, FPropertyName, FHolders, std::move(Apply)});
    if (FCurrent != nullptr) FCurrent->IncludeState(csFixups);
}

TComponent* TReader::FindReference(const std::string& Name) const {
    const std::vector<std::string> Path = SplitDots(Name);
    if (Path.size() == 1) {
        if (TComponent* Found = FRoot->FindComponent(Name)) return Found;
        return SameText(Name, FRoot->Name()) ? FRoot : nullptr;
    }
    TComponent* Current = FRoot;
    size_t First = 0;
    if (SameText(Path[0], FRoot->Name()) && FRoot->FindComponent(Path[0]) == nullptr) First = 1;
    for (size_t I = First; I < Path.size() && Current != nullptr; ++I)
        Current = Current->FindComponent(Path[I]);
    return Current;
}

void TReader::ResolveFixups() {
    // Taken out first: a setter may start nothing new, but the list must not change under us.
    std::vector<TFixup> Fixups = std::move(FFixups);
    FFixups.clear();
    for (size_t I = 0; I < Fixups.size(); ++I) {
        TFixup& Fixup = Fixups[I];
        // A setter run for an earlier reference may have freed this one's holder.
        if (!std::all_of(Fixup.Holders.begin(), Fixup.Holders.end(),
                         [this](const TPersistent* Holder) { return IsAlive(Holder); }))
            continue;
        TComponent* Target = FindReference(Fixup.Name);
        if (Target == nullptr)
            Fail("Component " + Fixup.Name + " not found for property " + Fixup.Property,
                 Fixup.Pos);
        bool Fits = false;
        try {
            Fits = Fixup.Apply(Target);
        } catch (const EFormReadError&) {
            throw;
        } catch (const Exception& E) {
            Fail("Error setting property " + Fixup.Property + ": " + E.Message(), Fixup.Pos);
        }
        if (!Fits)
            Fail("Component " + Fixup.Name + " does not fit property " + Fixup.Property, Fixup.Pos);
    }
    for (TComponent* Component : FLoaded)
        if (Component != nullptr) Component->ExcludeState(csFixups);
}

void TReader::CallLoaded() {
    // Loaded may free other components; the watch empties their entries.
    for (size_t I = 0; I < FLoaded.size(); ++I)
        if (FLoaded[I] != nullptr) FLoaded[I]->Loaded();
}

bool TReader::IsAlive(const TPersistent* Obj) const {
    return FDead.count(Obj) == 0;
}

void TReader::Forget(const TPersistent* Obj) {
    FDead.insert(Obj);
    for (TComponent*& Component : FLoaded)
        if (Component == Obj) Component = nullptr;
    for (TComponent*& Component : FCreated)
        if (Component == Obj) Component = nullptr;
    std::erase_if(FFixups, [&](const TFixup& Fixup) {
        return std::find(Fixup.Holders.begin(), Fixup.Holders.end(), Obj) != Fixup.Holders.end();
    });
}

void TReader::Cleanup(TComponent* KeptRoot) {
    for (TComponent* Component : FLoaded) {
        if (Component == nullptr ||
            std::find(FCreated.begin(), FCreated.end(), Component) != FCreated.end())
            continue;
        Component->ExcludeState(csLoading);
        Component->ExcludeState(csReading);
        Component->ExcludeState(csFixups);
    }
    if (KeptRoot != nullptr && IsAlive(KeptRoot)) {
        KeptRoot->ExcludeState(csLoading);
        KeptRoot->ExcludeState(csReading);
    }
    FFixups.clear();
    // Last created first: nothing created later owns something created earlier. The watch
    // empties the entries of components that go with their owner.
    for (size_t I = FCreated.size(); I-- > 0;)
        if (FCreated[I] != nullptr) FCreated[I]->Free();
    FWatch.reset();
}

// ---- TReader: values of defined properties -------------------------------------------------

const TFormValue* TReader::Peek() const {
    if (FCursors.empty()) return nullptr;
    const TCursor& Top = FCursors.back();
    if (Top.List != nullptr)
        return Top.Index < Top.List->size() ? &(*Top.List)[Top.Index] : nullptr;
    return Top.Index == 0 ? Top.Value : nullptr;
}

TValueType TReader::NextValue() const {
    const TFormValue* Value = Peek();
    if (Value == nullptr) return TValueType::EndOfList;
    switch (Value->Kind) {
        case TValueKind::Integer:
            return TValueType::Integer;
        case TValueKind::Float:
            return TValueType::Float;
        case TValueKind::String:
            return TValueType::String;
        case TValueKind::Ident:
            if (SameText(Value->Text, "True")) return TValueType::True;
            if (SameText(Value->Text, "False")) return TValueType::False;
            if (SameText(Value->Text, "nil")) return TValueType::Nil;
            return TValueType::Ident;
        case TValueKind::Set:
            return TValueType::Set;
        case TValueKind::List:
            return TValueType::List;
        case TValueKind::Binary:
            return TValueType::Binary;
        case TValueKind::Collection:
            return TValueType::Collection;
    }
    return TValueType::EndOfList;
}

bool TReader::EndOfList() const {
    return Peek() == nullptr;
}

const TFormValue& TReader::Take(const char* What) {
    const TFormValue* Value = Peek();
    if (Value == nullptr) Error(std::string(What) + " expected but the list ends");
    ++FCursors.back().Index;
    FLastPos = Value->Pos;
    return *Value;
}

void TReader::ReadListBegin() {
    const TFormValue& Value = Take("a list");
    if (Value.Kind != TValueKind::List) BadValue(Value, "a list");
    FCursors.push_back(TCursor{&Value.Elements, &Value, 0});
}

void TReader::ReadListEnd() {
    if (FCursors.size() < 2 || FCursors.back().List == nullptr)
        Error("the end of a list that was not begun");
    if (Peek() != nullptr) Error("the end of the list expected");
    FCursors.pop_back();
}

int TReader::ReadInteger() {
    return int(FormsDetail::ToInteger(Take("an integer"), INT32_MIN, INT32_MAX, nullptr, *this));
}

std::int64_t TReader::ReadInt64() {
    return FormsDetail::ToInteger(Take("an integer"), INT64_MIN, INT64_MAX, nullptr, *this);
}

bool TReader::ReadBoolean() {
    return FormsDetail::ToBoolean(Take("True or False"), *this);
}

std::string TReader::ReadString() {
    return FormsDetail::ToString(Take("a string"), *this);
}

std::string TReader::ReadIdent() {
    const TFormValue& Value = Take("an identifier");
    if (Value.Kind != TValueKind::Ident) BadValue(Value, "an identifier");
    return Value.Text;
}

double TReader::ReadFloat() {
    return FormsDetail::ToFloat(Take("a number"), *this);
}

char TReader::ReadChar() {
    return FormsDetail::ToChar(Take("one character"), *this);
}

void TReader::Error(const std::string& What) const {
    Fail("Invalid value for property " + FPropertyName + ": " + What, FLastPos);
}

void TReader::BadValue(const TFormValue& Value, const std::string& Expected) const {
    Fail("Invalid value for property " + FPropertyName + ": " + Expected + " expected", Value.Pos);
}

std::any TReader::BindMethod(const TFormValue& Name) const {
    std::any Bound = ::BindMethod(InstanceOf(FRoot), Name.Text);
    if (!Bound.has_value())
        Fail("Method " + Name.Text + " not found in " + FRoot->ClassName(), Name.Pos);
    return Bound;
}

// ---- TWriter -------------------------------------------------------------------------------

TFormObject TWriter::WriteRootComponent(TComponent* Root) {
    FRoot = Root;
    return WriteComponent(Root);
}

TFormObject TWriter::WriteComponent(TComponent* Component) {
    TDepthScope Depth(FDepth, [] {
        throw EFormWriteError("Components nest deeper than " +
                              std::to_string(FormsLimits::kMaxNestingDepth) + " levels");
    });
    const TInstance Inst = InstanceOf(Component);
    if (!Inst) throw EFormWriteError("Class " + Component->ClassName() + " is not registered");
    TFormObject Node;
    Node.Name = Component->Name();
    Node.ClassName = Inst.Info->Name;
    Component->IncludeState(csWriting);
    try {
        WriteProperties(Inst, std::string(), Node.Properties);
        Component->GetChildren(
            [&](TComponent* Child) { Node.Children.push_back(WriteComponent(Child)); }, FRoot);
    } catch (...) {
        Component->ExcludeState(csWriting);
        throw;
    }
    Component->ExcludeState(csWriting);
    return Node;
}

namespace {

// Values a property without a declared default keeps when it is not written.
bool IsImplicitDefault(TPropKind Kind, const TFormValue& Value) {
    switch (Kind) {
        case TPropKind::String:
        case TPropKind::Binary:
            return Value.Text.empty();
        case TPropKind::Float:
            return Value.Kind == TValueKind::Float && Value.Float == 0;
        default:
            return false;
    }
}

}  // namespace

void TWriter::WriteProperties(TInstance Inst, const std::string& Prefix,
                              std::vector<TFormProperty>& Out) {
    TDepthScope Depth(FDepth, [] {
        throw EFormWriteError("Objects nest deeper than " +
                              std::to_string(FormsLimits::kMaxNestingDepth) + " levels");
    });
    for (const auto& [Info, Prop] : AllProperties(Inst.Info)) {
        void* Obj = Upcast(Inst, Info);
        if (Prop->Stored && !Prop->Stored(Obj)) continue;
        const std::string Name = Prefix + Prop->Name;
        if (Prop->Kind == TPropKind::Object) {
            if (const TInstance Sub = Prop->Sub(Obj)) WriteProperties(Sub, Name + ".", Out);
            continue;
        }
        if (Prop->Kind == TPropKind::Collection) {
            const TInstance Sub = Prop->Sub(Obj);
            auto* Collection =
                Sub ? dynamic_cast<TCollection*>(Sub.Info->ToPersistent(Sub.Ptr)) : nullptr;
            if (Collection == nullptr || Collection->Count() == 0) continue;
            TFormValue Value;
            Value.Kind = TValueKind::Collection;
            for (int I = 0; I < Collection->Count(); ++I) {
                TCollectionItem* Item = Collection->Items(I);
                const TInstance ItemInst = InstanceOf(Item);
                if (!ItemInst)
                    throw EFormWriteError("Class " + Item->ClassName() + " is not registered");
                Value.Items.emplace_back();
                WriteProperties(ItemInst, std::string(), Value.Items.back().Properties);
            }
            Out.push_back({Name, std::move(Value), {}});
            continue;
        }
        std::optional<TFormValue> Value = Prop->Write(Obj, *this);
        if (!Value) continue;
        if (Prop->Default ? *Value == *Prop->Default : IsImplicitDefault(Prop->Kind, *Value))
            continue;
        Out.push_back({Name, std::move(*Value), {}});
    }
    const std::string SavedPrefix = FPrefix;
    std::vector<TFormProperty>* const SavedOut = FOut;
    FPrefix = Prefix;
    FOut = &Out;
    DefineAll(Inst);
    FPrefix = SavedPrefix;
    FOut = SavedOut;
}

void TWriter::DefineProperty(const std::string& Name, const TReaderProc&,
                             const TWriterProc& WriteData, bool HasData) {
    if (!HasData || !WriteData || FOut == nullptr) return;
    FLists.clear();
    FValues.clear();
    WriteData(*this);
    if (!FLists.empty() || FValues.size() != 1)
        throw EFormWriteError("Property " + FPrefix + Name + " wrote " +
                              std::to_string(FValues.size()) + " values instead of one");
    FOut->push_back({FPrefix + Name, std::move(FValues.front()), {}});
    FValues.clear();
}

void TWriter::DefineBinaryProperty(const std::string& Name, const TStreamProc&,
                                   const TStreamProc& WriteData, bool HasData) {
    if (!HasData || !WriteData || FOut == nullptr) return;
    TMemoryStream Stream;
    WriteData(Stream);
    FOut->push_back({FPrefix + Name,
                     TFormValue::MakeBinary(std::string(Stream.Memory(), size_t(Stream.Size()))),
                     {}});
}

void TWriter::Add(TFormValue Value) {
    if (!FLists.empty())
        FLists.back().push_back(std::move(Value));
    else
        FValues.push_back(std::move(Value));
}

void TWriter::WriteInteger(std::int64_t Value) {
    Add(TFormValue::MakeInteger(Value));
}

void TWriter::WriteBoolean(bool Value) {
    Add(TFormValue::MakeIdent(Value ? "True" : "False"));
}

void TWriter::WriteString(const std::string& Value) {
    Add(TFormValue::MakeString(Value));
}

void TWriter::WriteIdent(const std::string& Value) {
    Add(TFormValue::MakeIdent(Value));
}

void TWriter::WriteFloat(double Value) {
    Add(TFormValue::MakeFloat(Value));
}

void TWriter::WriteChar(char Value) {
    Add(TFormValue::MakeString(std::string(1, Value)));
}

void TWriter::WriteListBegin() {
    FLists.emplace_back();
}

void TWriter::WriteListEnd() {
    if (FLists.empty()) throw EFormWriteError("The end of a list that was not begun");
    std::vector<TFormValue> Elements = std::move(FLists.back());
    FLists.pop_back();
    Add(TFormValue::MakeList(std::move(Elements)));
}

std::string TWriter::ReferenceName(const TComponent* Target) const {
    if (Target == nullptr) return {};
    if (Target == FRoot) return FRoot->Name();
    // Owner names up to the root (left out) or to a component without owner (another root).
    std::string Name = Target->Name();
    if (Name.empty()) return {};
    for (const TComponent* Owner = Target->Owner(); Owner != nullptr && Owner != FRoot;
         Owner = Owner->Owner()) {
        if (Owner->Name().empty()) return {};
        Name = Owner->Name() + "." + Name;
    }
    return Name;
}

// ---- whole texts ---------------------------------------------------------------------------

TComponent* ReadComponentFromText(std::string_view Text, TComponent* Root,
                                  const std::string& Origin) {
    const TFormObject Tree = ParseFormText(Text, Origin);
    TReader Reader(Tree, Origin);
    return Reader.ReadRootComponent(Root);
}

std::string WriteComponentToText(TComponent* Root) {
    TWriter Writer;
    return PrintFormText(Writer.WriteRootComponent(Root));
}
