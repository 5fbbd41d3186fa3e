// The certificate walk: every DER element is visited in order; SEQUENCE and SET are entered,
// OIDs from the table either are values themselves or announce the next value, and values are
// stored at the position of the next certificate field. Only RSA keys matter to the caller;
// positions 9 and 10 take the extensions and the signature and store nothing.
#include "netlib/crypto/IpCert.h"

#include <cerrno>
#include <cstring>
#include <new>

#include "netlib/crypto/Limits.h"

namespace {

using namespace CryptoLimits;

constexpr uint8_t kTagOID = 6;
constexpr uint8_t kTagBitString = 3;
constexpr uint8_t kTagUTCTime = 23;
constexpr uint8_t kTagGeneralizedTime = 24;

// Field positions.
enum : int32_t {
    fpVersion = 0,
    fpSerial,
    fpAlgorithm,
    fpIssuer,
    fpNotBefore,
    fpNotAfter,
    fpSubject,
    fpKeyAlgorithm,
    fpPublicKey,
    fpIgnored1,
    fpIgnored2,
    fpError
};

struct OIDRow {
    uint8_t Class;
    const char* Text;
};

// Class 0: the OID is the field value; class 1: an attribute type announcing a name value.
constexpr OIDRow kOIDTable[] = {{0, "1.2.840.113549.1.1.1"},
                                {0, "1.2.840.113549.1.1.2"},
                                {0, "1.2.840.113549.1.1.3"},
                                {0, "1.2.840.113549.1.1.4"},
                                {0, "1.2.840.113549.1.1.5"},
                                {0, "1.2.840.113549.1.1.6"},
                                {0, "1.2.840.113549.1.3.1"},
                                {0, "1.2.840.113549.1.7.1"},
                                {1, "1.2.840.113549.1.7.2"},
                                {1, "1.2.840.113549.1.7.3"},
                                {1, "1.2.840.113549.1.7.4"},
                                {1, "1.2.840.113549.1.7.5"},
                                {1, "1.2.840.113549.1.7.5"},
                                {1, "1.2.840.113549.1.7.6"},
                                {1, "2.5.4.3"},
                                {1, "2.5.4.4"},
                                {1, "2.5.4.5"},
                                {1, "2.5.4.6"},
                                {1, "2.5.4.7"},
                                {1, "2.5.4.8"},
                                {1, "2.5.4.9"},
                                {1, "2.5.4.10"},
                                {1, "2.5.4.11"},
                                {1, "2.5.4.12"},
                                {1, "2.5.4.13"},
                                {1, "2.5.4.14"},
                                {1, "2.5.4.15"},
                                {1, "2.5.4.16"},
                                {1, "2.5.4.17"},
                                {1, "2.5.4.18"},
                                {1, "2.5.4.19"},
                                {1, "2.5.4.20"},
                                {1, "2.5.4.21"},
                                {1, "2.5.4.22"},
                                {1, "2.5.4.23"},
                                {1, "2.5.4.24"},
                                {1, "2.5.4.25"},
                                {1, "2.5.4.26"},
                                {1, "2.5.4.27"},
                                {1, "2.5.4.28"},
                                {1, "2.5.4.29"},
                                {1, "2.5.4.30"},
                                {1, "2.5.4.31"},
                                {1, "2.5.4.32"},
                                {1, "2.5.4.33"},
                                {1, "2.5.4.34"},
                                {1, "2.5.4.35"},
                                {1, "2.5.4.36"},
                                {1, "2.5.4.37"},
                                {1, "2.5.4.38"},
                                {1, "2.5.4.39"},
                                {1, "2.5.4.40"},
                                {1, "2.5.4.42"},
                                {1, "2.5.4.43"},
                                {1, "2.5.4.46"}};
static_assert(std::size(kOIDTable) == 55);

[[noreturn]] void Fail(const char* routine) {
    throw ECertError(routine);
}

bool IsTime(uint8_t tag) {
    return tag == kTagUTCTime || tag == kTagGeneralizedTime;
}

// The stored copy of a value; a failed allocation is reported like the other certificate
// errors rather than as a bare out-of-memory.
void Fill(TIpCertField& field, uint8_t tag, const uint8_t* value, size_t length) {
    try {
        field.Value.assign(value, value + length);
    } catch (const std::bad_alloc&) {
        throw ECertError(ENOMEM, "IpCert_CreateBuff_N_Fill");
    }
    field.Length = static_cast<int32_t>(length);
    field.Tag = tag;
}

// One DER header at data[pos]: the tag number and the value's extent, checked against the end.
struct Header {
    uint32_t Tag;
    size_t Start;
    size_t Length;
};

Header ReadHeader(const uint8_t* data, size_t size, size_t pos, const char* overflowText) {
    if (pos >= size) Fail("IpCert_MovePtr : Buffer OverFlow");
    uint32_t tag = data[pos++] & 0x1F;
    if (tag == 31) {  // high tag number, base 128
        tag = 0;
        uint8_t b;
        int count = 0;
        do {
            if (pos >= size) Fail("IpCert_MovePtr : Buffer OverFlow");
            if (++count > kMaxDerTagBytes) Fail("IpCert_Parse1Cert : Unknown tag type");
            b = data[pos++];
            tag = (tag << 7) | (b & 0x7F);
        } while (b & 0x80);
    }
    if (pos >= size) Fail("IpCert_MovePtr : Buffer OverFlow");
    const uint8_t first = data[pos++];
    size_t length = first;
    if (first & 0x80) {
        const int count = first & 0x7F;  // 0 length bytes give a length of 0
        if (count > kMaxDerLengthBytes) Fail(overflowText);
        length = 0;
        for (int i = 0; i < count; ++i) {
            if (pos >= size) Fail("IpCert_MovePtr : Buffer OverFlow");
            length = (length << 8) | data[pos++];
        }
    }
    if (length > size - pos) Fail(overflowText);
    return {tag, pos, length};
}

}  // namespace

