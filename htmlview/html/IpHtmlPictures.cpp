// Pictures: asking the document's image event for them, the default picture for those nobody
// gives, and the nodes that show them (IMG, and BODY with its background).
#include <algorithm>

#include "htmlview/anim/IpAnim.h"
#include "htmlview/html/IpHtml.h"
#include "htmlview/html/IpHtmlBevel.h"
#include "htmlview/html/Limits.h"
#include "netlib/base/IpBase.h"
#include "netlib/base/IpUtils.h"
#include "platform/gdi/Graphics.h"

namespace {

int32_t Clamp(int64_t Value) {
    return int32_t(std::clamp<int64_t>(Value, 0, HtmlLimits::kMaxLayoutExtent));
}

int32_t Attribute(int32_t Value) {
    return std::clamp(Value, 0, HtmlLimits::kMaxPixels);
}

// The bitmap of the program's resources that stands for a picture that could not be had.
TIpHtmlPictureRef MakeDefaultPicture() {
    TBitmap Bitmap;
    Bitmap.LoadFromResourceName("DEFAULTIMAGE");
    auto Picture = std::make_shared<TPicture>();
    Picture->SetGraphic(&Bitmap);
    return Picture;
}

TIpAnimatedGraphic* AnimationOf(const TIpHtmlPictureRef& Picture) {
    return Picture ? dynamic_cast<TIpAnimatedGraphic*>(Picture->Graphic()) : nullptr;
}

}  // namespace

// --- the document's part ---

void TIpHtml::CheckPicture(const TIpHtmlPictureRef& Picture) {
    if (Picture && !Picture->Graphic())
        throw EIpHtmlException("Picture object contains no graphic object");
}

void TIpHtml::GetImage(TIpHtmlNode* Sender, const std::string& URL, TIpHtmlPictureRef& Picture) {
    if (!OnGetImage) throw EIpHtmlException("No OnGetImage event handler assigned");
    OnGetImage(Sender, URL, Picture);
    CheckPicture(Picture);
}

const TIpHtmlPictureRef& TIpHtml::DefaultPicture() {
    if (!FDefaultPicture) FDefaultPicture = MakeDefaultPicture();
    return FDefaultPicture;
}

// A picture tells of a new frame through its change event; the handler reaches the document
// through a weak link, since the picture may be kept (by whoever gave it) after the document
// is gone.
void TIpHtml::AddAnimatedImage(TIpHtmlNodeIMG* Image) {
    if (std::find(FAnimatedImages.begin(), FAnimatedImages.end(), Image) == FAnimatedImages.end())
        FAnimatedImages.push_back(Image);
    TPicture* Picture = Image->Picture().get();
    Picture->OnChange = [Self = std::weak_ptr<TIpHtml*>(FSelf)](TPicture* Changed) {
        if (const auto Doc = Self.lock()) (*Doc)->PictureChanged(Changed);
    };
}

void TIpHtml::RemoveAnimatedImage(TIpHtmlNodeIMG* Image) {
    Unregister(FAnimatedImages, Image);
}

void TIpHtml::PictureChanged(const TPicture* Picture) {
    for (TIpHtmlNodeIMG* Image : FAnimatedImages)
        if (Image->Picture().get() == Picture) Image->RepaintChangedPart();
}

// --- IMG ---

void TIpHtmlNodeIMG::LoadPicture() {
    if (Src.empty()) return;
    TIpHtml& Doc = *Owner();
    TIpHtmlPictureRef Picture;
    Doc.GetImage(this, BuildURL(Doc.BaseURL, Src), Picture);
    TakePicture(Picture);
}

void TIpHtmlNodeIMG::UnloadPicture() {
    Owner()->RemoveAnimatedImage(this);
    FPicture.reset();
}

void TIpHtmlNodeIMG::TakePicture(const TIpHtmlPictureRef& Picture) {
    UnloadPicture();
    FPicture = Picture ? Picture : Owner()->DefaultPicture();
    if (AnimationOf(FPicture)) Owner()->AddAnimatedImage(this);
}

