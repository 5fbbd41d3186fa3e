#include "app/engine/SpoolFiles.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <fstream>

#include "app/engine/EngineLog.h"
#include "app/engine/SafeFile.h"
#include "app/engine/SpoolLimits.h"
#include "app/engine/bfgconfig.h"
#include "netlib/base/IpBase.h"
#include "netlib/base/IpUtils.h"
#include "netlib/mime/MailAddresses.h"
#include "netlib/mime/MimeMessage.h"
#include "platform/classes/Classes.h"
#include "platform/fs/Files.h"
#include "platform/system/ProgramDirectory.h"

int32_t SpoolCounter = 0;

namespace {

// What every mail script begins with.
const std::string MailScriptHead = "HELO ";

char LowerAscii(char c) {
    return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c;
}
// The string form comes from the library base; this overload would hide it here.
using ::LowerAscii;

bool StartsWithNoCase(const std::string& text, const char* prefix) {
    const size_t n = std::strlen(prefix);
    if (text.size() < n) return false;
    for (size_t i = 0; i < n; ++i)
        if (LowerAscii(text[i]) != LowerAscii(prefix[i])) return false;
    return true;
}

// The whole raw text of the message.
std::string RawText(TIpMessage& message) {
    TStream& stream = message.MessageStream;
    stream.Seek(0, soBeginning);
    std::string bytes(size_t(stream.Size()), '\0');
    if (!bytes.empty()) stream.ReadBuffer(bytes.data(), int64_t(bytes.size()));
    return bytes;
}

// Splits at LF, dropping one CR before it; a last line without terminator counts, an empty
// piece after the final terminator does not.
std::vector<std::string> SplitLines(const std::string& bytes) {
    std::vector<std::string> lines;
    size_t start = 0;
    while (start < bytes.size()) {
        size_t end = bytes.find('\n', start);
        const size_t next = end == std::string::npos ? bytes.size() : end + 1;
        if (end == std::string::npos) end = bytes.size();
        if (end > start && bytes[end - 1] == '\r' && end < bytes.size()) --end;
        lines.push_back(bytes.substr(start, end - start));
        start = next;
    }
    return lines;
}

// A file that cannot be written whole (a full disk) is removed: no half of it stays under its
// name. The error names the file and the reason.
void WriteFileBytes(const std::string& fileName, const std::string& bytes) {
    try {
        TBufferedFile file(fileName);
        file.Write(bytes);
        file.Close();
    } catch (const EWriteError&) {
        ::unlink(ResolvePath(fileName).c_str());
        throw;
    }
}

std::string ReadFileBytes(const std::string& fileName, int64_t limit) {
    TFileStream file(fileName, fmOpenRead | fmShareDenyWrite);
    const int64_t size = file.Size();
    if (size > limit)
        throw EReadError("Die Datei " + fileName + " ist zu groß (" + std::to_string(size) +
                         " Bytes)");
    std::string bytes(size_t(size), '\0');
    if (size > 0) file.ReadBuffer(bytes.data(), size);
    return bytes;
}

// ---- subject sort ----

// Case folding of Windows-1252 text: ASCII and the accented capitals.
uint8_t FoldCase(uint8_t c) {
    if (c >= 'A' && c <= 'Z') return uint8_t(c + 32);
    if (c >= 0xC0 && c <= 0xDE && c != 0xD7) return uint8_t(c + 32);
    if (c == 0x8A || c == 0x8C || c == 0x8E) return uint8_t(c + 16);
    if (c == 0x9F) return 0xFF;
    return c;
}

// The subject without one reply prefix: a ":" among the first three characters ends it, so
// "Re:" and "AW:" go while "Fwd:" stays.
std::string SortSubject(const std::string& subject) {
    std::string text = TrimControls(subject);
    const size_t colon = text.find(':');
    if (colon != std::string::npos && colon < 3) text = TrimControls(text.substr(colon + 1));
    for (char& c : text) c = char(FoldCase(uint8_t(c)));
    return text;
}

// ---- attachments ----

bool SameContent(const std::string& fileName, const std::string& content) {
    if (FileSizeOf(fileName) != int64_t(content.size())) return false;
    try {
        return ReadFileBytes(fileName, int64_t(content.size())) == content;
    } catch (const EStreamError&) {
        return false;
    }
}

// Saves content as target, or beside it as target.1, target.2, ... when target exists. A copy
// already there with the same content is reused. Returns the name of the file that holds the
// content, or empty after logging when no file could be created.
std::string SaveAttachment(const std::string& target, const std::string& content) {
    std::string candidate = target;
    for (int copy = 0; copy <= SpoolLimits::kMaxAttachmentCopies; ++copy) {
        if (copy > 0) candidate = target + "." + std::to_string(copy);
        if (FileExists(candidate)) {
            if (SameContent(candidate, content)) return candidate;
            continue;
        }
        try {
            WriteFileBytes(candidate, content);
            return candidate;
        } catch (const EStreamError&) {
            break;
        }
    }
    EngineLog("Datei " + candidate + " konnte nicht erstellt werden");
    return std::string();
}

// Saves the part's decoded content as target (SaveAttachment). A part that cannot be decoded
// even so is no reason to lose its message: it is logged and stays in the message as it came.
std::string SaveDecoded(TIpMimeEntity& part, const std::string& target) {
    std::string content;
    try {
        content = AttachmentContent(part);
    } catch (const std::exception& e) {
        EngineLog("Anhang " + target +
                  " konnte nicht dekodiert werden und bleibt in der Nachricht (" + e.what() + ")");
        return std::string();
    }
    return SaveAttachment(target, content);
}

bool IsVCard(const TIpMimeEntity& part) {
    return LowerAscii(part.ContentType) == "text" && LowerAscii(part.ContentSubtype) == "x-vcard";
}

void ReplaceByNotice(TIpMimeEntity& part, const std::string& name, const std::string& dir) {
    const std::string mimeType = part.ContentType + "/" + part.ContentSubtype;
    TStringList notice;
    notice.Add("Die Datei " + name + " (MIME-Typ: " + mimeType + ") wurde von Kestro in das");
    notice.Add("Verzeichnis " + dir + " extrahiert.");
    part.FileName.clear();
    part.EncodeBodyStrings(notice, std::string());
    part.FileName.clear();
}

// True when a notice replaced the part or one of its own parts.
bool HandlePart(TIpMimeEntity& part, TKestroConfig& box) {
    bool replaced = false;
    // A name of blanks (or control characters) only names nothing: the part has no file name.
    if (!TrimControls(part.FileName).empty()) {
        const std::string name = SafeAttachmentName(part.FileName);
        std::string noticeName = name.empty() ? StripControls(part.FileName) : name;
        bool failed = false;
        if (box.ExtractAttach && !(box.IgnoreVCard && IsVCard(part))) {
            if (!DirectoryExists(box.ExtractPath)) box.ExtractPath = ProgramDirectory();
            const std::string target = IncludeTrailingPathDelimiter(box.ExtractPath) + name;
            if (name.empty()) {
                // Never write where an untrusted name points; the part stays in the mail.
                EngineLog("Datei " + target + StripControls(part.FileName) +
                          " konnte nicht erstellt werden");
                failed = true;
            } else {
                const std::string saved = SaveDecoded(part, target);
                failed = saved.empty();
                if (!failed) noticeName = ExtractFileName(saved);
            }
        }
        if (box.DeleteAttach && !failed) {
            ReplaceByNotice(part, noticeName, box.ExtractPath);
            replaced = true;
        }
    }
    for (int i = 0; i < part.Parts.Count(); ++i) replaced |= HandlePart(*part.Parts.Items(i), box);
    return replaced;
}

}  // namespace

