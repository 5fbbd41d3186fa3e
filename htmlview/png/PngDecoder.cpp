#include "htmlview/png/PngDecoder.h"

#include <zlib.h>

#include <QDate>
#include <QDateTime>
#include <QLocale>
#include <QTime>
#include <algorithm>
#include <cmath>
#include <cstring>

#include "htmlview/png/Limits.h"
#include "htmlview/png/PngStrings.h"
#include "platform/gdi/PixelAllowance.h"

namespace {

constexpr TPngChunkInfo kChunkTable[] = {
    {"IHDR", pcIHDR, 0, false}, {"PLTE", pcPLTE, 2, false}, {"IDAT", pcIDAT, 3, true},
    {"IEND", pcIEND, 1, false}, {"tRNS", pcTRNS, 4, false}, {"gAMA", pcGAMA, 5, false},
    {"cHRM", pcCHRM, 5, false}, {"sRGB", pcSRGB, 5, false}, {"iCCP", pcICCP, 5, false},
    {"iTXt", pcITXT, 3, true},  {"tEXt", pcTEXT, 3, true},  {"zTXt", pcZTXT, 3, true},
    {"bKGD", pcBKGD, 4, false}, {"pHYs", pcPHYS, 2, false}, {"sBIT", pcSBIT, 4, false},
    {"sPLT", pcSPLT, 2, true},  {"hIST", pcHIST, 4, false}, {"tIME", pcTIME, 3, false},
    {"*EOF", pcEOF, 1, false},
};

// What the warning for a chunk the decoder reads past calls it.
const char* UnsupportedName(uint8_t Id) {
    switch (Id) {
        case pcCHRM:
            return "Chroma";
        case pcSRGB:
            return "Standard RGB Color Space";
        case pcICCP:
            return "ICC Profile";
        case pcZTXT:
            return "Compressed Text";
        case pcITXT:
            return "International Text";
        case pcBKGD:
            return "Background Color";
        case pcPHYS:
            return "Physical Dimensions";
        case pcSBIT:
            return "Significant Bits";
        case pcSPLT:
            return "Suggested Palette";
        case pcHIST:
            return "Histogram";
        default:
            return "";
    }
}

// Adam7: where each pass starts and how it steps, for passes 1 to 7.
constexpr uint32_t kPassRowStart[7] = {0, 0, 4, 0, 2, 0, 1};
constexpr uint32_t kPassColStart[7] = {0, 4, 0, 2, 0, 1, 0};
constexpr uint32_t kPassRowStep[7] = {8, 8, 8, 4, 4, 2, 2};
constexpr uint32_t kPassColStep[7] = {8, 8, 4, 4, 2, 2, 1};

uint32_t BigEndian32(const uint8_t* P) {
    return uint32_t(P[0]) << 24 | uint32_t(P[1]) << 16 | uint32_t(P[2]) << 8 | P[3];
}

// A chunk type as a log may show it: bytes outside printable ASCII become "?".
std::string Printable(const std::string& Type) {
    std::string Out = Type;
    for (char& C : Out)
        if (C < 0x20 || C > 0x7E) C = '?';
    return Out;
}

uint32_t Rgb(uint32_t R, uint32_t G, uint32_t B) {
    return 0xFF000000u | R << 16 | G << 8 | B;
}

// A 0x00BBGGRR colour as a pixel.
uint32_t ColorToPixel(uint32_t Color) {
    return Rgb(Color & 0xFF, (Color >> 8) & 0xFF, (Color >> 16) & 0xFF);
}

uint32_t Channels(uint8_t ColorType) {
    switch (ColorType) {
        case 2:
            return 3;
        case 4:
            return 2;
        case 6:
            return 4;
        default:
            return 1;
    }
}

// Writes Count pixels At(0..Count-1) Step pixels apart.
template <class F>
inline void Fill(uint32_t* Dst, uint32_t Count, uint32_t Step, F&& At) {
    if (Step == 1) {
        for (uint32_t I = 0; I < Count; ++I) Dst[I] = At(I);
    } else {
        for (uint32_t I = 0; I < Count; ++I) Dst[size_t(I) * Step] = At(I);
    }
}

// Sample I of a row packed Depth bits a sample (1, 2 or 4), taken from the high bits first.
inline uint32_t PackedSample(const uint8_t* Row, uint32_t I, uint32_t Depth) {
    const size_t Bit = size_t(I) * Depth;
    return (Row[Bit >> 3] >> (8 - Depth - (Bit & 7))) & ((1u << Depth) - 1);
}

// The PNG standard's Paeth predictor, ties going to a, then b.
inline uint8_t Paeth(int A, int B, int C) {
    const int P = A + B - C;
    const int PA = std::abs(P - A);
    const int PB = std::abs(P - B);
    const int PC = std::abs(P - C);
    if (PA <= PB && PA <= PC) return uint8_t(A);
    if (PB <= PC) return uint8_t(B);
    return uint8_t(C);
}

// Ends an inflate whichever way the decoding leaves.
struct TInflateGuard {
    z_stream& Stream;
    ~TInflateGuard() { inflateEnd(&Stream); }
};

}  // namespace

