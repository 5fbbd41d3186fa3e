#include "netlib/ras/provider/Phonebook.h"

#include <sys/stat.h>
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fstream>
#include <sstream>

#include "netlib/ras/provider/DialupProvider.h"
#include "netlib/ras/provider/Limits.h"
#include "platform/fs/Files.h"
#include "platform/system/ProgramDirectory.h"

namespace {

std::string Trim(const std::string& s) {
    size_t b = s.find_first_not_of(" \t\r");
    if (b == std::string::npos) return {};
    size_t e = s.find_last_not_of(" \t\r");
    return s.substr(b, e - b + 1);
}

std::string Lower(std::string s) {
    for (char& c : s)
        if (c >= 'A' && c <= 'Z') c = char(c - 'A' + 'a');
    return s;
}

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

}  // namespace

TPhonebookRead TPhonebook::Read(const std::string& path, std::string& error) {
    FEntries.clear();
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) {
        if (errno == ENOENT || errno == ENOTDIR) return TPhonebookRead::Missing;
        error = std::strerror(errno);
        return TPhonebookRead::Unreadable;
    }
    if (!S_ISREG(st.st_mode)) {
        error = "not a regular file";
        return TPhonebookRead::Unreadable;
    }
    if (std::uintmax_t(st.st_size) > DialupLimits::kMaxPhonebookBytes) {
        error = "larger than " + std::to_string(DialupLimits::kMaxPhonebookBytes) + " bytes";
        return TPhonebookRead::Unreadable;
    }
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        error = std::strerror(errno);
        return TPhonebookRead::Unreadable;
    }
    std::ostringstream text;
    text << in.rdbuf();
    std::string content = text.str();
    if (content.size() > DialupLimits::kMaxPhonebookBytes) {
        error = "larger than " + std::to_string(DialupLimits::kMaxPhonebookBytes) + " bytes";
        return TPhonebookRead::Unreadable;
    }
    Parse(content, path);
    return TPhonebookRead::Ok;
}

void TPhonebook::Parse(const std::string& text, const std::string& file) {
    FEntries.clear();
    TPhonebookEntry* current = nullptr;
    std::istringstream lines(text);
    std::string raw;
    size_t lineNo = 0;
    while (std::getline(lines, raw)) {
        ++lineNo;
        std::string line = Trim(raw);
        if (line.empty() || line[0] == ';' || line[0] == '#') continue;
        const std::string where = file + " line " + std::to_string(lineNo);
        if (line[0] == '[') {
            size_t close = line.find(']');
            std::string name = close == std::string::npos ? "" : Trim(line.substr(1, close - 1));
            if (name.empty()) {
                DialupLog(where + ": bad section header skipped");
                current = nullptr;
                continue;
            }
            current = nullptr;
            for (auto& e : FEntries)
                if (e.Name == name) current = &e;
            if (current) continue;
            if (FEntries.size() >= DialupLimits::kMaxPhonebookEntries) {
                DialupLog(where + ": more than " +
                          std::to_string(DialupLimits::kMaxPhonebookEntries) +
                          " entries; the rest is ignored");
                return;
            }
            FEntries.push_back({});
            current = &FEntries.back();
            current->Name = name;
            current->TimeoutSeconds = DialupLimits::kDefaultTimeoutSeconds;
            continue;
        }
        size_t eq = line.find('=');
        if (!current || eq == std::string::npos) {
            DialupLog(where + ": line outside an entry or without '=' skipped");
            continue;
        }
        std::string key = Lower(Trim(line.substr(0, eq)));
        std::string value = Trim(line.substr(eq + 1));
        if (value.size() > DialupLimits::kMaxValueLength) {
            DialupLog(where + ": value of " + key + " is too long; skipped");
            continue;
        }
        if (key == "phonenumber")
            current->PhoneNumber = value;
        else if (key == "callbacknumber")
            current->CallbackNumber = value;
        else if (key == "username")
            current->UserName = value;
        else if (key == "domain")
            current->Domain = value;
        else if (key == "password") {
            current->Password = value;
            current->HasPassword = true;
        } else if (key == "connect")
            current->Connect = value;
        else if (key == "disconnect")
            current->Disconnect = value;
        else if (key == "status")
            current->Status = value;
        else if (key == "timeout")
            current->TimeoutSeconds = ParseTimeout(value, where);
        else
            DialupLog(where + ": unknown key " + key + " skipped");
    }
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