void TIpHtmlNodeIMG::PictureArrived(const TIpHtmlPictureRef& Picture) {
    TIpHtml::CheckPicture(Picture);
    const TIpHtmlSize Before = InlineSize(-1);
    TakePicture(Picture);
    FSizeKnown = false;
    if (InlineSize(-1) == Before)
        Repaint();
    else
        ResetSize();
}

void TIpHtmlNodeIMG::ResetSize() {
    FSizeKnown = false;
    TIpHtmlNode::ResetSize();
}

int32_t TIpHtmlNodeIMG::PercentWidth(int32_t Available) const {
    return Clamp(RoundDiv(int64_t(Width.LengthValue()) * Available, 100) -
                 2 * int64_t(Attribute(HSpace)) - 2 * int64_t(Attribute(Border)));
}

// WIDTH and HEIGHT both given need no picture; otherwise the picture's size, each of them
// replaced by WIDTH or HEIGHT when given. Spacing and border come around it.
TIpHtmlSize TIpHtmlNodeIMG::InlineSize(int32_t Available) {
    const bool NoLoad = Available == -1;
    if (NoLoad) Available = 0;
    if (FSizeKnown && (Available == 0 || Available == FSizeWidth)) return FSize;
    const TIpHtmlLengthType WidthType = Width.LengthType();
    const bool HasHeight = Height.Value() != 0;
    const auto GivenWidth = [&] {
        return WidthType == TIpHtmlLengthType::hlPercent ? PercentWidth(Available)
                                                         : Attribute(Width.LengthValue());
    };
    int64_t W = 0, H = 0;
    if (WidthType != TIpHtmlLengthType::hlUndefined && HasHeight) {
        W = GivenWidth();
        H = Attribute(Height.Value());
    } else {
        if (!FPicture && !NoLoad) LoadPicture();
        if (FPicture) {
            const TIpHtmlPrintState& Print = Owner()->PrintState;
            W = Print.Printing ? Print.Scale(FPicture->Width()) : FPicture->Width();
            H = Print.Printing ? Print.Scale(FPicture->Height()) : FPicture->Height();
            if (WidthType != TIpHtmlLengthType::hlUndefined) W = GivenWidth();
            if (HasHeight) H = Attribute(Height.Value());
        }
    }
    const int64_t Frame = 2 * int64_t(Attribute(Border));
    FSize = {Clamp(W + 2 * int64_t(Attribute(HSpace)) + Frame),
             Clamp(H + 2 * int64_t(Attribute(VSpace)) + Frame)};
    FSizeWidth = Available;
    FSizeKnown = true;
    return FSize;
}

void TIpHtmlNodeIMG::InlineMinMaxWidth(int32_t& Min, int32_t& Max) {
    Min = Max = InlineSize(0).Width;
}

void TIpHtmlNodeIMG::ListMapRects(const TIpHtmlRectProc& Proc) {
    if (IsMap) Proc(Element()->WordRect);
}

// Inside the border and the spacing.
TIpHtmlRect TIpHtmlNodeIMG::PictureBox(const TIpHtmlRect& R) const {
    const int32_t Frame = Attribute(Border);
    return {R.Left + Frame + Attribute(HSpace), R.Top + Frame + Attribute(VSpace),
            R.Right - Frame - Attribute(HSpace), R.Bottom - Frame - Attribute(VSpace)};
}

TIpHtmlRect TIpHtmlNodeIMG::PageBox() const {
    const TIpHtmlRect& At = Element()->WordRect;
    return {At.Left, At.Top, At.Left + FSize.Width, At.Top + FSize.Height};
}

// Where the picture is stretched into its box, the changed pixels land between these edges
// (rounded outward); a large picture whose frames are small has their area drawn again, not
// itself.
void TIpHtmlNodeIMG::RepaintChangedPart() {
    const auto* Animation = AnimationOf(FPicture);
    const TIpHtmlRect Box = PictureBox(PageBox());
    if (!Animation || IsEmptyRect(Box)) return;
    const int64_t W = Animation->Width(), H = Animation->Height();
    const QRect& Part = Animation->ChangedRect();
    if (W <= 0 || H <= 0 || Part.isEmpty()) return;
    const int64_t BW = Box.Right - Box.Left, BH = Box.Bottom - Box.Top;
    const auto Edge = [](int32_t From, int64_t At, int64_t Span, int64_t Whole, bool Up) {
        return Clamp(From + (At * Span + (Up ? Whole - 1 : 0)) / Whole);
    };
    Owner()->InvalidatePageRect({Edge(Box.Left, Part.left(), BW, W, false),
                                 Edge(Box.Top, Part.top(), BH, H, false),
                                 Edge(Box.Left, int64_t(Part.right()) + 1, BW, W, true),
                                 Edge(Box.Top, int64_t(Part.bottom()) + 1, BH, H, true)});
}

