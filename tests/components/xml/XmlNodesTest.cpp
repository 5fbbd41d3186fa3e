// The XML node classes (DOM codes, fragments, cloning, text, paths, writing) and the string hash
// table with its growth.
#include <gtest/gtest.h>

#include "components/xml/XpContainers.h"
#include "components/xml/XpNodes.h"
#include "components/xml/XpWideStrings.h"
#include "components/xml/XpXPathNames.h"

namespace {

class TTestDocument : public TXpOwnerDocument {
  public:
    std::u16string BaseURI() const override { return u"file:///doc/"; }
    TXpElementFactory& ElementFactory() override { return *FindElementFactory("default"); }
};

// Nodes made for one test, released at its end.
class XmlNodes : public ::testing::Test {
  protected:
    void TearDown() override {
        for (TXpNode* Node : Made) Node->Release();
    }
    template <class T>
    T* Make(const std::u16string& Name, const std::u16string& Value = u"",
            TXpOwnerDocument* Document = nullptr) {
        T* Node = new T;
        Node->NodeName = Name;
        Node->NodeValue = Value;
        Node->SetOwnerDocument(Document ? Document : &Doc);
        Made.push_back(Node);
        return Node;
    }
    static int CodeOf(const std::function<void()>& Step) {
        try {
            Step();
        } catch (const TXpDOMException& E) {
            EXPECT_EQ(E.Message(), "");
            return E.Code;
        }
        return 0;
    }

