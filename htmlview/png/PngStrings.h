#pragma once
// The PNG decoder's texts: its message table and the formatting its patterns use.
#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <variant>

// Ids of the decoder's message table.
enum : int32_t {
    SPngTooManyPaletteEntries = 64896,
    SPngPaletteEntry = 64897,
    SPngTimeLong = 64898,
    SPngTimeShort = 64899,
    SPngModificationDate = 64900,
    SPngPaletteTransparency = 64902,
    SPngTransparentColor = 64903,
    SPngChunkTruncated = 64904,
    SPngCrcTruncated = 64905,
    SPngSavingNotSupported = 64906,
    SPngInvalidSignature = 64912,
    SPngClipboardNotSupported = 64913,
    SPngChunkNotSupported = 64914,
    SPngBufferTooSmall = 64915,
    SPngMemoryRequired = 64916,
    SPngGammaLong = 64917,
    SPngGammaCorrection = 64918,
    SPngHeaderLong = 64919,
    SPngHeaderShort = 64920,
    SPngImageSize = 64921,
    SPngBitDepth = 64922,
    SPngColorType = 64923,
    SPngCompressionMethod = 64924,
    SPngFilterMethod = 64925,
    SPngInterlaceMethod = 64926,
    SPngInvalidPaletteLength = 64927,
    // The animated graphic's, which shares the table.
    SGifUnrecognizedFrameObject = 64930,
    SPngUnrecognizedPixelDepth = 64931,
    SPngHeaderMissing = 64932,
    SPngChunk = 64933,
    SPngNoEnd = 64934,
    SPngEffectiveFilter = 64935,
    SPngUnrecognizedInterlace = 64936,
    SPngUnfilteringPass = 64937,
    SPngFilterChanged = 64938,
    SPngUnrecognizedColorType = 64939,
    SPngErrorMark = 64940,
    SPngWarningMark = 64941,
    SPngUnsupportedBitDepth = 64942,
    SPngUnrecognizedChunk = 64943,
};

// Text of the decoder's message table; empty when the id has none.
std::string PngString(int32_t Id);

// Messages the table has no row for: the gAMA one it lacks, and those of the checks that keep a
// damaged or hostile file from reading or allocating beyond what it holds.
inline constexpr std::string_view kPngGammaShort = "gAMA chunk is short.";
inline constexpr std::string_view kPngChunkTooLong = "Chunk length of %d is too large";
inline constexpr std::string_view kPngInvalidImageSize = "Image size of %dx%d pixels is not valid";
inline constexpr std::string_view kPngImageTooLarge = "Image size of %dx%d pixels is too large";
inline constexpr std::string_view kPngTransparencyShort = "tRNS chunk is short.";
inline constexpr std::string_view kPngInvalidDate = "tIME chunk holds no valid date.";
inline constexpr std::string_view kPngDataCorrupt = "Image data cannot be inflated: %s";
inline constexpr std::string_view kPngDataShort = "Image data ends after %d of %d bytes";
inline constexpr std::string_view kPngUnrecognizedFilter = "Unrecognized filter type %d on row %d";

// One argument of PngFormat.
using TPngFormatArg = std::variant<int64_t, double, std::string>;

// Fills a pattern the way the decoder's texts expect: %d a whole number, %x the same in upper-case
// hexadecimal, %f a number with two decimals, %s a text, %% a percent sign. A directive without a
// matching argument is kept as written.
std::string PngFormat(std::string_view Pattern, std::initializer_list<TPngFormatArg> Args);
