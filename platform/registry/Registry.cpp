#include "platform/registry/Registry.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <map>
#include <mutex>
#include <optional>

#include "platform/fs/FileReplacement.h"
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

struct Value {
    std::string Name;
    TRegDataType Type = rdUnknown;
    uint32_t Dword = 0;
    std::string Data;  // string or binary bytes
};

bool operator==(const Value& a, const Value& b) {
    return a.Name == b.Name && a.Type == b.Type && a.Dword == b.Dword && a.Data == b.Data;
}

struct Key {
    std::string Name;           // as created
    std::vector<Value> Values;  // in creation order
    // Position of each value in Values: a key with many values is read and written in
    // linear time, not with a search through all of them per value.
    std::map<std::string, size_t, NameLess> ValueIndex;
    std::map<std::string, std::unique_ptr<Key>, NameLess> SubKeys;

    Value* FindValue(const std::string& name) {
        auto it = ValueIndex.find(name);
        return it == ValueIndex.end() ? nullptr : &Values[it->second];
    }

    // False when the value was there already, the same. A value written again keeps its place
    // and the case it was created with, as on Windows.
    bool SetValue(Value value) {
        if (Value* old = FindValue(value.Name)) {
            value.Name = old->Name;
            if (*old == value) return false;
            *old = std::move(value);
            return true;
        }
        ValueIndex.emplace(value.Name, Values.size());
        Values.push_back(std::move(value));
        return true;
    }

    bool EraseValue(const std::string& name) {
        auto it = ValueIndex.find(name);
        if (it == ValueIndex.end()) return false;
        size_t at = it->second;
        ValueIndex.erase(it);
        Values.erase(Values.begin() + ptrdiff_t(at));
        for (size_t i = at; i < Values.size(); ++i) ValueIndex[Values[i].Name] = i;
        return true;
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
    bool Damaged = false;     // the file held lines that could not be read
    bool Unreadable = false;  // the file was too large or could not be read: never written over

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
        // A name given twice: the later line holds, as in a text editor's last word.
        current->SetValue(std::move(v));
    }
}

namespace {

// ---- The hive file ----------------------------------------------------------------------------

// File times advance in clock ticks (a few milliseconds): a file changed within a tick of being
// looked at may change again without its time changing.
constexpr int64_t kFileTimeTickNs = 20 * 1000 * 1000;

int64_t NowNs() {
    struct timespec ts;
    ::clock_gettime(CLOCK_REALTIME, &ts);
    return int64_t(ts.tv_sec) * 1000000000 + ts.tv_nsec;
}

// What tells one version of a hive file from another: every write renames a new file over the
// old one, so the inode changes; the size and time catch an edit in place.
struct FileStamp {
    bool Exists = false;
    dev_t Dev = 0;
    ino_t Ino = 0;
    off_t Size = 0;
    int64_t MTimeNs = 0;
    // Changed within a tick of being looked at: another change in the same tick would keep the
    // stamp, so the file is read again until it is older.
    bool Recent = false;

