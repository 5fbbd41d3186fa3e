// The MIME entity: header fields of one part, its body and its children.
#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <memory>
#include <random>

#include "netlib/base/IpBase.h"
#include "netlib/mime/MimeHeaders.h"
#include "netlib/mime/MimeMessage.h"

using namespace IpMimeHeaders;

namespace {

struct ExtensionType {
    const char* Extension;
    const char* Type;
    const char* Subtype;
    TIpMimeEncodingMethod Encoding;
};

// Extensions are compared as written: ".TXT" is not ".txt".
const ExtensionType ExtensionTable[] = {
    {".bin", "application", "octet-stream", emBase64},
    {".txt", "text", "plain", em8Bit},
    {".rtf", "application", "msword", em8Bit},
    {".doc", "application", "msword", emBase64},
    {".ps", "application", "postscript", em8Bit},
    {".tif", "image", "tif", emBase64},
    {".gif", "image", "gif", emBase64},
    {".jpg", "image", "jpeg", emBase64},
    {".bmp", "image", "bmp", emBase64},
    {".mov", "video", "quicktime", emBase64},
    {".avi", "video", "avi", emBase64},
    {".wav", "video", "wave", emBase64},
    {".aif", "audio", "aif", emBase64},
    {".zip", "application", "x-zip-compressed", emBase64},
};

const char* const EncodingNames[] = {
    "7bit", "8bit", "base64", "binary", "binhex", "quoted-printable", "uuencoded"};

std::string BaseName(const std::string& path) {
    size_t p = path.find_last_of("/\\");
    return p == std::string::npos ? path : path.substr(p + 1);
}

std::string Extension(const std::string& path) {
    std::string name = BaseName(path);
    size_t dot = name.rfind('.');
    return dot == std::string::npos ? std::string() : name.substr(dot);
}

std::string RemoveQuotes(std::string s) {
    s.erase(std::remove(s.begin(), s.end(), '"'), s.end());
    return s;
}

// A "name=value" parameter item: lower-case name and unquoted value; false without "=".
bool SplitParameter(const std::string& item, std::string& name, std::string& value) {
    size_t eq = item.find('=');
    if (eq == std::string::npos) return false;
    name = LowerCase(TrimBlanks(item.substr(0, eq)));
    value = RemoveQuotes(TrimBlanks(item.substr(eq + 1)));
    return true;
}

bool ParseSize(const std::string& text, int32_t& size) {
    if (text.empty() || text.size() > 10) return false;
    int64_t v = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return false;
        v = v * 10 + (c - '0');
    }
    if (v > INT32_MAX) return false;
    size = int32_t(v);
    return true;
}

std::string Hex(uint64_t value, int digits) {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%0*llX", digits, static_cast<unsigned long long>(value));
    return buffer;
}

TIpMimeEntity* RootOf(TIpMimeEntity* e) {
    while (e->ParentEntity) e = e->ParentEntity;
    return e;
}

// The parameters after the first item of a Content-Type or Content-Disposition line. Choose
// names the field a parameter fills (null: none); a field that is set already, or an empty
// value, leaves the parameter to be kept as written. Choose may take a parameter itself by
// setting taken. What fills a field is remembered as written under prefix + name, so that it is
// written back the same way while its value stays.
template <class Choose>
void TakeParameters(const std::vector<std::string>& items, std::vector<std::string>& kept,
                    std::vector<TIpParamText>& written, const std::string& prefix, Choose choose) {
    for (size_t i = 1; i < items.size(); ++i) {
        std::string item = TrimBlanks(items[i]);
        if (item.empty()) continue;
        std::string name, value;
        std::string* target = nullptr;
        bool taken = false;
        if (SplitParameter(item, name, value)) target = choose(name, value, taken);
        if (!taken && target && target->empty() && !value.empty()) {
            *target = value;
            taken = true;
        }
        if (taken)
            written.push_back(TIpParamText{prefix + name, value, item});
        else
            kept.push_back(item);
    }
}

const TIpHeaderItem* FindItem(const std::vector<TIpHeaderItem>& items, const std::string& key) {
    for (const auto& item : items)
        if (item.Key == key) return &item;
    return nullptr;
}

// Keys of the MIME fields and of the lines kept whole.
const char* const kOtherKey = "#other:";

}  // namespace

