#include "components/xml/XpNodes.h"

#include <QString>
#include <algorithm>

#include "platform/classes/CodePages.h"
#include "platform/gdi/Gdi.h"

namespace {

struct TNodeTypeName {
    int Type;
    const char* Name;
};

constexpr TNodeTypeName kNodeTypeNames[] = {
    {ELEMENT_NODE, "ELEMENT_NODE"},
    {ATTRIBUTE_NODE, "ATTRIBUTE_NODE"},
    {TEXT_NODE, "TEXT_NODE"},
    {CDATA_SECTION_NODE, "CDATA_SECTION_NODE"},
    {ENTITY_REFERENCE_NODE, "ENTITY_REFERENCE_NODE"},
    {ENTITY_NODE, "ENTITY_NODE"},
    {PROCESSING_INSTRUCTION_NODE, "PROCESSING_INSTRUCTION_NODE"},
    {COMMENT_NODE, "COMMENT_NODE"},
    {DOCUMENT_NODE, "DOCUMENT_NODE"},
    {DOCUMENT_TYPE_NODE, "DOCUMENT_TYPE_NODE"},
    {DOCUMENT_FRAGMENT_NODE, "DOCUMENT_FRAGMENT_NODE"},
    {NOTATION_NODE, "NOTATION_NODE"},
};

// Node types that take no children.
constexpr int kLeafTypes[] = {TEXT_NODE,    CDATA_SECTION_NODE,
                              ENTITY_NODE,  PROCESSING_INSTRUCTION_NODE,
                              COMMENT_NODE, NOTATION_NODE};

std::u16string Upper(const std::u16string& Text) {
    return QString::fromStdU16String(Text).toUpper().toStdU16String();
}

const char* LineBreakOf(TXpLineBreakMode Mode) {
    switch (Mode) {
        case TXpLineBreakMode::Cr:
            return "\r";
        case TXpLineBreakMode::Lf:
            return "\n";
        default:
            return "\r\n";
    }
}

void AddCharRef(std::u16string& Out, unsigned Code) {
    for (char C : "&#" + std::to_string(Code) + ";") Out += char16_t(C);
}

void AddAscii(std::u16string& Out, const char* Text) {
    while (*Text) Out += char16_t(*Text++);
}

void WriteAnsi(TStream& Stream, const std::u16string& Text) {
    Stream.WriteString(UnicodeToCp1252(QString::fromStdU16String(Text)));
}

}  // namespace

std::string XpNodeTypeName(int Type) {
    for (const TNodeTypeName& T : kNodeTypeNames)
        if (T.Type == Type) return T.Name;
    return "UNKNOWN";
}

std::string XpEscapedText(const std::u16string& Text, const TXpOwnerDocument& Document,
                          bool Escaping, bool Attribute) {
    const char* LineBreak = LineBreakOf(Document.LineBreakMode);
    const bool LineBreakRefs = Document.LineBreakCharRefs && std::string_view(LineBreak) != "\r\n";
    std::u16string Out;
    for (char16_t C : Text) {
        if (Escaping && C == u'&') {
            AddAscii(Out, "&amp;");
        } else if (Escaping && C == u'<') {
            AddAscii(Out, "&lt;");
        } else if (Escaping && Attribute && C == u'"') {
            AddAscii(Out, "&#34;");
        } else if (Escaping && Attribute && C == u'\n') {
            AddAscii(Out, "&#xA;");
        } else if (Escaping && C == u'\n') {
            for (const char* P = LineBreak; *P; ++P) {
                if (LineBreakRefs)
                    AddCharRef(Out, unsigned(*P));
                else
                    Out += char16_t(*P);
            }
        } else if ((C < 32 || C > 126) && C != u'\t' && C != u'\n' && !Document.KeepNonAscii) {
            AddCharRef(Out, unsigned(C));
        } else {
            Out += C;
        }
    }
    return UnicodeToCp1252(QString::fromStdU16String(Out));
}

// ---- lists ---------------------------------------------------------------------------------

TXpNodeList::~TXpNodeList() {
    Clear();
}

TXpNode* TXpNodeList::Item(int Index) const {
    return Index >= 0 && Index < Length() ? FNodes[size_t(Index)] : nullptr;
}

int TXpNodeList::IndexOf(const TXpNode* Node) const {
    const auto Found = std::find(FNodes.begin(), FNodes.end(), Node);
    return Found == FNodes.end() ? -1 : int(Found - FNodes.begin());
}

void TXpNodeList::Add(TXpNode* Node) {
    Node->AddRef();
    FNodes.push_back(Node);
}

void TXpNodeList::Clear() {
    std::vector<TXpNode*> Nodes;
    Nodes.swap(FNodes);
    for (TXpNode* Node : Nodes) Node->Release();
}

