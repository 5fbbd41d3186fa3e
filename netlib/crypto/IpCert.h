#pragma once
// X.509 certificates as the SSL client needs them: a walk over the DER encoding that fills the
// certificate's fields by their position, and the RSA public key. Nothing here verifies a
// certificate (no signature, date, name or trust check): the SSL client accepts any server.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "netlib/crypto/CryptoErrors.h"

// One field: its length, its DER tag and a copy of its value bytes.
struct TIpCertField {
    int32_t Length = 0;
    uint8_t Tag = 0;
    std::vector<uint8_t> Value;
};

// A parsed certificate: its fields in the order they stand in the certificate.
struct TIpCertRecord {
    int32_t Index = 0;  // 1 for the first certificate parsed, then 2, ...
    TIpCertField Version;
    TIpCertField SerialNumber;
    TIpCertField SignatureAlgorithm;
    TIpCertField Issuer;  // the last attribute value of the issuer name
    TIpCertField NotBefore;
    TIpCertField NotAfter;
    TIpCertField Subject;  // the last attribute value of the subject name
    TIpCertField PublicKeyAlgorithm;
    TIpCertField PublicKey;  // BIT STRING contents: unused-bits byte, SEQUENCE {modulus, exponent}
};

// Selects a parsed certificate; 0 selects none.
using TIpCertHandle = int32_t;

class TIpCert_Cert {
  public:
    TIpCert_Cert();
    ~TIpCert_Cert();
    TIpCert_Cert(const TIpCert_Cert&) = delete;
    TIpCert_Cert& operator=(const TIpCert_Cert&) = delete;

    // Parses one DER certificate into a new record and returns its handle. A certificate that
    // cannot be parsed raises ECertError and leaves no record behind.
    TIpCertHandle ParseCert(const uint8_t* data, int32_t length);

    // The lengths of the RSA modulus (without a leading zero byte) and the public exponent.
    void GetPublicKeySizes(TIpCertHandle cert, int32_t& modulusLength, int32_t& exponentLength);
    // Copies modulus and exponent, most significant byte first, into buffers of exactly the
    // sizes GetPublicKeySizes gave.
    void GetPublicKey(TIpCertHandle cert, uint8_t* modulus, int32_t modulusSize, uint8_t* exponent,
                      int32_t exponentSize);

    // The record of a handle, or nullptr.
    const TIpCertRecord* Record(TIpCertHandle cert) const;
    int32_t Count() const { return static_cast<int32_t>(FRecords.size()); }

    // The dotted text of a DER OID value ("1.2.840.113549.1.1.1"); empty for arcs too large
    // to be any OID of interest.
    static std::string ParseOID(const uint8_t* data, int32_t length);
    // 0 for an algorithm or content type whose OID is itself a field value, 1 for an attribute
    // type whose next value is a name value, -1 for an OID not in the table.
    static int OIDClass(const std::string& oid);

  private:
    struct TToken {
        bool Present = false;
        uint8_t Tag = 0;
        int32_t Length = 0;
        std::vector<uint8_t> Value;
    };

    void Walk(const uint8_t* data, size_t length, int depth, TIpCertRecord& record);
    void Dispatch(uint8_t tag, const uint8_t* value, size_t length, TIpCertRecord& record);
    void SetToken(uint8_t tag, const uint8_t* value, size_t length);

    std::vector<std::unique_ptr<TIpCertRecord>> FRecords;
    TToken FToken;
    bool FFirstAlgorithm = true;
    int32_t FField = 0;     // position of the next certificate field, 0-11
    size_t FSetMarker = 0;  // length of the SET being walked, 0 outside
};
