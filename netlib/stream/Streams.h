#pragma once
// Buffered streams of the messaging library: a paged stream over another stream, a text stream
// that reads and writes lines on top of it, and a small read-ahead byte reader.
#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "netlib/base/IpUtils.h"
#include "platform/classes/Classes.h"

// A stream in memory kept in blocks that are never moved. A stream in one piece (TMemoryStream)
// doubles as it grows, and every doubling holds the old copy and the new one at once: a message of
// 240 MB took 720 MB for a moment. The blocks grow with the stream, from kChunkSize to
// kMaxChunkSize: a small message takes one small block, a large one is kept in large blocks, whose
// allocation costs next to nothing on top (a sanitized build gives each block a red zone, which
// made a 64 KB block take 80 KB). A stream holds what it holds and at most as much again, or one
// largest block, more. Behaves as TMemoryStream does: a position past the end may be set, a write
// there fills the gap with zeros, SetSize cuts or extends with zeros.
class TIpChunkedStream : public TStream {
  public:
    int64_t Read(void* Buffer, int64_t Count) override;
    int64_t Write(const void* Buffer, int64_t Count) override;
    int64_t Seek(int64_t Offset, TSeekOrigin Origin) override;
    int64_t Size() override { return FSize; }
    void SetSize(int64_t Size) override;
    // Bytes of the blocks held.
    int64_t Capacity() const { return FCapacity; }

  private:
    struct TBlockAt {
        size_t Index;
        int64_t Offset;
        int64_t Size;
    };
    // The block that holds the byte at Position, and where in it.
    static TBlockAt BlockAt(int64_t Position);
    // Blocks for Size bytes; the new ones hold zeros.
    void Reserve(int64_t Size);

    // Every byte of the blocks past FSize is zero, so that growing never shows old bytes.
    std::vector<std::unique_ptr<char[]>> FChunks;
    int64_t FCapacity = 0;
    int64_t FSize = 0;
    int64_t FPosition = 0;
};

// Works on one page of the underlying stream at a time and writes changed pages back. The
// underlying stream sees only page-sized reads and writes; everything byte-wise happens in
// the page.
class TIpBufferedStream : public TStream {
  public:
    TIpBufferedStream();
    // Raises EIpBaseException "Stream not assigned" when stream is null.
    explicit TIpBufferedStream(TStream* stream);
    ~TIpBufferedStream() override;
    TIpBufferedStream(const TIpBufferedStream&) = delete;
    TIpBufferedStream& operator=(const TIpBufferedStream&) = delete;

    // Forgets the page and takes the data size from the underlying stream again; needed
    // whenever the underlying stream changed behind this object's back.
    virtual void ResetBuffer();

    TStream* Stream() const { return FStream; }
    // Writes a dirty page back to the old stream, then attaches the new one.
    void SetStream(TStream* stream);
    // Writes a dirty page back, then deletes the underlying stream and detaches it.
    void FreeStream();

    // The next byte; false at the end of the data.
    bool ReadChar(char& c);

    int64_t Read(void* buffer, int64_t count) override;
    int64_t Write(const void* buffer, int64_t count) override;
    int64_t Seek(int64_t offset, TSeekOrigin origin) override;
    int64_t Size() override { return FDataSize; }

  protected:
    int64_t CurrentPosition() const { return FPageOffset + FPagePos; }
    // Makes the page under the current position ready for reading; false at the end of the
    // data. On success the bytes from PageData() on up to PageAvailable() can be consumed
    // with Advance().
    bool PrepareRead();
    const char* PageData() const { return FPage.get() + FPagePos; }
    int64_t PageAvailable() const;
    void Advance(int64_t count) { FPagePos += count; }

  private:
    void LoadPage();
    void WriteBack();
    void WriteBackIfDirty();
    void NextPage();
    // Makes the page buffer hold at least bytes (at most a page); keeps what it holds.
    void ReservePage(int64_t bytes);

    int64_t FPageLength = 0;
    // Allocated on first use and grown with the data up to a page: many streams (every
    // message and MIME part has one) never hold more than a few KB, some nothing at all.
    std::unique_ptr<char[]> FPage;
    int64_t FPageCapacity = 0;
    int64_t FPageOffset = 0;
    int64_t FPagePos = 0;
    bool FDirty = false;
    int64_t FDataSize = 0;
    TStream* FStream = nullptr;
};

// Reads and writes lines with a choice of terminators, and positions itself at a line number
// through a sparse index of (line number, offset) pairs.
class TIpAnsiTextStream : public TIpBufferedStream {
  public:
    TIpAnsiTextStream();
    explicit TIpAnsiTextStream(TStream* stream);

    void ResetBuffer() override;

    bool AtEndOfStream() { return Position() >= Size(); }
    // The next line without its terminator; empty at the end of the data.
    std::string ReadLine();
    void ReadLine(std::string& text) { text = ReadLine(); }
    // Positions the stream at the start of line n (numbered from 0) and returns the number of
    // the line reached, which is smaller than n when the data ends first.
    int32_t SeekLine(int32_t lineNo);
    // The number of the last line once the end has been reached, else 2147483647.
    int32_t LastLine() const;

    void WriteLine(const std::string& text);
    void WriteLineArray(const char* buffer, int64_t length);
    void WriteLineZ(const char* text);

    TIpLineTerminator LineTerminator() const { return FLineTerminator; }
    void SetLineTerminator(TIpLineTerminator value) { FLineTerminator = value; }
    char LineTermChar() const { return FLineTermChar; }
    void SetLineTermChar(char value) { FLineTermChar = value; }
    int32_t FixedLineLength() const { return FFixedLineLength; }
    // Raises EIpBaseException for a length below 1 or above the limit.
    void SetFixedLineLength(int32_t value);

  private:
    // Consumes one line; text (when given) receives it without terminator. Returns whether the
    // line ended with a terminator (false when the data ended first).
    bool ScanLine(std::string* text);
    void ResetLineIndex();
    void AppendPair(int32_t lineNo, int64_t offset);

    char FLineTermChar = '\n';
    int32_t FFixedLineLength;
    TIpLineTerminator FLineTerminator = ltCRLF;
    int32_t FLastLineNo = -1;
    int32_t FCurLine = 0;
    int64_t FCurLinePos = 0;
    std::vector<std::pair<int32_t, int64_t>> FLineIndex;
    int32_t FLineIndexStep = 1;
};

// Reads a stream byte by byte through a small buffer.
class TIpByteStream {
  public:
    explicit TIpByteStream(TStream& stream);
    bool ReadByte(uint8_t& b);
    int64_t Position();
    int64_t Size() { return FStream.Size(); }

  private:
    TStream& FStream;
    int64_t FCount = 0;
    int64_t FPos = 0;
    std::vector<char> FBuffer;
};
