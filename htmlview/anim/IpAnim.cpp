#include "htmlview/anim/IpAnim.h"

#include <algorithm>
#include <cstring>

#include "htmlview/png/PngStrings.h"
#include "platform/widgets/ExtCtrls.h"

namespace {

// The class library's timer behind the animation's.
class TWindowTimer : public TIpAnimationTimer {
  public:
    TWindowTimer() {
        FTimer.SetEnabled(false);
        FTimer.SetOnTimer([this](TObject*) {
            if (OnTimer) OnTimer();
        });
    }
    bool Enabled() const override { return FTimer.Enabled(); }
    void SetEnabled(bool Value) override { FTimer.SetEnabled(Value); }
    unsigned Interval() const override { return FTimer.Interval(); }
    void SetInterval(unsigned Value) override { FTimer.SetInterval(Value); }

  private:
    TTimer FTimer{nullptr};
};

TIpAnimationTimerFactory& TimerFactory() {
    static TIpAnimationTimerFactory Factory;
    return Factory;
}

// Frame delays come in hundredths of a second; a frame shows at least this long, so that a
// picture whose frames claim no delay cannot keep the loop busy.
constexpr unsigned kMinFrameInterval = 50;
// A frame a step put together also stays as long as putting together as many pixels as the step
// changed would take at this rate (pixels a millisecond): a picture of millions of pixels whose
// frames claim no delay must not keep a core busy either. Pictures of a few hundred pixels each
// way never come near it.
constexpr int64_t kComposedPixelsPerMs = 20000;
// The first step of an animation whose first frame's delay is not used.
constexpr unsigned kFirstStepInterval = 100;
// The timer's interval while there is nothing to show.
constexpr unsigned kIdleInterval = 32767;

// Pictures hold copies of their graphics, made by class name.
struct TAnimationRegistration {
    TAnimationRegistration() {
        TPicture::RegisterGraphicClass("TIpAnimatedGraphic",
                                       [] { return std::make_unique<TIpAnimatedGraphic>(); });
    }
};
const TAnimationRegistration kRegistration;

}  // namespace

// Referenced by the link options of the library, so the registration above is linked into every
// program that links it even when nothing names the class.
extern "C" const void* const KestroIpAnimUnit = &kRegistration;

// --- frames ------------------------------------------------------------------------------------

TIpAnimationFrame::TIpAnimationFrame() : FBitmap(std::make_unique<TBitmap>()) {}
TIpAnimationFrame::~TIpAnimationFrame() = default;

void TIpAnimationFrameList::Release() {
    if (--FShareCount < 0) FItems.clear();
}

void TIpAnimationFrameList::Assign(const TIpAnimationFrameList& Source) {
    if (&Source == this) return;
    FItems = Source.FItems;
    Acquire();
}

int TIpAnimationFrameList::Add(std::shared_ptr<TObject> Item) {
    FItems.push_back(std::move(Item));
    return Count() - 1;
}

void TIpAnimationFrameList::Delete(int Index) {
    if (Index >= 0 && Index < Count()) FItems.erase(FItems.begin() + Index);
}

TIpAnimationFrame* TIpAnimationFrameList::Items(int Index) const {
    if (Index < 0 || Index >= Count() || !FItems[size_t(Index)]) return nullptr;
    auto* Frame = dynamic_cast<TIpAnimationFrame*>(FItems[size_t(Index)].get());
    if (!Frame) throw EFrameListError(PngString(SGifUnrecognizedFrameObject));
    return Frame;
}

// --- the graphic -------------------------------------------------------------------------------

QRgb TIpAnimatedGraphic::RgbOf(TColor Color) {
    const COLORREF C = ColorToRGB(Color);
    return qRgb(GetRValue(C), GetGValue(C), GetBValue(C));
}

