// libjpeg reports fatal errors through a callback that must not return: it jumps back to the
// decoder's set-up with longjmp. Only libjpeg's C frames lie between the two, and everything the
// decoder fills in lives in a job record outside the jumping function, so no C++ destructor is
// skipped and no local changed after setjmp is read after the jump.
#include "platform/gdi/Jpeg.h"

#include <algorithm>
#include <csetjmp>
#include <cstdio>
#include <memory>

#include <jpeglib.h>

#include "platform/gdi/Limits.h"
#include "platform/gdi/PixelAllowance.h"

namespace {

struct TJpegError {
    jpeg_error_mgr Pub;
    std::jmp_buf Jump;
};

struct TJpegJob {
    jpeg_decompress_struct Info;
    TJpegError Error;
    jpeg_progress_mgr Progress;
    int Width = 0;
    int Height = 0;
    std::vector<uint8_t> Rgb;
};

[[noreturn]] void OnFatal(j_common_ptr Common) {
    std::longjmp(reinterpret_cast<TJpegError*>(Common->err)->Jump, 1);
}

// Warnings of damaged data are not worth a line on standard error: the picture shows what could
// be read.
void OnMessage(j_common_ptr) {}

// Each scan of a progressive file walks the whole picture: a file of thousands of tiny scans
// keeps libjpeg busy for minutes.
void OnProgress(j_common_ptr Common) {
    auto* Info = reinterpret_cast<j_decompress_ptr>(Common);
    if (Info->input_scan_number > GdiLimits::kMaxJpegScans) OnFatal(Common);
}

bool SizeAllowed(int64_t W, int64_t H, size_t Bytes) {
    return W >= 1 && H >= 1 && W <= GdiLimits::kMaxBitmapSide && H <= GdiLimits::kMaxBitmapSide &&
           W * H <= GdiLimits::kMaxBitmapPixels &&
           W * H <= int64_t(Bytes) * GdiLimits::kMaxJpegPixelsPerByte &&
           W * H <= BitmapPixelsLeft();
}

bool Decode(TJpegJob* Job, const uint8_t* Data, size_t Size) {
    Job->Info.err = jpeg_std_error(&Job->Error.Pub);
    Job->Error.Pub.error_exit = OnFatal;
    Job->Error.Pub.output_message = OnMessage;
    if (setjmp(Job->Error.Jump)) {
        jpeg_destroy_decompress(&Job->Info);
        return false;
    }
    jpeg_create_decompress(&Job->Info);
    Job->Progress.progress_monitor = OnProgress;
    Job->Info.progress = &Job->Progress;
    jpeg_mem_src(&Job->Info, Data, static_cast<unsigned long>(Size));
    jpeg_read_header(&Job->Info, TRUE);
    const J_COLOR_SPACE Space = Job->Info.jpeg_color_space;
    if ((Space != JCS_GRAYSCALE && Space != JCS_RGB && Space != JCS_YCbCr) ||
        !SizeAllowed(Job->Info.image_width, Job->Info.image_height, Size)) {
        jpeg_destroy_decompress(&Job->Info);
        return false;
    }
    Job->Info.out_color_space = JCS_RGB;
    jpeg_start_decompress(&Job->Info);
    Job->Width = int(Job->Info.output_width);
    Job->Height = int(Job->Info.output_height);
    Job->Rgb.assign(size_t(Job->Width) * size_t(Job->Height) * 3, 0);
    while (Job->Info.output_scanline < Job->Info.output_height) {
        JSAMPROW Row = &Job->Rgb[size_t(Job->Info.output_scanline) * size_t(Job->Width) * 3];
        jpeg_read_scanlines(&Job->Info, &Row, 1);
    }
    jpeg_finish_decompress(&Job->Info);
    jpeg_destroy_decompress(&Job->Info);
    return true;
}

}  // namespace

bool IsJpeg(std::span<const uint8_t> Data) {
    return Data.size() >= 3 && Data[0] == 0xFF && Data[1] == 0xD8 && Data[2] == 0xFF;
}

QImage DecodeJpeg(std::span<const uint8_t> Data) {
    if (!IsJpeg(Data)) return {};
    auto Job = std::make_unique<TJpegJob>();
    if (!Decode(Job.get(), Data.data(), Data.size())) return {};
    QImage Out(Job->Width, Job->Height, QImage::Format_RGB32);
    if (Out.isNull()) return {};
    for (int Y = 0; Y < Job->Height; ++Y) {
        const uint8_t* Src = &Job->Rgb[size_t(Y) * size_t(Job->Width) * 3];
        auto* Dst = reinterpret_cast<QRgb*>(Out.scanLine(Y));
        for (int X = 0; X < Job->Width; ++X)
            Dst[X] = qRgb(Src[X * 3], Src[X * 3 + 1], Src[X * 3 + 2]);
    }
    return Out;
}

// --- TJPEGImage ------------------------------------------------------------------------------

TJPEGImage::TJPEGImage() = default;
TJPEGImage::~TJPEGImage() = default;

void TJPEGImage::Draw(TCanvas& Canvas, const TRect& R) {
    Canvas.StretchDraw(R, FBitmap);
}

void TJPEGImage::LoadFromStream(TStream& Stream) {
    const int64_t Left = Stream.Size() - Stream.Position();
    if (Left > GdiLimits::kMaxJpegBytes) throw EInvalidGraphic("JPEG data is too large");
    std::vector<uint8_t> Data(size_t(std::max<int64_t>(Left, 0)));
    if (!Data.empty()) Stream.ReadBuffer(Data.data(), int64_t(Data.size()));
    const QImage Image = DecodeJpeg(Data);
    if (Image.isNull()) throw EInvalidGraphic("JPEG image is not valid");
    FData = std::move(Data);
    FBitmap.SetPixelFormat(pf32bit);
    FBitmap.SetImage(Image);
    Changed();
}

void TJPEGImage::SaveToStream(TStream& Stream) {
    if (!FData.empty()) Stream.WriteBuffer(FData.data(), int64_t(FData.size()));
}

void TJPEGImage::Assign(const TGraphic& Source) {
    const auto* Jpeg = dynamic_cast<const TJPEGImage*>(&Source);
    if (!Jpeg) return TGraphic::Assign(Source);
    if (Jpeg == this) return;
    FData = Jpeg->FData;
    FBitmap.Assign(Jpeg->FBitmap);
    Changed();
}

void TJPEGImage::AssignTo(TGraphic& Dest) const {
    if (auto* Bitmap = dynamic_cast<TBitmap*>(&Dest)) return Bitmap->Assign(FBitmap);
    TGraphic::AssignTo(Dest);
}
