#pragma once
// The HTML document: it parses an 8-bit HTML text into a tree of nodes (IpHtmlNodes.h) and keeps
// what the nodes share: the property records, the pool of layout elements, the lists of anchors
// and controls, and the colours and fonts the viewer gives it.
//
// Parsing is forgiving: missing end tags are tolerated wherever the tag that arrived may close
// the element. With FlagErrors set, markup the parser cannot place raises the plain Exception
// "Error "<message>" at line <n>, position <n>" and the tree built so far stays. Markup nested
// deeper than HtmlLimits::kMaxNestingDepth is flattened, not refused.
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "htmlview/html/IpHtmlElement.h"
#include "htmlview/html/IpHtmlNodes.h"
#include "htmlview/html/IpHtmlPool.h"
#include "htmlview/html/IpHtmlProps.h"
#include "htmlview/html/IpHtmlTokenizer.h"
#include "htmlview/html/IpHtmlValues.h"

class TStream;

class TIpHtml {
  public:
    TIpHtml();
    ~TIpHtml();
    TIpHtml(const TIpHtml&) = delete;
    TIpHtml& operator=(const TIpHtml&) = delete;

    // Replaces the tree by the one parsed from Source (from its current position), then reports
    // every link's URL to OnReportReference.
    void Parse(TStream& Source);
    // Frees the tree and gives the document a new empty root.
    void Clear();
    bool Parsed() const { return FParsed; }

    TIpHtmlNodeHtml* HtmlNode() const { return FHtml; }
    TIpHtmlNodeBODY* Body() const { return FBody; }
    TIpHtmlNodeTITLE* TitleNode() const { return FTitleNode; }
    // The title text, empty without a TITLE.
    std::string Title() const;
    // From BASE; links and pictures are resolved against it.
    std::string BaseURL;
    // From ISINDEX.
    std::string IndexPhrase;
    bool HasIndex = false;
    // Whether a FRAMESET was parsed, and the outermost one.
    bool HasFrames = false;
    TIpHtmlNodeFRAMESET* CurFrameSet = nullptr;

    // When set, the parser raises on markup it cannot place instead of recovering silently.
    bool FlagErrors = false;
    TIpHtmlColor TextColor = 0x000000;
    TIpHtmlColor LinkColor = 0xFF0000;
    TIpHtmlColor VLinkColor = 0x800080;
    TIpHtmlColor ALinkColor = 0x0000FF;
    std::string FixedTypeface = "Courier New";
    TIpHtmlPrintState PrintState;

    // Called when a node at the root reports that sizes changed.
    std::function<void()> OnInvalidSize;
    // Whether a URL is known (visited); unassigned answers no.
    std::function<bool(const std::string& URL)> OnURLCheck;
    // Every link URL found by a parse, without its fragment.
    std::function<void(const std::string& URL)> OnReportReference;

    // --- what the nodes share ---

    TIpHtmlPropList& PropList() { return FPropList; }
    TIpHtmlPropA* DefaultPropA() const { return FDefaultPropA; }
    TIpHtmlPropB* DefaultPropB() const { return FDefaultPropB; }
    // The properties at the root, set from the document's colours and fonts by SetDefaultProps.
    TIpHtmlProps& DefaultProps() { return *FDefaultProps; }
    // Fills DefaultProps, then takes the colours the BODY gives.
    void SetDefaultProps();

    // A new element of the pool, owned by Owner.
    LayoutElement* NewElement(TElementType Type, TIpHtmlNode* Owner);
    // The one element of a kind without data (breaks, indents, the soft hyphen).
    LayoutElement* SharedElement(TElementType Type);
    const TIpHtmlPoolManager& Pool() const { return *FPool; }
    // Appends the words of Text (entities replaced) to Owner's block: one word per piece between
    // soft hyphens, with the shared soft hyphen between the pieces.
    void BuildWordList(const std::string& Text, TIpHtmlProps* Props, TIpHtmlNode* Owner);

    // Whether a URL counts as known: a fragment of this document always does.
    bool CheckKnownURL(const std::string& URL);
    // The value of an attribute of the tag being parsed.
    std::string FindAttribute(const std::string& Name) const {
        return FTokenizer.FindAttribute(Name);
    }
    const TIpHtmlTokenizer& Tokenizer() const { return FTokenizer; }

    const std::vector<TIpHtmlNode*>& Controls() const { return FControls; }
    const std::vector<TIpHtmlNodeA*>& Anchors() const { return FAnchors; }
    const std::vector<TIpHtmlNodeMAP*>& Maps() const { return FMaps; }
    const std::vector<TIpHtmlNodeIMG*>& Images() const { return FImages; }
    // The anchor of that name (names compared ignoring case), or none.
    TIpHtmlNodeA* FindNamedAnchor(const std::string& Name) const;
    // True while the tree is being freed: nodes then do not unlink themselves one by one.
    bool Destroying() const { return FDestroying; }
    // True while a parse builds the tree: no size has been computed yet, so resets stop early.
    bool Parsing() const { return FParsing; }

  private:
    friend class TIpHtmlNode;
    friend class TIpHtmlNodeControl;
    friend class TIpHtmlNodeLABEL;
    friend class TIpHtmlNodeA;
    friend class TIpHtmlNodeMAP;
    friend class TIpHtmlNodeIMG;
    friend class TIpHtmlNodeBODY;
    friend class TIpHtmlNodeTITLE;
    friend class TIpHtmlNodeFRAMESET;
    friend class TIpHtmlParser;

    struct TNoCaseLess {
        bool operator()(const std::string& A, const std::string& B) const;
    };

    void FreeTree();
    void NewPool();
    void FreePool();
    void ReportReferences();
    void InvalidateSize();
    template <class T>
    void Unregister(std::vector<T*>& List, T* Node);

    TIpHtmlPropList FPropList;
    TIpHtmlPropA* FDefaultPropA = nullptr;
    TIpHtmlPropB* FDefaultPropB = nullptr;
    std::unique_ptr<TIpHtmlProps> FDefaultProps;
    std::unique_ptr<TIpHtmlPoolManager> FPool;
    LayoutElement FShared[10];

    TIpHtmlTokenizer FTokenizer;
    TIpHtmlNodeHtml* FHtml = nullptr;
    TIpHtmlNodeBODY* FBody = nullptr;
    TIpHtmlNodeTITLE* FTitleNode = nullptr;
    bool FParsed = false;
    bool FDestroying = false;
    bool FParsing = false;

    std::vector<TIpHtmlNode*> FControls;
    std::vector<TIpHtmlNodeA*> FAnchors;
    std::vector<TIpHtmlNodeMAP*> FMaps;
    std::vector<TIpHtmlNodeIMG*> FImages;
    std::map<std::string, TIpHtmlNodeA*, TNoCaseLess> FNamedAnchors;
};
