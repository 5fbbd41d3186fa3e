// Files dropped from the desktop, screens and the work area, and cursors.
#include <gtest/gtest.h>

#include <QDropEvent>
#include <QMimeData>
#include <QUrl>

#include "platform/core/DropFiles.h"
#include "platform/core/Screens.h"
#include "tests/support/GuiTestSupport.h"

using namespace GuiTest;

namespace {

// A drop of Names at a screen point, as the platform delivers it to the host's Qt window.
void Drop(HWND Via, POINT Screen, const QStringList& Names) {
    QMimeData Data;
    QList<QUrl> Urls;
    for (const QString& Name : Names) Urls.push_back(QUrl::fromLocalFile(Name));
    Data.setUrls(Urls);
    const QPointF Local(LocalOf(Via, Screen));
    QDragEnterEvent Enter(Local.toPoint(), Qt::CopyAction, &Data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(QtWindowOf(Via), &Enter);
    QDropEvent Dropped(Local, Qt::CopyAction, &Data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(QtWindowOf(Via), &Dropped);
}

TEST(DroppedFiles, ReachTheWindowThatAcceptsThemWithTheirNamesAndPlace) {
    TWindowGuard Guard;
    const HWND Form = Guard(Windows().Create(0, WS_POPUP | WS_VISIBLE, {100, 100, 400, 300}));
    const HWND Panel = Windows().Create(0, WS_CHILD | WS_VISIBLE, {10, 10, 110, 110}, Form);
    DragAcceptFiles(Form, TRUE);
    Drain();
    struct TSeen {
        UINT Count = 0;
        std::vector<std::string> Names;
        POINT Point{};
        BOOL InClient = FALSE;
        UINT LengthOfFirst = 0;
    };
    std::vector<TSeen> Seen;
    HDROP Kept = 0;
    Windows().Handlers[Form] = [&](HWND, UINT M, WPARAM Wp, LPARAM) -> std::optional<LRESULT> {
        if (M != WM_DROPFILES) return std::nullopt;
        const auto Files = static_cast<HDROP>(Wp);
        TSeen S;
        S.Count = DragQueryFile(Files, 0xFFFFFFFFu, nullptr, 0);
        for (UINT I = 0; I < S.Count; ++I) {
            char Name[260];
            DragQueryFile(Files, I, Name, sizeof Name);
            S.Names.push_back(Name);
        }
        S.LengthOfFirst = DragQueryFile(Files, 0, nullptr, 0);
        S.InClient = DragQueryPoint(Files, &S.Point);
        Seen.push_back(S);
        Kept = Files;  // no DragFinish: the drop goes when the handler is done all the same
        return 0;
    };
    // Dropped on a child that does not take files: its form does.
    Drop(Form, ScreenOf(Panel, POINT{5, 6}),
         {QStringLiteral("/tmp/box.bfg"), QStringLiteral("/tmp/Gr\u00fc\u00dfe.cfg")});
    Drain();
    ASSERT_EQ(Seen.size(), 1u);
    EXPECT_EQ(Seen[0].Count, 2u);
    EXPECT_EQ(Seen[0].Names, (std::vector<std::string>{"/tmp/box.bfg",
                                                       "/tmp/Gr\xC3\xBC\xC3\x9F"
                                                       "e.cfg"}));
    EXPECT_EQ(Seen[0].LengthOfFirst, 12u);
    EXPECT_EQ(Seen[0].Point, (POINT{15, 16}));
    EXPECT_TRUE(Seen[0].InClient);
    EXPECT_EQ(DragQueryFile(Kept, 0xFFFFFFFFu, nullptr, 0), 0u);
    // A name longer than a path can be is left out; a disabled form takes nothing.
    Drop(Form, ScreenOf(Form, POINT{200, 150}),
         {QString(5000, QLatin1Char('a')), QStringLiteral("/tmp/ok.cfg")});
    EnableWindow(Form, FALSE);
    Drop(Form, ScreenOf(Form, POINT{200, 150}), {QStringLiteral("/tmp/late.cfg")});
    Drain();
    ASSERT_EQ(Seen.size(), 2u);
    EXPECT_EQ(Seen[1].Names, std::vector<std::string>{"/tmp/ok.cfg"});
    EnableWindow(Form, TRUE);
    // Without the flag nothing arrives.
    DragAcceptFiles(Form, FALSE);
    Drop(Form, ScreenOf(Form, POINT{200, 150}), {QStringLiteral("/tmp/x.cfg")});
    Drain();
    EXPECT_EQ(Seen.size(), 2u);
}

class TTwoScreens : public TScreenSource {
  public:
    std::vector<TScreenInfo> Screens() const override {
        return {TScreenInfo{{0, 0, 1024, 768}, {0, 0, 1024, 740}, true},
                TScreenInfo{{1024, 0, 2304, 1024}, {1024, 30, 2304, 1024}, false}};
    }
};

TEST(Screens, AnInjectedListAnswersMonitorsWorkAreasAndMetrics) {
    SetScreenSource(std::make_shared<TTwoScreens>());
    struct TCase {
        POINT Pt;
        DWORD Flags;
        HMONITOR Want;
    };
    const TCase Cases[] = {
        {{10, 10}, MONITOR_DEFAULTTONULL, 1},      {{1500, 10}, MONITOR_DEFAULTTONULL, 2},
        {{1500, 900}, MONITOR_DEFAULTTONULL, 2},   {{500, 900}, MONITOR_DEFAULTTONULL, 0},
        {{500, 900}, MONITOR_DEFAULTTOPRIMARY, 1}, {{3000, 500}, MONITOR_DEFAULTTONEAREST, 2},
        {{-50, 300}, MONITOR_DEFAULTTONEAREST, 1},
    };
    for (const TCase& C : Cases)
        EXPECT_EQ(MonitorFromPoint(C.Pt, C.Flags), C.Want) << C.Pt.x << "," << C.Pt.y;
    RECT Straddling{900, 100, 1300, 200};  // more of it on the second screen
    EXPECT_EQ(MonitorFromRect(&Straddling, MONITOR_DEFAULTTONULL), 2u);
    MONITORINFO Info;
    ASSERT_TRUE(GetMonitorInfo(2, &Info));
    EXPECT_EQ(Info.rcWork, (RECT{1024, 30, 2304, 1024}));
    EXPECT_EQ(Info.dwFlags, 0u);
    EXPECT_FALSE(GetMonitorInfo(3, &Info));
    RECT Work;
    ASSERT_TRUE(SystemParametersInfo(SPI_GETWORKAREA, 0, &Work, 0));
    EXPECT_EQ(Work, (RECT{0, 0, 1024, 740}));
    // The work area at a point is its nearest screen's, on a screen or off every one.
    EXPECT_EQ(WorkAreaAt(POINT{1500, 10}), (RECT{1024, 30, 2304, 1024}));
    EXPECT_EQ(WorkAreaAt(POINT{3000, 500}), (RECT{1024, 30, 2304, 1024}));
    EXPECT_EQ(WorkAreaAt(POINT{-50, 300}), (RECT{0, 0, 1024, 740}));
    EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), 1024);
    // A window on the second screen is maximized to that screen's work area.
    {
        TWindowGuard Guard;
        const HWND Form =
            Guard(Windows().Create(0, WS_OVERLAPPEDWINDOW | WS_VISIBLE, {1200, 100, 1500, 300}));
        ShowWindow(Form, SW_MAXIMIZE);
        RECT R;
        GetWindowRect(Form, &R);
        const int Frame = GetSystemMetrics(SM_CXFRAME);
        EXPECT_EQ(R, (RECT{1024 - Frame, 30 - Frame, 2304 + Frame, 1024 + Frame}));
    }
    SetScreenSource(nullptr);
    EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), 800);
    EXPECT_EQ(GetScreens().size(), 1u);
}

