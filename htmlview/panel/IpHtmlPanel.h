#pragma once
// The HTML viewer panel. It never reads a file or the network itself: every document, content
// type and picture comes from its data provider (IpBroker.h). It shows one document in a master
// frame (IpHtmlFrame.h); a frame shows a document in a scrolling inner panel
// (IpHtmlInternalPanel.h), or, for a frame set, splits its area among child frames.
//
// Opening a URL (OpenURL): "#name" scrolls to that anchor; otherwise the URL is resolved against
// the document shown, and when its content is text or a picture the master frame is replaced by
// one that shows it. A content type that is neither fires OnHotClick with that type as HotURL
// and loads nothing.
//
// Loads that documents ask for while their own code runs (form submissions) are delayed: the
// panel posts itself WM_IPHTMLLOAD with the id of the frame that loads, and a frame that is gone
// by then loads nothing. Windows of frames that a load replaces while one of their handlers runs
// (a link clicked in them) go at a later pass.
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "htmlview/html/IpHtml.h"
#include "platform/classes/Classes.h"
#include "platform/widgets/ExtCtrls.h"

class TIpFormDataEntity;
class TIpHtmlCustomPanel;
class TIpHtmlFrame;

// The panel's delayed load: WParam is the id of the frame that loads (IpHtmlFrame.h).
constexpr UINT WM_IPHTMLLOAD = 0x1298;
// Frees what replaced frames left: their windows (once no handler of theirs runs), their
// documents and the frames themselves.
constexpr UINT WM_IPHTMLRELEASE = 0x1299;

// Everything the panel shows comes through these operations, which the provider classes answer
// with their events (IpBroker.h).
class TIpAbstractHtmlDataProvider : public TComponent {
  public:
    using TComponent::TComponent;
    // The document at URL (none when there is none); PostData is a form's data for it.
    virtual std::unique_ptr<TStream> DoGetHtmlStream(const std::string& URL,
                                                     TIpFormDataEntity* PostData) = 0;
    // Whether URL can be had, and its content type.
    virtual bool DoCheckURL(const std::string& URL, std::string& ContentType) = 0;
    // A document is about to be replaced or freed.
    virtual void DoLeave(TIpHtml* Html) = 0;
    // A link of a document just parsed.
    virtual void DoReportReference(const std::string& URL) = 0;
    virtual void DoGetImage(TIpHtmlNode* Sender, const std::string& URL,
                            TIpHtmlPictureRef& Picture) = 0;
    // Whether a clicked link is the provider's to open (else the application decides).
    virtual bool CanHandle(const std::string& URL) = 0;
    // New resolved against Old.
    virtual std::string DoBuildURL(const std::string& Old, const std::string& New) = 0;
};

// Margins of printed pages, in inches.
class TIpHtmlPrintSettings : public TPersistent {
  public:
    void Assign(const TPersistent* Source) override;
    double MarginLeft = 0.5;
    double MarginTop = 0.5;
    double MarginRight = 0.5;
    double MarginBottom = 0.5;
};

using TIpHtmlControlEvent = std::function<void(TIpHtmlCustomPanel* Sender, TIpHtmlFrame* Frame,
                                               TIpHtml* Html, TIpHtmlNode* Node)>;

class TIpHtmlCustomPanel : public TCustomPanel {
  public:
    explicit TIpHtmlCustomPanel(TComponent* AOwner);
    ~TIpHtmlCustomPanel() override;

    // Opens the document URL names, from its top (OpenURL with no target frame).
    void OpenDocument(const std::string& URL) { OpenURL(std::string(), URL); }
    // Opens URL in the frame named Target (names compared without regard to case) when there
    // is one, else as the new master document. Raises EIpHtmlException "No data provider
    // assigned" without a provider and "Resource unavailable:" followed by the URL when the
    // provider has no such URL. Fires OnDocumentOpen at its end.
    void OpenURL(const std::string& Target, const std::string& URL);

    // --- published ---
    TIpAbstractHtmlDataProvider* DataProvider() const { return FDataProvider; }
    void SetDataProvider(TIpAbstractHtmlDataProvider* Value);
    // The face of preformatted text and code.
    const std::string& FixedTypeface() const { return FFixedTypeface; }
    void SetFixedTypeface(const std::string& Value) { FFixedTypeface = Value; }
    // Raise on markup the parser cannot place.
    bool FlagErrors() const { return FFlagErrors; }
    void SetFlagErrors(bool Value) { FFlagErrors = Value; }
    TColor LinkColor() const { return FLinkColor; }
    void SetLinkColor(TColor Value) { FLinkColor = Value; }
    TColor VLinkColor() const { return FVLinkColor; }
    void SetVLinkColor(TColor Value) { FVLinkColor = Value; }
    TColor ALinkColor() const { return FALinkColor; }
    void SetALinkColor(TColor Value) { FALinkColor = Value; }
    TColor TextColor() const { return FTextColor; }
    void SetTextColor(TColor Value) { FTextColor = Value; }
    int MarginHeight() const { return FMarginHeight; }
    void SetMarginHeight(int Value) { FMarginHeight = Value; }
    int MarginWidth() const { return FMarginWidth; }
    void SetMarginWidth(int Value) { FMarginWidth = Value; }
    bool ShowHints() const { return FShowHints; }
    void SetShowHints(bool Value) { FShowHints = Value; }
    bool AllowTextSelect() const { return FAllowTextSelect; }
    void SetAllowTextSelect(bool Value) { FAllowTextSelect = Value; }
    TIpHtmlPrintSettings* PrintSettings() { return &FPrintSettings; }
    // The library's version text; writing it changes nothing.
    std::string Version() const;
    void SetVersion(const std::string&) {}

