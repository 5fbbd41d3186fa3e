#include "platform/controls/ControlLook.h"

#include <QApplication>
#include <QPointer>
#include <QStyle>
#include <QStyleFactory>
#include <QWidget>
#include <array>
#include <iterator>

#include "platform/gdi/Gdi.h"

QColor QtColor(COLORREF Color) {
    return QColor(GetRValue(Color), GetGValue(Color), GetBValue(Color));
}

QColor SysQtColor(int Index) {
    return QtColor(GetSysColor(Index));
}

QColor ColourOr(COLORREF Colour, int SysColour) {
    return Colour == CLR_NONE || Colour == CLR_DEFAULT ? SysQtColor(SysColour) : QtColor(Colour);
}

QStyle* ClassicStyle() {
    static QPointer<QStyle> Style;
    if (!Style) {
        Style = QStyleFactory::create(QStringLiteral("Windows"));
        // Owned by the application: styles must not outlive it.
        if (Style) Style->setParent(qApp);
    }
    return Style;
}

QPalette ClassicPalette() {
    struct TRole {
        QPalette::ColorRole Role;
        int Color;
        int Disabled;
    };
    static constexpr TRole kRoles[] = {
        {QPalette::Window, COLOR_BTNFACE, COLOR_BTNFACE},
        {QPalette::WindowText, COLOR_WINDOWTEXT, COLOR_GRAYTEXT},
        {QPalette::Base, COLOR_WINDOW, COLOR_BTNFACE},
        {QPalette::AlternateBase, COLOR_WINDOW, COLOR_BTNFACE},
        {QPalette::Text, COLOR_WINDOWTEXT, COLOR_GRAYTEXT},
        {QPalette::Button, COLOR_BTNFACE, COLOR_BTNFACE},
        {QPalette::ButtonText, COLOR_BTNTEXT, COLOR_GRAYTEXT},
        {QPalette::Light, COLOR_BTNHIGHLIGHT, COLOR_BTNHIGHLIGHT},
        {QPalette::Midlight, COLOR_3DLIGHT, COLOR_3DLIGHT},
        {QPalette::Mid, COLOR_BTNSHADOW, COLOR_BTNSHADOW},
        {QPalette::Dark, COLOR_BTNSHADOW, COLOR_BTNSHADOW},
        {QPalette::Shadow, COLOR_3DDKSHADOW, COLOR_3DDKSHADOW},
        {QPalette::Highlight, COLOR_HIGHLIGHT, COLOR_HIGHLIGHT},
        {QPalette::HighlightedText, COLOR_HIGHLIGHTTEXT, COLOR_HIGHLIGHTTEXT},
        {QPalette::ToolTipBase, COLOR_INFOBK, COLOR_INFOBK},
        {QPalette::ToolTipText, COLOR_INFOTEXT, COLOR_INFOTEXT},
    };
    // Made again only when a system colour changed: every control made asks for it.
    constexpr size_t kCount = std::size(kRoles);
    static std::array<COLORREF, 2 * kCount> Made{};
    static QPalette Palette;
    static bool Have = false;
    std::array<COLORREF, 2 * kCount> Now;
    for (size_t I = 0; I < kCount; ++I) {
        Now[2 * I] = GetSysColor(kRoles[I].Color);
        Now[2 * I + 1] = GetSysColor(kRoles[I].Disabled);
    }
    if (Have && Now == Made) return Palette;
    QPalette Fresh;
    for (size_t I = 0; I < kCount; ++I) {
        const QPalette::ColorRole Role = kRoles[I].Role;
        Fresh.setColor(QPalette::Active, Role, QtColor(Now[2 * I]));
        Fresh.setColor(QPalette::Inactive, Role, QtColor(Now[2 * I]));
        Fresh.setColor(QPalette::Disabled, Role, QtColor(Now[2 * I + 1]));
    }
    Palette = Fresh;
    Made = Now;
    Have = true;
    return Palette;
}

void ApplyClassicLook(QWidget* Widget, DWORD WindowStyle) {
    if (!Widget) return;
    // Styles do not pass to children: a memo's or a list view's scroll bars get it too.
    if (QStyle* Style = ClassicStyle()) {
        Widget->setStyle(Style);
        for (QWidget* Child : Widget->findChildren<QWidget*>()) Child->setStyle(Style);
    }
    Widget->setPalette(ClassicPalette());
    Widget->setFont(QtFontOf(0));
    Widget->setEnabled(!(WindowStyle & WS_DISABLED));
}

TControlColours AskControlColours(HWND Control, UINT Msg, int DefaultText, int DefaultBackground) {
    TControlColours Colours{GetSysColor(DefaultText), GetSysColor(DefaultBackground)};
    const HWND Parent = GetParent(Control);
    if (!Parent) return Colours;
    const HDC DC = CreateCompatibleDC(0);
    SetTextColor(DC, Colours.Text);
    SetBkColor(DC, Colours.Background);
    const auto Brush = static_cast<HBRUSH>(
        SendMessage(Parent, Msg, static_cast<WPARAM>(DC), static_cast<LPARAM>(Control)));
    Colours.Text = GetTextColor(DC);
    LOGBRUSH Log;
    if (Brush != 0 && GetObject(Brush, sizeof Log, &Log) != 0 && Log.lbStyle == BS_SOLID)
        Colours.Background = Log.lbColor;
    DeleteDC(DC);
    return Colours;
}

void ApplyControlColours(QWidget* Widget, const TControlColours& Colours,
                         QPalette::ColorRole Background, QPalette::ColorRole Text,
                         bool BothStates) {
    if (!Widget) return;
    QPalette Palette = Widget->palette();
    for (const auto Group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled})
        if (Group != QPalette::Disabled || BothStates)
            Palette.setColor(Group, Background, QtColor(Colours.Background));
    for (const auto Group : {QPalette::Active, QPalette::Inactive})
        Palette.setColor(Group, Text, QtColor(Colours.Text));
    if (Palette != Widget->palette()) Widget->setPalette(Palette);
}

HFONT FontOrDefault(HFONT Font) {
    return Font ? Font : static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
}

RECT PaintFace(HWND Control, HDC DC, HFONT Font) {
    RECT Client;
    GetClientRect(Control, &Client);
    FillRect(DC, &Client, GetSysColorBrush(COLOR_BTNFACE));
    SelectObject(DC, FontOrDefault(Font));
    SetBkMode(DC, TRANSPARENT);
    SetTextColor(DC, GetSysColor(IsWindowEnabled(Control) ? COLOR_BTNTEXT : COLOR_GRAYTEXT));
    return Client;
}
