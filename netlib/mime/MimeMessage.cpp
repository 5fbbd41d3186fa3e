// The message: its header fields, and decoding and encoding between the raw lines of the
// message stream and the fields and entity tree.
#include "netlib/mime/MimeMessage.h"

#include <algorithm>

#include "netlib/base/IpBase.h"
#include "netlib/mime/Limits.h"
#include "netlib/mime/MimeHeaders.h"

using namespace IpMimeHeaders;

namespace {

// Reads the message stream line by line; past the end it gives empty lines, as the stream does.
class LineReader {
  public:
    explicit LineReader(TIpAnsiTextStream& stream) : FStream(stream) {}
    bool AtEnd() { return FStream.AtEndOfStream(); }
    // False (and an empty line) when nothing was left to read.
    bool Read(std::string& line) {
        if (AtEnd()) {
            line.clear();
            return false;
        }
        line = FStream.ReadLine();
        return true;
    }

  private:
    TIpAnsiTextStream& FStream;
};

// Delimiter lines may carry trailing white space (RFC 2046).
std::string TrimRight(const std::string& s) {
    size_t e = s.size();
    while (e > 0 && (s[e - 1] == ' ' || s[e - 1] == '\t')) --e;
    return s.substr(0, e);
}

bool IsOpenDelimiter(const std::string& line, const std::string& boundary) {
    return !boundary.empty() && line.size() >= boundary.size() + 2 &&
           line.compare(0, 2, "--") == 0 && TrimRight(line) == "--" + boundary;
}

bool IsCloseDelimiter(const std::string& line, const std::string& boundary) {
    return !boundary.empty() && line.size() >= boundary.size() + 4 &&
           line.compare(0, 2, "--") == 0 && TrimRight(line) == "--" + boundary + "--";
}

// Reads lines into E from the message stream. `line` is the current line, passed between
// levels; `have` is false once the stream is used up with nothing left to hand back.
// `outer` holds the boundaries of E's grandparents and above: a delimiter of theirs ends E too,
// so a part that lacks its own closing line cannot swallow its parent's siblings.
void ParseEntity(TIpMimeEntity& e, LineReader& reader, std::string& line, bool& have, int depth,
                 const std::vector<std::string>& outer) {
    auto skipEmpty = [&] {
        reader.Read(line);
        while (line.empty() && !reader.AtEnd()) reader.Read(line);
        have = true;
    };
    skipEmpty();
    // Part headers follow a delimiter line and are recognised by their first line (the encoder
    // writes MIME-Version first). An entity without delimiter has its headers in the message's
    // header block; its body is all text, even when it is an enclosed message with headers.
    if (!e.ParentBoundary.empty() &&
        (StartsWithNoCase(line, "Content-") || StartsWithNoCase(line, "MIME-Version: "))) {
        std::vector<std::string> header{line};
        while (reader.Read(line) && !line.empty()) header.push_back(line);
        e.DecodeMimeHeaders(header);
        skipEmpty();
    }

    const std::string& parent = e.ParentBoundary;
    bool nest = e.IsMultipart && !e.Boundary.empty() && depth < MimeLimits::kMaxMimeDepth;
    std::vector<std::string> inner;
    if (nest) {
        inner = outer;
        if (!parent.empty()) inner.push_back(parent);
    }
    // A multipart's body is its preamble and epilogue. Like every body it starts with its first
    // line of text: blank lines after the closing delimiter do not open it.
    auto writeBody = [&] {
        if (line.empty() && e.Body.Size() == 0 && e.Parts.Count() > 0) return;
        e.Body.WriteLine(line);
    };
    while (have) {
        if (IsOpenDelimiter(line, parent)) return;  // a sibling begins
        if (std::any_of(outer.begin(), outer.end(), [&](const std::string& b) {
                return IsOpenDelimiter(line, b) || IsCloseDelimiter(line, b);
            }))
            return;
        if (IsCloseDelimiter(line, parent)) {  // the parent is closed
            have = reader.Read(line);
            return;
        }
        if (reader.AtEnd()) break;
        if (nest && IsOpenDelimiter(line, e.Boundary)) {
            auto* child = new TIpMimeEntity(&e);
            e.Parts.Add(child);
            ParseEntity(*child, reader, line, have, depth + 1, inner);
            continue;
        }
        writeBody();
        reader.Read(line);
    }
    if (have) writeBody();
}

void RewindBodies(TIpMimeEntity& e) {
    e.Body.Seek(0, soBeginning);
    for (int i = 0; i < e.Parts.Count(); ++i) RewindBodies(*e.Parts.Items(i));
}

// Copies a body's bytes into the output, ending with a line terminator.
void CopyBody(TIpAnsiTextStream& body, TIpAnsiTextStream& out) {
    body.Seek(0, soBeginning);
    char block[32768];
    char last = '\n';
    for (;;) {
        int64_t n = body.Read(block, sizeof block);
        if (n <= 0) break;
        out.WriteBuffer(block, n);
        last = block[n - 1];
    }
    if (last != '\r' && last != '\n') out.WriteLine("");
}

void WriteEntity(TIpMimeEntity& e, TIpAnsiTextStream& out) {
    if (!e.ParentBoundary.empty()) {
        out.WriteLine("--" + e.ParentBoundary);
        for (const auto& h : e.EncodeMimeHeaders())
            if (!h.empty()) out.WriteLine(h);
        for (int i = 0; i < e.OtherHeaders.Count(); ++i) out.WriteLine(e.OtherHeaders[i]);
        out.WriteLine("");
    }
    if (e.Body.Size() > 0) CopyBody(e.Body, out);
    if (e.Parts.Count() == 0) return;
    for (int i = 0; i < e.Parts.Count(); ++i) WriteEntity(*e.Parts.Items(i), out);
    // Children without a boundary (the body of a top-level attachment) have no delimiters.
    const std::string& closing = e.Parts.Items(e.Parts.Count() - 1)->ParentBoundary;
    if (!closing.empty()) out.WriteLine("--" + closing + "--");
}

void AddLines(TStringList& list, const Field& f) {
    for (const auto& line : f.Lines) list.Add(line);
}

void AddSplit(TStringList& list, const std::vector<std::string>& pieces) {
    for (const auto& p : pieces) list.Add(p);
}

std::vector<std::string> ListItems(const TStringList& list) {
    std::vector<std::string> items;
    for (int i = 0; i < list.Count(); ++i) items.push_back(list[i]);
    return items;
}

}  // namespace