struct TIpPNGDecoder::TPass {
    uint32_t Width = 0;
    uint32_t Height = 0;
    uint32_t ColStart = 0;
    uint32_t RowStart = 0;
    uint32_t ColStep = 1;
    uint32_t RowStep = 1;
    uint64_t RowBytes = 0;
    bool Empty() const { return Width == 0 || Height == 0; }
};

const TPngChunkInfo* FindPngChunk(std::string_view Type) {
    for (const TPngChunkInfo& Info : kChunkTable)
        if (Type == Info.Type) return &Info;
    return nullptr;
}

void TPngPixelBuffer::SetSize(int Width, int Height) {
    FWidth = Width;
    FHeight = Height;
    FPixels.assign(size_t(Width) * size_t(Height), 0xFF000000u);
}

size_t TIpPNGDecoder::BufferBytes() const {
    return FChunk.capacity() + FDiscard.capacity() + FData.capacity() + FImage.capacity();
}

void TIpPNGDecoder::NoteBuffers() {
    FPeakBufferBytes = std::max(FPeakBufferBytes, BufferBytes());
}

// ---------------------------------------------------------------------------------------------
// Reporting

void TIpPNGDecoder::Warning(std::string_view Message) {
    // A file can repeat a warning once per chunk; past the log's limit it is neither logged nor
    // shown again.
    if (Log.Count() >= PngLimits::kMaxLogLines) return;
    Log.Add(PngString(SPngWarningMark));
    Log.Add(std::string(Message));
    if (ShowWarnings && OnShowWarning) OnShowWarning(std::string(Message));
}

void TIpPNGDecoder::Error(std::string_view Message) {
    Log.Add(PngString(SPngErrorMark));
    Log.Add(std::string(Message));
    throw EIpPNGError(std::string(Message));
}

void TIpPNGDecoder::Info(std::string_view Line) {
    if (DetailedLog && Log.Count() < PngLimits::kMaxLogLines) Log.Add(std::string(Line));
}

// ---------------------------------------------------------------------------------------------
// Reading

void TIpPNGDecoder::Reset() {
    Comments.Clear();
    Log.Clear();
    ModificationDate = 0;
    Transparent = false;
    TransparentColor = 0xFFFFFF;
    FGamma = 0;
    FPalette.fill(TPngPaletteEntry{});
    FWidth = FHeight = 0;
    FBitDepth = FColorType = FCompressionMethod = FFilterMethod = FInterlaceMethod = 0;
    FRowBytes = 0;
    FPixelBytes = 1;
    FCommentBytes = 0;
    FData.clear();
    FDataLimit = 0;
    FImage.clear();
    FPeakBufferBytes = 0;
}

