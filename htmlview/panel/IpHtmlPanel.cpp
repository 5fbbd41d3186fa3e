#include "htmlview/panel/IpHtmlPanel.h"

#include "htmlview/panel/IpHtmlFrame.h"
#include "netlib/base/IpBase.h"
#include "netlib/base/IpUtils.h"
#include "netlib/mime/MimeMessage.h"

namespace {

// What WM_GETDLGCODE answers: arrows, Tab and characters are the panel's, and it has a
// selection.
constexpr LRESULT kPanelDialogCode = 139;

}  // namespace

void TIpHtmlPrintSettings::Assign(const TPersistent* Source) {
    const auto* Other = dynamic_cast<const TIpHtmlPrintSettings*>(Source);
    if (!Other) return TPersistent::Assign(Source);
    MarginLeft = Other->MarginLeft;
    MarginTop = Other->MarginTop;
    MarginRight = Other->MarginRight;
    MarginBottom = Other->MarginBottom;
}

TIpHtmlCustomPanel::TIpHtmlCustomPanel(TComponent* AOwner) : TCustomPanel(AOwner) {
    FControlStyle = TControlStyle{csCaptureMouse, csClickEvents,  csSetCaption,
                                  csOpaque,       csDoubleClicks, csReplicatable};
    SetBevelOuter(bvNone);
    FVisitedList.SetSorted(true);
}

TIpHtmlCustomPanel::~TIpHtmlCustomPanel() {
    if (FMasterFrame) FMasterFrame->Close();
    FMasterFrame.reset();
    FPendingFormData.reset();
    FRetired.clear();
    for (TWinControl* Control : FReleased) Control->Free();
    FReleased.clear();
}

// The frames' windows cover the panel: its own painting stays off them.
void TIpHtmlCustomPanel::CreateParams(TCreateParams& Params) {
    TCustomPanel::CreateParams(Params);
    Params.Style |= WS_CLIPCHILDREN;
}

std::string TIpHtmlCustomPanel::Version() const {
    return VersionString();
}

void TIpHtmlCustomPanel::SetDataProvider(TIpAbstractHtmlDataProvider* Value) {
    if (Value == FDataProvider) return;
    if (FDataProvider) FDataProvider->RemoveFreeNotification(this);
    FDataProvider = Value;
    if (FDataProvider) FDataProvider->FreeNotification(this);
}

void TIpHtmlCustomPanel::Notification(TComponent* AComponent, TOperation Operation) {
    TCustomPanel::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FDataProvider) FDataProvider = nullptr;
}

TIpAbstractHtmlDataProvider& TIpHtmlCustomPanel::RequireProvider() const {
    if (!FDataProvider) throw EIpHtmlException("No data provider assigned");
    return *FDataProvider;
}

std::string TIpHtmlCustomPanel::BuildURL(const std::string& Old, const std::string& New) const {
    return FDataProvider ? FDataProvider->DoBuildURL(Old, New) : ::BuildURL(Old, New);
}

// --- opening documents -------------------------------------------------------------------------

void TIpHtmlCustomPanel::OpenURL(const std::string& Target, const std::string& URL) {
    std::string DocURL, Fragment;
    const bool FragmentOnly = !URL.empty() && URL[0] == '#';
    if (FragmentOnly) {
        Fragment = URL.substr(1);
    } else {
        DocURL = FMasterFrame ? BuildURL(FMasterFrame->CurURL(), URL) : URL;
        if (const size_t Hash = DocURL.find('#'); Hash != std::string::npos) {
            Fragment = DocURL.substr(Hash + 1);
            DocURL.erase(Hash);
        }
    }
    if (!DocURL.empty()) AddVisited(DocURL);
    TIpHtmlFrame* TargetFrame = Target.empty() ? nullptr : FindFrame(Target);
    if (TargetFrame && !FragmentOnly) {
        FHistory.emplace_back(TargetFrame->CurURL(), TargetFrame->Name());
        TargetFrame->OpenURL(DocURL);
        if (FMasterFrame) FHistory.emplace_back(FMasterFrame->CurURL(), std::string());
    } else if (!FragmentOnly || !FMasterFrame) {
        RequireProvider();
        if (FMasterFrame && FMasterFrame->HandledElsewhere(DocURL)) return;
        ReplaceMasterFrame(DocURL);
    }
    if (FMasterFrame) {
        if (!Fragment.empty())
            FMasterFrame->GoToAnchor(Fragment);
        else
            FMasterFrame->Home();
    }
    if (OnDocumentOpen) OnDocumentOpen(this);
}

