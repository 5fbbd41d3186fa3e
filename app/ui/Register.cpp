// The main window, the telnet window and the information box in the class registry, with every
// component class and window class their definitions use.
#include "components/htmlhint/Register.h"
#include "app/ui/AboutFrm.h"
#include "app/ui/MainFrm.h"
#include "app/ui/TelnetFrm.h"
#include "bars/dxBarRegister.h"
#include "components/crashlog/CrashLog.h"
#include "components/shell/Register.h"
#include "components/store/Register.h"
#include "components/tray/Register.h"
#include "platform/controls/Controls.h"
#include "platform/forms/ClassRegistry.h"
#include "platform/widgets/Register.h"
#include "terminal/IpTermRegister.h"

namespace {

void RegisterMainForm() {
    using F = TFormMain;
    RegisterClass<F, TForm>("TFormMain")
        .Method("FormCreate", &F::FormCreate)
        .Method("FormShow", &F::FormShow)
        .Method("FormCloseQuery", &F::FormCloseQuery)
        .Method("FormShortCut", &F::FormShortCut)
        .Method("Neu1Click", &F::Neu1Click)
        .Method("LoadConfigClick", &F::LoadConfigClick)
        .Method("SaveConfigClick", &F::SaveConfigClick)
        .Method("SaveConfigAsClick", &F::SaveConfigAsClick)
        .Method("BarButtonStartClick", &F::BarButtonStartClick)
        .Method("Telnet1Click", &F::Telnet1Click)
        .Method("Editieren1Click", &F::Editieren1Click)
        .Method("ButtonOptionenClick", &F::ButtonOptionenClick)
        .Method("BarButtonOrderNewsClick", &F::BarButtonOrderNewsClick)
        .Method("BarButtonMultiStartClick", &F::BarButtonMultiStartClick)
        .Method("dxBarManagerxBarButton1Click", &F::dxBarManagerxBarButton1Click)
        .Method("BarButtonExitClick", &F::BarButtonExitClick)
        .Method("ber1Click", &F::ber1Click)
        .Method("LogListDblClick", &F::LogListDblClick)
        .Method("MsgLoeschenClick", &F::MsgLoeschenClick)
        .Method("EndTasksSoftClick", &F::EndTasksSoftClick)
        .Method("EndTasksHardClick", &F::EndTasksHardClick)
        .Method("MailPopupPopup", &F::MailPopupPopup)
        .Method("LogListContextPopup", &F::LogListContextPopup)
        .Method("LogListDrawItem", &F::LogListDrawItem)
        .Method("DropFilesDropFiles", &F::DropFilesDropFiles);
}

void RegisterSecondaryForms() {
    RegisterClass<TTelnetForm, TForm>("TTelnetForm")
        .Method("FormCreate", &TTelnetForm::FormCreate)
        .Method("BtnConnectClick", &TTelnetForm::BtnConnectClick)
        .Method("BtnDisconnectClick", &TTelnetForm::BtnDisconnectClick)
        .Method("BtnExitClick", &TTelnetForm::BtnExitClick)
        .Method("TelnetPortClick", &TTelnetForm::TelnetPortClick);
    RegisterClass<TAboutBox, TForm>("TAboutBox").Method("FormCreate", &TAboutBox::FormCreate);
}

}  // namespace

void RegisterMainFormClasses() {
    static const bool Done = [] {
        // The windows of the standard and common controls the definitions place.
        InitStandardControls();
        RegisterWidgetClasses();
        RegisterBarClasses();
        RegisterCrashLogClasses();
        RegisterHTMLHintClasses();
        RegisterShellClasses();
        RegisterStoreClasses();
        RegisterTrayClasses();
        RegisterTerminalClasses();
        RegisterMainForm();
        RegisterSecondaryForms();
        return true;
    }();
    (void)Done;
}
