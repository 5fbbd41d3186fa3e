#include "platform/registry/Registry.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>

#include "platform/registry/Limits.h"

namespace {

char UpperAscii(char c) {
    return (c >= 'a' && c <= 'z') ? char(c - 'a' + 'A') : c;
}

// Registry names compare ignoring ASCII case, as Windows compares them.
struct NameLess {
    bool operator()(const std::string& a, const std::string& b) const {
        size_t n = std::min(a.size(), b.size());
        for (size_t i = 0; i < n; ++i) {
            auto ca = static_cast<unsigned char>(UpperAscii(a[i]));
            auto cb = static_cast<unsigned char>(UpperAscii(b[i]));
            if (ca != cb) return ca < cb;
        }
        return a.size() < b.size();
    }
};

bool SameName(const std::string& a, const std::string& b) {
    return !NameLess()(a, b) && !NameLess()(b, a);
}

struct Value {
    std::string Name;
    TRegDataType Type = rdUnknown;
    uint32_t Dword = 0;
    std::string Data;  // string or binary bytes
};

struct Key {
    std::string Name;           // as created
    std::vector<Value> Values;  // in creation order
    std::map<std::string, std::unique_ptr<Key>, NameLess> SubKeys;

    Value* FindValue(const std::string& name) {
        for (auto& v : Values)
            if (SameName(v.Name, name)) return &v;
        return nullptr;
    }
};

const char* HiveName(HKEY root) {
    switch (root) {
        case HKEY_CURRENT_USER:
            return "HKEY_CURRENT_USER";
        case HKEY_LOCAL_MACHINE:
            return "HKEY_LOCAL_MACHINE";
        default:
            return nullptr;
    }
}

std::string EnvOrEmpty(const char* name) {
    const char* v = std::getenv(name);
    return v ? std::string(v) : std::string();
}

std::string WithSlash(std::string dir) {
    if (!dir.empty() && dir.back() != '/') dir += '/';
    return dir;
}

// ---- Text form of the hive ------------------------------------------------------------------
//
//   ; comment
//   [SOFTWARE\Orvalin\Kestro]
//   "EventLog"=dword:00000001
//   "Realname"="J\xf6rg \"Jo\" M\\ller"
//   "Glyph"=hex:00,ff,10
//
// Key components are percent-encoded (`%`, `\`, `[`, `]` and control bytes), so that a key line
// is unambiguous. Quoted names and strings escape `\`, `"`, control bytes and DEL as `\\`, `\"`
// and `\xHH`; other bytes (UTF-8 among them) stay as they are.

const char kHeader[] = "; Kestro registry hive, version 1";

std::string Hex2(unsigned char c) {
    static const char digits[] = "0123456789abcdef";
    return std::string{digits[c >> 4], digits[c & 15]};
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

std::string EncodeKeyComponent(const std::string& s) {
    std::string out;
    for (char ch : s) {
        auto c = static_cast<unsigned char>(ch);
        if (c < 0x20 || c == 0x7f || c == '%' || c == '\\' || c == '[' || c == ']')
            out += '%' + Hex2(c);
        else
            out += ch;
    }
    return out;
}

bool DecodeKeyComponent(const std::string& s, std::string& out) {
    out.clear();
    for (size_t i = 0; i < s.size(); ++i) {
        if (s[i] != '%') {
            out += s[i];
            continue;
        }
        if (i + 2 >= s.size()) return false;
        int hi = HexDigit(s[i + 1]), lo = HexDigit(s[i + 2]);
        if (hi < 0 || lo < 0) return false;
        out += char(hi * 16 + lo);
        i += 2;
    }
    return true;
}

std::string Quote(const std::string& s) {
    std::string out = "\"";
    for (char ch : s) {
        auto c = static_cast<unsigned char>(ch);
        if (ch == '\\')
            out += "\\\\";
        else if (ch == '"')
            out += "\\\"";
        else if (c < 0x20 || c == 0x7f)
            out += "\\x" + Hex2(c);
        else
            out += ch;
    }
    return out + '"';
}

// Reads a quoted text starting at line[pos] == '"'; pos ends after the closing quote.
bool Unquote(const std::string& line, size_t& pos, std::string& out) {
    out.clear();
    if (pos >= line.size() || line[pos] != '"') return false;
    for (++pos; pos < line.size(); ++pos) {
        char ch = line[pos];
        if (ch == '"') {
            ++pos;
            return true;
        }
        if (ch != '\\') {
            out += ch;
            continue;
        }
        if (++pos >= line.size()) return false;
        char e = line[pos];
        if (e == '\\' || e == '"') {
            out += e;
        } else if (e == 'x' && pos + 2 < line.size()) {
            int hi = HexDigit(line[pos + 1]), lo = HexDigit(line[pos + 2]);
            if (hi < 0 || lo < 0) return false;
            out += char(hi * 16 + lo);
            pos += 2;
        } else {
            return false;
        }
    }
    return false;
}

void WriteKey(const Key& key, const std::string& path, std::string& out) {
    out += '[' + path + "]\n";
    for (const auto& v : key.Values) {
        out += Quote(v.Name) + '=';
        switch (v.Type) {
            case rdInteger: {
                char buf[16];
                std::snprintf(buf, sizeof buf, "dword:%08x", v.Dword);
                out += buf;
                break;
            }
            case rdBinary:
                out += "hex:";
                for (size_t i = 0; i < v.Data.size(); ++i) {
                    if (i) out += ',';
                    out += Hex2(static_cast<unsigned char>(v.Data[i]));
                }
                break;
            case rdExpandString:
                out += "expand:" + Quote(v.Data);
                break;
            default:
                out += Quote(v.Data);
                break;
        }
        out += '\n';
    }
    out += '\n';
    for (const auto& [name, sub] : key.SubKeys)
        WriteKey(*sub,
                 path.empty() ? EncodeKeyComponent(sub->Name)
                              : path + '\\' + EncodeKeyComponent(sub->Name),
                 out);
}

}  // namespace

// The tree of one hive with the bookkeeping to write it back.
struct TRegistry::Hive {
    Key Root;
    bool Damaged = false;   // the file held lines that could not be read
    bool TooLarge = false;  // the file exceeded the size limit and was not read

