// The edit control with buttons: its window style, where the buttons and the inner edit go, its
// height, and the flat and "dream" frames.
#include "components/dcedit/DCEdit.h"
#include "platform/controls/Edit.h"
#include "platform/gdi/Gdi.h"

// ---- window and places ------------------------------------------------------------------------

void TCustomDCEdit::CreateParams(TCreateParams& Params) {
    TCustomControl::CreateParams(Params);
    Params.Style |= WS_CLIPCHILDREN;
    const bool PlainFrame = FBorderStyle == bsSingle && !FrameNeeded();
    if (PlainFrame && FCtl3D)
        Params.ExStyle |= WS_EX_CLIENTEDGE;
    else if (PlainFrame)
        Params.Style |= WS_BORDER;
    else
        Params.ExStyle &= ~WS_EX_CLIENTEDGE;
}

void TCustomDCEdit::CreateWnd() {
    TCustomControl::CreateWnd();
    RestoreText();
    LayoutButtons();
}

void TCustomDCEdit::DestroyWnd() {
    FText = GetEditText();
    CloseUp(false);
    TCustomControl::DestroyWnd();
}

void TCustomDCEdit::AlignControls(TControl*, TRect&) {
    // The control places its children itself (LayoutButtons).
}

bool TCustomDCEdit::SingleDreamStyle() const {
    return FDreamBorderStyle == dbsSunkenSingle || FDreamBorderStyle == dbsRaisedSingle;
}

int TCustomDCEdit::BorderInset() const {
    if (FUseDreamBorder && SingleDreamStyle()) return 2;
    return FrameNeeded() ? 1 : 0;
}

void TCustomDCEdit::LayoutButtons() {
    if (!HandleAllocated()) return;
    const int Inset = BorderInset();
    const TRect Client = ClientRect();
    const int ButtonHeight = Client.Bottom - 2 * Inset;
    int Right = Client.Right - Inset;
    int ButtonsWidth = 0;
    for (int I = FButtonCount - 1; I >= 0; --I) {
        TEditButton* Button = FButtons[I];
        if (!Button) continue;
        const int Width = FButtonParams[I] ? FButtonParams[I]->ActualWidth() : Button->Width();
        Right -= Width;
        Button->SetBounds(Right, Inset, Width, ButtonHeight);
        ButtonsWidth += Width;
    }
    if (FEdit) {
        const int Room = FrameNeeded() ? 4 : 0;
        const int Top = FrameNeeded() ? 3 : 1;
        FEdit->SetBounds(FrameNeeded() ? 2 : 0, Top, Client.Right - ButtonsWidth - Room,
                         Client.Bottom - Room - 1);
        if (FEditWnd) {
            RECT Format{1, Top, Client.Right - Room - 2, Client.Bottom - 2 - Room};
            ::SendMessage(FEditWnd, EM_SETRECTNP, 0, reinterpret_cast<LPARAM>(&Format));
        }
    }
    CloseUp(false);
}

void TCustomDCEdit::FitHeightToFont() {
    if (ComponentState().Contains(csLoading)) return;
    SetHeight(FFont.Metrics().tmHeight + GetSystemMetrics(SM_CYBORDER) * (FCtl3D || FFlat ? 8 : 6));
}

// ---- properties of the look -------------------------------------------------------------------

void TCustomDCEdit::SetBorderStyle(TFormBorderStyle Value) {
    Value = Value == bsNone ? bsNone : bsSingle;
    if (FBorderStyle == Value) return;
    FBorderStyle = Value;
    RecreateWnd();
}

void TCustomDCEdit::SetFlat(bool Value) {
    if (FFlat == Value) return;
    FFlat = Value;
    FDrawnFlatState = 2;
    FMouseOutside = !EditFocused();
    UpdateButtonLook();
    RecreateWnd();
}

void TCustomDCEdit::SetCtl3D(bool Value) {
    if (FCtl3D == Value) return;
    FCtl3D = Value;
    RecreateWnd();
}

void TCustomDCEdit::SetDreamBorderStyle(TDreamBorderStyle Value) {
    if (FDreamBorderStyle == Value) return;
    FDreamBorderStyle = Value;
    UpdateButtonLook();
    RecreateWnd();
}

void TCustomDCEdit::SetUseDreamBorder(bool Value) {
    if (FUseDreamBorder == Value) return;
    FUseDreamBorder = Value;
    UpdateButtonLook();
    RecreateWnd();
}

void TCustomDCEdit::SetLineColor(TColor Value) {
    if (FLineColor == Value) return;
    FLineColor = Value;
    if (FUseDreamBorder && (FDreamBorderStyle == dbsLine || FDreamBorderStyle == dbsLineBorder))
        Invalidate();
}

// ---- the frame --------------------------------------------------------------------------------

int TCustomDCEdit::FlatState() {
    return !FMouseOutside || EditFocused() ? 1 : 0;
}

TColor TCustomDCEdit::DarkColor() const {
    const bool Raised = FUseDreamBorder && (FDreamBorderStyle == dbsRaisedBorder ||
                                            FDreamBorderStyle == dbsRaisedLine);
    return Raised ? clBtnHighlight : clBtnShadow;
}

