#include "htmlview/html/IpHtml.h"

#include <malloc.h>

#include <algorithm>
#include <new>

#include "htmlview/html/IpHtmlAnchorIndex.h"
#include "htmlview/html/IpHtmlEntities.h"
#include "htmlview/html/IpHtmlParser.h"
#include "htmlview/html/Limits.h"
#include "netlib/mime/MimeMessage.h"
#include "platform/classes/FlagScope.h"

namespace {

char UpperAscii(char C) {
    return C >= 'a' && C <= 'z' ? char(C - 'a' + 'A') : C;
}

// The URL without its fragment.
std::string WithoutFragment(const std::string& URL) {
    return URL.substr(0, URL.find('#'));
}

}  // namespace

bool TIpHtml::TNoCaseLess::operator()(const std::string& A, const std::string& B) const {
    return std::lexicographical_compare(A.begin(), A.end(), B.begin(), B.end(), [](char X, char Y) {
        return uint8_t(UpperAscii(X)) < uint8_t(UpperAscii(Y));
    });
}

TIpHtml::TIpHtml() {
    using enum TIpHtmlVAlign3;
    FDefaultPropA = FPropList.FindOrAddA({"Times New Roman", 12, 3, 0});
    FPropList.RetainA(FDefaultPropA);
    FDefaultPropB =
        FPropList.FindOrAddB({0, TIpHtmlAlign::haLeft, TextColor, hva3Baseline, LinkColor,
                              VLinkColor, ALinkColor, kHtmlNoColor, false, false});
    FPropList.RetainB(FDefaultPropB);
    FDefaultProps = std::make_unique<TIpHtmlProps>(*this);
    for (int I = 0; I < 10; ++I) FShared[I].ElementType = TElementType(I);
    NewPool();
    FHtml = new TIpHtmlNodeHtml(nullptr);
    FHtml->FOwner = this;
}

TIpHtml::~TIpHtml() {
    const bool Large = FPool && FPool->Count() >= HtmlLimits::kReleaseHeapAfterItems;
    FreeTree();
    FreePool();
    FDefaultProps.reset();
    // The allocator keeps freed heap for later; after a large document (a table of a million
    // cells takes 800 MB) the closed mail would stay resident until the program ends.
    if (Large) malloc_trim(0);
}

// The elements are finalised here; the pool itself never frees one by one.
void TIpHtml::FreePool() {
    if (!FPool) return;
    FPool->EnumerateItems([](void* Item) { static_cast<LayoutElement*>(Item)->~LayoutElement(); });
    FPool.reset();
}

void TIpHtml::NewPool() {
    FreePool();
    FPool = std::make_unique<TIpHtmlPoolManager>(sizeof(LayoutElement), HtmlLimits::kMaxPoolItems);
}

// Nodes skip unlinking themselves one by one while the whole tree goes.
void TIpHtml::FreeTree() {
    {
        const auto TreeGoing = TFlagScope::Nested(FDestroying);
        delete FHtml;
        FHtml = nullptr;
    }
    FReady = false;
    FHotNode = nullptr;
    FCurElement = nullptr;
    FDrawRects.clear();
    FAreas.clear();
    FAreasBuilt = false;
    FAnchorIndex.reset();
    FBuildingBlock = nullptr;
    FBody = nullptr;
    FTitleNode = nullptr;
    CurFrameSet = nullptr;
    FControls.clear();
    FAnchors.clear();
    FMaps.clear();
    FImages.clear();
    FAnimatedImages.clear();
    FQueuedFrames.clear();
    FNamedAnchors.clear();
}

void TIpHtml::Clear() {
    FreeTree();
    NewPool();
    FHtml = new TIpHtmlNodeHtml(nullptr);
    FHtml->FOwner = this;
    BaseURL.clear();
    IndexPhrase.clear();
    HasIndex = false;
    HasFrames = false;
    FParsed = false;
}

void TIpHtml::Parse(TStream& Source) {
    Clear();
    FTokenizer.FlagErrors = FlagErrors;
    FTokenizer.Start(Source);
    struct TFinish {
        TIpHtml& Doc;
        ~TFinish() {
            Doc.FTokenizer.Finish();
            Doc.FParsing = false;
        }
    } Finish{*this};
    FParsing = true;
    TIpHtmlParser(*this).ParseDocument();
    ReportReferences();
    FParsed = true;
}

void TIpHtml::ReportReferences() {
    if (!OnReportReference) return;
    FHtml->ForEachNode([this](TIpHtmlNode* Node) {
        std::string HRef;
        if (auto* Anchor = dynamic_cast<TIpHtmlNodeA*>(Node))
            HRef = Anchor->HRef();
        else if (auto* Area = dynamic_cast<TIpHtmlNodeAREA*>(Node))
            HRef = Area->HRef;
        if (HRef.find_first_not_of(' ') == std::string::npos) return;
        // A fragment of this document is no reference.
        const std::string URL = WithoutFragment(HRef);
        if (!URL.empty()) OnReportReference(URL);
    });
}

std::string TIpHtml::Title() const {
    return FTitleNode ? FTitleNode->Title : std::string();
}

void TIpHtml::InvalidateSize() {
    if (OnInvalidSize) OnInvalidSize();
}

