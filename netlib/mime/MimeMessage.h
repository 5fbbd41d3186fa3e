#pragma once
// The message model: a message held as raw lines in a message stream and as decoded header
// fields with a tree of MIME entities whose bodies are text streams. DecodeMessage turns the
// raw lines into fields and entities, EncodeMessage turns them back into raw lines.
//
// Header lines the model has no field for are kept verbatim, in order, and written back, so a
// message that is decoded and encoded again loses none of its headers. A decoded entity also
// remembers how it looked (TIpEntityLayout): encoding writes what the model still holds
// unchanged exactly as it came in, so that a message changed in one place (a notice instead of
// an attachment, an added header line) differs from the received one in that place only.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "netlib/mime/Codecs.h"
#include "netlib/stream/Streams.h"
#include "platform/classes/Classes.h"

enum TIpMimeEncodingMethod : uint8_t {
    em7Bit,
    em8Bit,
    emBase64,
    emBinary,
    emBinHex,
    emQuoted,
    emUUEncode,
    emUnknown
};

class TIpMimeEntity;

// One header field: the model field it belongs to (Key) and its lines.
struct TIpHeaderItem {
    std::string Key;
    std::vector<std::string> Lines;
};

// A Content-Type or Content-Disposition parameter as received: its name (prefixed "type:" or
// "disposition:"), its value as the model reads it, and the item as written ("charset=\"x\"").
struct TIpParamText {
    std::string Name;
    std::string Value;
    std::string Text;
};

// How a decoded entity looked. Only decoding fills it; Clear empties it.
struct TIpEntityLayout {
    bool Decoded = false;
    // The header fields in the order received. Key names the model field each went into;
    // an empty key marks a line written back as it stands (an empty first line).
    std::vector<TIpHeaderItem> Header;
    std::vector<TIpParamText> Params;
    // An empty line ended the header (a HEAD reply or a part cut short has none).
    bool Separator = true;
    // The delimiter line that opened this part, and the one that closed this multipart (empty
    // when it never came: a message cut short).
    std::string OpenLine;
    std::string CloseLine;
};

// sender is the root entity; setting abort stops the running codec after its current block.
using TIpCodingProgressEvent =
    std::function<void(TIpMimeEntity* sender, uint8_t progress, bool& abort)>;

// The owned, ordered children of an entity.
class TIpMimeParts {
  public:
    TIpMimeParts() = default;
    ~TIpMimeParts() { Clear(); }
    TIpMimeParts(const TIpMimeParts&) = delete;
    TIpMimeParts& operator=(const TIpMimeParts&) = delete;

    int Add(TIpMimeEntity* entity);
    // Frees the children, last to first.
    void Clear();
    // Frees the child at index.
    void Delete(int index);
    // Unlinks the entity without freeing it.
    void Remove(TIpMimeEntity* entity);
    int Count() const { return int(FItems.size()); }
    // nullptr when the index is out of range.
    TIpMimeEntity* Items(int index) const;

  private:
    std::vector<TIpMimeEntity*> FItems;
};

class TIpMimeEntity {
  public:
    explicit TIpMimeEntity(TIpMimeEntity* parentEntity);
    virtual ~TIpMimeEntity();
    TIpMimeEntity(const TIpMimeEntity&) = delete;
    TIpMimeEntity& operator=(const TIpMimeEntity&) = delete;

    virtual void Clear();
    void ClearBodyStream();

    void EncodeBodyStream(TStream& source, const std::string& fileName);
    void EncodeBodyStrings(const TStringList& source, const std::string& fileName);
    void EncodeBodyFile(const std::string& fileName);
    // limit: how a base64 or quoted-printable line longer than its encoding allows is taken.
    void DecodeBodyStream(TStream& dest, TIpLineLimit limit = TIpLineLimit::Enforced);
    void DecodeBodyStrings(TStringList& dest);
    void DecodeBodyFile(const std::string& fileName);

    void NotifyCodingProgress(int64_t done, int64_t total, bool& abort);

    TIpMimeEntity* FindPart(const std::string& type, const std::string& subtype,
                            const std::string& contentID = std::string());
    TIpMimeEntity* FindOrCreatePart(const std::string& type, const std::string& subtype,
                                    bool create, const std::string& contentID = std::string());
    // Makes this entity a multipart (with a boundary) and returns a new, empty child.
    TIpMimeEntity* AddPart();

    // Decodes one entity's MIME header fields from its raw header lines, which become its
    // received header; lines it has no field for go to OtherHeaders. A multipart without
    // boundary is left for DecodeMessage to report.
    void DecodeMimeHeaders(const std::vector<std::string>& lines);
    // The entity's header fields in the model's order and form: its MIME fields, then the kept
    // lines.
    virtual std::vector<TIpHeaderItem> HeaderItems() const;
    // The header lines encoding writes: for a decoded entity the fields as received where they
    // did not change, changed ones in their place, new ones after them.
    std::vector<std::string> HeaderLines() const;
    // Whether an empty line goes between the header lines and the body.
    bool WritesSeparator(bool hasHeaderLines);

