#pragma once
// Streams and string lists of the class library stand-in. Strings are byte strings (std::string);
// nothing here transcodes.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/classes/Exception.h"

enum TSeekOrigin { soBeginning = 0, soCurrent = 1, soEnd = 2 };

// Abstract byte stream with a position, as the class library's TStream.
class TStream {
  public:
    virtual ~TStream() = default;
    // Reads up to count bytes; returns how many were read (0 at the end).
    virtual int64_t Read(void* buffer, int64_t count) = 0;
    // Writes up to count bytes; returns how many were written.
    virtual int64_t Write(const void* buffer, int64_t count) = 0;
    // Moves the position; returns the new position.
    virtual int64_t Seek(int64_t offset, TSeekOrigin origin) = 0;

    int64_t Position() { return Seek(0, soCurrent); }
    void SetPosition(int64_t position) { Seek(position, soBeginning); }
    virtual int64_t Size();
    virtual void SetSize(int64_t size);

    // Read or write exactly count bytes, raising EReadError / EWriteError otherwise.
    void ReadBuffer(void* buffer, int64_t count);
    void WriteBuffer(const void* buffer, int64_t count);
    void WriteString(const std::string& text) { WriteBuffer(text.data(), int64_t(text.size())); }
    // Copies count bytes from source (count 0: the whole source from its start); returns the count.
    int64_t CopyFrom(TStream& source, int64_t count);
};

// A growable stream in memory.
class TMemoryStream : public TStream {
  public:
    int64_t Read(void* buffer, int64_t count) override;
    int64_t Write(const void* buffer, int64_t count) override;
    int64_t Seek(int64_t offset, TSeekOrigin origin) override;
    int64_t Size() override { return int64_t(FData.size()); }
    void SetSize(int64_t size) override;
    void Clear();
    const char* Memory() const { return FData.data(); }
    char* Memory() { return FData.data(); }
    void LoadFromStream(TStream& source);
    void LoadFromFile(const std::string& fileName);
    void SaveToStream(TStream& target);
    void SaveToFile(const std::string& fileName);

  private:
    std::string FData;
    int64_t FPosition = 0;
};

// A memory stream over a string, with the data readable as a string.
class TStringStream : public TMemoryStream {
  public:
    explicit TStringStream(const std::string& data = std::string());
    std::string DataString() const {
        return std::string(Memory(), size_t(const_cast<TStringStream*>(this)->Size()));
    }
};

// File open modes, as the class library's fmXXX constants.
enum : uint32_t {
    fmOpenRead = 0x0000,
    fmOpenWrite = 0x0001,
    fmOpenReadWrite = 0x0002,
    fmShareDenyWrite = 0x0020,
    fmShareDenyNone = 0x0040,
    fmCreate = 0xFF00,
};

// A stream over a file. fmCreate creates or truncates the file; the others open an existing one
// (EFOpenError when that fails). Paths go through the file layer (separators, case lookup).
class TFileStream : public TStream {
  public:
    TFileStream(const std::string& fileName, uint32_t mode);
    ~TFileStream() override;
    TFileStream(const TFileStream&) = delete;
    TFileStream& operator=(const TFileStream&) = delete;
    int64_t Read(void* buffer, int64_t count) override;
    int64_t Write(const void* buffer, int64_t count) override;
    int64_t Seek(int64_t offset, TSeekOrigin origin) override;
    void SetSize(int64_t size) override;
    const std::string& FileName() const { return FFileName; }

  private:
    std::string FFileName;
    int FHandle = -1;
};

enum TDuplicates { dupIgnore, dupAccept, dupError };

// A list of byte strings, each with an object pointer, as the class library's TStrings: the
// base of string lists and of the lists that controls keep their items in (a list box's items
// live in its window). What a kind of list stores is its own (Count, Get, Insert, Delete, Clear
// and the object of a line); everything else is written once here on top of those.
// Text is read with CR LF, LF or CR line ends and written with CR LF. Comparisons ignore ASCII
// case unless a list says otherwise (CompareStrings).
class TStrings {
  public:
    TStrings() = default;
    virtual ~TStrings() = default;

