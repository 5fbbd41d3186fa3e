#pragma once
// The message model: a message held as raw lines in a message stream and as decoded header
// fields with a tree of MIME entities whose bodies are text streams. DecodeMessage turns the
// raw lines into fields and entities, EncodeMessage turns them back into raw lines.
//
// Header lines the model has no field for are kept verbatim, in order, and written back, so a
// message that is decoded and encoded again loses none of its headers.
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
    void DecodeBodyStream(TStream& dest);
    void DecodeBodyStrings(TStringList& dest);
    void DecodeBodyFile(const std::string& fileName);

    void NotifyCodingProgress(int64_t done, int64_t total, bool& abort);

    TIpMimeEntity* FindPart(const std::string& type, const std::string& subtype,
                            const std::string& contentID = std::string());
    TIpMimeEntity* FindOrCreatePart(const std::string& type, const std::string& subtype,
                                    bool create, const std::string& contentID = std::string());
    // Makes this entity a multipart (with a boundary) and returns a new, empty child.
    TIpMimeEntity* AddPart();

    // Decodes one entity's MIME header fields from its raw header lines; lines it has no field
    // for go to OtherHeaders. Raises "No Mime boundary" for a multipart without boundary.
    void DecodeMimeHeaders(const std::vector<std::string>& lines);
    // The entity's MIME header lines and kept lines, as EncodeMessage writes them.
    std::vector<std::string> EncodeMimeHeaders() const;

    uint8_t Progress = 0;
    uint8_t LastProgress = 0;
    TIpMimeParts Parts;
    std::string ParentBoundary;
    TIpAnsiTextStream Body;
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

  protected:
    TIpCodingProgressProc ProgressProc();
};

class TIpMessage : public TIpMimeEntity {
  public:
    TIpMessage();
    ~TIpMessage() override;

    void Clear() override;
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
