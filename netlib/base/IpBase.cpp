#include "netlib/base/IpBase.h"

#include "netlib/base/IpUtils.h"

EIpAccessException::EIpAccessException(const std::string& entryPoint, const std::string& systemText)
    : EIpBaseException("Win32 error loading '" + entryPoint + "' pointer: " + systemText) {}

std::string TIpBaseComponent::Version() const {
    return VersionString();
}

std::string TIpBaseComponent::FormatDebugEntry(uint32_t, uint32_t, const void*, uint32_t) {
    // LF before CR: the debug log has always written it this way.
    return "!!!! Unhandled log entry\n\r";
}

std::string TIpBaseWinControl::Version() const {
    return VersionString();
}
