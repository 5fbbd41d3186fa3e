#pragma once
// The viewer panel on a form of its own, with a data provider that answers from the test's
// documents and pictures and records every call the panel makes of it, in order.
#include <gtest/gtest.h>

#include <QImage>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "htmlview/panel/IpBroker.h"
#include "htmlview/panel/IpHtmlFrame.h"
#include "htmlview/panel/IpHtmlInternalPanel.h"
#include "htmlview/panel/IpHtmlRegister.h"
#include "netlib/base/IpBase.h"
#include "netlib/mime/MimeMessage.h"
#include "platform/widgets/Forms.h"
#include "tests/support/GuiTestSupport.h"

// Calls read "BuildURL old|new", "CheckURL url", "Leave", "GetHtml url" (with " +data" when
// form data came along), "Reference url", "GetImage url", "CanHandle url".
class TRecordingProvider : public TIpHtmlDataProvider {
  public:
    struct TDocument {
        std::string ContentType;
        std::string Html;
    };

    using TIpHtmlDataProvider::TIpHtmlDataProvider;

    std::unique_ptr<TStream> DoGetHtmlStream(const std::string& URL,
                                             TIpFormDataEntity* PostData) override {
        Calls.push_back("GetHtml " + URL + (PostData ? " +data" : ""));
        if (PostData) PostedBodies.push_back(EntityBytes(*PostData));
        const auto Found = Documents.find(URL);
        if (Found == Documents.end()) return nullptr;
        return std::make_unique<TStringStream>(Found->second.Html);
    }
    bool DoCheckURL(const std::string& URL, std::string& ContentType) override {
        Calls.push_back("CheckURL " + URL);
        const auto Found = Documents.find(URL);
        if (Found == Documents.end()) return false;
        ContentType = Found->second.ContentType;
        return true;
    }
    void DoLeave(TIpHtml*) override { Calls.push_back("Leave"); }
    void DoReportReference(const std::string& URL) override { Calls.push_back("Reference " + URL); }
    void DoGetImage(TIpHtmlNode*, const std::string& URL, TIpHtmlPictureRef& Picture) override {
        Calls.push_back("GetImage " + URL);
        const auto Found = Pictures.find(URL);
        if (Found != Pictures.end()) Picture = Found->second;
    }
    bool CanHandle(const std::string& URL) override {
        Calls.push_back("CanHandle " + URL);
        return Handles;
    }
    std::string DoBuildURL(const std::string& Old, const std::string& New) override {
        Calls.push_back("BuildURL " + Old + "|" + New);
        return TIpHtmlDataProvider::DoBuildURL(Old, New);
    }

    void Add(const std::string& URL, const std::string& Html,
             const std::string& ContentType = "text/html") {
        Documents[URL] = {ContentType, Html};
    }
    // The calls of one kind ("GetHtml"), in order.
    std::vector<std::string> CallsOf(const std::string& Kind) const {
        std::vector<std::string> Out;
        for (const std::string& Call : Calls)
            if (Call.rfind(Kind + " ", 0) == 0 || Call == Kind) Out.push_back(Call);
        return Out;
    }

    // The bytes a form-data entity is sent as (its parts with their delimiters; its own header
    // is the request's), every boundary written as "BOUNDARY" and its nesting depth.
    static std::string EntityBytes(TIpMimeEntity& Entity);

    std::map<std::string, TDocument> Documents;
    std::map<std::string, TIpHtmlPictureRef> Pictures;
    std::vector<std::string> Calls;
    std::vector<std::string> PostedBodies;
    bool Handles = false;
};

class TPanelFixture : public testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;

    // Opens URL in the panel and lets the loop run (delayed loads, paints).
    void Open(const std::string& URL);
    // The master frame's inner panel and document.
    TIpHtmlInternalPanel& Inner();
    TIpHtml& Doc();
    // The rectangle of the N-th word (0 first) Word of the master document's body.
    TIpHtmlRect WordRect(const std::string& Word, int N = 0);
    // The centre of a page rectangle of the master document on the screen.
    POINT ScreenPoint(const TIpHtmlRect& PageRect);
    // A picture of the panel's client area, saved as pictures/htmlview/<Name>.png.
    QImage Picture(const std::string& Name);

    TForm* Form = nullptr;
    TIpHtmlPanel* Panel = nullptr;
    TRecordingProvider* Provider = nullptr;
    int HotClicks = 0;
    int Clicks = 0;
};

// A picture of one colour as the provider hands pictures out.
TIpHtmlPictureRef SolidPicture(int Width, int Height, QRgb Color);
