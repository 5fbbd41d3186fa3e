// Dropped files reaching the component that hooks a window, and the program's version
// information with its errors.
#include <gtest/gtest.h>

#include <QDropEvent>
#include <QMimeData>
#include <QUrl>
#include <filesystem>

#include "components/shell/OvcURL.h"
#include "components/shell/Register.h"
#include "components/shell/StDropFiles.h"
#include "components/shell/StVersionInfo.h"
#include "platform/core/DropFiles.h"
#include "platform/forms/Errors.h"
#include "platform/shell/ShellExecute.h"
#include "platform/shell/Sound.h"
#include "platform/system/Version.h"
#include "platform/widgets/Forms.h"
#include "tests/support/GuiTestSupport.h"

using namespace GuiTest;

namespace {

std::vector<std::string> Lines(const TStringList& List) {
    std::vector<std::string> Out;
    for (int N = 0; N < List.Count(); ++N) Out.push_back(List[N]);
    return Out;
}

// A shown form made in code, its window at Bounds.
TForm* ShownForm(RECT Bounds) {
    Forms.Initialize();
    auto* Form = new TForm(nullptr);
    Form->SetBorderStyle(bsNone);
    Form->SetBounds(Bounds.left, Bounds.top, Bounds.right - Bounds.left,
                    Bounds.bottom - Bounds.top);
    Form->Show();
    Drain();
    return Form;
}

TEST(StDropFiles, ThreeFilesReachTheHandlerOnceInTheDesktopsOrder) {
    TForm* Owner = ShownForm({100, 100, 400, 300});
    const HWND Form = Owner->Handle();
    const LONG_PTR OwnProc = GetWindowLongPtr(Form, GWLP_WNDPROC);
    int Unhandled = 0;
    Owner->WindowProc = [&, Default = Owner->WindowProc](TMessage& M) {
        if (M.Msg == WM_DROPFILES) ++Unhandled;
        Default(M);
    };
    TStringList Copy;
    std::vector<POINT> Points;
    std::optional<TStDropFiles> Target(std::in_place, nullptr);
    Target->SetReceivingList(&Copy);
    Target->OnDropFiles = [&](TObject* Sender, POINT Point) {
        EXPECT_EQ(Sender, &*Target);
        Points.push_back(Point);
    };
    Target->SetDropTarget(Owner);
    EXPECT_EQ(Target->HookedWindow(), Form);
    const std::string Long = "/tmp/" + std::string(300, 'x') + ".cfg";
    const std::vector<std::string> Names = {"/tmp/b/BOX.BFG", "/tmp/a/box.cfg", Long};
    DropNames(Form, {30, 40}, Names);
    ASSERT_EQ(Points.size(), 1u);
    EXPECT_EQ(Points[0], (POINT{30, 40}));
    EXPECT_EQ(Target->Count(), 3);
    EXPECT_EQ(Lines(Target->Files()), Names);  // the long name whole
    EXPECT_EQ(Lines(Copy), Names);
    // The drop was the component's; the window's own procedure still gets everything else.
    EXPECT_EQ(Unhandled, 0);
    SetWindowText(Form, "Kestro");
    EXPECT_EQ(Owner->Caption(), "Kestro");

    // Inactive: the window takes no files.
    Target->SetActive(false);
    DropNames(Form, {30, 40}, {"/tmp/late.cfg"});
    EXPECT_EQ(Points.size(), 1u);
    Target->SetActive(true);

    // Gone: the window has its own procedure back and takes no files.
    Target.reset();
    EXPECT_EQ(GetWindowLongPtr(Form, GWLP_WNDPROC), OwnProc);
    DropNames(Form, {30, 40}, {"/tmp/after.cfg"});
    EXPECT_EQ(Unhandled, 0);
    Owner->Free();
}

TEST(StDropFiles, ControlsThatGoOrWindowsSubclassedAgainAreLeftSound) {
    TForm* First = ShownForm({100, 100, 400, 300});
    TForm* SecondForm = ShownForm({500, 100, 800, 300});
    const HWND Second = SecondForm->Handle();
    TStDropFiles Target(nullptr);
    int Drops = 0;
    Target.OnDropFiles = [&](TObject*, POINT) { ++Drops; };
    Target.SetDropTarget(First);
    First->Free();
    EXPECT_EQ(Target.DropTarget(), nullptr);
    EXPECT_EQ(Target.HookedWindow(), 0u);

    // Another hook put in after ours: ours stays in the chain and passes everything on.
    Target.SetDropTarget(SecondForm);
    std::vector<UINT> SeenByLater;
    const WNDPROC Later = MakeObjectInstance(
        [&, Inner = WNDPROC(GetWindowLongPtr(Second, GWLP_WNDPROC))](TMessage& M) {
            SeenByLater.push_back(M.Msg);
            M.Result = CallWindowProc(Inner, Second, M.Msg, M.WParam, M.LParam);
        });
    SetWindowLongPtr(Second, GWLP_WNDPROC, LONG_PTR(Later));
    DropNames(Second, {5, 5}, {"/tmp/one.cfg"});
    EXPECT_EQ(Drops, 1);
    Target.SetDropTarget(nullptr);
    EXPECT_EQ(GetWindowLongPtr(Second, GWLP_WNDPROC), LONG_PTR(Later));
    SetWindowText(Second, "still answers");
    EXPECT_EQ(GetWindowText(Second), "still answers");
    SecondForm->Free();
    FreeObjectInstance(Later);
}

// ---- version information -------------------------------------------------------------------

class TCountingVersionInfo : public TStVersionInfo {
  public:
    int Reads = 0;

