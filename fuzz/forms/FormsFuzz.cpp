// Feeds arbitrary bytes to the definition parser. What parses must print in canonical form and
// parse back to the same tree; it is then read into the test components (errors are fine, crashes
// and leaks are not), and what was read is written, read again and written the same way.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "platform/forms/Filer.h"
#include "platform/forms/FormText.h"
#include "tests/platform/forms/TestComponents.h"

namespace {

// The root when the read succeeds; errors of the reader and of the components' own checks are
// expected outcomes.
TComponent* Read(const TFormObject& Tree) {
    try {
        return TReader(Tree, "fuzz").ReadRootComponent(nullptr);
    } catch (const Exception&) {
        return nullptr;
    }
}

void CheckWrittenBack(TComponent* Root) {
    std::string Written;
    try {
        Written = WriteComponentToText(Root);
    } catch (const EFormWriteError&) {
        return;
    }
    TComponent* Again = nullptr;
    try {
        Again = ReadComponentFromText(Written, nullptr, "written");
    } catch (const Exception&) {
        return;  // e.g. an inline component is written as a plain one
    }
    const std::string Rewritten = WriteComponentToText(Again);
    Again->Free();
    if (Rewritten != Written) {
        std::fprintf(stderr, "written:\n%s\nwritten again:\n%s\n", Written.c_str(),
                     Rewritten.c_str());
        std::abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
    RegisterTestComponents();
    const std::string_view Text(reinterpret_cast<const char*>(Data), Size);
    TFormObject Tree;
    try {
        Tree = ParseFormText(Text, "fuzz");
    } catch (const EParserError&) {
        return 0;
    }
    // A parsed tree holds only what the text form can hold.
    const std::string Printed = PrintFormText(Tree);
    const TFormObject Reparsed = ParseFormText(Printed);
    if (!(Reparsed == Tree) || PrintFormText(Reparsed) != Printed) std::abort();

    TestLog().clear();
    if (TComponent* Root = Read(Tree)) {
        CheckWrittenBack(Root);
        Root->Free();
    }
    return 0;
}