ECertError::ECertError(const std::string& routine) : EIpCryptoBase("Cert Error in " + routine) {}

ECertError::ECertError(int errorCode, const std::string& routine)
    : EIpCryptoBase("Cert Error (" + std::to_string(errorCode) + "): " + std::strerror(errorCode) +
                    ", in procedure '" + routine + "'") {}

TIpCert_Cert::TIpCert_Cert() = default;
TIpCert_Cert::~TIpCert_Cert() = default;

std::string TIpCert_Cert::ParseOID(const uint8_t* data, int32_t length) {
    if (data == nullptr || length <= 0) Fail("IpCert_ParseOID : Pointer not assigned");
    std::string text;
    uint64_t arc = 0;
    bool first = true;
    for (int32_t i = 0; i < length; ++i) {
        if (arc >> 57) return {};  // would overflow: not an OID we know
        arc = (arc << 7) | (data[i] & 0x7F);
        if (data[i] & 0x80) {
            if (i + 1 == length) return {};  // truncated sub-identifier
            continue;
        }
        if (first) {  // X.690: the first sub-identifier holds two arcs
            const uint64_t top = arc < 80 ? arc / 40 : 2;
            text = std::to_string(top) + "." + std::to_string(arc - 40 * top);
            first = false;
        } else {
            text += '.';
            text += std::to_string(arc);
        }
        arc = 0;
    }
    return text;
}

int TIpCert_Cert::OIDClass(const std::string& oid) {
    for (const OIDRow& row : kOIDTable)
        if (oid == row.Text) return row.Class;
    return -1;
}

TIpCertHandle TIpCert_Cert::ParseCert(const uint8_t* data, int32_t length) {
    if (data == nullptr || length <= 0) Fail("IpCert_Parse1Cert : run over end of buffer");
    if (length > kMaxCertificateBytes) Fail("IpCert_Parse1Cert : Certificate too large");
    auto record = std::make_unique<TIpCertRecord>();
    FField = fpVersion;
    FFirstAlgorithm = true;
    FSetMarker = 0;
    FToken = TToken{};
    Walk(data, static_cast<size_t>(length), 0, *record);
    record->Index = FRecords.empty() ? 1 : FRecords.back()->Index + 1;
    FRecords.push_back(std::move(record));
    return FRecords.back()->Index;
}

