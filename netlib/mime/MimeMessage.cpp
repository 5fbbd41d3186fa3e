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

// Whether a line can open a part's header: a field name and a colon.
bool LooksLikeField(const std::string& line) {
    const size_t colon = line.find(':');
    if (colon == 0 || colon == std::string::npos) return false;
    return std::all_of(line.begin(), line.begin() + long(colon), [](char c) {
        return static_cast<unsigned char>(c) > ' ' && static_cast<unsigned char>(c) < 127;
    });
}

struct ParseState {
    explicit ParseState(LineReader& reader) : Reader(reader) {}
    LineReader& Reader;
    std::string Line;   // the current line, passed between levels
    bool Have = false;  // Line holds a line not yet used
    bool MissingBoundary = false;
    void Next() { Have = Reader.Read(Line); }
};

// Reads E from the message stream. `stops` are the boundaries of E's parent and above: a
// delimiter line of any of them ends E (without being used), so a part that lacks its own
// closing line cannot swallow its parent's siblings. Every line lands somewhere (header, body,
// preamble, epilogue or a delimiter), so that encoding can give the message back as it came.
void ParseEntity(TIpMimeEntity& e, ParseState& p, int depth,
                 const std::vector<std::string>& stops) {
    auto ends = [&](const std::string& line) {
        return std::any_of(stops.begin(), stops.end(), [&](const std::string& b) {
            return IsOpenDelimiter(line, b) || IsCloseDelimiter(line, b);
        });
    };
    e.Layout.Decoded = true;
    if (!e.ParentBoundary.empty()) {
        // The current line is the delimiter that opened the part; its header follows, up to
        // an empty line. A part without header starts with that empty line.
        e.Layout.OpenLine = p.Line;
        p.Next();
        std::vector<std::string> header;
        if (p.Have && LooksLikeField(p.Line) && !ends(p.Line)) {
            do {
                header.push_back(p.Line);
                p.Next();
            } while (p.Have && !p.Line.empty() && !ends(p.Line));
        }
        e.DecodeMimeHeaders(header);
        e.Layout.Separator = p.Have && p.Line.empty();
        if (e.Layout.Separator) p.Next();
    } else {
        p.Next();
    }
    if (e.IsMultipart && e.Boundary.empty()) p.MissingBoundary = true;

    const bool nest = e.IsMultipart && !e.Boundary.empty() && depth < MimeLimits::kMaxMimeDepth;
    std::vector<std::string> inner;
    if (nest) {
        inner = stops;
        inner.push_back(e.Boundary);
    }
    bool closed = false;
    while (p.Have) {
        if (ends(p.Line)) return;
        if (nest && !closed && IsOpenDelimiter(p.Line, e.Boundary)) {
            auto* child = new TIpMimeEntity(&e);
            e.Parts.Add(child);
            ParseEntity(*child, p, depth + 1, inner);
            continue;
        }
        if (nest && !closed && IsCloseDelimiter(p.Line, e.Boundary)) {
            e.Layout.CloseLine = p.Line;
            closed = true;
        } else if (closed) {
            e.Epilogue += p.Line;
            e.Epilogue += "\r\n";
        } else {
            e.Body.WriteLine(p.Line);
        }
        p.Next();
    }
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

// A delimiter line as received while it still belongs to the boundary, else the plain one.
std::string Delimiter(const std::string& received, const std::string& plain) {
    return TrimRight(received) == plain ? received : plain;
}

void WriteEntity(TIpMimeEntity& e, TIpAnsiTextStream& out) {
    if (!e.ParentBoundary.empty()) {
        out.WriteLine(Delimiter(e.Layout.OpenLine, "--" + e.ParentBoundary));
        std::vector<std::string> header = e.HeaderLines();
        for (const auto& h : header)
            if (!h.empty()) out.WriteLine(h);
        if (e.WritesSeparator(!header.empty())) out.WriteLine("");
    }
    if (e.Body.Size() > 0) CopyBody(e.Body, out);
    for (int i = 0; i < e.Parts.Count(); ++i) WriteEntity(*e.Parts.Items(i), out);
    if (e.Layout.Decoded) {
        // A multipart that came without closing line (cut short) gets none.
        if (!e.Layout.CloseLine.empty())
            out.WriteLine(Delimiter(e.Layout.CloseLine, "--" + e.Boundary + "--"));
    } else if (e.Parts.Count() > 0) {
        // Children without a boundary (the body of a top-level attachment) have no delimiters.
        const std::string& closing = e.Parts.Items(e.Parts.Count() - 1)->ParentBoundary;
        if (!closing.empty()) out.WriteLine("--" + closing + "--");
    }
    if (!e.Epilogue.empty()) out.WriteBuffer(e.Epilogue.data(), int64_t(e.Epilogue.size()));
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

TIpMessage::TIpMessage() : TIpMimeEntity(nullptr), MessageStream(new TIpChunkedStream) {}

TIpMessage::~TIpMessage() {
    MessageStream.FreeStream();
}

void TIpMessage::NewMessageStream() {
    MessageStream.FreeStream();
    MessageStream.SetStream(new TIpChunkedStream);
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
// The header block: up to the first empty line after the first line. separator tells whether
// that empty line came (a HEAD reply ends without one); empty when the stream is.
std::vector<std::string> ReadHeader(LineReader& reader, bool& separator) {
    std::vector<std::string> header;
    std::string line;
    separator = false;
    if (!reader.Read(line)) return header;
    header.push_back(line);  // the first line counts even when empty
    while (reader.Read(line)) {
        if (line.empty()) {
            separator = true;
            break;
        }
        header.push_back(line);
    }
    return header;
}

const char* const SubjectName = "Subject: ";
const char* const ReceivedKey = "Received: #";
const char* const UserFieldKey = "X-#";

// The model's fields of the message header: name, then the field it fills.
struct Single {
    const char* Name;
    std::string TIpMessage::*Target;
};
const Single Singles[] = {
    {"Date: ", &TIpMessage::Date},
    {"From: ", &TIpMessage::From},
    {"In-Reply-To: ", &TIpMessage::InReplyTo},
    {"Followup-To: ", &TIpMessage::FollowupTo},
    {"Keywords: ", &TIpMessage::Keywords},
    {"Message-ID: ", &TIpMessage::MessageID},
    {"NNTP-Posting-Host: ", &TIpMessage::NNTPPostingHost},
    {"Organization: ", &TIpMessage::Organization},
    {"Control: ", &TIpMessage::Control},
    {"Posting-Host: ", &TIpMessage::PostingHost},
    {"Reply-To: ", &TIpMessage::ReplyTo},
    {"Return-Path: ", &TIpMessage::ReturnPath},
    {"Sender: ", &TIpMessage::Sender},
    {SubjectName, &TIpMessage::Subject},
};
struct AddressList {
    const char* Name;
    TStringList TIpMessage::*Target;
};
const AddressList AddressLists[] = {
    {"BCC: ", &TIpMessage::BCC}, {"CC: ", &TIpMessage::CC}, {"To: ", &TIpMessage::MailTo}};
}  // namespace

std::string TIpMessage::SubjectOf(const std::string& raw) {
    TMemoryStream bytes;
    if (!raw.empty()) bytes.WriteBuffer(raw.data(), int64_t(raw.size()));
    TIpAnsiTextStream text(&bytes);
    LineReader reader(text);
    bool separator = false;
    // The first Subject field with a value, as DecodeMessage takes it.
    for (const Field& f : GroupFields(ReadHeader(reader, separator)))
        if (!Matches(f, "X-") && Matches(f, SubjectName) &&
            !TrimBlanks(Value(f, SubjectName)).empty())
            return Value(f, SubjectName);
    return std::string();
}

void TIpMessage::DecodeHeader(const std::vector<std::string>& header) {
    Layout.Header.clear();
    // An empty first line opens the header block; it is written back as it stands.
    if (!header.empty() && header.front().empty()) Layout.Header.push_back(TIpHeaderItem{"", {""}});

    // The first of each single-valued field is taken, every other line goes on to the MIME
    // fields and from there to OtherHeaders.
    std::vector<std::string> rest;
    std::vector<size_t> restAt;  // where in Layout.Header each field of rest stands
    std::vector<const char*> taken;
    auto firstTime = [&](const char* name) {
        if (std::find(taken.begin(), taken.end(), name) != taken.end()) return false;
        taken.push_back(name);
        return true;
    };
    size_t userFields = KeptFieldCount(UserFields);
    for (Field& f : GroupFields(header)) {
        std::string key;
        if (Matches(f, "X-")) {
            AddLines(UserFields, f);
            Layout.Header.push_back(
                TIpHeaderItem{UserFieldKey + std::to_string(userFields++), std::move(f.Lines)});
            continue;
        }
        for (const auto& single : Singles) {
            if (Matches(f, single.Name)) {
                // An empty value would not be written back; the line is kept instead.
                std::string value = Value(f, single.Name);
                if (!TrimBlanks(value).empty() && firstTime(single.Name)) {
                    this->*single.Target = std::move(value);
                    key = single.Name;
                }
                break;
            }
        }
        for (const auto& a : AddressLists) {
            if (key.empty() && Matches(f, a.Name)) {
                auto pieces = SplitAddressList(Value(f, a.Name));
                if (!pieces.empty() && firstTime(a.Name)) {
                    AddSplit(this->*a.Target, pieces);
                    key = a.Name;
                }
                break;
            }
        }
        if (!key.empty()) {
            // taken above
        } else if (Matches(f, "Received: ") && !TrimBlanks(Value(f, "Received: ")).empty()) {
            key = ReceivedKey + std::to_string(Received.Count());
            Received.Add(Value(f, "Received: "));
        } else if (Matches(f, "Newsgroups: ")) {
            std::vector<std::string> groups;
            for (const auto& g : SplitOutsideQuotes(Value(f, "Newsgroups: "), ','))
                if (!TrimBlanks(g).empty()) groups.push_back(TrimBlanks(g));
            if (!groups.empty() && firstTime("Newsgroups: ")) {
                AddSplit(Newsgroups, groups);
                key = "Newsgroups: ";
            }
        } else if (Matches(f, "References: ") || Matches(f, "Path: ")) {
            bool refs = Matches(f, "References: ");
            const char* name = refs ? "References: " : "Path: ";
            if (!TrimBlanks(Value(f, name)).empty() && firstTime(name)) {
                TStringList& target = refs ? References : Path;
                std::string first = TrimBlanks(FirstLineValue(f, name));
                if (!first.empty()) target.Add(first);
                for (size_t i = 1; i < f.Lines.size(); ++i)
                    if (!TrimBlanks(f.Lines[i]).empty()) target.Add(TrimBlanks(f.Lines[i]));
                key = name;
            }
        }
        if (key.empty()) {
            rest.insert(rest.end(), f.Lines.begin(), f.Lines.end());
            restAt.push_back(Layout.Header.size());
        }
        Layout.Header.push_back(TIpHeaderItem{std::move(key), std::move(f.Lines)});
    }

    std::vector<std::string> restKeys = DecodeMimeFields(rest);
    for (size_t i = 0; i < restAt.size() && i < restKeys.size(); ++i)
        Layout.Header[restAt[i]].Key = restKeys[i];
}

std::vector<TIpHeaderItem> TIpMessage::DecodedItems() const {
    TIpMessage decoded;
    decoded.DecodeHeader(ReceivedLines());
    return decoded.HeaderItems();
}

void TIpMessage::DecodeMessage() {
    MessageStream.Seek(0, soBeginning);
    LineReader reader(MessageStream);
    Layout = TIpEntityLayout{};
    bool separator = false;
    DecodeHeader(ReadHeader(reader, separator));
    Layout.Separator = separator;
    Layout.Decoded = true;

    ParseState state(reader);
    if (IsMime && ContentDisposition == "attachment") {
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
        ParseEntity(*child, state, 1, {});
    } else {
        // Every body line counts, the empty ones at its start too; an empty body stays empty.
        ParseEntity(*this, state, 0, {});
    }
    RewindBodies(*this);
    // Reported when everything else is in place: a caller that forgives it (LoadFromFile)
    // still holds the whole message, the multipart's content as its body.
    if (state.MissingBoundary) throw EIpBaseException("No Mime boundary");
}

std::vector<TIpHeaderItem> TIpMessage::HeaderItems() const {
    std::vector<TIpHeaderItem> items;
    auto single = [&](const char* name, const std::string& value) {
        if (!value.empty()) items.push_back(TIpHeaderItem{name, {name + value}});
    };
    auto list = [&](const char* name, const TStringList& entries, const char* sep,
                    bool onePerLine) {
        if (entries.Count() == 0) return;
        TIpHeaderItem item{name, {}};
        FoldItems(item.Lines, name, ListItems(entries), sep, onePerLine);
        items.push_back(std::move(item));
    };

    single("Return-Path: ", ReturnPath);
    for (int i = 0; i < Received.Count(); ++i) {
        std::vector<std::string> pieces;
        for (const auto& p : SplitOutsideQuotes(Received[i], '\t'))
            if (!TrimBlanks(p).empty()) pieces.push_back(TrimBlanks(p));
        TIpHeaderItem item{ReceivedKey + std::to_string(i), {}};
        for (size_t k = 0; k < pieces.size(); ++k) {
            std::string l = (k == 0 ? "Received: " : "\t") + pieces[k];
            if (k + 1 < pieces.size()) l += '\t';
            item.Lines.push_back(l);
        }
        if (!item.Lines.empty()) items.push_back(std::move(item));
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
    for (auto& item : KeptItems(UserFields, UserFieldKey)) items.push_back(std::move(item));
    // The message's own header always names its MIME version.
    for (auto& item : MimeItems(true)) items.push_back(std::move(item));
    for (auto& item : OtherItems()) items.push_back(std::move(item));
    return items;
}

void TIpMessage::EncodeMessage() {
    NewMessageStream();
    if (!ContentType.empty()) {
        IsMime = true;
        if (MimeVersion.empty()) MimeVersion = "1.0";
    }
    const std::vector<std::string> lines = HeaderLines();
    if (lines.empty()) return;
    for (const auto& l : lines) MessageStream.WriteLine(l);
    if (WritesSeparator(true)) MessageStream.WriteLine("");
    WriteEntity(*this, MessageStream);
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