// --- TIpMimeParts ----------------------------------------------------------------------------

int TIpMimeParts::Add(TIpMimeEntity* entity) {
    FItems.push_back(entity);
    return int(FItems.size()) - 1;
}

void TIpMimeParts::Clear() {
    while (!FItems.empty()) {
        TIpMimeEntity* last = FItems.back();
        FItems.pop_back();  // unlinked first, so its destructor finds nothing to remove
        delete last;
    }
}

void TIpMimeParts::Delete(int index) {
    if (index < 0 || index >= Count()) return;
    TIpMimeEntity* e = FItems[size_t(index)];
    FItems.erase(FItems.begin() + index);
    delete e;
}

void TIpMimeParts::Remove(TIpMimeEntity* entity) {
    auto it = std::find(FItems.begin(), FItems.end(), entity);
    if (it != FItems.end()) FItems.erase(it);
}

TIpMimeEntity* TIpMimeParts::Items(int index) const {
    return index >= 0 && index < Count() ? FItems[size_t(index)] : nullptr;
}

// --- TIpMimeEntity ---------------------------------------------------------------------------

TIpMimeEntity::TIpMimeEntity(TIpMimeEntity* parentEntity)
    : Body(new TMemoryStream), ParentEntity(parentEntity) {
    if (parentEntity) ParentBoundary = parentEntity->Boundary;
}

TIpMimeEntity::~TIpMimeEntity() {
    if (ParentEntity) ParentEntity->Parts.Remove(this);
    Parts.Clear();
    Body.FreeStream();
}

void TIpMimeEntity::ClearBodyStream() {
    Body.FreeStream();
    Body.SetStream(new TMemoryStream);
}

void TIpMimeEntity::Clear() {
    ClearBodyStream();
    Parts.Clear();
    Epilogue.clear();
    Layout = TIpEntityLayout{};
    for (std::string* s :
         {&Boundary, &CharacterSet, &ContentDescription, &ContentDisposition, &ContentID,
          &ContentSubtype, &ContentType, &FileName, &MimeVersion, &ContentName, &RelatedType,
          &RelatedSubtype, &RelatedStart, &RelatedStartInfo})
        s->clear();
    ContentTransferEncoding = emUnknown;
    IsMime = false;
    IsMultipart = false;
    ContentTypeParams.clear();
    DispositionParams.clear();
    OtherHeaders.Clear();
}

TIpCodingProgressProc TIpMimeEntity::ProgressProc() {
    return [this](int64_t done, int64_t total) {
        bool abort = false;
        NotifyCodingProgress(done, total, abort);
        return abort;
    };
}

void TIpMimeEntity::NotifyCodingProgress(int64_t done, int64_t total, bool& abort) {
    TIpMimeEntity* root = RootOf(this);
    int64_t percent = total > 0 ? std::llround(double(done) * 100.0 / double(total)) : 100;
    root->Progress = uint8_t(std::clamp<int64_t>(percent, 0, 100));
    if (root->Progress < 10) root->LastProgress = 0;
    if (root->Progress / 10 > root->LastProgress / 10) {
        root->LastProgress = root->Progress;
        if (root->OnCodingProgress) root->OnCodingProgress(root, root->Progress, abort);
    }
}

void TIpMimeEntity::EncodeBodyStream(TStream& source, const std::string& fileName) {
    if (source.Size() <= 0) return;
    ClearBodyStream();
    // Every coding reports from zero, even after an earlier one reached 100 percent.
    RootOf(this)->LastProgress = 0;
    std::string name = BaseName(fileName);
    auto progress = ProgressProc();
    switch (ContentTransferEncoding) {
        case emBase64:
            EncodeBase64(source, Body, progress);
            break;
        case emBinHex:
            EncodeBinHex(source, Body, name, progress);
            break;
        case emQuoted:
            EncodeQuoted(source, Body, progress);
            break;
        case emUUEncode:
            EncodeUU(source, Body, name, progress);
            break;
        default:
            EncodeTextLines(source, Body, progress);
            break;
    }
    int64_t size = source.Size();
    Size = int32_t(std::min<int64_t>(size, INT32_MAX));
    FileName = name;
}

