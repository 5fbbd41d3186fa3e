#include "htmlview/anim/IpGifImage.h"

#include <algorithm>

#include "platform/gdi/Gif.h"
#include "platform/gdi/Limits.h"

namespace {

// Registers the class with the picture framework for as long as the program runs.
struct TGifRegistration {
    TGifRegistration() {
        TPicture::RegisterFileFormat("gif", "GIF Image",
                                     [] { return std::make_unique<TIpGifImage>(); });
    }
    ~TGifRegistration() { TPicture::UnregisterFileFormat("gif"); }
};
const TGifRegistration kRegistration;

// The first frame shows for its own delay, as the following ones do.
constexpr int kOwnFirstDelay = 2;

TColor ColorOf(QRgb Rgb) {
    return TColor(RGB(qRed(Rgb), qGreen(Rgb), qBlue(Rgb)));
}

// Whether the screen's background ever shows: through a transparent pixel, where a frame was
// removed to the background, or where the first frame does not reach.
bool BackgroundShows(const TGifPicture& Picture) {
    const TGifFrame& First = Picture.Frames.front();
    if (First.Left > 0 || First.Top > 0 || First.Left + First.Image.width() < Picture.Width ||
        First.Top + First.Image.height() < Picture.Height)
        return true;
    return std::any_of(Picture.Frames.begin(), Picture.Frames.end(), [](const TGifFrame& F) {
        return F.Transparent || F.Disposal == kDisposeBackground;
    });
}

}  // namespace

// Referenced by the link options of the library, so the registration above is linked into every
// program that links it even when nothing names the class.
extern "C" const void* const KestroIpGifImageUnit = &kRegistration;

void TIpGifImage::LoadFromStream(TStream& Stream) {
    const int64_t Left = Stream.Size() - Stream.Position();
    if (Left > GdiLimits::kMaxGifBytes) throw EInvalidGraphic("GIF data is too large");
    std::vector<uint8_t> Data(size_t(std::max<int64_t>(Left, 0)));
    if (!Data.empty()) Stream.ReadBuffer(Data.data(), int64_t(Data.size()));
    TGifPicture Picture = DecodeGif(Data);
    if (Picture.Empty()) throw EInvalidGraphic("GIF image is not valid");
    const bool Shows = BackgroundShows(Picture);
    // Frames and screen are made before anything shown changes: one that cannot be had (beyond
    // an open pixel allowance, or the machine's memory) leaves the picture as it was.
    std::vector<std::shared_ptr<TIpAnimationFrame>> Loaded;
    for (TGifFrame& From : Picture.Frames) {
        auto Frame = std::make_shared<TIpAnimationFrame>();
        Frame->Bitmap().SetPixelFormat(pf32bit);
        Frame->Bitmap().SetImage(From.Image);
        From.Image = QImage();
        Frame->Left = From.Left;
        Frame->Top = From.Top;
        Frame->Delay = From.Delay;
        Frame->DisposalMethod = From.Disposal;
        Frame->Transparent = From.Transparent ? 1 : 0;
        Frame->TransparentColor =
            TColor(RGB(qRed(From.TransparentColor), qGreen(From.TransparentColor),
                       qBlue(From.TransparentColor)));
        Loaded.push_back(std::move(Frame));
    }
    SetSize(Picture.Width, Picture.Height);
    ClearFrames();
    for (std::shared_ptr<TIpAnimationFrame>& Frame : Loaded) Frames().Add(std::move(Frame));
    FData = std::move(Data);
    FComposed = -1;
    FBeforeFrame = QImage();
    BackgroundColor = ColorOf(Picture.BackgroundKey);
    FBackgroundShows = Shows;
    KeyBackground();
    SetFrameCount(Frames().Count());
    SetDelayTime(kOwnFirstDelay);
    ShowFrame(0);
}

void TIpGifImage::SaveToStream(TStream& Stream) {
    if (!FData.empty()) Stream.WriteBuffer(FData.data(), int64_t(FData.size()));
}

void TIpGifImage::Draw(TCanvas& Canvas, const TRect& R) {
    TIpAnimatedGraphic::Draw(Canvas, R);
    Canvas.StretchDraw(R, Bitmap());
}

void TIpGifImage::Assign(const TGraphic& Source) {
    if (const auto* Other = dynamic_cast<const TIpGifImage*>(&Source); Other && Other != this) {
        FData = Other->FData;
        FComposed = -1;
        BackgroundColor = Other->BackgroundColor;
        FBackgroundShows = Other->FBackgroundShows;
    }
    TIpAnimatedGraphic::Assign(Source);
    KeyBackground();
}

// The page shows through the background, as it does around a transparent PNG.
void TIpGifImage::KeyBackground() {
    Bitmap().SetTransparentMode(tmFixed);
    Bitmap().SetTransparentColor(BackgroundColor);
    Bitmap().SetTransparent(FBackgroundShows);
}

// Only what a step touches is put together: the area the last frame is removed from and the new
// frame's, so a step costs the frames' size, not the picture's. Starting again (the first frame
// after the last, or a jump) clears only what was drawn on since the background was whole.
void TIpGifImage::DisposeFrame(TBitmap& Target, TIpAnimationFrame* Frame, bool& Draw, uint8_t) {
    if (!Frame || !Draw || Target.Empty()) return;
    const int Index = CurrentFrameIndex();
    QRect Changed;
    if (FComposed >= 0 && Index == FComposed + 1) {
        Changed = Step(Target, Index);
    } else {
        Changed = Clear(Target);
        for (int I = 0; I <= Index; ++I) Changed |= Step(Target, I);
    }
    FComposed = Index;
    SetChangedRect(Changed);
}

QRect TIpGifImage::Clear(TBitmap& Target) {
    const QSize Size(Target.Width(), Target.Height());
    const QRect Area = FComposed < 0 || Size != FComposedOn ? QRect(QPoint(0, 0), Size) : FDrawn;
    FComposedOn = Size;
    FillArea(Target, Area, BackgroundColor);
    FDrawn = QRect();
    FBeforeFrame = QImage();
    return Area;
}

QRect TIpGifImage::Step(TBitmap& Target, int Index) {
    QRect Changed;
    if (const TIpAnimationFrame* Previous = Index > 0 ? Frames().Items(Index - 1) : nullptr) {
        if (Previous->DisposalMethod == kDisposeBackground) {
            Changed = FillFrameArea(Target, *Previous, BackgroundColor);
        } else if (Previous->DisposalMethod == kDisposePrevious && !FBeforeFrame.isNull()) {
            PutArea(Target, FBeforeFrame, FBeforeAt);
            Changed = QRect(FBeforeAt, FBeforeFrame.size());
        }
    }
    FBeforeFrame = QImage();
    const TIpAnimationFrame* Frame = Frames().Items(Index);
    if (!Frame) return Changed;
    const QRect Area = FrameArea(*Frame, QSize(Target.Width(), Target.Height()));
    if (Frame->DisposalMethod == kDisposePrevious) {
        FBeforeFrame = CopyArea(Target, Area);
        FBeforeAt = Area.topLeft();
    }
    PutFrame(Target, *Frame, Frame->Transparent != 0);
    FDrawn |= Area;
    return Changed | Area;
}
