#include "platform/shell/Clipboard.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

#include <mutex>
#include <vector>

#include "platform/classes/CodePages.h"
#include "platform/gdi/Gdi.h"
#include "platform/shell/Limits.h"

namespace {

char UpperAscii(char C) {
    return C >= 'a' && C <= 'z' ? char(C - 'a' + 'A') : C;
}

bool SameName(const std::string& A, const std::string& B) {
    if (A.size() != B.size()) return false;
    for (size_t I = 0; I < A.size(); ++I)
        if (UpperAscii(A[I]) != UpperAscii(B[I])) return false;
    return true;
}

constexpr UINT kFirstCustomFormat = 0xC000;

std::mutex gLock;
std::vector<std::string> gFormats;  // index + kFirstCustomFormat is the id
std::unique_ptr<TClipboardService> gInstalled;

std::string FormatName(UINT Format) {
    std::lock_guard<std::mutex> Guard(gLock);
    if (Format < kFirstCustomFormat || Format - kFirstCustomFormat >= gFormats.size()) return {};
    return gFormats[Format - kFirstCustomFormat];
}

// The desktop's clipboard. Custom formats travel as MIME types of our own; their names may hold
// any characters, so everything but letters, digits, '-' and '.' is written as "_xx".
class TQtClipboardService : public TClipboardService {
  public:
    bool HasText() override {
        const QMimeData* Data = Board()->mimeData();
        return Data != nullptr && Data->hasText();
    }
    std::string TextUtf8() override {
        const QByteArray Text = Board()->text().toUtf8();
        if (size_t(Text.size()) > ShellLimits::kMaxClipboardBytes) return {};
        return std::string(Text.constData(), size_t(Text.size()));
    }
    void SetTextUtf8(const std::string& Text) override {
        Board()->setText(QString::fromUtf8(Text.data(), qsizetype(Text.size())));
    }
    bool HasData(const std::string& FormatName) override {
        const QMimeData* Data = Board()->mimeData();
        return Data != nullptr && Data->hasFormat(Mime(FormatName));
    }
    std::string Data(const std::string& FormatName) override {
        const QMimeData* Data = Board()->mimeData();
        if (Data == nullptr) return {};
        const QByteArray Bytes = Data->data(Mime(FormatName));
        if (size_t(Bytes.size()) > ShellLimits::kMaxClipboardBytes) return {};
        return std::string(Bytes.constData(), size_t(Bytes.size()));
    }
    void SetData(const std::string& FormatName, const std::string& Bytes) override {
        auto* Data = new QMimeData;
        Data->setData(Mime(FormatName), QByteArray(Bytes.data(), qsizetype(Bytes.size())));
        Board()->setMimeData(Data);  // the clipboard takes it over
    }
    void Clear() override { Board()->clear(); }

  private:
    static QClipboard* Board() { return QGuiApplication::clipboard(); }
    static QString Mime(const std::string& Name) {
        static const char Digits[] = "0123456789abcdef";
        std::string Type = "application/x-kestro-";
        for (const char Ch : Name) {
            const auto C = static_cast<unsigned char>(Ch);
            if ((C >= 'a' && C <= 'z') || (C >= 'A' && C <= 'Z') || (C >= '0' && C <= '9') ||
                C == '-' || C == '.') {
                Type += char(C);
            } else {
                Type += '_';
                Type += Digits[C >> 4];
                Type += Digits[C & 15];
            }
        }
        return QString::fromLatin1(Type.c_str());
    }
};

TClipboardService& Service() {
    {
        std::lock_guard<std::mutex> Guard(gLock);
        if (gInstalled) return *gInstalled;
    }
    if (qobject_cast<QGuiApplication*>(QCoreApplication::instance()) != nullptr) {
        static TQtClipboardService Desktop;
        return Desktop;
    }
    static TMemoryClipboardService InProcess;
    return InProcess;
}

std::string Replace(const std::string& Text, const std::string& From, const std::string& To) {
    std::string Out;
    size_t Start = 0;
    for (size_t At; (At = Text.find(From, Start)) != std::string::npos; Start = At + From.size())
        Out += Text.substr(Start, At - Start) + To;
    return Out + Text.substr(Start);
}

}  // namespace

void TMemoryClipboardService::SetTextUtf8(const std::string& Text) {
    Clear();
    FHasText = true;
    FText = Text;
}

bool TMemoryClipboardService::HasData(const std::string& FormatName) {
    return !FFormat.empty() && SameName(FFormat, FormatName);
}

std::string TMemoryClipboardService::Data(const std::string& FormatName) {
    return HasData(FormatName) ? FData : std::string();
}

void TMemoryClipboardService::SetData(const std::string& FormatName, const std::string& Bytes) {
    Clear();
    FFormat = FormatName;
    FData = Bytes;
}

void TMemoryClipboardService::Clear() {
    FHasText = false;
    FText.clear();
    FFormat.clear();
    FData.clear();
}

UINT RegisterClipboardFormat(const std::string& Name) {
    if (Name.empty() || Name.size() > ShellLimits::kMaxFormatNameLength) return 0;
    std::lock_guard<std::mutex> Guard(gLock);
    for (size_t I = 0; I < gFormats.size(); ++I)
        if (SameName(gFormats[I], Name)) return UINT(kFirstCustomFormat + I);
    if (gFormats.size() >= ShellLimits::kMaxClipboardFormats) return 0;
    gFormats.push_back(Name);
    return UINT(kFirstCustomFormat + gFormats.size() - 1);
}

std::string TClipboard::AsText() {
    TClipboardService& Board = Service();
    if (!Board.HasText()) return {};
    const std::string Utf8 = Board.TextUtf8();
    const std::string Bytes =
        UnicodeToCp1252(QString::fromUtf8(Utf8.data(), qsizetype(Utf8.size())));
    // The desktop's LF line ends become the program's CR LF.
    return Replace(Replace(Bytes, "\r\n", "\n"), "\n", "\r\n");
}

void TClipboard::SetAsText(const std::string& Bytes) {
    const QByteArray Utf8 = Cp1252ToUnicode(Replace(Bytes, "\r\n", "\n")).toUtf8();
    Service().SetTextUtf8(std::string(Utf8.constData(), size_t(Utf8.size())));
}

bool TClipboard::HasFormat(UINT Format) {
    if (Format == CF_TEXT) return Service().HasText();
    const std::string Name = FormatName(Format);
    return !Name.empty() && Service().HasData(Name);
}

std::string TClipboard::GetData(UINT Format) {
    if (Format == CF_TEXT) return AsText();
    const std::string Name = FormatName(Format);
    return Name.empty() ? std::string() : Service().Data(Name);
}

bool TClipboard::SetData(UINT Format, const std::string& Bytes) {
    if (Format == CF_TEXT) {
        SetAsText(Bytes);
        return true;
    }
    const std::string Name = FormatName(Format);
    if (Name.empty()) return false;
    Service().SetData(Name, Bytes);
    return true;
}

void TClipboard::Clear() {
    Service().Clear();
}

TClipboard& Clipboard() {
    static TClipboard Instance;
    return Instance;
}

std::unique_ptr<TClipboardService> SetClipboardService(std::unique_ptr<TClipboardService> Service) {
    std::lock_guard<std::mutex> Guard(gLock);
    std::swap(gInstalled, Service);
    return Service;
}
