#include "netlib/stream/Streams.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <limits>

#include "netlib/base/IpBase.h"
#include "netlib/stream/Limits.h"

using namespace StreamLimits;

// --- TIpChunkedStream ----------------------------------------------------------------------

TIpChunkedStream::TBlockAt TIpChunkedStream::BlockAt(int64_t Position) {
    if (Position < kChunkSize) return {0, Position, kChunkSize};
    // Up to the largest size each block starts where the bytes before it double: block i (i > 0)
    // starts at kChunkSize << (i - 1) and is as large as that.
    if (Position < kMaxChunkSize) {
        const int Index = std::bit_width(uint64_t(Position / kChunkSize));
        const int64_t Start = int64_t(kChunkSize) << (Index - 1);
        return {size_t(Index), Position - Start, Start};
    }
    constexpr int kGrowing = std::bit_width(uint64_t(kMaxChunkSize / kChunkSize));
    return {size_t(kGrowing + (Position - kMaxChunkSize) / kMaxChunkSize), Position % kMaxChunkSize,
            kMaxChunkSize};
}

int64_t TIpChunkedStream::Read(void* Buffer, int64_t Count) {
    if (Count <= 0 || FPosition >= FSize) return 0;
    const int64_t Total = std::min(Count, FSize - FPosition);
    auto* Out = static_cast<char*>(Buffer);
    for (int64_t Done = 0; Done < Total;) {
        const TBlockAt Block = BlockAt(FPosition + Done);
        const int64_t Part = std::min(Total - Done, Block.Size - Block.Offset);
        std::memcpy(Out + Done, FChunks[Block.Index].get() + Block.Offset, size_t(Part));
        Done += Part;
    }
    FPosition += Total;
    return Total;
}

int64_t TIpChunkedStream::Write(const void* Buffer, int64_t Count) {
    if (Count <= 0) return 0;
    if (FPosition > std::numeric_limits<int64_t>::max() - Count)
        throw EWriteError("Stream too large");
    const int64_t End = FPosition + Count;
    if (End > FSize) {
        Reserve(End);
        FSize = End;
    }
    const auto* In = static_cast<const char*>(Buffer);
    for (int64_t Done = 0; Done < Count;) {
        const TBlockAt Block = BlockAt(FPosition + Done);
        const int64_t Part = std::min(Count - Done, Block.Size - Block.Offset);
        std::memcpy(FChunks[Block.Index].get() + Block.Offset, In + Done, size_t(Part));
        Done += Part;
    }
    FPosition = End;
    return Count;
}

int64_t TIpChunkedStream::Seek(int64_t Offset, TSeekOrigin Origin) {
    const int64_t Base = Origin == soBeginning ? 0 : Origin == soCurrent ? FPosition : FSize;
    FPosition = std::max<int64_t>(0, Base + Offset);
    return FPosition;
}

void TIpChunkedStream::SetSize(int64_t Size) {
    if (Size < 0) throw EStreamError("Negative stream size");
    if (Size > FSize) {
        Reserve(Size);
    } else if (Size == 0) {
        FChunks.clear();
        FCapacity = 0;
    } else {
        const TBlockAt Last = BlockAt(Size - 1);
        while (FChunks.size() > Last.Index + 1) {
            FCapacity -= BlockAt(FCapacity - 1).Size;
            FChunks.pop_back();
        }
        std::memset(FChunks.back().get() + Last.Offset + 1, 0, size_t(Last.Size - Last.Offset - 1));
    }
    FSize = Size;
    if (FPosition > Size) FPosition = Size;
}

void TIpChunkedStream::Reserve(int64_t Size) {
    while (FCapacity < Size) {
        const int64_t Block = BlockAt(FCapacity).Size;
        FChunks.push_back(std::make_unique<char[]>(size_t(Block)));
        FCapacity += Block;
    }
}

// --- TIpBufferedStream ---------------------------------------------------------------------

TIpBufferedStream::TIpBufferedStream() {
    TIpBufferedStream::ResetBuffer();
}

TIpBufferedStream::TIpBufferedStream(TStream* stream) {
    if (!stream) throw EIpBaseException("Stream not assigned");
    FStream = stream;
    TIpBufferedStream::ResetBuffer();
}

TIpBufferedStream::~TIpBufferedStream() {
    // A destructor must not throw; a page that cannot be written back is lost with the stream
    // it belonged to, which is what the owner asked for by destroying it.
    try {
        if (FStream) WriteBackIfDirty();
    } catch (...) {
    }
}

