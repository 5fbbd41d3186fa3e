// Dropped files reaching the component that hooks a window, and the program's version
// information with its errors.
#include <gtest/gtest.h>

#include <QDropEvent>
#include <QMimeData>
#include <QUrl>
#include <filesystem>

#include "components/shell/StDropFiles.h"
#include "components/shell/StVersionInfo.h"
#include "platform/core/DropFiles.h"
#include "platform/forms/Errors.h"
#include "platform/system/Version.h"
#include "tests/support/GuiTestSupport.h"

using namespace GuiTest;

namespace {

// A drop of Names at a client point of Target, as the desktop delivers it to the host's window.
void Drop(HWND Target, POINT Client, const std::vector<std::string>& Names) {
    QMimeData Data;
    QList<QUrl> Urls;
    for (const std::string& Name : Names)
        Urls.push_back(QUrl::fromLocalFile(QString::fromStdString(Name)));
    Data.setUrls(Urls);
    const QPointF Local(LocalOf(Target, ScreenOf(Target, Client)));
    QDragEnterEvent Enter(Local.toPoint(), Qt::CopyAction, &Data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(QtWindowOf(Target), &Enter);
    QDropEvent Dropped(Local, Qt::CopyAction, &Data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(QtWindowOf(Target), &Dropped);
    Drain();
}

std::vector<std::string> Lines(const TStringList& List) {
    std::vector<std::string> Out;
    for (int N = 0; N < List.Count(); ++N) Out.push_back(List[N]);
    return Out;
}

TEST(StDropFiles, ThreeFilesReachTheHandlerOnceInTheDesktopsOrder) {
    TWindowGuard Guard;
    const HWND Form = Guard(Windows().Create(0, WS_POPUP | WS_VISIBLE, {100, 100, 400, 300}));
    const LONG_PTR OwnProc = GetWindowLongPtr(Form, GWLP_WNDPROC);
    TStringList Copy;
    std::vector<POINT> Points;
    std::optional<TStDropFiles> Target(std::in_place, nullptr);
    Target->SetReceivingList(&Copy);
    Target->OnDropFiles = [&](TObject* Sender, POINT Point) {
        EXPECT_EQ(Sender, &*Target);
        Points.push_back(Point);
    };
    Target->SetDropTarget(Form);
    const std::string Long = "/tmp/" + std::string(300, 'x') + ".cfg";
    const std::vector<std::string> Names = {"/tmp/b/BOX.BFG", "/tmp/a/box.cfg", Long};
    Drop(Form, {30, 40}, Names);
    ASSERT_EQ(Points.size(), 1u);
    EXPECT_EQ(Points[0], (POINT{30, 40}));
    EXPECT_EQ(Target->Count(), 3);
    EXPECT_EQ(Lines(Target->Files()), Names);  // the long name whole
    EXPECT_EQ(Lines(Copy), Names);
    // The drop was the component's; the window's own procedure still gets everything else.
    EXPECT_TRUE(Windows().Of(Form, {WM_DROPFILES}).empty());
    SetWindowText(Form, "Kestro");
    EXPECT_EQ(GetWindowText(Form), "Kestro");

    // Inactive: the window takes no files.
    Target->SetActive(false);
    Drop(Form, {30, 40}, {"/tmp/late.cfg"});
    EXPECT_EQ(Points.size(), 1u);
    Target->SetActive(true);

    // Gone: the window has its own procedure back and takes no files.
    Target.reset();
    EXPECT_EQ(GetWindowLongPtr(Form, GWLP_WNDPROC), OwnProc);
    Drop(Form, {30, 40}, {"/tmp/after.cfg"});
    EXPECT_TRUE(Windows().Of(Form, {WM_DROPFILES}).empty());
}

TEST(StDropFiles, WindowsThatGoOrAreSubclassedAgainAreLeftSound) {
    TWindowGuard Guard;
    const HWND First = Windows().Create(0, WS_POPUP | WS_VISIBLE, {100, 100, 400, 300});
    const HWND Second = Guard(Windows().Create(0, WS_POPUP | WS_VISIBLE, {500, 100, 800, 300}));
    TStDropFiles Target(nullptr);
    int Drops = 0;
    Target.OnDropFiles = [&](TObject*, POINT) { ++Drops; };
    Target.SetDropTarget(First);
    DestroyWindow(First);
    EXPECT_EQ(Target.DropTarget(), 0u);

    // Another hook put in after ours: ours stays in the chain and passes everything on.
    Target.SetDropTarget(Second);
    std::vector<UINT> SeenByLater;
    const WNDPROC Later = MakeObjectInstance(
        [&, Inner = WNDPROC(GetWindowLongPtr(Second, GWLP_WNDPROC))](TMessage& M) {
            SeenByLater.push_back(M.Msg);
            M.Result = CallWindowProc(Inner, Second, M.Msg, M.WParam, M.LParam);
        });
    SetWindowLongPtr(Second, GWLP_WNDPROC, LONG_PTR(Later));
    Drop(Second, {5, 5}, {"/tmp/one.cfg"});
    EXPECT_EQ(Drops, 1);
    Target.SetDropTarget(0);
    EXPECT_EQ(GetWindowLongPtr(Second, GWLP_WNDPROC), LONG_PTR(Later));
    SetWindowText(Second, "still answers");
    EXPECT_EQ(GetWindowText(Second), "still answers");
    DestroyWindow(Second);
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

}  // namespace
