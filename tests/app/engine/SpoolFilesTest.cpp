#include "app/engine/SpoolFiles.h"

#include <algorithm>
#include <filesystem>
#include <set>

#include "EngineFixture.h"
#include "app/engine/SafeFile.h"
#include "app/engine/bfgconfig.h"
#include "netlib/mime/Codecs.h"
#include "netlib/mime/MimeMessage.h"
#include "platform/classes/Classes.h"
#include "platform/fs/Files.h"

namespace {

// A message whose raw stream holds exactly the given bytes, decoded.
std::unique_ptr<TIpMessage> RawMessage(const std::string& raw) {
    auto message = std::make_unique<TIpMessage>();
    message->NewMessageStream();
    message->MessageStream.WriteBuffer(raw.data(), int64_t(raw.size()));
    message->DecodeMessage();
    return message;
}

std::string RawText(TIpMessage& message) {
    message.MessageStream.Seek(0, soBeginning);
    std::string bytes(size_t(message.MessageStream.Size()), '\0');
    if (!bytes.empty()) message.MessageStream.ReadBuffer(bytes.data(), int64_t(bytes.size()));
    return bytes;
}

class SpoolFilesTest : public EngineTest {
  protected:
    // Writes an outgoing mail file and reads it back into Message, Helo and Recipients.
    void ReadOut(const std::string& name, const std::string& text) {
        WriteFile(Spool + name, text);
        ReadOutgoingMail(Message, Spool + name, Helo, Recipients);
    }
    TIpMessage Message;
    std::string Helo;
    std::vector<std::string> Recipients;

