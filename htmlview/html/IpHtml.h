#pragma once
// The HTML document: it parses an 8-bit HTML text into a tree of nodes (IpHtmlNodes.h) and keeps
// what the nodes share: the property records, the pool of layout elements, the lists of anchors
// and controls, and the colours and fonts the viewer gives it.
//
// Parsing is forgiving: missing end tags are tolerated wherever the tag that arrived may close
// the element. With FlagErrors set, markup the parser cannot place raises the plain Exception
// "Error "<message>" at line <n>, position <n>" and the tree built so far stays. Markup nested
// deeper than HtmlLimits::kMaxNestingDepth is flattened, not refused.
//
// Layout and painting (IpHtmlDocument.cpp): LayoutPage lays the tree out for a width on a canvas
// and answers the page's size; RenderPage paints a rectangle of the page onto a canvas. Between
// the two, the document answers what lies under the mouse (TrackMouse) and keeps the selection.
// Pictures are asked for through OnGetImage; everything else the viewer must do (invalidate,
// scroll) goes out through the other events.
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "htmlview/html/IpHtmlCanvas.h"
#include "htmlview/html/IpHtmlElement.h"
#include "htmlview/html/IpHtmlFontInForce.h"
#include "htmlview/html/IpHtmlNodes.h"
#include "htmlview/html/IpHtmlPool.h"
#include "htmlview/html/IpHtmlProps.h"
#include "htmlview/html/IpHtmlTokenizer.h"
#include "htmlview/html/IpHtmlValues.h"

class TIpAnimatedGraphic;
class TIpFormDataEntity;
class TIpHtmlAnchorIndex;
class TStream;