void TIpBufferedStream::ResetBuffer() {
    FDataSize = FStream ? FStream->Size() : 0;
    FPageLength = 0;
    FPageOffset = 0;
    FPagePos = 0;
    FDirty = false;
}

void TIpBufferedStream::SetStream(TStream* stream) {
    if (stream == FStream) return;
    if (FStream) WriteBackIfDirty();
    FStream = stream;
    ResetBuffer();
}

void TIpBufferedStream::FreeStream() {
    if (!FStream) return;
    WriteBackIfDirty();
    TStream* old = FStream;
    FStream = nullptr;
    delete old;
    ResetBuffer();
}

void TIpBufferedStream::ReservePage(int64_t bytes) {
    if (bytes <= FPageCapacity) return;
    // Doubling keeps the copies few while a stream grows line by line.
    int64_t capacity = std::max<int64_t>(FPageCapacity * 2, kMinPageAllocation);
    capacity = std::min<int64_t>(std::max(capacity, bytes), kPageSize);
    std::unique_ptr<char[]> page(new char[size_t(capacity)]);
    if (FPageLength > 0) std::memcpy(page.get(), FPage.get(), size_t(FPageLength));
    FPage = std::move(page);
    FPageCapacity = capacity;
}

void TIpBufferedStream::LoadPage() {
    if (FStream->Seek(FPageOffset, soBeginning) != FPageOffset)
        throw EIpBaseException("No seek for read");
    // Only the data that belongs to this page is read; bytes of the underlying stream past
    // the data size are not part of the data and stay where they are.
    const int64_t want = std::clamp<int64_t>(FDataSize - FPageOffset, 0, kPageSize);
    FPageLength = 0;
    ReservePage(want);
    int64_t got = 0;
    while (got < want) {
        int64_t n = FStream->Read(FPage.get() + got, want - got);
        if (n <= 0) break;
        got += n;
    }
    FPageLength = got;
}

void TIpBufferedStream::WriteBack() {
    if (FStream->Seek(FPageOffset, soBeginning) != FPageOffset)
        throw EIpBaseException("No seek for write");
    if (FStream->Write(FPage.get(), FPageLength) < FPageLength)
        throw EIpBaseException("Cannot write to stream");
    FDirty = false;
}

void TIpBufferedStream::WriteBackIfDirty() {
    if (FDirty) WriteBack();
}

void TIpBufferedStream::NextPage() {
    WriteBackIfDirty();
    FPagePos = 0;
    FPageOffset += kPageSize;
    FPageLength = 0;
    if (FPageOffset < FDataSize) LoadPage();
}

int64_t TIpBufferedStream::PageAvailable() const {
    int64_t end = std::min<int64_t>(FPageLength, FDataSize - FPageOffset);
    return std::max<int64_t>(0, end - FPagePos);
}

bool TIpBufferedStream::PrepareRead() {
    if (!FStream || CurrentPosition() >= FDataSize) return false;
    if (FPagePos >= kPageSize) NextPage();
    if (FPageLength == 0) LoadPage();
    // An underlying stream shorter than it claimed to be ends the data here.
    return PageAvailable() > 0;
}

bool TIpBufferedStream::ReadChar(char& c) {
    if (!PrepareRead()) return false;
    c = FPage[size_t(FPagePos++)];
    return true;
}

int64_t TIpBufferedStream::Read(void* buffer, int64_t count) {
    if (!FStream) return 0;
    int64_t n = std::min<int64_t>(count, FDataSize - CurrentPosition());
    if (n < 1) return n < 0 ? 0 : n;
    auto* out = static_cast<char*>(buffer);
    int64_t done = 0;
    while (done < n && PrepareRead()) {
        int64_t chunk = std::min<int64_t>(n - done, PageAvailable());
        std::memcpy(out + done, PageData(), size_t(chunk));
        FPagePos += chunk;
        done += chunk;
    }
    return done;
}