    Key* Find(const std::vector<std::string>& path) {
        Key* k = &Root;
        for (const auto& part : path) {
            auto it = k->SubKeys.find(part);
            if (it == k->SubKeys.end()) return nullptr;
            k = it->second.get();
        }
        return k;
    }

    Key* Create(const std::vector<std::string>& path) {
        Key* k = &Root;
        for (const auto& part : path) {
            auto& slot = k->SubKeys[part];
            if (!slot) {
                slot = std::make_unique<Key>();
                slot->Name = part;
            }
            k = slot.get();
        }
        return k;
    }

    std::string Text() const {
        std::string out = std::string(kHeader) + "\n\n";
        WriteKey(Root, std::string(), out);
        return out;
    }

    void Parse(const std::string& text);
};

namespace {

bool SplitKeyLine(const std::string& inner, std::vector<std::string>& path) {
    path.clear();
    if (inner.empty()) return true;
    size_t start = 0;
    for (;;) {
        size_t at = inner.find('\\', start);
        std::string comp;
        if (!DecodeKeyComponent(inner.substr(start, at == std::string::npos ? at : at - start),
                                comp))
            return false;
        if (comp.empty() || comp.size() > RegistryLimits::kMaxKeyNameLength) return false;
        path.push_back(comp);
        if (path.size() > RegistryLimits::kMaxKeyDepth) return false;
        if (at == std::string::npos) return true;
        start = at + 1;
    }
}

bool ParseValue(const std::string& line, Value& v) {
    size_t pos = 0;
    if (!Unquote(line, pos, v.Name) || v.Name.size() > RegistryLimits::kMaxValueNameLength)
        return false;
    if (pos >= line.size() || line[pos] != '=') return false;
    std::string rest = line.substr(pos + 1);
    if (rest.rfind("dword:", 0) == 0) {
        std::string digits = rest.substr(6);
        if (digits.size() != 8) return false;
        uint32_t value = 0;
        for (char c : digits) {
            int d = HexDigit(c);
            if (d < 0) return false;
            value = value * 16 + uint32_t(d);
        }
        v.Type = rdInteger;
        v.Dword = value;
        return true;
    }
    if (rest.rfind("hex:", 0) == 0) {
        std::string hex = rest.substr(4);
        v.Type = rdBinary;
        v.Data.clear();
        if (hex.empty()) return true;
        if ((hex.size() + 1) % 3 != 0 || (hex.size() + 1) / 3 > RegistryLimits::kMaxValueDataSize)
            return false;
        for (size_t i = 0; i < hex.size(); i += 3) {
            int hi = HexDigit(hex[i]), lo = HexDigit(hex[i + 1]);
            if (hi < 0 || lo < 0 || (i + 2 < hex.size() && hex[i + 2] != ',')) return false;
            v.Data += char(hi * 16 + lo);
        }
        return true;
    }
    size_t p = 0;
    TRegDataType type = rdString;
    if (rest.rfind("expand:", 0) == 0) {
        type = rdExpandString;
        p = 7;
    }
    if (!Unquote(rest, p, v.Data) || p != rest.size() ||
        v.Data.size() > RegistryLimits::kMaxValueDataSize)
        return false;
    v.Type = type;
    return true;
}

}  // namespace

void TRegistry::Hive::Parse(const std::string& text) {
    Key* current = nullptr;  // values before the first key line have nowhere to go
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        std::string line = text.substr(start, end - start);
        start = end + 1;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.empty() || line[0] == ';') continue;
        if (line[0] == '[') {
            std::vector<std::string> path;
            if (line.back() != ']' || !SplitKeyLine(line.substr(1, line.size() - 2), path)) {
                Damaged = true;
                current = nullptr;
                continue;
            }
            current = Create(path);
            continue;
        }
        Value v;
        if (current == nullptr || !ParseValue(line, v)) {
            Damaged = true;
            continue;
        }
        if (Value* old = current->FindValue(v.Name))
            *old = std::move(v);
        else
            current->Values.push_back(std::move(v));
    }
}