// --- TIpMessage ------------------------------------------------------------------------------

TIpMessage::TIpMessage() : TIpMimeEntity(nullptr), MessageStream(new TMemoryStream) {}

TIpMessage::~TIpMessage() {
    MessageStream.FreeStream();
}

void TIpMessage::NewMessageStream() {
    MessageStream.FreeStream();
    MessageStream.SetStream(new TMemoryStream);
}

void TIpMessage::Clear() {
    TIpMimeEntity::Clear();
    for (TStringList* l :
         {&BCC, &CC, &Newsgroups, &Path, &Received, &MailTo, &References, &UserFields})
        l->Clear();
    for (std::string* s :
         {&Date, &From, &InReplyTo, &Keywords, &FollowupTo, &Control, &MessageID, &NNTPPostingHost,
          &Organization, &PostingHost, &ReplyTo, &ReturnPath, &Sender, &Subject})
        s->clear();
    NewMessageStream();
}

void TIpMessage::ClearMessage() {
    Clear();
    NewMessageStream();
}

void TIpMessage::LoadFromFile(const std::string& fileName) {
    Clear();
    NewMessageStream();
    {
        TFileStream file(fileName, fmOpenRead | fmShareDenyWrite);
        MessageStream.CopyFrom(file, 0);
    }
    try {
        DecodeMessage();
    } catch (const EIpBaseException&) {
        // The fields stay as far as decoding got; a damaged message still shows what it has.
    }
}

void TIpMessage::Assign(TIpMessage& source) {
    if (&source == this) return;
    ClearMessage();
    int64_t pos = source.MessageStream.Position();
    MessageStream.CopyFrom(source.MessageStream, 0);
    source.MessageStream.Seek(pos, soBeginning);
    MessageStream.Seek(0, soBeginning);
    DecodeMessage();
}

namespace {
// The header block: up to the first empty line after the first line.
std::vector<std::string> ReadHeader(LineReader& reader) {
    std::vector<std::string> header;
    std::string line;
    reader.Read(line);
    header.push_back(line);  // the first line counts even when empty
    while (reader.Read(line) && !line.empty()) header.push_back(line);
    return header;
}

const char* const SubjectName = "Subject: ";
}  // namespace

std::string TIpMessage::SubjectOf(const std::string& raw) {
    TMemoryStream bytes;
    if (!raw.empty()) bytes.WriteBuffer(raw.data(), int64_t(raw.size()));
    TIpAnsiTextStream text(&bytes);
    LineReader reader(text);
    // The first Subject field with a value, as DecodeMessage takes it.
    const size_t n = std::char_traits<char>::length(SubjectName);
    for (const Field& f : GroupFields(ReadHeader(reader)))
        if (!Matches(f, "X-") && Matches(f, SubjectName) && !TrimBlanks(Value(f, n)).empty())
            return Value(f, n);
    return std::string();
}