// The default picture, when smaller than the box, is shown as it is inside a frame; any other
// picture fills the box.
void TIpHtmlNodeIMG::PaintInline(TIpHtmlNodeBlock& Block) {
    TIpHtml& Doc = *Owner();
    if (!FPicture || !FPicture->Graphic()) LoadPicture();
    const TIpHtmlRect& At = Element()->WordRect;
    Doc.AddDrawRect(At, Element(), &Block);
    TIpHtmlRect Box;
    if (!Doc.PageRectToScreen(PageBox(), Box)) return;
    PaintBevel(Doc.Target(), Box, Attribute(Border), {});
    Box = PictureBox(Box);
    FPictureRect = Box;
    if (!FPicture || !FPicture->Graphic() || IsEmptyRect(Box)) return;
    // An animation's frame is drawn once the page is painted; it draws the frames that follow
    // as they come (the image repaints).
    if (TIpAnimatedGraphic* Animation = AnimationOf(FPicture)) {
        if (Animation->FrameCount() > 1) {
            if (!Animation->Animate()) Animation->SetAnimate(true);
            Doc.QueueGifFrame(*Animation, Box);
        } else {
            Doc.Target().DrawPicture(Box, Animation->Bitmap());
        }
        return;
    }
    // A picture shows transparent where it says so itself (a PNG's transparent colour). Made
    // transparent here, a bitmap would lose every pixel of its bottom-left pixel's colour.
    TGraphic& Graphic = *FPicture->Graphic();
    if (FPicture == Doc.DefaultPicture() && Graphic.Width() < Box.Right - Box.Left &&
        Graphic.Height() < Box.Bottom - Box.Top) {
        Doc.Target().FrameRect(Box, FProps->FontColor());
        Doc.Target().DrawPicture({Box.Left + 1, Box.Top + 1, Box.Left + 1 + Graphic.Width(),
                                  Box.Top + 1 + Graphic.Height()},
                                 Graphic);
        return;
    }
    Doc.Target().DrawPicture(Box, Graphic);
}

// --- BODY ---

void TIpHtmlNodeBODY::PictureArrived(const TIpHtmlPictureRef& Picture) {
    TIpHtml::CheckPicture(Picture);
    FBackgroundPicture = Picture;
    Repaint();
}

// White, or the page's colour; a background picture tiled from the page's origin over that.
void TIpHtmlNodeBODY::PaintBackground() {
    TIpHtml& Doc = *Owner();
    TIpHtmlCanvas& Canvas = Doc.Target();
    const TIpHtmlRect& Area = Doc.PaintArea();
    if (Doc.PrintState.Printing) {
        Canvas.FillRect(Area, 0xFFFFFF);
        return;
    }
    if (!FBackground.empty() && !FBackgroundPicture && !FBackgroundAsked) {
        FBackgroundAsked = true;
        TIpHtmlPictureRef Picture;
        Doc.GetImage(this, BuildURL(Doc.BaseURL, FBackground), Picture);
        FBackgroundPicture = Picture;
    }
    const bool Tiled = FBackgroundPicture && FBackgroundPicture->Graphic();
    if (!Tiled) Canvas.FillRect(Area, 0xFFFFFF);
    if (FBgColor != kHtmlNoColor) Canvas.FillRect(Area, FBgColor);
    if (Tiled) Canvas.TilePicture(Area, *FBackgroundPicture->Graphic(), Doc.PagePtToScreen({0, 0}));
}

void TIpHtmlNodeBODY::PaintBlock(TIpHtmlProps& Props) {
    PaintBackground();
    TIpHtmlNodeBlock::PaintBlock(Props);
}
