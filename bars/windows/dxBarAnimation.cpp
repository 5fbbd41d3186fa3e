#include "bars/windows/dxBarAnimation.h"

#include <algorithm>
#include <cstdlib>
#include <random>

#include "bars/windows/dxBarSubMenu.h"
#include "bars/windows/dxBarTimers.h"
#include "platform/core/Paint.h"

namespace {

constexpr int kUnfoldStep = 8;
constexpr int kSlideStep = 17;
// The steps follow each other as fast as the timers allow.
constexpr UINT kStepElapse = 1;

struct TAnimation {
    TdxBarSubMenuControl* Menu = nullptr;
    TdxBarAnimationPlan Plan;
    int Done = 0;
    // The menu's final window rectangle and its frame around the client area.
    TRect FinalBounds;
    TRect Frame;
    HBITMAP Image = 0;
    UINT_PTR Timer = 0;
};

TAnimation& Running() {
    static auto* A = new TAnimation;
    return *A;
}

// Moves and sizes the window to step Done's client area and shows it.
void ShowStep(TAnimation& A) {
    const TdxBarAnimationFrame F = AnimationFrame(A.Plan, A.Done);
    const int Left = A.FinalBounds.Left + F.Client.Left;
    const int Top = A.FinalBounds.Top + F.Client.Top;
    const int Width = F.Client.Width() + A.Frame.Left + A.Frame.Right;
    const int Height = F.Client.Height() + A.Frame.Top + A.Frame.Bottom;
    SetWindowPos(A.Menu->Handle(), 0, Left, Top, Width, Height,
                 SWP_NOZORDER | SWP_NOACTIVATE | SWP_SHOWWINDOW);
    const HDC DC = GetDC(A.Menu->Handle());
    PaintAnimationFrame(A.Menu, DC);
    ReleaseDC(A.Menu->Handle(), DC);
}

void Tick() {
    TAnimation& A = Running();
    if (!A.Menu) return;
    if (A.Done >= A.Plan.StepCount()) {
        StopSubMenuAnimation();
        return;
    }
    ++A.Done;
    ShowStep(A);
}

}  // namespace

TdxBarAnimationPlan PlanAnimation(TdxBarMenuAnimations Kind, int Width, int Height,
                                  bool GrowFromRight, bool GrowFromBottom) {
    TdxBarAnimationPlan Plan;
    Plan.Kind = Kind == maSlide ? maSlide : maUnfold;
    Plan.GrowFromRight = GrowFromRight;
    Plan.GrowFromBottom = GrowFromBottom;
    Plan.Width = Width;
    Plan.Height = Height;
    if (Plan.Kind == maUnfold) {
        Plan.HeadStart = Height - Width;
        Plan.Distance = Plan.HeadStart < 1 ? Height : Width;
        Plan.Step = kUnfoldStep;
    } else {
        Plan.HeadStart = 0;
        Plan.Distance = Height;
        Plan.Step = kSlideStep;
    }
    return Plan;
}

TdxBarAnimationFrame AnimationFrame(const TdxBarAnimationPlan& Plan, int I) {
    const int Grown = I * Plan.Step;
    int W, H;
    if (Plan.Kind == maUnfold && Plan.HeadStart < 0) {
        W = -Plan.HeadStart + Grown;
        H = Grown;
    } else {
        W = Plan.Kind == maSlide ? Plan.Width : Grown;
        H = Plan.HeadStart + Grown;
    }
    W = std::clamp(W, 0, Plan.Width);
    H = std::clamp(H, 0, Plan.Height);
    const int Left = Plan.GrowFromRight ? Plan.Width - W : 0;
    const int Top = Plan.GrowFromBottom ? Plan.Height - H : 0;
    TdxBarAnimationFrame F;
    F.Client = TRect{Left, Top, Left + W, Top + H};
    F.Source.Y = Plan.GrowFromBottom ? 0 : Plan.Height - H;
    F.Source.X = Plan.GrowFromRight && !Plan.GrowFromBottom ? Plan.Width - W : 0;
    return F;
}

TdxBarMenuAnimations ResolveAnimation(TdxBarMenuAnimations Kind) {
    if (Kind != maRandom) return Kind;
    static std::minstd_rand Random{std::random_device{}()};
    return std::uniform_int_distribution<int>(0, 99)(Random) < 50 ? maUnfold : maSlide;
}

void StartSubMenuAnimation(TdxBarSubMenuControl* Menu, const TdxBarAnimationPlan& Plan,
                           HBITMAP Image) {
    StopSubMenuAnimation();
    TAnimation& A = Running();
    A.Menu = Menu;
    A.Plan = Plan;
    A.Done = 0;
    A.Image = Image;
    RECT Window, Client;
    GetWindowRect(Menu->Handle(), &Window);
    GetClientRect(Menu->Handle(), &Client);
    POINT Origin{0, 0};
    ClientToScreen(Menu->Handle(), &Origin);
    A.FinalBounds = ToTRect(Window);
    A.Frame =
        TRect{Origin.x - Window.left, Origin.y - Window.top, Window.right - Origin.x - Client.right,
              Window.bottom - Origin.y - Client.bottom};
    if (Plan.StepCount() < 1) {
        StopSubMenuAnimation();
        return;
    }
    A.Done = 1;
    ShowStep(A);
    A.Timer = dxBarTimers().SetTimer(kStepElapse, Tick);
}

void StopSubMenuAnimation() {
    TAnimation& A = Running();
    dxBarKillTimer(A.Timer);
    TdxBarSubMenuControl* Menu = A.Menu;
    A.Menu = nullptr;
    if (A.Image) DeleteObject(A.Image);
    A.Image = 0;
    if (!Menu || Menu->Hiding() || !Menu->HandleAllocated()) return;
    const TRect& B = A.FinalBounds;
    SetWindowPos(Menu->Handle(), 0, B.Left, B.Top, B.Width(), B.Height(),
                 SWP_NOZORDER | SWP_NOACTIVATE | SWP_SHOWWINDOW);
    RedrawWindow(Menu->Handle(), nullptr, 0, RDW_INVALIDATE | RDW_FRAME | RDW_ERASE);
}

TdxBarSubMenuControl* AnimatedSubMenu() {
    return Running().Menu;
}

bool PaintAnimationFrame(const TdxBarSubMenuControl* Menu, HDC DC) {
    TAnimation& A = Running();
    if (!Menu || A.Menu != Menu) return false;
    const TdxBarAnimationFrame F = AnimationFrame(A.Plan, A.Done);
    const HDC Memory = CreateCompatibleDC(DC);
    const HGDIOBJ Old = SelectObject(Memory, A.Image);
    BitBlt(DC, 0, 0, F.Client.Width(), F.Client.Height(), Memory, F.Source.X, F.Source.Y, SRCCOPY);
    SelectObject(Memory, Old);
    DeleteDC(Memory);
    return true;
}
