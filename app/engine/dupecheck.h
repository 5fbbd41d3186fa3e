#pragma once
// The run's dupe database: fingerprints of the news articles already fetched, so that an article
// delivered through several groups or boxes is stored once. Three kinds, each kept between runs
// in its own file in the program's directory, oldest entry first:
//   dupes.crc  4-byte little-endian checksums
//   dupes.md5  16-byte MD5 digests
//   dupes.mid  Message-IDs, one a line, CR LF
// The file formats are shared with earlier versions and stay as they are. In memory every kind
// also keeps a hash index over its entries, so a check costs the same whatever the size.
//
// The news task checks through a TDupeBatch: an article it has not stored yet counts as known to
// every check (two tasks never both take it), but becomes an entry, and so reaches the file, only
// once the batch that holds it is stored. A batch that cannot be stored leaves no trace, so its
// articles are fetched again by the next run.
#include <array>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <memory>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include "netlib/base/IpUtils.h"

class TIpMessage;

// The fingerprints of the articles one task took as new and has not stored yet.
class TDupeBatch {
  public:
    TDupeBatch() = default;
    // A batch stored by an earlier run, taken from its record, to be committed now.
    explicit TDupeBatch(std::vector<std::string> Fingerprints)
        : FFingerprints(std::move(Fingerprints)) {}

    bool Empty() const { return FFingerprints.empty(); }
    // In the order the articles were taken, oldest first.
    const std::vector<std::string>& Fingerprints() const { return FFingerprints; }

  private:
    friend class TCustomDupecheck;
    std::vector<std::string> FFingerprints;
};

class TCustomDupecheck {
  public:
    TCustomDupecheck();
    virtual ~TCustomDupecheck() = default;
    TCustomDupecheck(const TCustomDupecheck&) = delete;
    TCustomDupecheck& operator=(const TCustomDupecheck&) = delete;

    // Index of the newest entry; -1 when empty.
    int32_t LastIndex = -1;
    // Entries kept across runs; the run sets it before Load.
    int32_t MaxEntries = 0;
    // The program's directory, with trailing separator.
    std::string Dir;

    // Reads the kind's file; a missing file leaves the database empty. A file that cannot be
    // read raises the file error.
    virtual void Load() = 0;
    // Writes the newest MaxEntries entries to the kind's file, or deletes the file when nothing
    // is left. A file that cannot be written raises.
    virtual void Save() = 0;
    // True when the article's fingerprint is known; otherwise records it as the newest entry.
    bool IsDupe(TIpMessage& message);
    // True when the article is known or taken by a batch not yet stored; otherwise notes it in
    // batch.
    bool IsDupe(TIpMessage& message, TDupeBatch& batch);
    // The batch's articles are stored: they become the newest entries. The batch is emptied.
    void Commit(TDupeBatch& batch);
    // The batch's articles were not stored: forgotten. The batch is emptied.
    void Discard(TDupeBatch& batch);
    // Entries were added since the last Load or Save.
    bool Modified() const { return FModified; }

    // The kind's file: Dir + its name.
    virtual std::string FileName() const = 0;
    int32_t Count() const { return LastIndex + 1; }

  protected:
    // MaxEntries, never negative.
    size_t Capacity() const { return MaxEntries > 0 ? size_t(MaxEntries) : 0; }
    void DeleteDatabaseFile() const;
    // Writes the database file whole through a temporary file (or deletes it when bytes is
    // empty); a failure raises EWriteError naming the file and the reason.
    void WriteDatabaseFile(const std::string& bytes);

    // The article's fingerprint in the form Known and Learn take; empty: never a dupe.
    virtual std::string Fingerprint(TIpMessage& message) = 0;
    virtual bool Known(const std::string& fingerprint) const = 0;
    // Adds the fingerprint as the newest entry (dropping the oldest where the kind does so).
    virtual void Learn(const std::string& fingerprint) = 0;
    // What makes two fingerprints the same for the batches' bookkeeping.
    virtual std::string PendingKey(const std::string& fingerprint) const { return fingerprint; }

    // Known, or taken by a batch not yet stored.
    bool TakenOrKnown(const std::string& fingerprint) const;

    bool FModified = false;

  private:
    void Release(const std::string& fingerprint);

    // Fingerprints taken by batches not yet stored, with the number of batches holding each.
    std::unordered_map<std::string, uint32_t> FPending;
};

// A database of the kind kept in the file of that name ("dupes.crc", "dupes.md5", "dupes.mid",
// in any letter case), with Dir its directory; null for any other name.
std::unique_ptr<TCustomDupecheck> DupecheckForFile(const std::string& FileName);