void TIpPNGDecoder::Decode(TStream& Stream, TPngPixelTarget& Target) {
    FStream = &Stream;
    FTarget = &Target;
    Reset();
    // The image buffers are only needed while decoding; a decoder kept with its picture holds
    // none of them afterwards.
    struct TRelease {
        TIpPNGDecoder& Self;
        ~TRelease() {
            Self.NoteBuffers();
            std::vector<uint8_t>().swap(Self.FData);
            std::vector<uint8_t>().swap(Self.FImage);
            std::vector<uint8_t>().swap(Self.FDiscard);
        }
    } Release{*this};

    ReadSignature();
    bool First = true;
    for (;;) {
        uint32_t Length = 0;
        std::string Type;
        const bool InFile = ReadChunkHeader(Length, Type);
        if (First && Type != "IHDR") Error(PngString(SPngHeaderMissing));
        First = false;
        if (Length > PngLimits::kMaxChunkLength)
            Error(PngFormat(kPngChunkTooLong, {int64_t(Length)}));
        const TPngChunkInfo* Found = FindPngChunk(Type);
        // "*EOF" only ever stands for the end of the stream, never for a chunk of that name.
        if (InFile && Found && Found->Id == pcEOF) Found = nullptr;
        if (!Found) {
            Warning(PngFormat(PngString(SPngUnrecognizedChunk), {Printable(Type)}));
            ReadChunk(Length, 0);
            continue;
        }
        Info(PngFormat(PngString(SPngChunk), {Type, int64_t(Length)}));
        Info("");
        if (Found->Id == pcEOF) Error(PngString(SPngNoEnd));
        HandleChunk(*Found, Length);
        if (Found->Id == pcIEND) return;
    }
}

int64_t TIpPNGDecoder::ReadFully(void* Buffer, int64_t Count) {
    int64_t Got = 0;
    while (Got < Count) {
        const int64_t N = FStream->Read(static_cast<uint8_t*>(Buffer) + Got, Count - Got);
        if (N <= 0) break;
        Got += N;
    }
    return Got;
}

void TIpPNGDecoder::ReadSignature() {
    uint8_t Signature[8] = {};
    if (ReadFully(Signature, sizeof Signature) != int64_t(sizeof Signature) ||
        std::memcmp(Signature, kPngSignature.data(), sizeof Signature) != 0)
        Error(PngString(SPngInvalidSignature));
}

bool TIpPNGDecoder::ReadChunkHeader(uint32_t& Length, std::string& Type) {
    uint8_t Header[8];
    if (ReadFully(Header, sizeof Header) < int64_t(sizeof Header)) {
        Length = 0;
        Type = "*EOF";
        return false;
    }
    Length = BigEndian32(Header);
    Type.assign(reinterpret_cast<const char*>(Header + 4), 4);
    return true;
}

uint64_t TIpPNGDecoder::ReadChunkData(uint32_t Length, std::vector<uint8_t>& Into, size_t At,
                                      uint64_t Keep) {
    uint64_t Done = 0;
    while (Done < Length) {
        const uint64_t Piece = std::min<uint64_t>(Length - Done, PngLimits::kReadPieceBytes);
        int64_t Got = 0;
        if (Done < Keep) {
            // Kept bytes grow the buffer only as they arrive.
            const size_t Part = size_t(std::min(Piece, Keep - Done));
            const size_t Offset = At + size_t(Done);
            Into.resize(Offset + Part);
            Got = FStream->Read(Into.data() + Offset, int64_t(Part));
            Into.resize(Offset + size_t(std::max<int64_t>(Got, 0)));
        } else {
            FDiscard.resize(PngLimits::kReadPieceBytes);
            Got = FStream->Read(FDiscard.data(), int64_t(Piece));
        }
        if (Got <= 0) break;
        Done += uint64_t(Got);
    }
    NoteBuffers();
    if (Done < Length) Warning(PngString(SPngChunkTruncated));
    uint8_t Crc[4];
    if (ReadFully(Crc, sizeof Crc) < int64_t(sizeof Crc)) Warning(PngString(SPngCrcTruncated));
    return Done;
}

const std::vector<uint8_t>& TIpPNGDecoder::ReadChunk(uint32_t Length, size_t Keep, uint64_t* Read,
                                                     bool ZeroFill) {
    const uint64_t Kept = std::min<uint64_t>(Keep, Length);
    FChunk.clear();
    const uint64_t Got = ReadChunkData(Length, FChunk, 0, Kept);
    if (Read) *Read = Got;
    // Bytes the file did not hold read as zeros, never as what an earlier chunk left there.
    if (ZeroFill) FChunk.resize(size_t(Kept));
    return FChunk;
}