    void SetUp() override {
        EngineTest::SetUp();
        SpoolCounter = 0;
        Spool = ProgramDir() + "spool/";
        std::filesystem::create_directories(Spool);
    }
    std::string Spool;
};

// ---- rnews batches ----

TEST_F(SpoolFilesTest, BatchOfThreeArticlesIsByteExact) {
    const std::string a1 = "Subject: one\r\n\r\nfirst\r\n";
    const std::string a2 = "Subject: two\r\n\r\nsecond line\r\n\xE4\xF6\xFC\r\n";
    const std::string a3 = "Subject: three\r\n\r\n.\r\n";
    TMessageContainer container;
    container.Open(Spool + "m0.msg", false);
    for (const std::string& raw : {a1, a2, a3}) container.AddMessage(*RawMessage(raw));
    ASSERT_EQ(container.Count(), 3);
    // Written as they come, under the temporary name only.
    EXPECT_FALSE(FileExists(Spool + "m0.msg"));
    EXPECT_TRUE(FileExists(Spool + "m0.tmp"));

    container.SaveAsBatch();
    EXPECT_EQ(ReadFile(Spool + "m0.msg"),
              "#! rnews 23\n" + a1 + "#! rnews 34\n" + a2 + "#! rnews 21\n" + a3);
    EXPECT_FALSE(FileExists(Spool + "m0.tmp"));
    EXPECT_FALSE(container.IsOpen());
}

TEST_F(SpoolFilesTest, EmptyOrDroppedBatchLeavesNoFile) {
    TMessageContainer container;
    container.SaveAsBatch();  // never opened
    container.Open(Spool + "m0.msg", true);
    container.SaveAsBatch();
    EXPECT_TRUE(FindFiles(Spool, "*").empty());

    container.Open(Spool + "m1.msg", true);
    auto original = RawMessage("Subject: x\r\n\r\nbody\r\n");
    container.AddMessage(*original);
    original.reset();  // the batch holds the article itself
    EXPECT_EQ(container.GetMessage(0)->Subject, "x");
    EXPECT_THROW(container.GetMessage(1), ERangeError);
    container.Clear();
    EXPECT_EQ(container.Count(), 0);
    EXPECT_TRUE(FindFiles(Spool, "*").empty());
}

TEST_F(SpoolFilesTest, BatchNeverReplacesAnExistingFile) {
    WriteFile(Spool + "m0.msg", "older batch");
    TMessageContainer container;
    container.Open(Spool + "m0.msg", false);
    container.AddMessage(*RawMessage("Subject: x\r\n\r\nbody\r\n"));
    EXPECT_THROW(container.SaveAsBatch(), EWriteError);
    EXPECT_EQ(ReadFile(Spool + "m0.msg"), "older batch");
    // Not stored is not stored: nothing is left behind, the articles come again next run.
    EXPECT_FALSE(FileExists(Spool + "m0.tmp"));
}

TEST_F(SpoolFilesTest, SortBySubjectIgnoresOneShortPrefixAndCase) {
    TMessageContainer container;
    container.Open(Spool + "m0.msg", true);
    for (const char* subject : {"Re: b", "Fwd: a", "a", "AW: C", "  Re:  Re: d"})
        container.AddMessage(*RawMessage(std::string("Subject: ") + subject + "\r\n\r\nx\r\n"));
    container.Sort();
    std::vector<std::string> order;
    for (int i = 0; i < container.Count(); ++i) order.push_back(container.GetMessage(i)->Subject);
    EXPECT_EQ(order, (std::vector<std::string>{"a", "Re: b", "AW: C", "Fwd: a", "  Re:  Re: d"}))
        << "only one prefix goes: the last sorts as \"Re: d\", after \"Fwd: a\"";
}

// ---- spool names ----

TEST_F(SpoolFilesTest, SpoolNamesSkipExistingFilesAndNeverRepeat) {
    WriteFile(Spool + "m0.msg", "");
    WriteFile(Spool + "M1.MSG", "");  // the point program may write names in capitals
    const std::string first = NewSpoolFileName(ProgramDir() + "spool");
    EXPECT_EQ(first, "m2.msg");
    WriteFile(Spool + first, "");
    EXPECT_EQ(NewSpoolFileName(Spool), "m3.msg");
    EXPECT_EQ(SpoolCounter, 4);
}

// A temporary file a run left behind may still say its mail was never stored: a file written
// under its name would make that untrue.
TEST_F(SpoolFilesTest, SpoolNamesSkipTemporaryFilesLeftBehind) {
    WriteFile(Spool + "m0.tmp", "half");
    std::filesystem::create_directories(Spool + "m1.tmp");  // no file: a later write fails
    EXPECT_EQ(NewSpoolFileName(Spool), "m1.msg");
}

// A killed fetch leaves its group's batch under a temporary name, megabytes for a large group,
// or an empty file when it was killed before the batch's first write: the next run removes
// those, and only those. A mail written under a temporary name may still decide whether it was
// stored (FetchedMails.h), and other files are not the spool's.
TEST_F(SpoolFilesTest, StaleBatchesAreRemovedAndMailsAndOtherFilesStay) {
    const std::string Batch = "#! rnews 5\nhello";
    const std::set<std::string> MailTemps = {"m9.tmp"};
    WriteFile(Spool + "m1.tmp", Batch);
    WriteFile(Spool + "m2.sorted.tmp", Batch);
    WriteFile(Spool + "M3.TMP", Batch);
    WriteFile(Spool + "m4.tmp", "HELO host\r\nRCPT TO:<a@b>\r\nDATA\r\n");
    WriteFile(Spool + "m5.tmp", "");               // killed before its first byte
    WriteFile(Spool + "m6.msg", Batch);            // a batch under its name
    WriteFile(Spool + "mx.tmp", Batch);            // not a spool name
    WriteFile(Spool + "notes.sorted.tmp", Batch);  //
    WriteFile(Spool + "M7.TMP", "");               // not as the spool spells it
    WriteFile(Spool + "m9.tmp", "");               // a box's list of fetched mails names it
    EXPECT_EQ(RemoveStaleBatches(Spool, &MailTemps), 4);
    EXPECT_EQ(FindFiles(Spool, "*"),
              (std::vector<std::string>{"m4.tmp", "m6.msg", "M7.TMP", "m9.tmp", "mx.tmp",
                                        "notes.sorted.tmp"}));
    ASSERT_EQ(LogLines.size(), 4u);
    EXPECT_NE(LogLines[0].find(Spool + "m1.tmp"), std::string::npos) << LogLines[0];
    EXPECT_EQ(RemoveStaleBatches(Spool, &MailTemps), 0);
    // Without the boxes' lists no empty file is known to be a batch's.
    WriteFile(Spool + "m5.tmp", "");
    EXPECT_EQ(RemoveStaleBatches(Spool, nullptr), 0);
    EXPECT_TRUE(FileExists(Spool + "m5.tmp"));
}

// A batch being written by another Kestro that shares the spool is no leftover, empty or not.
TEST_F(SpoolFilesTest, ABatchAWriterHoldsStays) {
    const std::set<std::string> None;
    {
        TBufferedFile Written(Spool + "m1.tmp");
        TBufferedFile Empty(Spool + "m2.tmp");
        Written.Write("#! rnews 5\nhello");
        Written.Flush();
        EXPECT_EQ(RemoveStaleBatches(Spool, &None), 0);
        EXPECT_TRUE(FileExists(Spool + "m1.tmp"));
        EXPECT_TRUE(FileExists(Spool + "m2.tmp"));
    }
    EXPECT_EQ(RemoveStaleBatches(Spool, &None), 2);
}

// A killed fetch leaves a mail under its temporary name, empty or whole: that mail was never
// deleted on the server and comes again, so the copy would only pile up. A file a box's list of
// fetched mails names still decides whether its mail was stored, and what the spool does not
// spell as its own, what holds something else, and what a writer holds is not a leftover.
TEST_F(SpoolFilesTest, StaleMailsAreRemovedAndWhatAListNamesStays) {
    const std::string Mail = "HELO host\r\nRCPT TO:<a@b>\r\nDATA\r\nSubject: x\r\n";
    const std::set<std::string> MailTemps = {"m9.tmp", "m10.tmp"};
    WriteFile(Spool + "m1.tmp", Mail);
    WriteFile(Spool + "m2.tmp", "");
    WriteFile(Spool + "m3.tmp", "#! rnews 5\nhello");  // a batch: not a mail's
    WriteFile(Spool + "M4.TMP", Mail);                 // not as the spool spells it
    WriteFile(Spool + "m5.msg", Mail);                 // stored
    WriteFile(Spool + "m9.tmp", Mail);                 // named by a list
    WriteFile(Spool + "m10.tmp", "");
    WriteFile(Spool + "notes.tmp", Mail);
    TBufferedFile Held(Spool + "m11.tmp");
    Held.Write(Mail);
    Held.Flush();

    EXPECT_EQ(RemoveStaleMails(Spool, nullptr), 0) << "without the lists nothing is known";
    EXPECT_EQ(RemoveStaleMails(Spool, &MailTemps), 2);
    EXPECT_EQ(FindFiles(Spool, "*"),
              (std::vector<std::string>{"m10.tmp", "m11.tmp", "m3.tmp", "M4.TMP", "m5.msg",
                                        "m9.tmp", "notes.tmp"}));
    ASSERT_EQ(LogLines.size(), 2u);
    EXPECT_NE(LogLines[0].find("Nachricht " + Spool + "m1.tmp"), std::string::npos) << LogLines[0];
    Held.Close();
    EXPECT_EQ(RemoveStaleMails(Spool, &MailTemps), 1) << "its writer is gone";
}

// ---- mail script ----

TEST_F(SpoolFilesTest, MailScriptIsTheReceivedMailDotStuffed) {
    // The mail is written as it came: header order and form, empty lines at the start and end
    // of its body; only the script's dots and line ends are added.
    const std::string received =
        "subject: dots\nTo: \"Doe, Jane\" <x@example.org>,\n  y@example.org\n"
        "From: a@example.org\n\n\nfirst\n.\n..x\n\xE4\xF6\xFC\xDF\nlast\n\n";
    auto mail = RawMessage(received);
    WriteSpoolMail(*mail, Spool + "m0.tmp", "pop.example.org", " * ");
    EXPECT_EQ(ReadFile(Spool + "m0.tmp"),
              "HELO pop.example.org\r\n"
              "RCPT TO:<x@example.org>\r\n"
              "DATA\r\n"
              "subject: dots\r\n"
              "To: \"Doe, Jane\" <x@example.org>,\r\n"
              "  y@example.org\r\n"
              "From: a@example.org\r\n"
              "\r\n"
              "\r\n"
              "first\r\n"
              "..\r\n"
              "...x\r\n"
              "\xE4\xF6\xFC\xDF\r\n"
              "last\r\n"
              "\r\n");
}

TEST_F(SpoolFilesTest, MailScriptEnvelopeIsABareAddress) {
    const struct {
        const char* To;  // the mail's To header, or nullptr for none
        const char* Envelope;
        std::string Recipient;
    } cases[] = {
        {"x@example.org", "", DefaultEnvelope},
        {"x@example.org", " me@example.org ", "me@example.org"},
        {"x@example.org, y@example.org", "*", "x@example.org"},
        {"\"Muster, Anna\" <anna@example.net>, b@example.org", "*", "anna@example.net"},
        {"=?UTF-8?B?TXVzdGVyLCBBbm5h?= <point@example.org>", "*", "point@example.org"},
        {"=?utf-8?q?Muster,_Anna?= <anna@example.net>", "*", "anna@example.net"},
        {"anna@example.net (Anna, Vertrieb)", "*", "anna@example.net"},
        {"Team: a@example.org, b@example.org;", "*", "a@example.org"},
        {"undisclosed-recipients:;", "*", DefaultEnvelope},
        {"undisclosed-recipients:;, late@example.org", "*", "late@example.org"},
        {"Anna Muster", "*", DefaultEnvelope},
        {nullptr, "*", DefaultEnvelope},
    };
    for (const auto& c : cases) {
        auto mail = RawMessage(std::string("From: a@example.org\r\n") +
                               (c.To ? std::string("To: ") + c.To + "\r\n" : "") +
                               "Subject: s\r\n\r\nbody\r\n");
        EXPECT_EQ(SpoolEnvelope(*mail, c.Envelope), c.Recipient) << (c.To ? c.To : "(no To)");
        WriteSpoolMail(*mail, Spool + "a.tmp", "h", c.Envelope);
        EXPECT_EQ(ReadFile(Spool + "a.tmp").substr(0, 30 + c.Recipient.size()),
                  "HELO h\r\nRCPT TO:<" + c.Recipient + ">\r\nDATA\r\nFrom")
            << (c.To ? c.To : "(no To)");
    }
    // A field needs no blank after its colon: "To:x@example.org" names the recipient.
    auto compact = RawMessage("From:a@example.org\r\nTo:x@example.org\r\n\r\nbody\r\n");
    EXPECT_EQ(SpoolEnvelope(*compact, "*"), "x@example.org");
}

// ---- outgoing mail ----

TEST_F(SpoolFilesTest, OutgoingMailWithOneRecipient) {
    ReadOut("M0001.OUT",
            "HELO point.example.org\r\nMAIL FROM:<me@example.org>\r\n"
            "RCPT TO:<you@example.org>\r\nDATA\r\nSubject: hi\r\n\r\nbody\r\n.\r\nQUIT\r\n");
    EXPECT_EQ(Helo, "point.example.org");
    EXPECT_EQ(Recipients, std::vector<std::string>{"<you@example.org>"});
    EXPECT_EQ(Message.Subject, "hi");
    EXPECT_EQ(RawText(Message), "Subject: hi\r\n\r\nbody\r\n");

    // Seven lines: the message is the fifth line alone.
    ReadOut("M0002.OUT",
            "HELO h\r\nMAIL FROM:<a@b>\r\nRCPT TO:<c@d>\r\nDATA\r\n"
            "Subject: one line\r\n.\r\nQUIT\r\n");
    EXPECT_EQ(RawText(Message), "Subject: one line\r\n");
}

TEST_F(SpoolFilesTest, OutgoingMailWithThreeRecipientsAndStuffedLines) {
    ReadOut("M0003.OUT",
            "HELO h\nMAIL FROM:<me@example.org>\nRCPT TO:<to@example.org>\n"
            "RCPT TO:<cc@example.org>\nrcpt to:<bcc@example.org>\nDATA\n"
            "To: to@example.org\nCC: cc@example.org\nSubject: three\n\n"
            "..\n...x\n..hidden\n.\nQUIT\n");
    EXPECT_EQ(Recipients, (std::vector<std::string>{"<to@example.org>", "<cc@example.org>",
                                                    "<bcc@example.org>"}));
    const std::string raw = RawText(Message);
    EXPECT_EQ(raw.find("RCPT"), std::string::npos) << "envelope lines stay out of the message";
    EXPECT_NE(raw.find("\r\n\r\n.\r\n..x\r\n.hidden\r\n"), std::string::npos) << raw;
    EXPECT_EQ(Message.Subject, "three");
}

// Lines end at LF alone: a CR inside a line stays in it, and would end the HELO or RCPT command
// made of it early, the rest of the line going to the server as a command of its own.
TEST_F(SpoolFilesTest, OutgoingMailEnvelopeHoldsNoControlCharacters) {
    ReadOut("M0004.OUT",
            "HELO point\rQUIT\x07\nRCPT TO:<a@example.org>\rRSET\nRCPT TO:<b@exa\tmple.org>\n"
            "DATA\nSubject: s\n\nbody\n.\nQUIT\n");
    EXPECT_EQ(Helo, "pointQUIT");
    EXPECT_EQ(Recipients, (std::vector<std::string>{"<a@example.org>RSET", "<b@example.org>"}));
}

TEST_F(SpoolFilesTest, OutgoingMailInFromForm) {
    Helo = "stale";
    Recipients = {"stale"};
    ReadOut("M1.OUT", "From me@example.org\r\nSubject: f\r\n\r\nline1\r\nline2\r\n");
    EXPECT_EQ(Helo, "");
    EXPECT_TRUE(Recipients.empty());
    EXPECT_EQ(RawText(Message), "Subject: f\r\n\r\nline1\r\nline2\r\n") << "no line is lost";

    ReadOut("M2.OUT", "from me\r\nSubject: f\r\n\r\nline1\r\n.\r\nQUIT\r\n");
    EXPECT_EQ(RawText(Message), "Subject: f\r\n\r\nline1\r\n");
}

TEST_F(SpoolFilesTest, TruncatedOutgoingMailRaisesAndStays) {
    const std::string error = ErrorOf<EReadError>([&] {
        ReadOut("M3.OUT", "HELO h\r\nMAIL FROM:<a@b>\r\nRCPT TO:<c@d>\r\nDATA\r\nSubject: cut");
    });
    EXPECT_NE(error.find("unvollständig"), std::string::npos) << error;
    EXPECT_TRUE(FileExists(Spool + "M3.OUT"));
    EXPECT_THROW(ReadOut("M4.OUT", "HELO h\r\nMAIL FROM:<a@b>\r\n"), EReadError);
    EXPECT_THROW(ReadOutgoingMail(Message, Spool + "M5.OUT", Helo, Recipients), EFOpenError);

    // A broken MIME structure is no broken file: the mail goes out as written.
    const std::string mail = "To: c@d\r\nContent-Type: multipart/mixed\r\n\r\n--x\r\nbody\r\n";
    ReadOut("M6.OUT", "HELO h\r\nRCPT TO:<c@d>\r\nDATA\r\n" + mail + ".\r\nQUIT\r\n");
    Message.EncodeMessage();
    EXPECT_EQ(RawText(Message), mail);
}

// ---- request.id ----

std::string Record(uint8_t active, uint8_t tries, uint8_t boxLength, const std::string& box,
                   uint8_t idLength, const std::string& id) {
    std::string r(RequestRecordSize, '\0');
    r[0] = char(active);
    r[1] = char(tries);
    r[2] = char(boxLength);
    r.replace(3, std::min<size_t>(box.size(), 8), box.substr(0, 8));
    r[11] = char(idLength);
    r.replace(12, id.size(), id);
    return r;
}

TEST_F(SpoolFilesTest, RequestedMessageIDsForTheBox) {
    const std::string records[] = {
        Record(1, 0, 5, "POINT", 7, "<a@b.c>"),
        Record(0, 3, 5, "point", 7, "<b@b.c>"),       // unused, but counted
        Record(1, 254, 1, "*", 7, "<c@b.c>"),         // every box
        Record(1, 255, 5, "other", 7, "<d@b.c>"),     // another box; 255 stays
        Record(1, 1, 200, "*garbage", 7, "<e@b.c>"),  // length byte clamped to 8
        Record(1, 0, 5, "point", 9, "<f\r\n@b.c>"),   // would break the command line
        Record(1, 0, 5, "point", 8, "<g @b.c>"),      // blank
        Record(1, 0, 5, "point", 0, ""),              // empty
    };
    std::string file;
    for (const auto& r : records) file += r;
    file += "torn";
    WriteFile(ProgramDir() + "request.id", file);

    TStringList ids;
    GetRequestedMessageIDs(PointDir() + "point.cfg", ids);
    EXPECT_EQ(ids.Text(), "<a@b.c>\r\n<c@b.c>\r\n<e@b.c>\r\n");

    const std::string after = ReadFile(ProgramDir() + "request.id");
    ASSERT_EQ(after.size(), file.size());
    const uint8_t expectedTries[] = {1, 4, 255, 255, 2, 1, 1, 1};
    for (size_t i = 0; i < 8; ++i)
        EXPECT_EQ(uint8_t(after[i * RequestRecordSize + 1]), expectedTries[i]) << "record " << i;
    EXPECT_EQ(after.substr(8 * RequestRecordSize), "torn");
}

TEST_F(SpoolFilesTest, NoRequestFileAddsNothing) {
    TStringList ids;
    GetRequestedMessageIDs("point.cfg", ids);
    EXPECT_EQ(ids.Count(), 0);
}

// ---- attachments ----

std::unique_ptr<TIpMessage> MailWithAttachment(const std::string& fileName,
                                               const std::string& type = "application/octet-stream",
                                               const std::string& base64 = "aGVsbG8gd29ybGQ=") {
    return RawMessage(
        "From: a@example.org\r\nSubject: att\r\nMIME-Version: 1.0\r\n"
        "Content-Type: multipart/mixed; boundary=\"XX\"\r\n\r\n"
        "--XX\r\nContent-Type: text/plain\r\n\r\nhello\r\n"
        "--XX\r\nContent-Type: " +
        type +
        "\r\nContent-Transfer-Encoding: base64\r\n"
        "Content-Disposition: attachment; filename=" +
        fileName + "\r\n\r\n" + base64 + "\r\n--XX--\r\n");
}

std::vector<std::string> PartLines(TIpMimeEntity& part) {
    TStringList lines;
    part.DecodeBodyStrings(lines);
    std::vector<std::string> result;
    for (int i = 0; i < lines.Count(); ++i) result.push_back(lines[i]);
    return result;
}

class AttachmentTest : public SpoolFilesTest {
  protected:
    void SetUp() override {
        SpoolFilesTest::SetUp();
        Extract = ProgramDir() + "files/";
        std::filesystem::create_directories(Extract);
        Box.ExtractAttach = true;
        Box.DeleteAttach = true;
        Box.ExtractPath = Extract;
    }
    std::vector<std::string> Listing(const std::string& dir) const {
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(dir))
            names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }
    std::string Extract;
    TKestroConfig Box;
};

