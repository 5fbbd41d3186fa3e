#include "netlib/ras/provider/DialupProvider.h"

#include <cstdio>
#include <cstdlib>
#include <mutex>

#include "netlib/ras/provider/CommandProvider.h"
#include "netlib/ras/provider/SimProvider.h"

namespace {

std::mutex& LogMutex() {
    static std::mutex m;
    return m;
}

TDialupLogSink& LogSink() {
    static TDialupLogSink sink;
    return sink;
}

}  // namespace

std::string RasErrorText(uint32_t code) {
    switch (code) {
        case ERROR_INVALID_HANDLE:
            return "The connection handle is not valid.";
        case ERROR_INVALID_PARAMETER:
            return "A parameter is not valid.";
        case ERROR_CALL_NOT_IMPLEMENTED:
            return "Not supported here: dial-up entries are defined in the phonebook file.";
        case ERROR_PORT_ALREADY_OPEN:
            return "The entry is already being dialled or hung up.";
        case ERROR_BUFFER_TOO_SMALL:
            return "The buffer is too small.";
        case ERROR_CANNOT_OPEN_PHONEBOOK:
            return "The phonebook file cannot be read.";
        case ERROR_CANNOT_FIND_PHONEBOOK_ENTRY:
            return "The dial-up entry does not exist in the phonebook.";
        case ERROR_USER_DISCONNECTION:
            return "The connection was ended by the user.";
        case ERROR_REQUEST_TIMEOUT:
            return "The connect command did not finish in time.";
        case ERROR_FROM_DEVICE:
            return "The connect command failed.";
        case ERROR_NO_ANSWER:
            return "The connection did not come up.";
        default:
            return {};
    }
}

std::unique_ptr<TDialupProvider> CreateDialupProvider(const std::string& name) {
    if (name.empty() || name == "command") return std::make_unique<TCommandDialupProvider>();
    if (name == "sim") return std::make_unique<TSimDialupProvider>();
    if (name == "none") return nullptr;
    DialupLog("Unknown dial-up provider \"" + name +
              "\" in KESTRO_RAS_PROVIDER (known: command, sim, none); dial-up is off");
    return nullptr;
}

std::unique_ptr<TDialupProvider> CreateDefaultDialupProvider() {
    const char* name = std::getenv("KESTRO_RAS_PROVIDER");
    return CreateDialupProvider(name ? name : "");
}

TDialupLogSink SetDialupLogSink(TDialupLogSink sink) {
    std::lock_guard<std::mutex> lock(LogMutex());
    TDialupLogSink old = std::move(LogSink());
    LogSink() = std::move(sink);
    return old;
}

void DialupLog(const std::string& line) {
    std::lock_guard<std::mutex> lock(LogMutex());
    if (LogSink()) {
        LogSink()(line);
        return;
    }
    std::fprintf(stderr, "%s\n", line.c_str());
}