    // The URL of the anchor or area under the mouse (with the map point of an ISMAP image), or
    // the content type of a document that was not shown.
    const std::string& HotURL() const { return FHotURL; }
    TIpHtmlNode* HotNode() const { return FHotNode; }
    LayoutElement* CurElement() const { return FCurElement; }
    TIpHtmlFrame* MasterFrame() const { return FMasterFrame.get(); }
    // The URL last opened as the master document.
    const std::string& CurURL() const { return FCurURL; }
    // URLs opened so far (sorted); links to them show in the visited colour.
    const TStringList& VisitedList() const { return FVisitedList; }
    bool IsURLVisited(const std::string& URL) const;
    // Pairs of URL and frame name recorded at each navigation into a named frame.
    const std::vector<std::pair<std::string, std::string>>& History() const { return FHistory; }
    // The frame of that name, searched from the master frame through all child frames.
    TIpHtmlFrame* FindFrame(const std::string& Name) const;

    TNotifyEvent OnHotChange;
    TNotifyEvent OnHotClick;
    TIpHtmlControlEvent OnControlClick;
    TIpHtmlControlEvent OnControlCreate;
    TNotifyEvent OnCurElementChange;
    TNotifyEvent OnDocumentOpen;

  protected:
    void CreateParams(TCreateParams& Params) override;
    void Dispatch(TMessage& Message) override;
    void Notification(TComponent* AComponent, TOperation Operation) override;
    void Paint() override;

  private:
    friend class TIpHtmlFrame;

    // What frames ask of their viewer.
    TIpAbstractHtmlDataProvider& RequireProvider() const;
    std::string BuildURL(const std::string& Old, const std::string& New) const;
    // A frame of this panel is made or goes; frames are found again by their id.
    uint64_t RegisterFrame(TIpHtmlFrame* Frame);
    void UnregisterFrame(uint64_t Id);
    TIpHtmlFrame* LiveFrame(uint64_t Id) const;
    size_t FrameCount() const { return FFrames.size(); }
    // Loads URL into Frame from a later pass (Data: a form's data for it).
    void DelayLoad(TIpHtmlFrame& Frame, const std::string& URL,
                   std::unique_ptr<TIpFormDataEntity> Data);
    // A content type the panel does not show: the application may open it.
    void HandleElsewhere(const std::string& ContentType);
    // Frees Control now, or at a later pass while one of its handlers runs.
    void ReleaseControl(TWinControl* Control);
    // Frees a replaced frame or document at a later pass (code of theirs may be running).
    void Retire(std::shared_ptr<void> Object);
    void FreeReleased();
    // From the frames' inner panels.
    void HotChange(TIpHtmlFrame& Frame);
    void HotClick(TIpHtmlFrame& Frame);
    void CurElementChange(TIpHtmlFrame& Frame);
    void ControlClick(TIpHtmlFrame& Frame, TIpHtmlNode* Node);
    void ControlCreate(TIpHtmlFrame& Frame, TIpHtmlNode* Node);

    void AddVisited(const std::string& URL);
    void ReplaceMasterFrame(const std::string& URL);
    void DelayedLoadMessage(uint64_t FrameId);

    TIpAbstractHtmlDataProvider* FDataProvider = nullptr;
    std::string FFixedTypeface = "Courier New";
    bool FFlagErrors = false;
    TColor FLinkColor = TColor(0xFF0000);
    TColor FVLinkColor = TColor(0x000080);
    TColor FALinkColor = TColor(0x0000FF);
    TColor FTextColor = clBlack;
    int FMarginHeight = 10;
    int FMarginWidth = 10;
    bool FShowHints = true;
    bool FAllowTextSelect = true;
    TIpHtmlPrintSettings FPrintSettings;

    std::shared_ptr<TIpHtmlFrame> FMasterFrame;
    std::string FCurURL;
    std::string FHotURL;
    TIpHtmlNode* FHotNode = nullptr;
    LayoutElement* FCurElement = nullptr;
    TStringList FVisitedList;
    std::vector<std::pair<std::string, std::string>> FHistory;
    std::string FPendingURL;
    std::string FPendingTarget;
    std::unique_ptr<TIpFormDataEntity> FPendingFormData;
    std::map<uint64_t, TIpHtmlFrame*> FFrames;
    uint64_t FNextFrameId = 1;
    std::vector<TWinControl*> FReleased;
    std::vector<std::shared_ptr<void>> FRetired;
    bool FReleasePosted = false;
};

// The panel as form definitions place it.
class TIpHtmlPanel : public TIpHtmlCustomPanel {
  public:
    using TIpHtmlCustomPanel::TIpHtmlCustomPanel;
};
