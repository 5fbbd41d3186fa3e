// Feeds arbitrary bytes to the certificate walk and the key reader: every input must either
// parse or raise ECertError, without reading outside the data.
#include <cstdint>
#include <vector>

#include "netlib/crypto/IpCert.h"

namespace {

void ReadKey(TIpCert_Cert& certs, TIpCertHandle handle) {
    int32_t modulusLength = 0, exponentLength = 0;
    certs.GetPublicKeySizes(handle, modulusLength, exponentLength);
    std::vector<uint8_t> modulus(static_cast<size_t>(modulusLength));
    std::vector<uint8_t> exponent(static_cast<size_t>(exponentLength));
    certs.GetPublicKey(handle, modulus.data(), modulusLength, exponent.data(), exponentLength);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > (1u << 20)) return 0;
    const auto length = static_cast<int32_t>(size);
    TIpCert_Cert certs;
    try {
        ReadKey(certs, certs.ParseCert(data, length));
    } catch (const ECertError&) {
    }
    // The same bytes as a chain of two: the second record must not disturb the first.
    try {
        const int32_t half = length / 2;
        const TIpCertHandle first = certs.ParseCert(data, half);
        certs.ParseCert(data + half, length - half);
        ReadKey(certs, first);
    } catch (const ECertError&) {
    }
    return 0;
}