TEST_F(AttachmentTest, SavesTheFileAndLeavesANotice) {
    auto mail = MailWithAttachment("report.bin");
    ExtractAttachments(*mail, Box);
    EXPECT_EQ(ReadFile(Extract + "report.bin"), "hello world");
    TIpMimeEntity& part = *mail->Parts.Items(1);
    EXPECT_EQ(part.FileName, "");
    EXPECT_EQ(
        PartLines(part),
        (std::vector<std::string>{
            "Die Datei report.bin (MIME-Typ: application/octet-stream) wurde von Kestro in das",
            "Verzeichnis " + Extract + " extrahiert."}));
    EXPECT_EQ(PartLines(*mail->Parts.Items(0)), std::vector<std::string>{"hello"});

    // The same attachment again: still one file, and the notice names it.
    auto again = MailWithAttachment("report.bin");
    ExtractAttachments(*again, Box);
    EXPECT_EQ(Listing(Extract), std::vector<std::string>{"report.bin"});
    EXPECT_NE(PartLines(*again->Parts.Items(1))[0].find("Datei report.bin "), std::string::npos);

    // Other content under the same name goes beside it.
    auto other = MailWithAttachment("report.bin", "application/octet-stream", "b3RoZXI=");
    ExtractAttachments(*other, Box);
    EXPECT_EQ(ReadFile(Extract + "report.bin.1"), "other");
    EXPECT_NE(PartLines(*other->Parts.Items(1))[0].find("Datei report.bin.1 "), std::string::npos);
}