// The old frame's windows go now (or once their handlers are done), the frame itself at a later
// pass; messages already posted for it find it gone.
void TIpHtmlCustomPanel::ReplaceMasterFrame(const std::string& URL) {
    if (FMasterFrame) {
        RequireProvider().DoLeave(&FMasterFrame->Html());
        FMasterFrame->Close();
        Retire(std::move(FMasterFrame));
    }
    Application.ProcessMessages();
    TIpHtmlFrameSettings Settings;
    Settings.MarginWidth = FMarginWidth;
    Settings.MarginHeight = FMarginHeight;
    Settings.FlagErrors = FFlagErrors;
    FMasterFrame = std::make_shared<TIpHtmlFrame>(*this, *this, nullptr, Settings);
    FMasterFrame->OpenURL(URL);
    FCurURL = URL;
}

void TIpHtmlCustomPanel::AddVisited(const std::string& URL) {
    if (FVisitedList.IndexOf(URL) < 0) FVisitedList.Add(URL);
}

bool TIpHtmlCustomPanel::IsURLVisited(const std::string& URL) const {
    return FVisitedList.IndexOf(URL) >= 0;
}

TIpHtmlFrame* TIpHtmlCustomPanel::FindFrame(const std::string& Name) const {
    return FMasterFrame ? FMasterFrame->FindFrame(Name) : nullptr;
}

// --- delayed loads -----------------------------------------------------------------------------

uint64_t TIpHtmlCustomPanel::RegisterFrame(TIpHtmlFrame* Frame) {
    const uint64_t Id = FNextFrameId++;
    FFrames.emplace(Id, Frame);
    return Id;
}

void TIpHtmlCustomPanel::UnregisterFrame(uint64_t Id) {
    FFrames.erase(Id);
}

TIpHtmlFrame* TIpHtmlCustomPanel::LiveFrame(uint64_t Id) const {
    const auto Found = FFrames.find(Id);
    return Found == FFrames.end() ? nullptr : Found->second;
}

void TIpHtmlCustomPanel::DelayLoad(TIpHtmlFrame& Frame, const std::string& URL,
                                   std::unique_ptr<TIpFormDataEntity> Data) {
    FPendingURL = URL;
    FPendingTarget.clear();
    FPendingFormData = std::move(Data);
    PostMessage(Handle(), WM_IPHTMLLOAD, WPARAM(Frame.Id()), 0);
}

// A frame that went since the load was asked for loads nothing.
void TIpHtmlCustomPanel::DelayedLoadMessage(uint64_t FrameId) {
    std::unique_ptr<TIpFormDataEntity> Data = std::move(FPendingFormData);
    const std::string URL = std::move(FPendingURL);
    FPendingURL.clear();
    TIpHtmlFrame* Frame = LiveFrame(FrameId);
    if (!Frame || URL.empty()) return;
    Frame->SetPostData(std::move(Data));
    Frame->OpenURL(URL);
}

void TIpHtmlCustomPanel::HandleElsewhere(const std::string& ContentType) {
    FHotURL = ContentType;
    if (OnHotClick) OnHotClick(this);
}

// --- what replaced frames leave ----------------------------------------------------------------

void TIpHtmlCustomPanel::ReleaseControl(TWinControl* Control) {
    if (!Control->HandlerRunning()) {
        Control->Free();
        return;
    }
    Control->Hide();
    FReleased.push_back(Control);
    Retire(nullptr);
}

void TIpHtmlCustomPanel::Retire(std::shared_ptr<void> Object) {
    if (Object) FRetired.push_back(std::move(Object));
    if (FReleasePosted || !HandleAllocated()) return;
    FReleasePosted = PostMessage(FHandle, WM_IPHTMLRELEASE, 0, 0);
}

