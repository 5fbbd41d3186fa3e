// Feeds arbitrary bytes to the certificate walk and the key reader: every input must either
// parse or raise ECertError, without reading outside the data. What parses must hold:
//   - the key read is the two INTEGERs that stand one after the other in the key field (the
//     modulus without its sign byte);
//   - the same bytes parsed again, after another record, give the same record and key;
//   - of a chain of two, parsing the second leaves the first and its key as they were.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <vector>

#include "netlib/crypto/IpCert.h"

namespace {

struct TKey {
    std::vector<uint8_t> Modulus;
    std::vector<uint8_t> Exponent;
    bool operator==(const TKey&) const = default;
};

[[noreturn]] void Fail(const char* What) {
    std::fprintf(stderr, "%s\n", What);
    std::abort();
}

std::optional<TKey> KeyOf(TIpCert_Cert& Certs, TIpCertHandle Handle) {
    try {
        int32_t ModulusLength = 0, ExponentLength = 0;
        Certs.GetPublicKeySizes(Handle, ModulusLength, ExponentLength);
        TKey Key;
        Key.Modulus.resize(static_cast<size_t>(ModulusLength));
        Key.Exponent.resize(static_cast<size_t>(ExponentLength));
        Certs.GetPublicKey(Handle, Key.Modulus.data(), ModulusLength, Key.Exponent.data(),
                           ExponentLength);
        return Key;
    } catch (const ECertError&) {
        return std::nullopt;
    }
}

bool SameField(const TIpCertField& A, const TIpCertField& B) {
    return A.Length == B.Length && A.Tag == B.Tag && A.Value == B.Value;
}

bool SameRecord(const TIpCertRecord& A, const TIpCertRecord& B) {
    return SameField(A.Version, B.Version) && SameField(A.SerialNumber, B.SerialNumber) &&
           SameField(A.SignatureAlgorithm, B.SignatureAlgorithm) && SameField(A.Issuer, B.Issuer) &&
           SameField(A.NotBefore, B.NotBefore) && SameField(A.NotAfter, B.NotAfter) &&
           SameField(A.Subject, B.Subject) &&
           SameField(A.PublicKeyAlgorithm, B.PublicKeyAlgorithm) &&
           SameField(A.PublicKey, B.PublicKey);
}

// Whether Field holds, at some place, the modulus (after an optional zero sign byte) ending
// right where an INTEGER header whose length is the exponent's and then the exponent follow.
// Tags are told apart by their low five bits, as the certificate walk does.
bool KeyStandsInField(const TKey& Key, const std::vector<uint8_t>& Field) {
    const auto& M = Key.Modulus;
    const auto& E = Key.Exponent;
    for (auto At = Field.begin();
         (At = std::search(At, Field.end(), M.begin(), M.end())) != Field.end(); ++At) {
        size_t Pos = size_t(At - Field.begin()) + M.size();
        if (Pos >= Field.size() || (Field[Pos++] & 0x1F) != 2 || Pos >= Field.size()) continue;
        size_t Length = Field[Pos++];
        if (Length & 0x80) {
            const size_t Octets = Length & 0x7F;
            if (Octets == 0 || Octets > 4 || Field.size() - Pos < Octets) continue;
            Length = 0;
            for (size_t I = 0; I < Octets; ++I) Length = Length << 8 | Field[Pos++];
        }
        if (Length != E.size() || Field.size() - Pos < Length) continue;
        if (std::equal(E.begin(), E.end(), Field.begin() + long(Pos))) return true;
    }
    return false;
}

// Parses the bytes into Certs; the handle, or 0 when they do not parse.
TIpCertHandle Parse(TIpCert_Cert& Certs, const uint8_t* Data, int32_t Length) {
    try {
        return Certs.ParseCert(Data, Length);
    } catch (const ECertError&) {
        return 0;
    }
}

void CheckAlone(const uint8_t* Data, int32_t Length) {
    TIpCert_Cert Certs;
    const TIpCertHandle First = Parse(Certs, Data, Length);
    if (First == 0) return;
    const std::optional<TKey> Key = KeyOf(Certs, First);
    if (Key && !KeyStandsInField(*Key, Certs.Record(First)->PublicKey.Value))
        Fail("the key read is not the key field's pair of integers");
    const TIpCertHandle Again = Parse(Certs, Data, Length);
    if (Again == 0) Fail("the same bytes failed to parse the second time");
    if (!SameRecord(*Certs.Record(First), *Certs.Record(Again)))
        Fail("the same bytes parsed again gave another record");
    if (KeyOf(Certs, Again) != Key) Fail("the same bytes parsed again gave another key");
}

void CheckChain(const uint8_t* Data, int32_t Length) {
    TIpCert_Cert Certs;
    const int32_t Half = Length / 2;
    const TIpCertHandle First = Parse(Certs, Data, Half);
    if (First == 0) return;
    const TIpCertRecord Before = *Certs.Record(First);
    const std::optional<TKey> Key = KeyOf(Certs, First);
    Parse(Certs, Data + Half, Length - Half);
    if (!SameRecord(*Certs.Record(First), Before)) Fail("the second record changed the first");
    if (KeyOf(Certs, First) != Key) Fail("the second record changed the first's key");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
    if (Size > (1u << 20)) return 0;
    const auto Length = static_cast<int32_t>(Size);
    CheckAlone(Data, Length);
    CheckChain(Data, Length);
    return 0;
}
