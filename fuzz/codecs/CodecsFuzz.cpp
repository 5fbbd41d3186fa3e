// The transfer encodings both ways. The input is decoded as a body by every decoder: each either
// gives bytes or raises EIpBaseException, and never gives more than its encoding can hold. The
// same input is encoded by every encoder and decoded again: base64, uuencode and BinHex give back
// exactly the bytes, quoted-printable the bytes with every line end as CR LF (those before the
// first line left out), plain text lines what the bytes give as a body; and every encoded line
// stays within its encoding's width.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

#include "fuzz/support/FuzzInput.h"
#include "netlib/base/IpBase.h"
#include "netlib/mime/Codecs.h"
#include "netlib/mime/Limits.h"

namespace {

using TEncoder = std::function<void(TStream&, TIpAnsiTextStream&)>;
using TDecoder = std::function<void(TIpAnsiTextStream&, TStream&)>;

using Fuzz::Fail;

// A body stream over its own memory, as the message model holds one.
struct TBody {
    TMemoryStream* Memory = new TMemoryStream;
    TIpAnsiTextStream Text{Memory};
    ~TBody() { Text.FreeStream(); }
    std::string Bytes() {
        Text.Seek(0, soBeginning);
        std::string Out(size_t(Text.Size()), '\0');
        Text.Read(Out.data(), int64_t(Out.size()));
        return Out;
    }
};

std::string Encode(const TEncoder& Encoder, const std::string& Data) {
    TStringStream Source(Data);
    TBody Body;
    Encoder(Source, Body.Text);
    return Body.Bytes();
}

// The decoded bytes; false when the decoder refused the body.
bool Decode(const TDecoder& Decoder, const std::string& Body, std::string& Out) {
    TBody In;
    In.Text.WriteString(Body);
    TStringStream Dest;
    try {
        Decoder(In.Text, Dest);
    } catch (const EIpBaseException&) {
        return false;
    }
    Out = Dest.DataString();
    return true;
}

// The longest line of an encoded body, without its CR LF.
size_t LongestLine(const std::string& Body) {
    size_t Longest = 0;
    for (size_t Start = 0; Start < Body.size();) {
        size_t End = Body.find("\r\n", Start);
        if (End == std::string::npos) End = Body.size();
        Longest = std::max(Longest, End - Start);
        Start = End + 2;
    }
    return Longest;
}

// Every line end of the bytes as CR LF, as quoted-printable gives text back.
std::string WithCrLf(const std::string& Data) {
    std::string Out;
    for (size_t I = 0; I < Data.size(); ++I) {
        const char C = Data[I];
        if (C == '\r' && I + 1 < Data.size() && Data[I + 1] == '\n') continue;
        Out += (C == '\r' || C == '\n') ? std::string("\r\n") : std::string(1, C);
    }
    // Line ends before the first line are no part of a quoted-printable body.
    return Out.substr(std::min(Out.find_first_not_of("\r\n"), Out.size()));
}

// What decoding an encoding gives: the bytes; the bytes with CR LF line ends; or what decoding
// the bytes themselves as a body gives (plain text lines).
enum TBack { bkBytes, bkCrLf, bkAsBody };

struct TCodec {
    const char* Name;
    TEncoder Encoder;
    TDecoder Decoder;
    size_t Width;   // longest encoded line
    size_t Growth;  // decoded bytes per byte of text at most (0: no bound but the limit)
    TBack Back;     // what a round trip gives
};

const TCodec kCodecs[] = {
    {"base64", [](TStream& S, TIpAnsiTextStream& B) { EncodeBase64(S, B); },
     [](TIpAnsiTextStream& B, TStream& D) { DecodeBase64(B, D); },
     size_t(MimeLimits::kBase64LineLength), 1, bkBytes},
    {"quoted-printable", [](TStream& S, TIpAnsiTextStream& B) { EncodeQuoted(S, B); },
     [](TIpAnsiTextStream& B, TStream& D) { DecodeQuoted(B, D); }, 76, 2, bkCrLf},
    {"uuencode", [](TStream& S, TIpAnsiTextStream& B) { EncodeUU(S, B, "fuzz.bin"); },
     [](TIpAnsiTextStream& B, TStream& D) { DecodeUU(B, D); }, 61, 1, bkBytes},
    {"BinHex", [](TStream& S, TIpAnsiTextStream& B) { EncodeBinHex(S, B, "fuzz.bin"); },
     [](TIpAnsiTextStream& B, TStream& D) { DecodeBinHex(B, D); },
     size_t(MimeLimits::kBinHexLineLength), 0, bkBytes},
    {"text", [](TStream& S, TIpAnsiTextStream& B) { EncodeTextLines(S, B); },
     [](TIpAnsiTextStream& B, TStream& D) { DecodeTextLines(B, D); }, SIZE_MAX, 2, bkAsBody},
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
    const std::string Input(reinterpret_cast<const char*>(Data), Size);
    for (const TCodec& Codec : kCodecs) {
        std::string Decoded;
        const bool Read = Decode(Codec.Decoder, Input, Decoded);
        // Text encodings shrink, but a bare line end becomes CR LF (a last line without one
        // gets one) and run-length coding expands.
        if (Read && Codec.Growth && Decoded.size() > Codec.Growth * Input.size() + 2)
            Fail(std::string(Codec.Name) + ": more bytes decoded than the body holds");
        if (Decoded.size() > size_t(MimeLimits::kBinHexMaxDecodedSize))
            Fail(std::string(Codec.Name) + ": decoded beyond the limit");

        const std::string Encoded = Encode(Codec.Encoder, Input);
        if (Codec.Width != SIZE_MAX && LongestLine(Encoded) > Codec.Width)
            Fail(std::string(Codec.Name) + ": an encoded line is too long");
        std::string Back;
        if (!Decode(Codec.Decoder, Encoded, Back))
            Fail(std::string(Codec.Name) + ": refused its own encoding");
        const std::string Expected = Codec.Back == bkCrLf     ? WithCrLf(Input)
                                     : Codec.Back == bkAsBody ? Decoded
                                                              : Input;
        if (Back != Expected)
            Fail(std::string(Codec.Name) + ": the round trip changed the bytes:\n" + Encoded +
                 "\n---\n" + Back);
    }
    return 0;
}
