#pragma once
// The PNG decoder proper: chunks, inflate, unfiltering, Adam7 and the conversion of every colour
// type and bit depth into 32-bit pixels, with the decoding log. It draws nothing and knows no
// bitmap: the picture class hands it a pixel target (a bitmap's scan lines, or a plain buffer).
//
// Not done here: saving, and checking the chunks' CRCs (they are read and skipped, so a file
// with a damaged CRC still shows) or their order and repetition.
#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/classes/Classes.h"
#include "platform/classes/Exception.h"

// Raised, after logging, for every error of decoding.
class EIpPNGError : public Exception {
  public:
    using Exception::Exception;
};

// Where decoded pixels go: rows of 32-bit pixels 0xFFRRGGBB (the memory order of a 32-bit
// device-independent bitmap).
class TPngPixelTarget {
  public:
    virtual ~TPngPixelTarget() = default;
    // Makes the target Width x Height pixels, all black.
    virtual void SetSize(int Width, int Height) = 0;
    // The Width pixels of row Row (0 is the top).
    virtual uint32_t* ScanLine(int Row) = 0;
};

// A pixel target in plain memory.
class TPngPixelBuffer : public TPngPixelTarget {
  public:
    void SetSize(int Width, int Height) override;
    uint32_t* ScanLine(int Row) override { return FPixels.data() + size_t(Row) * size_t(FWidth); }
    int Width() const { return FWidth; }
    int Height() const { return FHeight; }
    uint32_t Pixel(int X, int Y) const { return FPixels[size_t(Y) * size_t(FWidth) + size_t(X)]; }

  private:
    int FWidth = 0;
    int FHeight = 0;
    std::vector<uint32_t> FPixels;
};

// The chunk types the decoder knows, with their order class and repeatability (carried, not
// enforced).
struct TPngChunkInfo {
    char Type[5];
    uint8_t Id;
    uint8_t OrderClass;
    bool Repeatable;
};

enum TPngChunkId : uint8_t {
    pcIHDR = 0,
    pcIEND = 1,
    pcPLTE = 2,
    pcIDAT = 3,
    pcTRNS = 4,
    pcGAMA = 5,
    pcCHRM = 6,
    pcSRGB = 7,
    pcICCP = 8,
    pcTEXT = 9,
    pcZTXT = 10,
    pcITXT = 11,
    pcBKGD = 12,
    pcPHYS = 13,
    pcSBIT = 14,
    pcSPLT = 15,
    pcHIST = 16,
    pcTIME = 17,
    pcEOF = 18,
};

inline constexpr std::array<uint8_t, 8> kPngSignature = {137, 80, 78, 71, 13, 10, 26, 10};

// The table in its fixed order; null when Type is not in it.
const TPngChunkInfo* FindPngChunk(std::string_view Type);

// One palette entry.
struct TPngPaletteEntry {
    uint8_t Red = 0;
    uint8_t Green = 0;
    uint8_t Blue = 0;
    uint8_t Alpha = 255;
};

class TIpPNGDecoder {
  public:
    // Settings.
    bool CorrectGamma = false;
    bool DetailedLog = true;
    bool ShowWarnings = false;
    // Shows a warning's message to the user (called only with ShowWarnings).
    std::function<void(const std::string&)> OnShowWarning;

    // What the last load found. Colours are 0x00BBGGRR.
    TStringList Comments;
    TStringList Log;
    double ModificationDate = 0;  // days since 30 December 1899; 0 when the file gives none
    bool Transparent = false;
    uint32_t TransparentColor = 0xFFFFFF;

    // Reads a PNG from the stream's position into Target (sized when the image data has been
    // inflated). Raises EIpPNGError after logging; Target then holds the rows placed so far.
    void Decode(TStream& Stream, TPngPixelTarget& Target);

    // The gamma and palette of the last load.
    double Gamma() const { return FGamma; }
    const std::array<TPngPaletteEntry, 256>& Palette() const { return FPalette; }
    // Bytes the decoder's buffers hold now (chunk buffer, compressed and inflated data), and the
    // most they held during the last load.
    size_t BufferBytes() const;
    size_t PeakBufferBytes() const { return FPeakBufferBytes; }

  private:
    struct TPass;

    void Reset();
    void Warning(std::string_view Message);
    [[noreturn]] void Error(std::string_view Message);
    void Info(std::string_view Line);
    void NoteBuffers();

    int64_t ReadFully(void* Buffer, int64_t Count);
    void ReadSignature();
    // False (and the type "*EOF") at the end of the stream.
    bool ReadChunkHeader(uint32_t& Length, std::string& Type);
    uint64_t ReadChunkData(uint32_t Length, std::vector<uint8_t>& Into, size_t At, uint64_t Keep);
    const std::vector<uint8_t>& ReadChunk(uint32_t Length, size_t Keep, uint64_t* Read = nullptr,
                                          bool ZeroFill = true);
    void HandleChunk(const TPngChunkInfo& Chunk, uint32_t Length);

    void HandleIHDR(uint32_t Length);
    void HandlePLTE(uint32_t Length);
    void HandleIDAT(uint32_t Length);
    void HandleIEND(uint32_t Length);
    void HandleTRNS(uint32_t Length);
    void HandleGAMA(uint32_t Length);
    void HandleTEXT(uint32_t Length);
    void HandleTIME(uint32_t Length);
    void HandleUnsupported(const TPngChunkInfo& Chunk, uint32_t Length);

    void ComputeRowBytes();
    uint64_t RowBytesFor(uint32_t Width) const;
    std::vector<TPass> Passes() const;
    static uint64_t ImageDataBytes(const std::vector<TPass>& PassList);
    void CheckPixelFormat();
    void Inflate(uint64_t Expected);
    void PreparePixels();
    void PlaceRows(const std::vector<TPass>& PassList);
    void UnfilterRow(uint8_t Filter, uint8_t* Row, const uint8_t* Prior, size_t Bytes) const;
    void PlaceRow(const uint8_t* Row, const TPass& Pass, uint32_t PassRow);

    TStream* FStream = nullptr;
    TPngPixelTarget* FTarget = nullptr;

    // From IHDR.
    uint32_t FWidth = 0;
    uint32_t FHeight = 0;
    uint8_t FBitDepth = 0;
    uint8_t FColorType = 0;
    uint8_t FCompressionMethod = 0;
    uint8_t FFilterMethod = 0;
    uint8_t FInterlaceMethod = 0;
    bool FHaveHeader = false;
    uint64_t FRowBytes = 0;    // bytes of one full row, without its filter byte
    uint32_t FPixelBytes = 1;  // distance of the byte a filter looks back to

    std::array<TPngPaletteEntry, 256> FPalette{};
    double FGamma = 0;
    std::array<uint8_t, 256> FGammaTable{};
    size_t FCommentBytes = 0;

    std::vector<uint8_t> FChunk;    // the kept part of the current chunk
    std::vector<uint8_t> FDiscard;  // where data that is not kept is read to
    size_t FPeakBufferBytes = 0;
    std::vector<uint8_t> FData;                  // the concatenated IDAT data
    uint64_t FDataLimit = 0;                     // what IDAT data may grow to
    std::vector<uint8_t> FImage;                 // the inflated data
    std::array<uint32_t, 256> FPaletteColors{};  // the palette as pixels
};
