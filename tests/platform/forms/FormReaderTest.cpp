// Reading definitions into components and writing them back: nested components, a collection,
// string lists, a sub-object, references, events, defined values; Loaded order and
// notifications; errors with their place, after which nothing the read created is left.
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>

#include "platform/forms/FormDefinitions.h"
#include "tests/platform/forms/TestComponents.h"
#include "tests/support/TestSupport.h"

namespace {

const char* const kFormMain = R"(object FormMain: TTestForm
  Left = 192
  Caption = 'Orvalin Kestro'#13#10'x'
  OnCreate = FormCreate
  object Panel1: TTestPanel
    Tag = 3
    Align = alClient
    Left = 0
    Caption = 'Status'
    Color = clWindow
    Anchors = [akLeft, akTop, akRight]
    Ratio = 2.5
    Accel = 'S'
    Percent = 100
    Font.Charset = DEFAULT_CHARSET
    Font.Color = clWindowText
    Font.Height = -13
    Font.Name = 'Courier New'
    Font.Style = [fsBold, fsItalic]
    Items.Strings = (
      'a'
      'b')
    Buddy = Panel2
    OnClick = ButtonClick
    object Panel2: TTestPanel
      Left = 8
      Caption = 'Inner'
      Color = 1193046
      Visible = False
      Font.Charset = DEFAULT_CHARSET
      Font.Color = clWindowText
      Font.Height = -11
      Font.Name = 'MS Sans Serif'
      Font.Style = []
      Buddy = Panel1
    end
  end
  object Manager: TTestManager
    Bars = <
      item
        Caption = 'Main Menu'
        DockControl = Panel2
      end
      item
        Caption = 'Toolbar'
        Row = 1
        Visible = False
      end>
    DockControlHeights = (
      0
      0
      49
      0)
    Glyph = {
      0102}
  end
end
)";

struct TFreeComponent {
    void operator()(TComponent* Component) const { Component->Free(); }
};
using TOwned = std::unique_ptr<TComponent, TFreeComponent>;

template <class T>
T* Find(TComponent* Root, const std::string& Name) {
    return dynamic_cast<T*>(Root->FindComponent(Name));
}

// kFormMain with one line replaced (or, with an empty From, one inserted before the last "end").
std::string Edited(const std::string& From, const std::string& To) {
    std::string Text = kFormMain;
    if (From.empty()) {
        Text.insert(Text.rfind("end\n"), To);
        return Text;
    }
    const size_t At = Text.find(From);
    EXPECT_NE(At, std::string::npos) << From;
    return Text.replace(At, From.size(), To);
}

class FormReader : public ::testing::Test {
  protected:
    void SetUp() override {
        RegisterTestComponents();
        TestLog().clear();
    }
};

}  // namespace

