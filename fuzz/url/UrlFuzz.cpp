// Feeds arbitrary text to the URL parser, and two texts (cut at the first line end) to the
// resolver. Whatever the text, the record holds what its fields promise: a port of decimal
// digits only, a path that is never empty, and a parse of the same text gives the same record.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "netlib/base/IpUtils.h"

namespace {

[[noreturn]] void Fail(const char* What, const std::string& Url) {
    std::fprintf(stderr, "%s: %s\n", What, Url.c_str());
    std::abort();
}

bool Same(const TIpAddrRec& A, const TIpAddrRec& B) {
    return A.Scheme == B.Scheme && A.UserName == B.UserName && A.Password == B.Password &&
           A.Authority == B.Authority && A.Port == B.Port && A.Path == B.Path &&
           A.Fragment == B.Fragment && A.Query == B.Query && A.QueryDelim == B.QueryDelim;
}

void Parse(const std::string& Url) {
    TIpAddrRec Addr;
    const bool Accepted = ParseURL(Url, Addr);
    if (Addr.Path.empty()) Fail("a parse left the path empty", Url);
    for (char C : Addr.Port)
        if (C < '0' || C > '9') Fail("the port holds more than digits", Url);
    TIpAddrRec Again;
    Again.QueryDelim = Addr.QueryDelim;
    if (ParseURL(Url, Again) != Accepted || !Same(Addr, Again))
        Fail("the same text parsed twice gave two records", Url);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
    const std::string Text(reinterpret_cast<const char*>(Data), Size);
    Parse(Text);
    const size_t Cut = Text.find('\n');
    const std::string Base = Text.substr(0, Cut);
    const std::string Relative = Cut == std::string::npos ? std::string() : Text.substr(Cut + 1);
    const std::string Resolved = BuildURL(Base, Relative);
    Parse(Resolved);
    return 0;
}
