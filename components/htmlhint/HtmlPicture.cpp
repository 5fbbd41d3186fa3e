#include "components/htmlhint/HtmlPicture.h"

#include <QBuffer>
#include <QImageReader>
#include <filesystem>

#include "components/htmlhint/GifFrames.h"
#include "components/htmlhint/Limits.h"
#include "platform/fs/Files.h"
#include "platform/gdi/Jpeg.h"
#include "platform/gdi/Limits.h"

namespace {

const TResourceModule* GResourceModule = nullptr;

bool StartsWith(const std::string& S, std::string_view Prefix) {
    return S.size() >= Prefix.size() && S.compare(0, Prefix.size(), Prefix) == 0;
}

std::string Upper(std::string S) {
    for (char& C : S)
        if (C >= 'a' && C <= 'z') C = char(C - 'a' + 'A');
    return S;
}

bool IsBmp(std::span<const uint8_t> Data) {
    return Data.size() >= 2 && Data[0] == 'B' && Data[1] == 'M';
}

// BMP and GIF through Qt's readers, with the painting layer's size limits checked first.
QImage ReadWithQt(std::span<const uint8_t> Data, const char* Format) {
    QByteArray Bytes(reinterpret_cast<const char*>(Data.data()), qsizetype(Data.size()));
    QBuffer Buffer(&Bytes);
    Buffer.open(QIODevice::ReadOnly);
    QImageReader Reader(&Buffer, Format);
    const QSize Size = Reader.size();
    if (!Size.isValid() || Size.width() > GdiLimits::kMaxBitmapSide ||
        Size.height() > GdiLimits::kMaxBitmapSide ||
        int64_t(Size.width()) * Size.height() > GdiLimits::kMaxBitmapPixels)
        return {};
    return Reader.read();
}

// The key colour that marks transparent pixels for the bitmap's transparent drawing.
constexpr QRgb kTransparentKey = 0xFFFF00FFu;

}  // namespace

void DrawPictureImage(TCanvas& Canvas, const TRect& R, const QImage& Image) {
    if (Image.isNull() || R.Width() <= 0 || R.Height() <= 0) return;
    TBitmap Bitmap;
    if (Image.hasAlphaChannel()) {
        QImage Keyed = Image.convertToFormat(QImage::Format_ARGB32);
        for (int Y = 0; Y < Keyed.height(); ++Y) {
            auto* Row = reinterpret_cast<QRgb*>(Keyed.scanLine(Y));
            for (int X = 0; X < Keyed.width(); ++X)
                Row[X] = qAlpha(Row[X]) < 128 ? kTransparentKey : (Row[X] | 0xFF000000u);
        }
        Bitmap.SetImage(Keyed.convertToFormat(QImage::Format_RGB32));
        Bitmap.SetTransparentMode(tmFixed);
        Bitmap.SetTransparentColor(TColor(0xFF00FF));
        Bitmap.SetTransparent(true);
    } else {
        Bitmap.SetImage(Image.convertToFormat(QImage::Format_RGB32));
    }
    Canvas.StretchDraw(R, Bitmap);
}

// --- THTMLPicture ---------------------------------------------------------------------------

THTMLPicture::THTMLPicture() = default;
THTMLPicture::~THTMLPicture() = default;

void THTMLPicture::SetResourceModule(const TResourceModule* Module) {
    GResourceModule = Module;
}

int THTMLPicture::Width() const {
    return FImage.isNull() ? 0 : FImage.width();
}

int THTMLPicture::Height() const {
    return FImage.isNull() ? 0 : FImage.height();
}

void THTMLPicture::Draw(TCanvas& Canvas, const TRect& R) {
    if (FEmpty || FImage.isNull()) return;
    if (FStretch)
        DrawPictureImage(Canvas, R, FImage);
    else
        DrawPictureImage(Canvas, Rect(R.Left, R.Top, R.Left + Width(), R.Top + Height()), FImage);
}

void THTMLPicture::LoadFromStream(TStream& Stream) {
    const int64_t Left = Stream.Size() - Stream.Position();
    if (Left < 0 || uint64_t(Left) > HtmlHintLimits::kMaxPictureBytes)
        throw Exception("Could not allocate memory for image");
    std::vector<uint8_t> Bytes(size_t(Left), 0);
    if (Left > 0) Stream.ReadBuffer(Bytes.data(), Left);
    LoadFromBytes(Bytes);
}

void THTMLPicture::LoadFromBytes(std::span<const uint8_t> Data) {
    if (Data.size() > HtmlHintLimits::kMaxPictureBytes)
        throw Exception("Could not allocate memory for image");
    FData.assign(Data.begin(), Data.end());
    FEmpty = false;
    FFrameCount = -2;
    try {
        Decode();
    } catch (...) {
        FData.clear();
        FImage = QImage();
        FEmpty = true;
        throw;
    }
    Changed();
}

void THTMLPicture::LoadFromResourceName(const std::string& Name) {
    const TResourceModule& Module = GResourceModule ? *GResourceModule : MainResourceModule();
    const std::span<const uint8_t> Data = FindResourceData(Module, Upper(Name));
    if (Data.empty()) return;
    LoadFromBytes(Data);
}

