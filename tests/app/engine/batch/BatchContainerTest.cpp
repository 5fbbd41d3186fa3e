// The batch container writes each article to the batch's temporary file as it arrives and keeps
// the subject only (for the sort): the batch must hold the same bytes, the subject must be the
// one the message decoder reads, and the sort must keep the order of equal subjects.
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "app/engine/SpoolFiles.h"
#include "netlib/mime/MimeMessage.h"
#include "platform/fs/Files.h"
#include "tests/app/engine/EngineFixture.h"

namespace {

std::unique_ptr<TIpMessage> RawMessage(const std::string& raw) {
    auto message = std::make_unique<TIpMessage>();
    message->MessageStream.WriteBuffer(raw.data(), int64_t(raw.size()));
    message->DecodeMessage();
    return message;
}

std::string Slurp(const std::string& name) {
    std::ifstream in(name, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

std::string Batch(const std::vector<std::string>& articles) {
    std::string bytes;
    for (const std::string& a : articles)
        bytes += "#! rnews " + std::to_string(a.size()) + "\n" + a;
    return bytes;
}

class BatchContainerTest : public EngineTest {
  protected:
    void SetUp() override {
        EngineTest::SetUp();
        SpoolCounter = 0;
        Spool = ProgramDir() + "spool/";
        std::filesystem::create_directories(Spool);
    }
    std::string Spool;
};

}  // namespace

TEST_F(BatchContainerTest, SubjectIsTheOneTheDecoderReads) {
    const std::vector<std::string> raws = {
        "Subject: folded\r\n\tsecond half\r\nFrom: a@b\r\n\r\nbody\r\n",
        "X-Subject: not this\r\nSubject:  \r\nSubject: the second, the first is empty\r\n\r\nx\r\n",
        "Subject: first\r\nSubject: second\r\n\r\nSubject: in the body\r\n",
        "From: a@b\r\n\r\nSubject: only in the body\r\n",
        "subject: lower case name\r\n\r\n",
        "Subject: no body, no line end",
        "\r\nSubject: after an empty first line\r\n\r\n",
        "Subject: LF only\n\nbody\n",
        "",
    };
    TMessageContainer container;
    container.Open(Spool + "m0.msg", true);
    for (const std::string& raw : raws) {
        auto message = RawMessage(raw);
        container.AddMessage(*message);
        const TContainerArticle& held = *container.GetMessage(container.Count() - 1);
        EXPECT_EQ(held.Subject, message->Subject) << raw;
        EXPECT_EQ(held.Size, int64_t(raw.size()));
    }
    container.SaveAsBatch();
    EXPECT_EQ(Slurp(Spool + "m0.msg"), Batch(raws));
}

TEST_F(BatchContainerTest, SortedAndUnsortedBatchesHoldTheSameArticlesByteForByte) {
    const std::vector<std::string> raws = {
        "Subject: Re: beta\r\nMessage-ID: <1@x>\r\n\r\nfirst beta\r\n",
        "Subject: alpha\r\nMessage-ID: <2@x>\r\n\r\n\xE4\xF6\xFC\r\n.\r\n",
        "Subject: beta\r\nMessage-ID: <3@x>\r\n\r\nsecond beta\r\n",
        "Subject: AW: Alpha\r\nMessage-ID: <4@x>\r\n\r\nsecond alpha\r\n",
        "Message-ID: <5@x>\r\n\r\nno subject\r\n",
    };
    TMessageContainer unsorted, sorted;
    unsorted.Open(Spool + "m0.msg", false);
    sorted.Open(Spool + "m1.msg", true);
    for (const std::string& raw : raws) {
        auto message = RawMessage(raw);
        message->MessageStream.Seek(7, soBeginning);
        unsorted.AddMessage(*message);
        EXPECT_EQ(message->MessageStream.Position(), 7) << "the caller's position stays";
        sorted.AddMessage(*message);
    }
    sorted.Sort();
    unsorted.SaveAsBatch();
    sorted.SaveAsBatch();
    EXPECT_EQ(Slurp(Spool + "m0.msg"), Batch(raws));
    // Equal keys keep their order: "Re: beta" before "beta", "alpha" before "AW: Alpha".
    EXPECT_EQ(Slurp(Spool + "m1.msg"), Batch({raws[4], raws[1], raws[3], raws[0], raws[2]}));
    // The sorted batch was copied from the unsorted file; neither is left.
    EXPECT_EQ(FindFiles(Spool, "*.tmp"), std::vector<std::string>{});
}

TEST_F(BatchContainerTest, ManyFilesInTheSpoolChangeNoName) {
    // Names of any case the point program left behind are still skipped, however many files
    // the directory holds, and a batch never replaces one of them.
    for (int i = 0; i < 3000; ++i) std::ofstream(Spool + "x" + std::to_string(i) + ".dat") << "";
    std::ofstream(Spool + "M0.MSG") << "point";
    std::ofstream(Spool + "m1.Msg") << "point";
    EXPECT_EQ(NewSpoolFileName(Spool), "m2.msg");

    TMessageContainer container;
    container.Open(Spool + "m0.msg", false);
    container.AddMessage(*RawMessage("Subject: x\r\n\r\nbody\r\n"));
    EXPECT_THROW(container.SaveAsBatch(), EWriteError);
    EXPECT_EQ(Slurp(Spool + "M0.MSG"), "point");
    EXPECT_FALSE(FileExists(Spool + "m0.tmp"));  // a batch not stored leaves nothing behind

    container.Open(Spool + "m2.msg", false);
    container.AddMessage(*RawMessage("Subject: x\r\n\r\nbody\r\n"));
    container.SaveAsBatch();
    EXPECT_EQ(Slurp(Spool + "m2.msg"), Batch({"Subject: x\r\n\r\nbody\r\n"}));
    EXPECT_FALSE(FileExists(Spool + "m2.tmp"));
    EXPECT_EQ(FindFiles(Spool, "m*.*").size(), 3u);
}