void TIpMessage::DecodeMessage() {
    MessageStream.Seek(0, soBeginning);
    LineReader reader(MessageStream);
    const std::vector<std::string> header = ReadHeader(reader);
    std::string line;

    // Fields the message names; the first of each single-valued one is taken, every other line
    // goes on to the MIME fields and from there to OtherHeaders.
    struct Single {
        const char* Name;
        std::string* Target;
    };
    const Single singles[] = {
        {"Date: ", &Date},
        {"From: ", &From},
        {"In-Reply-To: ", &InReplyTo},
        {"Followup-To: ", &FollowupTo},
        {"Keywords: ", &Keywords},
        {"Message-ID: ", &MessageID},
        {"NNTP-Posting-Host: ", &NNTPPostingHost},
        {"Organization: ", &Organization},
        {"Control: ", &Control},
        {"Posting-Host: ", &PostingHost},
        {"Reply-To: ", &ReplyTo},
        {"Return-Path: ", &ReturnPath},
        {"Sender: ", &Sender},
        {SubjectName, &Subject},
    };
    struct Addresses {
        const char* Name;
        TStringList* Target;
    };
    const Addresses addresses[] = {{"BCC: ", &BCC}, {"CC: ", &CC}, {"To: ", &MailTo}};

    std::vector<std::string> rest;
    std::vector<const char*> taken;
    auto firstTime = [&](const char* name) {
        if (std::find(taken.begin(), taken.end(), name) != taken.end()) return false;
        taken.push_back(name);
        return true;
    };
    for (const Field& f : GroupFields(header)) {
        bool used = false;
        if (Matches(f, "X-")) {
            AddLines(UserFields, f);
            continue;
        }
        for (const auto& s : singles) {
            size_t n = std::char_traits<char>::length(s.Name);
            if (Matches(f, s.Name)) {
                // An empty value would not be written back; the line is kept instead.
                if (!TrimBlanks(Value(f, n)).empty() && firstTime(s.Name)) {
                    *s.Target = Value(f, n);
                    used = true;
                }
                break;
            }
        }
        for (const auto& a : addresses) {
            size_t n = std::char_traits<char>::length(a.Name);
            if (!used && Matches(f, a.Name)) {
                auto pieces = SplitAddressList(Value(f, n));
                if (!pieces.empty() && firstTime(a.Name)) {
                    AddSplit(*a.Target, pieces);
                    used = true;
                }
                break;
            }
        }
        if (!used && Matches(f, "Received: ") && !TrimBlanks(Value(f, 10)).empty()) {
            Received.Add(Value(f, 10));
            used = true;
        } else if (!used && Matches(f, "Newsgroups: ")) {
            std::vector<std::string> groups;
            for (const auto& g : SplitOutsideQuotes(Value(f, 12), ','))
                if (!TrimBlanks(g).empty()) groups.push_back(TrimBlanks(g));
            if (!groups.empty() && firstTime("Newsgroups: ")) {
                AddSplit(Newsgroups, groups);
                used = true;
            }
        } else if (!used && (Matches(f, "References: ") || Matches(f, "Path: "))) {
            bool refs = Matches(f, "References: ");
            size_t n = refs ? 12 : 6;
            if (!TrimBlanks(Value(f, n)).empty() && firstTime(refs ? "References: " : "Path: ")) {
                TStringList& target = refs ? References : Path;
                std::string first = TrimBlanks(f.Lines.front().substr(n));
                if (!first.empty()) target.Add(first);
                for (size_t i = 1; i < f.Lines.size(); ++i)
                    if (!TrimBlanks(f.Lines[i]).empty()) target.Add(TrimBlanks(f.Lines[i]));
                used = true;
            }
        }
        if (!used) rest.insert(rest.end(), f.Lines.begin(), f.Lines.end());
    }

    DecodeMimeHeaders(rest);

    if (IsMime) {
        std::string current;
        bool have = true;
        if (ContentDisposition == "attachment") {
            // A message that is itself an attachment: the body goes into one child carrying
            // the message's content fields, as the attachment extraction expects.
            auto* child = new TIpMimeEntity(this);
            child->ContentType = ContentType;
            child->ContentSubtype = ContentSubtype;
            child->ContentDisposition = ContentDisposition;
            child->ContentDescription = ContentDescription;
            child->ContentTransferEncoding = ContentTransferEncoding;
            child->CharacterSet = CharacterSet;
            child->CreationDate = CreationDate;
            child->FileName = FileName;
            child->ContentName = ContentName;
            child->ModificationDate = ModificationDate;
            child->MimeVersion = MimeVersion;
            child->Size = Size;
            child->ReadDate = ReadDate;
            child->IsMime = true;
            child->IsMultipart = false;
            // Its body is all the rest of the message, delimiter lines included.
            child->ParentBoundary.clear();
            Parts.Add(child);
            ParseEntity(*child, reader, current, have, 1, {});
        } else {
            ParseEntity(*this, reader, current, have, 0, {});
        }
    } else {
        reader.Read(line);
        while (line.empty() && !reader.AtEnd()) reader.Read(line);
        Body.WriteLine(line);
        while (reader.Read(line)) Body.WriteLine(line);
    }
    RewindBodies(*this);
}