void TIpMimeEntity::EncodeBodyStrings(const TStringList& source, const std::string& fileName) {
    TMemoryStream data;
    source.SaveToStream(data);
    data.SetPosition(0);
    EncodeBodyStream(data, fileName);
}

void TIpMimeEntity::EncodeBodyFile(const std::string& fileName) {
    std::string ext = Extension(fileName);
    const ExtensionType* found = nullptr;
    for (const auto& e : ExtensionTable)
        if (ext == e.Extension) found = &e;
    static const ExtensionType Unknown{"", "application", "octet-stream", emBase64};
    if (!found) found = &Unknown;
    if (ContentType.empty()) {
        ContentType = found->Type;
        ContentSubtype = found->Subtype;
        ContentTransferEncoding = found->Encoding;
    }
    if (ContentTransferEncoding == emUnknown) ContentTransferEncoding = found->Encoding;
    IsMime = true;
    TFileStream file(fileName, fmOpenRead | fmShareDenyWrite);
    EncodeBodyStream(file, fileName);
}

void TIpMimeEntity::DecodeBodyStream(TStream& dest, TIpLineLimit limit) {
    if (Body.Size() == 0) return;
    RootOf(this)->LastProgress = 0;
    auto progress = ProgressProc();
    switch (ContentTransferEncoding) {
        case emBinary:
            DecodeBinary(Body, dest, progress);
            break;
        case emBase64:
            DecodeBase64(Body, dest, progress, limit);
            break;
        case emBinHex:
            DecodeBinHex(Body, dest, progress);
            break;
        case emQuoted:
            DecodeQuoted(Body, dest, progress, limit);
            break;
        case emUUEncode:
            DecodeUU(Body, dest, progress);
            break;
        default:
            DecodeTextLines(Body, dest, progress);
            break;
    }
}

void TIpMimeEntity::DecodeBodyStrings(TStringList& dest) {
    TMemoryStream data;
    DecodeBodyStream(data);
    data.SetPosition(0);
    dest.LoadFromStream(data);
}

void TIpMimeEntity::DecodeBodyFile(const std::string& fileName) {
    TFileStream file(fileName, fmCreate);
    DecodeBodyStream(file);
}

TIpMimeEntity* TIpMimeEntity::AddPart() {
    IsMime = true;
    IsMultipart = true;
    ContentType = "multipart";
    if (Boundary.empty()) Boundary = GenerateBoundary();
    auto* child = new TIpMimeEntity(this);
    Parts.Add(child);
    return child;
}

TIpMimeEntity* TIpMimeEntity::FindOrCreatePart(const std::string& type, const std::string& subtype,
                                               bool create, const std::string& contentID) {
    TIpMimeEntity* found = nullptr;
    for (int i = 0; i < Parts.Count() && !found; ++i) {
        TIpMimeEntity* p = Parts.Items(i);
        if (!contentID.empty() ? p->ContentID == contentID
                               : (p->ContentType == type && p->ContentSubtype == subtype))
            found = p;
    }
    if (!found && create) {
        found = AddPart();
        found->ContentType = type;
        found->ContentSubtype = subtype;
        found->ContentID = contentID;
        found->IsMime = true;
    }
    if (found) found->Body.Seek(0, soBeginning);
    return found;
}

TIpMimeEntity* TIpMimeEntity::FindPart(const std::string& type, const std::string& subtype,
                                       const std::string& contentID) {
    for (int i = 0; i < Parts.Count(); ++i) {
        TIpMimeEntity* p = Parts.Items(i);
        if ((!contentID.empty() && p->ContentID == contentID) ||
            (p->ContentType == type && p->ContentSubtype == subtype))
            return p;
        if (TIpMimeEntity* inner = p->FindPart(type, subtype, contentID)) return inner;
    }
    return nullptr;
}

// --- MIME header fields ----------------------------------------------------------------------

void TIpMimeEntity::DecodeMimeHeaders(const std::vector<std::string>& lines) {
    std::vector<std::string> keys = DecodeMimeFields(lines);
    std::vector<Field> fields = GroupFields(lines);
    Layout.Header.clear();
    for (size_t i = 0; i < fields.size(); ++i)
        Layout.Header.push_back(TIpHeaderItem{keys[i], fields[i].Lines});
}

