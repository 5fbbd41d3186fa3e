// A form read from its definition with a form-state component and a store: its placement goes to
// kestro.xml when it may close and comes back when the next one is made, by the placement rules,
// on a fake screen.
#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>

#include "components/store/OvcFormState.h"
#include "components/store/Register.h"
#include "components/store/XMLFileStore.h"
#include "platform/core/Screens.h"
#include "platform/forms/Errors.h"
#include "tests/support/GuiTestSupport.h"

using namespace GuiTest;

namespace {

class TStateTestBox : public TCustomControl {
  public:
    explicit TStateTestBox(TComponent* AOwner) : TCustomControl(AOwner) { SetTabStop(true); }
};

class TStateTestForm : public TForm {
  public:
    using TForm::TForm;
    void FormCreate(TObject*) { Log.push_back("create"); }
    void FormCloseQuery(TObject*, bool& CanClose) {
        Log.push_back("close query");
        CanClose = AllowClose;
    }
    void FormDestroy(TObject*) { ++Destroyed; }
    std::vector<std::string> Log;
    bool AllowClose = true;
    static inline int Destroyed = 0;
};

class TFixedStateForm : public TForm {
  public:
    using TForm::TForm;
};

// A window of its own class whose definition centres it, as every window of the program does.
class TCentredStateForm : public TForm {
  public:
    using TForm::TForm;
};

// One screen of 1024 x 768 whose work area leaves a 32-pixel bar at the bottom.
class TOneScreen : public TScreenSource {
  public:
    std::vector<TScreenInfo> Screens() const override {
        return {TScreenInfo{{0, 0, 1024, 768}, {0, 0, 1024, 736}, true}};
    }
};

class FormState : public ::testing::Test {
  protected:
    void SetUp() override {
        Forms.Initialize();
        RegisterStoreClasses();
        static const bool Registered = [] {
            RegisterClass<TStateTestBox, TCustomControl>("TStateTestBox");
            RegisterClass<TStateTestForm, TForm>("TStateTestForm")
                .Method("FormCreate", &TStateTestForm::FormCreate)
                .Method("FormCloseQuery", &TStateTestForm::FormCloseQuery)
                .Method("FormDestroy", &TStateTestForm::FormDestroy);
            RegisterClass<TFixedStateForm, TForm>("TFixedStateForm");
            RegisterClass<TCentredStateForm, TForm>("TCentredStateForm");
            return true;
        }();
        (void)Registered;
        SetScreenSource(std::make_shared<TOneScreen>());
        Saved = std::filesystem::current_path();
        // One directory per process: CTest runs the cases side by side.
        Dir = testing::TempDir() + "kestro-form-state-" + std::to_string(getpid());
        std::filesystem::remove_all(Dir);
        std::filesystem::create_directories(Dir);
        std::filesystem::current_path(Dir);
    }
    void TearDown() override {
        while (Screen->FormCount() > 0) Screen->Forms(0)->Free();
        Drain();
        std::filesystem::current_path(Saved);
        std::filesystem::remove_all(Dir);
        SetScreenSource(nullptr);
    }
    static TRect WindowRect(TCustomForm* Form) {
        RECT R;
        GetWindowRect(Form->Handle(), &R);
        return TRect{R.left, R.top, R.right, R.bottom};
    }
    // The section of the file as it was written, with the saved items in place of Items.
    static std::string File(const std::string& Section, const std::string& Items) {
        return "<?xml version='1.0' encoding='us-ascii' ?>\r\n"
               "<!-- Kestro TO32XMLStore Data File -->\r\n<FORMS>\r\n  <" +
               Section + ">\r\n" + Items + "  </" + Section + ">\r\n</FORMS>\r\n";
    }
    std::filesystem::path Saved;
    std::string Dir;
};

TEST_F(FormState, TheFormsPlacementGoesToKestroXmlAndComesBackWithTheNextForm) {
    TStateTestForm::Destroyed = 0;
    TStateTestForm* Form = CreateForm<TStateTestForm>(nullptr);
    // No file yet: the form is where it was designed, and its own handlers still run.
    EXPECT_EQ(Form->Log, std::vector<std::string>{"create"});
    EXPECT_EQ(Form->Left(), 120);
    auto* State = dynamic_cast<TOvcFormState*>(Form->FindComponent("FormState1"));
    ASSERT_NE(State, nullptr);
    EXPECT_EQ(State->Section(), "TStateTestForm");
    EXPECT_TRUE(State->Restored());

    Form->SetBounds(200, 150, 350, 260);
    Form->SetColor(clTeal);
    Form->Show();
    Drain();
    Form->SetActiveControl(dynamic_cast<TWinControl*>(Form->FindComponent("Second")));
    Form->AllowClose = false;
    Form->Close();
    // The restore's open made the file with an empty block; a refused close saves nothing.
    EXPECT_EQ(ReadFile("kestro.xml"),
              "<?xml version='1.0' encoding='us-ascii' ?>\r\n"
              "<!-- Kestro TO32XMLStore Data File -->\r\n<FORMS>\r\n</FORMS>\r\n");
    Form->AllowClose = true;
    Form->Close();
    const std::string Items =
        "    <Flags value=\"0\"/>\r\n"
        "    <ShowCmd value=\"1\"/>\r\n"
        "    <NormalPos value=\"200,150,550,410\"/>\r\n"
        "    <PixelsPerInch value=\"96\"/>\r\n"
        "    <DefaultMonitor value=\"3\"/>\r\n"
        "    <Color value=\"8421376\"/>\r\n"
        "    <ActiveControl value=\"Second\"/>\r\n";
    EXPECT_EQ(ReadFile("kestro.xml"), File("TStateTestForm", Items));
    EXPECT_EQ(Form->Log, (std::vector<std::string>{"create", "close query", "close query"}));
    // Saved at the close: going saves nothing more, and the form's own handler runs.
    std::filesystem::remove("kestro.xml");
    Form->Free();
    EXPECT_FALSE(std::filesystem::exists("kestro.xml"));
    EXPECT_EQ(TStateTestForm::Destroyed, 1);

    WriteFile("kestro.xml", File("TStateTestForm", Items));
    TStateTestForm* Next = CreateForm<TStateTestForm>(nullptr);
    EXPECT_EQ(WindowRect(Next), (TRect{200, 150, 550, 410}));
    EXPECT_EQ(Next->Color(), clTeal);
    ASSERT_NE(Next->ActiveControl(), nullptr);
    EXPECT_EQ(Next->ActiveControl()->Name(), "Second");
    // A form that never closed saves when it goes.
    std::filesystem::remove("kestro.xml");
    Next->Free();
    EXPECT_NE(ReadFile("kestro.xml").find("<NormalPos value=\"200,150,550,410\"/>"),
              std::string::npos);
}

TEST_F(FormState, TheRestoreFollowsThePlacementRulesOnTheScreen) {
    struct TCase {
        const char* Name;
        std::string Items;
        TRect Want;
        std::string Active;
    };
    const TCase Cases[] = {
        {"off-screen",
         "    <NormalPos value=\"2000,1500,2350,1760\"/>\r\n",
         {674, 476, 1024, 736},
         ""},
        {"larger than the work area",
         "    <NormalPos value=\"-50,-40,1500,1000\"/>\r\n",
         {0, 0, 1024, 736},
         ""},
        {"other pixels per inch",
         "    <PixelsPerInch value=\"120\"/>\r\n"
         "    <NormalPos value=\"300,300,500,500\"/>\r\n"
         "    <ActiveControl value=\"Second\"/>\r\n",
         {},
         "Second"},
        {"empty position", "    <NormalPos value=\"\"/>\r\n    <Color value=\"255\"/>\r\n", {}, ""},
    };
    for (const TCase& C : Cases) {
        WriteFile("kestro.xml", File("TStateTestForm", C.Items));
        TStateTestForm* Form = CreateForm<TStateTestForm>(nullptr);
        if (C.Want.Right > 0)
            EXPECT_EQ(WindowRect(Form), C.Want) << C.Name;
        else
            EXPECT_EQ(Form->Left(), 120) << C.Name;
        EXPECT_EQ(Form->Color(), clBtnFace) << C.Name;
        EXPECT_EQ(Form->ActiveControl() ? Form->ActiveControl()->Name() : "", C.Active) << C.Name;
        Form->SetActiveControl(nullptr);
        TOvcFormState* State = dynamic_cast<TOvcFormState*>(Form->FindComponent("FormState1"));
        State->SetActive(false);  // keeps the file for the next case
        Form->Free();
    }

    // A fixed border keeps the designed size; only the place is taken.
    WriteFile("kestro.xml",
              File("TFixedStateForm", "    <NormalPos value=\"300,200,900,700\"/>\r\n"));
    TFixedStateForm* Fixed = CreateForm<TFixedStateForm>(nullptr);
    const TRect R = WindowRect(Fixed);
    EXPECT_EQ(R.Left, 300);
    EXPECT_EQ(R.Top, 200);
    EXPECT_LT(R.Width(), 300);
    // A damaged file leaves the form where it was designed.
    Fixed->Free();
    WriteFile("kestro.xml", "<FORMS>\r\n  <TFixedStateForm>\r\n</FORMS>\r\n");
    testing::internal::CaptureStderr();
    Fixed = CreateForm<TFixedStateForm>(nullptr);
    EXPECT_NE(testing::internal::GetCapturedStderr().find("form state of TFixedStateForm"),
              std::string::npos);
    EXPECT_EQ(WindowRect(Fixed).Left, 60);
}

// A class derived from the plain form class is still a form of that class: its saved place wins
// over the centring its definition asks for, and only a form with nothing saved is centred.
TEST_F(FormState, AWindowOfItsOwnClassReopensWhereItWasLeftNotCentred) {
    TCentredStateForm* Form = CreateForm<TCentredStateForm>(nullptr);
    Form->Show();
    Drain();
    const TRect Centred = WindowRect(Form);
    EXPECT_EQ(Centred.Left, (1024 - Centred.Width()) / 2);
    Form->SetBounds(70, 40, Form->Width(), Form->Height());
    Form->Close();
    Form->Free();
    EXPECT_NE(ReadFile("kestro.xml").find("<TCentredStateForm>"), std::string::npos);

    TCentredStateForm* Next = CreateForm<TCentredStateForm>(nullptr);
    Next->Show();
    Drain();
    EXPECT_EQ(Next->Position(), poDesigned);
    EXPECT_EQ(WindowRect(Next).Left, 70);
    EXPECT_EQ(WindowRect(Next).Top, 40);
    EXPECT_EQ(WindowRect(Next).Width(), Centred.Width());
}

TEST_F(FormState, SectionsAndOwners) {
    auto* Form = CreateForm<TStateTestForm>(nullptr);
    EXPECT_EQ(DefaultStateSection(Form), "TStateTestForm");
    EXPECT_EQ(DefaultStateSection(Form->FindComponent("First")), "StateTestForm.First");
    EXPECT_EQ(DefaultStateSection(Form->FindComponent("Store1")), "TStateTestForm.Store1");
    EXPECT_EQ(DefaultStateSection(nullptr), "");
    TO32XMLFileStore Loose(nullptr);
    Loose.SetName("Loose");
    EXPECT_EQ(DefaultStateSection(&Loose), "Loose");
    EXPECT_EQ(ErrorOf<EComponentError>([] { TOvcFormState State(nullptr); }),
              "This component can only be used on forms");

    // An attached label tells its control where it is, once loaded and after each move.
    std::vector<UINT> Told;
    auto* Box = dynamic_cast<TWinControl*>(Form->FindComponent("First"));
    Box->WindowProc = [&, Default = Box->WindowProc](TMessage& M) {
        if (M.Msg == OM_ASSIGNLABEL || M.Msg == OM_POSITIONLABEL) Told.push_back(M.Msg);
        Default(M);
    };
    auto* Label = new TOvcAttachedLabel(Form, Box);
    Label->SetParent(Form);
    EXPECT_EQ(Label->FocusControl(), Box);
    Told.clear();
    Label->SetBounds(10, 0, 40, 12);
    EXPECT_EQ(Told, (std::vector<UINT>{OM_ASSIGNLABEL, OM_POSITIONLABEL}));
}

}  // namespace
