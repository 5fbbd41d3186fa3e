#pragma once
// The base classes of the node tree. A document (TIpHtml) owns one tree of nodes, one class per
// element. Constructing a node under a parent links it in and gives it the parent's document;
// destroying a node with children frees them without recursion, so no tree is too deep to free.
//
// Layout and painting: every block (BODY, cells, captions) turns its content into a list of
// layout elements (IpHtmlElement.h) and lays them out into lines (IpHtmlBlockLayout.cpp); inline
// nodes with a box of their own are one object element each and answer for their size and
// painting. The document drives both (IpHtmlDocument.cpp).
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "htmlview/html/IpHtmlElement.h"
#include "htmlview/html/IpHtmlProps.h"
#include "htmlview/html/IpHtmlTypes.h"
#include "htmlview/html/IpHtmlValues.h"

class TIpHtml;
class TIpHtmlNodeBlock;
class TIpHtmlNodeMulti;
class TPicture;
class TWinControl;

// Pictures come from the document's image event and may be shared (one spacer for every cell).
using TIpHtmlPictureRef = std::shared_ptr<TPicture>;
using TIpHtmlRectProc = std::function<void(const TIpHtmlRect&)>;
using TIpHtmlNodeProc = std::function<void(TIpHtmlNode*)>;

class TIpHtmlNode {
  public:
    // Appends the node to Parent's children and takes Parent's document; Parent must hold
    // children ("Parent is not a container" otherwise). The root has no parent.
    explicit TIpHtmlNode(TIpHtmlNode* Parent);
    virtual ~TIpHtmlNode();
    TIpHtmlNode(const TIpHtmlNode&) = delete;
    TIpHtmlNode& operator=(const TIpHtmlNode&) = delete;

    TIpHtml* Owner() const { return FOwner; }
    TIpHtmlNodeMulti* ParentNode() const { return FParentNode; }
    // This node as one with children, or none; cheaper than a cast where trees are walked.
    virtual TIpHtmlNodeMulti* AsMulti() { return nullptr; }

    // Appends the node's layout elements to its block.
    virtual void BuildElements() {}
    // Hands the properties in force down the tree.
    virtual void AssignProps(TIpHtmlProps& Props) { (void)Props; }
    virtual void AddElement(LayoutElement* Element) { (void)Element; }
    virtual bool ElementsEmpty() { return true; }
    virtual void ListDrawRects(const TIpHtmlRectProc& Proc) { (void)Proc; }
    // Calls Proc with the rectangle of every element Owner produced in the enclosing block.
    virtual void ListOwnerRects(TIpHtmlNode* Owner, const TIpHtmlRectProc& Proc);
    virtual void ListMapRects(const TIpHtmlRectProc& Proc) { (void)Proc; }
    virtual void Repaint() {}
    // Forgets computed sizes up to the root, where the document reports that sizes changed.
    virtual void ResetSize();
    virtual void SubmitForm();
    virtual void ResetForm();
    virtual std::string HintText() { return std::string(); }
    virtual void ScrollIntoView() {}
    virtual void UnmarkControl() {}
    virtual void HideUnmarkedControl() {}
    // Calls Proc with this node (and, for nodes with children, every node below it).
    virtual void ForEachNode(const TIpHtmlNodeProc& Proc) { Proc(this); }
    virtual void CopySelectionText(std::string& Text) { (void)Text; }
    // The widest the node may become; no limit at the root.
    virtual int32_t ParentWidthLimit();
    // A picture the node asked for has come (after the layout that asked for it).
    virtual void PictureArrived(const TIpHtmlPictureRef& Picture) { (void)Picture; }
    // Forgets the node's own computed sizes without telling anyone; the document does this for
    // every node at once before a layout on another canvas.
    virtual void ClearSizeCache() {}

  protected:
    // Unlinks the node from its parent, as a free of the node alone does.
    void Unlink();

