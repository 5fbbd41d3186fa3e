#include "netlib/sock/IpLog.h"

#include <sys/utsname.h>

#include <chrono>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <ctime>

#include "netlib/base/IpUtils.h"
#include "netlib/sock/IpWinSock.h"
#include "netlib/sock/Limits.h"
#include "platform/classes/Exception.h"
#include "platform/core/Messages.h"
#include "platform/fs/Files.h"

namespace {

constexpr uint32_t kHeaderSize = 24;
constexpr uint32_t kWriterOwner = 1;

std::string Printf(const char* format, ...) __attribute__((format(printf, 1, 2)));
std::string Printf(const char* format, ...) {
    char Buf[512];
    va_list Args;
    va_start(Args, format);
    const int N = std::vsnprintf(Buf, sizeof(Buf), format, Args);
    va_end(Args);
    return std::string(Buf, N < 0 ? 0 : static_cast<size_t>(N) < sizeof(Buf) ? N : sizeof(Buf) - 1);
}

// Elapsed milliseconds as "SSSS.mmm": at least seven digits, the point before the last three.
std::string TimeStamp(uint32_t ms) {
    std::string Digits = Printf("%07u", ms);
    Digits.insert(Digits.size() - 3, 1, '.');
    return Digits + " : ";
}

const char* const TelnetOptions[50] = {"transmit binary",
                                       "echo",
                                       "reconnect",
                                       "suppress go-ahead",
                                       "approx msg size",
                                       "status",
                                       "timing mark",
                                       "remote trans & echo",
                                       "output line width",
                                       "output page size",
                                       "output C/R disp",
                                       "output horz tabs",
                                       "output horz tab disp",
                                       "output FF disp",
                                       "output vert tabs",
                                       "output vert tab disp",
                                       "output linefeed disp",
                                       "extended ASCII",
                                       "logout",
                                       "byte macro",
                                       "data entry terminal subcommands",
                                       "SUPDUP",
                                       "SUPDUP output",
                                       "send location",
                                       "terminal type",
                                       "end of record",
                                       "TACACS user ID",
                                       "output marking",
                                       "terminal loc num",
                                       "Telnet3270 Regime",
                                       "X.3-Pad operations",
                                       "negotiate about window size",
                                       "terminal speed",
                                       "toggle flow control",
                                       "line mode",
                                       "X display location",
                                       "environment variables",
                                       "authentication",
                                       "encryption option",
                                       "new environment variables",
                                       "TN3270E",
                                       "XAUTH",
                                       "character set",
                                       "telnet remote serial port (RSP)",
                                       "com port control option",
                                       "telnet suppress local echo",
                                       "telnet start TLS",
                                       "KERMIT",
                                       "SEND-URL",
                                       "FORWARD_X"};

std::string OperatingSystemText() {
    utsname U{};
    if (::uname(&U) != 0) return "Unknown";
    unsigned Major = 0, Minor = 0;
    std::sscanf(U.release, "%u.%u", &Major, &Minor);
    return std::string(U.sysname) + " " + std::to_string(Major) + "." + std::to_string(Minor) +
           " " + U.release;
}

std::FILE* OpenForAppend(const std::string& name) {
    std::FILE* F = std::fopen(name.c_str(), "ab");
    if (!F) throw EFOpenError("Cannot open file \"" + name + "\". " + std::strerror(errno));
    return F;
}

void WriteAll(std::FILE* f, const std::string& text, const std::string& name) {
    if (!text.empty() && std::fwrite(text.data(), 1, text.size(), f) != text.size()) {
        std::fclose(f);
        throw EWriteError("Error writing file \"" + name + "\"");
    }
}

class TLockGuard {
  public:
    explicit TLockGuard(TIpLock& lock) : FLock(lock) { FLock.Enter(); }
    ~TLockGuard() { FLock.Leave(); }
    TLockGuard(const TLockGuard&) = delete;
    TLockGuard& operator=(const TLockGuard&) = delete;

  private:
    TIpLock& FLock;
};

}  // namespace

// ---- TIpBaseLog --------------------------------------------------------------------------------

TIpBaseLog::TIpBaseLog(TIpBaseComponent* owner) : FOwner(owner) {}

void TIpBaseLog::SetEnabled(bool value) {
    TLockGuard G(FLock);
    FEnabled = value;
}

std::string TIpBaseLog::FileName() {
    TLockGuard G(FLock);
    return FFileName;
}

void TIpBaseLog::SetFileName(const std::string& value) {
    TLockGuard G(FLock);
    FFileName = value;
}