void TIpPNGDecoder::HandleChunk(const TPngChunkInfo& Chunk, uint32_t Length) {
    switch (Chunk.Id) {
        case pcIHDR:
            HandleIHDR(Length);
            break;
        case pcPLTE:
            HandlePLTE(Length);
            break;
        case pcIDAT:
            HandleIDAT(Length);
            break;
        case pcIEND:
            HandleIEND(Length);
            break;
        case pcTRNS:
            HandleTRNS(Length);
            break;
        case pcGAMA:
            HandleGAMA(Length);
            break;
        case pcTEXT:
            HandleTEXT(Length);
            break;
        case pcTIME:
            HandleTIME(Length);
            break;
        default:
            HandleUnsupported(Chunk, Length);
            break;
    }
}

// ---------------------------------------------------------------------------------------------
// Chunk handlers

void TIpPNGDecoder::HandleIHDR(uint32_t Length) {
    uint64_t Read = 0;
    const std::vector<uint8_t>& D = ReadChunk(Length, 13, &Read);
    if (Length >= 14) Warning(PngString(SPngHeaderLong));
    // A header the file cuts short has no size to trust.
    if (Length < 13 || Read < 13) Error(PngString(SPngHeaderShort));
    FWidth = BigEndian32(D.data());
    FHeight = BigEndian32(D.data() + 4);
    FBitDepth = D[8];
    FColorType = D[9];
    FCompressionMethod = D[10];
    FFilterMethod = D[11];
    FInterlaceMethod = D[12];
    Info(PngFormat(PngString(SPngImageSize), {int64_t(FWidth), int64_t(FHeight)}));
    Info(PngFormat(PngString(SPngBitDepth), {int64_t(FBitDepth)}));
    Info(PngFormat(PngString(SPngColorType), {int64_t(FColorType)}));
    Info(PngFormat(PngString(SPngCompressionMethod), {int64_t(FCompressionMethod)}));
    Info(PngFormat(PngString(SPngFilterMethod), {int64_t(FFilterMethod)}));
    Info(PngFormat(PngString(SPngInterlaceMethod), {int64_t(FInterlaceMethod)}));
    ComputeRowBytes();
}

void TIpPNGDecoder::ComputeRowBytes() {
    switch (FBitDepth) {
        case 1:
        case 2:
        case 4:
            FPixelBytes = 1;
            break;
        case 8:
            FPixelBytes = Channels(FColorType);
            break;
        case 16:
            FPixelBytes = 2 * Channels(FColorType);
            break;
        default:
            Error(PngFormat(PngString(SPngUnrecognizedPixelDepth), {int64_t(FBitDepth)}));
    }
    // Everything below is 64-bit: width and height are 32-bit values from the file.
    const uint64_t Width = FWidth;
    const uint64_t Height = FHeight;
    if (Width == 0 || Height == 0 || Width > PngLimits::kMaxChunkLength ||
        Height > PngLimits::kMaxChunkLength)
        Error(PngFormat(kPngInvalidImageSize, {int64_t(Width), int64_t(Height)}));
    // The open pixel allowance (a view's pictures together) is met here too, before anything
    // is inflated.
    if (Width * Height > PngLimits::kMaxPixels || Width > PngLimits::kMaxSide ||
        Height > PngLimits::kMaxSide || Width * Height > uint64_t(BitmapPixelsLeft()))
        Error(PngFormat(kPngImageTooLarge, {int64_t(Width), int64_t(Height)}));
    FRowBytes = RowBytesFor(FWidth);
    if (ImageDataBytes(Passes()) > PngLimits::kMaxImageDataBytes)
        Error(PngFormat(kPngImageTooLarge, {int64_t(Width), int64_t(Height)}));
    // The compressed data may take the size of the inflated rows and a little more.
    FDataLimit = std::max<uint64_t>((Height + 1) * (FRowBytes + 2), 1024);
    FData.clear();
}

uint64_t TIpPNGDecoder::RowBytesFor(uint32_t Width) const {
    if (FBitDepth < 8) return (uint64_t(Width) * FBitDepth + 7) / 8;
    return uint64_t(Width) * FPixelBytes;
}

