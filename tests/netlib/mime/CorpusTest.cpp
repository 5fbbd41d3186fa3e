// Round trips over a corpus of real-world messages written by others: the e-mail test messages
// that Debian ships with Python's test suite (package libpython3.11-testsuite).
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "netlib/base/IpBase.h"
#include "netlib/mime/MimeHeaders.h"
#include "netlib/mime/MimeMessage.h"
#include "tests/netlib/mime/MimeTestUtil.h"
#include "tests/support/TestSupport.h"

using namespace MimeTest;

namespace {

const char CorpusDir[] = "/usr/lib/python3.11/test/test_email/data";

// Messages the model refuses to decode, with the reason. Decoding raises for them, but what it
// holds afterwards is still the whole message (loading from a file goes on with it).
const std::map<std::string, std::string> Refused = {
    // Its Content-Type is cut off after "bo": a multipart without boundary.
    {"msg_25.txt", "multipart/report without boundary"},
    // Its boundary is given only in the RFC 2231 form (boundary*=...), which the model does
    // not read, so the multipart has no boundary either.
    {"msg_33.txt", "multipart/signed with an RFC 2231 boundary"},
    // "Content-Type: multipart/alternative;" with nothing after it.
    {"msg_41.txt", "multipart/alternative without boundary"},
};

std::vector<std::filesystem::path> CorpusFiles() {
    std::vector<std::filesystem::path> files;
    std::error_code ec;
    for (const auto& entry : std::filesystem::directory_iterator(CorpusDir, ec)) {
        std::string name = entry.path().filename().string();
        if (name.rfind("msg_", 0) == 0 && entry.path().extension() == ".txt")
            files.push_back(entry.path());
    }
    std::sort(files.begin(), files.end());
    return files;
}

std::string ReadFile(const std::filesystem::path& p) {
    std::ifstream in(p, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

}  // namespace

// Decoding and encoding again gives every message back byte for byte, with the line ends of
// the message stream (CR LF); a second pass changes nothing either.
TEST(MimeCorpus, RealWorldMessagesComeBackUnchanged) {
    std::vector<std::filesystem::path> files = CorpusFiles();
    if (files.empty())
        GTEST_SKIP() << "corpus missing: install the Debian package libpython3.11-testsuite ("
                     << CorpusDir << ")";
    for (const auto& path : files) {
        const std::string name = path.filename().string();
        SCOPED_TRACE(name);
        const std::string text = ReadFile(path);
        TIpMessage m;
        Load(m, text);
        const std::string error = ErrorOf([&] { m.DecodeMessage(); });
        EXPECT_EQ(error, Refused.count(name) ? "No Mime boundary" : "");
        const std::string dump = Dump(m);
        m.EncodeMessage();
        const std::string once = Raw(m);
        EXPECT_EQ(once, WithCrLf(text));

        TIpMessage again;
        Load(again, once);
        ErrorOf([&] { again.DecodeMessage(); });
        EXPECT_EQ(Dump(again), dump);
    }
    EXPECT_GT(files.size(), 40u);
}
