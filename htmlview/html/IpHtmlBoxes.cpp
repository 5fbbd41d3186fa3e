// The small boxes: list bullets, horizontal rules and the room form controls take. Each is one
// object element of its block and answers for its size and its painting.
#include <algorithm>

#include "htmlview/html/IpHtml.h"
#include "htmlview/html/IpHtmlEntities.h"
#include "htmlview/html/Limits.h"
#include "netlib/base/IpUtils.h"
#include "platform/gdi/Graphics.h"

namespace {

int32_t Percent(int32_t Value, int32_t Of) {
    return int32_t(
        std::clamp<int64_t>(RoundDiv(int64_t(Value) * Of, 100), 0, HtmlLimits::kMaxLayoutExtent));
}

}  // namespace

void TIpHtmlNodeAlignInline::AssignProps(TIpHtmlProps& Props) {
    FProps->Assign(Props);
    TIpHtmlNodeMulti::AssignProps(*FProps);
}

// --- list items ---

TIpHtmlNodeLI::TIpHtmlNodeLI(TIpHtmlNode* Parent)
    : TIpHtmlNodeAlignInline(Parent), FNumberWord(Owner()->NewElement(TElementType::Word, this)) {
    SetAlign(TIpHtmlImageAlign::hiaBottom);
    FNumberWord->Props = FProps.get();
}

void TIpHtmlNodeLI::AssignProps(TIpHtmlProps& Props) {
    FProps->Assign(Props);
    TIpHtmlNodeMulti::AssignProps(*FProps);
}

int32_t TIpHtmlNodeLI::BulletSize(int32_t Size) const {
    const TIpHtmlPrintState& Print = Owner()->PrintState;
    return Print.Printing ? Print.Scale(Size) : Size;
}

TIpHtmlSize TIpHtmlNodeLI::InlineSize(int32_t) {
    return {BulletSize(8), BulletSize(8)};
}

void TIpHtmlNodeLI::InlineMinMaxWidth(int32_t& Min, int32_t& Max) {
    Min = Max = BulletSize(8);
}

// The figure is drawn in the text colour: a disc filled, a square and a circle as outlines.
void TIpHtmlNodeLI::PaintInline(TIpHtmlNodeBlock&) {
    TIpHtml& Doc = *Owner();
    TIpHtmlRect Screen;
    if (!Doc.PageRectToScreen(Element()->WordRect, Screen)) return;
    const int32_t Size = BulletSize(7);
    const TIpHtmlRect Figure{Screen.Left, Screen.Top, Screen.Left + Size, Screen.Top + Size};
    const TIpHtmlColor Color = FProps->FontColor();
    switch (ListType) {
        case TIpHtmlULType::ulDisc:
            Doc.Target().Ellipse(Figure, Color, Color);
            break;
        case TIpHtmlULType::ulSquare:
            Doc.Target().Rectangle(Figure, Color, kHtmlNoColor);
            break;
        case TIpHtmlULType::ulCircle:
            Doc.Target().Ellipse(Figure, Color, kHtmlNoColor);
            break;
    }
}

// --- horizontal rules ---

void TIpHtmlNodeHR::ResetSize() {
    FSizeKnown = false;
    TIpHtmlNode::ResetSize();
}

TIpHtmlSize TIpHtmlNodeHR::InlineSize(int32_t Available) {
    if (FSizeKnown && (Available == 0 || Available == FSizeWidth)) return FSize;
    int32_t Wide = 0;
    switch (Width.LengthType()) {
        case TIpHtmlLengthType::hlAbsolute:
            Wide = Width.LengthValue();
            break;
        case TIpHtmlLengthType::hlPercent:
            Wide = Percent(Width.LengthValue(), Available);
            break;
        default:
            break;
    }
    FSize = {std::max(Wide, 0), std::max(Size.Value(), 0)};
    FSizeWidth = Available;
    FSizeKnown = true;
    return FSize;
}

void TIpHtmlNodeHR::InlineMinMaxWidth(int32_t& Min, int32_t& Max) {
    Min = Max =
        Width.LengthType() == TIpHtmlLengthType::hlAbsolute ? std::max(Width.LengthValue(), 0) : 0;
}

// A grey bar in an etched frame, or a bar of the rule's colour (black when it has none).
void TIpHtmlNodeHR::PaintInline(TIpHtmlNodeBlock&) {
    TIpHtml& Doc = *Owner();
    const TIpHtmlRect& At = Element()->WordRect;
    TIpHtmlRect R;
    if (!Doc.PageRectToScreen({At.Left, At.Top, At.Left + FSize.Width, At.Top + FSize.Height}, R))
        return;
    TIpHtmlCanvas& Canvas = Doc.Target();
    if (NoShade || Color != kHtmlNoColor) {
        Canvas.FillRect(R, Color == kHtmlNoColor ? 0x000000 : Color);
        return;
    }
    Canvas.FillRect(R, 0x808080);
    const TIpHtmlPoint Start{R.Left - 1, R.Bottom};
    Canvas.Polyline({Start, {R.Left - 1, R.Top - 1}, {R.Right, R.Top - 1}}, 0xFFFFFF);
    Canvas.Polyline({{R.Right, R.Top - 1}, {R.Right, R.Bottom}, Start}, 0x000000);
}