// The hash index of a dupe database: an open-addressing table from a 64-bit key (a hash of the
// fingerprint) to the sequence number of the newest entry with that key and the number of
// entries that have it. Flat, so a look-up touches one or two cache lines however large the
// database is. The caller confirms a hit by comparing the entry the sequence number names; when two
// different fingerprints share a key (64 bits of a digest, or of a Message-ID hash), only the
// newest of them is found, so such an article is at worst stored twice, never dropped wrongly.
class TDupeIndex {
  public:
    struct TSlot {
        uint64_t Key = 0;
        // Sequence numbers are kept modulo 2^32: a database never holds that many entries, so
        // the difference to the oldest entry's number stays exact. 16-byte slots keep the table
        // of a large database small.
        uint32_t Seq = 0;
        uint32_t Count = 0;  // 0: the slot is free
    };

    // The slot of key, or nullptr.
    const TSlot* Find(uint64_t key) const;
    // Counts one more entry with key; seq becomes the key's newest entry.
    void Add(uint64_t key, uint32_t seq);
    // Counts one entry with key less (the oldest one); the key goes when none is left.
    void Remove(uint64_t key);
    void Clear();
    void Reserve(size_t entries);

  private:
    size_t Home(uint64_t key) const;
    void Grow(size_t slots);

    std::vector<TSlot> FSlots;
    size_t FUsed = 0;
};

// Fixed-size binary fingerprints (checksum and MD5 kinds): an array in file order plus the hash
// index over it.
template <size_t EntrySize>
class TFixedDupecheck : public TCustomDupecheck {
  public:
    using TEntry = std::array<uint8_t, EntrySize>;

    void Load() override;
    void Save() override;
    // The fingerprint-level check behind IsDupe: false at once when MaxEntries is 0.
    bool IsDupeEntry(const TEntry& entry);
    const TEntry& Entry(int32_t index) const { return FEntries.at(size_t(index)); }

  protected:
    bool Known(const std::string& fingerprint) const override;
    void Learn(const std::string& fingerprint) override;
    static TEntry EntryOf(const std::string& fingerprint);
    static std::string FingerprintOf(const TEntry& entry);

  private:
    static uint64_t KeyOf(const TEntry& entry);
    bool Contains(const TEntry& entry) const;
    void Append(const TEntry& entry);
    void RebuildIndex();

    std::vector<TEntry> FEntries;  // the sequence number of an entry is its index
    TDupeIndex FIndex;
};

// The CRC-32 of the article's raw text. Files of earlier versions hold 16-bit checksums there,
// which a CRC-32 meets only by a one-in-65,536 chance: such an old entry at worst lets an old
// duplicate through once.
class TCRCDupecheck : public TFixedDupecheck<4> {
  public:
    std::string FileName() const override { return Dir + "dupes.crc"; }
    bool IsDupeChecksum(uint32_t checksum);
    uint32_t Checksum(int32_t index) const;
    // The fingerprint of an article: the CRC-32 (ISO 3309, as zip and PNG use) of its raw text.
    static uint32_t Crc32(TIpMessage& message);

  protected:
    std::string Fingerprint(TIpMessage& message) override;
};

// The MD5 digest of the article's raw text.
class TMD5Dupecheck : public TFixedDupecheck<16> {
  public:
    std::string FileName() const override { return Dir + "dupes.md5"; }
    bool IsDupeDigest(const TIpMD5Digest& digest) { return IsDupeEntry(digest); }

  protected:
    std::string Fingerprint(TIpMessage& message) override;
};

// The article's Message-ID, compared without regard to ASCII case. An article without a
// Message-ID is never a dupe and is not recorded: two such articles need not be the same.
class TMIDDupecheck : public TCustomDupecheck {
  public:
    void Load() override;
    void Save() override;
    std::string FileName() const override { return Dir + "dupes.mid"; }
    // The ID-level check behind IsDupe; the ID is trimmed first.
    bool IsDupeMessageID(const std::string& messageID);
    const std::string& MessageID(int32_t index) const { return FIDs.at(size_t(index)); }

  protected:
    std::string Fingerprint(TIpMessage& message) override;
    bool Known(const std::string& id) const override;
    void Learn(const std::string& id) override;
    std::string PendingKey(const std::string& id) const override;

  private:
    static uint64_t KeyOf(const std::string& id);
    bool Contains(const std::string& id, uint64_t key) const;
    void Append(std::string id);
    void DropOldest();

    std::deque<std::string> FIDs;
    uint64_t FFirstSeq = 0;  // sequence number of FIDs.front()
    TDupeIndex FIndex;
};