QRect TIpAnimatedGraphic::FrameArea(const TIpAnimationFrame& Frame, const QSize& Size) {
    const int64_t Left = std::max<int64_t>(Frame.Left, 0), Top = std::max<int64_t>(Frame.Top, 0);
    const int64_t Right =
        std::min<int64_t>(int64_t(Frame.Left) + Frame.Bitmap().Width(), Size.width());
    const int64_t Bottom =
        std::min<int64_t>(int64_t(Frame.Top) + Frame.Bitmap().Height(), Size.height());
    if (Right <= Left || Bottom <= Top) return {};
    return QRect(int(Left), int(Top), int(Right - Left), int(Bottom - Top));
}

QRect TIpAnimatedGraphic::PutFrame(TBitmap& Target, const TIpAnimationFrame& Frame, bool Keyed) {
    const QRect Area = FrameArea(Frame, QSize(Target.Width(), Target.Height()));
    if (Area.isEmpty()) return {};
    // A 32-bit frame (a GIF's) is read in place, any other through a copy in that form.
    TBitmap& Source = const_cast<TBitmap&>(Frame.Bitmap());
    const QImage Copy = Source.PixelFormat() == pf32bit ? QImage() : Source.Image();
    if (Copy.isNull() && Source.PixelFormat() != pf32bit) return {};
    const auto SourceRow = [&](int Y) {
        return reinterpret_cast<const QRgb*>(Copy.isNull() ? Source.ScanLine(Y)
                                                           : Copy.constScanLine(Y));
    };
    const QRgb Key = RgbOf(Frame.TransparentColor) & 0xFFFFFF;
    for (int Y = Area.top(); Y <= Area.bottom(); ++Y) {
        const QRgb* From = SourceRow(Y - Frame.Top) + (Area.left() - Frame.Left);
        auto* Row = reinterpret_cast<QRgb*>(Target.ScanLine(Y)) + Area.left();
        for (int X = 0; X < Area.width(); ++X) {
            if (Keyed && (From[X] & 0xFFFFFF) == Key) continue;
            Row[X] = From[X] | 0xFF000000u;
        }
    }
    return Area;
}

QRect TIpAnimatedGraphic::FillFrameArea(TBitmap& Target, const TIpAnimationFrame& Frame,
                                        TColor Color) {
    const QRect Area = FrameArea(Frame, QSize(Target.Width(), Target.Height()));
    FillArea(Target, Area, Color);
    return Area;
}

void TIpAnimatedGraphic::FillArea(TBitmap& Target, const QRect& Area, TColor Color) {
    const QRect Inside = Area & QRect(0, 0, Target.Width(), Target.Height());
    const QRgb Rgb = RgbOf(Color);
    for (int Y = Inside.top(); Y <= Inside.bottom(); ++Y) {
        auto* Row = reinterpret_cast<QRgb*>(Target.ScanLine(Y)) + Inside.left();
        std::fill(Row, Row + Inside.width(), Rgb);
    }
}

QImage TIpAnimatedGraphic::CopyArea(TBitmap& Target, const QRect& Area) {
    const QRect Inside = Area & QRect(0, 0, Target.Width(), Target.Height());
    if (Inside.isEmpty()) return {};
    QImage Out(Inside.size(), QImage::Format_RGB32);
    if (Out.isNull()) throw EInvalidGraphic("Not enough memory for the animation");
    for (int Y = 0; Y < Inside.height(); ++Y)
        std::memcpy(
            Out.scanLine(Y),
            reinterpret_cast<const QRgb*>(Target.ScanLine(Inside.top() + Y)) + Inside.left(),
            size_t(Inside.width()) * 4);
    return Out;
}

void TIpAnimatedGraphic::PutArea(TBitmap& Target, const QImage& Pixels, const QPoint& At) {
    const QRect Inside = QRect(At, Pixels.size()) & QRect(0, 0, Target.Width(), Target.Height());
    for (int Y = Inside.top(); Y <= Inside.bottom(); ++Y)
        std::memcpy(reinterpret_cast<QRgb*>(Target.ScanLine(Y)) + Inside.left(),
                    reinterpret_cast<const QRgb*>(Pixels.constScanLine(Y - At.y())) +
                        (Inside.left() - At.x()),
                    size_t(Inside.width()) * 4);
}