TEST_F(AttachmentTest, TheNoticeChangesItsPartAndNothingElse) {
    const std::string head =
        "Received: from a\r\n\tby b\r\nsubject: files\r\nMIME-Version: 1.0\r\n"
        "Content-Type: multipart/mixed; boundary=\"XX\"\r\n\r\n\r\npreamble\r\n"
        "--XX\r\nContent-Type: text/plain; charset=\"UTF-8\"\r\n\r\n\r\nhello\r\n";
    const std::string tail = "--XX--\r\nepilogue\r\n";
    const std::string received = head +
                                 "--XX\r\nContent-Type: image/png; name=\"bild.png\"\r\n"
                                 "Content-Transfer-Encoding: base64\r\n"
                                 "Content-Disposition: attachment; filename=\"bild.png\"\r\n"
                                 "\r\naGVsbG8gd29ybGQ=\r\n" +
                                 tail;
    Box.DeleteAttach = false;
    auto kept = RawMessage(received);
    EXPECT_FALSE(ExtractAttachments(*kept, Box)) << "saved only: the mail stays as received";
    EXPECT_EQ(ReadFile(Extract + "bild.png"), "hello world");

    Box.DeleteAttach = true;
    auto mail = RawMessage(received);
    EXPECT_TRUE(ExtractAttachments(*mail, Box));
    mail->EncodeMessage();
    const std::string notice =
        "Die Datei bild.png (MIME-Typ: image/png) wurde von Kestro in das\r\n"
        "Verzeichnis " +
        Extract + " extrahiert.\r\n";
    const std::string lines = InLines(Base64EncodeString(notice), 76);
    EXPECT_EQ(RawText(*mail), head +
                                  "--XX\r\nContent-Type: image/png; name=\"bild.png\"\r\n"
                                  "Content-Transfer-Encoding: base64\r\n"
                                  "Content-Disposition: attachment; size=" +
                                  std::to_string(notice.size()) + "\r\n\r\n" + lines + tail);
}