void TIpPNGDecoder::HandlePLTE(uint32_t Length) {
    const std::vector<uint8_t>& D = ReadChunk(Length, 3 * 256);
    if (Length % 3 != 0) Error(PngString(SPngInvalidPaletteLength));
    uint32_t Count = Length / 3;
    if (Count > 256) {
        Warning(PngString(SPngTooManyPaletteEntries));
        Count = 256;
    }
    for (uint32_t I = 0; I < Count; ++I) {
        TPngPaletteEntry& Entry = FPalette[I];
        Entry = {D[3 * I], D[3 * I + 1], D[3 * I + 2], 255};
        Info(PngFormat(PngString(SPngPaletteEntry), {int64_t(I), int64_t(Entry.Red),
                                                     int64_t(Entry.Green), int64_t(Entry.Blue)}));
    }
}

void TIpPNGDecoder::HandleIDAT(uint32_t Length) {
    const size_t At = FData.size();
    const bool Fits = At + uint64_t(Length) < FDataLimit;
    const uint64_t Read = ReadChunkData(Length, FData, At, Fits ? Length : 0);
    if (!Fits) Error(PngString(SPngBufferTooSmall));
    FData.resize(At + size_t(Read));
}

void TIpPNGDecoder::HandleTRNS(uint32_t Length) {
    const std::vector<uint8_t>& D = ReadChunk(Length, 256);
    auto Grey = [](uint8_t G) { return uint32_t(G) | uint32_t(G) << 8 | uint32_t(G) << 16; };
    switch (FColorType) {
        case 0:
            if (Length < 2) return Warning(kPngTransparencyShort);
            TransparentColor = Grey(D[1]);
            Transparent = true;
            break;
        case 2:
            if (Length < 6) return Warning(kPngTransparencyShort);
            TransparentColor = uint32_t(D[1]) | uint32_t(D[3]) << 8 | uint32_t(D[5]) << 16;
            Transparent = true;
            break;
        case 3: {
            // Only an entry that is wholly transparent makes the picture transparent; partial
            // alpha is not shown.
            const uint32_t Count = uint32_t(D.size());
            for (uint32_t I = 0; I < Count; ++I) {
                FPalette[I].Alpha = D[I];
                if (D[I] == 0 && !Transparent) {
                    TransparentColor = uint32_t(FPalette[I].Red) |
                                       uint32_t(FPalette[I].Green) << 8 |
                                       uint32_t(FPalette[I].Blue) << 16;
                    Transparent = true;
                }
                Info(PngFormat(PngString(SPngPaletteTransparency), {int64_t(I), int64_t(D[I])}));
            }
            break;
        }
        default:
            break;
    }
    Info(PngFormat(PngString(SPngTransparentColor), {int64_t(TransparentColor)}));
}

void TIpPNGDecoder::HandleGAMA(uint32_t Length) {
    const std::vector<uint8_t>& D = ReadChunk(Length, 4);
    if (Length >= 5) Warning(PngString(SPngGammaLong));
    if (Length < 4) Error(kPngGammaShort);
    FGamma = BigEndian32(D.data()) / 100000.0;
    Info(PngFormat(PngString(SPngGammaCorrection), {FGamma}));
}

void TIpPNGDecoder::HandleTEXT(uint32_t Length) {
    // Text beyond what one picture may keep is read past, not stored; only the bytes the file
    // holds are text.
    const bool Full =
        FCommentBytes >= PngLimits::kMaxCommentBytes || Comments.Count() >= PngLimits::kMaxComments;
    const size_t Room = Full ? 0 : PngLimits::kMaxCommentBytes - FCommentBytes;
    const std::vector<uint8_t>& D = ReadChunk(Length, Room, nullptr, false);
    if (Full) return;
    FCommentBytes += D.size();
    std::string Part;
    auto AddPart = [&] {
        Comments.Add(Part);
        Part.clear();
    };
    for (const uint8_t Byte : D) {
        if (Comments.Count() >= PngLimits::kMaxComments) return;
        if (Byte == 0)
            AddPart();
        else if (Byte == '\n')
            Part += "\r\n";
        else
            Part += char(Byte);
    }
    AddPart();
    Comments.Add("");
}