// ---- TIpDebugLog -------------------------------------------------------------------------------

TIpDebugLog::TIpDebugLog(TIpBaseComponent* owner) : TIpBaseLog(owner), FZeroTick(GetTickCount()) {
    FFileName = "debug.log";
}

void TIpDebugLog::SetBufferSize(uint32_t value) {
    TLockGuard G(FLock);
    if (value > SockLimits::kMaxDebugBufferSize) value = SockLimits::kMaxDebugBufferSize;
    if (value == FBufferSize) return;
    FBufferSize = value;
    if (!FBuffer.empty()) FBuffer.assign(FBufferSize, 0);
    FReadPos = FWritePos = 0;
}

void TIpDebugLog::SetEnabled(bool value) {
    TLockGuard G(FLock);
    if (value) {
        if (FBuffer.size() != FBufferSize) {
            FBuffer.assign(FBufferSize, 0);
            FReadPos = FWritePos = 0;
        }
        FEnabled = true;
        Add(0, 0, deEnabled, 0, 0, nullptr);
    } else {
        Add(0, 0, deDisabled, 0, 0, nullptr);
        FEnabled = false;
    }
}

uint32_t TIpDebugLog::Used() const {
    return FWritePos >= FReadPos ? FWritePos - FReadPos : FBufferSize - FReadPos + FWritePos;
}

void TIpDebugLog::RingWrite(const void* data, uint32_t count) {
    const auto* P = static_cast<const uint8_t*>(data);
    const uint32_t First = std::min(count, FBufferSize - FWritePos);
    std::memcpy(FBuffer.data() + FWritePos, P, First);
    if (count > First) std::memcpy(FBuffer.data(), P + First, count - First);
    FWritePos = (FWritePos + count) % FBufferSize;
}

void TIpDebugLog::RingRead(uint32_t pos, void* out, uint32_t count) const {
    auto* P = static_cast<uint8_t*>(out);
    const uint32_t First = std::min(count, FBufferSize - pos);
    std::memcpy(P, FBuffer.data() + pos, First);
    if (count > First) std::memcpy(P + First, FBuffer.data(), count - First);
}

void TIpDebugLog::Add(uint32_t writer, uint32_t socket, uint32_t entryType, uint32_t value,
                      uint32_t size, const void* data) {
    if (!FEnabled || FBuffer.empty()) return;
    const bool HasData = (entryType & 0x80000000u) != 0;
    const uint64_t Length = kHeaderSize + (HasData ? uint64_t{size} : 0);
    // The ring keeps one byte free to tell full from empty.
    if (Length >= FBufferSize) return;
    while (FBufferSize - Used() - 1 < Length) {
        uint32_t Old[6];
        RingRead(FReadPos, Old, kHeaderSize);
        const uint32_t OldLength = kHeaderSize + ((Old[3] & 0x80000000u) ? Old[5] : 0);
        FReadPos = (FReadPos + OldLength) % FBufferSize;
    }
    const uint32_t Header[6] = {writer,    GetTickCount(),      socket,
                                entryType, HasData ? 0 : value, size};
    RingWrite(Header, kHeaderSize);
    if (HasData && size) RingWrite(data, size);
}

void TIpDebugLog::AddDebugEntry(const TIpBaseComponent* writer, uint32_t socket, uint32_t entryType,
                                const void* data, uint32_t size) {
    if (!FEnabled) return;
    TLockGuard G(FLock);
    Add(writer ? kWriterOwner : 0, socket, entryType | 0x80000000u, 0, size, data);
}

void TIpDebugLog::AddDebugValue(const TIpBaseComponent* writer, uint32_t socket, uint32_t entryType,
                                uint32_t value, uint32_t value2) {
    if (!FEnabled) return;
    TLockGuard G(FLock);
    Add(writer ? kWriterOwner : 0, socket, entryType & 0x7FFFFFFFu, value, value2, nullptr);
}

bool TIpDebugLog::IsEmpty() {
    TLockGuard G(FLock);
    return FReadPos == FWritePos;
}

uint32_t TIpDebugLog::BufferFree() {
    TLockGuard G(FLock);
    return FBufferSize - Used() - 1;
}

void TIpDebugLog::ClearBuffer() {
    TLockGuard G(FLock);
    FReadPos = FWritePos = 0;
}

