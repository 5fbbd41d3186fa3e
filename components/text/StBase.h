#pragma once
// The system-tools base: its exception with an error code, the library message table and the
// component base.
#include <cstdint>
#include <string>
#include <type_traits>

#include "platform/classes/Exception.h"
#include "platform/forms/Component.h"

class EStException : public Exception {
  public:
    explicit EStException(std::string message, int32_t errorCode = 0)
        : Exception(std::move(message)), ErrorCode(errorCode) {}
    int32_t ErrorCode;
};

// Raised by the version-information component.
class EStVersionInfoError : public EStException {
  public:
    using EStException::EStException;
};

// Ids of the library messages the system raises.
enum : int32_t {
    stscFileOpen = 73,            // "Error opening file"
    stscNoVerInfo = 100,          // "File does not contain version info"
    stscVerInfoFail = 101,        // "Unable to read version info"
    stscVerInfoKeyNotFound = 134  // "The specified key cannnot be found in version info"
};

// Text of the library message table; empty when the id is absent. Of two entries with one id
// the later wins.
std::string LookupLibraryString(int32_t id);

// Raises E (EStException or a descendant) with the id's text as message and the id as ErrorCode.
template <class E = EStException>
[[noreturn]] void RaiseLibraryError(int32_t id) {
    static_assert(std::is_base_of_v<EStException, E>);
    E error(LookupLibraryString(id));
    error.ErrorCode = id;
    throw error;
}

// Base of the system-tools components: publishes the read-only Version.
class TStComponent : public TComponent {
  public:
    explicit TStComponent(TComponent* AOwner = nullptr) : TComponent(AOwner) {}

    // "4.00"; writing does nothing so stored forms still load.
    std::string Version() const { return "4.00"; }
    void SetVersion(const std::string&) {}
};

// TStComponent in the class registry (its descendants' registrations call it first). Calling it
// again does nothing.
void RegisterStComponentClass();