TXpNode* TXpNamedNodeMap::GetNamedItem(const std::u16string& Name) const {
    if (Name == u"*") return Item(0);
    for (int N = 0; N < Length(); ++N)
        if (Item(N)->NodeName == Name) return Item(N);
    return nullptr;
}

TXpNamedNodeMap* TXpNamedNodeMap::Clone() const {
    auto* Copy = new TXpNamedNodeMap;
    for (int N = 0; N < Length(); ++N) {
        TXpNode* Clone = Item(N)->CloneNode(true);
        Copy->Add(Clone);
        Clone->Release();
    }
    return Copy;
}

// ---- nodes ---------------------------------------------------------------------------------

TXpNode::TXpNode() = default;

TXpNode::~TXpNode() = default;

void TXpNode::Release() {
    if (--FRefCount < 1) {
        ClearChildNodes();
        delete this;
    }
}

TXpNamedNodeMap& TXpNode::MakeAttributes() {
    if (!FAttributes) FAttributes = std::make_unique<TXpNamedNodeMap>();
    return *FAttributes;
}

std::u16string TXpNode::BaseURI() const {
    if (!OwnBaseURI.empty() || FOwnerDocument == nullptr) return OwnBaseURI;
    return FOwnerDocument->BaseURI();
}

TXpNode* TXpNode::NextSibling() const {
    return FParentNode ? FParentNode->FChildNodes.Item(FParentNode->FChildNodes.IndexOf(this) + 1)
                       : nullptr;
}

TXpNode* TXpNode::PreviousSibling() const {
    if (!FParentNode) return nullptr;
    const int At = FParentNode->FChildNodes.IndexOf(this);
    return At > 0 ? FParentNode->FChildNodes.Item(At - 1) : nullptr;
}

bool TXpNode::NameMatches(const std::u16string& Name) const {
    if (NodeName == Name) return true;
    return FOwnerDocument && FOwnerDocument->IgnoreCase && Upper(NodeName) == Upper(Name);
}

void TXpNode::Collect(TXpNodeList& List, TXpNode* Start, int Type, const std::u16string& Name) {
    for (TXpNode* Node = Start; Node != nullptr; Node = Node->NextSibling()) {
        if (Type == ATTRIBUTE_NODE) {
            for (int N = 0; Node->FAttributes && N < Node->FAttributes->Length(); ++N)
                if (Node->FAttributes->Item(N)->NameMatches(Name))
                    List.Add(Node->FAttributes->Item(N));
        } else if ((Type == 0 || Type == Node->FNodeType) && Node->NameMatches(Name)) {
            List.Add(Node);
        }
        Collect(List, Node->FirstChild(), Type, Name);
    }
}

TXpNodeList* TXpNode::GetElementsByTagName(const std::u16string& Name) {
    auto* List = new TXpNodeList;
    Collect(*List, FirstChild(), ELEMENT_NODE, Name);
    return List;
}

std::u16string TXpNode::JoinedText(bool Blanks) const {
    std::u16string Text;
    for (int N = 0; N < FChildNodes.Length(); ++N) {
        const std::u16string Piece = FChildNodes.Item(N)->Text();
        if (Blanks && !Text.empty() && !Piece.empty()) Text += u' ';
        Text += Piece;
    }
    return Text;
}

std::u16string TXpNode::Text() const {
    return JoinedText(false);
}

void TXpNode::Write(TStream&, int) const {}

std::u16string TXpNode::Path() const {
    if (!FParentNode) return NodeName;
    const int Place = FParentNode->FChildNodes.IndexOf(this) + 1;
    std::u16string Index;
    for (char C : std::to_string(Place)) Index += char16_t(C);
    return FParentNode->Path() + u"/" + NodeName + u"[" + Index + u"]";
}

void TXpNode::ClearChildNodes() {
    FChildNodes.Clear();
}

TXpNode* TXpNode::NewOfSameClass() const {
    return new TXpNode(FNodeType);
}

void TXpNode::CopyTo(TXpNode& Clone) const {
    Clone.FNodeType = FNodeType;
    Clone.NodeName = NodeName;
    Clone.Number = Number;
    Clone.FOwnerDocument = FOwnerDocument;
    Clone.NodeValue = NodeValue;
}

TXpNode* TXpNode::CloneNode(bool Deep) const {
    TXpNode* Clone = NewOfSameClass();
    CopyTo(*Clone);
    for (int N = 0; Deep && N < FChildNodes.Length(); ++N) {
        TXpNode* Child = FChildNodes.Item(N)->CloneNode(true);
        Clone->AppendChild(Child);
        Child->Release();
    }
    return Clone;
}

