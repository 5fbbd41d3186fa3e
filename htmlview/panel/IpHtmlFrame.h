#pragma once
// A frame of the viewer panel: one document (a TIpHtml of its own, with the panel's colours and
// fonts) shown in a scrolling inner panel, or, for a document with a frame set, a panel split
// into child frames. Inline frames (IFRAME) are child frames too.
//
// A frame never opens the URL of a frame it lies in (compared without regard to case), nor
// anything once it lies HtmlPanelLimits::kMaxFrameDepth frames deep: a mail whose frames name
// the mail itself would otherwise open it without end.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "htmlview/html/IpHtml.h"

class TIpFormDataEntity;
class TIpHtmlCustomPanel;
class TIpHtmlInternalPanel;
class TPanel;
class TWinControl;

// How a frame is made: where it shows and how its document is laid out.
struct TIpHtmlFrameSettings {
    int MarginWidth = 10;
    int MarginHeight = 10;
    bool NoScrollBars = false;
    bool FlagErrors = false;
};

class TIpHtmlFrame {
  public:
    // A frame of Viewer showing inside Parent; ParentFrame is the frame it lies in (none for
    // the master frame).
    TIpHtmlFrame(TIpHtmlCustomPanel& Viewer, TWinControl& Parent, TIpHtmlFrame* ParentFrame,
                 const TIpHtmlFrameSettings& Settings);
    ~TIpHtmlFrame();
    TIpHtmlFrame(const TIpHtmlFrame&) = delete;
    TIpHtmlFrame& operator=(const TIpHtmlFrame&) = delete;

    // Shows the document at URL (resolved against the one shown). A URL equal to the one shown
    // changes nothing; one whose content is neither text nor a picture goes to the panel, and
    // nothing is loaded. Delayed: the load runs from a later pass of the message loop.
    void OpenURL(const std::string& URL, bool Delayed = false);
    // Resolves URL and asks the provider for it: raises when it cannot be had; true when its
    // content is neither text nor a picture (the panel has been told).
    bool HandledElsewhere(const std::string& URL);
    // Form data for the next load (from a delayed load).
    void SetPostData(std::unique_ptr<TIpFormDataEntity> Data);

    uint64_t Id() const { return FId; }
    const std::string& Name() const { return FName; }
    void SetName(const std::string& Value) { FName = Value; }
    const std::string& CurURL() const { return FCurURL; }
    // "#" and the name of the anchor last scrolled to.
    const std::string& Fragment() const { return FFragment; }
    // The document shown; a load replaces it with a new one.
    TIpHtml& Html() { return *FHtml; }
    TIpHtmlFrame* ParentFrame() const { return FParentFrame; }
    int Depth() const { return FDepth; }
    bool Loading() const { return FLoading; }
    // The inner panel (none while a frame set is shown or the frame is closed).
    TIpHtmlInternalPanel* HyperPanel() const { return FHyper; }
    // The panel that holds the frame set's panels (none without a frame set).
    TPanel* FrameSetPanel() const { return FFrameSetPanel; }
    int FrameCount() const { return int(FFrames.size()); }
    TIpHtmlFrame* Frames(int Index) const { return FFrames.at(size_t(Index)).get(); }

    // This frame or one below it with that name (without regard to case), or none.
    TIpHtmlFrame* FindFrame(const std::string& Name);
    // Scrolls to the anchor of that name, here or in a frame below; false when none has it.
    bool GoToAnchor(const std::string& Name);
    // Scrolls the document to its top.
    void Home();
    // Lets go of every window and child frame; the frame shows nothing from now on and loads
    // nothing more (its document stays until the frame goes).
    void Close();

  private:
    // A new empty document with the panel's colours and fonts, its events connected.
    void NewDocument();
    std::string Resolve(const std::string& URL);
    // Availability and content type (lower case); raises "Resource unavailable:" + URL.
    std::string CheckAvailable(const std::string& URL);
    // Whether URL may not be opened here: it is the source of a frame this one lies in, or the
    // frame lies too deep.
    bool Refused(const std::string& URL) const;
    void Load(const std::string& URL, const std::string& ContentType);
    void ClearContent();
    using TFrameSources = std::vector<std::pair<TIpHtmlFrame*, std::string>>;
    void MakeFrameSet();
    void AddFrameSet(TWinControl& Panel, TIpHtmlNodeFRAMESET& Set, TFrameSources& Sources);
    void PlaceFrames();
    void MakeHyperPanel();
    // A child frame inside Panel, or none when the panel has as many frames as it may.
    std::shared_ptr<TIpHtmlFrame> MakeChild(TWinControl& Panel, int MarginWidth, int MarginHeight,
                                            TIpHtmlFrameScrolling Scrolling);
    bool MayAddChild() const;
    void CreateInlineFrame(TWinControl* Parent, TIpHtmlNodeIFRAME* Node);

    TIpHtmlCustomPanel& FViewer;
    TWinControl& FParent;
    TIpHtmlFrame* FParentFrame;
    TIpHtmlFrameSettings FSettings;
    int FDepth = 0;
    uint64_t FId = 0;
    std::string FName;
    std::string FCurURL;
    std::string FFragment;
    std::unique_ptr<TIpHtml> FHtml;
    TIpHtmlInternalPanel* FHyper = nullptr;
    TPanel* FFrameSetPanel = nullptr;
    // The panels of the frame set and of inline frames, and the child frames shown in them. A
    // panel comes after the panel it lies in.
    std::vector<TPanel*> FPanels;
    // Every frame set shown, outermost first: its panel and the panels of its FRAME and
    // FRAMESET children in order.
    struct TFrameSetCells {
        TIpHtmlNodeFRAMESET* Set;
        TWinControl* Panel;
        std::vector<TPanel*> Cells;
    };
    std::vector<TFrameSetCells> FFrameSets;
    std::vector<std::shared_ptr<TIpHtmlFrame>> FFrames;
    std::unique_ptr<TIpFormDataEntity> FPostData;
    bool FLoading = false;
    bool FClosed = false;
};
