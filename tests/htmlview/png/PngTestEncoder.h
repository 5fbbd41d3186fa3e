#pragma once
// A small PNG writer for the decoder's tests: it builds valid files of every colour type, depth,
// filter and interlace method, and lets a test damage any chunk on purpose. It writes filters
// and Adam7 passes straight from the format's definition, independently of the decoder.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// An image as samples: Width x Height pixels of Channels(ColorType) samples each, every sample
// below 2^Depth (a palette index for colour type 3).
struct TSampleImage {
    uint32_t Width = 0;
    uint32_t Height = 0;
    uint8_t Depth = 8;
    uint8_t ColorType = 0;
    std::vector<uint16_t> Samples;

    static uint32_t Channels(uint8_t ColorType);
    uint16_t& At(uint32_t X, uint32_t Y, uint32_t Channel) {
        return Samples[(size_t(Y) * Width + X) * Channels(ColorType) + Channel];
    }
    uint16_t At(uint32_t X, uint32_t Y, uint32_t Channel) const {
        return Samples[(size_t(Y) * Width + X) * Channels(ColorType) + Channel];
    }
};

// An image of the given kind filled with a varied pattern (every sample value shows up).
TSampleImage PatternImage(uint32_t Width, uint32_t Height, uint8_t Depth, uint8_t ColorType);

// A chunk with its length and a correct CRC.
std::string PngChunk(std::string_view Type, std::string_view Data);
// A chunk whose length field says DeclaredLength, whatever the data is.
std::string PngChunkWithLength(uint32_t DeclaredLength, std::string_view Type,
                               std::string_view Data);
std::string PngHeader(uint32_t Width, uint32_t Height, uint8_t Depth, uint8_t ColorType,
                      uint8_t Interlace = 0);
std::string BigEndian32(uint32_t Value);
inline const std::string kPngSignatureBytes("\x89PNG\r\n\x1a\n", 8);

// The raw scan lines of the image (filter byte and row, per Adam7 pass when Interlace is 1).
// Row r of every pass uses filter Filters[r % Filters.size()].
std::string FilteredRows(const TSampleImage& Image, uint8_t Interlace,
                         const std::vector<uint8_t>& Filters);
std::string Deflate(std::string_view Raw);

// A whole file: signature, IHDR, the chunks given (PLTE, tRNS, ...), the image data as one IDAT
// and IEND.
std::string EncodePng(const TSampleImage& Image, uint8_t Interlace,
                      const std::vector<uint8_t>& Filters,
                      const std::vector<std::string>& ExtraChunks = {});
