#include "htmlview/panel/IpHtmlRegister.h"

#include "htmlview/panel/IpBroker.h"
#include "platform/forms/ClassRegistry.h"
#include "platform/forms/StandardClasses.h"
#include "platform/widgets/Register.h"

namespace {

void RegisterPrintSettings() {
    using S = TIpHtmlPrintSettings;
    RegisterClass<S, TPersistent>("TIpHtmlPrintSettings")
        .Field("MarginLeft", &S::MarginLeft, Default(0.5))
        .Field("MarginTop", &S::MarginTop, Default(0.5))
        .Field("MarginRight", &S::MarginRight, Default(0.5))
        .Field("MarginBottom", &S::MarginBottom, Default(0.5));
}

void RegisterProviders() {
    RegisterClass<TIpAbstractHtmlDataProvider, TComponent>("TIpAbstractHtmlDataProvider");
    using P = TIpCustomHtmlDataProvider;
    // The properties of the class the provider publishes them from.
    RegisterClass<P, TIpAbstractHtmlDataProvider>("TIpCustomHtmlDataProvider")
        .Object("HandledProtocols", &P::HandledProtocols)
        .Field("OnCanHandle", &P::OnCanHandle)
        .Field("OnGetHtml", &P::OnGetHtml)
        .Field("OnGetImage", &P::OnGetImage)
        .Field("OnLeave", &P::OnLeave)
        .Field("OnCheckURL", &P::OnCheckURL)
        .Field("OnReportReference", &P::OnReportReference);
    RegisterClass<TIpHtmlDataProvider, P>("TIpHtmlDataProvider");
}

void RegisterPanels() {
    using T = TIpHtmlCustomPanel;
    RegisterClass<T, TCustomPanel>("TIpHtmlCustomPanel")
        .Property("DataProvider", &T::DataProvider, &T::SetDataProvider)
        .Property("FixedTypeface", &T::FixedTypeface, &T::SetFixedTypeface, Default("Courier New"))
        .Property("FlagErrors", &T::FlagErrors, &T::SetFlagErrors, Default(false))
        .Property("LinkColor", &T::LinkColor, &T::SetLinkColor, Idents(ColorIdents()),
                  Default(TColor(0xFF0000)))
        .Property("VLinkColor", &T::VLinkColor, &T::SetVLinkColor, Idents(ColorIdents()),
                  Default(TColor(0x000080)))
        .Property("ALinkColor", &T::ALinkColor, &T::SetALinkColor, Idents(ColorIdents()),
                  Default(TColor(0x0000FF)))
        .Property("TextColor", &T::TextColor, &T::SetTextColor, Idents(ColorIdents()),
                  Default(clBlack))
        .Property("MarginHeight", &T::MarginHeight, &T::SetMarginHeight, Default(10))
        .Property("MarginWidth", &T::MarginWidth, &T::SetMarginWidth, Default(10))
        .Property("ShowHints", &T::ShowHints, &T::SetShowHints, Default(true))
        .Property("AllowTextSelect", &T::AllowTextSelect, &T::SetAllowTextSelect, Default(true))
        .Object("PrintSettings", &T::PrintSettings)
        .Property("Version", &T::Version, &T::SetVersion)
        .Field("OnHotChange", &T::OnHotChange)
        .Field("OnHotClick", &T::OnHotClick)
        .Field("OnControlClick", &T::OnControlClick)
        .Field("OnControlCreate", &T::OnControlCreate)
        .Field("OnCurElementChange", &T::OnCurElementChange)
        .Field("OnDocumentOpen", &T::OnDocumentOpen);
    RegisterClass<TIpHtmlPanel, T>("TIpHtmlPanel");
}

}  // namespace

void RegisterHtmlViewClasses() {
    static const bool Done = [] {
        RegisterWidgetClasses();
        RegisterPrintSettings();
        RegisterProviders();
        RegisterPanels();
        return true;
    }();
    (void)Done;
}