    TTestDocument Doc;
    std::vector<TXpNode*> Made;
};

class TFragment : public TXpNode {
  public:
    TFragment() : TXpNode(DOCUMENT_FRAGMENT_NODE) {}
};

TEST_F(XmlNodes, AppendingChecksTheHierarchy) {
    TTestDocument Other;
    TXpElement* Root = Make<TXpElement>(u"root");
    TXpElement* Child = Make<TXpElement>(u"child");
    TXpText* Text = Make<TXpText>(u"#text", u"x");
    EXPECT_EQ(CodeOf([&] { Root->AppendChild(nullptr); }), 11);
    EXPECT_EQ(CodeOf([&] { Root->AppendChild(Make<TXpElement>(u"alien", u"", &Other)); }), 4);
    EXPECT_EQ(CodeOf([&] { Text->AppendChild(Child); }), 3);
    EXPECT_EQ(CodeOf([&] { Make<TXpComment>(u"#comment")->AppendChild(Child); }), 3);
    Root->AppendChild(Child);
    EXPECT_EQ(Child->RefCount(), 2);  // the test's and the list's
    EXPECT_EQ(Child->ParentNode(), Root);
    // A node inside itself would make every walk endless.
    EXPECT_EQ(CodeOf([&] { Root->AppendChild(Root); }), 3);
    EXPECT_EQ(CodeOf([&] { Child->AppendChild(Root); }), 3);
}

TEST_F(XmlNodes, FragmentAddsClonesOfItsChildrenAndKeepsThem) {
    TFragment* Fragment = Make<TFragment>(u"#document-fragment");
    Fragment->AppendChild(Make<TXpElement>(u"a"));
    Fragment->AppendChild(Make<TXpText>(u"#text", u"b"));
    TXpElement* Root = Make<TXpElement>(u"root");
    EXPECT_EQ(Root->AppendChild(Fragment), Fragment);
    ASSERT_EQ(Root->ChildNodes().Length(), 2);
    EXPECT_EQ(Fragment->ChildNodes().Length(), 2);
    for (int N = 0; N < 2; ++N) {
        TXpNode* Added = Root->ChildNodes().Item(N);
        EXPECT_NE(Added, Fragment->ChildNodes().Item(N));
        EXPECT_EQ(Added->NodeName, Fragment->ChildNodes().Item(N)->NodeName);
        EXPECT_EQ(Added->ParentNode(), Root);
        EXPECT_EQ(Added->RefCount(), 1);  // the list holds the only reference
    }
    EXPECT_EQ(Fragment->ParentNode(), nullptr);
}

TEST_F(XmlNodes, DeepClonesCarryAttributesChildrenAndTheirClass) {
    struct TCountingFactory : TXpElementFactory {
        int Made = 0;
        TXpElement* CreateElement(const std::u16string& Name) override {
            ++Made;
            return TXpElementFactory::CreateElement(Name);
        }
    };
    TCountingFactory Factory;
    struct TFactoryDocument : TTestDocument {
        TXpElementFactory* Use = nullptr;
        TXpElementFactory& ElementFactory() override { return *Use; }
    } Document;
    Document.Use = &Factory;
    TXpElement* Root = Make<TXpElement>(u"root", u"", &Document);
    TXpNode* Attribute = Make<TXpNode>(u"id", u"7", &Document);
    Root->MakeAttributes().Add(Attribute);
    TXpText* Text = Make<TXpText>(u"#text", u"hello", &Document);
    Text->OutputEscaping = false;
    Root->AppendChild(Text);
    Root->Number = 42;

    TXpNode* Shallow = Root->CloneNode(false);
    Made.push_back(Shallow);
    EXPECT_FALSE(Shallow->HasChildNodes());
    TXpNode* Deep = Root->CloneNode(true);
    Made.push_back(Deep);
    EXPECT_EQ(Factory.Made, 2);
    EXPECT_EQ(Deep->Number, 42);
    ASSERT_TRUE(Deep->HasAttributes());
    EXPECT_NE(Deep->Attributes()->Item(0), Attribute);
    EXPECT_EQ(static_cast<TXpElement*>(Deep)->GetAttribute(u"id"), u"7");
    ASSERT_EQ(Deep->ChildNodes().Length(), 1);
    EXPECT_EQ(Deep->FirstChild()->Text(), u"hello");
    EXPECT_FALSE(Deep->FirstChild()->OutputEscaping);
    EXPECT_EQ(Deep->FirstChild()->RefCount(), 1);
}

TEST_F(XmlNodes, TextPathsCollectionsAndAttributes) {
    TXpElement* Root = Make<TXpElement>(u"root");
    TXpElement* List = Make<TXpElement>(u"list");
    TXpElement* First = Make<TXpElement>(u"item");
    TXpElement* Second = Make<TXpElement>(u"ITEM");
    Root->AppendChild(Make<TXpText>(u"#text", u"a"));
    Root->AppendChild(List);
    List->AppendChild(First);
    List->AppendChild(Make<TXpComment>(u"#comment", u"b"));
    List->AppendChild(Second);
    Second->AppendChild(Make<TXpText>(u"#text", u"c"));
    EXPECT_EQ(Root->Text(), u"abc");
    EXPECT_EQ(Second->Path(), u"root/list[2]/ITEM[3]");
    EXPECT_EQ(First->NextSibling()->NodeType(), COMMENT_NODE);
    EXPECT_EQ(Second->PreviousSibling()->PreviousSibling(), First);
    EXPECT_EQ(Root->NextSibling(), nullptr);

    std::unique_ptr<TXpNodeList> Found(Root->GetElementsByTagName(u"item"));
    EXPECT_EQ(Found->Length(), 1);
    Doc.IgnoreCase = true;
    Found.reset(Root->GetElementsByTagName(u"item"));
    ASSERT_EQ(Found->Length(), 2);
    EXPECT_EQ(Found->Item(1), Second);

    TXpNode* Base = Make<TXpNode>(u"xml:base", u"");
    Base->AppendChild(Make<TXpText>(u"#text", u"first"));
    Base->AppendChild(Make<TXpText>(u"#text", u"http://inner/"));
    EXPECT_EQ(List->BaseURI(), u"file:///doc/");
    List->MakeAttributes().Add(Base);
    EXPECT_EQ(List->GetAttribute(u"xml:base"), u"http://inner/");  // empty value: the last child
    EXPECT_EQ(List->BaseURI(), u"http://inner/");
    EXPECT_EQ(List->GetAttribute(u"missing"), u"");
    TXpNodeList Attributes;
    Root->Collect(Attributes, Root, ATTRIBUTE_NODE, u"XML:BASE");
    EXPECT_EQ(Attributes.Length(), 1);
    EXPECT_EQ(XpNodeTypeName(ELEMENT_NODE), "ELEMENT_NODE");
    EXPECT_EQ(XpNodeTypeName(13), "UNKNOWN");
}

TEST_F(XmlNodes, CommentsAndTextAreWrittenWithTheDocumentsEscapes) {
    TXpElement* Root = Make<TXpElement>(u"root");
    TXpComment* Comment = Make<TXpComment>(u"#comment", u"one\ntwo");
    TXpText* Text = Make<TXpText>(u"#text", u"a&b<c>d\n\t\u00e9\r");
    Root->AppendChild(Comment);
    Root->AppendChild(Text);
    auto Written = [](const TXpNode* Node, int Level) {
        TStringStream Out;
        Node->Write(Out, Level);
        return Out.DataString();
    };
    Doc.IndentOutput = true;
    EXPECT_EQ(Written(Comment, 2), "\r\n    <!--one\r\ntwo-->");
    EXPECT_EQ(Written(Text, 0), "\r\na&amp;b&lt;c>d\r\n\t&#233;&#13;");
    Doc.LineBreakMode = TXpLineBreakMode::Lf;
    Doc.IndentOutput = false;
    EXPECT_EQ(Written(Comment, 2), "<!--one\ntwo-->");
    Doc.LineBreakMode = TXpLineBreakMode::Cr;
    Doc.LineBreakCharRefs = true;
    Doc.KeepNonAscii = true;
    EXPECT_EQ(Written(Text, 0), "\r\na&amp;b&lt;c>d&#13;\t\xE9\r");
    Text->OutputEscaping = false;
    EXPECT_EQ(Written(Text, 0), "\r\na&b<c>d\n\t\xE9\r");
    EXPECT_EQ(XpEscapedText(u"say \"hi\"\n", Doc, true, true), "say &#34;hi&#34;&#xA;");
}

TEST(XmlElementFactories, DefaultIsRegisteredAndOthersComeAndGo) {
    struct TOther : TXpElementFactory {};
    ASSERT_NE(FindElementFactory("default"), nullptr);
    RegisterElementFactory("other", std::make_unique<TOther>());
    ASSERT_NE(FindElementFactory("other"), nullptr);
    UnregisterElementFactory<TOther>();
    EXPECT_EQ(FindElementFactory("other"), nullptr);
    EXPECT_NE(FindElementFactory("default"), nullptr);
}

// ---- the hash table ------------------------------------------------------------------------

TEST(XpStrHash, DuplicateKeysAreRefusedAndTheTableGrowsAtThe237thKey) {
    TXpStrHash Table(0);
    int Values[300];
    EXPECT_TRUE(Table.Add(u"key", &Values[0]));
    EXPECT_FALSE(Table.Add(u"key", &Values[1]));
    EXPECT_EQ(Table.Count(), 1);
    EXPECT_EQ(Table.Find(u"key")->Value, &Values[0]);
    for (int N = 1; N < 236; ++N)
        Table.Add(u"k" + std::u16string(1, char16_t(N + 0x100)), &Values[N]);
    EXPECT_EQ(Table.Count(), 236);
    EXPECT_EQ(Table.BucketCount(), 59);
    Table.Add(u"the 237th", &Values[236]);
    EXPECT_EQ(Table.BucketCount(), 127);
    for (int N = 1; N < 236; ++N)
        EXPECT_EQ(Table.Find(u"k" + std::u16string(1, char16_t(N + 0x100)))->Value, &Values[N]);
    EXPECT_EQ(Table.Find(u"missing"), nullptr);
    std::vector<void*> Disposed;
    Table.OnDisposeData = [&](void* Value) { Disposed.push_back(Value); };
    Table.Clear();
    EXPECT_EQ(Disposed.size(), 237u);
    EXPECT_EQ(Table.Count(), 0);
    EXPECT_EQ(Table.Find(u"key"), nullptr);
}

TEST(XpStrHash, ElfHashOfTheUtf16BytesAndShrinkingStopsAtTheFirstSize) {
    const std::pair<std::u16string, uint32_t> Hashes[] = {{u"", 0},
                                                          {u"A", 0x410},
                                                          {u"function-available", 0x194F0},
                                                          {u"descendant-or-self::", 0x93A370}};
    for (const auto& [Key, Want] : Hashes) EXPECT_EQ(XpElfHash(Key), Want);
    struct TSized : TXpStrHash {
        using TXpStrHash::Resize;
        using TXpStrHash::TXpStrHash;
    };
    TSized Table(1);
    Table.Add(u"x", nullptr);
    Table.Resize(true);
    EXPECT_EQ(Table.BucketCount(), 257);
    Table.Resize(false);
    Table.Resize(false);
    EXPECT_EQ(Table.BucketCount(), 127);
    EXPECT_NE(Table.Find(u"x"), nullptr);
    EXPECT_EQ(TXpStrHash(99).BucketCount(), 2157587);
}

TEST(XpPointerList, OutsideTheListReadsNullAndWritesNothing) {
    TXpPointerList List;
    int A = 0, B = 0, C = 0;
    List.Add(&A);
    EXPECT_EQ(List.Capacity(), 64);
    List.Add(&B);
    List.Add(&C);
    List.SetItem(5, &A);
    EXPECT_EQ(List.Items(5), nullptr);
    EXPECT_EQ(List.Items(-1), nullptr);
    List.Delete(0);
    EXPECT_EQ(List.Items(0), &B);
    EXPECT_EQ(List.Count(), 2);
    TXpPointerList Copy;
    Copy.Assign(&List);
    EXPECT_EQ(Copy.Items(1), &C);
    for (int N = 0; N < 63; ++N) List.Add(nullptr);
    EXPECT_EQ(List.Capacity(), 128);
}

TEST(XpNames, XPathTokensAndWideStrings) {
    EXPECT_EQ(XpTokenOf(XpFunctionNames(), u"count"), 80);
    EXPECT_EQ(XpTokenOf(XpFunctionNames(), u"unparsed-entity-uri"), 189);
    EXPECT_EQ(XpTokenOf(XpFunctionNames(), u"Count"), 0);
    EXPECT_EQ(XpFunctionNames().Count(), 36);
    EXPECT_EQ(XpTokenOf(XpAxisNames(), u"self::"), 182);
    EXPECT_EQ(XpAxisNames().Count(), 13);
    EXPECT_EQ(XpCopy(u"abcdef", 2, 3), u"bcd");
    EXPECT_EQ(XpCopy(u"abcdef", 0, 2), u"ab");
    EXPECT_EQ(XpCopy(u"abcdef", 5, 10), u"ef");
    EXPECT_EQ(XpCopy(u"abcdef", 7, 1), u"");
    EXPECT_EQ(XpCopy(u"abcdef", 2, -1), u"");
    EXPECT_EQ(XpPos(u"cd", u"abcd"), 3);
    EXPECT_EQ(XpPos(u"\u00e9", u"caf\u00e9"), 4);
    EXPECT_EQ(XpPos(u"x", u"abcd"), 0);
    EXPECT_EQ(XpReplaceAll(u"a-b-c", u"-", u"--"), u"a--b--c");
    EXPECT_EQ(XpReplaceAll(u"aaa", u"aa", u"b"), u"ba");
}

}  // namespace