void THTMLPicture::SaveToStream(TStream& Stream) {
    if (!FData.empty()) Stream.WriteBuffer(FData.data(), int64_t(FData.size()));
}

void THTMLPicture::Assign(const TGraphic& Source) {
    const auto* Other = dynamic_cast<const THTMLPicture*>(&Source);
    if (!Other) {
        TGraphic::Assign(Source);
        return;
    }
    if (Other == this) return;
    FStretch = Other->FStretch;
    FFrame = Other->FFrame;
    FID = Other->FID;
    if (Other->FEmpty) {
        FData.clear();
        FImage = QImage();
        FEmpty = true;
        Changed();
        return;
    }
    LoadFromBytes(Other->FData);
}

void THTMLPicture::SetFrame(int Value) {
    FFrame = Value;
    if (FData.empty()) return;
    Decode();
    if (OnFrameChange) OnFrameChange(this);
}

int THTMLPicture::FrameCount() {
    if (FFrameCount == -2) {
        if (FData.empty()) return 0;
        FFrameCount = GifFrames::IsGif(FData) ? int(GifFrames::Frames(FData).size()) : -1;
    }
    return FFrameCount;
}

void THTMLPicture::Decode() {
    FImage = QImage();
    FGIFWidth = FGIFHeight = 0;
    FFrameXPos = FFrameYPos = FFrameXSize = FFrameYSize = 0;
    if (FData.empty()) throw Exception("Empty image stream created");
    QImage Decoded;
    if (GifFrames::IsGif(FData)) {
        FGIFWidth = GifFrames::ScreenWidth(FData);
        FGIFHeight = GifFrames::ScreenHeight(FData);
        const std::vector<GifFrames::TFrame> Frames = GifFrames::Frames(FData);
        if (!Frames.empty()) {
            const int Chosen = std::clamp(FFrame, 1, int(Frames.size()));
            const GifFrames::TFrame& F = Frames[size_t(Chosen) - 1];
            FFrameXPos = F.Left;
            FFrameYPos = F.Top;
            FFrameXSize = F.Width;
            FFrameYSize = F.Height;
            Decoded = ReadWithQt(GifFrames::KeepFrame(FData, Chosen), "gif");
        } else {
            Decoded = ReadWithQt(FData, "gif");
        }
    } else if (IsJpeg(FData)) {
        Decoded = DecodeJpeg(FData);
    } else if (IsBmp(FData)) {
        Decoded = ReadWithQt(FData, "bmp");
    } else {
        throw Exception("Could not load image. Invalid format");
    }
    if (Decoded.isNull()) throw Exception("Could not load image");
    FImage = std::move(Decoded);
}

void THTMLPicture::SetID(const std::string& Value) {
    FID = Value;
    const std::string Key = Upper(Value);
    if (StartsWith(Key, "RES://")) {
        LoadFromResourceName(Key.substr(6));
    } else if (StartsWith(Key, "FILE://")) {
        // The name as written, found without regard to case where it does not exist so. Only
        // plain files: a device or a pipe named here would never end.
        const std::string Path = ResolvePath(Value.substr(7));
        std::error_code Error;
        if (std::filesystem::is_regular_file(Path, Error)) LoadFromFile(Path);
    }
    // Network sources are never fetched: the picture stays empty.
}

// --- the container and the cache ------------------------------------------------------------

TPictureItem::TPictureItem(TCollection* Collection)
    : TCollectionItem(Collection), FPicture(std::make_unique<THTMLPicture>()) {}

TPictureItem::~TPictureItem() = default;

void TPictureItem::Assign(const TPersistent* Source) {
    const auto* Other = dynamic_cast<const TPictureItem*>(Source);
    if (!Other) {
        TCollectionItem::Assign(Source);
        return;
    }
    FPicture->Assign(*Other->FPicture);
    FName = Other->FName;
    FTag = Other->FTag;
}

TPictureContainer::TPictureContainer(TComponent* AOwner)
    : TComponent(AOwner), FItems(ItemClassOf<TPictureItem>(), this) {}

TPictureContainer::~TPictureContainer() = default;

TPictureItem* TPictureContainer::Add() {
    return static_cast<TPictureItem*>(FItems.Add());
}

THTMLPicture* TPictureContainer::FindPicture(const std::string& Name) {
    for (int I = 0; I < FItems.Count(); ++I) {
        auto* Item = static_cast<TPictureItem*>(FItems.Items(I));
        if (Upper(Item->Name()) == Name) return &Item->Picture();
    }
    return nullptr;
}

THTMLPicture* THTMLPictureCache::AddPicture() {
    if (FPictures.size() >= HtmlHintLimits::kMaxCachedPictures) return nullptr;
    FPictures.push_back(std::make_unique<THTMLPicture>());
    return FPictures.back().get();
}

THTMLPicture* THTMLPictureCache::FindPicture(const std::string& ID) {
    for (const auto& P : FPictures)
        if (P->ID() == ID) return P.get();
    return nullptr;
}