std::string TIpDebugLog::EntryText(uint32_t writer, uint32_t socket, uint32_t entryType,
                                   uint32_t value, uint32_t size,
                                   const std::vector<uint8_t>& data) {
    const bool HasData = (entryType & 0x80000000u) != 0;
    if (writer == kWriterOwner && FOwner) {
        if (HasData) return FOwner->FormatDebugEntry(socket, entryType, data.data(), size);
        return FOwner->FormatDebugEntry(socket, entryType, &value, size);
    }
    switch (entryType) {
        case deText:
            return std::string(data.begin(), data.end());
        case deEnabled:
            return "**** Logging Enabled\r\n";
        case deDisabled:
            return "**** Logging Disabled\r\n";
        case deTelnet:
            return IpFormatTelnetEntry(socket, value, size);
        default:
            if (entryType >= deHighRead && entryType <= deLowSend)
                return IpFormatSocketEntry(socket, entryType, data.data(), size);
            return Printf("!!!! Unknown log entry : [%u][%08X][%08X][%08X]\r\n", socket, entryType,
                          value, size);
    }
}

void TIpDebugLog::WriteDebugLog() {
    TLockGuard G(FLock);
    const std::string Name = ResolvePath(FFileName);
    std::FILE* F = nullptr;
    if (FWriteMode == wmAppend || !FileExists(Name)) {
        F = OpenForAppend(Name);
    } else {
        F = std::fopen(Name.c_str(), "wb");
        if (!F) throw EFOpenError("Cannot create file \"" + Name + "\". " + std::strerror(errno));
    }
    std::fseek(F, 0, SEEK_END);
    std::string Out;
    if (std::ftell(F) == 0) {
        const TWSAData& Ws = IpWinSock().Data();
        Out += "Kestro Internet Library " + VersionString() + " compiled with Unknown Compiler\r\n";
        Out += "Operating System : " + OperatingSystemText() + "\r\n";
        Out += "Description : " + Ws.szDescription + "\r\n";
        Out += Printf("Negotiated Version : $%4.4X", Ws.wVersion) + "\r\n";
        Out += "System Status : " + Ws.szSystemStatus + "\r\n";
        Out += std::string(77, '=') + "\r\n\r\n";
    }
    std::vector<uint8_t> Data;
    while (FReadPos != FWritePos) {
        uint32_t H[6];
        RingRead(FReadPos, H, kHeaderSize);
        const bool HasData = (H[3] & 0x80000000u) != 0;
        const uint32_t DataSize = HasData ? H[5] : 0;
        Data.resize(DataSize);
        if (DataSize) RingRead((FReadPos + kHeaderSize) % FBufferSize, Data.data(), DataSize);
        FReadPos = (FReadPos + kHeaderSize + DataSize) % FBufferSize;
        Out += TimeStamp(H[1] - FZeroTick);
        Out += EntryText(H[0], H[2], H[3], H[4], H[5], Data);
        Out += "\r\n";
        if (Out.size() > 65536) {
            WriteAll(F, Out, Name);
            Out.clear();
        }
    }
    FReadPos = FWritePos = 0;
    WriteAll(F, Out, Name);
    if (std::fclose(F) != 0) throw EWriteError("Error writing file \"" + Name + "\"");
}

// ---- TIpEventLog -------------------------------------------------------------------------------

TIpEventLog::TIpEventLog(TIpBaseComponent* owner) : TIpBaseLog(owner) {}

void TIpEventLog::WriteEventString(const std::string& text) {
    if (!FEnabled) return;
    TLockGuard G(FLock);
    if (!FEnabled) return;
    const auto Now = std::chrono::duration_cast<std::chrono::milliseconds>(
                         std::chrono::system_clock::now().time_since_epoch())
                         .count();
    // One line of UTF-8 whatever a server put into the text: a NUL, a line break or a stray
    // byte would damage the log for every reader of it.
    const std::string Line =
        IpFormatDateTime(FDateTimeFormat, Now) + " " + EscapeForLog(text) + "\r\n";
    const std::string Name = ResolvePath(FFileName);
    std::FILE* F = OpenForAppend(Name);
    WriteAll(F, Line, Name);
    if (std::fclose(F) != 0) throw EWriteError("Error writing file \"" + Name + "\"");
}

// ---- formatting --------------------------------------------------------------------------------