    // lookedAt: the time before the file was looked at.
    static FileStamp Of(const struct stat& st, int64_t lookedAt) {
        FileStamp s;
        s.Exists = true;
        s.Dev = st.st_dev;
        s.Ino = st.st_ino;
        s.Size = st.st_size;
        s.MTimeNs = int64_t(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
        s.Recent = s.MTimeNs > lookedAt - kFileTimeTickNs;
        return s;
    }
    static FileStamp OfFile(const std::string& name) {
        int64_t now = NowNs();
        struct stat st;
        return ::stat(name.c_str(), &st) == 0 ? Of(st, now) : FileStamp();
    }
    // Whether the file that gave other is surely the one that gave this stamp.
    bool Same(const FileStamp& other) const {
        return !Recent && Exists == other.Exists && Dev == other.Dev && Ino == other.Ino &&
               Size == other.Size && MTimeNs == other.MTimeNs;
    }
};

bool ReadWholeFile(const std::string& name, std::string& out, bool& tooLarge, FileStamp& stamp) {
    out.clear();
    tooLarge = false;
    stamp = FileStamp();
    int64_t lookedAt = NowNs();
    int fd = ::open(name.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return errno == ENOENT;  // a missing hive is an empty one
    struct stat st;
    if (::fstat(fd, &st) == 0) {
        stamp = FileStamp::Of(st, lookedAt);
        if (size_t(st.st_size) > RegistryLimits::kMaxHiveFileSize) {
            tooLarge = true;
            ::close(fd);
            return true;
        }
        out.reserve(size_t(st.st_size));
    }
    char buf[65536];
    for (;;) {
        ssize_t n = ::read(fd, buf, sizeof buf);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            int err = errno;
            ::close(fd);
            errno = err;
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

std::string DirectoryOf(const std::string& file) {
    size_t slash = file.rfind('/');
    return slash == std::string::npos ? std::string(".") : file.substr(0, slash);
}

// Keeps the unreadable original beside the file about to replace it, so nothing in it is lost.
bool KeepDamagedOriginal(const std::string& file) {
    for (int n = 0; n < 100; ++n) {
        std::string keep = file + ".damaged" + (n ? "." + std::to_string(n) : std::string());
        if (::link(file.c_str(), keep.c_str()) == 0) return true;
        if (errno != EEXIST) return false;
    }
    return false;
}

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

// ---- Changes ----------------------------------------------------------------------------------

// One change made to a hive. Changes not yet written are kept, so that when another process
// wrote the file meanwhile they can be made again over what it wrote.
struct Change {
    enum Kind { kCreateKey, kDeleteKey, kSetValue, kDeleteValue } What;
    std::vector<std::string> Path;  // of the key
    Value Data;                     // kSetValue: the value; kDeleteValue: its name
};

// True when the tree changed.
bool Apply(TRegistry::Hive& hive, const Change& change) {
    switch (change.What) {
        case Change::kCreateKey:
            if (hive.Find(change.Path)) return false;
            hive.Create(change.Path);
            return true;
        case Change::kDeleteKey: {
            std::vector<std::string> parent(change.Path.begin(), change.Path.end() - 1);
            Key* p = hive.Find(parent);
            return p && p->SubKeys.erase(change.Path.back()) > 0;
        }
        case Change::kSetValue:
            // A key deleted by another process meanwhile comes back: the value must not be lost.
            return hive.Create(change.Path)->SetValue(change.Data);
        case Change::kDeleteValue: {
            Key* k = hive.Find(change.Path);
            return k && k->EraseValue(change.Data.Name);
        }
    }
    return false;
}

std::unique_ptr<TRegistry::Hive> LoadHive(const std::string& file, FileStamp& stamp) {
    auto hive = std::make_unique<TRegistry::Hive>();
    std::string text;
    bool tooLarge = false;
    if (!ReadWholeFile(file, text, tooLarge, stamp)) {
        std::fprintf(stderr, "registry: cannot read %s: %s\n", file.c_str(), std::strerror(errno));
        hive->Unreadable = true;
        return hive;
    }
    if (tooLarge) {
        std::fprintf(stderr, "registry: %s is larger than %zu bytes; it is ignored\n", file.c_str(),
                     RegistryLimits::kMaxHiveFileSize);
        hive->Unreadable = true;
        return hive;
    }
    hive->Parse(text);
    if (hive->Damaged)
        std::fprintf(stderr, "registry: %s holds lines that cannot be read; they are skipped\n",
                     file.c_str());
    return hive;
}

// ---- The hives of the process -----------------------------------------------------------------

// One hive file as this process holds it. Every registry object of the process works on the same
// tree, as on Windows; the file is read again only when it changed on disk, and changes reach it
// at a flush, all at once and only when the tree differs from what was read.
struct HiveState {
    std::unique_ptr<TRegistry::Hive> Tree;
    FileStamp Stamp;              // of the file Tree was read from or last written as
    std::vector<Change> Pending;  // made since the last flush
    // The tree in text form as read or last written, to tell at a flush whether the changes
    // came to anything; made at the first change after a reading.
    std::string BaseText;
    bool BaseKnown = false;

    // Reads the file again when it is not the one Tree came from; pending changes are made again
    // over it.
    void Refresh(const std::string& file) {
        if (Tree && Stamp.Same(FileStamp::OfFile(file))) return;
        Tree = LoadHive(file, Stamp);
        BaseKnown = false;
        if (Pending.empty()) return;
        KnowBase();
        for (const Change& c : Pending) Apply(*Tree, c);
    }

    void KnowBase() {
        if (BaseKnown) return;
        BaseText = Tree->Text();
        BaseKnown = true;
    }

    // The file is not looked at again for a change: what another process wrote meanwhile is
    // merged at the flush.
    bool Make(const std::string& file, Change change) {
        if (!Tree) Refresh(file);
        if (Tree->Unreadable) return false;
        if (Pending.empty()) KnowBase();
        if (Apply(*Tree, change)) Pending.push_back(std::move(change));
        return true;
    }

    bool Flush(const std::string& file) {
        if (Pending.empty()) return true;
        MakeDirs(DirectoryOf(file));
        TFileWriteLock lock(file);
        Refresh(file);  // another process may have written it since
        if (Tree->Unreadable) {
            Pending.clear();  // it was not read whole: written over, it would lose its contents
            return false;
        }
        std::string text = Tree->Text();
        if (text == BaseText) {
            // Changed and changed back (a layout saved as it was read): nothing to write.
            Pending.clear();
            return true;
        }
        RemoveLeftoverTempFiles(file);
        if (Tree->Damaged && !KeepDamagedOriginal(file)) {
            std::fprintf(stderr, "registry: cannot keep a copy of the damaged %s: %s\n",
                         file.c_str(), std::strerror(errno));
            return false;
        }
        if (!ReplaceFileWhole(file, text, 0600)) {
            std::fprintf(stderr, "registry: cannot write %s: %s\n", file.c_str(),
                         std::strerror(errno));
            return false;
        }
        Tree->Damaged = false;
        Stamp = FileStamp::OfFile(file);
        Pending.clear();
        BaseText = std::move(text);
        return true;
    }
};

class Hives {
  public:
    // Process-wide and never freed, so that registry objects destroyed late at exit still find
    // it; what is not yet flushed is written when the program ends.
    static Hives& Get() {
        static Hives* hives = [] {
            auto* h = new Hives;
            std::atexit([] { Get().FlushAll(); });
            return h;
        }();
        return *hives;
    }

    std::recursive_mutex Mutex;

    HiveState& Of(const std::string& file) { return FStates[file]; }

    bool FlushAll() {
        std::lock_guard<std::recursive_mutex> lock(Mutex);
        bool ok = true;
        for (auto& [file, state] : FStates) ok = state.Flush(file) && ok;
        return ok;
    }

  private:
    // By file name: the registry directory is looked up at every use and may change.
    std::map<std::string, HiveState> FStates;
};

using Guard = std::lock_guard<std::recursive_mutex>;

}  // namespace

// ---- TRegistry --------------------------------------------------------------------------------

TRegistry::TRegistry() = default;

TRegistry::~TRegistry() {
    Flush();
}

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
    Flush();
    FRootKey = root;
}

void TRegistry::CloseKey() {
    FOpen = false;
    FReadOnly = false;
    FCurrentPath.clear();
}

bool TRegistry::Flush() {
    std::string file = HiveFileName(FRootKey);
    if (file.empty()) return true;
    Guard lock(Hives::Get().Mutex);
    return Hives::Get().Of(file).Flush(file);
}

namespace {
// The key path a name refers to: absolute with a leading `\`, else below the open key.
std::vector<std::string> Target(const std::string& current, bool open, const std::string& key) {
    if (!key.empty() && key[0] == '\\') return SplitPath(key);
    std::vector<std::string> path = open ? SplitPath(current) : std::vector<std::string>();
    for (auto& p : SplitPath(key)) path.push_back(p);
    return path;
}

// The hive of the root as it is now (read again when the file changed on disk).
TRegistry::Hive* CurrentHive(HKEY root) {
    std::string file = TRegistry::HiveFileName(root);
    if (file.empty()) return nullptr;
    HiveState& state = Hives::Get().Of(file);
    state.Refresh(file);
    return state.Tree.get();
}

bool Make(HKEY root, Change change) {
    std::string file = TRegistry::HiveFileName(root);
    return !file.empty() && Hives::Get().Of(file).Make(file, std::move(change));
}

// The open key in the hive as this process holds it; none when no key is open or it was deleted.
// The file is not looked at again: what the key holds changes only by this process until the
// next key is opened.
Key* OpenedKey(HKEY root, bool open, const std::string& path) {
    if (!open) return nullptr;
    std::string file = TRegistry::HiveFileName(root);
    if (file.empty()) return nullptr;
    HiveState& state = Hives::Get().Of(file);
    if (!state.Tree) state.Refresh(file);
    return state.Tree->Find(SplitPath(path));
}
}  // namespace

bool TRegistry::OpenKey(const std::string& key, bool canCreate) {
    std::vector<std::string> path = Target(FCurrentPath, FOpen, key);
    if (!ValidPath(path) || !HiveName(FRootKey)) return false;
    Guard lock(Hives::Get().Mutex);
    if (!CurrentHive(FRootKey)->Find(path)) {
        if (!canCreate || !Make(FRootKey, {Change::kCreateKey, path, {}})) return false;
    }
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
    Guard lock(Hives::Get().Mutex);
    CurrentHive(FRootKey);
    return Make(FRootKey, {Change::kCreateKey, path, {}});
}

bool TRegistry::DeleteKey(const std::string& key) {
    std::vector<std::string> path = Target(FCurrentPath, FOpen, key);
    if (path.empty() || !ValidPath(path) || !HiveName(FRootKey)) return false;
    Guard lock(Hives::Get().Mutex);
    // The open key itself may go: it then reads as empty, as a deleted key does.
    return CurrentHive(FRootKey)->Find(path) && Make(FRootKey, {Change::kDeleteKey, path, {}});
}

bool TRegistry::KeyExists(const std::string& key) {
    std::vector<std::string> path = Target(FCurrentPath, FOpen, key);
    if (!ValidPath(path) || !HiveName(FRootKey)) return false;
    Guard lock(Hives::Get().Mutex);
    return CurrentHive(FRootKey)->Find(path) != nullptr;
}

bool TRegistry::HasSubKeys() {
    Guard lock(Hives::Get().Mutex);
    Key* k = OpenedKey(FRootKey, FOpen, FCurrentPath);
    return k && !k->SubKeys.empty();
}

bool TRegistry::ValueExists(const std::string& name) {
    Guard lock(Hives::Get().Mutex);
    Key* k = OpenedKey(FRootKey, FOpen, FCurrentPath);
    return k && k->FindValue(name) != nullptr;
}

TRegDataType TRegistry::GetDataType(const std::string& name) {
    Guard lock(Hives::Get().Mutex);
    Key* k = OpenedKey(FRootKey, FOpen, FCurrentPath);
    Value* v = k ? k->FindValue(name) : nullptr;
    return v ? v->Type : rdUnknown;
}

int32_t TRegistry::GetDataSize(const std::string& name) {
    Guard lock(Hives::Get().Mutex);
    Key* k = OpenedKey(FRootKey, FOpen, FCurrentPath);
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
    Guard lock(Hives::Get().Mutex);
    std::vector<std::string> names;
    if (Key* k = OpenedKey(FRootKey, FOpen, FCurrentPath))
        for (const auto& [n, sub] : k->SubKeys) names.push_back(sub->Name);
    return names;
}

std::vector<std::string> TRegistry::GetValueNames() {
    Guard lock(Hives::Get().Mutex);
    std::vector<std::string> names;
    if (Key* k = OpenedKey(FRootKey, FOpen, FCurrentPath))
        for (const auto& v : k->Values) names.push_back(v.Name);
    return names;
}

namespace {
[[noreturn]] void Raise(const std::string& text, const std::string& name) {
    throw ERegistryException(text + " '" + name + "'");
}

void PutValue(HKEY root, bool open, bool readOnly, const std::string& path, Value value) {
    if (!open || readOnly) Raise("No registry key is open for writing the value", value.Name);
    if (value.Name.size() > RegistryLimits::kMaxValueNameLength)
        Raise("Registry value name too long:", value.Name.substr(0, 64));
    if (value.Data.size() > RegistryLimits::kMaxValueDataSize)
        Raise("Registry data too large for the value", value.Name);
    Guard lock(Hives::Get().Mutex);
    std::string name = value.Name;
    if (!Make(root, {Change::kSetValue, SplitPath(path), std::move(value)}))
        Raise("Failed to write the registry value", name);
}

// A copy of the named value of the open key; none when it is missing.
std::optional<Value> ValueOf(HKEY root, bool open, const std::string& path,
                             const std::string& name) {
    Guard lock(Hives::Get().Mutex);
    Key* k = OpenedKey(root, open, path);
    Value* v = k ? k->FindValue(name) : nullptr;
    return v ? std::optional<Value>(*v) : std::nullopt;
}
}  // namespace

int32_t TRegistry::ReadInteger(const std::string& name) {
    std::optional<Value> v = ValueOf(FRootKey, FOpen, FCurrentPath, name);
    if (!v) Raise("Missing registry value", name);
    if (v->Type != rdInteger) Raise("Invalid data type (not a DWORD) for the registry value", name);
    return int32_t(v->Dword);
}

void TRegistry::WriteInteger(const std::string& name, int32_t value) {
    Value v;
    v.Name = name;
    v.Type = rdInteger;
    v.Dword = uint32_t(value);
    PutValue(FRootKey, FOpen, FReadOnly, FCurrentPath, std::move(v));
}

bool TRegistry::ReadBool(const std::string& name) {
    return ReadInteger(name) != 0;
}

void TRegistry::WriteBool(const std::string& name, bool value) {
    WriteInteger(name, value ? 1 : 0);
}

std::string TRegistry::ReadString(const std::string& name) {
    std::optional<Value> v = ValueOf(FRootKey, FOpen, FCurrentPath, name);
    if (!v) return std::string();
    if (v->Type != rdString && v->Type != rdExpandString)
        Raise("Invalid data type (not a string) for the registry value", name);
    return std::move(v->Data);
}

void TRegistry::WriteString(const std::string& name, const std::string& value) {
    Value v;
    v.Name = name;
    v.Type = rdString;
    v.Data = value;
    PutValue(FRootKey, FOpen, FReadOnly, FCurrentPath, std::move(v));
}

std::string TRegistry::ReadBinary(const std::string& name) {
    std::optional<Value> v = ValueOf(FRootKey, FOpen, FCurrentPath, name);
    if (!v) return std::string();
    if (v->Type != rdBinary) Raise("Invalid data type (not binary) for the registry value", name);
    return std::move(v->Data);
}

int32_t TRegistry::ReadBinaryData(const std::string& name, void* buffer, int32_t bufSize) {
    std::optional<Value> v = ValueOf(FRootKey, FOpen, FCurrentPath, name);
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
    PutValue(FRootKey, FOpen, FReadOnly, FCurrentPath, std::move(v));
}

bool TRegistry::DeleteValue(const std::string& name) {
    if (!FOpen || FReadOnly) return false;
    Guard lock(Hives::Get().Mutex);
    Key* k = OpenedKey(FRootKey, FOpen, FCurrentPath);
    if (!k || !k->FindValue(name)) return false;
    Value v;
    v.Name = name;
    return Make(FRootKey, {Change::kDeleteValue, SplitPath(FCurrentPath), std::move(v)});
}