void TIpMessage::EncodeMessage() {
    NewMessageStream();
    if (!ContentType.empty()) {
        IsMime = true;
        if (MimeVersion.empty()) MimeVersion = "1.0";
    }
    std::vector<std::string> lines;
    auto single = [&](const char* name, const std::string& value) {
        if (!value.empty()) lines.push_back(name + value);
    };
    auto list = [&](const char* name, const TStringList& items, const char* sep, bool onePerLine) {
        if (items.Count() > 0) FoldItems(lines, name, ListItems(items), sep, onePerLine);
    };

    single("Return-Path: ", ReturnPath);
    for (int i = 0; i < Received.Count(); ++i) {
        std::vector<std::string> pieces;
        for (const auto& p : SplitOutsideQuotes(Received[i], '\t'))
            if (!TrimBlanks(p).empty()) pieces.push_back(TrimBlanks(p));
        for (size_t k = 0; k < pieces.size(); ++k) {
            std::string l = (k == 0 ? "Received: " : "\t") + pieces[k];
            if (k + 1 < pieces.size()) l += '\t';
            lines.push_back(l);
        }
    }
    list("Path: ", Path, ", ", true);
    list("Newsgroups: ", Newsgroups, ", ", true);
    single("Message-ID: ", MessageID);
    single("From: ", From);
    single("Reply-To: ", ReplyTo);
    single("Date: ", Date);
    list("To: ", MailTo, ", ", true);
    single("Subject: ", Subject);
    single("Organization: ", Organization);
    single("Control: ", Control);
    list("CC: ", CC, ", ", false);
    list("BCC: ", BCC, ", ", false);
    single("In-Reply-To: ", InReplyTo);
    single("Followup-To: ", FollowupTo);
    list("References: ", References, " ", false);
    single("Sender: ", Sender);
    single("Keywords: ", Keywords);
    // Decoded like the others, so written back like them.
    single("NNTP-Posting-Host: ", NNTPPostingHost);
    single("Posting-Host: ", PostingHost);
    for (int i = 0; i < UserFields.Count(); ++i) lines.push_back(UserFields[i]);
    if (IsMime)
        for (auto& h : EncodeMimeHeaders()) lines.push_back(std::move(h));
    for (int i = 0; i < OtherHeaders.Count(); ++i) lines.push_back(OtherHeaders[i]);

    if (lines.empty()) return;
    for (const auto& l : lines) MessageStream.WriteLine(l);
    MessageStream.WriteLine("");
    if (IsMime)
        WriteEntity(*this, MessageStream);
    else if (Body.Size() > 0)
        CopyBody(Body, MessageStream);
    MessageStream.Seek(0, soBeginning);
}

std::string TIpMessage::ReadLine() {
    if (!MessageStream.Stream()) return std::string();
    return MessageStream.AtEndOfStream() ? std::string() : MessageStream.ReadLine();
}

std::string TIpMessage::ReadLineCRLF() {
    return ReadLine() + "\r\n";
}

void TIpMessage::WriteLine(const std::string& text) {
    MessageStream.WriteLine(text);
}

void TIpMessage::SetPosition(int64_t offset) {
    MessageStream.Seek(offset, soBeginning);
}

int64_t TIpMessage::GetPosition() {
    return MessageStream.Stream() ? MessageStream.Position() : 0;
}

int64_t TIpMessage::GetMessageSize() {
    return MessageStream.Stream() ? MessageStream.Size() : 0;
}

bool TIpMessage::AtEndOfStream() {
    return !MessageStream.Stream() || MessageStream.AtEndOfStream();
}

TIpMimeEntity* TIpMessage::GetBodyPart(const std::string& subtype, bool create) {
    TIpMimeEntity* start = FindPart("multipart", "alternative");
    if (!start) start = this;
    return start->FindOrCreatePart("text", subtype, create);
}

TIpMimeEntity* TIpMessage::GetBodyPlain(bool create) {
    return GetBodyPart("plain", create);
}

TIpMimeEntity* TIpMessage::GetBodyHtml(bool create) {
    return GetBodyPart("html", create);
}

TIpMimeEntity* TIpMessage::AddAttachment(const std::string& fileName) {
    TIpMimeEntity* part = AddPart();
    size_t slash = fileName.find_last_of("/\\");
    part->ContentName = slash == std::string::npos ? fileName : fileName.substr(slash + 1);
    part->ContentDisposition = "attachment";
    part->EncodeBodyFile(fileName);
    return part;
}
