#include "app/ui/ViewMessageParts.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <functional>
#include <new>

#include "app/engine/SpoolFiles.h"
#include "app/ui/Limits.h"
#include "htmlview/anim/IpGifImage.h"
#include "htmlview/png/IpPNGImg.h"
#include "netlib/mime/MimeMessage.h"
#include "platform/classes/Exception.h"
#include "platform/gdi/Graphics.h"
#include "platform/gdi/Jpeg.h"

namespace {

// The picture classes of the image subtypes mailers send.
struct TPictureKind {
    const char* Subtype;
    std::function<std::unique_ptr<TGraphic>()> Make;
};
const TPictureKind PictureKinds[] = {
    {"png", [] { return std::make_unique<TIpPNGImage>(); }},
    {"gif", [] { return std::make_unique<TIpGifImage>(); }},
    {"jpeg", [] { return std::make_unique<TJPEGImage>(); }},
    {"jpg", [] { return std::make_unique<TJPEGImage>(); }},
    {"pjpeg", [] { return std::make_unique<TJPEGImage>(); }},
    {"bmp", [] { return std::make_unique<TBitmap>(); }},
    {"x-ms-bmp", [] { return std::make_unique<TBitmap>(); }},
};

bool SameAscii(const std::string& A, const std::string& B) {
    if (A.size() != B.size()) return false;
    for (size_t I = 0; I < A.size(); ++I)
        if (std::tolower(uint8_t(A[I])) != std::tolower(uint8_t(B[I]))) return false;
    return true;
}

std::string WithoutAngles(std::string Id) {
    if (Id.size() >= 2 && Id.front() == '<' && Id.back() == '>') Id = Id.substr(1, Id.size() - 2);
    return Id;
}

// Made once for the program's run; removed with what it holds when the program ends (the
// desktop's handler has the file open by then, or never will).
class TPrivateFolder {
  public:
    TPrivateFolder() {
        const char* Tmp = std::getenv("TMPDIR");
        std::string Pattern = std::string(Tmp && *Tmp ? Tmp : "/tmp") + "/kestro-XXXXXX";
        // mkdtemp makes it with mode 0700: no other user can read an attachment or place a
        // file (or a link) under a name the viewer will write.
        if (!mkdtemp(Pattern.data()))
            throw Exception("Kein privater Ordner für Dateianhänge: " +
                            std::string(std::strerror(errno)));
        FPath = Pattern + "/";
    }
    ~TPrivateFolder() {
        std::error_code Ignored;
        std::filesystem::remove_all(FPath, Ignored);
    }
    TPrivateFolder(const TPrivateFolder&) = delete;
    TPrivateFolder& operator=(const TPrivateFolder&) = delete;
    const std::string& Path() const { return FPath; }

  private:
    std::string FPath;
};

}  // namespace

std::string AttachmentBareName(const TIpMimeEntity& Part) {
    const std::string& Name = Part.ContentName.empty() ? Part.FileName : Part.ContentName;
    const size_t Slash = Name.find_last_of("/\\");
    return Slash == std::string::npos ? Name : Name.substr(Slash + 1);
}

bool UsableAttachmentName(const std::string& BareName) {
    if (BareName.empty() || BareName == "." || BareName == "..") return false;
    if (BareName.size() > UiLimits::kMaxAttachmentNameLength) return false;
    for (const char C : BareName)
        if (uint8_t(C) < 0x20 || C == 0x7F) return false;
    return BareName.find_first_of("/\\") == std::string::npos;
}

std::string AttachmentSavePreset(const TIpMimeEntity& Part) {
    const std::string Name = AttachmentBareName(Part);
    return UsableAttachmentName(Name) ? Name : "*.*";
}

const std::string& AttachmentFolder() {
    static const TPrivateFolder Folder;
    return Folder.Path();
}

void DecodeAttachment(TIpMimeEntity& Part, const std::string& FileName) {
    // The content a fetch would have extracted into the box's directory, byte for byte.
    const std::string Data = AttachmentContent(Part);
    TFileStream File(FileName, fmCreate);
    if (!Data.empty()) File.WriteBuffer(Data.data(), int64_t(Data.size()));
}

TIpMimeEntity* FindContentPart(TIpMimeEntity& Root, const std::string& URL) {
    if (URL.size() < 4 || !SameAscii(URL.substr(0, 4), "cid:")) return nullptr;
    const std::string Id = WithoutAngles(URL.substr(4));
    if (Id.empty()) return nullptr;
    for (int I = 0; I < Root.Parts.Count(); ++I) {
        TIpMimeEntity* Part = Root.Parts.Items(I);
        if (WithoutAngles(Part->ContentID) == Id) return Part;
        if (TIpMimeEntity* Inner = FindContentPart(*Part, URL)) return Inner;
    }
    return nullptr;
}

std::shared_ptr<TPicture> PartPicture(TIpMimeEntity& Part) {
    if (!SameAscii(Part.ContentType, "image")) return nullptr;
    for (const TPictureKind& Kind : PictureKinds) {
        if (!SameAscii(Part.ContentSubtype, Kind.Subtype)) continue;
        std::unique_ptr<TGraphic> Graphic = Kind.Make();
        // A picture that cannot be read (nor its body decoded), or whose memory cannot be had,
        // shows as the viewer's broken picture, like a missing one.
        try {
            TMemoryStream Data;
            Part.Body.Seek(0, soBeginning);
            Part.DecodeBodyStream(Data);
            Data.SetPosition(0);
            Graphic->LoadFromStream(Data);
        } catch (const Exception&) {
            return nullptr;
        } catch (const std::bad_alloc&) {
            return nullptr;
        }
        auto Picture = std::make_shared<TPicture>();
        Picture->TakeGraphic(std::move(Graphic));
        return Picture;
    }
    return nullptr;
}
