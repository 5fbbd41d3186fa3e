#include <algorithm>

#include "platform/core/Input.h"
#include "platform/core/Screens.h"
#include "platform/widgets/Forms.h"

TScreen* Screen = nullptr;

namespace {

// Every cursor number with its identifier and the standard cursor it shows.
struct TCursorEntry {
    TCursor Cursor;
    const char* Name;
    std::uintptr_t Standard;
};
constexpr TCursorEntry kCursors[] = {
    {crDefault, "crDefault", IDC_ARROW},
    {crNone, "crNone", 0},
    {crArrow, "crArrow", IDC_ARROW},
    {crCross, "crCross", IDC_CROSS},
    {crIBeam, "crIBeam", IDC_IBEAM},
    {crSizeNESW, "crSizeNESW", IDC_SIZENESW},
    {crSizeNS, "crSizeNS", IDC_SIZENS},
    {crSizeNWSE, "crSizeNWSE", IDC_SIZENWSE},
    {crSizeWE, "crSizeWE", IDC_SIZEWE},
    {crUpArrow, "crUpArrow", IDC_UPARROW},
    {crHourGlass, "crHourGlass", IDC_WAIT},
    {crDrag, "crDrag", IDC_ARROW},
    {crNoDrop, "crNoDrop", IDC_NO},
    {crHSplit, "crHSplit", IDC_SIZEWE},
    {crVSplit, "crVSplit", IDC_SIZENS},
    {crMultiDrag, "crMultiDrag", IDC_ARROW},
    {crSQLWait, "crSQLWait", IDC_WAIT},
    {crNo, "crNo", IDC_NO},
    {crAppStart, "crAppStart", IDC_APPSTARTING},
    {crHelp, "crHelp", IDC_HELP},
    {crHandPoint, "crHandPoint", IDC_HAND},
    {crSizeAll, "crSizeAll", IDC_SIZEALL},
};

}  // namespace

const TIdentMap& CursorIdents() {
    static const TIdentMap Map{[](const std::string& Ident) -> std::optional<std::int64_t> {
                                   for (const TCursorEntry& E : kCursors)
                                       if (SameText(Ident, E.Name)) return E.Cursor;
                                   return std::nullopt;
                               },
                               [](std::int64_t Value) -> std::optional<std::string> {
                                   for (const TCursorEntry& E : kCursors)
                                       if (E.Cursor == Value) return std::string(E.Name);
                                   return std::nullopt;
                               }};
    return Map;
}

TScreen::TScreen() {
    for (const TCursorEntry& E : kCursors)
        if (E.Standard) FCursors.emplace_back(E.Cursor, LoadCursor(0, MAKEINTRESOURCE(E.Standard)));
    FHintFont.SetName("Tahoma");
    FHintFont.SetHeight(-11);
    FHintFont.SetColor(clInfoText);
    FMenuFont.SetName("Tahoma");
    FMenuFont.SetHeight(-11);
    FIconFont.SetName("Tahoma");
    FIconFont.SetHeight(-11);
}

TScreen::~TScreen() = default;

void TScreen::AddForm(TCustomForm* Form) {
    FForms.push_back(Form);
}

void TScreen::RemoveForm(TCustomForm* Form) {
    FForms.erase(std::remove(FForms.begin(), FForms.end(), Form), FForms.end());
    if (FActiveForm == Form) SetActiveForm(nullptr);
    if (FActiveControl && (FActiveControl == Form || Form->ContainsControl(FActiveControl)))
        FActiveControl = nullptr;
}

void TScreen::SetActiveForm(TCustomForm* Form) {
    if (FActiveForm == Form) return;
    FActiveForm = Form;
    // The active form first in the list, as the others are ordered by their last activation.
    if (Form) {
        FForms.erase(std::remove(FForms.begin(), FForms.end(), Form), FForms.end());
        FForms.insert(FForms.begin(), Form);
    }
    if (OnActiveFormChange) OnActiveFormChange(nullptr);
}

void TScreen::SetActiveControl(TWinControl* Control) {
    if (FActiveControl == Control) return;
    FActiveControl = Control;
    if (OnActiveControlChange) OnActiveControlChange(nullptr);
}

void TScreen::ControlDestroyed(TWinControl* Control) {
    if (FActiveControl == Control) FActiveControl = nullptr;
}

void TScreen::SetCursor(TCursor Value) {
    if (FCursor == Value) return;
    FCursor = Value;
    // The new shape shows at once over our windows, without waiting for the mouse to move.
    if (Value != crDefault) {
        ::SetCursor(Cursors(Value));
    } else {
        POINT P;
        GetCursorPos(&P);
        if (HWND Under = WindowFromPoint(P))
            ::SendMessage(Under, WM_SETCURSOR, Under,
                          MAKELPARAM(WORD(HTCLIENT), WORD(WM_MOUSEMOVE)));
    }
}

HCURSOR TScreen::Cursors(TCursor Index) const {
    for (const auto& [Cursor, Handle] : FCursors)
        if (Cursor == Index) return Handle;
    for (const auto& [Cursor, Handle] : FCursors)
        if (Cursor == crDefault) return Handle;
    return 0;
}

void TScreen::SetCursors(TCursor Index, HCURSOR Value) {
    for (auto& Entry : FCursors)
        if (Entry.first == Index) {
            Entry.second = Value;
            return;
        }
    FCursors.emplace_back(Index, Value);
}

int TScreen::Width() const {
    return GetSystemMetrics(SM_CXSCREEN);
}

int TScreen::Height() const {
    return GetSystemMetrics(SM_CYSCREEN);
}

TRect TScreen::WorkAreaRect() const {
    const RECT R = GetWorkAreaMetric();
    return TRect{R.left, R.top, R.right, R.bottom};
}
