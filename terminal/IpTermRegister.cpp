#include "terminal/IpTermRegister.h"

#include "platform/forms/ClassRegistry.h"
#include "platform/widgets/Register.h"
#include "terminal/IpTermControl.h"
#include "terminal/IpVT100.h"

namespace {

void RegisterEmulators() {
    RegisterClass<TIpTerminalEmulator, TComponent>("TIpTerminalEmulator")
        .Property("TelnetTermType", &TIpTerminalEmulator::TelnetTermType,
                  &TIpTerminalEmulator::SetTelnetTermType);
    RegisterClass<TIpTTYEmulator, TIpTerminalEmulator>("TIpTTYEmulator");
    RegisterClass<TIpVT100Emulator, TIpTerminalEmulator>("TIpVT100Emulator")
        .Property("Answerback", &TIpVT100Emulator::Answerback, &TIpVT100Emulator::SetAnswerback,
                  Default("dOROrora"))
        .Property("DisplayUpperASCII", &TIpVT100Emulator::DisplayUpperASCII,
                  &TIpVT100Emulator::SetDisplayUpperASCII, Default(false));
}

// The socket component is any component that is also a socket control (the client socket
// components are not components of the class library themselves).
TComponent* SockComponentOf(const TIpCustomTerminal& T) {
    return dynamic_cast<TComponent*>(T.SockControl());
}
void SetSockComponent(TIpCustomTerminal& T, TComponent* Value) {
    T.SetSockControl(dynamic_cast<TIpSockControl*>(Value));
}

void RegisterTerminals() {
    using T = TIpCustomTerminal;
    RegisterClass<T, TCustomControl>("TIpCustomTerminal")
        .Property("Active", &T::Active, &T::SetActive, Default(true))
        .Property("BlinkTime", &T::BlinkTime, &T::SetBlinkTime, Default(500))
        .Property("BorderStyle", &T::BorderStyle, &T::SetBorderStyle, Default(bsSingle))
        .Property("CaptureFile", &T::CaptureFile, &T::SetCaptureFile, Default("DORORORA.CAP"))
        .Property("Capture", &T::Capture, &T::SetCapture, Default(cmOff))
        .Property("ScrollbackRows", &T::ScrollbackRows, &T::SetScrollbackRows, Default(200))
        .Property("Rows", &T::Rows, &T::SetRows, Default(24))
        .Property("Columns", &T::Columns, &T::SetColumns, Default(80))
        .Property("CursorType", &T::CursorType, &T::SetCursorType, Default(ctBlock))
        .Property("HalfDuplex", &T::HalfDuplex, &T::SetHalfDuplex, Default(false))
        .Property("LazyByteDelay", &T::LazyByteDelay, &T::SetLazyByteDelay, Default(200))
        .Property("LazyTimeDelay", &T::LazyTimeDelay, &T::SetLazyTimeDelay, Default(100))
        .Property("Scrollback", &T::Scrollback, &T::SetScrollback, Default(false))
        .Property("SockControl", &SockComponentOf, &SetSockComponent)
        .Property("UseLazyDisplay", &T::UseLazyDisplay, &T::SetUseLazyDisplay, Default(true))
        .Property("WantAllKeys", &T::WantAllKeys, &T::SetWantAllKeys, Default(true))
        .Property("FreezeScrollBack", &T::FreezeScrollBack, &T::SetFreezeScrollBack, Default(true))
        .Field("OnCursorMoved", &T::OnCursorMoved);
    RegisterClass<TIpTerminal, T>("TIpTerminal")
        .Property("Emulator", &TIpTerminal::Emulator, &TIpTerminal::SetEmulator);
}

}  // namespace

void RegisterTerminalClasses() {
    static const bool Done = [] {
        RegisterWidgetClasses();
        RegisterEnum<TIpCaptureMode>({"cmOff", "cmOn", "cmAppend"});
        RegisterEnum<TIpCursorType>({"ctNone", "ctUnderline", "ctBlock"});
        RegisterEmulators();
        RegisterTerminals();
        return true;
    }();
    (void)Done;
}
