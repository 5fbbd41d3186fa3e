#include "htmlview/panel/IpHtmlFrame.h"

#include <algorithm>
#include <cstdio>

#include "htmlview/panel/IpHtmlInternalPanel.h"
#include "htmlview/panel/IpHtmlPanel.h"
#include "htmlview/panel/Limits.h"
#include "netlib/base/IpBase.h"
#include "netlib/mime/MimeMessage.h"
#include "platform/classes/Classes.h"
#include "platform/core/Paint.h"

namespace {

std::string Lower(std::string Text) {
    for (char& C : Text)
        if (C >= 'A' && C <= 'Z') C = char(C - 'A' + 'a');
    return Text;
}

bool Contains(const std::string& Text, const char* Part) {
    return Text.find(Part) != std::string::npos;
}

// The URL as the value of a quoted attribute: a quote or a control character (which would end
// the value, or the whole text for a NUL) is percent-encoded; nothing else needs to be, since
// the tokenizer keeps everything else inside quotes as it stands.
std::string QuotedAttribute(const std::string& URL) {
    std::string Out = "\"";
    for (const char C : URL) {
        if (C == '"' || uint8_t(C) < 32) {
            char Escape[4];
            std::snprintf(Escape, sizeof Escape, "%%%02X", unsigned(uint8_t(C)));
            Out += Escape;
        } else {
            Out += C;
        }
    }
    return Out + "\"";
}

// Text and pictures are shown in a frame; anything else is the program's to handle.
bool Displayable(const std::string& ContentType) {
    return Contains(ContentType, "text/") || Contains(ContentType, "image/");
}

// A picture shown as a document of its own.
std::unique_ptr<TStream> ImageDocument(const std::string& URL) {
    return std::make_unique<TStringStream>("<Html><BODY><IMG src=" + QuotedAttribute(URL) +
                                           "></BODY></Html>");
}

// A length of a frame: absolute, a percentage of Whole (rounded), or all of it.
int FrameExtent(const TIpHtmlLength& Length, int Whole) {
    switch (Length.LengthType()) {
        case TIpHtmlLengthType::hlAbsolute:
            return std::max(Length.LengthValue(), 0);
        case TIpHtmlLengthType::hlPercent:
            return int((int64_t(Whole) * std::max(Length.LengthValue(), 0) + 50) / 100);
        default:
            return Whole;
    }
}

TPanel* NewFramePanel(TWinControl& Parent, int Border) {
    auto* Panel = new TPanel(nullptr);
    Panel->SetBevelOuter(bvNone);
    Panel->SetCaption("");
    if (Border != 0) {
        Panel->SetBorderStyle(bsSingle);
        Panel->SetBorderWidth(Border);
    }
    Panel->SetParent(&Parent);
    return Panel;
}

// Marks a frame as loading while a load runs, however it ends.
class TLoadingScope {
  public:
    explicit TLoadingScope(bool& Flag) : FFlag(Flag), FWas(Flag) { FFlag = true; }
    ~TLoadingScope() { FFlag = FWas; }
    TLoadingScope(const TLoadingScope&) = delete;
    TLoadingScope& operator=(const TLoadingScope&) = delete;

  private:
    bool& FFlag;
    bool FWas;
};

}  // namespace

TIpHtmlFrame::TIpHtmlFrame(TIpHtmlCustomPanel& Viewer, TWinControl& Parent,
                           TIpHtmlFrame* ParentFrame, const TIpHtmlFrameSettings& Settings)
    : FViewer(Viewer),
      FParent(Parent),
      FParentFrame(ParentFrame),
      FSettings(Settings),
      FDepth(ParentFrame ? ParentFrame->FDepth + 1 : 0) {
    FId = Viewer.RegisterFrame(this);
    NewDocument();
}

TIpHtmlFrame::~TIpHtmlFrame() {
    Close();
}

void TIpHtmlFrame::Close() {
    if (FClosed) return;
    ClearContent();
    FViewer.UnregisterFrame(FId);
    FParentFrame = nullptr;
    FClosed = true;
}

void TIpHtmlFrame::SetPostData(std::unique_ptr<TIpFormDataEntity> Data) {
    FPostData = std::move(Data);
}

// --- the document and its events --------------------------------------------------------------

