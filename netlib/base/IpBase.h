#pragma once
// Root exceptions and base classes of the internet library. Every library exception derives from
// EIpBaseException, so catching it catches all of them.
#include <cstdint>
#include <mutex>
#include <string>

#include "platform/classes/Exception.h"

class EIpBaseException : public Exception {
  public:
    using Exception::Exception;
};

// A run-time bound entry point could not be bound.
class EIpAccessException : public EIpBaseException {
  public:
    using EIpBaseException::EIpBaseException;
    // "Win32 error loading '<entry point>' pointer: <system text>"
    EIpAccessException(const std::string& entryPoint, const std::string& systemText);
};

class EIpHtmlException : public EIpBaseException {
  public:
    using EIpBaseException::EIpBaseException;
};

// The lock of the library's objects. It is recursive because handlers may run a pass of the
// message loop and come back into an object that already holds it.
class TIpLock {
  public:
    void Enter() { FMutex.lock(); }
    void Leave() { FMutex.unlock(); }

  private:
    std::recursive_mutex FMutex;
};

// Base of the objects that bind a library at run time (the socket and dial-up bindings).
class TIpBaseAccess {
  public:
    TIpBaseAccess() = default;
    virtual ~TIpBaseAccess() = default;
    TIpBaseAccess(const TIpBaseAccess&) = delete;
    TIpBaseAccess& operator=(const TIpBaseAccess&) = delete;

    void Lock() { FLock.Enter(); }
    void Unlock() { FLock.Leave(); }
    // Handle of the bound library; 0 until the descendant has bound it.
    uintptr_t Module() const { return FModule; }

  protected:
    uintptr_t FModule = 0;

  private:
    TIpLock FLock;
};

// Base of the library's persistent objects (the SOCKS server settings).
class TIpBasePersistent {
  public:
    TIpBasePersistent() = default;
    virtual ~TIpBasePersistent() = default;
    TIpBasePersistent(const TIpBasePersistent&) = delete;
    TIpBasePersistent& operator=(const TIpBasePersistent&) = delete;

    void Lock() { FLock.Enter(); }
    void Unlock() { FLock.Leave(); }

  private:
    TIpLock FLock;
};

// Base of the library's components. It stands in for the class library's component: an owner
// and a name, plus the published Version.
class TIpBaseComponent {
  public:
    explicit TIpBaseComponent(void* owner = nullptr) : FOwner(owner) {}
    virtual ~TIpBaseComponent() = default;
    TIpBaseComponent(const TIpBaseComponent&) = delete;
    TIpBaseComponent& operator=(const TIpBaseComponent&) = delete;

    void* Owner() const { return FOwner; }
    const std::string& Name() const { return FName; }
    void SetName(const std::string& name) { FName = name; }

    // The library version ("v1.11"); writing is accepted and ignored so stored forms still load.
    std::string Version() const;
    void SetVersion(const std::string&) {}

    // Turns one entry of the component's debug log into text. `data` points at the entry's data:
    // the logged bytes for data entries (type bit 31 set), otherwise at its 32-bit value. `size`
    // is the byte count, or the entry's second 32-bit value. Components that write their own log
    // entries override it; the base knows none of them.
    virtual std::string FormatDebugEntry(uint32_t socket, uint32_t entryType, const void* data,
                                         uint32_t size);

  private:
    void* FOwner;
    std::string FName;
};

// Base of the library's windowed controls (the terminal): only the published Version.
class TIpBaseWinControl {
  public:
    TIpBaseWinControl() = default;
    virtual ~TIpBaseWinControl() = default;
    TIpBaseWinControl(const TIpBaseWinControl&) = delete;
    TIpBaseWinControl& operator=(const TIpBaseWinControl&) = delete;

    std::string Version() const;
    void SetVersion(const std::string&) {}
};