void TIpAnimatedGraphic::SetTimerFactory(TIpAnimationTimerFactory Factory) {
    TimerFactory() = std::move(Factory);
}

TIpAnimatedGraphic::TIpAnimatedGraphic()
    : FFrames(std::make_unique<TIpAnimationFrameList>()),
      FTimer(TimerFactory() ? TimerFactory()() : std::make_unique<TWindowTimer>()) {
    FBitmap.SetPixelFormat(pf32bit);
    FTimer->SetEnabled(false);
    FTimer->OnTimer = [this] { TimerTick(); };
}

TIpAnimatedGraphic::~TIpAnimatedGraphic() {
    FTimer->SetEnabled(false);
    FTimer->OnTimer = nullptr;
    ReleaseFrames();
}

void TIpAnimatedGraphic::SetWidth(int Value) {
    FWidth = std::max(Value, 0);
    FBitmap.SetWidth(FWidth);
}

void TIpAnimatedGraphic::SetSize(int Width, int Height) {
    FBitmap.SetSize(std::max(Width, 0), std::max(Height, 0));
    FWidth = std::max(Width, 0);
    FHeight = std::max(Height, 0);
}

void TIpAnimatedGraphic::SetHeight(int Value) {
    FHeight = std::max(Value, 0);
    FBitmap.SetHeight(FHeight);
}

void TIpAnimatedGraphic::Draw(TCanvas& Canvas, const TRect& R) {
    if (!RedrawOnChange) return;
    FDrawDC = Canvas.Handle();
    FDrawRect = R;
}

void TIpAnimatedGraphic::SetDrawTarget(HDC DC, const TRect& R) {
    FTargetDC = DC;
    FTargetRect = R;
}

// A context is remembered by its handle: the canvas it came from may be long gone, and a handle
// that no longer names a context of some size is passed over.
void TIpAnimatedGraphic::DrawAt(HDC DC, const TRect& R) {
    if (!DC || GetObjectType(DC) == 0 || GetDeviceCaps(DC, HORZRES) <= 0 ||
        GetDeviceCaps(DC, VERTRES) <= 0)
        return;
    TCanvas Canvas;
    Canvas.SetHandle(DC);
    Canvas.StretchDraw(R, FBitmap);
    Canvas.SetHandle(0);
}

void TIpAnimatedGraphic::LoadFromStream(TStream&) {
    ClearFrames();
    SetWidth(50);
    SetHeight(50);
    TCanvas& Canvas = FBitmap.Canvas();
    Canvas.Brush().SetColor(clWhite);
    Canvas.FillRect(Rect(0, 0, 50, 50));
    Canvas.Font().SetColor(clRed);
    Canvas.TextOut(0, 0, "X");
    Changed();
}

void TIpAnimatedGraphic::SaveToStream(TStream& Stream) {
    FBitmap.SaveToStream(Stream);
}

void TIpAnimatedGraphic::Assign(const TGraphic& Source) {
    const auto* Other = dynamic_cast<const TIpAnimatedGraphic*>(&Source);
    if (!Other) return TGraphic::Assign(Source);
    if (Other == this) return;
    FBitmap.Assign(Other->FBitmap);
    FFrames->Assign(*Other->FFrames);
    FFrameCount = Other->FFrameCount;
    SetAnimate(Other->FAnimate);
    SetHeight(Other->FHeight);
    SetWidth(Other->FWidth);
    ShowFrame(0);
    FDelayTime = Other->FDelayTime;
    FDisposalMethod = Other->FDisposalMethod;
    RedrawOnChange = Other->RedrawOnChange;
    ChangeNotify = Other->ChangeNotify;
    FDrawDC = Other->FDrawDC;
    FDrawRect = Other->FDrawRect;
}

void TIpAnimatedGraphic::AssignTo(TGraphic& Dest) const {
    if (auto* Bitmap = dynamic_cast<TBitmap*>(&Dest)) return Bitmap->Assign(FBitmap);
    TGraphic::AssignTo(Dest);
}

void TIpAnimatedGraphic::SetAnimate(bool Value) {
    if (Value) {
        FAnimate = StartAnimation();
        return;
    }
    FTimer->SetEnabled(false);
    FAnimate = false;
}