std::vector<std::string> TIpMimeEntity::DecodeMimeFields(const std::vector<std::string>& lines) {
    std::vector<Field> fields = GroupFields(lines);
    std::vector<std::string> keys(fields.size());
    size_t kept = KeptFieldCount(OtherHeaders);
    auto keep = [&](size_t index) {
        for (const auto& line : fields[index].Lines) OtherHeaders.Add(line);
        keys[index] = kOtherKey + std::to_string(kept++);
    };

    const Field* typeField = nullptr;
    // A content type without a media type ("/mixed") could not be written back; such a line
    // is kept as it is and the next one counts.
    for (const auto& f : fields) {
        if (!Matches(f, "Content-Type: ")) continue;
        std::string media = SplitOutsideQuotes(Value(f, "Content-Type: "), ';')[0];
        if (!TrimBlanks(media.substr(0, media.find('/'))).empty()) {
            typeField = &f;
            break;
        }
    }
    if (!typeField) {
        // Without a content type the other content headers mean nothing to the model; they
        // are kept as they are.
        IsMime = false;
        for (size_t i = 0; i < fields.size(); ++i) keep(i);
        return keys;
    }

    IsMime = true;
    bool seenVersion = false, seenEncoding = false, seenDescription = false, seenID = false,
         seenDisposition = false;
    for (size_t index = 0; index < fields.size(); ++index) {
        const Field& f = fields[index];
        if (&f == typeField) {
            keys[index] = "Content-Type: ";
            std::vector<std::string> items = SplitOutsideQuotes(Value(f, "Content-Type: "), ';');
            std::string media = TrimBlanks(items[0]);
            size_t slash = media.find('/');
            ContentType = TrimBlanks(media.substr(0, slash));
            ContentSubtype =
                slash == std::string::npos ? std::string() : TrimBlanks(media.substr(slash + 1));
            IsMultipart = EqualsNoCase(ContentType, "multipart");
            bool hasType = false;
            for (size_t i = 1; i < items.size(); ++i) {
                std::string name, value;
                if (SplitParameter(items[i], name, value) && name == "type") hasType = true;
            }
            TakeParameters(items, ContentTypeParams, Layout.Params, "type:",
                           [&](const std::string& name, const std::string& value, bool& taken) {
                               if (name == "name") return &ContentName;
                               if (name == "boundary") return &Boundary;
                               if (name == "charset") return &CharacterSet;
                               if (name == "start" && hasType) return &RelatedStart;
                               if (name == "start-info" && hasType) return &RelatedStartInfo;
                               if (name == "type" && RelatedType.empty() && !value.empty()) {
                                   size_t s = value.find('/');
                                   RelatedType = value.substr(0, s);
                                   RelatedSubtype =
                                       s == std::string::npos ? std::string() : value.substr(s + 1);
                                   taken = true;
                               }
                               return static_cast<std::string*>(nullptr);
                           });
            continue;
        }
        if (!seenVersion && Matches(f, "MIME-Version: ") && !Value(f, "MIME-Version: ").empty()) {
            seenVersion = true;
            keys[index] = "MIME-Version: ";
            MimeVersion = Value(f, "MIME-Version: ");
        } else if (!seenEncoding && Matches(f, "Content-Transfer-Encoding: ")) {
            std::string value = TrimBlanks(Value(f, "Content-Transfer-Encoding: "));
            auto it = std::find_if(std::begin(EncodingNames), std::end(EncodingNames),
                                   [&](const char* n) { return EqualsNoCase(value, n); });
            // An encoding the model cannot name again is kept as a line of its own.
            if (it == std::end(EncodingNames)) {
                keep(index);
                continue;
            }
            seenEncoding = true;
            keys[index] = "Content-Transfer-Encoding: ";
            ContentTransferEncoding = TIpMimeEncodingMethod(it - std::begin(EncodingNames));
        } else if (!seenDescription && Matches(f, "Content-Description: ") &&
                   !Value(f, "Content-Description: ").empty()) {
            seenDescription = true;
            keys[index] = "Content-Description: ";
            ContentDescription = Value(f, "Content-Description: ");
        } else if (!seenID && Matches(f, "Content-ID: ") && !Value(f, "Content-ID: ").empty()) {
            seenID = true;
            keys[index] = "Content-ID: ";
            ContentID = Value(f, "Content-ID: ");
        } else if (!seenDisposition && Matches(f, "Content-Disposition: ") &&
                   !TrimBlanks(SplitOutsideQuotes(Value(f, "Content-Disposition: "), ';')[0])
                        .empty()) {
            // One without its disposition type could not be written back; it is kept as a line.
            seenDisposition = true;
            keys[index] = "Content-Disposition: ";
            std::vector<std::string> items =
                SplitOutsideQuotes(Value(f, "Content-Disposition: "), ';');
            ContentDisposition = TrimBlanks(items[0]);
            bool formData = EqualsNoCase(ContentDisposition, "form-data");
            TakeParameters(
                items, DispositionParams, Layout.Params, "disposition:",
                [&](const std::string& name, const std::string& value, bool& taken) {
                    if (name == "filename") return &FileName;
                    if (name == "creation-date") return &CreationDate;
                    if (name == "modification-date") return &ModificationDate;
                    if (name == "read-date") return &ReadDate;
                    if (name == "name" && formData) return &ContentName;
                    if (name == "size" && Size == 0 && ParseSize(value, Size) && Size > 0)
                        taken = true;
                    return static_cast<std::string*>(nullptr);
                });
        } else {
            keep(index);
        }
    }
    return keys;
}