    uint8_t Progress = 0;
    uint8_t LastProgress = 0;
    TIpMimeParts Parts;
    std::string ParentBoundary;
    // The body lines; of a multipart, the text before its first part (the preamble).
    TIpAnsiTextStream Body;
    // Of a multipart: the lines after its closing delimiter, each ended by CR LF.
    std::string Epilogue;
    std::string ContentName;
    std::string Boundary;
    std::string CharacterSet;
    std::string ContentDescription;
    std::string ContentDisposition;
    std::string ContentID;
    std::string ContentSubtype;
    std::string ContentType;
    std::string CreationDate;
    TIpMimeEncodingMethod ContentTransferEncoding = emUnknown;
    std::string FileName;
    bool IsMime = false;
    bool IsMultipart = false;
    std::string ModificationDate;
    std::string MimeVersion;
    TIpCodingProgressEvent OnCodingProgress;
    int32_t Size = 0;
    TIpMimeEntity* ParentEntity = nullptr;
    std::string ReadDate;
    std::string RelatedType;
    std::string RelatedSubtype;
    std::string RelatedStart;
    std::string RelatedStartInfo;
    // Parameters of Content-Type and Content-Disposition that have no field ("format=flowed",
    // "protocol=..."), as written, without the separating ";".
    std::vector<std::string> ContentTypeParams;
    std::vector<std::string> DispositionParams;
    // Header lines of this entity that no field holds, verbatim with their continuation lines.
    TStringList OtherHeaders;
    TIpEntityLayout Layout;

  protected:
    TIpCodingProgressProc ProgressProc();
    // The received header in the model's form, as decoding left it: a field whose form is still
    // the same has not changed and is written as received. Worked out again from the received
    // lines when needed, so that decoding does not pay for it.
    virtual std::vector<TIpHeaderItem> DecodedItems() const;
    std::vector<std::string> ReceivedLines() const;
    // Decodes the MIME fields among lines without raising; the key of each field (as grouped by
    // its continuation lines), in order.
    std::vector<std::string> DecodeMimeFields(const std::vector<std::string>& lines);
    // The MIME fields in the model's form; defaultVersion writes "MIME-Version: 1.0" when none
    // is set (the message's own header always has one).
    std::vector<TIpHeaderItem> MimeItems(bool defaultVersion) const;
    std::vector<TIpHeaderItem> OtherItems() const;
    // Header lines kept whole, grouped into fields (a line that begins with a blank or a tab
    // continues the field before it) and keyed by prefix and position.
    static std::vector<TIpHeaderItem> KeptItems(const TStringList& lines,
                                                const std::string& keyPrefix);
    static size_t KeptFieldCount(const TStringList& lines);
};

class TIpMessage : public TIpMimeEntity {
  public:
    TIpMessage();
    ~TIpMessage() override;

    void Clear() override;
    std::vector<TIpHeaderItem> HeaderItems() const override;
    void ClearMessage();
    void NewMessageStream();
    // Loads and decodes a file; decoding errors are dropped (the fields stay as far as
    // decoding got), an error opening the file propagates.
    void LoadFromFile(const std::string& fileName);
    virtual void DecodeMessage();
    virtual void EncodeMessage();
    void Assign(TIpMessage& source);
    // The Subject that DecodeMessage would find in the raw message text, without decoding the
    // rest: for holders of many raw messages that order them by subject.
    static std::string SubjectOf(const std::string& raw);

    std::string ReadLine();
    std::string ReadLineCRLF();
    void WriteLine(const std::string& text);
    void SetPosition(int64_t offset);
    int64_t GetPosition();
    int64_t GetMessageSize();
    bool AtEndOfStream();

    TIpMimeEntity* GetBodyPlain(bool create);
    TIpMimeEntity* GetBodyHtml(bool create);
    TIpMimeEntity* AddAttachment(const std::string& fileName);

    TIpAnsiTextStream MessageStream;
    TStringList BCC;
    TStringList CC;
    std::string Date;
    std::string From;
    std::string InReplyTo;
    std::string Keywords;
    std::string FollowupTo;
    std::string Control;
    std::string MessageID;
    TStringList Newsgroups;
    std::string NNTPPostingHost;
    std::string Organization;
    TStringList Path;
    std::string PostingHost;
    TStringList Received;
    TStringList MailTo;
    TStringList References;
    std::string ReplyTo;
    std::string ReturnPath;
    std::string Sender;
    std::string Subject;
    // "X-" header lines, whole, each followed by its continuation lines.
    TStringList UserFields;

  protected:
    std::vector<TIpHeaderItem> DecodedItems() const override;
    // Takes the header block into the fields (and the received layout); the first line counts
    // even when empty.
    void DecodeHeader(const std::vector<std::string>& header);

  private:
    TIpMimeEntity* GetBodyPart(const std::string& subtype, bool create);
};

// Mail and news are the same model; the names say which one a caller holds.
class TIpMailMessage : public TIpMessage {};
class TIpNewsArticle : public TIpMessage {};

// A multipart/form-data body for an HTML form submission.
class TIpFormDataEntity : public TIpMimeEntity {
  public:
    explicit TIpFormDataEntity(TIpMimeEntity* parentEntity = nullptr);
    void Clear() override;
    void AddFormData(const std::string& name, const std::string& text);
    void AddFile(const std::string& fileName, const std::string& contentType,
                 const std::string& contentSubtype, TIpMimeEncodingMethod encoding);

  private:
    TIpMimeEntity* FFiles = nullptr;
};

// "_NextPart_" + days + "-" + time of day + "-" + ticks + "-" + a sequence, in hexadecimal;
// two calls never give the same text.
std::string GenerateBoundary();

// Splits an address list at the commas that stand outside quotes, angle brackets and comments;
// pieces are trimmed, empty ones dropped.
std::vector<std::string> SplitAddressList(const std::string& value);