void TIpPNGDecoder::HandleTIME(uint32_t Length) {
    const std::vector<uint8_t>& D = ReadChunk(Length, 7);
    if (Length >= 8) Warning(PngString(SPngTimeLong));
    if (Length < 7) Error(PngString(SPngTimeShort));
    const int Year = D[0] << 8 | D[1];
    const QDate Date(Year, D[2], D[3]);
    // A leap second (60) is allowed in the file; the date-time counts it as 59.
    const QTime Time(D[4], D[5], std::min<int>(D[6], 59));
    if (Year < 1 || Year > 9999 || !Date.isValid() || !Time.isValid() || D[6] > 60)
        return Warning(kPngInvalidDate);
    const double Days = double(QDate(1899, 12, 30).daysTo(Date));
    const double Fraction = Time.msecsSinceStartOfDay() / 86400000.0;
    // Before 1899 the day count is negative and the time of day counts towards zero.
    ModificationDate = Days < 0 ? Days - Fraction : Days + Fraction;
    Info(
        PngFormat(PngString(SPngModificationDate),
                  {QLocale().toString(QDateTime(Date, Time), QLocale::ShortFormat).toStdString()}));
}

void TIpPNGDecoder::HandleUnsupported(const TPngChunkInfo& Chunk, uint32_t Length) {
    ReadChunk(Length, 0);
    Warning(PngFormat(PngString(SPngChunkNotSupported), {std::string(UnsupportedName(Chunk.Id))}));
}

// ---------------------------------------------------------------------------------------------
// The image data

std::vector<TIpPNGDecoder::TPass> TIpPNGDecoder::Passes() const {
    if (FInterlaceMethod != 1) return {TPass{FWidth, FHeight, 0, 0, 1, 1, FRowBytes}};
    std::vector<TPass> List;
    for (int P = 0; P < 7; ++P) {
        TPass Pass;
        Pass.ColStart = kPassColStart[P];
        Pass.RowStart = kPassRowStart[P];
        Pass.ColStep = kPassColStep[P];
        Pass.RowStep = kPassRowStep[P];
        if (FWidth > Pass.ColStart)
            Pass.Width = (FWidth - Pass.ColStart + Pass.ColStep - 1) / Pass.ColStep;
        if (FHeight > Pass.RowStart)
            Pass.Height = (FHeight - Pass.RowStart + Pass.RowStep - 1) / Pass.RowStep;
        Pass.RowBytes = RowBytesFor(Pass.Width);
        List.push_back(Pass);
    }
    return List;
}

uint64_t TIpPNGDecoder::ImageDataBytes(const std::vector<TPass>& PassList) {
    uint64_t Total = 0;
    for (const TPass& Pass : PassList)
        if (!Pass.Empty()) Total += uint64_t(Pass.Height) * (Pass.RowBytes + 1);
    return Total;
}

void TIpPNGDecoder::CheckPixelFormat() {
    const auto Unsupported = [this] {
        Error(PngFormat(PngString(SPngUnsupportedBitDepth), {int64_t(FBitDepth)}));
    };
    switch (FColorType) {
        case 0:
            break;  // every depth ComputeRowBytes let through
        case 3:
            if (FBitDepth > 8) Unsupported();
            break;
        case 2:
        case 4:
        case 6:
            if (FBitDepth < 8) Unsupported();
            break;
        default:
            Error(PngFormat(PngString(SPngUnrecognizedColorType), {int64_t(FColorType)}));
    }
}

void TIpPNGDecoder::HandleIEND(uint32_t Length) {
    ReadChunk(Length, 0);
    if (FInterlaceMethod > 1) Error(PngString(SPngUnrecognizedInterlace));
    CheckPixelFormat();
    const std::vector<TPass> PassList = Passes();
    const uint64_t Expected = ImageDataBytes(PassList);
    Inflate(Expected);
    PreparePixels();
    FTarget->SetSize(int(FWidth), int(FHeight));
    PlaceRows(PassList);
    Info(PngFormat(PngString(SPngMemoryRequired), {int64_t(Expected)}));
}

