#pragma once
// Part of an XML document object model: reference-counted nodes (element, text, comment), node
// lists and named node maps, cloning, appending with the hierarchy checks, text collection, paths
// and the writing of comments and text. The document itself (parser, element and attribute
// writer) is not here; nodes reach what they need of it through TXpOwnerDocument.
//
// Names and texts are wide (UTF-16) strings; written output is Windows-1252.
#include <cstdint>
#include <memory>
#include <string>
#include <typeinfo>
#include <vector>

#include "platform/classes/Classes.h"
#include "platform/classes/Exception.h"

class TXpNode;
class TXpElement;
class TXpNodeList;
class TXpNamedNodeMap;
class TXpElementFactory;

enum : uint8_t {
    ELEMENT_NODE = 1,
    ATTRIBUTE_NODE = 2,
    TEXT_NODE = 3,
    CDATA_SECTION_NODE = 4,
    ENTITY_REFERENCE_NODE = 5,
    ENTITY_NODE = 6,
    PROCESSING_INSTRUCTION_NODE = 7,
    COMMENT_NODE = 8,
    DOCUMENT_NODE = 9,
    DOCUMENT_TYPE_NODE = 10,
    DOCUMENT_FRAGMENT_NODE = 11,
    NOTATION_NODE = 12,
};

// The name of a node type ("ELEMENT_NODE"), "UNKNOWN" for a number that is none.
std::string XpNodeTypeName(int Type);

// DOM errors: the code, no message.
class TXpDOMException : public Exception {
  public:
    enum : uint8_t { HIERARCHY_REQUEST_ERR = 3, WRONG_DOCUMENT_ERR = 4, NO_NODE_ERR = 11 };
    explicit TXpDOMException(uint8_t ACode) : Exception(""), Code(ACode) {}
    uint8_t Code;
};

enum class TXpLineBreakMode { CrLf = 0, Cr = 1, CrLf2 = 2, Lf = 3 };

// What a node asks of the document that owns it.
class TXpOwnerDocument {
  public:
    virtual ~TXpOwnerDocument() = default;
    virtual std::u16string BaseURI() const = 0;
    virtual TXpElementFactory& ElementFactory() = 0;
    bool IndentOutput = false;
    bool IgnoreCase = false;
    bool LineBreakCharRefs = false;
    TXpLineBreakMode LineBreakMode = TXpLineBreakMode::CrLf;
    bool KeepNonAscii = false;  // characters outside printable ASCII are written as they are
};

// Nodes in order; the list holds a reference to each.
class TXpNodeList {
  public:
    TXpNodeList() = default;
    virtual ~TXpNodeList();
    TXpNodeList(const TXpNodeList&) = delete;
    TXpNodeList& operator=(const TXpNodeList&) = delete;

    int Length() const { return int(FNodes.size()); }
    // Null outside 0..Length-1.
    TXpNode* Item(int Index) const;
    int IndexOf(const TXpNode* Node) const;
    void Add(TXpNode* Node);
    // Releases every node.
    void Clear();

  private:
    std::vector<TXpNode*> FNodes;
};

class TXpNamedNodeMap : public TXpNodeList {
  public:
    // "*": the first item; else the first whose name is Name.
    TXpNode* GetNamedItem(const std::u16string& Name) const;
    // A new map of deep clones of every item.
    TXpNamedNodeMap* Clone() const;
};

class TXpNode {
  public:
    TXpNode();
    TXpNode(const TXpNode&) = delete;
    TXpNode& operator=(const TXpNode&) = delete;

    virtual std::u16string BaseURI() const;
    // A new list (the caller releases it with delete) of the elements below with that name.
    virtual TXpNodeList* GetElementsByTagName(const std::u16string& Name);
    virtual std::string NodeTypeName() const { return XpNodeTypeName(FNodeType); }
    virtual std::u16string Text() const;
    // Writes the node at the nesting level; the base writes nothing.
    virtual void Write(TStream& Stream, int Level) const;
    // Adds Start and its following siblings, and the nodes below them, of the type (0: any;
    // ATTRIBUTE_NODE: their attributes) with that name.
    virtual void Collect(TXpNodeList& List, TXpNode* Start, int Type, const std::u16string& Name);
    // A new node like this one (reference count 1), with clones of its children when Deep.
    virtual TXpNode* CloneNode(bool Deep) const;
    // "name", or the parent's path, "/" and "name[n]" with the 1-based place among the siblings.
    virtual std::u16string Path() const;
    virtual void ClearChildNodes();