int64_t TIpBufferedStream::Write(const void* buffer, int64_t count) {
    if (!FStream) return 0;
    if (count < 1) return count < 0 ? 0 : count;
    if (CurrentPosition() > std::numeric_limits<int64_t>::max() - count)
        throw EIpBaseException("Cannot write to stream");
    const auto* in = static_cast<const char*>(buffer);
    int64_t done = 0;
    while (done < count) {
        if (FPagePos >= kPageSize) {
            NextPage();
        } else if (FPageLength == 0 && FPageOffset < FDataSize) {
            // The page holds earlier data even when the position is at its end: load it, or
            // the write-back would replace those bytes with whatever the buffer held.
            LoadPage();
        }
        int64_t chunk = std::min<int64_t>(count - done, kPageSize - FPagePos);
        ReservePage(FPagePos + chunk);
        // An underlying stream shorter than it claimed leaves a gap before the position; it is
        // written back as zeros, never as whatever the buffer held.
        if (FPagePos > FPageLength)
            std::memset(FPage.get() + FPageLength, 0, size_t(FPagePos - FPageLength));
        std::memcpy(FPage.get() + FPagePos, in + done, size_t(chunk));
        FDirty = true;
        FPagePos += chunk;
        done += chunk;
        if (FPagePos > FPageLength) {
            FPageLength = FPagePos;
            FDataSize = std::max(FDataSize, FPageOffset + FPagePos);
        }
    }
    return count;
}

int64_t TIpBufferedStream::Seek(int64_t offset, TSeekOrigin origin) {
    if (!FStream) return 0;
    if (offset == 0 && origin == soCurrent) return CurrentPosition();
    int64_t target;
    switch (origin) {
        case soBeginning:
            target = offset;
            break;
        case soCurrent:
            target = CurrentPosition() + offset;
            break;
        case soEnd:
            target = FDataSize + offset;
            break;
        default:
            throw EIpBaseException("Invalid seek origin");
    }
    target = std::clamp<int64_t>(target, 0, FDataSize);
    int64_t page = target - target % kPageSize;
    if (page != FPageOffset) {
        WriteBackIfDirty();
        FPageOffset = page;
        FPageLength = 0;
    }
    FPagePos = target - FPageOffset;
    return target;
}

// --- TIpAnsiTextStream ---------------------------------------------------------------------

TIpAnsiTextStream::TIpAnsiTextStream() : FFixedLineLength(kDefaultFixedLineLength) {
    ResetLineIndex();
}

TIpAnsiTextStream::TIpAnsiTextStream(TStream* stream)
    : TIpBufferedStream(stream), FFixedLineLength(kDefaultFixedLineLength) {
    ResetLineIndex();
}

void TIpAnsiTextStream::ResetBuffer() {
    TIpBufferedStream::ResetBuffer();
    ResetLineIndex();
}

void TIpAnsiTextStream::ResetLineIndex() {
    // The index grows as lines are sought (AppendPair keeps it within kLineIndexPairs); most
    // streams are never sought by line at all.
    FLineIndex.clear();
    FLineIndex.emplace_back(0, 0);
    FLineIndexStep = 1;
    FLastLineNo = -1;
    FCurLine = 0;
    FCurLinePos = 0;
}

void TIpAnsiTextStream::SetFixedLineLength(int32_t value) {
    if (value < 1 || value > kMaxFixedLineLength)
        throw EIpBaseException("Invalid fixed line length");
    FFixedLineLength = value;
}

bool TIpAnsiTextStream::ScanLine(std::string* text) {
    if (FLineTerminator == ltNone) {
        int64_t left = FFixedLineLength;
        while (left > 0 && PrepareRead()) {
            int64_t chunk = std::min(left, PageAvailable());
            if (text) text->append(PageData(), size_t(chunk));
            Advance(chunk);
            left -= chunk;
        }
        return left == 0;
    }
    char term;
    switch (FLineTerminator) {
        case ltCR:
            term = '\r';
            break;
        case ltLF:
        case ltCRLF:
            term = '\n';
            break;
        case ltOther:
            term = FLineTermChar;
            break;
        default:
            throw EIpBaseException("Invalid line terminator");
    }
    while (PrepareRead()) {
        const char* p = PageData();
        int64_t avail = PageAvailable();
        const void* hit = std::memchr(p, term, size_t(avail));
        if (hit) {
            int64_t len = static_cast<const char*>(hit) - p;
            if (text) {
                text->append(p, size_t(len));
                // Under CR LF a line feed alone also ends the line; a carriage return alone
                // stays part of it.
                if (FLineTerminator == ltCRLF && !text->empty() && text->back() == '\r')
                    text->pop_back();
            }
            Advance(len + 1);
            return true;
        }
        if (text) text->append(p, size_t(avail));
        Advance(avail);
    }
    return false;
}

std::string TIpAnsiTextStream::ReadLine() {
    std::string text;
    if (!Stream()) return text;
    ScanLine(&text);
    if (FLineTerminator == ltNone && int64_t(text.size()) < FFixedLineLength)
        text.resize(size_t(FFixedLineLength), ' ');
    return text;
}

