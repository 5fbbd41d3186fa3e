#pragma once
// The exceptions of the cipher, big-integer and certificate units.
#include <string>

#include "netlib/base/IpBase.h"

using EIpCryptoBase = EIpBaseException;

// Raised by the big-integer arithmetic ("Division by zero", "Subtraction error", ...).
class EIpBigIntegerError : public EIpCryptoBase {
  public:
    using EIpCryptoBase::EIpCryptoBase;
};

// Raised when the operating system's random source cannot be read.
class EIpRandomError : public EIpCryptoBase {
  public:
    using EIpCryptoBase::EIpCryptoBase;
};

// Raised by the certificate object. The message names the routine and the problem:
// "Cert Error in <routine text>", or with a system error code
// "Cert Error (<code>): <system text>, in procedure '<routine text>'".
class ECertError : public EIpCryptoBase {
  public:
    explicit ECertError(const std::string& routine);
    ECertError(int errorCode, const std::string& routine);
};