void TIpHtmlCustomPanel::FreeReleased() {
    FReleasePosted = false;
    std::vector<TWinControl*> Released;
    Released.swap(FReleased);
    for (TWinControl* Control : Released) {
        if (Control->HandlerRunning())
            FReleased.push_back(Control);
        else
            Control->Free();
    }
    std::vector<std::shared_ptr<void>> Retired;
    Retired.swap(FRetired);
    Retired.clear();
    if (!FReleased.empty()) Retire(nullptr);
}

// --- from the frames ---------------------------------------------------------------------------

// The link's URL; for an image map the point within it follows ("?x,y").
void TIpHtmlCustomPanel::HotChange(TIpHtmlFrame& Frame) {
    TIpHtml& Doc = Frame.Html();
    FHotNode = Doc.HotNode();
    FHotURL.clear();
    if (auto* Anchor = dynamic_cast<TIpHtmlNodeA*>(FHotNode))
        FHotURL = Anchor->HRef();
    else if (auto* Area = dynamic_cast<TIpHtmlNodeAREA*>(FHotNode))
        FHotURL = Area->HRef;
    if (FHotNode && Doc.HotPoint().X >= 0)
        FHotURL += "?" + std::to_string(Doc.HotPoint().X) + "," + std::to_string(Doc.HotPoint().Y);
    if (OnHotChange) OnHotChange(this);
}

// The provider opens the links it can handle; the application decides about the others.
void TIpHtmlCustomPanel::HotClick(TIpHtmlFrame& Frame) {
    std::string URL, Target;
    TIpHtmlNode* Node = Frame.Html().HotNode();
    if (auto* Anchor = dynamic_cast<TIpHtmlNodeA*>(Node)) {
        URL = Anchor->HRef();
        Target = Anchor->Target;
    } else if (auto* Area = dynamic_cast<TIpHtmlNodeAREA*>(Node)) {
        URL = Area->HRef;
        Target = Area->Target;
    }
    if (FDataProvider && FDataProvider->CanHandle(URL)) {
        OpenURL(Target, URL);
        return;
    }
    if (OnHotClick) OnHotClick(this);
}

void TIpHtmlCustomPanel::CurElementChange(TIpHtmlFrame& Frame) {
    FCurElement = Frame.Html().CurElement();
    if (OnCurElementChange) OnCurElementChange(this);
}

void TIpHtmlCustomPanel::ControlClick(TIpHtmlFrame& Frame, TIpHtmlNode* Node) {
    if (OnControlClick) OnControlClick(this, &Frame, &Frame.Html(), Node);
}

void TIpHtmlCustomPanel::ControlCreate(TIpHtmlFrame& Frame, TIpHtmlNode* Node) {
    if (OnControlCreate) OnControlCreate(this, &Frame, &Frame.Html(), Node);
}

// --- messages and painting ---------------------------------------------------------------------

void TIpHtmlCustomPanel::Dispatch(TMessage& Message) {
    switch (Message.Msg) {
        case WM_IPHTMLLOAD:
            DelayedLoadMessage(uint64_t(Message.WParam));
            return;
        case WM_IPHTMLRELEASE:
            FreeReleased();
            return;
        case WM_GETDLGCODE:
            Message.Result = kPanelDialogCode;
            return;
        case WM_ERASEBKGND:
            if (!FMasterFrame || !FMasterFrame->Html().Parsed()) {
                TCanvas Canvas;
                Canvas.SetHandle(HDC(Message.WParam));
                Canvas.Brush().SetColor(Color());
                Canvas.FillRect(ClientRect());
                Canvas.SetHandle(0);
            }
            Message.Result = 1;
            return;
        default:
            TCustomPanel::Dispatch(Message);
    }
}

// The master frame's windows cover the panel; without them it shows its colour.
void TIpHtmlCustomPanel::Paint() {
    Canvas()->Brush().SetColor(Color());
    Canvas()->Brush().SetStyle(bsSolid);
    Canvas()->FillRect(ClientRect());
}