std::string IpFormatDateTime(const std::string& pattern, int64_t unixMilliseconds) {
    const std::time_t Secs = static_cast<std::time_t>(unixMilliseconds / 1000);
    std::tm T{};
    localtime_r(&Secs, &T);
    const int Ms = static_cast<int>(unixMilliseconds % 1000);
    std::string Out;
    size_t I = 0;
    auto Run = [&](char c) {
        size_t N = 0;
        while (I + N < pattern.size() && (pattern[I + N] | 0x20) == c) ++N;
        return N;
    };
    while (I < pattern.size()) {
        const char C = pattern[I];
        const char L = static_cast<char>(C | 0x20);
        if (C == '"' || C == '\'') {
            const size_t End = pattern.find(C, I + 1);
            const size_t Stop = End == std::string::npos ? pattern.size() : End;
            Out.append(pattern, I + 1, Stop - I - 1);
            I = Stop + 1;
            continue;
        }
        size_t N =
            (L == 'y' || L == 'm' || L == 'd' || L == 'h' || L == 'n' || L == 's' || L == 'z')
                ? Run(L)
                : 0;
        if (N == 0) {
            Out += C;
            ++I;
            continue;
        }
        // "mm" pads to two digits, "m" does not; likewise d, h, n and s.
        const auto Field = [](size_t n, int value) {
            return n >= 2 ? Printf("%02d", value) : std::to_string(value);
        };
        switch (L) {
            case 'y':
                Out += N >= 3 ? Printf("%04d", T.tm_year + 1900) : Printf("%02d", T.tm_year % 100);
                break;
            case 'm':
                Out += Field(N, T.tm_mon + 1);
                break;
            case 'd':
                Out += Field(N, T.tm_mday);
                break;
            case 'h':
                Out += Field(N, T.tm_hour);
                break;
            case 'n':
                Out += Field(N, T.tm_min);
                break;
            case 's':
                Out += Field(N, T.tm_sec);
                break;
            default:
                Out += N >= 3 ? Printf("%03d", Ms) : std::to_string(Ms);
                break;
        }
        I += N;
    }
    return Out;
}

std::string IpFormatSocketEntry(uint32_t socket, uint32_t entryType, const void* data,
                                uint32_t size) {
    const char* Unit = size == 1 ? "byte" : "bytes";
    std::string Text;
    switch (entryType) {
        case deHighRead:
            Text = Printf("Read - %u %s read from socket %u\r\n", size, Unit, socket);
            break;
        case deHighWrite:
            Text = Printf("Write - %u %s written to socket %u\r\n", size, Unit, socket);
            break;
        case deLowRecv:
            Text = Printf("[%u] Recv API: %u %s read\r\n", socket, size, Unit);
            break;
        case deLowSend:
            Text = Printf("[%u] Send API: %u %s written\r\n", socket, size, Unit);
            break;
        default:
            return "";
    }
    static const char Hex[] = "0123456789ABCDEF";
    const auto* P = static_cast<const uint8_t*>(data);
    for (uint32_t Offset = 0; Offset < size; Offset += 16) {
        std::string Line = Printf("  %6.6X: ", Offset);
        std::string Chars;
        for (uint32_t I = 0; I < 16; ++I) {
            if (I == 8) Line += ' ';
            if (Offset + I < size) {
                const uint8_t B = P[Offset + I];
                Line += Hex[B >> 4];
                Line += Hex[B & 15];
                Line += ' ';
                Chars += (B >= 32 && B <= 126) ? static_cast<char>(B) : '.';
            } else {
                Line += "   ";
                Chars += ' ';
            }
        }
        Text += Line + ": " + Chars + "\r\n";
    }
    return Text;
}

std::string IpFormatTelnetEntry(uint32_t socket, uint32_t direction, uint32_t commandAndOption) {
    const uint32_t Command = (commandAndOption >> 8) & 0xFF;
    const uint32_t Option = commandAndOption & 0xFF;
    std::string Word;
    switch (Command) {
        case 251:
            Word = "WILL";
            break;
        case 252:
            Word = "WON'T";
            break;
        case 253:
            Word = "DO";
            break;
        case 254:
            Word = "DON'T";
            break;
        default:
            Word = Printf("[%u]", Command);
    }
    const std::string Name = Option < 50 ? TelnetOptions[Option] : Printf("[%u]", Option);
    const std::string Dir = direction == 1   ? "received."
                            : direction == 2 ? "sent."
                                             : Printf("[%08X]", direction);
    return Printf("[%u] Telnet ", socket) + Word + " " + Name + " " + Dir;
}

uint32_t IpDebugEntryValue(uint32_t entryType, const void* data) {
    uint32_t value = 0;
    if (data && (entryType & 0x80000000u) == 0) std::memcpy(&value, data, sizeof value);
    return value;
}
