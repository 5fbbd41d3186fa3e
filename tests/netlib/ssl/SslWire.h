#pragma once
// SSL 3.0 framing as a peer writes and reads it, for the tests' in-process server and the fuzz
// target's peer: big-endian lengths, records, handshake messages and the cutting of a client's
// bytes into whole records. Nothing here checks the client: callers decide what a fault is.
#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace sslwire {

// Value as Bytes big-endian bytes.
inline std::string Be(size_t Value, int Bytes) {
    std::string Out;
    for (int I = Bytes - 1; I >= 0; --I) Out += static_cast<char>(Value >> (8 * I));
    return Out;
}

inline std::string Record(uint8_t Type, const std::string& Body, uint8_t Major = 3,
                          uint8_t Minor = 0) {
    return std::string{static_cast<char>(Type), static_cast<char>(Major),
                       static_cast<char>(Minor)} +
           Be(Body.size(), 2) + Body;
}

inline std::string Handshake(uint8_t Type, const std::string& Body) {
    return std::string(1, static_cast<char>(Type)) + Be(Body.size(), 3) + Body;
}

using TRecords = std::vector<std::pair<uint8_t, std::string>>;

// Cuts Wire into (type, body) records of version 3.0. Returns "" when every byte belongs to a
// whole record of that version, otherwise what is wrong (Out then holds the records before it).
inline std::string SplitRecords(const std::string& Wire, TRecords& Out) {
    constexpr size_t kHeader = 5;
    const auto Byte = [&](size_t At) { return static_cast<uint8_t>(Wire[At]); };
    size_t At = 0;
    while (At < Wire.size()) {
        if (Wire.size() - At < kHeader) return "a cut record";
        if (Byte(At + 1) != 3 || Byte(At + 2) != 0) return "another version";
        const size_t Length = size_t(Byte(At + 3)) << 8 | Byte(At + 4);
        if (Wire.size() - At - kHeader < Length) return "a cut record";
        Out.emplace_back(Byte(At), Wire.substr(At + kHeader, Length));
        At += kHeader + Length;
    }
    return "";
}

}  // namespace sslwire