// ---- TMessageContainer -----------------------------------------------------------------------

namespace {

// Copies size bytes at position of source to target, in blocks.
void CopyRange(TFileStream& source, int64_t position, int64_t size, TBufferedFile& target) {
    static constexpr int64_t kBlock = 256 * 1024;
    std::string block;
    source.Seek(position, soBeginning);
    while (size > 0) {
        block.resize(size_t(std::min(size, kBlock)));
        source.ReadBuffer(block.data(), int64_t(block.size()));
        target.Write(block);
        size -= int64_t(block.size());
    }
}

std::string RnewsLine(int64_t size) {
    return "#! rnews " + std::to_string(size) + "\n";
}

}  // namespace

TMessageContainer::~TMessageContainer() {
    try {
        Clear();
    } catch (...) {
        // Only a temporary file is left behind.
    }
}

std::string TMessageContainer::TempName() const {
    return ChangeFileExt(FFileName, ".tmp");
}

std::string TMessageContainer::SortedTempName() const {
    return ChangeFileExt(FFileName, ".sorted.tmp");
}

void TMessageContainer::Open(const std::string& fileName, bool sortable) {
    Clear();
    FFileName = fileName;
    FSortable = sortable;
    FFile = std::make_unique<TBufferedFile>(TempName());
}

