// Feeds arbitrary bytes to the PNG decoder as a file, with gamma correction and the detailed log
// on so every path runs. Any outcome but a crash, a sanitizer report or unbounded memory is fine:
// the decoder either places the pixels or raises EIpPNGError.
#include <cstddef>
#include <cstdint>
#include <string>

#include "htmlview/png/PngDecoder.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    TStringStream Stream(std::string(reinterpret_cast<const char*>(data), size));
    TIpPNGDecoder Decoder;
    Decoder.CorrectGamma = true;
    Decoder.ShowWarnings = true;
    Decoder.OnShowWarning = [](const std::string&) {};
    TPngPixelBuffer Pixels;
    try {
        Decoder.Decode(Stream, Pixels);
    } catch (const EIpPNGError&) {
    }
    return 0;
}
