#include "netlib/mime/Codecs.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "netlib/base/IpBase.h"
#include "netlib/mime/Limits.h"

using namespace MimeLimits;

namespace {

const char Base64Alphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
const char BinHexAlphabet[] = "!\"#$%&'()*+,-012345689@ABCDEFGHIJKLMNPQRSTUVXYZ[`abcdefhijklmpqr";
const char HexDigits[] = "0123456789ABCDEF";
constexpr uint8_t RunMarker = 0x90;
const char BinHexBanner[] = "(This file must be converted with BinHex 4.0)";
const char BinHexBannerStart[] = "(This file must be converted with BinHex";

// Reverse table of an alphabet: 0..63, or -1 for characters outside it.
struct ReverseTable {
    int8_t Value[256];
    explicit ReverseTable(const char* alphabet) {
        std::fill(std::begin(Value), std::end(Value), int8_t(-1));
        for (int i = 0; i < 64; ++i) Value[uint8_t(alphabet[i])] = int8_t(i);
    }
};

const ReverseTable& Base64Reverse() {
    static const ReverseTable table(Base64Alphabet);
    return table;
}

const ReverseTable& BinHexReverse() {
    static const ReverseTable table(BinHexAlphabet);
    return table;
}

bool Report(const TIpCodingProgressProc& progress, int64_t done, int64_t total) {
    return progress && progress(done, total);
}

int64_t RemainingSize(TStream& source) {
    return std::max<int64_t>(0, source.Size() - source.Position());
}

// Reads up to count bytes, looping over short reads.
int64_t ReadBlock(TStream& source, char* buffer, int64_t count) {
    int64_t got = 0;
    while (got < count) {
        int64_t n = source.Read(buffer + got, count - got);
        if (n <= 0) break;
        got += n;
    }
    return got;
}

// Three bytes (or fewer at the end) as 6-bit values in the given alphabet, without padding.
void SixBitGroup(const uint8_t* in, int64_t n, const char* alphabet, std::string& out) {
    uint32_t v = uint32_t(in[0]) << 16;
    if (n > 1) v |= uint32_t(in[1]) << 8;
    if (n > 2) v |= in[2];
    out += alphabet[(v >> 18) & 63];
    out += alphabet[(v >> 12) & 63];
    if (n > 1) out += alphabet[(v >> 6) & 63];
    if (n > 2) out += alphabet[v & 63];
}

void WriteString(TStream& dest, const std::string& s) {
    if (!s.empty()) dest.WriteBuffer(s.data(), int64_t(s.size()));
}

void CheckLineLength(const std::string& line, int64_t maxLength, TIpLineLimit limit) {
    if (limit == TIpLineLimit::Enforced && int64_t(line.size()) > maxLength)
        throw EIpBaseException("Invalid line length for encoded text");
}

int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

bool StartsWith(const std::string& s, const char* prefix) {
    return s.rfind(prefix, 0) == 0;
}

std::string StripCR(std::string line) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    return line;
}

// Collects quoted-printable output into words and lines within the line width.
class QuotedWriter {
  public:
    explicit QuotedWriter(TIpAnsiTextStream& body) : FBody(body) {}

    void Add(const char* unit, size_t n) {
        // A word never holds more than fits a line, and an escape is never split.
        if (FWord.size() + n > size_t(kQuotedLineWidth)) EndWord();
        FWord.append(unit, n);
    }
    void AddBlank(char c) {
        Add(&c, 1);
        EndWord();
    }
    void HardBreak() {
        EndWord();
        if (!FLine.empty() && (FLine.back() == ' ' || FLine.back() == '\t')) {
            char last = FLine.back();
            FLine.pop_back();
            FLine += last == ' ' ? "=20" : "=09";
        }
        FBody.WriteLine(FLine);
        FLine.clear();
    }
    // At the end of a source that did not end with a line break the last line gets a soft
    // break, so decoding gives back exactly the bytes that were encoded.
    void Finish() {
        EndWord();
        if (!FLine.empty()) FBody.WriteLine(FLine + "=");
    }

  private:
    void EndWord() {
        if (!FLine.empty() && FLine.size() + FWord.size() > size_t(kQuotedLineWidth)) {
            FBody.WriteLine(FLine + "=");
            FLine.clear();
        }
        FLine += FWord;
        FWord.clear();
    }

    TIpAnsiTextStream& FBody;
    std::string FWord;
    std::string FLine;
};