void TMessageContainer::AddMessage(TIpMessage& message) {
    if (!FFile)
        throw EWriteError(
            "Kein Stapel ge\xC3\xB6"
            "ffnet");
    // The message's stream position belongs to the caller.
    const int64_t position = message.MessageStream.Position();
    const std::string text = RawText(message);
    message.MessageStream.Seek(position, soBeginning);
    try {
        FFile->Write(RnewsLine(int64_t(text.size())));
        if (FSortable)
            Items.push_back({TIpMessage::SubjectOf(text), FFile->Size(), int64_t(text.size())});
        FFile->Write(text);
    } catch (...) {
        Clear();
        throw;
    }
    ++FCount;
}

void TMessageContainer::Clear() {
    Items.clear();
    FCount = 0;
    FSorted = false;
    FComplete = false;
    if (!FFile) return;
    FFile.reset();
    DeleteFile(TempName());
    DeleteFile(SortedTempName());
}

const TContainerArticle* TMessageContainer::GetMessage(int index) const {
    if (index < 0 || size_t(index) >= Items.size())
        throw ERangeError(
            "Listenindex \xC3\xBC"
            "berschreitet das Maximum (" +
            std::to_string(index) + ")");
    return &Items[size_t(index)];
}

void TMessageContainer::Sort() {
    std::vector<std::pair<std::string, size_t>> keyed;
    keyed.reserve(Items.size());
    for (size_t i = 0; i < Items.size(); ++i) keyed.emplace_back(SortSubject(Items[i].Subject), i);
    std::stable_sort(keyed.begin(), keyed.end(), [](const auto& a, const auto& b) {
        return std::lexicographical_compare(a.first.begin(), a.first.end(), b.first.begin(),
                                            b.first.end(),
                                            [](char x, char y) { return uint8_t(x) < uint8_t(y); });
    });
    std::vector<TContainerArticle> sorted;
    sorted.reserve(Items.size());
    for (const auto& entry : keyed) sorted.push_back(std::move(Items[entry.second]));
    Items = std::move(sorted);
    FSorted = true;
}

void TMessageContainer::WriteSorted() {
    TFileStream source(TempName(), fmOpenRead | fmShareDenyWrite);
    TBufferedFile target(SortedTempName());
    for (const TContainerArticle& item : Items) {
        target.Write(RnewsLine(item.Size));
        CopyRange(source, item.Position, item.Size, target);
    }
    target.Close();
}

void TMessageContainer::Complete() {
    if (!FFile || FCount == 0) return;
    try {
        FFile->Close();
        if (FSorted) WriteSorted();
    } catch (...) {
        // Half a batch is no use to anyone: its articles come again with the next run.
        Clear();
        throw;
    }
    FComplete = true;
}

std::string TMessageContainer::CompleteName() const {
    return FSorted ? SortedTempName() : TempName();
}

std::vector<std::string> TMessageContainer::TempNames() const {
    return {TempName(), SortedTempName()};
}

void TMessageContainer::TakeName() {
    if (!FComplete) {
        Clear();
        return;
    }
    const std::string complete = CompleteName();
    if (!RenameNoReplace(complete, FFileName)) {
        const int error = errno;
        const std::string target = FFileName;
        Clear();
        throw EWriteError("Die Datei " + complete + " konnte nicht in " + target +
                          " umbenannt werden: " + std::strerror(error));
    }
    // Named: only the unsorted file of a sorted batch is left to remove.
    const bool sorted = FSorted;
    FFile.reset();
    if (sorted) DeleteFile(TempName());
    Clear();
}

void TMessageContainer::SaveAsBatch() {
    Complete();
    TakeName();
}

