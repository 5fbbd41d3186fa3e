#include "app/engine/dupecheck.h"

#include <cerrno>
#include <cstring>

#include "app/engine/KestroGlobal.h"
#include "app/engine/SafeFile.h"
#include "app/engine/SpoolLimits.h"
#include "netlib/base/IpUtils.h"
#include "netlib/mime/MimeMessage.h"
#include "platform/classes/Classes.h"
#include "platform/fs/Files.h"
#include "platform/system/ProgramDirectory.h"

namespace {

bool SameTextAscii(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        char x = a[i], y = b[i];
        if (x >= 'A' && x <= 'Z') x = char(x - 'A' + 'a');
        if (y >= 'A' && y <= 'Z') y = char(y - 'A' + 'a');
        if (x != y) return false;
    }
    return true;
}

void CheckFileSize(const std::string& fileName, int64_t size) {
    if (size > SpoolLimits::kMaxDupeFileSize)
        throw EReadError("Die Dupedatenbank " + fileName + " ist zu groß (" + std::to_string(size) +
                         " Bytes)");
}

// The raw text of a message, from its first byte.
std::string RawText(TIpMessage& message) {
    TStream& stream = message.MessageStream;
    stream.Seek(0, soBeginning);
    std::string bytes(size_t(stream.Size()), '\0');
    if (!bytes.empty()) stream.ReadBuffer(bytes.data(), int64_t(bytes.size()));
    return bytes;
}

std::string FoldAscii(std::string text) {
    for (char& c : text)
        if (c >= 'A' && c <= 'Z') c = char(c - 'A' + 'a');
    return text;
}

}  // namespace

// ---- TCustomDupecheck ------------------------------------------------------------------------

TCustomDupecheck::TCustomDupecheck() : Dir(ProgramDirectory()) {}

void TCustomDupecheck::DeleteDatabaseFile() const {
    const std::string name = FileName();
    if (!FileExists(name)) return;
    if (!DeleteFile(name) && FileExists(name))
        throw EWriteError("Die Dupedatenbank " + name +
                          " konnte nicht gelöscht werden: " + std::strerror(errno));
}

void TCustomDupecheck::WriteDatabaseFile(const std::string& bytes) {
    if (bytes.empty())
        DeleteDatabaseFile();
    else
        WriteFileAtomic(FileName(), bytes);
    FModified = false;
}

bool TCustomDupecheck::TakenOrKnown(const std::string& fingerprint) const {
    return FPending.count(PendingKey(fingerprint)) > 0 || Known(fingerprint);
}

bool TCustomDupecheck::IsDupe(TIpMessage& message) {
    if (Capacity() == 0) return false;
    const std::string fingerprint = Fingerprint(message);
    if (fingerprint.empty()) return false;
    if (TakenOrKnown(fingerprint)) return true;
    Learn(fingerprint);
    return false;
}

bool TCustomDupecheck::IsDupe(TIpMessage& message, TDupeBatch& batch) {
    if (Capacity() == 0) return false;
    std::string fingerprint = Fingerprint(message);
    if (fingerprint.empty()) return false;
    if (TakenOrKnown(fingerprint)) return true;
    ++FPending[PendingKey(fingerprint)];
    batch.FFingerprints.push_back(std::move(fingerprint));
    return false;
}

void TCustomDupecheck::Release(const std::string& fingerprint) {
    const auto it = FPending.find(PendingKey(fingerprint));
    if (it != FPending.end() && --it->second == 0) FPending.erase(it);
}

void TCustomDupecheck::Commit(TDupeBatch& batch) {
    for (const std::string& fingerprint : batch.FFingerprints) {
        Release(fingerprint);
        if (!Known(fingerprint)) Learn(fingerprint);
    }
    batch.FFingerprints.clear();
}

void TCustomDupecheck::Discard(TDupeBatch& batch) {
    for (const std::string& fingerprint : batch.FFingerprints) Release(fingerprint);
    batch.FFingerprints.clear();
}

// ---- TDupeIndex ------------------------------------------------------------------------------

