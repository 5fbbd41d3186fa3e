#pragma once
// The socket components' logs: the debug log (a ring buffer of binary entries written out as
// text to "debug.log") and the event log (one time-stamped line per event in "event.log").
#include <cstdint>
#include <string>
#include <vector>

#include "netlib/base/IpBase.h"

enum TIpWriteMode { wmOverwrite, wmAppend };

// Entry types of the debug log. Types with bit 31 set carry data bytes after the header.
constexpr uint32_t deText = 0x80000000u;
constexpr uint32_t deHighRead = 0x80000001u;
constexpr uint32_t deHighWrite = 0x80000002u;
constexpr uint32_t deLowRecv = 0x80000003u;
constexpr uint32_t deLowSend = 0x80000004u;
constexpr uint32_t deEnabled = 1;
constexpr uint32_t deDisabled = 2;
constexpr uint32_t deTelnet = 3;

class TIpBaseLog {
  public:
    explicit TIpBaseLog(TIpBaseComponent* owner);
    virtual ~TIpBaseLog() = default;
    TIpBaseLog(const TIpBaseLog&) = delete;
    TIpBaseLog& operator=(const TIpBaseLog&) = delete;

    bool Enabled() const { return FEnabled; }
    virtual void SetEnabled(bool value);
    std::string FileName();
    virtual void SetFileName(const std::string& value);
    TIpBaseComponent* Owner() const { return FOwner; }

  protected:
    bool FEnabled = false;
    std::string FFileName;
    TIpLock FLock;
    TIpBaseComponent* FOwner;
};

class TIpDebugLog : public TIpBaseLog {
  public:
    explicit TIpDebugLog(TIpBaseComponent* owner);

    uint32_t BufferSize() const { return FBufferSize; }
    // Resizes the ring and empties it; sizes above SockLimits::kMaxDebugBufferSize are cut to it.
    void SetBufferSize(uint32_t value);
    TIpWriteMode WriteMode() const { return FWriteMode; }
    void SetWriteMode(TIpWriteMode value) { FWriteMode = value; }
    void SetEnabled(bool value) override;

    // Adds an entry with data bytes (types with bit 31 set). With a writer, the writer's
    // FormatDebugEntry turns it into text later; the writer must be the log's owner or null.
    void AddDebugEntry(const TIpBaseComponent* writer, uint32_t socket, uint32_t entryType,
                       const void* data, uint32_t size);
    // Adds an entry that carries two 32-bit values instead of bytes.
    void AddDebugValue(const TIpBaseComponent* writer, uint32_t socket, uint32_t entryType,
                       uint32_t value, uint32_t value2);
    // Writes every buffered entry to FileName and empties the buffer. File errors raise.
    void WriteDebugLog();
    bool IsEmpty();
    uint32_t BufferFree();
    void ClearBuffer();

  private:
    void Add(uint32_t writer, uint32_t socket, uint32_t entryType, uint32_t value, uint32_t size,
             const void* data);
    uint32_t Used() const;
    void RingWrite(const void* data, uint32_t count);
    void RingRead(uint32_t pos, void* out, uint32_t count) const;
    std::string EntryText(uint32_t writer, uint32_t socket, uint32_t entryType, uint32_t value,
                          uint32_t size, const std::vector<uint8_t>& data);

    uint32_t FBufferSize = 65536;
    TIpWriteMode FWriteMode = wmOverwrite;
    std::vector<uint8_t> FBuffer;
    uint32_t FReadPos = 0;
    uint32_t FWritePos = 0;
    uint32_t FZeroTick;
};

class TIpEventLog : public TIpBaseLog {
  public:
    explicit TIpEventLog(TIpBaseComponent* owner);

    const std::string& DateTimeFormat() const { return FDateTimeFormat; }
    void SetDateTimeFormat(const std::string& value) { FDateTimeFormat = value; }
    // Appends "<local date and time> <Text>" CR LF when enabled; the line is on disk on return.
    void WriteEventString(const std::string& text);

  private:
    std::string FDateTimeFormat;
};

// Formats a local time with the class library's date patterns: yyyy yy mm m dd d hh h nn n ss s
// zzz; text in double or single quotes is copied; every other character stands for itself.
std::string IpFormatDateTime(const std::string& pattern, int64_t unixMilliseconds);

// The text of the socket layer's own entries (read and write, low and high level) with the hex
// dump of their bytes; empty for other types.
std::string IpFormatSocketEntry(uint32_t socket, uint32_t entryType, const void* data,
                                uint32_t size);
// The text of a telnet negotiation entry (without line end).
std::string IpFormatTelnetEntry(uint32_t socket, uint32_t direction, uint32_t commandAndOption);
// The first value of an entry added by AddDebugValue, as a writer's FormatDebugEntry is given
// it; 0 for entries that carry data bytes, or no data.
uint32_t IpDebugEntryValue(uint32_t entryType, const void* data);