size_t TIpMimeEntity::KeptFieldCount(const TStringList& lines) {
    size_t count = 0;
    for (int i = 0; i < lines.Count(); ++i)
        if (i == 0 || lines[i].empty() || (lines[i][0] != ' ' && lines[i][0] != '\t')) ++count;
    return count;
}

std::vector<TIpHeaderItem> TIpMimeEntity::KeptItems(const TStringList& lines,
                                                    const std::string& keyPrefix) {
    std::vector<TIpHeaderItem> items;
    for (int i = 0; i < lines.Count(); ++i) {
        const std::string& line = lines[i];
        const bool continues = !line.empty() && (line[0] == ' ' || line[0] == '\t');
        if (!continues || items.empty())
            items.push_back(TIpHeaderItem{keyPrefix + std::to_string(items.size()), {}});
        items.back().Lines.push_back(line);
    }
    return items;
}

std::vector<TIpHeaderItem> TIpMimeEntity::MimeItems(bool defaultVersion) const {
    std::vector<TIpHeaderItem> out;
    if (ContentType.empty()) return out;
    auto add = [&](const char* name, std::vector<std::string> lines) {
        out.push_back(TIpHeaderItem{name, std::move(lines)});
    };
    // A parameter as it was written while its value is the same, else in the model's form.
    auto param = [&](const std::string& name, const std::string& value, bool quote) {
        for (const auto& p : Layout.Params)
            if (p.Name == name && p.Value == value) return p.Text;
        const std::string bare = name.substr(name.find(':') + 1);
        return bare + "=" + (quote ? "\"" + value + "\"" : QuoteIfNeeded(value));
    };
    std::vector<std::string> lines;
    auto fold = [&](const char* name, const std::vector<std::string>& items) {
        lines.clear();
        FoldItems(lines, name, items, "; ", false);
        add(name, lines);
    };

    if (!MimeVersion.empty() || defaultVersion)
        add("MIME-Version: ", {"MIME-Version: " + (MimeVersion.empty() ? "1.0" : MimeVersion)});

    std::vector<std::string> items;
    items.push_back(ContentSubtype.empty() ? ContentType : ContentType + "/" + ContentSubtype);
    if (!Boundary.empty()) items.push_back(param("type:boundary", Boundary, true));
    if (!ContentName.empty()) items.push_back(param("type:name", ContentName, true));
    // The charset goes unquoted unless it came quoted.
    if (!CharacterSet.empty()) items.push_back(param("type:charset", CharacterSet, false));
    if (!RelatedType.empty()) {
        items.push_back(
            param("type:type",
                  RelatedSubtype.empty() ? RelatedType : RelatedType + "/" + RelatedSubtype, true));
        if (!RelatedStart.empty()) items.push_back(param("type:start", RelatedStart, true));
        if (!RelatedStartInfo.empty())
            items.push_back(param("type:start-info", RelatedStartInfo, true));
    }
    items.insert(items.end(), ContentTypeParams.begin(), ContentTypeParams.end());
    fold("Content-Type: ", items);

    if (!ContentDescription.empty())
        add("Content-Description: ", {"Content-Description: " + ContentDescription});
    if (!ContentID.empty()) add("Content-ID: ", {"Content-ID: " + ContentID});
    if (ContentTransferEncoding != emUnknown)
        add("Content-Transfer-Encoding: ",
            {std::string("Content-Transfer-Encoding: ") + EncodingNames[ContentTransferEncoding]});
    if (!ContentDisposition.empty()) {
        items.clear();
        items.push_back(ContentDisposition);
        if (EqualsNoCase(ContentDisposition, "form-data") && !ContentName.empty())
            items.push_back(param("disposition:name", ContentName, false));
        if (!FileName.empty()) items.push_back(param("disposition:filename", FileName, false));
        if (!CreationDate.empty())
            items.push_back(param("disposition:creation-date", CreationDate, false));
        if (!ModificationDate.empty())
            items.push_back(param("disposition:modification-date", ModificationDate, false));
        if (!ReadDate.empty()) items.push_back(param("disposition:read-date", ReadDate, false));
        if (Size > 0) items.push_back(param("disposition:size", std::to_string(Size), false));
        items.insert(items.end(), DispositionParams.begin(), DispositionParams.end());
        fold("Content-Disposition: ", items);
    }
    return out;
}

