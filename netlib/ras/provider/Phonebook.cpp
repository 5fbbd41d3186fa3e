#include "netlib/ras/provider/Phonebook.h"

#include <algorithm>
#include <unordered_map>

#include "netlib/ras/provider/DialupProvider.h"
#include "netlib/ras/provider/Limits.h"
#include "platform/fs/Files.h"
#include "platform/system/ProgramDirectory.h"

namespace {

uint32_t ParseTimeout(const std::string& value, const std::string& where) {
    uint32_t seconds = 0;
    bool ok = !value.empty() && value.size() <= 9;
    for (char c : value) {
        if (c < '0' || c > '9')
            ok = false;
        else
            seconds = seconds * 10 + uint32_t(c - '0');
    }
    if (!ok || seconds == 0) {
        DialupLog(where + ": Timeout=" + value + " is not a number of seconds; using " +
                  std::to_string(DialupLimits::kDefaultTimeoutSeconds));
        return DialupLimits::kDefaultTimeoutSeconds;
    }
    return std::min(seconds, DialupLimits::kMaxTimeoutSeconds);
}

// Takes one value line into the entry: a later line of the same key replaces what an earlier
// one gave.
void Take(TPhonebookEntry& entry, const std::string& key, const std::string& value,
          const std::string& where) {
    if (key == "phonenumber")
        entry.PhoneNumber = value;
    else if (key == "callbacknumber")
        entry.CallbackNumber = value;
    else if (key == "username")
        entry.UserName = value;
    else if (key == "domain")
        entry.Domain = value;
    else if (key == "password") {
        entry.Password = value;
        entry.HasPassword = true;
    } else if (key == "connect")
        entry.Connect = value;
    else if (key == "disconnect")
        entry.Disconnect = value;
    else if (key == "status")
        entry.Status = value;
    else if (key == "timeout") {
        entry.Timeout = value;
        entry.TimeoutSeconds = ParseTimeout(value, where);
    } else
        DialupLog(where + ": unknown key " + key + " skipped");
}

}  // namespace

TPhonebookRead TPhonebook::Read(const std::string& path, std::string& error) {
    FEntries.clear();
    std::string text;
    const TPhonebookRead result = ReadPhonebookText(path, text, error);
    if (result == TPhonebookRead::Ok) Parse(text, path);
    return result;
}

void TPhonebook::Parse(const std::string& text, const std::string& file) {
    FEntries.clear();
    std::unordered_map<std::string, size_t> byName;
    size_t current = 0;
    ReadPhonebookLines(text, [&](const TPhonebookLine& line) {
        const std::string where = file + " line " + std::to_string(line.Number);
        switch (line.Kind) {
            case TPhonebookLine::kSkipped:
                DialupLog(where + ": " + line.Why);
                break;
            case TPhonebookLine::kEntry: {
                const auto [at, added] = byName.emplace(line.Entry, FEntries.size());
                if (added) {
                    FEntries.push_back({});
                    FEntries.back().Name = line.Entry;
                    FEntries.back().TimeoutSeconds = DialupLimits::kDefaultTimeoutSeconds;
                }
                current = at->second;
                break;
            }
            case TPhonebookLine::kValue:
                Take(FEntries[current], line.Key, line.Value, where);
                break;
            case TPhonebookLine::kNothing:
                break;
        }
    });
}

const TPhonebookEntry* TPhonebook::Find(const std::string& name) const {
    for (const auto& e : FEntries)
        if (e.Name == name) return &e;
    return nullptr;
}

std::string PhonebookPath(const std::string* phonebook) {
    if (phonebook && !phonebook->empty()) return ResolvePath(*phonebook);
    return ResolvePath(ProgramDirectory() + "phonebook.ini");
}
