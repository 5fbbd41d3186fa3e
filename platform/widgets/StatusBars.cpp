#include "platform/widgets/StatusBars.h"

#include <algorithm>
#include <vector>

#include "platform/controls/Limits.h"
#include "platform/controls/OwnerDraw.h"
#include "platform/controls/StatusBar.h"
#include "platform/widgets/Forms.h"

namespace {

// The window aligns a text by the tabs before it.
const char* const kAlignPrefix[] = {"", "\t\t", "\t"};  // taLeftJustify, taRightJustify, taCenter
const UINT kBevelType[] = {SBT_NOBORDERS, 0, SBT_POPOUT};  // pbNone, pbLowered, pbRaised

}  // namespace

// ---- panels ---------------------------------------------------------------------------------

TStatusPanel::TStatusPanel(TCollection* Collection) : TCollectionItem(Collection) {}

void TStatusPanel::SetText(const std::string& Value) {
    if (FText == Value) return;
    FText = Value;
    Changed(false);
}

void TStatusPanel::SetWidth(int Value) {
    Value = std::max(Value, 0);
    if (FWidth == Value) return;
    FWidth = Value;
    Changed(true);
}

void TStatusPanel::SetAlignment(TAlignment Value) {
    if (FAlignment == Value) return;
    FAlignment = Value;
    Changed(false);
}

void TStatusPanel::SetBevel(TStatusPanelBevel Value) {
    if (FBevel == Value) return;
    FBevel = Value;
    Changed(false);
}

void TStatusPanel::SetStyle(TStatusPanelStyle Value) {
    if (FStyle == Value) return;
    FStyle = Value;
    Changed(false);
}

void TStatusPanel::Assign(const TPersistent* Source) {
    const auto* Other = dynamic_cast<const TStatusPanel*>(Source);
    if (!Other) {
        TCollectionItem::Assign(Source);
        return;
    }
    FText = Other->FText;
    FWidth = Other->FWidth;
    FAlignment = Other->FAlignment;
    FBevel = Other->FBevel;
    FStyle = Other->FStyle;
    Changed(true);
}

std::string TStatusPanel::DisplayName() const {
    return FText.empty() ? TCollectionItem::DisplayName() : FText;
}

TStatusPanels::TStatusPanels(TCustomStatusBar* StatusBar)
    : TCollection(ItemClassOf<TStatusPanel>(), StatusBar), FStatusBar(StatusBar) {}

void TStatusPanels::Update(TCollectionItem* Item) {
    if (Item)
        FStatusBar->UpdatePanel(Item->Index());
    else
        FStatusBar->UpdatePanels();
}

// ---- the bar --------------------------------------------------------------------------------

TCustomStatusBar::TCustomStatusBar(TComponent* AOwner)
    : TWinControl(AOwner), FPanels(std::make_unique<TStatusPanels>(this)), FCanvas(this) {
    FControlStyle = TControlStyle{csCaptureMouse, csClickEvents, csDoubleClicks, csOpaque};
    FColor = clBtnFace;
    FParentColor = false;
    SetBounds(0, 0, 200, 19);
    SetAlign(alBottom);
}

TCustomStatusBar::~TCustomStatusBar() = default;

void TCustomStatusBar::CreateParams(TCreateParams& Params) {
    TWinControl::CreateParams(Params);
    CreateSubClass(Params, "msctls_statusbar32");
    // The alignment places the bar: the window keeps the place it is given.
    Params.Style |= CCS_NOPARENTALIGN | CCS_NORESIZE;
    const TCustomForm* Form = GetParentForm(this);
    const bool Sizable =
        !Form || Form->BorderStyle() == bsSizeable || Form->BorderStyle() == bsSizeToolWin;
    if (FSizeGrip && Sizable) Params.Style |= SBARS_SIZEGRIP;
}

void TCustomStatusBar::CreateWnd() {
    TWinControl::CreateWnd();
    UpdatePanels();
    UpdateSimpleText();
    if (FSimplePanel) ::SendMessage(Handle(), SB_SIMPLE, TRUE, 0);
}

void TCustomStatusBar::UpdatePanels() {
    if (!HandleAllocated()) return;
    const int Count = std::min(FPanels->Count(), ControlsLimits::kMaxStatusParts);
    std::vector<int> Rights;
    int Right = 0;
    for (int I = 0; I < Count; ++I) {
        Right = int(std::min<long long>(static_cast<long long>(Right) + FPanels->Items(I)->Width(),
                                        0x7FFFFFFF));
        Rights.push_back(Right);
    }
    if (Rights.empty())
        Rights.push_back(-1);
    else
        Rights.back() = -1;
    ::SendMessage(Handle(), SB_SETPARTS, WPARAM(Rights.size()),
                  reinterpret_cast<LPARAM>(Rights.data()));
    if (Count == 0) ::SendMessage(Handle(), SB_SETTEXT, 0, reinterpret_cast<LPARAM>(""));
    for (int I = 0; I < Count; ++I) UpdatePanel(I);
}

void TCustomStatusBar::UpdatePanel(int Index) {
    if (!HandleAllocated() || Index < 0 || Index >= ControlsLimits::kMaxStatusParts) return;
    const TStatusPanel* Panel = FPanels->Items(Index);
    const UINT Type = kBevelType[Panel->Bevel()];
    // An owner-drawn panel is known by its index when it is drawn: its item data is none.
    if (Panel->Style() == psOwnerDraw) {
        ::SendMessage(Handle(), SB_SETTEXT, WPARAM(UINT(Index) | Type | SBT_OWNERDRAW), 0);
        return;
    }
    const std::string Text = kAlignPrefix[Panel->Alignment()] + Panel->Text();
    ::SendMessage(Handle(), SB_SETTEXT, WPARAM(UINT(Index) | Type),
                  reinterpret_cast<LPARAM>(Text.c_str()));
}

void TCustomStatusBar::UpdateSimpleText() {
    if (HandleAllocated())
        ::SendMessage(Handle(), SB_SETTEXT, SB_SIMPLEID,
                      reinterpret_cast<LPARAM>(FSimpleText.c_str()));
}

void TCustomStatusBar::SetSimplePanel(bool Value) {
    if (FSimplePanel == Value) return;
    FSimplePanel = Value;
    if (HandleAllocated()) ::SendMessage(Handle(), SB_SIMPLE, Value ? TRUE : FALSE, 0);
}

void TCustomStatusBar::SetSimpleText(const std::string& Value) {
    if (FSimpleText == Value) return;
    FSimpleText = Value;
    UpdateSimpleText();
}

void TCustomStatusBar::SetSizeGrip(bool Value) {
    if (FSizeGrip == Value) return;
    FSizeGrip = Value;
    RecreateWnd();
}

void TCustomStatusBar::Dispatch(TMessage& Message) {
    if (Message.Msg == CN_DRAWITEM) {
        auto& Draw = *reinterpret_cast<DRAWITEMSTRUCT*>(Message.LParam);
        const int Index = int(Draw.itemID);
        if (Index >= 0 && Index < FPanels->Count()) {
            TItemCanvas::TLent Lent(FCanvas, Draw.hDC, Color());
            DrawPanel(FPanels->Items(Index), ToTRect(Draw.rcItem));
        }
        Message.Result = TRUE;
        return;
    }
    TWinControl::Dispatch(Message);
}

void TCustomStatusBar::DrawPanel(TStatusPanel* Panel, const TRect& Rect) {
    if (OnDrawPanel)
        OnDrawPanel(this, Panel, Rect);
    else
        FCanvas.FillRect(Rect);
}