TEST_F(FormReader, DefinitionWithNestedComponentsCollectionAndEventsLoadsAndWritesBack) {
    TOwned Root(ReadComponentFromText(kFormMain, nullptr, "FormMain"));
    auto* Form = dynamic_cast<TTestForm*>(Root.get());
    ASSERT_NE(Form, nullptr);
    EXPECT_EQ(Form->Name(), "FormMain");
    EXPECT_EQ(Form->Caption, "Orvalin Kestro\r\nx");
    EXPECT_EQ(Form->Left, 192);

    auto* Panel1 = Find<TTestPanel>(Form, "Panel1");
    auto* Panel2 = Find<TTestPanel>(Form, "Panel2");
    auto* Manager = Find<TTestManager>(Form, "Manager");
    ASSERT_TRUE(Panel1 && Panel2 && Manager);
    EXPECT_EQ(Panel2->Owner(), Form);  // the root owns every component of its definition
    EXPECT_EQ(Panel2->GetParentComponent(), Panel1);
    EXPECT_EQ(Panel1->GetParentComponent(), Form);
    EXPECT_TRUE(Panel1->CreatedLoading);
    EXPECT_EQ(Panel1->Tag(), 3);
    EXPECT_EQ(Panel1->Align, alClient);
    EXPECT_EQ(Panel1->Color, clWindow);
    EXPECT_EQ(Panel2->Color, 0x123456);
    EXPECT_EQ(Panel1->Anchors, (TTestAnchors{akLeft, akTop, akRight}));
    EXPECT_EQ(Panel1->Ratio, 2.5);
    EXPECT_EQ(Panel1->Accel, 'S');
    EXPECT_EQ(Panel1->Percent, 100);
    EXPECT_EQ(Panel1->Font()->Name(), "Courier New");
    EXPECT_EQ(Panel1->Font()->Height(), -13);
    EXPECT_EQ(Panel1->Font()->Style(), (TFontStyles{fsBold, fsItalic}));
    EXPECT_EQ(Panel1->Items()->Text(), "a\r\nb\r\n");
    EXPECT_FALSE(Panel2->Visible);
    EXPECT_EQ(Panel1->Buddy(), Panel2);
    EXPECT_EQ(Panel2->Buddy(), Panel1);

    TTestBars* Bars = Manager->Bars();
    ASSERT_EQ(Bars->Count(), 2);
    auto* Toolbar = static_cast<TTestBar*>(Bars->Items(1));
    EXPECT_EQ(Toolbar->Caption, "Toolbar");
    EXPECT_EQ(Toolbar->Row, 1);
    EXPECT_FALSE(Toolbar->Visible);
    EXPECT_EQ(static_cast<TTestBar*>(Bars->Items(0))->DockControl, Panel2);
    EXPECT_EQ(Manager->DockHeights[2], 49);
    EXPECT_EQ(Manager->Glyph, "\x01\x02");
    EXPECT_EQ(Manager->ReadStates, 1);

    // Events call the root's methods.
    Form->OnCreate(Form);
    Panel1->OnClick(Panel1);
    EXPECT_EQ(TestLog(), (std::vector<std::string>{"Loaded FormMain", "Loaded Panel1 buddy Panel2",
                                                   "Loaded Panel2 buddy Panel1",
                                                   "FormCreate FormMain", "ButtonClick Panel1"}));
    for (TComponent* Component :
         {Root.get(), static_cast<TComponent*>(Panel1), static_cast<TComponent*>(Manager)})
        EXPECT_TRUE((Component->ComponentState() * TComponentState{csLoading, csReading, csFixups})
                        .Empty());
    // The form heard each component joining it (before it had its name).
    EXPECT_EQ(Form->Heard, (std::vector<std::string>{"+", "+", "+"}));

    EXPECT_EQ(WriteComponentToText(Root.get()), kFormMain);
}

TEST_F(FormReader, ChangedComponentsWriteTheirNewStateAndDefaultsStayOut) {
    TOwned Root(ReadComponentFromText(kFormMain, nullptr));
    auto* Panel1 = Find<TTestPanel>(Root.get(), "Panel1");
    auto* Panel2 = Find<TTestPanel>(Root.get(), "Panel2");
    Panel1->Align = alNone;             // back to its default: not written
    Panel1->Anchors = {akLeft, akTop};  // the same
    Panel1->Items()->Clear();           // an empty list: not written
    Panel1->OnClick = nullptr;          // unassigned: not written
    Panel2->Free();                     // the references to it go with it
    auto* Manager = Find<TTestManager>(Root.get(), "Manager");
    Manager->Bars()->Delete(0);
    Manager->Glyph.clear();
    const std::string Text = WriteComponentToText(Root.get());
    for (const char* Gone :
         {"Align", "Anchors", "Items.Strings", "OnClick", "Panel2", "Main Menu", "Glyph", "Buddy"})
        EXPECT_EQ(Text.find(Gone), std::string::npos) << Gone;
    // What was written reads back into the same text.
    TOwned Again(ReadComponentFromText(Text, nullptr));
    EXPECT_EQ(WriteComponentToText(Again.get()), Text);
}