void TIpHtmlFrame::NewDocument() {
    FHtml = std::make_unique<TIpHtml>();
    TIpHtml& Doc = *FHtml;
    Doc.FixedTypeface = FViewer.FixedTypeface();
    Doc.LinkColor = TIpHtmlColor(FViewer.LinkColor());
    Doc.VLinkColor = TIpHtmlColor(FViewer.VLinkColor());
    Doc.ALinkColor = TIpHtmlColor(FViewer.ALinkColor());
    Doc.TextColor = TIpHtmlColor(FViewer.TextColor());
    Doc.FlagErrors = FSettings.FlagErrors;
    Doc.MarginWidth = FSettings.MarginWidth;
    Doc.MarginHeight = FSettings.MarginHeight;
    Doc.OnGetImage = [this](TIpHtmlNode* Sender, const std::string& URL,
                            TIpHtmlPictureRef& Picture) {
        if (TIpAbstractHtmlDataProvider* Provider = FViewer.DataProvider())
            Provider->DoGetImage(Sender, URL, Picture);
    };
    Doc.OnInvalidateRect = [this](const TIpHtmlRect& R) {
        if (!FHyper || !FHyper->HandleAllocated()) return;
        const RECT Rc{R.Left, R.Top, R.Right, R.Bottom};
        InvalidateRect(FHyper->Handle(), &Rc, FALSE);
    };
    Doc.OnInvalidSize = [this] {
        if (!FLoading && FHyper) FHyper->DoLayout();
    };
    Doc.OnGet = [this](const std::string& URL) { FViewer.DelayLoad(*this, URL, nullptr); };
    Doc.OnPost = [this](const std::string& URL, std::unique_ptr<TIpFormDataEntity> Data) {
        FViewer.DelayLoad(*this, URL, std::move(Data));
    };
    Doc.OnURLCheck = [this](const std::string& URL) { return FViewer.IsURLVisited(URL); };
    Doc.OnReportReference = [this](const std::string& URL) {
        if (TIpAbstractHtmlDataProvider* Provider = FViewer.DataProvider())
            Provider->DoReportReference(URL);
    };
    Doc.OnControlClick = [this](TIpHtmlNode* Node) { FViewer.ControlClick(*this, Node); };
    Doc.OnControlCreate = [this](TIpHtmlNode* Node) { FViewer.ControlCreate(*this, Node); };
    Doc.OnScroll = [this](const TIpHtmlRect& R) {
        if (FHyper) FHyper->ScrollInViewRaw(R);
    };
    Doc.OnCreateInlineFrame = [this](TWinControl* Parent, TIpHtmlNodeIFRAME* Node) {
        CreateInlineFrame(Parent, Node);
    };
}

// --- URLs --------------------------------------------------------------------------------------

std::string TIpHtmlFrame::Resolve(const std::string& URL) {
    return FViewer.BuildURL(FCurURL, URL);
}

std::string TIpHtmlFrame::CheckAvailable(const std::string& URL) {
    std::string ContentType;
    if (!FViewer.RequireProvider().DoCheckURL(URL, ContentType))
        throw EIpHtmlException("Resource unavailable:" + URL);
    return Lower(ContentType);
}

bool TIpHtmlFrame::HandledElsewhere(const std::string& URL) {
    const std::string ContentType = CheckAvailable(Resolve(URL));
    if (Displayable(ContentType)) return false;
    FViewer.HandleElsewhere(ContentType);
    return true;
}

bool TIpHtmlFrame::Refused(const std::string& URL) const {
    if (FDepth > HtmlPanelLimits::kMaxFrameDepth) return true;
    for (const TIpHtmlFrame* Outer = FParentFrame; Outer; Outer = Outer->FParentFrame)
        if (SameText(Outer->FCurURL, URL)) return true;
    return false;
}

// --- loading -----------------------------------------------------------------------------------

void TIpHtmlFrame::OpenURL(const std::string& URL, bool Delayed) {
    if (FClosed) return;
    if (Delayed) {
        FViewer.DelayLoad(*this, URL, nullptr);
        return;
    }
    {
        TLoadingScope Scope(FLoading);
        const std::string Resolved = Resolve(URL);
        if (Refused(Resolved)) return;
        const std::string ContentType = CheckAvailable(Resolved);
        if (SameText(Resolved, FCurURL)) return;
        if (!Displayable(ContentType)) {
            FViewer.HandleElsewhere(ContentType);
            return;
        }
        Load(Resolved, ContentType);
    }
    if (FHyper) FHyper->DoLayout();
}

