// Feeds arbitrary bytes to the kestro.xml reader as a file's text. What opens must take writes
// and erases, and what it saves must open again to the same elements (for files whose element
// names are plain words: a hand-made name can change its meaning once written back).
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "components/store/XMLStoreDocument.h"
#include "platform/classes/Classes.h"

namespace {

std::vector<std::string> LinesOf(const uint8_t* Data, size_t Size) {
    TStringList List;
    List.SetText(std::string(reinterpret_cast<const char*>(Data), Size));
    std::vector<std::string> Lines;
    for (int N = 0; N < List.Count(); ++N) Lines.push_back(List[N]);
    return Lines;
}

bool PlainNames(const TXMLStoreDocument& Document) {
    for (const TElement& Element : Document.Elements()) {
        const size_t From = Element.IsClosing() ? 1 : 0;
        if (Element.Name.size() <= From) return false;
        for (size_t N = From; N < Element.Name.size(); ++N) {
            const unsigned char C = Element.Name[N];
            if (!std::isalnum(C) && C != '_') return false;
        }
    }
    return true;
}

bool SameElements(const TXMLStoreDocument& A, const TXMLStoreDocument& B) {
    if (A.Elements().size() != B.Elements().size()) return false;
    for (size_t N = 0; N < A.Elements().size(); ++N) {
        const TElement& X = A.Elements()[N];
        const TElement& Y = B.Elements()[N];
        if (X.Name != Y.Name || X.Indent != Y.Indent || X.HasClosing != Y.HasClosing) return false;
        // A branch line's stray value is not written back.
        if (!X.HasClosing && X.Value.value_or("") != Y.Value.value_or("")) return false;
    }
    return true;
}

void CheckSavedOpensAgain(const TXMLStoreDocument& Document) {
    if (!PlainNames(Document)) return;
    TXMLStoreDocument Again;
    Again.Load(Document.Save());  // raises (and so fails the run) when it does not open
    if (!SameElements(Document, Again)) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
    TXMLStoreDocument Document;
    try {
        Document.Load(LinesOf(Data, Size));
    } catch (const EXMLStoreError&) {
        return 0;
    }
    CheckSavedOpensAgain(Document);
    const std::string First = Document.Elements().size() > 2 ? Document.Elements()[1].Name : "X";
    (void)Document.Read(First, "Flags", "");
    (void)Document.Read("TFormMain", "Grid.Rows", "");
    const std::pair<const char*, const char*> Writes[] = {
        {"Flags", "1"}, {"Grid.Rows", ""}, {"Grid.Rows", "12"}, {"NormalPos", "a \"b\" c"}};
    for (const auto& [Item, Value] : Writes) {
        for (const std::string& Section : {First, std::string("TFormFuzz")}) {
            try {
                Document.Write(Section, Item, Value);
            } catch (const EXMLStoreError&) {
            }
        }
    }
    CheckSavedOpensAgain(Document);
    Document.EraseSection(First);
    CheckSavedOpensAgain(Document);
    return 0;
}