    TXpNode* FirstChild() const { return FChildNodes.Item(0); }
    TXpNode* NextSibling() const;
    TXpNode* PreviousSibling() const;
    TXpOwnerDocument* OwnerDocument() const { return FOwnerDocument; }
    TXpNode* ParentNode() const { return FParentNode; }
    bool HasAttributes() const { return FAttributes && FAttributes->Length() > 0; }
    bool HasChildNodes() const { return FChildNodes.Length() > 0; }
    const TXpNodeList& ChildNodes() const { return FChildNodes; }
    TXpNamedNodeMap* Attributes() const { return FAttributes.get(); }
    // Makes the map (empty) when the node has none.
    TXpNamedNodeMap& MakeAttributes();
    int RefCount() const { return FRefCount; }
    void AddRef() { ++FRefCount; }
    // Frees the node once no reference is left.
    void Release();
    // Appends Child (a fragment: clones of its children) and returns it. TXpDOMException 11 when
    // none is given, 4 for a node of another document, 3 for a parent that takes no children
    // or a child that is the parent itself or one of its ancestors.
    TXpNode* AppendChild(TXpNode* Child);

    std::u16string NodeName;
    std::u16string NodeValue;
    std::u16string OwnBaseURI;
    bool OutputEscaping = true;
    int Number = 0;
    int NodeType() const { return FNodeType; }
    void SetOwnerDocument(TXpOwnerDocument* Document) { FOwnerDocument = Document; }

  protected:
    virtual ~TXpNode();
    explicit TXpNode(int Type) : FNodeType(Type) {}
    // The node of the same class that a clone starts from.
    virtual TXpNode* NewOfSameClass() const;
    // Copies what a clone takes over (the base: type, names, number, document, value).
    virtual void CopyTo(TXpNode& Clone) const;
    std::u16string JoinedText(bool Blanks) const;
    bool NameMatches(const std::u16string& Name) const;

    std::unique_ptr<TXpNamedNodeMap> FAttributes;

  private:
    TXpNodeList FChildNodes;
    int FNodeType = 0;
    TXpOwnerDocument* FOwnerDocument = nullptr;
    TXpNode* FParentNode = nullptr;
    int FRefCount = 1;
};

class TXpCharacterData : public TXpNode {
  protected:
    using TXpNode::TXpNode;
};

class TXpText : public TXpCharacterData {
  public:
    TXpText() : TXpCharacterData(TEXT_NODE) {}
    std::u16string Text() const override { return NodeValue; }
    void Write(TStream& Stream, int Level) const override;

  protected:
    TXpNode* NewOfSameClass() const override { return new TXpText; }
    void CopyTo(TXpNode& Clone) const override;
};

class TXpComment : public TXpCharacterData {
  public:
    TXpComment() : TXpCharacterData(COMMENT_NODE) {}
    std::u16string Text() const override { return NodeValue; }
    void Write(TStream& Stream, int Level) const override;

  protected:
    TXpNode* NewOfSameClass() const override { return new TXpComment; }
};

class TXpElement : public TXpNode {
  public:
    TXpElement() : TXpNode(ELEMENT_NODE) {}
    // Takes the "xml:base" attribute first.
    std::u16string BaseURI() const override;
    // The attribute's value; when that is empty, the value of its last child; empty when the
    // element has no such attribute.
    std::u16string GetAttribute(const std::u16string& Name) const;

  protected:
    // Made by the owner document's element factory.
    TXpNode* NewOfSameClass() const override;
    void CopyTo(TXpNode& Clone) const override;
};

// Makes elements; a process-wide list holds the registered ones (the base class as "default").
class TXpElementFactory {
  public:
    virtual ~TXpElementFactory() = default;
    virtual void Initialize() {}
    virtual TXpElement* CreateElement(const std::u16string& Name);
    std::string Name;
};

// Initialises the factory and lists it under Name; returns it.
TXpElementFactory& RegisterElementFactory(const std::string& Name,
                                          std::unique_ptr<TXpElementFactory> Factory);
// Frees every listed factory of the type.
template <class T>
void UnregisterElementFactory();
// The listed factory of that name, or null.
TXpElementFactory* FindElementFactory(const std::string& Name);
std::vector<std::unique_ptr<TXpElementFactory>>& ElementFactories();

template <class T>
void UnregisterElementFactory() {
    std::erase_if(ElementFactories(), [](const std::unique_ptr<TXpElementFactory>& F) {
        return typeid(*F) == typeid(T);
    });
}

// Writes text with the document's escapes (Attribute: for an attribute value), as Windows-1252.
std::string XpEscapedText(const std::u16string& Text, const TXpOwnerDocument& Document,
                          bool Escaping, bool Attribute);