// ---- spool names -----------------------------------------------------------------------------

namespace {
void AdvanceSpoolCounter() {
    if (SpoolCounter == INT32_MAX) throw EIntOverflow("Integer-Überlauf im Spool-Zähler");
    ++SpoolCounter;
}
}  // namespace

std::string NewSpoolFileName(const std::string& dir) {
    const std::string prefix = IncludeTrailingPathDelimiter(dir);
    std::string name;
    for (int64_t tries = 0;; ++tries) {
        if (tries > SpoolLimits::kMaxSpoolNameTries)
            throw EWriteError("Kein freier Dateiname im Verzeichnis " + dir);
        name.assign(1, 'm').append(std::to_string(SpoolCounter));
        // A temporary file left by a run that ended may still decide whether its mail was
        // stored (FetchedMails.h): its number is not used again while it is there.
        if (!FileExists(prefix + name + ".msg") && !FileExists(prefix + name + ".tmp")) {
            name.append(".msg");
            break;
        }
        AdvanceSpoolCounter();
    }
    AdvanceSpoolCounter();
    return name;
}

namespace {

// "m<digits>" followed by Ending.
bool IsSpoolTempName(const std::string& name, const std::string& ending) {
    if (name.size() <= ending.size() + 1 || (name[0] != 'm' && name[0] != 'M')) return false;
    const size_t digitsEnd = name.size() - ending.size();
    if (LowerAscii(name.substr(digitsEnd)) != ending) return false;
    return std::all_of(name.begin() + 1, name.begin() + ptrdiff_t(digitsEnd),
                       [](char c) { return c >= '0' && c <= '9'; });
}

bool FileStartsWith(const std::string& fileName, const std::string& head) {
    std::ifstream file(ResolvePath(fileName), std::ios::binary);
    std::string start(head.size(), '\0');
    return file.read(start.data(), std::streamsize(start.size())) && start == head;
}

bool StartsAsBatch(const std::string& fileName) {
    static const std::string head = RnewsLine(0).substr(0, 9);  // "#! rnews "
    return FileStartsWith(fileName, head);
}

// "m<digits>.tmp" as the spool writes it: an empty file of this name is one of ours.
bool IsOwnEmptyTempName(const std::string& name) {
    return name[0] == 'm' && IsSpoolTempName(name, ".tmp") &&
           name.compare(name.size() - 4, 4, ".tmp") == 0;
}

// "m<N>.tmp" as the spool spells it, named by no box's list of fetched mails; without the lists
// (mailTemps null) no such file is known to be unnamed.
bool IsUnlistedOwnTemp(const std::string& name, const std::set<std::string>* mailTemps) {
    return IsOwnEmptyTempName(name) && mailTemps && !mailTemps->count(name);
}

// The size of the regular file open as fd; -1 for anything else.
int64_t RegularFileSize(int fd) {
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) return -1;
    return int64_t(info.st_size);
}

// Whether the file at path, opened as fd, is a leftover RemoveStaleBatches removes.
bool IsStaleBatch(const std::string& path, int fd, const std::string& name,
                  const std::set<std::string>* mailTemps) {
    if (IsSpoolTempName(name, ".sorted.tmp")) return true;
    if (!IsSpoolTempName(name, ".tmp")) return false;
    const int64_t size = RegularFileSize(fd);
    if (size < 0) return false;
    if (size > 0) return StartsAsBatch(path);
    return IsUnlistedOwnTemp(name, mailTemps);
}

// Whether the file at path, opened as fd, is a leftover RemoveStaleMails removes.
bool IsStaleMail(const std::string& path, int fd, const std::string& name,
                 const std::set<std::string>* mailTemps) {
    if (!IsUnlistedOwnTemp(name, mailTemps)) return false;
    const int64_t size = RegularFileSize(fd);
    return size == 0 || (size > 0 && FileStartsWith(path, MailScriptHead));
}

using TStaleTest = bool (*)(const std::string& path, int fd, const std::string& name,
                            const std::set<std::string>* mailTemps);

