#pragma once
// The data provider components: each operation the panel asks of its provider calls the
// provider's event when one is assigned, and otherwise a default that gives nothing (no
// document, no picture, no URL available).
#include <functional>
#include <memory>
#include <string>

#include "htmlview/panel/IpHtmlPanel.h"

using TIpCanHandleEvent = std::function<bool(TObject* Sender, const std::string& URL)>;
// The handler makes the stream (none: no document); the panel reads it and frees it.
using TIpGetHtmlDataEvent =
    std::function<void(TObject* Sender, const std::string& URL, TIpFormDataEntity* PostData,
                       std::unique_ptr<TStream>& Stream)>;
using TIpGetImageDataEvent =
    std::function<void(TIpHtmlNode* Sender, const std::string& URL, TIpHtmlPictureRef& Picture)>;
using TIpLeaveHtmlDocumentEvent = std::function<void(TIpHtml* Sender)>;
using TIpCheckURLEvent = std::function<void(TObject* Sender, const std::string& URL,
                                            bool& Available, std::string& ContentType)>;
using TIpReportReferenceEvent = std::function<void(TObject* Sender, const std::string& URL)>;

class TIpCustomHtmlDataProvider : public TIpAbstractHtmlDataProvider {
  public:
    explicit TIpCustomHtmlDataProvider(TComponent* AOwner);
    ~TIpCustomHtmlDataProvider() override;

    std::unique_ptr<TStream> DoGetHtmlStream(const std::string& URL,
                                             TIpFormDataEntity* PostData) override;
    bool DoCheckURL(const std::string& URL, std::string& ContentType) override;
    void DoLeave(TIpHtml* Html) override;
    void DoReportReference(const std::string& URL) override;
    void DoGetImage(TIpHtmlNode* Sender, const std::string& URL,
                    TIpHtmlPictureRef& Picture) override;
    // OnCanHandle's answer; without one, whether the URL's scheme (upper-cased; without one the
    // list's second entry when it has two or more, else "HTTP") is in HandledProtocols.
    bool CanHandle(const std::string& URL) override;
    std::string DoBuildURL(const std::string& Old, const std::string& New) override;

    // Protocol names the provider opens links of ("HTTP", "FILE"), compared without case.
    TStringList* HandledProtocols() { return &FHandledProtocols; }

    TIpCanHandleEvent OnCanHandle;
    TIpGetHtmlDataEvent OnGetHtml;
    TIpGetImageDataEvent OnGetImage;
    TIpLeaveHtmlDocumentEvent OnLeave;
    TIpCheckURLEvent OnCheckURL;
    TIpReportReferenceEvent OnReportReference;

  protected:
    virtual std::unique_ptr<TStream> DefaultGetHtmlStream(const std::string& URL,
                                                          TIpFormDataEntity* PostData);
    virtual bool DefaultCheckURL(const std::string& URL, std::string& ContentType);
    virtual void DefaultLeave(TIpHtml* Html);
    virtual void DefaultReportReference(const std::string& URL);
    virtual void DefaultGetImage(TIpHtmlNode* Sender, const std::string& URL,
                                 TIpHtmlPictureRef& Picture);

  private:
    TStringList FHandledProtocols;
};

// The provider as form definitions place it.
class TIpHtmlDataProvider : public TIpCustomHtmlDataProvider {
  public:
    using TIpCustomHtmlDataProvider::TIpCustomHtmlDataProvider;
};