TEST_F(FormReader, ReadingIntoAnExistingRootRenamesItAndKeepsItsClass) {
    TTestForm Form(nullptr);
    EXPECT_EQ(ReadComponentFromText(kFormMain, &Form), &Form);
    EXPECT_EQ(Form.Name(), "FormMain");
    EXPECT_EQ(Form.ComponentCount(), 3);
    EXPECT_FALSE(Form.ComponentState().Contains(csLoading));
}

TEST_F(FormReader, BadDefinitionsGiveAClearErrorWithTheirPlaceAndLeaveNothingBehind) {
    struct Case {
        std::string Text;
        std::string Error;
    };
    const Case Cases[] = {
        {Edited("object Manager: TTestManager", "object Manager: TNoSuch"),
         "Class TNoSuch not found at line 38, column 3"},
        {Edited("    Tag = 3\n", "    Wibble = 3\n"),
         "Property Wibble does not exist at line 6, column 5"},
        {Edited("    Font.Charset = DEFAULT_CHARSET\n    Font.Color = clWindowText\n    "
                "Font.Height = -13",
                "    Font.Wibble = 1\n    Font.Color = clWindowText\n    Font.Height = -13"),
         "Property Font.Wibble does not exist at line 15, column 5"},
        {Edited("Tag = 3", "Tag.Value = 3"),
         "Property Tag has no properties of its own at line 6, column 5"},
        {Edited("Left = 192", "Left = 'wide'"),
         "Invalid value for property Left: an integer expected at line 2, column 10"},
        {Edited("Percent = 100", "Percent = 300"),
         "Invalid value for property Percent: an integer from 0 to 255 expected at line 14, "
         "column 15"},
        {Edited("Align = alClient", "Align = alSideways"),
         "Invalid value for property Align: one of alNone, alTop, alBottom, alLeft, alRight, "
         "alClient expected at line 7, column 13"},
        {Edited("[akLeft, akTop, akRight]", "[akLeft, akUp]"),
         "Invalid value for property Anchors: one of akLeft, akTop, akRight, akBottom expected at "
         "line 11, column 24"},
        {Edited("Visible = False", "Visible = 0"),
         "Invalid value for property Visible: True or False expected at line 29, column 17"},
        {Edited("Accel = 'S'", "Accel = 'SS'"),
         "Invalid value for property Accel: one character expected at line 13, column 13"},
        {Edited("Color = clWindow", "Color = clPlaid"),
         "Invalid value for property Color: a known identifier or an integer expected at line 10, "
         "column 13"},
        {Edited("Font.Height = -13", "Font = 3"),
         "Property Font takes no value; its properties are set one by one at line 17, column 12"},
        {Edited("object Panel2: TTestPanel", "object Panel1: TTestPanel"),
         "A component named Panel1 already exists at line 25, column 5"},
        {Edited("Tag = 3", "Name = '9'"),
         "Error setting property Name: '9' is not a valid component name at line 6, column 12"},
        {Edited("OnClick = ButtonClick", "OnClick = Nothing"),
         "Method Nothing not found in TTestForm at line 24, column 15"},
        {Edited("OnClick = ButtonClick", "OnClick = WrongShape"),
         "Method WrongShape does not fit event OnClick at line 24, column 15"},
        {Edited("Buddy = Panel1", "Buddy = Ghost"),
         "Component Ghost not found for property Buddy at line 35, column 15"},
        {Edited("Buddy = Panel1", "Buddy = Manager"),
         "Component Manager does not fit property Buddy at line 35, column 15"},
        {Edited("DockControl = Panel2", "DockControl = 'Panel2'"),
         "Invalid value for property DockControl: a component name expected at line 42, column "
         "23"},
        {Edited("Caption = 'Toolbar'", "Wibble = 'Toolbar'"),
         "Property Wibble does not exist at line 45, column 9"},
        {Edited("    Bars = <", "    Bars = 3\n    Bars = <"),
         "Invalid value for property Bars: a collection (<...>) expected at line 39, column 12"},
        {Edited("      49\n", ""),
         "Invalid value for property DockControlHeights: an integer expected but the list ends "
         "at line 52, column 7"},
        {Edited("      49\n", "      49\n      50\n"),
         "Invalid value for property DockControlHeights: the end of the list expected at line 53, "
         "column 7"},
        {Edited("Glyph = {\n      0102}", "Glyph = ('x')"),
         "Invalid value for property Glyph: binary data expected at line 54, column 13"},
        {Edited("", "  object F: TFont\n  end\n"),
         "TFont is not a component class at line 57, column 3"},
        {Edited("", "  inherited Ghost: TTestPanel\n  end\n"),
         "Ancestor for 'Ghost' not found at line 57, column 3"},
        {Edited("", "  inline Frame: TTestBrokenFrame\n  end\n"),
         "In the definition of TTestBrokenFrame: :/forms/Broken.dfm: Property Wibble does not "
         "exist at line 2, column 3 at line 57, column 3"},
    };
    for (const Case& C : Cases) {
        EXPECT_EQ(ErrorOf<EFormReadError>([&] { TOwned(ReadComponentFromText(C.Text, nullptr)); }),
                  C.Error);
        // Read into an existing root: whatever was created is gone, the root is not loading.
        TTestForm Form(nullptr);
        EXPECT_THROW(ReadComponentFromText(C.Text, &Form), EFormReadError);
        EXPECT_EQ(Form.ComponentCount(), 0) << C.Error;
        EXPECT_TRUE((Form.ComponentState() * TComponentState{csLoading, csReading}).Empty());
    }
}

