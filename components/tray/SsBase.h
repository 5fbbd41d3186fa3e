#pragma once
// The shell components' base: their exceptions, which carry the id of their text in the shell
// string table, and the component classes the tray icon rests on.
#include <cstdint>
#include <string>

#include "platform/classes/Exception.h"
#include "platform/forms/Component.h"

class ESsException : public Exception {
  public:
    ESsException(std::string Message, int32_t MessageId)
        : Exception(std::move(Message)), MessageId(MessageId) {}
    int32_t MessageId;
};

class ESsVersionInfoError : public ESsException {
  public:
    using ESsException::ESsException;
};
class ESsTrayIconError : public ESsException {
  public:
    using ESsException::ESsException;
};
class ESsDropFilesError : public ESsException {
  public:
    using ESsException::ESsException;
};

// Ids of the shell string table's texts.
enum : int32_t {
    ssscTrayIconError = 121,      // "Tray icon error"
    ssscTrayIconClose = 127,      // "&Close"
    ssscTrayIconRestore = 128,    // "&Restore"
    ssscTrayIconDuplicate = 133,  // "Cannot have more than one StTrayIcon per application"
    ssscNoImageList = 135,        // "ImageList is not assigned"
};

// The text of an id in the shell string table.
std::string SsText(int32_t Id);

// Raises E with the id's text and the id.
template <class E>
[[noreturn]] void RaiseSsError(int32_t Id) {
    throw E(SsText(Id), Id);
}

class TSsComponent : public TComponent {
  public:
    using TComponent::TComponent;
    // "1.00"; writing does nothing, so stored forms still load.
    std::string Version() const { return "1.00"; }
    void SetVersion(const std::string&) {}
};

// Knows the version of the desktop's shell library. This desktop has none: the version is 0,
// which nothing here consults.
class TSsShellComponent : public TSsComponent {
  public:
    using TSsComponent::TSsComponent;
    double ShellVersion() const { return 0.0; }
};