  private:
    friend class TIpHtml;
    friend class TIpHtmlNodeMulti;
    TIpHtml* FOwner = nullptr;
    TIpHtmlNodeMulti* FParentNode = nullptr;
};

// Nodes that are never shown (TITLE, SCRIPT, META, PARAM).
class TIpHtmlNodeNv : public TIpHtmlNode {
  public:
    using TIpHtmlNode::TIpHtmlNode;
    void ResetSize() override {}
};

// A run of text; its entity references are replaced when it is read as ANSIText.
class TIpHtmlNodeText : public TIpHtmlNode {
  public:
    TIpHtmlNodeText(TIpHtmlNode* Parent, const std::string& EscapedText);
    const std::string& EscapedText() const { return FEscapedText; }
    // Stores the text and makes the enclosing block build its elements again.
    void SetEscapedText(const std::string& Text);
    std::string ANSIText() const;
    void SetANSIText(const std::string& Text);
    TIpHtmlProps* Props() const { return FProps; }

    void AssignProps(TIpHtmlProps& Props) override { FProps = &Props; }
    void AddElement(LayoutElement* Element) override;
    bool ElementsEmpty() override;
    // Its words, blanks and hyphens; only the first carries the node's properties.
    void BuildElements() override;
    // The rectangles of its own elements, found where it put them rather than by a walk of the
    // whole block (which would make anchors cost the block's size each).
    void ListDrawRects(const TIpHtmlRectProc& Proc) override;

  private:
    std::string FEscapedText;
    TIpHtmlProps* FProps = nullptr;
    // Where the last build put the elements: the block and the range in its list.
    TIpHtmlNodeBlock* FBlock = nullptr;
    size_t FFirst = 0;
    size_t FEnd = 0;
};

// Nodes with children, which they own.
class TIpHtmlNodeMulti : public TIpHtmlNode {
  public:
    using TIpHtmlNode::TIpHtmlNode;
    ~TIpHtmlNodeMulti() override;
    TIpHtmlNodeMulti* AsMulti() override { return this; }
    int ChildCount() const { return int(FChildren.size()); }
    TIpHtmlNode* ChildNode(int Index) const { return FChildren.at(size_t(Index)); }
    // Moves every child of From but Except, in order, to the end of this node's children.
    void AdoptChildren(TIpHtmlNodeMulti& From, const TIpHtmlNode* Except);

    void BuildElements() override;
    void AssignProps(TIpHtmlProps& Props) override;
    void ListDrawRects(const TIpHtmlRectProc& Proc) override;
    void ListMapRects(const TIpHtmlRectProc& Proc) override;
    void ForEachNode(const TIpHtmlNodeProc& Proc) override;
    void CopySelectionText(std::string& Text) override;

  private:
    friend class TIpHtmlNode;
    // Frees every node below this one, deepest first, without recursion.
    void FreeChildren();
    std::vector<TIpHtmlNode*> FChildren;
};

// Nodes with the common attributes ID, CLASS, TITLE and STYLE.
class TIpHtmlNodeCore : public TIpHtmlNodeMulti {
  public:
    using TIpHtmlNodeMulti::TIpHtmlNodeMulti;
    // Reads ID, CLASS, TITLE and STYLE from the tag the document's parser is at.
    virtual void ParseBaseProps(TIpHtml& Owner);
    std::string Style;
    std::string ClassId;
    std::string Title;
    std::string Id;
};

// Inline nodes: their elements go to the enclosing block.
class TIpHtmlNodeInline : public TIpHtmlNodeCore {
  public:
    using TIpHtmlNodeCore::TIpHtmlNodeCore;
    void AddElement(LayoutElement* Element) override;
    bool ElementsEmpty() override;
    void Repaint() override;
};

// Inline nodes with a box of their own, laid out as one object element.
class TIpHtmlNodeAlignInline : public TIpHtmlNodeInline {
  public:
    explicit TIpHtmlNodeAlignInline(TIpHtmlNode* Parent);
    TIpHtmlImageAlign Align() const { return FAlign; }
    void SetAlign(TIpHtmlImageAlign Value);
    TIpHtmlProps& Props() { return *FProps; }
    LayoutElement* Element() const { return FElement; }

