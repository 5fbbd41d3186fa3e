#pragma once
// What the telnet window's tests look at: its two states, the terminal's text, and a click on
// one of its controls.
#include <string>

#include "app/ui/TelnetFrm.h"
#include "terminal/IpTermControl.h"
#include "terminal/IpVT100.h"
#include "tests/support/GuiTestSupport.h"

namespace TelnetChecks {

// Connected to Address: the caption says so, and only Disconnect is enabled.
inline bool ShowsConnected(TTelnetForm* Form, const std::string& Address) {
    return Form->Caption() == "Telnet : Verbunden zu " + Address && !Form->BtnConnect->Enabled() &&
           Form->BtnDisconnect->Enabled();
}

// Not connected: the idle caption, and only Connect is enabled.
inline bool ShowsIdle(TTelnetForm* Form) {
    return Form->Caption() == "Orvalin Kestro Telnet" && Form->BtnConnect->Enabled() &&
           !Form->BtnDisconnect->Enabled();
}

// The terminal's rows, trailing blanks cut, one line each.
inline std::string TerminalText(TTelnetForm* Form) {
    TIpTerminalBuffer& B = Form->IpVT100Emulator1->Buffer();
    std::string Text;
    for (int Row = 1; Row <= B.RowCount(); ++Row) {
        std::string Line;
        for (int Col = 1; Col <= B.ColCount(); ++Col) Line += char(B.CharAt(Row, Col));
        Line.erase(Line.find_last_not_of(' ') + 1);
        Text += Line + "\n";
    }
    return Text;
}

// A left click on the middle of Control, which lies on the window Top.
inline void ClickMiddle(HWND Top, TControl* Control) {
    const TPoint At = Control->ClientToScreen({Control->Width() / 2, Control->Height() / 2});
    GuiTest::MouseClick(Top, POINT{At.X, At.Y});
    GuiTest::Drain();
}

}  // namespace TelnetChecks
