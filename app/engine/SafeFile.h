#pragma once
// Writing files the point program or a later run reads: through a buffer, with every failure
// (full disk, no permission, a damaged file system) raised as EWriteError that names the file and
// the system's reason, and never leaving a half-written file under a name anyone reads.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

// A new file written front to back through a buffer. Close reports what write-back found (a
// file system may report a full disk only then). The destructor closes without reporting:
// a caller that wants the file must call Close. The file is locked (flock) until it is closed:
// it is being written.
class TBufferedFile {
  public:
    // Creates (or truncates) the file; raises EWriteError when that fails.
    explicit TBufferedFile(const std::string& fileName);
    ~TBufferedFile();
    TBufferedFile(const TBufferedFile&) = delete;
    TBufferedFile& operator=(const TBufferedFile&) = delete;

    void Write(std::string_view bytes);
    // Bytes written so far, buffered ones included.
    int64_t Size() const { return FSize; }
    void Flush();
    void Close();
    const std::string& FileName() const { return FFileName; }

  private:
    [[noreturn]] void Fail(int error) const;
    void WriteOut(const char* data, size_t count);

    std::string FFileName;
    int FHandle = -1;
    std::string FBuffer;
    int64_t FSize = 0;
};

// Writes bytes as fileName through "<fileName>.tmp" and a rename that replaces the old file, so
// that a reader (or a run killed in the middle) finds either the old file or the new one whole.
// A failure removes the .tmp file, keeps the old file and raises EWriteError naming the file and
// the reason.
void WriteFileAtomic(const std::string& fileName, std::string_view bytes);

// "Die Datei <name> konnte nicht geschrieben werden: <reason>", the text of every write failure.
std::string WriteFailureText(const std::string& fileName, int error);