std::vector<TIpHeaderItem> TIpMimeEntity::OtherItems() const {
    return KeptItems(OtherHeaders, kOtherKey);
}

std::vector<TIpHeaderItem> TIpMimeEntity::HeaderItems() const {
    std::vector<TIpHeaderItem> items = MimeItems(false);
    for (auto& item : OtherItems()) items.push_back(std::move(item));
    return items;
}

std::vector<std::string> TIpMimeEntity::HeaderLines() const {
    const std::vector<TIpHeaderItem> current = HeaderItems();
    std::vector<std::string> out;
    auto append = [&](const std::vector<std::string>& lines) {
        out.insert(out.end(), lines.begin(), lines.end());
    };
    if (!Layout.Decoded) {
        for (const auto& item : current) append(item.Lines);
        return out;
    }
    const std::vector<TIpHeaderItem> decoded =
        Layout.Header.empty() ? std::vector<TIpHeaderItem>() : DecodedItems();
    std::vector<bool> written(current.size(), false);
    for (const auto& received : Layout.Header) {
        if (received.Key.empty()) {
            append(received.Lines);
            continue;
        }
        const TIpHeaderItem* now = FindItem(current, received.Key);
        if (!now) continue;  // the field was removed
        written[size_t(now - current.data())] = true;
        const TIpHeaderItem* then = FindItem(decoded, received.Key);
        append(then && then->Lines == now->Lines ? received.Lines : now->Lines);
    }
    // A field the model renders without having received it (a default such as the MIME version)
    // is new only once its value differs from what decoding left.
    for (size_t i = 0; i < current.size(); ++i) {
        if (written[i]) continue;
        const TIpHeaderItem* then = FindItem(decoded, current[i].Key);
        if (!then || then->Lines != current[i].Lines) append(current[i].Lines);
    }
    return out;
}

namespace {
// Whether writing the entity's content (after its header) gives any line.
bool HasContent(TIpMimeEntity& e) {
    if (e.Body.Size() > 0 || !e.Epilogue.empty() || !e.Layout.CloseLine.empty()) return true;
    for (int i = 0; i < e.Parts.Count(); ++i) {
        TIpMimeEntity& part = *e.Parts.Items(i);
        if (!part.ParentBoundary.empty() || HasContent(part)) return true;
    }
    return false;
}
}  // namespace

bool TIpMimeEntity::WritesSeparator(bool hasHeaderLines) {
    // Content added to a header that came without an empty line still needs one before it.
    return !Layout.Decoded || Layout.Separator || (hasHeaderLines && HasContent(*this));
}

std::vector<std::string> TIpMimeEntity::ReceivedLines() const {
    std::vector<std::string> lines;
    for (const auto& item : Layout.Header)
        lines.insert(lines.end(), item.Lines.begin(), item.Lines.end());
    return lines;
}