size_t TDupeIndex::Home(uint64_t key) const {
    // The keys may be small checksums: mix them so they spread over the whole table.
    key ^= key >> 33;
    key *= 0xFF51AFD7ED558CCDULL;
    key ^= key >> 33;
    key *= 0xC4CEB9FE1A85EC53ULL;
    key ^= key >> 33;
    return size_t(key) & (FSlots.size() - 1);
}

const TDupeIndex::TSlot* TDupeIndex::Find(uint64_t key) const {
    if (FSlots.empty()) return nullptr;
    for (size_t i = Home(key);; i = (i + 1) & (FSlots.size() - 1)) {
        const TSlot& slot = FSlots[i];
        if (slot.Count == 0) return nullptr;
        if (slot.Key == key) return &slot;
    }
}

void TDupeIndex::Add(uint64_t key, uint32_t seq) {
    if ((FUsed + 1) * 2 > FSlots.size()) Grow(FSlots.empty() ? 64 : FSlots.size() * 2);
    for (size_t i = Home(key);; i = (i + 1) & (FSlots.size() - 1)) {
        TSlot& slot = FSlots[i];
        if (slot.Count == 0) {
            slot = TSlot{key, seq, 1};
            ++FUsed;
            return;
        }
        if (slot.Key == key) {
            slot.Seq = seq;
            ++slot.Count;
            return;
        }
    }
}

void TDupeIndex::Remove(uint64_t key) {
    if (FSlots.empty()) return;
    const size_t mask = FSlots.size() - 1;
    size_t hole = Home(key);
    for (;; hole = (hole + 1) & mask) {
        if (FSlots[hole].Count == 0) return;
        if (FSlots[hole].Key == key) break;
    }
    if (--FSlots[hole].Count > 0) return;
    // Backward-shift deletion: move later members of the probe run into the hole, so that no
    // look-up stops early at it.
    for (size_t next = (hole + 1) & mask; FSlots[next].Count != 0; next = (next + 1) & mask) {
        const size_t home = Home(FSlots[next].Key);
        const bool movable =
            hole <= next ? (home <= hole || home > next) : (home <= hole && home > next);
        if (movable) {
            FSlots[hole] = FSlots[next];
            hole = next;
        }
    }
    FSlots[hole] = TSlot{};
    --FUsed;
}

void TDupeIndex::Clear() {
    FSlots.clear();
    FUsed = 0;
}

void TDupeIndex::Reserve(size_t entries) {
    size_t slots = 64;
    while (slots < entries * 2) slots *= 2;
    if (slots > FSlots.size()) Grow(slots);
}

void TDupeIndex::Grow(size_t slots) {
    std::vector<TSlot> old(slots);
    old.swap(FSlots);
    FUsed = 0;
    for (const TSlot& slot : old) {
        if (slot.Count == 0) continue;
        for (size_t i = Home(slot.Key);; i = (i + 1) & (FSlots.size() - 1)) {
            if (FSlots[i].Count == 0) {
                FSlots[i] = slot;
                ++FUsed;
                break;
            }
        }
    }
}

// ---- TFixedDupecheck -------------------------------------------------------------------------

template <size_t EntrySize>
uint64_t TFixedDupecheck<EntrySize>::KeyOf(const TEntry& entry) {
    // Checksums and digests are hashes already: their first bytes make the key.
    uint64_t key = 0;
    std::memcpy(&key, entry.data(), EntrySize < 8 ? EntrySize : 8);
    return key;
}

template <size_t EntrySize>
bool TFixedDupecheck<EntrySize>::Contains(const TEntry& entry) const {
    const TDupeIndex::TSlot* slot = FIndex.Find(KeyOf(entry));
    return slot != nullptr && FEntries[size_t(slot->Seq)] == entry;
}

template <size_t EntrySize>
void TFixedDupecheck<EntrySize>::Append(const TEntry& entry) {
    FEntries.push_back(entry);
    FIndex.Add(KeyOf(entry), uint32_t(FEntries.size() - 1));
    LastIndex = int32_t(FEntries.size()) - 1;
    FModified = true;
}