// --- form controls ---

TIpHtmlSize TIpHtmlNodeControl::InlineSize(int32_t) {
    const TIpHtmlSize Size = ControlSize();
    return {std::clamp(Size.Width, 0, HtmlLimits::kMaxLayoutExtent),
            std::clamp(Size.Height, 0, HtmlLimits::kMaxLayoutExtent)};
}

void TIpHtmlNodeControl::InlineMinMaxWidth(int32_t& Min, int32_t& Max) {
    Min = Max = InlineSize(0).Width;
}

TIpHtmlSize TIpHtmlNodeControl::MeasureText(const std::string& Text) {
    return Owner()->Fonts().WordSize(*FProps->PropA(), Text);
}

namespace {

// A button is its caption with room around it.
TIpHtmlSize ButtonSize(TIpHtmlSize Caption) {
    return {Caption.Width + 40, Caption.Height + 10};
}

int32_t Times(int32_t A, int32_t B) {
    return int32_t(std::clamp<int64_t>(int64_t(A) * B, 0, HtmlLimits::kMaxLayoutExtent));
}

}  // namespace

TIpHtmlSize TIpHtmlNodeINPUT::ControlSize() {
    using enum TIpHtmlInputType;
    switch (InputType) {
        case hitText:
        case hitPassword: {
            const TIpHtmlSize Zero = MeasureText("0");
            return {Times(Zero.Width, Size > 0 ? Size : 20), MeasureText("Wy").Height + 8};
        }
        case hitCheckbox:
        case hitRadio:
            return {13, 13};
        case hitSubmit:
            return ButtonSize(MeasureText(Value.empty() ? "Submit" : Value));
        case hitReset:
            return ButtonSize(MeasureText(Value.empty() ? "Reset" : Value));
        case hitButton:
            return ButtonSize(MeasureText(Value));
        case hitFile:
            return {200, MeasureText("Wy").Height + 12};
        case hitImage: {
            const TIpHtmlPictureRef& Shown = ButtonPicture();
            return {Shown->Width() + 4, Shown->Height() + 4};
        }
        case hitHidden:
            return {};
    }
    return {};
}

const TIpHtmlPictureRef& TIpHtmlNodeINPUT::ButtonPicture() {
    if (!FPicture && !Src.empty()) {
        Owner()->GetImage(this, BuildURL(Owner()->BaseURL, Src), FPicture);
        if (!FPicture) FPicture = Owner()->DefaultPicture();
    }
    return FPicture ? FPicture : Owner()->DefaultPicture();
}

TIpHtmlSize TIpHtmlNodeBUTTON::ControlSize() {
    std::string Caption = Value;
    if (Caption.empty() && ButtonType == TIpHtmlButtonType::hbtSubmit) Caption = "Submit";
    if (Caption.empty() && ButtonType == TIpHtmlButtonType::hbtReset) Caption = "Reset";
    return ButtonSize(MeasureText(Caption));
}

// As wide as the widest option with room for the button; as high as Size items.
TIpHtmlSize TIpHtmlNodeSELECT::ControlSize() {
    int32_t Widest = 50;
    for (const TOption& Option : Options())
        Widest = std::max(Widest, MeasureText(Option.Text).Width);
    const int32_t ItemHeight = MeasureText("Wy").Height;
    return {Widest + 40, Times(ItemHeight + 4, std::max(Size, 1))};
}

TIpHtmlSize TIpHtmlNodeTEXTAREA::ControlSize() {
    return {Times(MeasureText("0").Width, Cols), Times(MeasureText("Wy").Height, Rows)};
}

// The frame inside comes with the viewer panel; the box takes the size the attributes give (a
// percentage of the width left on the line; a height in percent has nothing to be taken of).
TIpHtmlSize TIpHtmlNodeIFRAME::InlineSize(int32_t Available) {
    const auto Absolute = [](const TIpHtmlLength& L) {
        return L.LengthType() == TIpHtmlLengthType::hlAbsolute ? std::max(L.LengthValue(), 0) : 0;
    };
    const int32_t Wide = Width.LengthType() == TIpHtmlLengthType::hlPercent
                             ? Percent(Width.LengthValue(), Available)
                             : Absolute(Width);
    return {Wide, Absolute(Height)};
}