    virtual int Count() const = 0;
    // The line at index; EStringListError outside 0..Count-1.
    virtual std::string Get(int index) const = 0;
    // Replaces a line, keeping its object (the base deletes and inserts).
    virtual void Put(int index, const std::string& value);
    // The object of a line (none in lists that keep none).
    virtual void* GetObject(int index) const;
    virtual void PutObject(int index, void* object);
    virtual void Insert(int index, const std::string& value) = 0;
    virtual void InsertObject(int index, const std::string& value, void* object);
    virtual void Delete(int index) = 0;
    virtual void Clear() = 0;
    // Appends (a sorted list puts it in its place); returns the index.
    virtual int Add(const std::string& value);
    virtual int AddObject(const std::string& value, void* object);
    virtual int IndexOf(const std::string& value) const;
    virtual void Exchange(int a, int b);
    void Move(int from, int to);
    int IndexOfObject(void* object) const;
    void AddStrings(const TStrings& other);
    // Takes over the lines and objects of source.
    void Assign(const TStrings& source);
    bool Equals(const TStrings& other) const;

    // Changes between BeginUpdate and EndUpdate may be shown at once at the end (a control stops
    // drawing meanwhile).
    void BeginUpdate();
    void EndUpdate();
    int UpdateCount() const { return FUpdateCount; }

    // name=value lines
    std::string Names(int index) const;
    std::string Values(const std::string& name) const;
    void SetValue(const std::string& name, const std::string& value);
    int IndexOfName(const std::string& name) const;

    // The lines joined with CR LF (each line ends with one); SetText splits at CR LF, LF or CR.
    std::string Text() const;
    virtual void SetText(const std::string& text);
    // Comma-separated, with quotes where a line holds blanks, commas or quotes; reading takes
    // quoted items (a doubled quote is one) and unquoted ones up to a comma or blank.
    std::string CommaText() const;
    void SetCommaText(const std::string& text);

    void LoadFromFile(const std::string& fileName);
    void SaveToFile(const std::string& fileName) const;
    void LoadFromStream(TStream& stream);
    void SaveToStream(TStream& stream) const;

  protected:
    // Lists that hold their lines themselves may be copied as values (a string list); the lists
    // of controls are not.
    TStrings(const TStrings&) = default;
    TStrings& operator=(const TStrings&) = default;
    TStrings(TStrings&&) = default;
    TStrings& operator=(TStrings&&) = default;
    // Told when the first BeginUpdate starts and the last EndUpdate ends.
    virtual void SetUpdateState(bool /*updating*/) {}
    virtual int CompareStrings(const std::string& a, const std::string& b) const;
    void CheckIndex(int index) const;

  private:
    int FUpdateCount = 0;
};

// The string list: lines and objects in memory, with sorting and duplicates handling.
class TStringList : public TStrings {
  public:
    TStringList() = default;

    int Count() const override { return int(FItems.size()); }
    const std::string& Strings(int index) const;
    const std::string& operator[](int index) const { return Strings(index); }
    std::string Get(int index) const override { return Strings(index); }
    void Put(int index, const std::string& value) override { SetString(index, value); }
    void SetString(int index, const std::string& value);
    void* Objects(int index) const { return GetObject(index); }
    void SetObject(int index, void* object) { PutObject(index, object); }
    void* GetObject(int index) const override;
    void PutObject(int index, void* object) override;

    using TStrings::Add;
    int AddObject(const std::string& value, void* object) override;
    void Insert(int index, const std::string& value) override;
    void InsertObject(int index, const std::string& value, void* object) override;
    void Delete(int index) override;
    void Clear() override { FItems.clear(); }
    void Exchange(int a, int b) override;
    int IndexOf(const std::string& value) const override;

    // Sorting: a sorted list keeps itself in order and Add inserts at the right place.
    bool Sorted() const { return FSorted; }
    void SetSorted(bool sorted);
    void Sort();
    // Finds value in a sorted list: true and its index, or false and the insertion index.
    bool Find(const std::string& value, int& index) const;
    TDuplicates Duplicates() const { return FDuplicates; }
    void SetDuplicates(TDuplicates d) { FDuplicates = d; }
    // Comparisons ignore ASCII case unless CaseSensitive is set (the class library's default).
    bool CaseSensitive() const { return FCaseSensitive; }
    void SetCaseSensitive(bool value);

  protected:
    int CompareStrings(const std::string& a, const std::string& b) const override;

  private:
    struct Item {
        std::string Text;
        void* Object = nullptr;
    };
    std::vector<Item> FItems;
    bool FSorted = false;
    bool FCaseSensitive = false;
    TDuplicates FDuplicates = dupIgnore;
};