  protected:
    std::optional<TVersionBlock> ReadVersionBlock(const std::string& Name) override {
        ++Reads;
        return TStVersionInfo::ReadVersionBlock(Name);
    }
};

TEST(StVersionInfo, TheRunningProgramFromTheProjectVersion) {
    TCountingVersionInfo Info;
    EXPECT_EQ(Info.FileVersion(), FileVersion());
    EXPECT_EQ(Info.ProductVersion(), FileVersion());
    EXPECT_EQ(Info.Reads, 1);  // loaded once for every value
    EXPECT_EQ(Info.ProductName(), "Orvalin Kestro");
    EXPECT_EQ(Info.Comments(), "");
    EXPECT_EQ(Info.GetKeyValue("productname"), "Orvalin Kestro");
    EXPECT_EQ(Info.Translation(), 0x04E40407u);
    EXPECT_EQ(Info.FileFlags(), ::FileFlags());
    const TProgramVersion V = ProgramVersion();
    EXPECT_EQ(Info.Fixed().FileVersionMS, uint32_t(V.Major) << 16 | V.Minor);
    EXPECT_EQ(Info.Reads, 1);
    // Setting the same file keeps what was read; another file reads again.
    Info.SetFileName("");
    Info.FileVersion();
    EXPECT_EQ(Info.Reads, 1);
}

TEST(StVersionInfo, Errors) {
    TStVersionInfo Info;
    struct TCase {
        const char* Name;
        std::function<void()> Step;
        int32_t Code;
        const char* Text;
    };
    const std::string Other = testing::TempDir() + "other-program";
    WriteFile(Other, "not a program");
    const TCase Cases[] = {
        {"missing-file", [&] { Info.SetFileName("/nonexistent/kestro"); }, 73,
         "Error opening file"},
        {"missing-key", [&] { Info.SetFileName(""), Info.GetKeyValue("Comments"); }, 134,
         "The specified key cannnot be found in version info"},
        {"other-file", [&] { Info.SetFileName(Other), Info.FileVersion(); }, 100,
         "File does not contain version info"},
    };
    for (const TCase& C : Cases) {
        int32_t Code = 0;
        std::string Text;
        try {
            C.Step();
        } catch (const EStVersionInfoError& E) {
            Code = E.ErrorCode;
            Text = E.Message();
        }
        EXPECT_EQ(Code, C.Code) << C.Name;
        EXPECT_EQ(Text, C.Text) << C.Name;
    }
    std::filesystem::remove(Other);
}

TEST(StVersionInfo, VersionTextsAsNumbers) {
    const std::pair<const char*, double> Cases[] = {
        {"1.23.4.5", 1.23},    {"0.1.0.0", 0.1}, {"10.20.3", 10.2},
        {"123.456.7", 123.45}, {"7", 7},         {"1.2345678", 1.2345},
    };
    for (const auto& [Text, Want] : Cases) EXPECT_DOUBLE_EQ(VersionToFloat(Text), Want) << Text;
    for (const char* Bad : {"", "abc", "1.x.3", ".."})
        EXPECT_THROW(VersionToFloat(Bad), EConvertError) << Bad;
}

// ---- on a form read from its definition -----------------------------------------------------

class TShellTestForm : public TForm {
  public:
    using TForm::TForm;
    template <class T>
    T* Find(const char* Name) {
        return dynamic_cast<T*>(FindComponent(Name));
    }
    void Dropped(TObject*, POINT Point) {
        Drops.push_back(Point);
        Files = Lines(Find<TStDropFiles>("DropFiles1")->Files());
    }
    std::vector<POINT> Drops;
    std::vector<std::string> Files;
};

class ShellOnAForm : public ::testing::Test {
  protected:
    void SetUp() override {
        Forms.Initialize();
        RegisterShellClasses();
        static const bool Registered = [] {
            RegisterClass<TShellTestForm, TForm>("TShellTestForm")
                .Method("Dropped", &TShellTestForm::Dropped);
            return true;
        }();
        (void)Registered;
        Form = CreateForm<TShellTestForm>(nullptr);
    }
    void TearDown() override {
        while (Screen->FormCount() > 0) Screen->Forms(0)->Free();
        Drain();
        SetProcessRunner(nullptr);
        SetSoundService(nullptr);
    }
    POINT Inside(TControl* C, int X, int Y) {
        return ScreenOf(Form->Handle(), POINT{C->Left() + X, C->Top() + Y});
    }
    TShellTestForm* Form = nullptr;
};

TEST_F(ShellOnAForm, ADropTargetWithoutAWindowYetIsHookedOnceLoadedAndTheOwnerIsTheDefault) {
    auto* Panel = Form->Find<TWinControl>("Panel1");
    auto* Drops = Form->Find<TStDropFiles>("DropFiles1");
    auto* Own = Form->Find<TStDropFiles>("OwnDrop");
    EXPECT_EQ(Drops->DropTarget(), Panel);
    ASSERT_TRUE(Panel->HandleAllocated());
    EXPECT_EQ(Drops->HookedWindow(), Panel->Handle());
    EXPECT_EQ(Own->DropTarget(), Form);
    EXPECT_FALSE(Own->Active());
    Form->Show();
    Drain();
    const std::vector<std::string> Names = {"/tmp/c.bfg", "/tmp/a.cfg", "/tmp/b.cfg"};
    DropNames(Panel->Handle(), {5, 6}, Names);
    EXPECT_EQ(Form->Files, Names);
    ASSERT_EQ(Form->Drops.size(), 1u);
    EXPECT_EQ(Form->Drops[0], (POINT{5, 6}));
    // The form itself takes no files while its component is inactive.
    DropNames(Form->Handle(), {5, 5}, {"/tmp/d.cfg"});
    EXPECT_EQ(Form->Drops.size(), 1u);
    EXPECT_EQ(Own->Count(), 0);
}

TEST_F(ShellOnAForm, TheURLLabelShowsItsAddressLightsUpUnderTheMouseAndOpensIt) {
    auto* Home = Form->Find<TOvcURL>("Home");
    auto* Mail = Form->Find<TOvcURL>("Mail");
    // Without a caption the address shows: the label is as wide as one captioned with it.
    EXPECT_EQ(Home->Caption(), "");
    auto* Same = new TOvcURL(Form);
    Same->SetParent(Form);
    Same->SetFont(Home->Font());
    Same->SetCaption("https://kestro.example/");
    EXPECT_EQ(Home->Width(), Same->Width());
    EXPECT_GT(Home->Width(), Mail->Width() / 2);
    Same->Free();
    EXPECT_TRUE(Home->Font()->Style().count(fsUnderline));
    EXPECT_EQ(Home->Cursor(), crHandPoint);
    EXPECT_EQ(Mail->HighlightColor(), clRed);
    EXPECT_EQ(Home->About(), "v4.02");

    Form->Show();
    Drain();
    const TColor Normal = Home->Font()->Color();
    MouseMove(Form->Handle(), Inside(Home, 5, 5));
    Drain();
    EXPECT_TRUE(Home->Hovering());
    EXPECT_EQ(Home->Font()->Color(), clRed);
    SaveWindowPicture(Form->Handle(),
                      std::string(KESTRO_BINARY_DIR) + "/pictures/components/url-label.png");
    // Off the label the timer finds the pointer gone and the colour comes back.
    MouseMove(Form->Handle(), Inside(Home, 5, 60));
    EXPECT_TRUE(PumpUntil([&] { return !Home->Hovering(); }, 10000));
    EXPECT_EQ(Home->Font()->Color(), Normal);

    // A click opens the address with the desktop's handler; a failure only beeps.
    auto Runner = std::make_unique<TRecordingProcessRunner>();
    TRecordingProcessRunner* Started = Runner.get();
    SetProcessRunner(std::move(Runner));
    auto Sounds = std::make_unique<TRecordingSoundService>();
    TRecordingSoundService* Beeps = Sounds.get();
    SetSoundService(std::move(Sounds));
    int Clicks = 0;
    Mail->OnClick = [&](TObject*) { ++Clicks; };
    MouseClick(Form->Handle(), Inside(Mail, 3, 3));
    Drain();
    ASSERT_EQ(Started->Started.size(), 1u);
    EXPECT_EQ(Started->Started[0].Arguments,
              std::vector<std::string>{"mailto:author@kestro.example"});
    EXPECT_EQ(Clicks, 1);
    EXPECT_TRUE(Beeps->Beeps.empty());
    Started->Succeed = false;
    MouseClick(Form->Handle(), Inside(Home, 3, 3));
    Drain();
    EXPECT_EQ(Beeps->Beeps.size(), 1u);
    // A visited link takes its visited colour once the mouse has left it.
    MouseMove(Form->Handle(), Inside(Home, 5, 60));
    EXPECT_TRUE(PumpUntil([&] { return !Home->Hovering(); }, 10000));
    EXPECT_EQ(Home->Font()->Color(), clPurple);
    // Without an address a click is only a click.
    Mail->SetURL("");
    Mail->Click();
    EXPECT_EQ(Started->Started.size(), 2u);
    EXPECT_EQ(Clicks, 2);
}

}  // namespace