TXpNode* TXpNode::AppendChild(TXpNode* Child) {
    if (Child == nullptr) throw TXpDOMException(TXpDOMException::NO_NODE_ERR);
    if (Child->FOwnerDocument != FOwnerDocument)
        throw TXpDOMException(TXpDOMException::WRONG_DOCUMENT_ERR);
    if (std::find(std::begin(kLeafTypes), std::end(kLeafTypes), FNodeType) != std::end(kLeafTypes))
        throw TXpDOMException(TXpDOMException::HIERARCHY_REQUEST_ERR);
    // A node inside itself would make every walk of the tree endless.
    for (const TXpNode* Up = this; Up != nullptr; Up = Up->FParentNode)
        if (Up == Child) throw TXpDOMException(TXpDOMException::HIERARCHY_REQUEST_ERR);
    if (Child->FNodeType == DOCUMENT_FRAGMENT_NODE) {
        for (int N = 0; N < Child->FChildNodes.Length(); ++N) {
            TXpNode* Clone = Child->FChildNodes.Item(N)->CloneNode(true);
            Clone->FParentNode = this;
            FChildNodes.Add(Clone);
            Clone->Release();
        }
        return Child;
    }
    Child->FParentNode = this;
    FChildNodes.Add(Child);
    return Child;
}

// ---- character data ------------------------------------------------------------------------

void TXpText::CopyTo(TXpNode& Clone) const {
    TXpNode::CopyTo(Clone);
    Clone.OutputEscaping = OutputEscaping;
}

void TXpText::Write(TStream& Stream, int) const {
    if (OwnerDocument() == nullptr) return;
    const TXpNode* Before = PreviousSibling();
    if (Before && Before->NodeType() == COMMENT_NODE) Stream.WriteString("\r\n");
    Stream.WriteString(XpEscapedText(NodeValue, *OwnerDocument(), OutputEscaping, false));
}

void TXpComment::Write(TStream& Stream, int Level) const {
    const TXpOwnerDocument* Document = OwnerDocument();
    if (Document == nullptr) return;
    std::u16string Out;
    if (Document->IndentOutput) {
        Out = u"\r\n";
        Out.append(size_t(std::max(Level, 0)) * 2, u' ');
    }
    Out += u"<!--";
    for (char16_t C : NodeValue) {
        if (C == u'\n' && Document->LineBreakMode != TXpLineBreakMode::Lf)
            AddAscii(Out, LineBreakOf(Document->LineBreakMode));
        else
            Out += C;
    }
    Out += u"-->";
    WriteAnsi(Stream, Out);
}

// ---- elements and their factories ----------------------------------------------------------

std::u16string TXpElement::BaseURI() const {
    const std::u16string Own = GetAttribute(u"xml:base");
    return Own.empty() ? TXpNode::BaseURI() : Own;
}

std::u16string TXpElement::GetAttribute(const std::u16string& Name) const {
    const TXpNode* Attribute = FAttributes ? FAttributes->GetNamedItem(Name) : nullptr;
    if (Attribute == nullptr) return u"";
    if (!Attribute->NodeValue.empty() || !Attribute->HasChildNodes()) return Attribute->NodeValue;
    const TXpNodeList& Children = Attribute->ChildNodes();
    return Children.Item(Children.Length() - 1)->NodeValue;
}

TXpNode* TXpElement::NewOfSameClass() const {
    if (OwnerDocument() != nullptr)
        return OwnerDocument()->ElementFactory().CreateElement(NodeName);
    return new TXpElement;
}

void TXpElement::CopyTo(TXpNode& Clone) const {
    TXpNode::CopyTo(Clone);
    auto& Copy = static_cast<TXpElement&>(Clone);
    if (FAttributes) Copy.FAttributes.reset(FAttributes->Clone());
}

TXpElement* TXpElementFactory::CreateElement(const std::u16string& Name) {
    auto* Element = new TXpElement;
    Element->NodeName = Name;
    return Element;
}

std::vector<std::unique_ptr<TXpElementFactory>>& ElementFactories() {
    static std::vector<std::unique_ptr<TXpElementFactory>> List = [] {
        std::vector<std::unique_ptr<TXpElementFactory>> Initial;
        Initial.push_back(std::make_unique<TXpElementFactory>());
        Initial.back()->Initialize();
        Initial.back()->Name = "default";
        return Initial;
    }();
    return List;
}

TXpElementFactory& RegisterElementFactory(const std::string& Name,
                                          std::unique_ptr<TXpElementFactory> Factory) {
    Factory->Initialize();
    Factory->Name = Name;
    ElementFactories().push_back(std::move(Factory));
    return *ElementFactories().back();
}

TXpElementFactory* FindElementFactory(const std::string& Name) {
    for (const auto& Factory : ElementFactories())
        if (Factory->Name == Name) return Factory.get();
    return nullptr;
}
