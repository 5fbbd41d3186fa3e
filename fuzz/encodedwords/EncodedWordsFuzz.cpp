// Feeds arbitrary header values to the decoder of encoded words. Whatever the value, what is
// shown is never longer than what came (a word always decodes to fewer characters than it is
// written in), carries no control character that the value did not hold as text, and a value
// without "=?" comes back as it is.
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "netlib/mime/EncodedWords.h"

namespace {

[[noreturn]] void Fail(const char* What, const std::string& Value) {
    std::fprintf(stderr, "%s: %s\n", What, Value.c_str());
    std::abort();
}

std::array<size_t, 32> ControlCounts(const std::string& Text) {
    std::array<size_t, 32> Counts{};
    for (const char C : Text)
        if (static_cast<unsigned char>(C) < 32) ++Counts[static_cast<unsigned char>(C)];
    return Counts;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
    const std::string Value(reinterpret_cast<const char*>(Data), Size);
    const std::string Shown = DecodeEncodedWords(Value);
    if (Shown.size() > Value.size()) Fail("the shown text is longer than the value", Value);
    const std::array<size_t, 32> Before = ControlCounts(Value);
    const std::array<size_t, 32> After = ControlCounts(Shown);
    for (size_t C = 0; C < 32; ++C)
        if (After[C] > Before[C]) Fail("a decoded word brought a control character", Value);
    if (Value.find("=?") == std::string::npos && Shown != Value)
        Fail("a value without encoded words changed", Value);
    return 0;
}
