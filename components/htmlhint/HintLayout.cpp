#include "components/htmlhint/HintLayout.h"

#include <algorithm>

#include "components/htmlhint/HtmlDraw.h"
#include "platform/core/Screens.h"

namespace {

THTMLDrawOptions OptionsOf(const THTMLHintSettings& Settings) {
    THTMLDrawOptions Options;
    Options.Images = Settings.Images;
    Options.Pictures = Settings.PictureContainer;
    Options.Cache = Settings.Cache;
    Options.URLColor = Settings.URLColor;
    Options.ShadowColor = Settings.ShadowColor;
    Options.ShadowOffset = Settings.ShadowOffset;
    Options.Ellipsis = Settings.Ellipsis;
    return Options;
}

RECT ScreenAt(TPoint Pos) {
    MONITORINFO Info;
    if (GetMonitorInfo(MonitorFromPoint(POINT{Pos.X, Pos.Y}, MONITOR_DEFAULTTONEAREST), &Info))
        return Info.rcMonitor;
    return RECT{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
}

}  // namespace

THintPlacement PlaceHTMLHint(TCanvas& Canvas, const std::string& Hint, TPoint Pos, int MaxWidth,
                             const THTMLHintSettings& Settings) {
    THTMLDrawOptions Options = OptionsOf(Settings);
    Options.CheckOnly = true;
    Options.ShadowColor = clGray;
    THTMLDrawResult Measured;
    HTMLDrawEx(Canvas, Hint, Rect(0, 0, MaxWidth - 16, 0), Options, Measured);

    THintPlacement Out;
    Out.Text = TSize{Measured.Width, Measured.Height};
    const int Width = Measured.Width + 2 * Settings.XMargin + 16;
    const int Height = Measured.Height + 2 * Settings.YMargin + 4;
    const RECT Screen = ScreenAt(Pos);
    // Past the right or bottom edge: moved back in, whole. A hint bigger than the screen keeps
    // its start on the screen.
    const int Left =
        std::max(std::min(int(Pos.X), int(Screen.right) - 2 - Width), int(Screen.left));
    const int Top =
        std::max(std::min(int(Pos.Y), int(Screen.bottom) - 2 - Height), int(Screen.top));
    Out.Window = Rect(Left, Top, Left + Width, Top + Height);
    return Out;
}

HRGN HTMLHintRegion(const THTMLHintSettings& Settings, int Width, int Height) {
    if (Settings.HintStyle != hsRounded) return 0;
    return CreateRoundRectRgn(0, 0, Width, Height, 16, 16);
}

void PaintHTMLHint(TCanvas& Canvas, const TRect& Client, const std::string& Hint, int TextHeight,
                   const THTMLHintSettings& Settings) {
    Canvas.Brush().SetStyle(bsSolid);
    Canvas.Brush().SetColor(Settings.HintColor);
    Canvas.FillRect(Client);
    const int W = Client.Width(), H = Client.Height();
    TPen& Pen = Canvas.Pen();
    if (Settings.HintStyle == hsRounded) {
        Pen.SetColor(clGray);
        Canvas.Brush().SetStyle(bsClear);
        Canvas.RoundRect(0, 0, W - 1, H - 1, 16, 16);
        Canvas.Brush().SetStyle(bsSolid);
    } else {
        Pen.SetColor(cl3DLight);
        Canvas.MoveTo(0, H - 2);
        Canvas.LineTo(0, 0);
        Canvas.LineTo(W - 1, 0);
        Pen.SetColor(cl3DDkShadow);
        Canvas.MoveTo(0, H - 1);
        Canvas.LineTo(W - 1, H - 1);
        Canvas.LineTo(W - 1, -1);
    }
    TRect Text;
    Text.Left = 4 + Settings.XMargin;
    Text.Top = (H - TextHeight) / 2 + Settings.YMargin;
    Text.Bottom = Text.Top + TextHeight + 8;
    Text.Right = Client.Right - 4;
    THTMLDrawResult Drawn;
    HTMLDrawEx(Canvas, Hint, Text, OptionsOf(Settings), Drawn);
}