TEST(Cursors, StandardAndNamedCursorsAndTheOneShownOverTheWindows) {
    const HCURSOR Arrow = LoadCursor(0, MAKEINTRESOURCE(IDC_ARROW));
    EXPECT_NE(Arrow, 0u);
    EXPECT_EQ(LoadCursor(0, MAKEINTRESOURCE(IDC_ARROW)), Arrow);
    EXPECT_NE(LoadCursor(0, MAKEINTRESOURCE(IDC_IBEAM)), Arrow);
    EXPECT_EQ(LoadCursor(0, MAKEINTRESOURCE(12345)), 0u);
    EXPECT_EQ(LoadCursor(0, "DXBARDRAGCURSOR"), 0u);
    ICONINFO Info;
    Info.fIcon = FALSE;
    Info.xHotspot = 3;
    Info.yHotspot = 4;
    Info.hbmMask = CreateBitmap(16, 16, 1, 1, nullptr);
    Info.hbmColor = CreateBitmap(16, 16, 1, 32, nullptr);
    const HCURSOR Drag = CreateIconIndirect(&Info);
    DeleteObject(Info.hbmMask);
    DeleteObject(Info.hbmColor);
    RegisterCursorResource("DXBARDRAGCURSOR", Drag);
    EXPECT_EQ(LoadCursor(0, "dxBarDragCursor"), Drag);

    TWindowGuard Guard;
    const HWND Form =
        Guard(Windows().Create(0, WS_OVERLAPPEDWINDOW | WS_VISIBLE, {0, 0, 300, 200}));
    Drain();
    // Over the right edge the frame asks for the sizing cursor, over the client area for the
    // class cursor.
    MouseMove(Form, POINT{299, 100});
    EXPECT_EQ(GetCursor(), LoadCursor(0, MAKEINTRESOURCE(IDC_SIZEWE)));
    EXPECT_EQ(HostOfWindow(Form)->cursor().shape(), Qt::SizeHorCursor);
    MouseMove(Form, POINT{150, 100});
    EXPECT_EQ(GetCursor(), Arrow);
    EXPECT_EQ(SetCursor(Drag), Arrow);
    EXPECT_EQ(HostOfWindow(Form)->cursor().shape(), Qt::BitmapCursor);
    RegisterCursorResource("DXBARDRAGCURSOR", 0);
    SetCursor(Arrow);
    DestroyIcon(Drag);
}

}  // namespace
