#include "components/shell/OvcURL.h"

#include "platform/core/Input.h"
#include "platform/shell/ShellExecute.h"
#include "platform/shell/Sound.h"

namespace {

constexpr unsigned kHoverIntervalMs = 100;
// The longest address handed to the desktop.
constexpr size_t kMaxURLLength = 1023;

}  // namespace

TOvcURL::TOvcURL(TComponent* AOwner) : TCustomLabel(AOwner) {
    // An empty caption shows the address, never the component's name.
    FControlStyle.Exclude(csSetCaption);
    FCursor = crHandPoint;
    Underline();
}

TOvcURL::~TOvcURL() = default;

void TOvcURL::Underline() {
    TFontStyles Style = FFont.Style();
    Style.insert(fsUnderline);
    FFont.SetStyle(Style);
}

void TOvcURL::Loaded() {
    TCustomLabel::Loaded();
    Underline();
    FNormalColor = clNone;
}

std::string TOvcURL::GetLabelText() {
    const std::string Text = GetText();
    return Text.empty() ? FURL : Text;
}

void TOvcURL::SetURL(const std::string& Value) {
    if (Value == FURL) return;
    FURL = Value;
    Perform(CM_TEXTCHANGED);
}

TColor TOvcURL::ColorOrFont(TColor Value) {
    return Value == clNone ? FFont.Color() : Value;
}

void TOvcURL::SetHighlightColor(TColor Value) {
    FHighlightColor = ColorOrFont(Value);
    FNormalColor = clNone;
}

void TOvcURL::SetVisitedColor(TColor Value) {
    FVisitedColor = ColorOrFont(Value);
    FNormalColor = clNone;
}

bool TOvcURL::Hovering() const {
    return FHoverTimer && FHoverTimer->Enabled();
}

void TOvcURL::MouseMove(TShiftState Shift, int X, int Y) {
    TCustomLabel::MouseMove(Shift, X, Y);
    if (Hovering()) return;
    if (FNormalColor == clNone) FNormalColor = FFont.Color();
    FFont.SetColor(FHighlightColor);
    if (!FHoverTimer) {
        FHoverTimer = std::make_unique<TTimer>(nullptr);
        FHoverTimer->SetInterval(kHoverIntervalMs);
        FHoverTimer->SetOnTimer([this](TObject*) { HoverTick(); });
    }
    FHoverTimer->SetEnabled(true);
}

void TOvcURL::HoverTick() {
    POINT Cursor;
    GetCursorPos(&Cursor);
    const TPoint P = ScreenToClient(TPoint{Cursor.x, Cursor.y});
    const TRect R = ClientRect();
    if (P.X >= R.Left && P.X < R.Right && P.Y >= R.Top && P.Y < R.Bottom) return;
    FHoverTimer->SetEnabled(false);
    if (FNormalColor != clNone) FFont.SetColor(FNormalColor);
    Repaint();
}

void TOvcURL::Click() {
    if (!FURL.empty()) {
        const std::intptr_t Result =
            ShellExecute(0, "open", FURL.substr(0, kMaxURLLength), "", "", SW_SHOWNORMAL);
        if (Result <= 32) MessageBeep(0);
    }
    TCustomLabel::Click();
    if (FUseVisitedColor) FNormalColor = FVisitedColor;
}
