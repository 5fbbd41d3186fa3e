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
    ClearFrames();
    for (TGifFrame& From : Picture.Frames) {
        auto Frame = std::make_shared<TIpAnimationFrame>();
        Frame->Bitmap().SetImage(From.Image);
        Frame->Left = From.Left;
        Frame->Top = From.Top;
        Frame->Delay = From.Delay;
        Frame->DisposalMethod = From.Disposal;
        Frame->Transparent = From.Transparent ? 1 : 0;
        Frame->TransparentColor =
            TColor(RGB(qRed(From.TransparentColor), qGreen(From.TransparentColor),
                       qBlue(From.TransparentColor)));
        Frames().Add(std::move(Frame));
    }
    FData = std::move(Data);
    FComposed = -1;
    BackgroundColor = ColorOf(Picture.BackgroundKey);
    FBackgroundShows = BackgroundShows(Picture);
    KeyBackground();
    SetFrameCount(Frames().Count());
    SetDelayTime(kOwnFirstDelay);
    SetWidth(Picture.Width);
    SetHeight(Picture.Height);
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

void TIpGifImage::DisposeFrame(TBitmap& Target, TIpAnimationFrame* Frame, bool& Draw, uint8_t) {
    if (!Frame || !Draw) return;
    QImage Image = Target.Image();
    if (Image.isNull()) return;
    const int Index = CurrentFrameIndex();
    if (FComposed >= 0 && Index == FComposed + 1) {
        Step(Image, Index);
    } else {
        Image.fill(RgbOf(BackgroundColor));
        FBeforeFrame = QImage();
        for (int I = 0; I <= Index; ++I) Step(Image, I);
    }
    FComposed = Index;
    Target.SetImage(Image);
}

void TIpGifImage::Step(QImage& Image, int Index) {
    if (const TIpAnimationFrame* Previous = Index > 0 ? Frames().Items(Index - 1) : nullptr) {
        if (Previous->DisposalMethod == kDisposeBackground)
            FillFrameArea(Image, *Previous, BackgroundColor);
        else if (Previous->DisposalMethod == kDisposePrevious && !FBeforeFrame.isNull())
            Image = FBeforeFrame;
    }
    const TIpAnimationFrame* Frame = Frames().Items(Index);
    if (!Frame) return;
    FBeforeFrame = Frame->DisposalMethod == kDisposePrevious ? Image.copy() : QImage();
    PutFrame(Image, *Frame, Frame->Transparent != 0);
}
