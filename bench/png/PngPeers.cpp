// The PNG decoder side by side with libspng and with libpng, on the same files in the same
// process:
//   a 4000 x 3000 RGB photograph (smooth gradients with a little noise),
//   a 2000 x 2000 RGBA picture (the same with an alpha ramp),
//   a 2000 x 2000 palette picture (256 colours),
//   a 2000 x 2000 RGB picture written interlaced (Adam7).
// Every file is written once at start by libpng's writer with its default compression and
// filters. Each library decodes into 32-bit pixels in memory it keeps from call to call: ours
// into its pixel buffer, the peers to RGBA8 with their default settings (both check the
// chunks' CRCs, which ours reads and skips).
//
//   build/rel/bench/png/bench_png_peers
//
// Before anything is timed every library decodes each file once and the red, green and blue
// of every pixel must give the same checksum (ours shows no alpha, so alpha is left out).
// Then rounds of alternating decodes (see bench/SideBySide.h).
#include <png.h>
#include <spng.h>

#include <algorithm>
#include <csetjmp>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "bench/SideBySide.h"
#include "htmlview/png/PngDecoder.h"

namespace {

struct TPicture {
    std::string Name;
    std::string File;
};

// --- writing the files ------------------------------------------------------------------------

void AppendToString(png_structp Png, png_bytep Data, png_size_t Length) {
    static_cast<std::string*>(png_get_io_ptr(Png))->append(reinterpret_cast<char*>(Data), Length);
}

using TRowMaker = std::function<void(int Y, uint8_t* Row)>;

// ColorType and Channels as libpng takes them; Palette for PNG_COLOR_TYPE_PALETTE.
std::string WritePng(int Width, int Height, int ColorType, int Channels, bool Interlaced,
                     const TRowMaker& MakeRow, const std::vector<png_color>& Palette = {}) {
    std::string Out;
    std::vector<uint8_t> Pixels(size_t(Width) * size_t(Height) * size_t(Channels));
    std::vector<png_bytep> Rows(static_cast<size_t>(Height));
    for (int Y = 0; Y < Height; ++Y) {
        Rows[size_t(Y)] = Pixels.data() + size_t(Y) * size_t(Width) * size_t(Channels);
        MakeRow(Y, Rows[size_t(Y)]);
    }
    png_structp Png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop Info = png_create_info_struct(Png);
    if (setjmp(png_jmpbuf(Png))) SideBySide::Differ("libpng could not write a test file");
    png_set_write_fn(Png, &Out, AppendToString, nullptr);
    png_set_IHDR(Png, Info, png_uint_32(Width), png_uint_32(Height), 8, ColorType,
                 Interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    if (!Palette.empty()) png_set_PLTE(Png, Info, Palette.data(), int(Palette.size()));
    png_write_info(Png, Info);
    png_write_image(Png, Rows.data());
    png_write_end(Png, Info);
    png_destroy_write_struct(&Png, &Info);
    return Out;
}

// Smooth gradients with a little noise, as a photograph; Alpha adds a ramp across.
TRowMaker Photo(int Width, int Height, bool Alpha) {
    return [=](int Y, uint8_t* Row) {
        uint32_t Noise = 12345u + uint32_t(Y) * 7919u;
        const int Channels = Alpha ? 4 : 3;
        for (int X = 0; X < Width; ++X) {
            Noise = Noise * 1103515245u + 12345u;
            const int N = int(Noise >> 28) - 8;
            uint8_t* P = Row + size_t(X) * size_t(Channels);
            P[0] = uint8_t(std::clamp(X * 255 / Width + N, 0, 255));
            P[1] = uint8_t(std::clamp(Y * 255 / Height + N, 0, 255));
            P[2] = uint8_t(std::clamp((X + Y) * 255 / (Width + Height) - N, 0, 255));
            if (Alpha) P[3] = uint8_t(X * 255 / Width);
        }
    };
}

std::vector<TPicture> Pictures() {
    std::vector<png_color> Palette(256);
    for (int I = 0; I < 256; ++I)
        Palette[size_t(I)] = {png_byte(I), png_byte(255 - I), png_byte(I * 7)};
    const TRowMaker Indexed = [](int Y, uint8_t* Row) {
        for (int X = 0; X < 2000; ++X) Row[X] = uint8_t((X / 16 + Y / 16 + (X * Y) % 7) & 0xFF);
    };
    return {
        {"4000 x 3000 RGB photo",
         WritePng(4000, 3000, PNG_COLOR_TYPE_RGB, 3, false, Photo(4000, 3000, false))},
        {"2000 x 2000 RGBA",
         WritePng(2000, 2000, PNG_COLOR_TYPE_RGBA, 4, false, Photo(2000, 2000, true))},
        {"2000 x 2000 palette",
         WritePng(2000, 2000, PNG_COLOR_TYPE_PALETTE, 1, false, Indexed, Palette)},
        {"2000 x 2000 RGB, Adam7",
         WritePng(2000, 2000, PNG_COLOR_TYPE_RGB, 3, true, Photo(2000, 2000, false))},
    };
}

// --- the decoders -----------------------------------------------------------------------------

// Red, green and blue of every pixel, in order.
uint64_t Checksum(const uint8_t* Rgba, size_t Pixels) {
    uint64_t Sum = 1469598103934665603u;
    for (size_t I = 0; I < Pixels; ++I) {
        const uint32_t Rgb =
            uint32_t(Rgba[4 * I]) << 16 | uint32_t(Rgba[4 * I + 1]) << 8 | Rgba[4 * I + 2];
        Sum = (Sum ^ Rgb) * 1099511628211u;
    }
    return Sum;
}

class TKestro {
  public:
    explicit TKestro(const std::string& File) : FStream(File) {}
    void Decode() {
        FStream.SetPosition(0);
        FDecoder.Decode(FStream, FPixels);
    }
    uint64_t Checksum() const {
        uint64_t Sum = 1469598103934665603u;
        for (int Y = 0; Y < FPixels.Height(); ++Y)
            for (int X = 0; X < FPixels.Width(); ++X)
                Sum = (Sum ^ (FPixels.Pixel(X, Y) & 0xFFFFFF)) * 1099511628211u;
        return Sum;
    }

  private:
    TStringStream FStream;
    TIpPNGDecoder FDecoder;
    TPngPixelBuffer FPixels;
};

class TSpng {
  public:
    explicit TSpng(const std::string& File) : FFile(File) {}
    void Decode() {
        spng_ctx* Ctx = spng_ctx_new(0);
        spng_set_png_buffer(Ctx, FFile.data(), FFile.size());
        size_t Size = 0;
        if (spng_decoded_image_size(Ctx, SPNG_FMT_RGBA8, &Size) != 0)
            SideBySide::Differ("libspng could not read a test file");
        FPixels.resize(Size);
        if (spng_decode_image(Ctx, FPixels.data(), Size, SPNG_FMT_RGBA8, 0) != 0)
            SideBySide::Differ("libspng could not decode a test file");
        spng_ctx_free(Ctx);
    }
    uint64_t Checksum() const { return ::Checksum(FPixels.data(), FPixels.size() / 4); }

  private:
    const std::string& FFile;
    std::vector<uint8_t> FPixels;
};

class TLibpng {
  public:
    explicit TLibpng(const std::string& File) : FFile(File) {}
    void Decode() {
        FAt = 0;
        png_structp Png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
        png_infop Info = png_create_info_struct(Png);
        if (setjmp(png_jmpbuf(Png))) SideBySide::Differ("libpng could not decode a test file");
        png_set_read_fn(Png, this, &TLibpng::ReadFrom);
        png_read_info(Png, Info);
        // Everything to 8-bit RGBA, as the others decode.
        png_set_expand(Png);
        png_set_strip_16(Png);
        png_set_gray_to_rgb(Png);
        png_set_filler(Png, 0xFF, PNG_FILLER_AFTER);
        png_set_interlace_handling(Png);
        png_read_update_info(Png, Info);
        const size_t Width = png_get_image_width(Png, Info);
        const size_t Height = png_get_image_height(Png, Info);
        FPixels.resize(Width * Height * 4);
        FRows.resize(Height);
        for (size_t Y = 0; Y < Height; ++Y) FRows[Y] = FPixels.data() + Y * Width * 4;
        png_read_image(Png, FRows.data());
        png_read_end(Png, nullptr);
        png_destroy_read_struct(&Png, &Info, nullptr);
    }
    uint64_t Checksum() const { return ::Checksum(FPixels.data(), FPixels.size() / 4); }

  private:
    static void ReadFrom(png_structp Png, png_bytep Data, png_size_t Length) {
        auto& Self = *static_cast<TLibpng*>(png_get_io_ptr(Png));
        if (Length > Self.FFile.size() - Self.FAt) png_error(Png, "read past the end");
        std::memcpy(Data, Self.FFile.data() + Self.FAt, Length);
        Self.FAt += Length;
    }

    const std::string& FFile;
    size_t FAt = 0;
    std::vector<uint8_t> FPixels;
    std::vector<png_bytep> FRows;
};

template <class TPeer>
void Compare(const char* PeerName, const std::vector<TPicture>& List) {
    SideBySide::PrintHeader(PeerName);
    for (const TPicture& P : List) {
        TKestro Ours(P.File);
        TPeer Peer(P.File);
        Ours.Decode();
        Peer.Decode();
        if (Ours.Checksum() != Peer.Checksum())
            SideBySide::Differ(P.Name + ": pixel checksums differ from " + PeerName);
        SideBySide::PrintRow(P.Name + " (" + std::to_string(P.File.size() >> 10) + " KB)",
                             SideBySide::Run([&] { Ours.Decode(); }, [&] { Peer.Decode(); }));
    }
}

}  // namespace

int main() {
    const std::vector<TPicture> List = Pictures();
    Compare<TSpng>("libspng", List);
    std::printf("\n");
    Compare<TLibpng>("libpng", List);
    return 0;
}