TEST_F(FormReader, ComponentsFreedWhileTheDefinitionIsReadAreNeverTouchedAgain) {
    const auto Killing = [](const std::string& Victim) {
        return Edited("  object Manager: TTestManager",
                      "  object Killer: TTestKiller\n    Kill = '" + Victim +
                          "'\n  end\n  object Manager: TTestManager");
    };
    // Panel2's own reference goes with it; Panel1's reference to it finds nothing.
    EXPECT_EQ(
        ErrorOf<EFormReadError>([&] { TOwned(ReadComponentFromText(Killing("Panel2"), nullptr)); }),
        "Component Panel2 not found for property Buddy at line 23, column 13");

    // Panel1 goes with its pending reference; it gets no Loaded.
    std::string Text = Killing("Panel1");
    const std::string Back = "      Buddy = Panel1\n";
    Text.erase(Text.find(Back), Back.size());
    TOwned Root(ReadComponentFromText(Text, nullptr));
    EXPECT_EQ(Root->FindComponent("Panel1"), nullptr);
    EXPECT_NE(Root->FindComponent("Panel2"), nullptr);
    EXPECT_EQ(TestLog(), (std::vector<std::string>{"Loaded FormMain", "Loaded Panel2"}));

    // A component that frees itself while its properties are read ends the read.
    EXPECT_EQ(
        ErrorOf<EFormReadError>([&] { TOwned(ReadComponentFromText(Killing("Killer"), nullptr)); }),
        "Killer was freed while its properties were read at line 38, column 3");

    // A child that frees its parent while the parent's children are read ends the read.
    const std::string Parricide = Edited("    object Panel2: TTestPanel",
                                         "    object Killer: TTestKiller\n      Kill = 'Panel1'\n  "
                                         "  end\n    object Panel2: TTestPanel");
    EXPECT_EQ(ErrorOf<EFormReadError>([&] { TOwned(ReadComponentFromText(Parricide, nullptr)); }),
              "Panel1 was freed while its children were read at line 28, column 5");

    // An item that frees itself: the rest of its properties and its references go with it.
    const std::string Dropping = Edited("        DockControl = Panel2\n",
                                        "        DockControl = Panel2\n        Drop = True\n"
                                        "        Caption = 'gone'\n");
    TOwned Dropped(ReadComponentFromText(Dropping, nullptr));
    TTestBars* Bars = Find<TTestManager>(Dropped.get(), "Manager")->Bars();
    ASSERT_EQ(Bars->Count(), 1);
    EXPECT_EQ(static_cast<TTestBar*>(Bars->Items(0))->Caption, "Toolbar");

    // A collection given twice: the references held for its first items go with them.
    const std::string Twice =
        Edited("    Bars = <",
               "    Bars = <\n      item\n        DockControl = Panel1\n      end>\n    Bars = <");
    TOwned Again(ReadComponentFromText(Twice, nullptr));
    EXPECT_EQ(Find<TTestManager>(Again.get(), "Manager")->Bars()->Count(), 2);
}