// Removes the files m*.tmp of dir that isStale takes for leftovers, logging each as "<what>
// <path> eines abgebrochenen Abrufs gelöscht".
int32_t RemoveStaleTemps(const std::string& dir, const std::set<std::string>* mailTemps,
                         TStaleTest isStale, const std::string& what) {
    const std::string prefix = IncludeTrailingPathDelimiter(dir);
    int32_t removed = 0;
    for (const std::string& name : FindFiles(prefix, "m*.tmp")) {
        const std::string path = prefix + name;
        const int fd = ::open(ResolvePath(path).c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
        if (fd < 0) continue;
        // A writer holds the lock of what it writes: taken here, no live one holds the file, and
        // it is removed before one could start on it.
        const bool stale = ::flock(fd, LOCK_EX | LOCK_NB) == 0 &&
                           isStale(path, fd, name, mailTemps) && DeleteFile(path);
        ::close(fd);
        if (!stale) continue;
        EngineLog(what + " " + path + " eines abgebrochenen Abrufs gel\xC3\xB6scht");
        ++removed;
    }
    return removed;
}

}  // namespace

int32_t RemoveStaleBatches(const std::string& dir, const std::set<std::string>* mailTemps) {
    return RemoveStaleTemps(dir, mailTemps, IsStaleBatch, "Unvollst\xC3\xA4ndiger Stapel");
}

int32_t RemoveStaleMails(const std::string& dir, const std::set<std::string>* mailTemps) {
    return RemoveStaleTemps(dir, mailTemps, IsStaleMail, "Unvollst\xC3\xA4ndige Nachricht");
}

// ---- incoming mail ---------------------------------------------------------------------------

std::string SpoolEnvelope(const TIpMessage& message, const std::string& envelope) {
    std::string address = TrimControls(envelope);
    if (address == "*") {
        // The bare address of the first To entry, whatever its display name or encoding; the
        // point program reads the whole line as the recipient.
        std::string to;
        for (int i = 0; i < message.MailTo.Count(); ++i)
            to += (i > 0 ? ", " : "") + message.MailTo[i];
        address = FirstAddrSpec(to);
    }
    if (address.empty()) address = DefaultEnvelope;
    // The address may come from the mail's own To line: it must not break the script's lines.
    return StripControls(address);
}

void WriteSpoolMail(TIpMessage& message, const std::string& fileName, const std::string& heloHost,
                    const std::string& envelope) {
    const std::string address = SpoolEnvelope(message, envelope);

    std::string script = MailScriptHead + heloHost + "\r\nRCPT TO:<" + address + ">\r\nDATA\r\n";
    for (const std::string& line : SplitLines(RawText(message))) {
        if (!line.empty() && line[0] == '.') script += '.';
        script += line;
        script += "\r\n";
    }
    WriteFileBytes(fileName, script);
}

// ---- outgoing mail ---------------------------------------------------------------------------

namespace {

// The body of a "from " file: everything after the first line, without a closing "." and
// "QUIT" when the file has them.
std::vector<std::string> FromFormBody(const std::vector<std::string>& lines) {
    std::vector<std::string> body(lines.begin() + 1, lines.end());
    if (body.size() >= 2 && body[body.size() - 2] == "." &&
        LowerAscii(TrimControls(body.back())) == "quit")
        body.resize(body.size() - 2);
    return body;
}

std::string AfterFirst(const std::string& line, char c) {
    const size_t at = line.find(c);
    return at == std::string::npos ? std::string() : line.substr(at + 1);
}

}  // namespace