TColor TCustomDCEdit::LightColor() const {
    return DarkColor() == clBtnHighlight ? clBtnShadow : clBtnHighlight;
}

void TCustomDCEdit::RedrawFlatState() {
    if (!FrameNeeded() || !HandleAllocated() || FlatState() == FDrawnFlatState) return;
    UpdateButtonLook();
    Invalidate();
}

void TCustomDCEdit::Paint() {
    TCanvas& C = *Canvas();
    C.Brush().SetColor(FColor);
    C.FillRect(ClientRect());
    if (FrameNeeded()) PaintFrame();
    FDrawnFlatState = FlatState();
}

void TCustomDCEdit::PaintFrame() {
    TCanvas& C = *Canvas();
    const int W = Width();
    const int H = Height();
    const auto Line = [&](int X1, int Y1, int X2, int Y2, TColor Color) {
        C.Pen().SetColor(Color);
        C.MoveTo(X1, Y1);
        C.LineTo(X2, Y2);
    };
    C.Brush().SetColor(clBtnFace);
    C.FrameRect(TRect{0, 0, W - 1, H - 1});
    C.FrameRect(TRect{1, 1, W, H});
    C.SetPixel(0, H - 1, clBtnFace);
    C.SetPixel(W - 1, 0, clBtnFace);
    if (FFlat && FlatState() == 0) return;
    const TDreamBorderStyle Style = FUseDreamBorder ? FDreamBorderStyle : dbsSunkenBorder;
    switch (Style) {
        case dbsSunkenLine:
        case dbsRaisedLine:
            Line(0, H - 2, W, H - 2, DarkColor());
            Line(0, H - 1, W, H - 1, LightColor());
            break;
        case dbsLine:
            Line(0, H - 1, W, H - 1, FLineColor);
            break;
        case dbsLineBorder:
            C.Brush().SetColor(FLineColor);
            C.FrameRect(TRect{0, 0, W, H});
            break;
        case dbsNone:
            break;
        case dbsSunkenSingle:
        case dbsRaisedSingle: {
            RECT Edge{0, 0, W, H};
            DrawEdge(C.Handle(), &Edge, Style == dbsSunkenSingle ? EDGE_SUNKEN : EDGE_RAISED,
                     BF_RECT);
            break;
        }
        default:
            Line(0, H - 1, 0, 0, DarkColor());
            Line(0, 0, W - 1, 0, DarkColor());
            Line(W - 1, 0, W - 1, H - 1, LightColor());
            Line(W - 1, H - 1, -1, H - 1, LightColor());
            break;
    }
}

// What the buttons are filled with under their glyphs: the edit's colour while a flat edit is
// inactive, else button face.
void TCustomDCEdit::UpdateButtonLook() {
    const bool Framed = FrameNeeded();
    const bool Quiet = FFlat && FlatState() == 0 && !(FUseDreamBorder && SingleDreamStyle());
    for (TEditButton* Button : FButtons) {
        if (!Button) continue;
        if (Button->Flat() != Framed) Button->SetFlat(Framed);
        if (Button->Transparent() == Framed) Button->SetTransparent(!Framed);
        const TColor Fill = Quiet ? FColor : clBtnFace;
        if (Button->Color() != Fill) Button->SetColor(Fill);
    }
}

void TCustomDCEdit::PaintButtonEdges(TEditButton& Button) {
    TCanvas& C = *Button.Canvas();
    const int W = Button.Width();
    const int H = Button.Height();
    const int CW = Button.ClientWidth();
    const auto Lines = [&](TColor Color, std::initializer_list<TPoint> Points) {
        C.Pen().SetColor(Color);
        C.Polyline(std::vector<TPoint>(Points));
    };
    if (FFlat && FlatState() == 0) {
        if (FUseDreamBorder && SingleDreamStyle()) {
            C.Brush().SetColor(FColor);
            C.FrameRect(TRect{0, 0, W, H});
            Lines(clBtnHighlight, {{1, 0}, {1, H}});
        } else {
            Lines(clBtnFace, {{0, 0}, {W - 1, 0}, {W - 1, H - 1}, {-1, H - 1}});
        }
        return;
    }
    Lines(clBtnFace, {{0, 0}, {0, H - 1}});
    Lines(clBtnFace, {{0, 0}, {CW, 0}, {CW, 2}});
    Lines(clBtnHighlight, {{1, 1}, {CW - 2, 1}});
    Lines(clBtnHighlight, {{1, 1}, {1, H - 2}});
    if (FFlat || (FUseDreamBorder && !SingleDreamStyle())) {
        if (FUseDreamBorder &&
            (FDreamBorderStyle == dbsSunkenLine || FDreamBorderStyle == dbsRaisedLine))
            Lines(DarkColor(), {{0, H - 1}, {W, H - 1}});
    } else {
        Lines(clBlack, {{CW - 1, 0}, {CW - 1, 1}});
    }
}