TEST_F(FormReader, InlineComponentsReadTheirOwnDefinitionFirst) {
    const char* const Host = R"(object Host: TTestForm
  inline Frame1: TTestFrame
    Caption = 'outer'
    inherited FramePanel: TTestPanel
      Left = 7
    end
  end
end
)";
    TOwned Root(ReadComponentFromText(Host, nullptr));
    auto* Frame = Find<TTestFrame>(Root.get(), "Frame1");
    ASSERT_NE(Frame, nullptr);
    EXPECT_TRUE(Frame->ComponentState().Contains(csInline));
    EXPECT_EQ(Frame->Caption, "outer");
    auto* Inside = Find<TTestPanel>(Frame, "FramePanel");
    ASSERT_NE(Inside, nullptr);
    EXPECT_EQ(Inside->Caption, "inside");
    EXPECT_EQ(Inside->Left, 7);
    EXPECT_EQ(Inside->GetParentComponent(), Frame);
}

TEST_F(FormReader, InheritedDefinitionsReadAncestorFirstAndLoadedComesOnce) {
    TOwned Form(new TTestDerivedForm(nullptr));
    ASSERT_TRUE(InitInheritedComponent(Form.get()));
    auto* Derived = static_cast<TTestDerivedForm*>(Form.get());
    EXPECT_EQ(Derived->Name(), "DerivedForm");
    EXPECT_EQ(Derived->Left, 10);
    EXPECT_EQ(Derived->Caption, "derived");
    EXPECT_EQ(Derived->Extra, 5);
    auto* Manager = Find<TTestManager>(Derived, "Manager");
    ASSERT_NE(Manager, nullptr);
    EXPECT_EQ(Manager->ReadStates, 2);  // once per definition
    EXPECT_EQ(Manager->DockHeights[3], 4);
    EXPECT_NE(Derived->FindComponent("Added"), nullptr);
    EXPECT_EQ(std::count(TestLog().begin(), TestLog().end(), "Loaded DerivedForm"), 1);
    EXPECT_EQ(Derived->DefinitionText(), FindFormDefinition("TTestDerivedForm")->Text);
    EXPECT_EQ(FindFormDefinition("ttestderivedform")->Origin, ":/forms/TestDerivedForm.dfm");

    // A class without a definition of its own or of its ancestors reads nothing.
    TOwned Frame(new TTestKiller(nullptr));
    EXPECT_FALSE(InitInheritedComponent(Frame.get()));
    EXPECT_FALSE(FindFormDefinition("TNoSuchForm"));
}

TEST_F(FormReader, DefinitionFilesAreReadByPath) {
    const std::string Path = std::string(KESTRO_BINARY_DIR) + "/forms-test-FormMain.dfm";
    WriteFile(Path, kFormMain);
    TOwned Root(ReadComponentResFile(Path, nullptr));
    EXPECT_EQ(WriteComponentToText(Root.get()), kFormMain);
    WriteFile(Path, Edited("Left = 192", "Left = ?"));
    EXPECT_EQ(ErrorOf<EFormReadError>([&] { ReadComponentResFile(Path, nullptr); }),
              Path + ": Value expected but '?' found at line 2, column 10");
    std::filesystem::remove(Path);
    EXPECT_THROW(ReadComponentResFile(Path, nullptr), EFOpenError);
}