void TIpHtmlFrame::Load(const std::string& URL, const std::string& ContentType) {
    FCurURL = URL;
    FFragment.clear();
    ClearContent();
    TIpAbstractHtmlDataProvider& Provider = FViewer.RequireProvider();
    Provider.DoLeave(FHtml.get());
    // The old document goes at a later pass: the code of one of its nodes may be what asked
    // for this load.
    FViewer.Retire(std::shared_ptr<TIpHtml>(std::move(FHtml)));
    NewDocument();
    std::unique_ptr<TIpFormDataEntity> PostData = std::move(FPostData);
    std::unique_ptr<TStream> Stream = Contains(ContentType, "image/")
                                          ? ImageDocument(URL)
                                          : Provider.DoGetHtmlStream(URL, PostData.get());
    if (Stream) FHtml->Parse(*Stream);
    if (FHtml->HasFrames)
        MakeFrameSet();
    else
        MakeHyperPanel();
}

// Child frames first (their windows lie in this frame's panels), then the panels. The document
// stays: a load replaces it next, and a frame that goes frees it. Child frames go at a later
// pass, as documents do.
void TIpHtmlFrame::ClearContent() {
    for (const std::shared_ptr<TIpHtmlFrame>& Child : FFrames) {
        Child->Close();
        FViewer.Retire(Child);
    }
    FFrames.clear();
    if (FHyper) {
        FHyper->SetHtml(nullptr);
        FViewer.ReleaseControl(FHyper);
        FHyper = nullptr;
    }
    // Panels inside others go first.
    for (auto Panel = FPanels.rbegin(); Panel != FPanels.rend(); ++Panel)
        FViewer.ReleaseControl(*Panel);
    FPanels.clear();
    FFrameSets.clear();
    if (FFrameSetPanel) {
        FViewer.ReleaseControl(FFrameSetPanel);
        FFrameSetPanel = nullptr;
    }
}

void TIpHtmlFrame::MakeHyperPanel() {
    auto* Hyper = new TIpHtmlInternalPanel(nullptr);
    Hyper->SetNoScrollBars(FSettings.NoScrollBars);
    Hyper->ShowHints = FViewer.ShowHints();
    Hyper->AllowTextSelect = FViewer.AllowTextSelect();
    Hyper->SetParent(&FParent);
    Hyper->SetAlign(alClient);
    Hyper->OnHotChange = [this] { FViewer.HotChange(*this); };
    Hyper->OnCurElementChange = [this] { FViewer.CurElementChange(*this); };
    Hyper->OnHotClick = [this] { FViewer.HotClick(*this); };
    Hyper->OnPanelClick = [this] { FViewer.Click(); };
    FHyper = Hyper;
    const std::vector<TIpHtmlNode*> Controls = FHtml->Controls();
    for (TIpHtmlNode* Node : Controls)
        if (auto* Control = dynamic_cast<TIpHtmlNodeControl*>(Node)) Control->MakeControl(Hyper);
    Hyper->SetHtml(FHtml.get());
}

// --- child frames ------------------------------------------------------------------------------

bool TIpHtmlFrame::MayAddChild() const {
    return FFrames.size() < HtmlPanelLimits::kMaxChildFrames &&
           FViewer.FrameCount() < HtmlPanelLimits::kMaxFrames &&
           FDepth < HtmlPanelLimits::kMaxFrameDepth;
}

std::shared_ptr<TIpHtmlFrame> TIpHtmlFrame::MakeChild(TWinControl& Panel, int MarginWidth,
                                                      int MarginHeight,
                                                      TIpHtmlFrameScrolling Scrolling) {
    if (!MayAddChild()) return nullptr;
    TIpHtmlFrameSettings Settings;
    Settings.MarginWidth = MarginWidth == -1 ? FViewer.MarginWidth() : MarginWidth;
    Settings.MarginHeight = MarginHeight == -1 ? FViewer.MarginHeight() : MarginHeight;
    Settings.NoScrollBars = Scrolling == TIpHtmlFrameScrolling::hfsNo;
    Settings.FlagErrors = FViewer.FlagErrors();
    auto Child = std::make_shared<TIpHtmlFrame>(FViewer, Panel, this, Settings);
    FFrames.push_back(Child);
    return Child;
}

void TIpHtmlFrame::MakeFrameSet() {
    FFrameSetPanel = NewFramePanel(FParent, 0);
    FFrameSetPanel->SetAlign(alClient);
    FFrameSetPanel->OnResize = [this](TObject*) { PlaceFrames(); };
    TIpHtmlNodeFRAMESET* Set = FHtml->CurFrameSet;
    if (!Set) return;
    TFrameSources Sources;
    AddFrameSet(*FFrameSetPanel, *Set, Sources);
    PlaceFrames();
    for (const auto& [Child, Source] : Sources) Child->OpenURL(Source);
}