// A painted word or hyphen: its rectangle (page coordinates), its element and its block.
struct TIpHtmlDrawRect {
    TIpHtmlRect Rect;
    LayoutElement* Element = nullptr;
    TIpHtmlNodeBlock* Block = nullptr;
};

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
    // A rectangle of the canvas last painted needs painting again.
    std::function<void(const TIpHtmlRect& R)> OnInvalidateRect;
    // A rectangle of the page should be scrolled into view (the top: 0,0,1,1).
    std::function<void(const TIpHtmlRect& R)> OnScroll;
    // The picture of a URL for Sender; leaving Picture empty shows the default picture.
    std::function<void(TIpHtmlNode* Sender, const std::string& URL, TIpHtmlPictureRef& Picture)>
        OnGetImage;
    // A form's submission (IpHtmlForms.cpp): GET with the action and its query
    // ("action?query"); POST with the action and the form's data, which becomes the handler's:
    // a multipart form-data entity, or for a URL-encoded form an entity whose body is the query.
    std::function<void(const std::string& URL)> OnGet;
    std::function<void(const std::string& URL, std::unique_ptr<TIpFormDataEntity> FormData)> OnPost;
    // A form control was clicked or changed its value, or made its window control.
    std::function<void(TIpHtmlNode* Node)> OnControlClick;
    std::function<void(TIpHtmlNode* Node)> OnControlCreate;
    // An IFRAME asks for the frame it shows, to be made inside Parent; the handler sets the
    // node's Frame and its panel (SetFramePanel).
    std::function<void(TWinControl* Parent, TIpHtmlNodeIFRAME* Node)> OnCreateInlineFrame;

    // Raise the events above (those without a handler do nothing).
    void Get(const std::string& URL);
    void Post(const std::string& URL, std::unique_ptr<TIpFormDataEntity> FormData);
    void ControlClick(TIpHtmlNode* Node);
    void ControlCreate(TIpHtmlNode* Node);
    void CreateInlineFrame(TWinControl* Parent, TIpHtmlNodeIFRAME* Node);

    // --- layout and painting ---

    // Space between the page's edges and its content, set by the viewer.
    int32_t MarginWidth = 10;
    int32_t MarginHeight = 10;
    // Lays the document out Width pixels wide (wider when its content cannot be narrower) and
    // answers the page rectangle. PageHeight above 0 keeps short lines off page boundaries.
    TIpHtmlRect LayoutPage(TIpHtmlCanvas& Canvas, int32_t Width, int32_t PageHeight);
    // Paints the part PageRect of the page onto Canvas with its top-left corner at Origin;
    // before the first layout it only fills PageRect. UseBuffer paints off-screen first.
    void RenderPage(TIpHtmlCanvas& Canvas, const TIpHtmlRect& PageRect, TIpHtmlPoint Origin,
                    bool UseBuffer);
    bool Ready() const { return FReady; }
    const TIpHtmlRect& DocRect() const { return FDocRect; }

    // The selection, between two page points (ordered top first); all of it when AllSelected.
    void SetSelectionPoints(TIpHtmlPoint P1, TIpHtmlPoint P2);
    void SelectAll();
    bool AllSelected() const { return FAllSelected; }
    TIpHtmlPoint SelStart() const { return FSelStart; }
    TIpHtmlPoint SelEnd() const { return FSelEnd; }
    bool HasSelection() const { return FAllSelected || FSelStart.X >= 0; }
    // The text of the selection, lines ended with CR LF.
    std::string SelectionText();

    // Finds the anchor or area at a page point (the hot node) and the element painted there.
    void TrackMouse(TIpHtmlPoint Point);
    TIpHtmlNode* HotNode() const { return FHotNode; }
    LayoutElement* CurElement() const { return FCurElement; }
    // The point relative to the hot anchor's image map rectangle, or -1,-1.
    TIpHtmlPoint HotPoint() const { return FHotPoint; }

    // Asks OnGetImage for a picture ("No OnGetImage event handler assigned" without one).
    void GetImage(TIpHtmlNode* Sender, const std::string& URL, TIpHtmlPictureRef& Picture);
    // Shown for pictures nobody could give: the bitmap resource "DEFAULTIMAGE".
    const TIpHtmlPictureRef& DefaultPicture();
    // Images whose picture is animated; each repaints when its picture shows another frame.
    const std::vector<TIpHtmlNodeIMG*>& AnimatedImages() const { return FAnimatedImages; }
    void AddAnimatedImage(TIpHtmlNodeIMG* Image);
    void RemoveAnimatedImage(TIpHtmlNodeIMG* Image);
    // Draws the graphic's current frame into R (canvas coordinates) once the paint under way
    // is done, over what the paint drew.
    void QueueGifFrame(TIpAnimatedGraphic& Graphic, const TIpHtmlRect& R);
    // A picture must hold a graphic: "Picture object contains no graphic object" otherwise.
    static void CheckPicture(const TIpHtmlPictureRef& Picture);

    // --- what layout and painting share with the nodes ---

    TIpHtmlCanvasFonts& Fonts() { return FFonts; }
    // The canvas of the layout or paint under way.
    TIpHtmlCanvas& Target();
    // The page rectangle being painted, and the canvas rectangle it goes to.
    const TIpHtmlRect& PaintPageRect() const { return FPageRect; }
    const TIpHtmlRect& PaintArea() const { return FClientRect; }
    // A page rectangle on the canvas: false when it is empty, misses the page rectangle being
    // painted, or misses the paint area once moved there.
    bool PageRectToScreen(const TIpHtmlRect& R, TIpHtmlRect& Screen) const;
    // A page rectangle where the last paint put it on the target (the window, not a buffer in
    // between): false when it is empty or lay outside the page rectangle painted.
    bool PageRectToTarget(const TIpHtmlRect& R, TIpHtmlRect& Target) const;
    TIpHtmlPoint PagePtToScreen(TIpHtmlPoint P) const;
    // Fills a page rectangle when it shows.
    void FillPageRect(const TIpHtmlRect& R, TIpHtmlColor Color);
    void AddDrawRect(const TIpHtmlRect& R, LayoutElement* Element, TIpHtmlNodeBlock* Block);
    const std::vector<TIpHtmlDrawRect>& DrawRects() const { return FDrawRects; }
    // Raises OnInvalidateRect for a page rectangle as it was last painted.
    void InvalidatePageRect(const TIpHtmlRect& R);
    // One step of list and quotation indents.
    int32_t StandardIndent() const;
    // The height of a printed page (0: the page is not cut into pages).
    int32_t PageHeight() const { return FPageHeight; }
    // Whether R (page coordinates) is hit by the selection.
    bool SelectionHits(const TIpHtmlRect& R) const;
    // The block whose elements a text node is being built into.
    TIpHtmlNodeBlock* BuildingBlock() const { return FBuildingBlock; }
    void SetBuildingBlock(TIpHtmlNodeBlock* Block) { FBuildingBlock = Block; }

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
    // soft hyphens, with a soft hyphen element between the pieces. Props goes on the first
    // element only; answers whether anything was appended.
    bool BuildWordList(const std::string& Text, TIpHtmlProps* Props, TIpHtmlNode* Owner);

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
    void ResetCaches();
    void DropRects();
    void BuildAreaList();
    void PaintSelection();
    void PaintQueuedFrames();
    void PictureChanged(const TPicture* Picture);
    TIpHtmlNode* FindAnchorOrArea(TIpHtmlPoint Point);
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

    // Layout and painting.
    TIpHtmlCanvasFonts FFonts{*this};
    bool FReady = false;
    bool FInLayout = false;
    TIpHtmlRect FDocRect;
    uint64_t FLastMetrics = 0;
    int32_t FLastPageHeight = -1;
    int32_t FPageHeight = 0;
    int32_t FLayoutWidth = 0;
    TIpHtmlRect FPageRect;
    TIpHtmlRect FClientRect;
    TIpHtmlPoint FPaintedAt;
    std::unique_ptr<TIpHtmlCanvas> FBuffer;
    TIpHtmlSize FBufferSize;
    std::vector<TIpHtmlDrawRect> FDrawRects;
    TIpHtmlNodeBlock* FBuildingBlock = nullptr;
    TIpHtmlPictureRef FDefaultPicture;
    std::vector<TIpHtmlNodeIMG*> FAnimatedImages;
    std::vector<std::pair<TIpAnimatedGraphic*, TIpHtmlRect>> FQueuedFrames;
    // What the pictures' change handlers reach the document through; they outlive it.
    std::shared_ptr<TIpHtml*> FSelf = std::make_shared<TIpHtml*>(this);

    // Selection and what lies under the mouse.
    TIpHtmlPoint FSelStart{-1, -1};
    TIpHtmlPoint FSelEnd{-1, -1};
    bool FAllSelected = false;
    TIpHtmlNode* FHotNode = nullptr;
    LayoutElement* FCurElement = nullptr;
    TIpHtmlPoint FHotPoint{-1, -1};
    std::unique_ptr<TIpHtmlAnchorIndex> FAnchorIndex;
    struct TIpHtmlPlacedArea {
        TIpHtmlNodeAREA* Area;
        TIpHtmlAreaShape Shape;
    };
    std::vector<TIpHtmlPlacedArea> FAreas;
    bool FAreasBuilt = false;
};
