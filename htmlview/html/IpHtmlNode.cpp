#include "htmlview/html/IpHtmlNode.h"

#include <algorithm>

#include "htmlview/html/IpHtml.h"
#include "htmlview/html/IpHtmlEntities.h"
#include "netlib/base/IpBase.h"

namespace {

TIpHtml& DocumentOf(const TIpHtmlNode& Node) {
    if (!Node.Owner()) throw EIpHtmlException("Parent is not a container");
    return *Node.Owner();
}

}  // namespace

TIpHtmlNode::TIpHtmlNode(TIpHtmlNode* Parent) {
    if (!Parent) return;
    TIpHtmlNodeMulti* Multi = Parent->AsMulti();
    if (!Multi) throw EIpHtmlException("Parent is not a container");
    FParentNode = Multi;
    FOwner = Multi->FOwner;
    Multi->FChildren.push_back(this);
}

TIpHtmlNode::~TIpHtmlNode() {
    if (FParentNode && !(FOwner && FOwner->Destroying())) Unlink();
}

void TIpHtmlNode::Unlink() {
    if (!FParentNode) return;
    auto& Siblings = FParentNode->FChildren;
    const auto Found = std::find(Siblings.rbegin(), Siblings.rend(), this);
    if (Found != Siblings.rend()) Siblings.erase(std::next(Found).base());
    FParentNode = nullptr;
}

void TIpHtmlNode::ListOwnerRects(TIpHtmlNode* Owner, const TIpHtmlRectProc& Proc) {
    if (FParentNode) FParentNode->ListOwnerRects(Owner, Proc);
}

// While a parse builds the tree nothing above has a size to forget, and walking up from every
// new link or table would cost the depth of the tree each time.
void TIpHtmlNode::ResetSize() {
    if (FOwner && FOwner->Parsing()) return;
    if (FParentNode)
        FParentNode->ResetSize();
    else if (FOwner)
        FOwner->InvalidateSize();
}

void TIpHtmlNode::SubmitForm() {
    if (FParentNode) FParentNode->SubmitForm();
}

void TIpHtmlNode::ResetForm() {
    if (FParentNode) FParentNode->ResetForm();
}

int32_t TIpHtmlNode::ParentWidthLimit() {
    return FParentNode ? FParentNode->ParentWidthLimit() : 0x7FFFFFFF;
}

// --- text ---

TIpHtmlNodeText::TIpHtmlNodeText(TIpHtmlNode* Parent, const std::string& EscapedText)
    : TIpHtmlNode(Parent), FEscapedText(EscapedText) {}

void TIpHtmlNodeText::SetEscapedText(const std::string& Text) {
    FEscapedText = Text;
    for (TIpHtmlNode* Node = ParentNode(); Node; Node = Node->ParentNode()) {
        if (auto* Block = dynamic_cast<TIpHtmlNodeBlock*>(Node)) {
            Block->ClearElements();
            Block->ResetSize();
            return;
        }
    }
}

std::string TIpHtmlNodeText::ANSIText() const {
    return EscapeToAnsi(FEscapedText);
}

void TIpHtmlNodeText::SetANSIText(const std::string& Text) {
    SetEscapedText(AnsiToEscape(Text));
}

void TIpHtmlNodeText::AddElement(LayoutElement* Element) {
    if (ParentNode()) ParentNode()->AddElement(Element);
}

bool TIpHtmlNodeText::ElementsEmpty() {
    return ParentNode() ? ParentNode()->ElementsEmpty() : true;
}

// --- nodes with children ---

TIpHtmlNodeMulti::~TIpHtmlNodeMulti() {
    FreeChildren();
}

void TIpHtmlNodeMulti::FreeChildren() {
    std::vector<TIpHtmlNode*> Pending;
    Pending.swap(FChildren);
    while (!Pending.empty()) {
        TIpHtmlNode* Node = Pending.back();
        Pending.pop_back();
        Node->FParentNode = nullptr;
        if (TIpHtmlNodeMulti* Multi = Node->AsMulti()) {
            Pending.insert(Pending.end(), Multi->FChildren.begin(), Multi->FChildren.end());
            Multi->FChildren.clear();
        }
        delete Node;
    }
}

void TIpHtmlNodeMulti::AdoptChildren(TIpHtmlNodeMulti& From, const TIpHtmlNode* Except) {
    std::vector<TIpHtmlNode*> Kept;
    for (TIpHtmlNode* Child : From.FChildren) {
        if (Child == Except || Child == this) {
            Kept.push_back(Child);
            continue;
        }
        Child->FParentNode = this;
        Child->FOwner = Owner();
        FChildren.push_back(Child);
    }
    From.FChildren.swap(Kept);
}

void TIpHtmlNodeMulti::BuildElements() {
    for (TIpHtmlNode* Child : FChildren) Child->BuildElements();
}

void TIpHtmlNodeMulti::AssignProps(TIpHtmlProps& Props) {
    for (TIpHtmlNode* Child : FChildren) Child->AssignProps(Props);
}

void TIpHtmlNodeMulti::ListDrawRects(const TIpHtmlRectProc& Proc) {
    for (TIpHtmlNode* Child : FChildren) Child->ListDrawRects(Proc);
}

void TIpHtmlNodeMulti::ListMapRects(const TIpHtmlRectProc& Proc) {
    for (TIpHtmlNode* Child : FChildren) Child->ListMapRects(Proc);
}

void TIpHtmlNodeMulti::ForEachNode(const TIpHtmlNodeProc& Proc) {
    Proc(this);
    for (TIpHtmlNode* Child : FChildren) Child->ForEachNode(Proc);
}

void TIpHtmlNodeMulti::CopySelectionText(std::string& Text) {
    for (TIpHtmlNode* Child : FChildren) Child->CopySelectionText(Text);
}

// --- core, inline, boxes ---

void TIpHtmlNodeCore::ParseBaseProps(TIpHtml& Owner) {
    Id = Owner.FindAttribute("ID");
    ClassId = Owner.FindAttribute("CLASS");
    Title = Owner.FindAttribute("TITLE");
    Style = Owner.FindAttribute("STYLE");
}

void TIpHtmlNodeInline::AddElement(LayoutElement* Element) {
    if (ParentNode()) ParentNode()->AddElement(Element);
}

bool TIpHtmlNodeInline::ElementsEmpty() {
    return ParentNode() ? ParentNode()->ElementsEmpty() : true;
}

void TIpHtmlNodeInline::Repaint() {
    if (ParentNode()) ParentNode()->Repaint();
}

TIpHtmlNodeAlignInline::TIpHtmlNodeAlignInline(TIpHtmlNode* Parent)
    : TIpHtmlNodeInline(Parent),
      FProps(std::make_unique<TIpHtmlProps>(DocumentOf(*this))),
      FElement(DocumentOf(*this).NewElement(TElementType::Object, this)) {
    FElement->Props = FProps.get();
}

void TIpHtmlNodeAlignInline::SetAlign(TIpHtmlImageAlign Value) {
    FAlign = Value;
    Repaint();
}

TIpHtmlNodeGenInline::TIpHtmlNodeGenInline(TIpHtmlNode* Parent)
    : TIpHtmlNodeInline(Parent), FProps(std::make_unique<TIpHtmlProps>(DocumentOf(*this))) {}

void TIpHtmlNodeGenInline::AssignProps(TIpHtmlProps& Props) {
    ApplyInlineProps(Props);
    TIpHtmlNodeMulti::AssignProps(*FProps);
}