// A frame set inside another fills its place in that set with a panel that it splits in turn.
void TIpHtmlFrame::AddFrameSet(TWinControl& Panel, TIpHtmlNodeFRAMESET& Set,
                               TFrameSources& Sources) {
    const size_t Index = FFrameSets.size();
    FFrameSets.push_back({&Set, &Panel, {}});
    for (int I = 0; I < Set.ChildCount(); ++I) {
        if (!MayAddChild()) return;
        if (auto* Nested = dynamic_cast<TIpHtmlNodeFRAMESET*>(Set.ChildNode(I))) {
            TPanel* Cell = NewFramePanel(Panel, 0);
            FPanels.push_back(Cell);
            FFrameSets[Index].Cells.push_back(Cell);
            AddFrameSet(*Cell, *Nested, Sources);
            continue;
        }
        auto* Frame = dynamic_cast<TIpHtmlNodeFRAME*>(Set.ChildNode(I));
        if (!Frame) continue;
        TPanel* Cell = NewFramePanel(Panel, Frame->FrameBorder());
        FPanels.push_back(Cell);
        FFrameSets[Index].Cells.push_back(Cell);
        std::shared_ptr<TIpHtmlFrame> Child =
            MakeChild(*Cell, Frame->MarginWidth(), Frame->MarginHeight(), Frame->Scrolling());
        Child->SetName(Frame->Name);
        Sources.emplace_back(Child.get(), Frame->Src);
    }
}

// Each set along a row, then on to the next; cells past the last row get no room. Outer sets
// come first, so a nested set's panel has its size before its own cells are placed.
void TIpHtmlFrame::PlaceFrames() {
    if (!FFrameSetPanel) return;
    for (const TFrameSetCells& Layout : FFrameSets) {
        const std::vector<int32_t> Cols =
            CalcMultiLength(Layout.Set->Cols, Layout.Panel->ClientWidth());
        const std::vector<int32_t> Rows =
            CalcMultiLength(Layout.Set->Rows, Layout.Panel->ClientHeight());
        size_t Col = 0, Row = 0;
        int X = 0, Y = 0;
        for (TPanel* Cell : Layout.Cells) {
            if (Row >= Rows.size() || Cols.empty()) {
                Cell->SetBounds(0, 0, 0, 0);
                continue;
            }
            Cell->SetBounds(X, Y, Cols[Col], Rows[Row]);
            X += Cols[Col];
            if (++Col == Cols.size()) {
                Col = 0;
                X = 0;
                Y += Rows[Row];
                ++Row;
            }
        }
    }
}

// The frame is not opened while its document is still being set up: pending messages are left
// for later, since one of them could replace that very document.
void TIpHtmlFrame::CreateInlineFrame(TWinControl* Parent, TIpHtmlNodeIFRAME* Node) {
    if (!Parent || !MayAddChild()) return;
    TPanel* Panel = NewFramePanel(*Parent, Node->FrameBorder);
    Panel->SetVisible(false);
    Panel->SetBounds(0, 0, FrameExtent(Node->Width, Parent->ClientWidth()),
                     FrameExtent(Node->Height, Parent->ClientHeight()));
    FPanels.push_back(Panel);
    Node->SetFramePanel(Panel);
    std::shared_ptr<TIpHtmlFrame> Child =
        MakeChild(*Panel, Node->MarginWidth, Node->MarginHeight, Node->Scrolling);
    Child->SetName(Node->Name);
    Node->Frame = Child;
    Child->OpenURL(Node->Src);
}

// --- finding and scrolling ---------------------------------------------------------------------

TIpHtmlFrame* TIpHtmlFrame::FindFrame(const std::string& Name) {
    if (!Name.empty() && SameText(FName, Name)) return this;
    for (const std::shared_ptr<TIpHtmlFrame>& Child : FFrames)
        if (TIpHtmlFrame* Found = Child->FindFrame(Name)) return Found;
    return nullptr;
}

bool TIpHtmlFrame::GoToAnchor(const std::string& Name) {
    if (TIpHtmlNodeA* Anchor = FHtml->FindNamedAnchor(Name)) {
        Anchor->ScrollIntoView();
        FFragment = "#" + Name;
        return true;
    }
    for (const std::shared_ptr<TIpHtmlFrame>& Child : FFrames)
        if (Child->GoToAnchor(Name)) return true;
    return false;
}

void TIpHtmlFrame::Home() {
    if (FHyper) FHyper->Home();
}