void TIpCert_Cert::Walk(const uint8_t* data, size_t length, int depth, TIpCertRecord& record) {
    if (depth > kMaxDerDepth) Fail("IpCert_Parse1Cert : Nesting too deep");
    size_t pos = 0;
    while (pos < length) {
        const Header h =
            ReadHeader(data, length, pos, "IpCert_Parse1Cert : run over end of buffer");
        const uint8_t* value = data + h.Start;
        pos = h.Start + h.Length;
        const uint32_t tag = h.Tag;
        if (tag == 0 || tag == 5) {
            // The explicit version wrapper and NULL parameters only move the position on.
            if (FField < fpError) ++FField;
        } else if (tag == 16) {
            Walk(value, h.Length, depth + 1, record);
        } else if (tag == 17) {
            const size_t outer = FSetMarker;
            FSetMarker = h.Length;
            Walk(value, h.Length, depth + 1, record);
            FSetMarker = outer;
        } else if (tag == kTagOID) {
            const int oidClass = OIDClass(ParseOID(value, static_cast<int32_t>(h.Length)));
            if (oidClass == 0)
                Dispatch(kTagOID, value, h.Length, record);
            else if (oidClass == 1)
                SetToken(kTagOID, value, h.Length);
        } else if ((tag >= 1 && tag <= 4) || (tag >= 7 && tag <= 12) || (tag >= 18 && tag <= 30)) {
            Dispatch(static_cast<uint8_t>(tag), value, h.Length, record);
        } else {
            Fail("IpCert_Parse1Cert : Unknown tag type");
        }
    }
}

void TIpCert_Cert::SetToken(uint8_t tag, const uint8_t* value, size_t length) {
    if (length == 0) Fail("IpCert_SetToken : : No Data");
    FToken.Present = true;
    FToken.Tag = tag;
    FToken.Length = static_cast<int32_t>(length);
    try {
        FToken.Value.assign(value, value + length);
    } catch (const std::bad_alloc&) {
        throw ECertError(ENOMEM, "IpCert_CreateBuff_N_Fill");
    }
}

void TIpCert_Cert::Dispatch(uint8_t tag, const uint8_t* value, size_t length,
                            TIpCertRecord& record) {
    switch (FField) {
        case fpVersion:
            if (length == 0) Fail("IpCert_SetSignature : No Data");
            if (length < 2) {
                // A one-byte value may be the version: the position stays for the serial.
                Fill(record.Version, tag, value, length);
                return;
            }
            // No version field: version 1 (stored as 0), and this value is the serial number.
            {
                const uint8_t v1 = 0;
                Fill(record.Version, 2, &v1, 1);
            }
            FField = fpSerial;
            return Dispatch(tag, value, length, record);
        case fpSerial:
            if (length == 0) Fail("IpCert_SetSignature : No Data");
            Fill(record.SerialNumber, tag, value, length);
            FField = fpAlgorithm;
            return;
        case fpAlgorithm:
            if (length == 0) Fail("IpCert_SetSignature : No Data");
            if (FFirstAlgorithm) {
                Fill(record.SignatureAlgorithm, tag, value, length);
                FFirstAlgorithm = false;
                return;
            }
            // The algorithm identifier had no NULL parameter: this value is the issuer's.
            FField = fpIssuer;
            return Dispatch(tag, value, length, record);
        case fpIssuer:
            if (IsTime(tag)) {  // the issuer ends where the validity begins
                FField = fpNotBefore;
                return Dispatch(tag, value, length, record);
            }
            if (length == 0) Fail("IpCert_SetIssuer : No Data");
            Fill(record.Issuer, tag, value, length);
            return;
        case fpNotBefore:
            if (length == 0) Fail("IpCert_SetNotBefore : No Data");
            if (!IsTime(tag)) Fail("IpCert_SetNotBefore : Parse put of alignment");
            Fill(record.NotBefore, tag, value, length);
            FField = fpNotAfter;
            return;
        case fpNotAfter:
            if (length == 0) Fail("IpCert_SetNotAfter : No Data");
            if (!IsTime(tag)) Fail("IpCert_SetNotAfter : Parse put of alignment");
            Fill(record.NotAfter, tag, value, length);
            FField = fpSubject;
            return;
        case fpSubject:
            if (tag == kTagOID) {  // the key's algorithm ends the subject
                FField = fpKeyAlgorithm;
                return Dispatch(tag, value, length, record);
            }
            if (length == 0) Fail("IpCert_SetSubject : No Data");
            Fill(record.Subject, tag, value, length);
            return;
        case fpKeyAlgorithm:
            if (tag == kTagBitString) {  // the key itself, the NULL parameter left out
                FField = fpPublicKey;
                return Dispatch(tag, value, length, record);
            }
            if (length == 0) Fail("IpCert_SetAlgID : No Data");
            Fill(record.PublicKeyAlgorithm, tag, value, length);
            return;
        case fpPublicKey:
            if (length == 0) Fail("IpCert_SetPublicKey : No Data");
            Fill(record.PublicKey, tag, value, length);
            FField = fpIgnored1;
            return;
        case fpIgnored1:
        case fpIgnored2:
            return;
        default:
            Fail("IpCert_FillCertStruct : Cert Fill out of alignment");
    }
}