// Decodes one quoted-printable line (without terminator) onto out; false for a soft break.
bool DecodeQuotedLine(const std::string& line, std::string& out) {
    size_t end = line.size();
    while (end > 0 && (line[end - 1] == ' ' || line[end - 1] == '\t')) --end;
    for (size_t i = 0; i < end; ++i) {
        char c = line[i];
        if (c != '=') {
            // Bytes a mailer should have escaped are kept rather than lost.
            out += c;
            continue;
        }
        if (end - i < 3) return false;  // soft line break
        int hi = HexValue(line[i + 1]);
        int lo = HexValue(line[i + 2]);
        if (hi < 0 || lo < 0) {
            out += '=';  // not an escape: keep it as written
            continue;
        }
        out += char(hi << 4 | lo);
        i += 2;
    }
    return true;
}

void AppendRunLength(std::vector<uint8_t>& out, const std::vector<uint8_t>& in) {
    size_t i = 0;
    while (i < in.size()) {
        uint8_t b = in[i];
        size_t run = 1;
        while (i + run < in.size() && in[i + run] == b && run < 255) ++run;
        auto literal = [&] {
            out.push_back(b);
            if (b == RunMarker) out.push_back(0);
        };
        if (run >= 3) {
            literal();
            out.push_back(RunMarker);
            out.push_back(uint8_t(run));
        } else {
            for (size_t k = 0; k < run; ++k) literal();
        }
        i += run;
    }
}

void PutBig(std::vector<uint8_t>& out, uint32_t v, int bytes) {
    for (int k = bytes - 1; k >= 0; --k) out.push_back(uint8_t(v >> (8 * k)));
}

uint32_t GetBig(const std::vector<uint8_t>& in, size_t at, int bytes) {
    uint32_t v = 0;
    for (int k = 0; k < bytes; ++k) v = v << 8 | in[at + size_t(k)];
    return v;
}

std::string BaseName(const std::string& path) {
    size_t p = path.find_last_of("/\\:");
    return p == std::string::npos ? path : path.substr(p + 1);
}

}  // namespace

// --- text and binary -------------------------------------------------------------------------

void EncodeTextLines(TStream& source, TIpAnsiTextStream& body,
                     const TIpCodingProgressProc& progress) {
    int64_t start = source.Position();
    TIpAnsiTextStream reader(&source);
    reader.Seek(start, soBeginning);
    int64_t total = reader.Size() - start;
    while (!reader.AtEndOfStream()) {
        body.WriteLine(reader.ReadLine());
        if (Report(progress, reader.Position() - start, total)) break;
    }
}

void DecodeTextLines(TIpAnsiTextStream& body, TStream& dest,
                     const TIpCodingProgressProc& progress) {
    body.Seek(0, soBeginning);
    int64_t total = body.Size();
    std::string out;
    while (!body.AtEndOfStream()) {
        out = body.ReadLine();
        out += "\r\n";
        WriteString(dest, out);
        if (Report(progress, body.Position(), total)) break;
    }
}

void DecodeBinary(TIpAnsiTextStream& body, TStream& dest, const TIpCodingProgressProc& progress) {
    body.Seek(0, soBeginning);
    int64_t total = body.Size();
    std::vector<char> block(65536);
    for (;;) {
        int64_t n = body.Read(block.data(), int64_t(block.size()));
        if (n <= 0) break;
        dest.WriteBuffer(block.data(), n);
        if (Report(progress, body.Position(), total)) break;
    }
}

// --- base64 ----------------------------------------------------------------------------------

std::string Base64EncodeString(const std::string& text) {
    std::string out;
    out.reserve((text.size() + 2) / 3 * 4);
    const auto* p = reinterpret_cast<const uint8_t*>(text.data());
    for (size_t i = 0; i < text.size(); i += 3) {
        int64_t n = int64_t(std::min<size_t>(3, text.size() - i));
        SixBitGroup(p + i, n, Base64Alphabet, out);
        out.append(size_t(3 - n), '=');
    }
    return out;
}

void EncodeBase64(TStream& source, TIpAnsiTextStream& body, const TIpCodingProgressProc& progress) {
    int64_t total = RemainingSize(source);
    int64_t done = 0;
    char block[kCodecBlockSize];
    std::string line;
    for (;;) {
        int64_t n = ReadBlock(source, block, kCodecBlockSize);
        const auto* p = reinterpret_cast<const uint8_t*>(block);
        for (int64_t i = 0; i < n; i += 3) {
            int64_t k = std::min<int64_t>(3, n - i);
            SixBitGroup(p + i, k, Base64Alphabet, line);
            line.append(size_t(3 - k), '=');
            if (int64_t(line.size()) >= kBase64LineLength) {
                body.WriteLine(line.substr(0, size_t(kBase64LineLength)));
                line.erase(0, size_t(kBase64LineLength));
            }
        }
        done += n;
        if (n < kCodecBlockSize) {
            Report(progress, done, total);
            break;
        }
        if (Report(progress, done, total)) break;
    }
    if (!line.empty()) body.WriteLine(line);
}