    void BuildElements() override { AddElement(FElement); }
    // Keeps a copy of the properties in force (its element paints with them) and hands them on.
    void AssignProps(TIpHtmlProps& Props) override;
    // A box's content is copied with the block it lies in; only tables have text of their own.
    void CopySelectionText(std::string&) override {}

    // Paints the box at its element's rectangle; Block is the block it lies in.
    virtual void PaintInline(TIpHtmlNodeBlock& Block) = 0;
    // The element was placed (or moved) to Rect.
    virtual void SetInlineRect(const TIpHtmlRect& Rect) { (void)Rect; }
    // The box's size when Available pixels are left on the line.
    virtual TIpHtmlSize InlineSize(int32_t Available) = 0;
    virtual void InlineMinMaxWidth(int32_t& Min, int32_t& Max) = 0;

  protected:
    std::unique_ptr<TIpHtmlProps> FProps;

  private:
    TIpHtmlImageAlign FAlign = TIpHtmlImageAlign::hiaTop;
    LayoutElement* FElement;
};

// One name and value pair a form control submits. File marks the pair of a file input, whose
// value names a file to send ("file://" and the path); no other pair ever makes a file part.
struct TIpHtmlFormValue {
    std::string Name;
    std::string Value;
    bool File = false;
    bool operator==(const TIpHtmlFormValue&) const = default;
};
using TIpHtmlFormValues = std::vector<TIpHtmlFormValue>;

// Form and frame controls. Each is in its document's control list while it exists. The viewer
// gives each a window control of the class library (MakeControl), which the node frees; until
// then, and without a viewer, a control keeps its place, paints nothing and submits what its
// markup gives.
class TIpHtmlNodeControl : public TIpHtmlNodeAlignInline {
  public:
    explicit TIpHtmlNodeControl(TIpHtmlNode* Parent);
    ~TIpHtmlNodeControl() override;
    bool Shown() const { return FShown; }
    // The window control shown (none before MakeControl and for hidden inputs).
    TWinControl* Control() const { return FControl; }

    // Makes the node's window control, hidden, inside Parent and raises the document's
    // control-created event.
    virtual void MakeControl(TWinControl* Parent) { (void)Parent; }
    // The pairs the control submits, whether it takes part in a submission, and going back to
    // what the markup gave.
    virtual void AddFormValues(TIpHtmlFormValues& Values) { (void)Values; }
    virtual bool IsSuccessful() { return false; }
    virtual void ResetControl() {}

    void AssignProps(TIpHtmlProps& Props) override { FProps->Assign(Props); }
    void UnmarkControl() override { FShown = false; }
    // Places the control where the node was laid out, showing it while that is in view.
    void PaintInline(TIpHtmlNodeBlock&) override;
    void HideUnmarkedControl() override;
    TIpHtmlSize InlineSize(int32_t Available) override;
    void InlineMinMaxWidth(int32_t& Min, int32_t& Max) override;

  protected:
    // The size of the control the node shows, measured in the node's font.
    virtual TIpHtmlSize ControlSize() { return {}; }
    // Text measures for the sizes: the width of "0" and the height of "Wy" in the node's font,
    // and a caption's size.
    TIpHtmlSize MeasureText(const std::string& Text);
    // The control the node shows from now on. An owned control is freed with the node; another
    // (an inline frame's panel) is its maker's, who keeps it while the document lives.
    void SetControl(TWinControl* Control, bool Owned);
    // Takes Control as the node's own, hidden inside Parent, with Hint as its hint, and raises
    // control-created.
    void AdoptControl(TWinControl* Control, TWinControl* Parent, const std::string& Hint);
    // Puts the control at R (the window's coordinates).
    virtual void PlaceControl(const TIpHtmlRect& R);
    // Raises the document's control-click event for this node.
    void ControlClicked();