TEST_F(AttachmentTest, HostileNamesStayInsideTheDirectory) {
    const std::string outside = ProgramDir();
    const auto before = Listing(outside);
    struct Case {
        std::string name;
        std::string savedAs;  // empty: refused
    } cases[] = {{"../../x", "x"}, {"C:\\y", "y"}, {"a/b", "b"},
                 {"..", ""},       {"dir/.", ""},  {"\"t\x01\x1Fz\"", "tz"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto mail = MailWithAttachment(c.name);
        ExtractAttachments(*mail, Box);
        TIpMimeEntity& part = *mail->Parts.Items(1);
        if (c.savedAs.empty()) {
            EXPECT_EQ(part.FileName, c.name) << "a refused part stays as it was";
            EXPECT_EQ(PartLines(part), std::vector<std::string>{"hello world"});
        } else {
            EXPECT_EQ(ReadFile(Extract + c.savedAs), "hello world");
        }
    }
    EXPECT_EQ(Listing(Extract), (std::vector<std::string>{"b", "tz", "x", "y"}));
    EXPECT_EQ(Listing(outside), before);
    EXPECT_EQ(LogLines.size(), 2u);

    // A part without a file name is not an attachment at all, nor is one named by blanks; a
    // last component of blanks is refused like "..".
    for (const char* name : {"", "\" \"", "\"   \"", "\"dir/ \""}) {
        SCOPED_TRACE(name);
        auto unnamed = MailWithAttachment(name);
        ExtractAttachments(*unnamed, Box);
        EXPECT_EQ(PartLines(*unnamed->Parts.Items(1)), std::vector<std::string>{"hello world"});
    }
    EXPECT_EQ(Listing(Extract), (std::vector<std::string>{"b", "tz", "x", "y"}));
    EXPECT_EQ(LogLines.size(), 3u);  // only "dir/ " was a name, and it is refused
}

TEST_F(AttachmentTest, VCardAndMissingDirectory) {
    Box.IgnoreVCard = true;
    auto card = MailWithAttachment("me.vcf", "text/x-vcard");
    ExtractAttachments(*card, Box);
    EXPECT_TRUE(Listing(Extract).empty()) << "an ignored vCard is not saved";
    EXPECT_EQ(PartLines(*card->Parts.Items(1))[0],
              "Die Datei me.vcf (MIME-Typ: text/x-vcard) wurde von Kestro in das");

    Box.ExtractPath = ProgramDir() + "missing";
    Box.DeleteAttach = false;
    auto mail = MailWithAttachment("a.bin");
    ExtractAttachments(*mail, Box);
    EXPECT_EQ(Box.ExtractPath, ProgramDir());
    EXPECT_EQ(ReadFile(ProgramDir() + "a.bin"), "hello world");
    EXPECT_EQ(mail->Parts.Items(1)->FileName, "a.bin") << "no notice without DeleteAttach";
}

// Many mailers write base64 (and quoted-printable) in lines longer than the encoding allows:
// the attachment is saved whole all the same, as the viewer shows such text.
TEST_F(AttachmentTest, LinesLongerThanTheEncodingAllowsAreSavedWhole) {
    std::string content;
    for (int i = 0; i < 270; ++i) content += char(i * 7 + 3);
    auto mail = MailWithAttachment("long.bin", "application/octet-stream",
                                   InLines(Base64EncodeString(content), 120));
    EXPECT_TRUE(ExtractAttachments(*mail, Box));
    EXPECT_EQ(ReadFile(Extract + "long.bin"), content);
    EXPECT_EQ(PartLines(*mail->Parts.Items(1))[0],
              "Die Datei long.bin (MIME-Typ: application/octet-stream) wurde von Kestro in das");

    const std::string text(200, 'q');
    auto quoted = RawMessage(
        "Subject: qp\r\nMIME-Version: 1.0\r\nContent-Type: multipart/mixed; boundary=\"XX\"\r\n\r\n"
        "--XX\r\nContent-Type: text/plain\r\nContent-Transfer-Encoding: quoted-printable\r\n"
        "Content-Disposition: attachment; filename=long.txt\r\n\r\n" +
        text + "=\r\n=41\r\n--XX--\r\n");
    ExtractAttachments(*quoted, Box);
    EXPECT_EQ(ReadFile(Extract + "long.txt"), text + "A\r\n");
    EXPECT_TRUE(LogLines.empty());
}

// A part that cannot be decoded even so is logged with its file name and stays in the message as
// it came; the other parts are handled as ever, and the message is stored.
TEST_F(AttachmentTest, APartThatCannotBeDecodedStaysAsItCame) {
    auto mail = RawMessage(
        "Subject: broken\r\nMIME-Version: 1.0\r\nContent-Type: multipart/mixed; boundary=\"XX\"\r\n"
        "\r\n--XX\r\nContent-Type: application/octet-stream\r\nContent-Transfer-Encoding: "
        "uuencoded\r\nContent-Disposition: attachment; filename=broken.bin\r\n\r\n"
        "begin 644 broken.bin\r\nMxx\r\nend\r\n"
        "--XX\r\nContent-Type: application/octet-stream\r\nContent-Transfer-Encoding: base64\r\n"
        "Content-Disposition: attachment; filename=good.bin\r\n\r\naGVsbG8gd29ybGQ=\r\n--XX--\r\n");
    EXPECT_TRUE(ExtractAttachments(*mail, Box));
    EXPECT_EQ(Listing(Extract), std::vector<std::string>{"good.bin"});
    TIpMimeEntity& broken = *mail->Parts.Items(0);
    EXPECT_EQ(broken.FileName, "broken.bin");
    TStringList body;
    broken.Body.Seek(0, soBeginning);
    while (!broken.Body.AtEndOfStream()) body.Add(broken.Body.ReadLine());
    EXPECT_EQ(body.Text(), "begin 644 broken.bin\r\nMxx\r\nend\r\n");
    EXPECT_EQ(mail->Parts.Items(1)->FileName, "") << "the good part got its notice";
    ASSERT_EQ(LogLines.size(), 1u);
    EXPECT_NE(LogLines[0].find(Extract + "broken.bin"), std::string::npos) << LogLines[0];
    EXPECT_NE(LogLines[0].find("bleibt in der Nachricht"), std::string::npos) << LogLines[0];

    // Encoded again, the broken part is there as received.
    mail->EncodeMessage();
    EXPECT_NE(RawText(*mail).find("begin 644 broken.bin\r\nMxx\r\nend\r\n"), std::string::npos)
        << RawText(*mail);
}

}  // namespace