void DecodeBase64(TIpAnsiTextStream& body, TStream& dest, const TIpCodingProgressProc& progress,
                  TIpLineLimit limit) {
    const auto& rev = Base64Reverse();
    body.Seek(0, soBeginning);
    int64_t total = body.Size();
    uint32_t bits = 0;
    int nbits = 0;
    std::string out;
    bool done = false;
    while (!done && !body.AtEndOfStream()) {
        std::string line = StripCR(body.ReadLine());
        CheckLineLength(line, kBase64MaxLineLength, limit);
        // A MIME delimiter or a uuencode-style end line ends the data.
        if (StartsWith(line, "--") || line == "end") break;
        out.clear();
        for (char c : line) {
            if (c == '=') {
                done = true;  // padding: nothing of value follows
                break;
            }
            int v = rev.Value[uint8_t(c)];
            if (v < 0) continue;
            bits = bits << 6 | uint32_t(v);
            nbits += 6;
            if (nbits >= 8) {
                nbits -= 8;
                out += char((bits >> nbits) & 0xFF);
            }
        }
        WriteString(dest, out);
        if (Report(progress, body.Position(), total)) break;
    }
}

// --- quoted-printable ------------------------------------------------------------------------

void EncodeQuoted(TStream& source, TIpAnsiTextStream& body, const TIpCodingProgressProc& progress) {
    int64_t start = source.Position();
    int64_t total = RemainingSize(source);
    TIpByteStream reader(source);
    QuotedWriter writer(body);
    bool afterCR = false;
    bool lineOpen = false;
    uint8_t b;
    while (reader.ReadByte(b)) {
        bool wasCR = afterCR;
        afterCR = false;
        if (b == '\r') {
            writer.HardBreak();
            afterCR = true;
            lineOpen = false;
        } else if (b == '\n') {
            // The LF of a CR LF pair was handled by the CR; a lone LF is a line break too.
            if (!wasCR) writer.HardBreak();
            lineOpen = false;
        } else {
            lineOpen = true;
            if (b == ' ' || b == '\t') {
                writer.AddBlank(char(b));
            } else if ((b >= 33 && b <= 60) || (b >= 62 && b <= 126)) {
                char c = char(b);
                writer.Add(&c, 1);
            } else {
                char esc[3] = {'=', HexDigits[b >> 4], HexDigits[b & 15]};
                writer.Add(esc, 3);
            }
        }
        if (b == '\r' || b == '\n') {
            if (Report(progress, reader.Position() - start, total)) return;
        }
    }
    if (lineOpen) writer.Finish();
    Report(progress, total, total);
}

void DecodeQuoted(TIpAnsiTextStream& body, TStream& dest, const TIpCodingProgressProc& progress,
                  TIpLineLimit limit) {
    body.Seek(0, soBeginning);
    int64_t total = body.Size();
    // Line breaks before the first line carry nothing.
    char c;
    while (body.ReadChar(c)) {
        if (c != '\r' && c != '\n') {
            body.Seek(-1, soCurrent);
            break;
        }
    }
    std::string out;
    while (!body.AtEndOfStream()) {
        std::string line = body.ReadLine();
        line.erase(std::remove(line.begin(), line.end(), '\r'), line.end());
        CheckLineLength(line, kQuotedMaxLineLength, limit);
        out.clear();
        if (DecodeQuotedLine(line, out)) out += "\r\n";
        WriteString(dest, out);
        if (Report(progress, body.Position(), total)) break;
    }
}

// --- uuencode --------------------------------------------------------------------------------

void EncodeUU(TStream& source, TIpAnsiTextStream& body, const std::string& fileName,
              const TIpCodingProgressProc& progress) {
    // The grave accent stands for 0, so no line ends in a blank that mail transport may strip.
    static const char UUAlphabet[] =
        "`!\"#$%&'()*+,-./0123456789:;<=>?@ABCDEFGHIJKLMNOPQRSTUVWXYZ[\\]^_";
    int64_t total = RemainingSize(source);
    int64_t done = 0;
    body.WriteLine("begin 600 " + fileName);
    char block[kCodecBlockSize];
    for (;;) {
        int64_t n = ReadBlock(source, block, kCodecBlockSize);
        if (n > 0) {
            std::string line(1, UUAlphabet[n]);
            const auto* p = reinterpret_cast<const uint8_t*>(block);
            for (int64_t i = 0; i < n; i += 3) {
                uint8_t g[3] = {0, 0, 0};
                std::memcpy(g, p + i, size_t(std::min<int64_t>(3, n - i)));
                SixBitGroup(g, 3, UUAlphabet, line);
            }
            body.WriteLine(line);
        }
        done += n;
        if (n < kCodecBlockSize || Report(progress, done, total)) break;
    }
    body.WriteLine("`");
    body.WriteLine("end");
}