void TIpHtml::Get(const std::string& URL) {
    if (OnGet) OnGet(URL);
}

void TIpHtml::Post(const std::string& URL, std::unique_ptr<TIpFormDataEntity> FormData) {
    if (OnPost) OnPost(URL, std::move(FormData));
}

void TIpHtml::ControlClick(TIpHtmlNode* Node) {
    if (OnControlClick) OnControlClick(Node);
}

void TIpHtml::ControlCreate(TIpHtmlNode* Node) {
    if (OnControlCreate) OnControlCreate(Node);
}

void TIpHtml::CreateInlineFrame(TWinControl* Parent, TIpHtmlNodeIFRAME* Node) {
    if (OnCreateInlineFrame) OnCreateInlineFrame(Parent, Node);
}

bool TIpHtml::CheckKnownURL(const std::string& URL) {
    if (!URL.empty() && URL[0] == '#') return true;
    return OnURLCheck ? OnURLCheck(WithoutFragment(URL)) : false;
}

void TIpHtml::SetDefaultProps() {
    TIpHtmlProps& Props = *FDefaultProps;
    Props.SetFontName("Times New Roman");
    Props.SetFontSize(12);
    Props.SetBaseFontSize(3);
    Props.SetBaseOffset(0);
    Props.SetVAlignment(TIpHtmlVAlign3::hva3Baseline);
    Props.SetFontStyle(0);
    Props.SetAlignment(TIpHtmlAlign::haLeft);
    Props.SetFontColor(TextColor);
    Props.SetLinkColor(LinkColor);
    Props.SetVLinkColor(VLinkColor);
    Props.SetALinkColor(ALinkColor);
    Props.SetBgColor(kHtmlNoColor);
    Props.SetPreformatted(false);
    Props.SetNoBreak(false);
    if (!FBody) return;
    if (FBody->Text() != kHtmlNoColor) Props.SetFontColor(FBody->Text());
    if (FBody->Link() != kHtmlNoColor) Props.SetLinkColor(FBody->Link());
    if (FBody->VLink() != kHtmlNoColor) Props.SetVLinkColor(FBody->VLink());
    if (FBody->ALink() != kHtmlNoColor) Props.SetALinkColor(FBody->ALink());
    if (FBody->BgColor() != kHtmlNoColor) Props.SetBgColor(FBody->BgColor());
}

LayoutElement* TIpHtml::NewElement(TElementType Type, TIpHtmlNode* Owner) {
    auto* Element = new (FPool->NewItm()) LayoutElement;
    Element->ElementType = Type;
    Element->Owner = Owner;
    return Element;
}

LayoutElement* TIpHtml::SharedElement(TElementType Type) {
    return &FShared[size_t(Type)];
}

// Each soft hyphen is an element of its own: it has a place on the page where it shows.
bool TIpHtml::BuildWordList(const std::string& Text, TIpHtmlProps* Props, TIpHtmlNode* Owner) {
    bool Appended = false;
    const auto Append = [&](LayoutElement* Element) {
        if (!Appended) Element->Props = Props;
        Appended = true;
        Owner->AddElement(Element);
    };
    const auto AddWord = [&](const std::string& Word) {
        LayoutElement* Element = NewElement(TElementType::Word, Owner);
        Element->AnsiWord = Word;
        const bool Blanks = !Word.empty() && Word.find_first_not_of(' ') == std::string::npos;
        Element->IsBlank = Blanks ? int32_t(Word.size()) : 0;
        Append(Element);
    };
    const std::string Ansi = EscapeToAnsi(Text);
    size_t Start = 0;
    for (size_t Cut = Ansi.find(kHtmlSoftHyphen); Cut != std::string::npos;
         Cut = Ansi.find(kHtmlSoftHyphen, Start)) {
        AddWord(Ansi.substr(Start, Cut - Start));
        Start = Cut + 1;
        if (Start < Ansi.size()) Append(NewElement(TElementType::SoftHyphen, Owner));
    }
    if (Start < Ansi.size()) AddWord(Ansi.substr(Start));
    return Appended;
}

TIpHtmlNodeA* TIpHtml::FindNamedAnchor(const std::string& Name) const {
    const auto Found = FNamedAnchors.find(Name);
    return Found == FNamedAnchors.end() ? nullptr : Found->second;
}

template <class T>
void TIpHtml::Unregister(std::vector<T*>& List, T* Node) {
    const auto Found = std::find(List.rbegin(), List.rend(), Node);
    if (Found != List.rend()) List.erase(std::next(Found).base());
}

template void TIpHtml::Unregister<TIpHtmlNode>(std::vector<TIpHtmlNode*>&, TIpHtmlNode*);
template void TIpHtml::Unregister<TIpHtmlNodeA>(std::vector<TIpHtmlNodeA*>&, TIpHtmlNodeA*);
template void TIpHtml::Unregister<TIpHtmlNodeMAP>(std::vector<TIpHtmlNodeMAP*>&, TIpHtmlNodeMAP*);
template void TIpHtml::Unregister<TIpHtmlNodeIMG>(std::vector<TIpHtmlNodeIMG*>&, TIpHtmlNodeIMG*);