void TIpPNGDecoder::Inflate(uint64_t Expected) {
    z_stream Z{};
    if (inflateInit(&Z) != Z_OK) Error(PngFormat(kPngDataCorrupt, {std::string("out of memory")}));
    TInflateGuard Guard{Z};
    const uint8_t* In = FData.data();
    uint64_t InLeft = FData.size();
    uint64_t Have = 0;
    // The output grows with what actually comes out, up to exactly the rows the header promises;
    // data beyond them is never inflated.
    FImage.clear();
    while (Have < Expected) {
        if (Have == FImage.size()) {
            const uint64_t Start = std::max<uint64_t>(uint64_t(64) << 10, FData.size() * 4);
            FImage.resize(size_t(std::min(Expected, std::max(Start, Have * 2))));
            NoteBuffers();
        }
        if (Z.avail_in == 0 && InLeft > 0) {
            Z.next_in = const_cast<Bytef*>(In);
            Z.avail_in = uInt(std::min<uint64_t>(InLeft, 1u << 30));
            In += Z.avail_in;
            InLeft -= Z.avail_in;
        }
        const uint64_t Room = std::min<uint64_t>(FImage.size() - Have, 1u << 30);
        Z.next_out = FImage.data() + Have;
        Z.avail_out = uInt(Room);
        const int Result = inflate(&Z, Z_NO_FLUSH);
        Have += Room - Z.avail_out;
        if (Result == Z_STREAM_END) break;
        if (Result == Z_BUF_ERROR && Z.avail_in == 0 && InLeft == 0) break;  // out of data
        if (Result != Z_OK && Result != Z_BUF_ERROR)
            Error(PngFormat(kPngDataCorrupt, {std::string(Z.msg ? Z.msg : zError(Result))}));
    }
    if (Have < Expected) Error(PngFormat(kPngDataShort, {int64_t(Have), int64_t(Expected)}));
    // A stream that ends right after the rows still has its checksum checked; one that goes on
    // past them is not inflated further, so nothing beyond the image is ever produced.
    uint8_t Beyond[64];
    Z.next_out = Beyond;
    Z.avail_out = sizeof Beyond;
    const int Result = inflate(&Z, Z_NO_FLUSH);
    if (Result == Z_DATA_ERROR)
        Error(PngFormat(kPngDataCorrupt, {std::string(Z.msg ? Z.msg : zError(Result))}));
    // The compressed data has served its purpose.
    std::vector<uint8_t>().swap(FData);
}

void TIpPNGDecoder::PreparePixels() {
    for (int C = 0; C < 256; ++C) FGammaTable[C] = uint8_t(C);
    if (CorrectGamma && FGamma > 0)
        for (int C = 0; C < 256; ++C)
            FGammaTable[C] = uint8_t(
                std::clamp(std::nearbyint(255.0 * std::pow(C / 255.0, 1.0 / FGamma)), 0.0, 255.0));
    for (int I = 0; I < 256; ++I) {
        const TPngPaletteEntry& E = FPalette[I];
        FPaletteColors[I] =
            Transparent && E.Alpha == 0
                ? ColorToPixel(TransparentColor)
                : Rgb(FGammaTable[E.Red], FGammaTable[E.Green], FGammaTable[E.Blue]);
    }
}

void TIpPNGDecoder::PlaceRows(const std::vector<TPass>& PassList) {
    uint8_t* At = FImage.data();
    uint8_t Current = At[0];
    Info(PngFormat(PngString(SPngEffectiveFilter), {std::to_string(Current)}));
    uint64_t Widest = 0;
    for (const TPass& Pass : PassList) Widest = std::max(Widest, Pass.RowBytes);
    const std::vector<uint8_t> Zeros(size_t(Widest), 0);
    for (size_t P = 0; P < PassList.size(); ++P) {
        const TPass& Pass = PassList[P];
        Info(PngFormat(PngString(SPngUnfilteringPass),
                       {int64_t(P + 1), int64_t(Pass.Width), int64_t(Pass.Height),
                        int64_t(Pass.ColStart), int64_t(Pass.RowStart)}));
        if (Pass.Empty()) continue;
        const uint8_t* Prior = Zeros.data();
        for (uint32_t Row = 0; Row < Pass.Height; ++Row) {
            const uint8_t Filter = At[0];
            if (Filter != Current) {
                if (DetailedLog && Log.Count() < PngLimits::kMaxLogLines)
                    Info(PngFormat(PngString(SPngFilterChanged), {int64_t(Row), int64_t(Filter)}));
                Current = Filter;
            }
            if (Filter > 4)
                Error(PngFormat(kPngUnrecognizedFilter, {int64_t(Filter), int64_t(Row)}));
            UnfilterRow(Filter, At + 1, Prior, size_t(Pass.RowBytes));
            PlaceRow(At + 1, Pass, Row);
            Prior = At + 1;
            At += Pass.RowBytes + 1;
        }
    }
}