void DecodeUU(TIpAnsiTextStream& body, TStream& dest, const TIpCodingProgressProc& progress) {
    body.Seek(0, soBeginning);
    int64_t total = body.Size();
    bool begun = false;
    while (!body.AtEndOfStream()) {
        if (StartsWith(body.ReadLine(), "begin")) {
            begun = true;
            break;
        }
    }
    if (!begun) return;
    std::string out;
    while (!body.AtEndOfStream()) {
        std::string line = StripCR(body.ReadLine());
        if (line.empty() || line[0] == '`') break;
        int64_t n = (uint8_t(line[0]) - 32) & 63;
        if (n == 0) break;
        int64_t need = (4 * n + 2) / 3;
        if (need >= 64 || int64_t(line.size()) - 1 < need)
            throw EIpBaseException("Count <> Len or Count > 63");
        out.clear();
        uint32_t bits = 0;
        int nbits = 0;
        for (int64_t i = 1; i <= need && int64_t(out.size()) < n; ++i) {
            bits = bits << 6 | ((uint8_t(line[size_t(i)]) - 32) & 63);
            nbits += 6;
            if (nbits >= 8) {
                nbits -= 8;
                out += char((bits >> nbits) & 0xFF);
            }
        }
        WriteString(dest, out);
        if (Report(progress, body.Position(), total)) break;
    }
}

// --- BinHex 4.0 ------------------------------------------------------------------------------

uint16_t BinHexCRC(const void* data, size_t count, uint16_t crc) {
    const auto* p = static_cast<const uint8_t*>(data);
    for (size_t i = 0; i < count; ++i) {
        crc ^= uint16_t(p[i] << 8);
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc & 0x8000) ? uint16_t((crc << 1) ^ 0x1021) : uint16_t(crc << 1);
    }
    return crc;
}

uint16_t StreamCRC16(TStream& stream, int64_t from, int64_t to) {
    int64_t size = stream.Size();
    if (from < 0 || to < 0 || from > size || to > size || from > to)
        throw EIpBaseException("Invalid stream offset");
    stream.Seek(from, soBeginning);
    uint16_t crc = 0;
    std::vector<char> block(4096);
    int64_t left = to - from;
    while (left > 0) {
        int64_t n = ReadBlock(stream, block.data(), std::min<int64_t>(left, int64_t(block.size())));
        if (n <= 0) break;
        crc = BinHexCRC(block.data(), size_t(n), crc);
        left -= n;
    }
    return crc;
}

uint32_t SwapBytes32(uint32_t value) {
    return (value >> 24) | ((value >> 8) & 0xFF00) | ((value << 8) & 0xFF0000) | (value << 24);
}

void EncodeBinHex(TStream& source, TIpAnsiTextStream& body, const std::string& fileName,
                  const TIpCodingProgressProc& progress) {
    std::string name = BaseName(fileName).substr(0, size_t(kBinHexMaxNameLength));
    std::transform(name.begin(), name.end(), name.begin(),
                   [](char c) { return c >= 'a' && c <= 'z' ? char(c - 32) : c; });
    int64_t total = RemainingSize(source);
    // The data fork length is a 32-bit field.
    if (total > int64_t(0xFFFFFFFFu)) throw EIpBaseException("Invalid data length");
    std::vector<uint8_t> data(static_cast<size_t>(total));
    int64_t got = total > 0 ? ReadBlock(source, reinterpret_cast<char*>(data.data()), total) : 0;
    data.resize(size_t(got));

    std::vector<uint8_t> plain;
    plain.push_back(uint8_t(name.size()));
    plain.insert(plain.end(), name.begin(), name.end());
    plain.push_back(0);  // version
    for (const char* s : {"IBM?", "IBM?"}) plain.insert(plain.end(), s, s + 4);
    PutBig(plain, 0, 2);  // flags
    PutBig(plain, uint32_t(data.size()), 4);
    PutBig(plain, 0, 4);  // resource fork
    PutBig(plain, BinHexCRC(plain.data(), plain.size()), 2);
    plain.insert(plain.end(), data.begin(), data.end());
    PutBig(plain, BinHexCRC(data.data(), data.size()), 2);
    PutBig(plain, 0, 2);  // CRC of the empty resource fork

    std::vector<uint8_t> packed;
    packed.reserve(plain.size() + plain.size() / 8);
    AppendRunLength(packed, plain);
    std::string text = ":";
    for (size_t i = 0; i < packed.size(); i += 3)
        SixBitGroup(packed.data() + i, int64_t(std::min<size_t>(3, packed.size() - i)),
                    BinHexAlphabet, text);
    text += ':';

    body.WriteLine(BinHexBanner);
    for (size_t i = 0; i < text.size(); i += size_t(kBinHexLineLength)) {
        body.WriteLine(text.substr(i, size_t(kBinHexLineLength)));
        if (Report(
                progress,
                int64_t(std::min(text.size(), i + size_t(kBinHexLineLength)) * total / text.size()),
                total))
            break;
    }
}