  private:
    TWinControl* FControl = nullptr;
    bool FOwnsControl = false;
    bool FShown = false;
};

// Inline nodes that change the properties of their content (fonts, styles, spans).
class TIpHtmlNodeGenInline : public TIpHtmlNodeInline {
  public:
    explicit TIpHtmlNodeGenInline(TIpHtmlNode* Parent);
    TIpHtmlProps& Props() { return *FProps; }
    // Copies Props into the node's own record and changes what the element changes.
    virtual void ApplyInlineProps(TIpHtmlProps& Props) = 0;
    void AssignProps(TIpHtmlProps& Props) override;

  protected:
    std::unique_ptr<TIpHtmlProps> FProps;
};

// Nodes that lay out their own lines: BODY, table cells and captions.
class TIpHtmlNodeBlock : public TIpHtmlNodeCore {
  public:
    explicit TIpHtmlNodeBlock(TIpHtmlNode* Parent);
    const std::vector<LayoutElement*>& Elements() const { return FElements; }
    // Forgets the elements; they stay in the document's pool.
    void ClearElements();
    int32_t MinWidth() const { return FMinWidth; }
    int32_t MaxWidth() const { return FMaxWidth; }
    TIpHtmlProps& Props() { return *FProps; }
    // The rectangle of the last layout, its bottom where the content ended.
    const TIpHtmlRect& PageRect() const { return FPageRect; }
    // Moves everything the last layout placed, as a layout into the moved rectangle would.
    void MoveBlock(int32_t DX, int32_t DY);

    void AddElement(LayoutElement* Element) override { FElements.push_back(Element); }
    bool ElementsEmpty() override { return FElements.empty(); }
    // Copies Props into the block's own record and hands that record to the children.
    void AssignProps(TIpHtmlProps& Props) override;
    void ListOwnerRects(TIpHtmlNode* Owner, const TIpHtmlRectProc& Proc) override;
    void Repaint() override;
    void ResetSize() override;
    void ClearSizeCache() override;
    void CopySelectionText(std::string& Text) override;

    // Paints the elements that lie on the page rectangle being painted.
    virtual void PaintBlock(TIpHtmlProps& Props);
    // Lays the content out into Rect (its bottom is ignored: the content goes as far down as it
    // needs). Into a rectangle of the size of the last one the elements are only moved.
    virtual void LayoutBlock(TIpHtmlProps& Props, const TIpHtmlRect& Rect);
    virtual void BlockMinMaxWidth(TIpHtmlProps& Props, int32_t& Min, int32_t& Max);
    // The height of the content laid out Width pixels wide.
    virtual int32_t BlockHeight(TIpHtmlProps& Props, int32_t Width);

    // One line of the last layout, for painting and hit tests that must not walk every element:
    // its first element, its top, and the lowest bottom of any element up to its end.
    struct TLineStart {
        size_t First = 0;
        int32_t Top = 0;
        int32_t ReachedBottom = 0;
        // The element whose properties are in force at First (none: the block's own).
        const LayoutElement* PropsFrom = nullptr;
    };
    const std::vector<TLineStart>& Lines() const { return FLines; }

  protected:
    // Takes Props (assigning them down the tree when they changed) and builds the elements when
    // there are none.
    void Prepare(TIpHtmlProps& Props);
    // The range of lines whose elements may touch the rows Top to Bottom.
    std::pair<size_t, size_t> LinesBetween(int32_t Top, int32_t Bottom) const;

    std::vector<LayoutElement*> FElements;
    TIpHtmlRect FPageRect;
    bool FLaidOut = false;
    int32_t FMinWidth = -1;
    int32_t FMaxWidth = -1;
    int32_t FLastW = 0;
    int32_t FLastH = 0;
    std::unique_ptr<TIpHtmlProps> FProps;
    bool FPropsAssigned = false;
    std::vector<TLineStart> FLines;

  private:
    friend class TIpHtmlLineBreaker;
    void IndexLines();
};