namespace {

bool ReadWholeFile(const std::string& name, std::string& out, bool& tooLarge) {
    out.clear();
    tooLarge = false;
    int fd = ::open(name.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return errno == ENOENT;  // a missing hive is an empty one
    struct stat st;
    if (::fstat(fd, &st) == 0 && size_t(st.st_size) > RegistryLimits::kMaxHiveFileSize) {
        tooLarge = true;
        ::close(fd);
        return true;
    }
    char buf[65536];
    for (;;) {
        ssize_t n = ::read(fd, buf, sizeof buf);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            ::close(fd);
            return false;
        }
        if (n == 0) break;
        out.append(buf, size_t(n));
        if (out.size() > RegistryLimits::kMaxHiveFileSize) {
            tooLarge = true;
            out.clear();
            break;
        }
    }
    ::close(fd);
    return true;
}

bool MakeDirs(const std::string& dir) {
    std::string path;
    size_t start = 0;
    while (start <= dir.size()) {
        size_t at = dir.find('/', start);
        if (at == std::string::npos) at = dir.size();
        path = dir.substr(0, at);
        if (!path.empty() && ::mkdir(path.c_str(), 0700) != 0 && errno != EEXIST) return false;
        start = at + 1;
    }
    return true;
}

bool WriteAll(int fd, const std::string& data) {
    size_t done = 0;
    while (done < data.size()) {
        ssize_t n = ::write(fd, data.data() + done, data.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        done += size_t(n);
    }
    return true;
}

// Holds an exclusive lock on the hive's lock file while a change is read, applied and written,
// so that two processes do not lose each other's changes.
class HiveLock {
  public:
    explicit HiveLock(const std::string& fileName) {
        MakeDirs(fileName.substr(0, fileName.rfind('/')));
        FFd = ::open((fileName + ".lock").c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
        if (FFd >= 0)
            while (::flock(FFd, LOCK_EX) != 0 && errno == EINTR) {
            }
    }
    ~HiveLock() {
        if (FFd >= 0) ::close(FFd);
    }
    HiveLock(const HiveLock&) = delete;
    HiveLock& operator=(const HiveLock&) = delete;

  private:
    int FFd = -1;
};

std::vector<std::string> SplitPath(const std::string& key) {
    std::vector<std::string> parts;
    size_t start = 0;
    while (start <= key.size()) {
        size_t at = key.find('\\', start);
        if (at == std::string::npos) at = key.size();
        if (at > start) parts.push_back(key.substr(start, at - start));
        start = at + 1;
    }
    return parts;
}

std::string JoinPath(const std::vector<std::string>& parts) {
    std::string out;
    for (const auto& p : parts) {
        if (!out.empty()) out += '\\';
        out += p;
    }
    return out;
}

bool ValidPath(const std::vector<std::string>& path) {
    if (path.size() > RegistryLimits::kMaxKeyDepth) return false;
    for (const auto& p : path)
        if (p.size() > RegistryLimits::kMaxKeyNameLength) return false;
    return true;
}

std::unique_ptr<TRegistry::Hive> LoadHive(HKEY root) {
    auto hive = std::make_unique<TRegistry::Hive>();
    std::string text;
    bool tooLarge = false;
    std::string file = TRegistry::HiveFileName(root);
    if (file.empty()) return hive;
    if (!ReadWholeFile(file, text, tooLarge)) {
        std::fprintf(stderr, "registry: cannot read %s: %s\n", file.c_str(), std::strerror(errno));
        hive->TooLarge = true;  // do not write over what could not be read
        return hive;
    }
    if (tooLarge) {
        std::fprintf(stderr, "registry: %s is larger than %zu bytes; it is ignored\n", file.c_str(),
                     RegistryLimits::kMaxHiveFileSize);
        hive->TooLarge = true;
        return hive;
    }
    hive->Parse(text);
    if (hive->Damaged)
        std::fprintf(stderr, "registry: %s holds lines that cannot be read; they are skipped\n",
                     file.c_str());
    return hive;
}

}  // namespace

// ---- TRegistry --------------------------------------------------------------------------------

TRegistry::TRegistry() = default;
TRegistry::~TRegistry() = default;

std::string TRegistry::RegistryDirectory() {
    std::string dir = EnvOrEmpty("KESTRO_REGISTRY_DIR");
    if (!dir.empty()) return WithSlash(dir);
    dir = EnvOrEmpty("XDG_CONFIG_HOME");
    if (dir.empty()) {
        std::string home = EnvOrEmpty("HOME");
        dir = WithSlash(home.empty() ? std::string("/tmp") : home) + ".config";
    }
    return WithSlash(dir) + "kestro/";
}

std::string TRegistry::HiveFileName(HKEY root) {
    const char* name = HiveName(root);
    return name ? RegistryDirectory() + name + ".reg" : std::string();
}

void TRegistry::SetRootKey(HKEY root) {
    CloseKey();
    FRootKey = root;
}

void TRegistry::CloseKey() {
    FOpen = false;
    FReadOnly = false;
    FCurrentPath.clear();
    FHive.reset();
}

namespace {
// The key path a name refers to: absolute with a leading `\`, else below the open key.
std::vector<std::string> Target(const std::string& current, bool open, const std::string& key) {
    if (!key.empty() && key[0] == '\\') return SplitPath(key);
    std::vector<std::string> path = open ? SplitPath(current) : std::vector<std::string>();
    for (auto& p : SplitPath(key)) path.push_back(p);
    return path;
}
}  // namespace

// Runs change against a freshly read hive under the lock and writes the hive when change
// returns true; the result replaces this object's snapshot.
template <typename F>
static bool ApplyChange(HKEY root, std::unique_ptr<TRegistry::Hive>& snapshot, F change) {
    std::string file = TRegistry::HiveFileName(root);
    if (file.empty()) return false;
    HiveLock lock(file);
    std::unique_ptr<TRegistry::Hive> hive = LoadHive(root);
    if (hive->TooLarge) return false;
    if (!change(*hive)) {
        snapshot = std::move(hive);
        return true;
    }
    if (hive->Damaged) {
        // Keep the unreadable original beside the new file, so nothing in it is lost.
        bool kept = false;
        for (int n = 0; n < 100 && !kept; ++n) {
            std::string keep = file + ".damaged" + (n ? "." + std::to_string(n) : std::string());
            if (::link(file.c_str(), keep.c_str()) == 0)
                kept = true;
            else if (errno != EEXIST)
                break;
        }
        if (!kept) return false;
        hive->Damaged = false;
    }
    std::string tmp = file + ".tmp." + std::to_string(::getpid());
    int fd = ::open(tmp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    if (fd < 0) return false;
    bool ok = WriteAll(fd, hive->Text()) && ::fsync(fd) == 0;
    ok = (::close(fd) == 0) && ok;
    if (!ok || ::rename(tmp.c_str(), file.c_str()) != 0) {
        ::unlink(tmp.c_str());
        return false;
    }
    snapshot = std::move(hive);
    return true;
}

bool TRegistry::OpenKey(const std::string& key, bool canCreate) {
    std::vector<std::string> path = Target(FCurrentPath, FOpen, key);
    if (!ValidPath(path) || !HiveName(FRootKey)) return false;
    std::unique_ptr<Hive> hive = LoadHive(FRootKey);
    if (!hive->Find(path)) {
        if (!canCreate) return false;
        bool ok = ApplyChange(FRootKey, hive, [&](Hive& h) {
            if (h.Find(path)) return false;
            h.Create(path);
            return true;
        });
        if (!ok || !hive->Find(path)) return false;
    }
    FHive = std::move(hive);
    FCurrentPath = JoinPath(path);
    FOpen = true;
    FReadOnly = false;
    return true;
}

bool TRegistry::OpenKeyReadOnly(const std::string& key) {
    if (!OpenKey(key, false)) return false;
    FReadOnly = true;
    return true;
}

bool TRegistry::CreateKey(const std::string& key) {
    std::vector<std::string> path = Target(FCurrentPath, FOpen, key);
    if (!ValidPath(path) || path.empty() || !HiveName(FRootKey)) return false;
    std::unique_ptr<Hive> hive;
    bool ok = ApplyChange(FRootKey, hive, [&](Hive& h) {
        if (h.Find(path)) return false;
        h.Create(path);
        return true;
    });
    if (ok && FOpen) FHive = std::move(hive);
    return ok;
}

bool TRegistry::DeleteKey(const std::string& key) {
    std::vector<std::string> path = Target(FCurrentPath, FOpen, key);
    if (path.empty() || !ValidPath(path) || !HiveName(FRootKey)) return false;
    bool existed = false;
    std::unique_ptr<Hive> hive;
    bool ok = ApplyChange(FRootKey, hive, [&](Hive& h) {
        std::vector<std::string> parent(path.begin(), path.end() - 1);
        Key* p = h.Find(parent);
        if (!p) return false;
        existed = p->SubKeys.erase(path.back()) > 0;
        return existed;
    });
    if (ok && FOpen) {
        FHive = std::move(hive);
        // The open key itself may be gone: it then reads as empty, as a deleted key does.
    }
    return ok && existed;
}

bool TRegistry::KeyExists(const std::string& key) {
    std::vector<std::string> path = Target(FCurrentPath, FOpen, key);
    if (!ValidPath(path) || !HiveName(FRootKey)) return false;
    std::unique_ptr<Hive> hive = LoadHive(FRootKey);
    return hive->Find(path) != nullptr;
}

namespace {
Key* OpenKeyOf(TRegistry::Hive* hive, const std::string& path) {
    return hive ? hive->Find(SplitPath(path)) : nullptr;
}
}  // namespace

bool TRegistry::HasSubKeys() {
    Key* k = OpenKeyOf(FHive.get(), FCurrentPath);
    return k && !k->SubKeys.empty();
}

bool TRegistry::ValueExists(const std::string& name) {
    Key* k = OpenKeyOf(FHive.get(), FCurrentPath);
    return k && k->FindValue(name) != nullptr;
}

TRegDataType TRegistry::GetDataType(const std::string& name) {
    Key* k = OpenKeyOf(FHive.get(), FCurrentPath);
    Value* v = k ? k->FindValue(name) : nullptr;
    return v ? v->Type : rdUnknown;
}

int32_t TRegistry::GetDataSize(const std::string& name) {
    Key* k = OpenKeyOf(FHive.get(), FCurrentPath);
    Value* v = k ? k->FindValue(name) : nullptr;
    if (!v) return -1;
    switch (v->Type) {
        case rdInteger:
            return 4;
        case rdBinary:
            return int32_t(v->Data.size());
        default:
            return int32_t(v->Data.size() + 1);
    }
}

std::vector<std::string> TRegistry::GetKeyNames() {
    std::vector<std::string> names;
    if (Key* k = OpenKeyOf(FHive.get(), FCurrentPath))
        for (const auto& [n, sub] : k->SubKeys) names.push_back(sub->Name);
    return names;
}

std::vector<std::string> TRegistry::GetValueNames() {
    std::vector<std::string> names;
    if (Key* k = OpenKeyOf(FHive.get(), FCurrentPath))
        for (const auto& v : k->Values) names.push_back(v.Name);
    return names;
}

namespace {
[[noreturn]] void Raise(const std::string& text, const std::string& name) {
    throw ERegistryException(text + " '" + name + "'");
}

void PutValue(HKEY root, bool open, bool readOnly, const std::string& currentPath,
              std::unique_ptr<TRegistry::Hive>& snapshot, Value value) {
    if (!open || readOnly) Raise("No registry key is open for writing the value", value.Name);
    if (value.Name.size() > RegistryLimits::kMaxValueNameLength)
        Raise("Registry value name too long:", value.Name.substr(0, 64));
    if (value.Data.size() > RegistryLimits::kMaxValueDataSize)
        Raise("Registry data too large for the value", value.Name);
    std::vector<std::string> path = SplitPath(currentPath);
    bool ok = ApplyChange(root, snapshot, [&](TRegistry::Hive& h) {
        // A key deleted by another process meanwhile comes back, as the change must not be lost.
        Key* k = h.Create(path);
        if (Value* old = k->FindValue(value.Name)) {
            value.Name = old->Name;  // Windows keeps the case the value was created with
            *old = value;
        } else {
            k->Values.push_back(value);
        }
        return true;
    });
    if (!ok) Raise("Failed to write the registry value", value.Name);
}
}  // namespace

int32_t TRegistry::ReadInteger(const std::string& name) {
    Key* k = OpenKeyOf(FHive.get(), FCurrentPath);
    Value* v = k ? k->FindValue(name) : nullptr;
    if (!v) Raise("Missing registry value", name);
    if (v->Type != rdInteger) Raise("Invalid data type (not a DWORD) for the registry value", name);
    return int32_t(v->Dword);
}

void TRegistry::WriteInteger(const std::string& name, int32_t value) {
    Value v;
    v.Name = name;
    v.Type = rdInteger;
    v.Dword = uint32_t(value);
    PutValue(FRootKey, FOpen, FReadOnly, FCurrentPath, FHive, std::move(v));
}

bool TRegistry::ReadBool(const std::string& name) {
    return ReadInteger(name) != 0;
}

void TRegistry::WriteBool(const std::string& name, bool value) {
    WriteInteger(name, value ? 1 : 0);
}

std::string TRegistry::ReadString(const std::string& name) {
    Key* k = OpenKeyOf(FHive.get(), FCurrentPath);
    Value* v = k ? k->FindValue(name) : nullptr;
    if (!v) return std::string();
    if (v->Type != rdString && v->Type != rdExpandString)
        Raise("Invalid data type (not a string) for the registry value", name);
    return v->Data;
}

void TRegistry::WriteString(const std::string& name, const std::string& value) {
    Value v;
    v.Name = name;
    v.Type = rdString;
    v.Data = value;
    PutValue(FRootKey, FOpen, FReadOnly, FCurrentPath, FHive, std::move(v));
}

std::string TRegistry::ReadBinary(const std::string& name) {
    Key* k = OpenKeyOf(FHive.get(), FCurrentPath);
    Value* v = k ? k->FindValue(name) : nullptr;
    if (!v) return std::string();
    if (v->Type != rdBinary) Raise("Invalid data type (not binary) for the registry value", name);
    return v->Data;
}

int32_t TRegistry::ReadBinaryData(const std::string& name, void* buffer, int32_t bufSize) {
    Key* k = OpenKeyOf(FHive.get(), FCurrentPath);
    Value* v = k ? k->FindValue(name) : nullptr;
    if (!v) return 0;
    if (v->Type != rdBinary) Raise("Invalid data type (not binary) for the registry value", name);
    if (bufSize < 0 || v->Data.size() > size_t(bufSize))
        Raise("Buffer too small for the registry value", name);
    if (!v->Data.empty()) std::memcpy(buffer, v->Data.data(), v->Data.size());
    return int32_t(v->Data.size());
}

void TRegistry::WriteBinaryData(const std::string& name, const void* buffer, int32_t bufSize) {
    if (bufSize < 0) Raise("Negative size for the registry value", name);
    Value v;
    v.Name = name;
    v.Type = rdBinary;
    if (bufSize > 0) v.Data.assign(static_cast<const char*>(buffer), size_t(bufSize));
    PutValue(FRootKey, FOpen, FReadOnly, FCurrentPath, FHive, std::move(v));
}

bool TRegistry::DeleteValue(const std::string& name) {
    if (!FOpen || FReadOnly) return false;
    std::vector<std::string> path = SplitPath(FCurrentPath);
    bool existed = false;
    bool ok = ApplyChange(FRootKey, FHive, [&](Hive& h) {
        Key* k = h.Find(path);
        if (!k) return false;
        auto it = std::find_if(k->Values.begin(), k->Values.end(),
                               [&](const Value& v) { return SameName(v.Name, name); });
        if (it == k->Values.end()) return false;
        k->Values.erase(it);
        existed = true;
        return true;
    });
    return ok && existed;
}