void DecodeBinHex(TIpAnsiTextStream& body, TStream& dest, const TIpCodingProgressProc& progress) {
    const auto& rev = BinHexReverse();
    body.Seek(0, soBeginning);
    int64_t total = body.Size();
    bool banner = false;
    while (!body.AtEndOfStream()) {
        if (StartsWith(body.ReadLine(), BinHexBannerStart)) {
            banner = true;
            break;
        }
    }
    if (!banner) throw EIpBaseException("Invalid BinHex format");

    // The 6-bit text, framed by ":"; line breaks inside it are skipped.
    char c;
    do {
        if (!body.ReadChar(c)) throw EIpBaseException("\":\" expected");
    } while (c == '\r' || c == '\n');
    if (c != ':') throw EIpBaseException("\":\" expected");
    std::vector<uint8_t> packed;
    uint32_t bits = 0;
    int nbits = 0;
    int64_t chars = 0;
    bool closed = false;
    while (body.ReadChar(c)) {
        if (c == '\r' || c == '\n') continue;
        if (c == ':') {
            closed = true;
            break;
        }
        int v = rev.Value[uint8_t(c)];
        if (v < 0) throw EIpBaseException("Invalid BinHex character");
        ++chars;
        bits = bits << 6 | uint32_t(v);
        nbits += 6;
        if (nbits >= 8) {
            nbits -= 8;
            packed.push_back(uint8_t(bits >> nbits));
        }
        if ((chars & 0xFFFF) == 0 && Report(progress, body.Position(), total)) return;
    }
    if (!closed) throw EIpBaseException("\":\" expected");
    if (chars % 4 == 1) throw EIpBaseException("One odd character");

    std::vector<uint8_t> plain;
    plain.reserve(packed.size());
    for (size_t i = 0; i < packed.size(); ++i) {
        uint8_t b = packed[i];
        if (b != RunMarker) {
            plain.push_back(b);
            continue;
        }
        if (i + 1 >= packed.size()) throw EIpBaseException("Invalid BinHex format");
        uint8_t count = packed[++i];
        if (count == 0) {
            plain.push_back(RunMarker);
        } else {
            if (plain.empty()) throw EIpBaseException("Invalid BinHex format");
            if (int64_t(plain.size()) + count > kBinHexMaxDecodedSize)
                throw EIpBaseException("Invalid data length");
            plain.insert(plain.end(), size_t(count - 1), plain.back());
        }
    }

    // Header: name length, name, version, type, creator, flags, two fork lengths, CRC.
    if (plain.empty()) throw EIpBaseException("Invalid BinHex format");
    size_t nameLen = plain[0];
    size_t headerLen = 1 + nameLen + 1 + 4 + 4 + 2 + 4 + 4;
    if (nameLen > size_t(kBinHexMaxNameLength) || plain.size() < headerLen + 2)
        throw EIpBaseException("Invalid BinHex format");
    if (GetBig(plain, headerLen, 2) != BinHexCRC(plain.data(), headerLen))
        throw EIpBaseException("Bad header CRC");
    uint32_t dataLen = GetBig(plain, headerLen - 8, 4);
    uint32_t resLen = GetBig(plain, headerLen - 4, 4);
    size_t dataAt = headerLen + 2;
    if (dataLen > plain.size() - dataAt || plain.size() - dataAt - dataLen < 2)
        throw EIpBaseException("Invalid data length");
    if (resLen != 0) throw EIpBaseException("Resource fork present");
    if (GetBig(plain, dataAt + dataLen, 2) != BinHexCRC(plain.data() + dataAt, dataLen))
        throw EIpBaseException("Bad header CRC");
    if (dataLen > 0) dest.WriteBuffer(plain.data() + dataAt, int64_t(dataLen));
    Report(progress, total, total);
}
