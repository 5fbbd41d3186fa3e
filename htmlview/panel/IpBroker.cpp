#include "htmlview/panel/IpBroker.h"

#include "netlib/base/IpUtils.h"
#include "netlib/mime/MimeMessage.h"

TIpCustomHtmlDataProvider::TIpCustomHtmlDataProvider(TComponent* AOwner)
    : TIpAbstractHtmlDataProvider(AOwner) {}

TIpCustomHtmlDataProvider::~TIpCustomHtmlDataProvider() = default;

std::unique_ptr<TStream> TIpCustomHtmlDataProvider::DoGetHtmlStream(const std::string& URL,
                                                                    TIpFormDataEntity* PostData) {
    if (!OnGetHtml) return DefaultGetHtmlStream(URL, PostData);
    std::unique_ptr<TStream> Stream;
    OnGetHtml(this, URL, PostData, Stream);
    return Stream;
}

bool TIpCustomHtmlDataProvider::DoCheckURL(const std::string& URL, std::string& ContentType) {
    if (!OnCheckURL) return DefaultCheckURL(URL, ContentType);
    bool Available = false;
    OnCheckURL(this, URL, Available, ContentType);
    return Available;
}

void TIpCustomHtmlDataProvider::DoLeave(TIpHtml* Html) {
    if (OnLeave)
        OnLeave(Html);
    else
        DefaultLeave(Html);
}

void TIpCustomHtmlDataProvider::DoReportReference(const std::string& URL) {
    if (OnReportReference)
        OnReportReference(this, URL);
    else
        DefaultReportReference(URL);
}

void TIpCustomHtmlDataProvider::DoGetImage(TIpHtmlNode* Sender, const std::string& URL,
                                           TIpHtmlPictureRef& Picture) {
    if (OnGetImage)
        OnGetImage(Sender, URL, Picture);
    else
        DefaultGetImage(Sender, URL, Picture);
}

bool TIpCustomHtmlDataProvider::CanHandle(const std::string& URL) {
    if (OnCanHandle) return OnCanHandle(this, URL);
    TIpAddrRec Address;
    ParseURL(URL, Address);
    std::string Scheme = Address.Scheme;
    if (Scheme.empty()) Scheme = FHandledProtocols.Count() >= 2 ? FHandledProtocols[1] : "HTTP";
    return FHandledProtocols.IndexOf(Scheme) >= 0;
}

std::string TIpCustomHtmlDataProvider::DoBuildURL(const std::string& Old, const std::string& New) {
    return BuildURL(Old, New);
}

std::unique_ptr<TStream> TIpCustomHtmlDataProvider::DefaultGetHtmlStream(const std::string&,
                                                                         TIpFormDataEntity*) {
    return nullptr;
}

bool TIpCustomHtmlDataProvider::DefaultCheckURL(const std::string&, std::string&) {
    return false;
}

void TIpCustomHtmlDataProvider::DefaultLeave(TIpHtml*) {}

void TIpCustomHtmlDataProvider::DefaultReportReference(const std::string&) {}

void TIpCustomHtmlDataProvider::DefaultGetImage(TIpHtmlNode*, const std::string&,
                                                TIpHtmlPictureRef&) {}