void ReadOutgoingMail(TIpMessage& message, const std::string& fileName, std::string& heloArgument,
                      std::vector<std::string>& recipients) {
    heloArgument.clear();
    recipients.clear();
    const std::vector<std::string> lines =
        SplitLines(ReadFileBytes(fileName, SpoolLimits::kMaxOutgoingMailSize));

    std::vector<std::string> body;
    if (!lines.empty() && StartsWithNoCase(lines[0], "from ")) {
        body = FromFormBody(lines);
    } else {
        enum { Envelope, Body, Done } state = Envelope;
        for (const std::string& line : lines) {
            if (state == Body) {
                if (line == ".") {
                    state = Done;
                    continue;
                }
                body.push_back(!line.empty() && line[0] == '.' ? line.substr(1) : line);
            } else if (state == Envelope) {
                // They go into commands: a CR left in a line would end a command early.
                if (StartsWithNoCase(line, "HELO") || StartsWithNoCase(line, "EHLO"))
                    heloArgument = StripControls(AfterFirst(line, ' '));
                else if (StartsWithNoCase(line, "RCPT TO"))
                    recipients.push_back(StripControls(AfterFirst(line, ':')));
                else if (LowerAscii(TrimControls(line)) == "data")
                    state = Body;
            }
            // After the body only QUIT follows.
        }
        if (state == Envelope)
            throw EReadError("Die Datei " + fileName + " enthält keine Nachricht (DATA fehlt)");
        if (state == Body)
            throw EReadError("Die Datei " + fileName +
                             " ist unvollständig (die Zeile \".\" am Ende der Nachricht fehlt)");
    }

    message.ClearMessage();
    for (const std::string& line : body) message.WriteLine(line);
    try {
        message.DecodeMessage();
    } catch (const EIpBaseException&) {
        // A MIME structure the model cannot read (a multipart without boundary) does not keep
        // the mail from going out: it is sent as the point program wrote it.
    }
}

// ---- request.id ------------------------------------------------------------------------------

void GetRequestedMessageIDs(const std::string& boxFileName, TStringList& list) {
    static const char* const RequestFile = "request.id";
    if (!FileExists(RequestFile)) return;
    const std::string boxFile = ExtractFileName(boxFileName);
    const std::string box = LowerAscii(boxFile.substr(0, boxFile.find('.')));

    TFileStream file(RequestFile, fmOpenReadWrite);
    const int64_t records = file.Size() / RequestRecordSize;
    if (records > SpoolLimits::kMaxRequestRecords)
        throw EReadError(std::string("Die Datei ") + RequestFile + " ist zu groß (" +
                         std::to_string(records) + " Einträge)");
    std::string data(size_t(records * RequestRecordSize), '\0');
    if (records > 0) file.ReadBuffer(data.data(), int64_t(data.size()));

    for (int64_t r = 0; r < records; ++r) {
        uint8_t* record = reinterpret_cast<uint8_t*>(data.data()) + r * RequestRecordSize;
        if (record[0] != 0) {
            // Length bytes are untrusted: the box name holds at most 8 characters.
            const size_t boxLength = std::min<size_t>(record[2], 8);
            const std::string recordBox =
                LowerAscii(std::string(reinterpret_cast<char*>(record + 3), boxLength));
            const std::string id(reinterpret_cast<char*>(record + 12), record[11]);
            const bool usable = !id.empty() && std::none_of(id.begin(), id.end(), [](char c) {
                return uint8_t(c) <= ' ' || uint8_t(c) == 0x7F;
            });
            if ((StartsWithNoCase(recordBox, "*") || recordBox == box) && usable) list.Add(id);
        }
        // The point program reads the counter as a state; 255 stays 255.
        if (record[1] < 255) ++record[1];
    }
    if (records > 0) {
        file.Seek(0, soBeginning);
        file.WriteBuffer(data.data(), int64_t(data.size()));
    }
}

// ---- attachments -----------------------------------------------------------------------------

std::string SafeAttachmentName(const std::string& name) {
    const size_t slash = name.find_last_of("/\\:");
    std::string result = StripControls(slash == std::string::npos ? name : name.substr(slash + 1));
    if (result.size() > SpoolLimits::kMaxAttachmentNameLength)
        result.resize(SpoolLimits::kMaxAttachmentNameLength);
    if (result == "." || result == ".." || TrimControls(result).empty()) result.clear();
    return result;
}

std::string AttachmentContent(TIpMimeEntity& part) {
    TMemoryStream content;
    part.Body.Seek(0, soBeginning);
    part.DecodeBodyStream(content, TIpLineLimit::Ignored);
    return std::string(content.Memory(), size_t(content.Size()));
}

bool ExtractAttachments(TIpMessage& message, TKestroConfig& box) {
    if (!box.ExtractAttach && !box.DeleteAttach) return false;
    if (!message.IsMultipart || message.Parts.Count() < 1) return false;
    bool replaced = false;
    for (int i = 0; i < message.Parts.Count(); ++i)
        replaced |= HandlePart(*message.Parts.Items(i), box);
    return replaced;
}