const TIpCertRecord* TIpCert_Cert::Record(TIpCertHandle cert) const {
    for (const auto& record : FRecords)
        if (record->Index == cert) return record.get();
    return nullptr;
}

namespace {

struct RsaKey {
    const uint8_t* Modulus;
    size_t ModulusLength;
    const uint8_t* Exponent;
    size_t ExponentLength;
};

// SEQUENCE { INTEGER modulus, INTEGER exponent } behind the BIT STRING's unused-bits byte.
RsaKey ReadRsaKey(const TIpCertRecord& record) {
    const uint8_t* data = record.PublicKey.Value.data();
    const size_t size = record.PublicKey.Value.size();
    constexpr const char* kParsing = "IpCert_GetPublicKey : Parsing error.";
    size_t pos = (size > 0 && data[0] == 0) ? 1 : 0;
    if (pos >= size || (data[pos] & 0x1F) != 16) Fail(kParsing);
    const Header seq = ReadHeader(data, size, pos, kParsing);
    const uint8_t* body = data + seq.Start;
    RsaKey key{};
    size_t at = 0;
    for (int i = 0; i < 2; ++i) {
        if (at >= seq.Length) Fail(kParsing);
        if ((body[at] & 0x1F) != 2) Fail("IpCert_GetPublicKey : Key value not an integer.");
        const Header h = ReadHeader(body, seq.Length, at, kParsing);
        const uint8_t* value = body + h.Start;
        size_t length = h.Length;
        at = h.Start + h.Length;
        if (i == 0 && length > 1 && value[0] == 0) {  // the sign byte of a positive modulus
            ++value;
            --length;
        }
        if (length == 0) Fail(kParsing);
        if (i == 0) {
            key.Modulus = value;
            key.ModulusLength = length;
        } else {
            key.Exponent = value;
            key.ExponentLength = length;
        }
    }
    if (key.ModulusLength > static_cast<size_t>(kMaxPublicKeyModulusBytes) ||
        key.ExponentLength > static_cast<size_t>(kMaxPublicKeyExponentBytes))
        Fail("IpCert_GetPublicKey : Key too large.");
    return key;
}

}  // namespace

void TIpCert_Cert::GetPublicKeySizes(TIpCertHandle cert, int32_t& modulusLength,
                                     int32_t& exponentLength) {
    const TIpCertRecord* record = Record(cert);
    if (record == nullptr) Fail("IpCert_GetPublicKey : Certificate is not assigned");
    const RsaKey key = ReadRsaKey(*record);
    modulusLength = static_cast<int32_t>(key.ModulusLength);
    exponentLength = static_cast<int32_t>(key.ExponentLength);
}

void TIpCert_Cert::GetPublicKey(TIpCertHandle cert, uint8_t* modulus, int32_t modulusSize,
                                uint8_t* exponent, int32_t exponentSize) {
    const TIpCertRecord* record = Record(cert);
    if (record == nullptr) Fail("IpCert_GetPublicKey : Certificate is not available");
    if (modulus == nullptr) Fail("IpCert_GetPublicKey : No buffer to place _mod.");
    if (exponent == nullptr) Fail("IpCert_GetPublicKey : No buffer to place exp.");
    const RsaKey key = ReadRsaKey(*record);
    if (modulusSize < 0 || static_cast<size_t>(modulusSize) != key.ModulusLength)
        Fail("IpCert_GetPublicKey : Size missmatch _mod.");
    if (exponentSize < 0 || static_cast<size_t>(exponentSize) != key.ExponentLength)
        Fail("IpCert_GetPublicKey : Size missmatch exp.");
    std::memcpy(modulus, key.Modulus, key.ModulusLength);
    std::memcpy(exponent, key.Exponent, key.ExponentLength);
}
