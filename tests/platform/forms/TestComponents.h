#pragma once
// Component classes for the tests of definitions (and the reader's fuzz target): a form with
// methods, panels that nest, a manager with a collection and a value of its own, all of which
// log what happens to them.
#include <memory>
#include <string>
#include <vector>

#include "platform/classes/Classes.h"
#include "platform/forms/ClassRegistry.h"
#include "platform/forms/Collection.h"
#include "platform/forms/Component.h"
#include "platform/forms/Filer.h"
#include "platform/forms/StandardClasses.h"
#include "platform/gdi/Graphics.h"

using TTestNotify = std::function<void(TObject* Sender)>;

// What the test components did, in order ("Loaded Panel1", "FormCreate Button1", ...).
inline std::vector<std::string>& TestLog() {
    static std::vector<std::string> Log;
    return Log;
}

enum TTestAlign { alNone, alTop, alBottom, alLeft, alRight, alClient };
enum TTestAnchor { akLeft, akTop, akRight, akBottom };
using TTestAnchors = TSet<TTestAnchor>;

class TTestForm : public TComponent {
  public:
    explicit TTestForm(TComponent* Owner) : TComponent(Owner) {}
    ~TTestForm() override { DestroyComponents(); }

    std::string Caption;
    int Left = 0;
    TTestNotify OnCreate;
    // Every notification the form heard: "+Name" for an insertion, "-Name" for a removal.
    std::vector<std::string> Heard;

    void FormCreate(TObject* Sender) { TestLog().push_back("FormCreate " + NameOf(Sender)); }
    void ButtonClick(TObject* Sender) { TestLog().push_back("ButtonClick " + NameOf(Sender)); }
    void WrongShape(int) {}

  protected:
    void Loaded() override {
        TComponent::Loaded();
        TestLog().push_back("Loaded " + Name());
    }
    void Notification(TComponent* AComponent, TOperation Operation) override {
        TComponent::Notification(AComponent, Operation);
        Heard.push_back((Operation == opInsert ? "+" : "-") + AComponent->Name());
    }

  private:
    static std::string NameOf(TObject* Sender) {
        auto* Component = dynamic_cast<TComponent*>(Sender);
        return Component ? Component->Name() : "?";
    }
};

class TTestPanel : public TComponent {
  public:
    explicit TTestPanel(TComponent* Owner)
        : TComponent(Owner), CreatedLoading(ComponentState().Contains(csLoading)) {}

    bool HasParent() const override { return true; }
    TComponent* GetParentComponent() const override { return FParent; }

    const bool CreatedLoading;
    TTestAlign Align = alNone;
    int Left = 0;
    std::string Caption;
    TColor Color = clBtnFace;
    bool Visible = true;
    TTestAnchors Anchors{akLeft, akTop};
    double Ratio = 0;
    char Accel = '\0';
    std::uint8_t Percent = 95;
    TFont* Font() { return &FFont; }
    TStringList* Items() { return &FItems; }
    TTestPanel* Buddy() const { return FBuddy; }
    void SetBuddy(TTestPanel* Value) {
        FBuddy = Value;
        if (Value != nullptr) Value->FreeNotification(this);
    }
    TTestNotify OnClick;

  protected:
    void SetParentComponent(TComponent* Value) override {
        FParent = Value;
        if (Value != nullptr) Value->FreeNotification(this);
    }
    void Loaded() override {
        TComponent::Loaded();
        TestLog().push_back("Loaded " + Name() + (FBuddy ? " buddy " + FBuddy->Name() : ""));
    }
    void Notification(TComponent* AComponent, TOperation Operation) override {
        TComponent::Notification(AComponent, Operation);
        if (Operation != opRemove) return;
        if (AComponent == FBuddy) FBuddy = nullptr;
        if (AComponent == FParent) FParent = nullptr;
    }

  private:
    TComponent* FParent = nullptr;
    TTestPanel* FBuddy = nullptr;
    TFont FFont;
    TStringList FItems;
};

class TTestBar : public TCollectionItem {
  public:
    explicit TTestBar(TCollection* Collection) : TCollectionItem(Collection) {}
    std::string Caption;
    int Row = 0;
    bool Visible = true;
    TTestPanel* DockControl = nullptr;
    // Setting it frees the item, as a bar link whose item is set to none does.
    bool Drop() const { return false; }
    void SetDrop(bool Value) {
        if (Value) delete this;
    }

    void Assign(const TPersistent* Source) override {
        if (const auto* Bar = dynamic_cast<const TTestBar*>(Source)) {
            Caption = Bar->Caption;
            Row = Bar->Row;
            Visible = Bar->Visible;
            DockControl = Bar->DockControl;
            return;
        }
        TCollectionItem::Assign(Source);
    }
    std::string DisplayName() const override { return Caption; }
};

class TTestBars : public TCollection {
  public:
    explicit TTestBars(TPersistent* Owner) : TCollection(ItemClassOf<TTestBar>(), Owner) {}
    // "Update" for the whole collection, "Update <caption>" for one item.
    std::vector<std::string> Updates;
    std::vector<std::string> Notices;

  protected:
    void Update(TCollectionItem* Item) override {
        Updates.push_back(Item ? "Update " + static_cast<TTestBar*>(Item)->Caption : "Update");
    }
    void Notify(TCollectionItem* Item, TCollectionNotification Action) override {
        static const char* const Names[] = {"added", "extracting", "deleting"};
        Notices.push_back(std::string(Names[Action]) + " " + std::to_string(Item->ID()));
    }
};