std::vector<TIpHeaderItem> TIpMimeEntity::DecodedItems() const {
    TIpMimeEntity decoded(nullptr);
    decoded.DecodeMimeHeaders(ReceivedLines());
    return decoded.HeaderItems();
}

// --- boundaries ------------------------------------------------------------------------------

std::string GenerateBoundary() {
    // The sequence makes boundaries made within the same millisecond (nested parts) differ;
    // its random start makes two processes unlikely to agree.
    static std::atomic<uint32_t> sequence{std::random_device{}()};
    std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    // Days counted from 30 December 1899 in local time, as the point programs count them.
    int64_t localSeconds = int64_t(now) + local.tm_gmtoff;
    int64_t days = localSeconds / 86400 + 25569;
    int64_t secondOfDay = int64_t(local.tm_hour) * 3600 + local.tm_min * 60 + local.tm_sec;
    int64_t fraction = secondOfDay * 10000 / 86400;
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    uint32_t ticks = uint32_t(int64_t(ts.tv_sec) * 1000 + ts.tv_nsec / 1000000);
    uint32_t random = sequence.fetch_add(1) % 65535;
    return "_NextPart_" + Hex(uint64_t(days), 8) + "-" + Hex(uint64_t(fraction), 8) + "-" +
           Hex(ticks, 8) + "-" + Hex(random, 4);
}

std::vector<std::string> SplitAddressList(const std::string& value) {
    std::vector<std::string> out;
    std::string piece;
    bool quoted = false;
    int angle = 0, comment = 0;
    auto flush = [&] {
        std::string t = TrimBlanks(piece);
        if (!t.empty()) out.push_back(t);
        piece.clear();
    };
    for (size_t i = 0; i < value.size(); ++i) {
        char c = value[i];
        if ((quoted || comment > 0) && c == '\\' && i + 1 < value.size()) {
            piece += c;
            piece += value[++i];
            continue;
        }
        if (quoted) {
            if (c == '"') quoted = false;
        } else if (c == '"') {
            quoted = true;
        } else if (c == '(') {
            ++comment;
        } else if (c == ')' && comment > 0) {
            --comment;
        } else if (comment == 0 && c == '<') {
            ++angle;
        } else if (comment == 0 && c == '>' && angle > 0) {
            --angle;
        } else if (c == ',' && comment == 0 && angle == 0) {
            flush();
            continue;
        }
        piece += c;
    }
    flush();
    return out;
}

// --- TIpFormDataEntity -----------------------------------------------------------------------

TIpFormDataEntity::TIpFormDataEntity(TIpMimeEntity* parentEntity) : TIpMimeEntity(parentEntity) {
    ContentType = "multipart";
    ContentSubtype = "form-data";
    IsMime = true;
    IsMultipart = true;
    Boundary = GenerateBoundary();
}

void TIpFormDataEntity::Clear() {
    TIpMimeEntity::Clear();
    FFiles = nullptr;
}

void TIpFormDataEntity::AddFormData(const std::string& name, const std::string& text) {
    TIpMimeEntity* part = AddPart();
    // A content type makes the part's header lines (and with them its name) get written.
    part->ContentType = "text";
    part->ContentSubtype = "plain";
    part->IsMime = true;
    part->ContentName = name;
    part->ContentDisposition = "form-data";
    part->Body.WriteLine(text);
}

void TIpFormDataEntity::AddFile(const std::string& fileName, const std::string& contentType,
                                const std::string& contentSubtype, TIpMimeEncodingMethod encoding) {
    if (!FFiles) {
        FFiles = AddPart();
        FFiles->ContentName = "files";
        FFiles->ContentDisposition = "form-data";
        FFiles->ContentType = "multipart";
        FFiles->ContentSubtype = "mixed";
        FFiles->IsMime = true;
    }
    TIpMimeEntity* part = FFiles->AddPart();
    part->ContentDisposition = "attachment";
    part->ContentType = contentType;
    part->ContentSubtype = contentSubtype;
    part->ContentTransferEncoding = encoding;
    part->IsMime = true;
    TFileStream file(fileName, fmOpenRead | fmShareDenyWrite);
    part->EncodeBodyStream(file, fileName);
}