void TIpAnimatedGraphic::ShowFrame(int Index) {
    if (Index < 0 || Index >= FFrameCount) return;
    FCurrentFrame = Index;
    FBitmap.SetSize(FWidth, FHeight);
    // Frames are put together row by row in the bitmap's own 32-bit pixels.
    FBitmap.SetPixelFormat(pf32bit);
    FChangedRect = QRect(0, 0, FWidth, FHeight);
    TIpAnimationFrame* Frame = FFrames->Items(Index);
    FDisposalMethod = Frame ? Frame->DisposalMethod : kDisposeUnspecified;
    bool DrawIt = true;
    DisposeFrame(FBitmap, Frame, DrawIt, FDisposalMethod);
    if (RedrawOnChange) {
        DrawAt(FDrawDC, FDrawRect);
        DrawAt(FTargetDC, FTargetRect);
    }
    if (ChangeNotify) Changed();
    if (OnFrameShown) OnFrameShown(this, Index, *FFrames);
}

void TIpAnimatedGraphic::DisposeFrame(TBitmap& Target, TIpAnimationFrame* Frame, bool& Draw,
                                      uint8_t Method) {
    if (!Frame || !Draw || Target.Empty()) return;
    bool Keyed = Frame->Transparent != 0;
    QRect Changed;
    if (Method == kDisposeBackground) {
        Changed = FillFrameArea(Target, *Frame, BackgroundColor);
        Keyed = false;
    } else if (Method == kDisposePrevious && FFrameCount >= 2) {
        for (int I = FCurrentFrame - 1; I >= 0; --I) {
            const TIpAnimationFrame* Earlier = FFrames->Items(I);
            if (Earlier && Earlier->DisposalMethod == kDisposeNone) {
                Changed = PutFrame(Target, *Earlier, false);
                break;
            }
        }
    }
    SetChangedRect(Changed | PutFrame(Target, *Frame, Keyed));
}

void TIpAnimatedGraphic::ClearFrames() {
    FFrameCount = 0;
    FCurrentFrame = 0;
    SetAnimate(false);
    ReleaseFrames();
}

unsigned TIpAnimatedGraphic::FrameInterval(int Delay) {
    return unsigned(std::clamp<int64_t>(int64_t(Delay) * 10, kMinFrameInterval, INT32_MAX));
}

unsigned TIpAnimatedGraphic::StepInterval(int Delay, const QRect& Changed) {
    const int64_t ForPixels = int64_t(Changed.width()) * Changed.height() / kComposedPixelsPerMs;
    return unsigned(std::clamp<int64_t>(ForPixels, FrameInterval(Delay), INT32_MAX));
}

void TIpAnimatedGraphic::TimerTick() {
    if (FFrameCount < 1) {
        FTimer->SetInterval(kIdleInterval);
        FTimer->SetEnabled(true);
        return;
    }
    FTimer->SetEnabled(false);
    int Next = FCurrentFrame + 1 >= FFrameCount ? 0 : FCurrentFrame + 1;
    bool CanChange = true;
    if (OnFrameChange) OnFrameChange(this, FCurrentFrame, Next, *FFrames, CanChange);
    if (CanChange) ShowFrame(Next);
    const TIpAnimationFrame* Current = FFrames->Items(FCurrentFrame);
    FTimer->SetInterval(StepInterval(Current ? Current->Delay : 0, FChangedRect));
    FTimer->SetEnabled(true);
}

bool TIpAnimatedGraphic::StartAnimation() {
    FTimer->SetEnabled(false);
    if (FFrameCount < 2) return false;
    // Whatever was put together before the start (a whole screen, as a picture is read) was paid
    // for once; only the pixels of the steps to come bound their own intervals.
    const TIpAnimationFrame* First = FFrames->Items(0);
    FTimer->SetInterval(FDelayTime > 1 ? FrameInterval(First ? First->Delay : 0)
                                       : kFirstStepInterval);
    FTimer->SetEnabled(true);
    return true;
}