template <size_t EntrySize>
typename TFixedDupecheck<EntrySize>::TEntry TFixedDupecheck<EntrySize>::EntryOf(
    const std::string& fingerprint) {
    TEntry entry{};
    std::memcpy(entry.data(), fingerprint.data(), std::min(fingerprint.size(), EntrySize));
    return entry;
}

template <size_t EntrySize>
std::string TFixedDupecheck<EntrySize>::FingerprintOf(const TEntry& entry) {
    return std::string(reinterpret_cast<const char*>(entry.data()), EntrySize);
}

template <size_t EntrySize>
bool TFixedDupecheck<EntrySize>::Known(const std::string& fingerprint) const {
    return Contains(EntryOf(fingerprint));
}

template <size_t EntrySize>
void TFixedDupecheck<EntrySize>::Learn(const std::string& fingerprint) {
    if (Capacity() > 0) Append(EntryOf(fingerprint));
}

template <size_t EntrySize>
void TFixedDupecheck<EntrySize>::RebuildIndex() {
    FIndex.Clear();
    FIndex.Reserve(FEntries.size());
    for (size_t i = 0; i < FEntries.size(); ++i) FIndex.Add(KeyOf(FEntries[i]), uint32_t(i));
    LastIndex = int32_t(FEntries.size()) - 1;
}

template <size_t EntrySize>
bool TFixedDupecheck<EntrySize>::IsDupeEntry(const TEntry& entry) {
    if (Capacity() == 0) return false;
    const std::string fingerprint = FingerprintOf(entry);
    if (TakenOrKnown(fingerprint)) return true;
    Append(entry);
    return false;
}

template <size_t EntrySize>
void TFixedDupecheck<EntrySize>::Load() {
    FEntries.clear();
    FIndex.Clear();
    LastIndex = -1;
    const std::string name = FileName();
    if (!FileExists(name)) return;
    TFileStream file(name, fmOpenRead | fmShareDenyWrite);
    const int64_t size = file.Size();
    CheckFileSize(name, size);
    // A crash while the file was written may leave a torn last entry: only whole entries count.
    const size_t count = size_t(size) / EntrySize;
    FEntries.resize(count);
    if (count > 0) file.ReadBuffer(FEntries.data(), int64_t(count * EntrySize));
    RebuildIndex();
    FModified = false;
}

template <size_t EntrySize>
void TFixedDupecheck<EntrySize>::Save() {
    if (FEntries.size() > Capacity()) {
        FEntries.erase(FEntries.begin(), FEntries.end() - ptrdiff_t(Capacity()));
        RebuildIndex();
    }
    std::string bytes(FEntries.size() * EntrySize, '\0');
    if (!bytes.empty()) std::memcpy(bytes.data(), FEntries.data(), bytes.size());
    WriteDatabaseFile(bytes);
}

template class TFixedDupecheck<4>;
template class TFixedDupecheck<16>;

// ---- TCRCDupecheck ---------------------------------------------------------------------------

namespace {

// Stored little-endian, whatever the machine.
TCRCDupecheck::TEntry ChecksumEntry(uint32_t checksum) {
    return {uint8_t(checksum), uint8_t(checksum >> 8), uint8_t(checksum >> 16),
            uint8_t(checksum >> 24)};
}

struct TCrc32Table {
    uint32_t Values[256];
    TCrc32Table() {
        for (uint32_t n = 0; n < 256; ++n) {
            uint32_t c = n;
            for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            Values[n] = c;
        }
    }
};

}  // namespace

uint32_t TCRCDupecheck::Crc32(TIpMessage& message) {
    static const TCrc32Table table;
    uint32_t crc = 0xFFFFFFFFu;
    for (char c : RawText(message)) crc = table.Values[(crc ^ uint8_t(c)) & 0xFF] ^ (crc >> 8);
    return crc ^ 0xFFFFFFFFu;
}

std::string TCRCDupecheck::Fingerprint(TIpMessage& message) {
    return FingerprintOf(ChecksumEntry(Crc32(message)));
}

bool TCRCDupecheck::IsDupeChecksum(uint32_t checksum) {
    return IsDupeEntry(ChecksumEntry(checksum));
}