void TIpAnsiTextStream::WriteLineArray(const char* buffer, int64_t length) {
    if (!Stream()) return;
    if (FLineTerminator == ltNone) {
        std::string line(buffer,
                         size_t(std::min<int64_t>(std::max<int64_t>(length, 0), FFixedLineLength)));
        line.resize(size_t(FFixedLineLength), ' ');
        WriteBuffer(line.data(), int64_t(line.size()));
        return;
    }
    const char* term;
    switch (FLineTerminator) {
        case ltCR:
            term = "\r";
            break;
        case ltLF:
            term = "\n";
            break;
        case ltCRLF:
            term = "\r\n";
            break;
        case ltOther:
            term = &FLineTermChar;
            break;
        default:
            throw EIpBaseException("Invalid line terminator");
    }
    if (length > 0) WriteBuffer(buffer, length);
    WriteBuffer(term, FLineTerminator == ltCRLF ? 2 : 1);
}

void TIpAnsiTextStream::WriteLine(const std::string& text) {
    WriteLineArray(text.data(), int64_t(text.size()));
}

void TIpAnsiTextStream::WriteLineZ(const char* text) {
    WriteLineArray(text, text ? int64_t(std::strlen(text)) : 0);
}

int32_t TIpAnsiTextStream::LastLine() const {
    return FLastLineNo >= 0 ? FLastLineNo : std::numeric_limits<int32_t>::max();
}

void TIpAnsiTextStream::AppendPair(int32_t lineNo, int64_t offset) {
    if (int32_t(FLineIndex.size()) >= kLineIndexPairs) {
        // Keep every other pair and double the step, so the index covers twice as many lines
        // in the same space.
        size_t kept = 0;
        for (size_t i = 0; i < FLineIndex.size(); i += 2) FLineIndex[kept++] = FLineIndex[i];
        FLineIndex.resize(kept);
        FLineIndexStep *= 2;
    }
    FLineIndex.emplace_back(lineNo, offset);
}

int32_t TIpAnsiTextStream::SeekLine(int32_t lineNo) {
    if (!Stream()) return 0;
    if (lineNo == FCurLine) {
        Seek(FCurLinePos, soBeginning);
        return FCurLine;
    }
    if (lineNo <= 0) {
        Seek(0, soBeginning);
        FCurLine = 0;
        FCurLinePos = 0;
        return 0;
    }
    if (FLastLineNo >= 0 && FLastLineNo < lineNo) {
        FCurLinePos = Seek(0, soEnd);
        FCurLine = FLastLineNo;
        return FLastLineNo;
    }

    // Extend the index in groups of LineIndexStep lines up to the wanted line.
    if (FLineIndex.back().first < lineNo && FLastLineNo < 0) {
        int32_t line = FLineIndex.back().first;
        Seek(FLineIndex.back().second, soBeginning);
        while (line < lineNo && FLastLineNo < 0) {
            bool atEnd = false;
            for (int32_t i = 0; i < FLineIndexStep; ++i) {
                if (AtEndOfStream() || !ScanLine(nullptr)) {
                    atEnd = true;
                    break;
                }
                ++line;
            }
            if (atEnd) {
                FLastLineNo = line;
                break;
            }
            AppendPair(line, Position());
        }
    }

    // Nearest pair at or below the wanted line.
    auto it = std::upper_bound(FLineIndex.begin(), FLineIndex.end(), lineNo,
                               [](int32_t n, const auto& pair) { return n < pair.first; });
    --it;
    int32_t line = it->first;
    Seek(it->second, soBeginning);
    while (line < lineNo) {
        // A last line without terminator is not counted: the line reached is then the one
        // after the last terminator, and the position is the end of the data.
        if (AtEndOfStream() || !ScanLine(nullptr)) break;
        ++line;
    }
    if (line < lineNo) FLastLineNo = line;
    FCurLine = line;
    FCurLinePos = Position();
    return line;
}

// --- TIpByteStream -------------------------------------------------------------------------

TIpByteStream::TIpByteStream(TStream& stream)
    : FStream(stream), FBuffer(size_t(kByteStreamBufferSize)) {}

bool TIpByteStream::ReadByte(uint8_t& b) {
    if (FPos >= FCount) {
        FCount = std::max<int64_t>(0, FStream.Read(FBuffer.data(), kByteStreamBufferSize));
        FPos = 0;
        if (FCount == 0) return false;
    }
    b = uint8_t(FBuffer[size_t(FPos++)]);
    return true;
}

int64_t TIpByteStream::Position() {
    return FStream.Position() - (FCount - FPos);
}
