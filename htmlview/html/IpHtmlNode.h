#pragma once
// The base classes of the node tree. A document (TIpHtml) owns one tree of nodes, one class per
// element. Constructing a node under a parent links it in and gives it the parent's document;
// destroying a node with children frees them without recursion, so no tree is too deep to free.
//
// Layout and painting are not part of these classes yet: they carry what the parser reads and
// the operations that only walk the tree or the property records.
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
class TIpHtmlNodeMulti;

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
    void ListDrawRects(const TIpHtmlRectProc& Proc) override { ListOwnerRects(this, Proc); }

  private:
    std::string FEscapedText;
    TIpHtmlProps* FProps = nullptr;
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

  protected:
    std::unique_ptr<TIpHtmlProps> FProps;

  private:
    TIpHtmlImageAlign FAlign = TIpHtmlImageAlign::hiaTop;
    LayoutElement* FElement;
};

// Form and frame controls. Each is in its document's control list while it exists.
class TIpHtmlNodeControl : public TIpHtmlNodeAlignInline {
  public:
    explicit TIpHtmlNodeControl(TIpHtmlNode* Parent);
    ~TIpHtmlNodeControl() override;
    bool Shown() const { return FShown; }

    void AssignProps(TIpHtmlProps& Props) override { FProps->Assign(Props); }
    void UnmarkControl() override { FShown = false; }

  private:
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
    void ClearElements() { FElements.clear(); }
    int32_t MinWidth() const { return FMinWidth; }
    int32_t MaxWidth() const { return FMaxWidth; }
    TIpHtmlProps& Props() { return *FProps; }

    void AddElement(LayoutElement* Element) override { FElements.push_back(Element); }
    bool ElementsEmpty() override { return FElements.empty(); }
    void ListOwnerRects(TIpHtmlNode* Owner, const TIpHtmlRectProc& Proc) override;
    void ResetSize() override;

  protected:
    std::vector<LayoutElement*> FElements;
    TIpHtmlRect FPageRect;
    int32_t FMinWidth = -1;
    int32_t FMaxWidth = -1;
    int32_t FLastW = 0;
    int32_t FLastH = 0;
    std::unique_ptr<TIpHtmlProps> FProps;
};