uint32_t TCRCDupecheck::Checksum(int32_t index) const {
    const TEntry& e = Entry(index);
    return uint32_t(e[0]) | uint32_t(e[1]) << 8 | uint32_t(e[2]) << 16 | uint32_t(e[3]) << 24;
}

// ---- TMD5Dupecheck ---------------------------------------------------------------------------

std::string TMD5Dupecheck::Fingerprint(TIpMessage& message) {
    message.MessageStream.Seek(0, soBeginning);
    TIpMD5Digest digest;
    MD5DigestStream(message.MessageStream, digest);
    return FingerprintOf(digest);
}

// ---- TMIDDupecheck ---------------------------------------------------------------------------

uint64_t TMIDDupecheck::KeyOf(const std::string& id) {
    // FNV-1a over the ID with ASCII letters folded, so that IDs differing in case meet.
    uint64_t key = 0xCBF29CE484222325ULL;
    for (char c : id) {
        if (c >= 'A' && c <= 'Z') c = char(c - 'A' + 'a');
        key = (key ^ uint8_t(c)) * 0x100000001B3ULL;
    }
    return key;
}

bool TMIDDupecheck::Contains(const std::string& id, uint64_t key) const {
    const TDupeIndex::TSlot* slot = FIndex.Find(key);
    return slot != nullptr &&
           SameTextAscii(FIDs[size_t(uint32_t(slot->Seq - uint32_t(FFirstSeq)))], id);
}

void TMIDDupecheck::Append(std::string id) {
    FIndex.Add(KeyOf(id), uint32_t(FFirstSeq + FIDs.size()));
    FIDs.push_back(std::move(id));
    LastIndex = int32_t(FIDs.size()) - 1;
    FModified = true;
}

void TMIDDupecheck::DropOldest() {
    FIndex.Remove(KeyOf(FIDs.front()));
    FIDs.pop_front();
    ++FFirstSeq;
    LastIndex = int32_t(FIDs.size()) - 1;
}

std::string TMIDDupecheck::Fingerprint(TIpMessage& message) {
    return TrimControls(message.MessageID);
}

bool TMIDDupecheck::Known(const std::string& id) const {
    return Contains(id, KeyOf(id));
}

void TMIDDupecheck::Learn(const std::string& id) {
    Append(id);
    if (FIDs.size() > Capacity()) DropOldest();
}

std::string TMIDDupecheck::PendingKey(const std::string& id) const {
    return FoldAscii(id);
}

bool TMIDDupecheck::IsDupeMessageID(const std::string& messageID) {
    std::string id = TrimControls(messageID);
    if (id.empty()) return false;
    if (TakenOrKnown(id)) return true;
    Learn(id);
    return false;
}

void TMIDDupecheck::Load() {
    FIDs.clear();
    FFirstSeq = 0;
    FIndex.Clear();
    LastIndex = -1;
    const std::string name = FileName();
    if (!FileExists(name)) return;
    CheckFileSize(name, FileSizeOf(name));
    TStringList list;
    LoadListFile(list, name);
    for (int i = 0; i < list.Count(); ++i)
        if (!list[i].empty()) Append(list[i]);
    FModified = false;
}

void TMIDDupecheck::Save() {
    while (FIDs.size() > Capacity()) DropOldest();
    std::string bytes;
    for (const std::string& id : FIDs) {
        bytes += id;
        bytes += "\r\n";
    }
    WriteDatabaseFile(bytes);
}

// ---- kinds -----------------------------------------------------------------------------------

std::unique_ptr<TCustomDupecheck> DupecheckForFile(const std::string& FileName) {
    std::unique_ptr<TCustomDupecheck> Kinds[] = {std::make_unique<TCRCDupecheck>(),
                                                 std::make_unique<TMD5Dupecheck>(),
                                                 std::make_unique<TMIDDupecheck>()};
    for (auto& Kind : Kinds) {
        Kind->Dir = ExtractFilePath(FileName);
        if (SameTextAscii(ExtractFileName(Kind->FileName()), ExtractFileName(FileName)))
            return std::move(Kind);
    }
    return nullptr;
}