void TIpPNGDecoder::UnfilterRow(uint8_t Filter, uint8_t* Row, const uint8_t* Prior,
                                size_t Bytes) const {
    const size_t Bpp = FPixelBytes;
    switch (Filter) {
        case 1:  // sub
            for (size_t I = Bpp; I < Bytes; ++I) Row[I] = uint8_t(Row[I] + Row[I - Bpp]);
            break;
        case 2:  // up
            for (size_t I = 0; I < Bytes; ++I) Row[I] = uint8_t(Row[I] + Prior[I]);
            break;
        case 3:  // average
            for (size_t I = 0; I < Bytes; ++I) {
                const unsigned Left = I >= Bpp ? Row[I - Bpp] : 0;
                Row[I] = uint8_t(Row[I] + ((Left + Prior[I]) >> 1));
            }
            break;
        case 4:  // Paeth
            for (size_t I = 0; I < Bytes; ++I) {
                const int Left = I >= Bpp ? Row[I - Bpp] : 0;
                const int UpLeft = I >= Bpp ? Prior[I - Bpp] : 0;
                Row[I] = uint8_t(Row[I] + Paeth(Left, Prior[I], UpLeft));
            }
            break;
        default:  // none
            break;
    }
}

void TIpPNGDecoder::PlaceRow(const uint8_t* Row, const TPass& Pass, uint32_t PassRow) {
    uint32_t* Dst = FTarget->ScanLine(int(Pass.RowStart + PassRow * Pass.RowStep)) + Pass.ColStart;
    const uint32_t Count = Pass.Width;
    const uint32_t Step = Pass.ColStep;
    const uint8_t* G = FGammaTable.data();
    const uint32_t Depth = FBitDepth;
    auto GreyPixel = [G](uint32_t V) { return Rgb(G[V], G[V], G[V]); };
    switch (FColorType) {
        case 0:
            if (Depth < 8) {
                const uint32_t Scale = 255 / ((1u << Depth) - 1);
                Fill(Dst, Count, Step,
                     [&](uint32_t I) { return GreyPixel(PackedSample(Row, I, Depth) * Scale); });
            } else {
                const uint32_t Size = Depth / 8;
                Fill(Dst, Count, Step,
                     [&](uint32_t I) { return GreyPixel(Row[size_t(I) * Size]); });
            }
            break;
        case 2: {
            const uint32_t Size = 3 * (Depth / 8);
            const uint32_t Next = Depth / 8;
            Fill(Dst, Count, Step, [&](uint32_t I) {
                const uint8_t* P = Row + size_t(I) * Size;
                return Rgb(G[P[0]], G[P[Next]], G[P[2 * Next]]);
            });
            break;
        }
        case 3: {
            const uint32_t* Colors = FPaletteColors.data();
            if (Depth < 8)
                Fill(Dst, Count, Step,
                     [&](uint32_t I) { return Colors[PackedSample(Row, I, Depth)]; });
            else
                Fill(Dst, Count, Step, [&](uint32_t I) { return Colors[Row[I]]; });
            break;
        }
        case 4: {
            const uint32_t Size = 2 * (Depth / 8);
            Fill(Dst, Count, Step, [&](uint32_t I) { return GreyPixel(Row[size_t(I) * Size]); });
            break;
        }
        case 6: {
            const uint32_t Size = 4 * (Depth / 8);
            const uint32_t Next = Depth / 8;
            Fill(Dst, Count, Step, [&](uint32_t I) {
                const uint8_t* P = Row + size_t(I) * Size;
                return Rgb(G[P[0]], G[P[Next]], G[P[2 * Next]]);
            });
            break;
        }
        default:
            break;
    }
}