class TTestManager : public TComponent {
  public:
    explicit TTestManager(TComponent* Owner) : TComponent(Owner), FBars(this) {}
    TTestBars* Bars() { return &FBars; }
    int DockHeights[4] = {0, 0, 0, 0};
    std::string Glyph;
    int ReadStates = 0;

  protected:
    void ReadState(TReader& Reader) override {
        ++ReadStates;
        TComponent::ReadState(Reader);
    }
    void DefineProperties(TFiler& Filer) override {
        TComponent::DefineProperties(Filer);
        Filer.DefineProperty(
            "DockControlHeights",
            [this](TReader& Reader) {
                Reader.ReadListBegin();
                for (int& Height : DockHeights) Height = Reader.ReadInteger();
                Reader.ReadListEnd();
            },
            [this](TWriter& Writer) {
                Writer.WriteListBegin();
                for (int Height : DockHeights) Writer.WriteInteger(Height);
                Writer.WriteListEnd();
            },
            DockHeights[0] || DockHeights[1] || DockHeights[2] || DockHeights[3]);
        Filer.DefineBinaryProperty(
            "Glyph", [this](TStream& Stream) { Glyph = StreamBytes(Stream); },
            [this](TStream& Stream) { Stream.WriteString(Glyph); }, !Glyph.empty());
    }

  private:
    static std::string StreamBytes(TStream& Stream) {
        std::string Bytes(size_t(Stream.Size()), '\0');
        Stream.ReadBuffer(Bytes.data(), Stream.Size());
        return Bytes;
    }
    TTestBars FBars;
};

// Frees the component its Kill property names, itself included (a setter with a side effect the
// reader must survive).
class TTestKiller : public TComponent {
  public:
    explicit TTestKiller(TComponent* Owner) : TComponent(Owner) {}
    std::string Kill() const { return {}; }
    void SetKill(const std::string& Victim) {
        if (TComponent* Found = Owner() ? Owner()->FindComponent(Victim) : nullptr) Found->Free();
    }
};

// A frame: placed inline, it reads its own definition first.
class TTestFrame : public TComponent {
  public:
    explicit TTestFrame(TComponent* Owner) : TComponent(Owner) {}
    std::string Caption;
};

// A frame whose own definition is broken (see the resources).
class TTestBrokenFrame : public TTestFrame {
  public:
    explicit TTestBrokenFrame(TComponent* Owner) : TTestFrame(Owner) {}
};

// A form class whose definition builds on TTestForm's... when both have one (see the resources).
class TTestDerivedForm : public TTestForm {
  public:
    explicit TTestDerivedForm(TComponent* Owner) : TTestForm(Owner) {}
    int Extra = 0;
};

inline void RegisterTestComponents() {
    static bool Done = false;
    if (Done) return;
    Done = true;
    RegisterEnum<TTestAlign>({"alNone", "alTop", "alBottom", "alLeft", "alRight", "alClient"});
    RegisterEnum<TTestAnchor>({"akLeft", "akTop", "akRight", "akBottom"});
    RegisterClass<TTestForm, TComponent>("TTestForm")
        .Field("Left", &TTestForm::Left)
        .Field("Caption", &TTestForm::Caption)
        .Field("OnCreate", &TTestForm::OnCreate)
        .Method("FormCreate", &TTestForm::FormCreate)
        .Method("ButtonClick", &TTestForm::ButtonClick)
        .Method("WrongShape", &TTestForm::WrongShape);
    RegisterClass<TTestDerivedForm, TTestForm>("TTestDerivedForm")
        .Field("Extra", &TTestDerivedForm::Extra, Default(0));
    RegisterClass<TTestPanel, TComponent>("TTestPanel")
        .Field("Align", &TTestPanel::Align, Default(alNone))
        .Field("Left", &TTestPanel::Left)
        .Field("Caption", &TTestPanel::Caption)
        .Field("Color", &TTestPanel::Color, Idents(ColorIdents()), Default(clBtnFace))
        .Field("Visible", &TTestPanel::Visible, Default(true))
        .Field("Anchors", &TTestPanel::Anchors, Default(TTestAnchors{akLeft, akTop}))
        .Field("Ratio", &TTestPanel::Ratio)
        .Field("Accel", &TTestPanel::Accel, Default('\0'))
        .Field("Percent", &TTestPanel::Percent, Default(std::uint8_t(95)))
        .Object("Font", &TTestPanel::Font)
        .Object("Items", &TTestPanel::Items)
        .Property("Buddy", &TTestPanel::Buddy, &TTestPanel::SetBuddy)
        .Field("OnClick", &TTestPanel::OnClick);
    RegisterClass<TTestBar, TCollectionItem>("TTestBar")
        .Field("Caption", &TTestBar::Caption)
        .Field("Row", &TTestBar::Row, Default(0))
        .Field("Visible", &TTestBar::Visible, Default(true))
        .Field("DockControl", &TTestBar::DockControl)
        .Property("Drop", &TTestBar::Drop, &TTestBar::SetDrop, Default(false));
    RegisterClass<TTestBars, TCollection>("TTestBars");
    RegisterClass<TTestManager, TComponent>("TTestManager").Object("Bars", &TTestManager::Bars);
    RegisterClass<TTestFrame, TComponent>("TTestFrame").Field("Caption", &TTestFrame::Caption);
    RegisterClass<TTestBrokenFrame, TTestFrame>("TTestBrokenFrame");
    RegisterClass<TTestKiller, TComponent>("TTestKiller")
        .Property("Kill", &TTestKiller::Kill, &TTestKiller::SetKill);
}
