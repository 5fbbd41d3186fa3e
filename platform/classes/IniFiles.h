#pragma once
// INI files: sections of Name=Value lines, as the class library's TIniFile and TMemIniFile.
//
// Files are bytes (Windows-1252 text is kept as it is) and are written back as they were read:
// comments, blank lines, the order of sections and keys, the spacing of untouched lines and each
// line's own line end survive. Lines this class adds end like the file's first line (CR LF in a
// new file), and a new section gets a blank line before it.
//
// Reading a line (after trimming blanks and control characters at both ends):
//   empty                  a blank line
//   ";..."                 a comment
//   "[Name]"               a section header; Name is everything between the brackets
//   "Key=Value"            a value: Key is the trimmed text before the first '=', Value every
//                          byte after it up to the line end, untrimmed and never unquoted (so a
//                          value that is written reads back unchanged)
// Names of sections and keys are compared ignoring ASCII case (TMemIniFile: unless
// CaseSensitive). A name that occurs twice is one: a key reads the first value it has in the
// first section of that name, a section's keys are those of every section of that name, and
// erasing or deleting removes every occurrence.
//
// Damage. A line that is none of the above (no '=', a header without ']', a value without a
// name) and values before the first section are kept as they stand and written back, but no
// call sees them; they are listed in Problems(). Lines after a header without ']' belong to no
// section (they are not taken for the section before it). A file that cannot be read, is larger
// than ClassesLimits::kMaxIniFileSize or holds a NUL byte (not a text file) is read as far as it
// can be (up to the line before the NUL), listed in Problems(), and never written over: writing
// it raises EIniFileException naming the file and the line, until the file reads cleanly again.
//
// Files are replaced whole, through a temporary file beside them and a rename, so a crash never
// leaves half a file; a file's permission bits are kept.
#include <memory>
#include <string>
#include <vector>

#include "platform/classes/Classes.h"

// An INI file could not be written, or a name or value cannot be stored in one. Line is the line
// of the file the trouble was found in (1-based), 0 when it concerns the file as a whole.
class EIniFileException : public Exception {
  public:
    EIniFileException(const std::string& Message, std::string FileName, int Line = 0)
        : Exception(Message), FFileName(std::move(FileName)), FLine(Line) {}
    const std::string& FileName() const { return FFileName; }
    int Line() const { return FLine; }

  private:
    std::string FFileName;
    int FLine;
};

// Something loading found wrong with the file.
struct TIniFileProblem {
    int Line = 0;  // 1-based; 0 for the file as a whole
    std::string What;
};

class TIniContent;

class TCustomIniFile {
  public:
    explicit TCustomIniFile(std::string FileName);
    virtual ~TCustomIniFile();
    TCustomIniFile(const TCustomIniFile&) = delete;
    TCustomIniFile& operator=(const TCustomIniFile&) = delete;

    const std::string& FileName() const { return FFileName; }

    // The value of Ident in Section, or Default when there is none.
    virtual std::string ReadString(const std::string& Section, const std::string& Ident,
                                   const std::string& Default);
    // Sets the value (changing the existing line, or adding one at the end of the section, or a
    // new section at the end of the file). EIniFileException for a name or value the file could
    // not give back: a CR, LF or NUL anywhere, a key that is empty, holds '=', starts with ';' or
    // '[' or has blanks at either end.
    virtual void WriteString(const std::string& Section, const std::string& Ident,
                             const std::string& Value);
    // Decimal (an optional sign, blanks around it), or hexadecimal as "$1F" or "0x1F" (eight
    // digits at most, taken as a 32-bit pattern); anything else, or a value outside 32 bits, gives
    // Default.
    int ReadInteger(const std::string& Section, const std::string& Ident, int Default);
    void WriteInteger(const std::string& Section, const std::string& Ident, int Value);
    // Any integer but 0 reads as true; written as "1" or "0".
    bool ReadBool(const std::string& Section, const std::string& Ident, bool Default);
    void WriteBool(const std::string& Section, const std::string& Ident, bool Value);

    // The keys of Section, each once, in file order (Strings is cleared first).
    virtual void ReadSection(const std::string& Section, TStringList& Strings);
    // The names of the sections, each once, in file order.
    virtual void ReadSections(TStringList& Strings);
    // "Key=Value" for each key of Section, as ReadSection lists them.
    virtual void ReadSectionValues(const std::string& Section, TStringList& Strings);
    // Whether the file has a header of that name (an empty section exists too).
    virtual bool SectionExists(const std::string& Section);
    virtual bool ValueExists(const std::string& Section, const std::string& Ident);
    // Removes the section's header and every line up to the next header.
    virtual void EraseSection(const std::string& Section);
    virtual void DeleteKey(const std::string& Section, const std::string& Ident);
    // Writes the contents to FileName (see the top of this file).
    virtual void UpdateFile() = 0;

    // What loading the file found wrong (see the top of this file); empty for a clean file.
    const std::vector<TIniFileProblem>& Problems() const;

  protected:
    // Reads the file into the contents (empty when it does not exist).
    void Load();
    // Writes the contents to FileName.
    void Save();
    // Makes the contents current before a call reads or changes them.
    virtual void Refresh() {}
    // Called after every call that changed the contents (not after one that changed nothing).
    virtual void Changed() {}

    std::string FFileName;
    std::unique_ptr<TIniContent> FContent;
};

// The whole file in memory: read when the object is made, written by UpdateFile.
class TMemIniFile : public TCustomIniFile {
  public:
    explicit TMemIniFile(const std::string& FileName);

    void UpdateFile() override;
    // Empties the contents (the file is untouched until UpdateFile).
    void Clear();
    // The lines of the contents, as UpdateFile would write them, without their line ends.
    void GetStrings(TStringList& List);
    // Replaces the contents by these lines. EIniFileException for a line holding a NUL byte.
    void SetStrings(const TStringList& List);
    // Takes another file name; with Reload the contents are read from that file.
    void Rename(const std::string& FileName, bool Reload);
    bool CaseSensitive() const;
    void SetCaseSensitive(bool Value);
};

// Every call works on the file itself: it is read again when it changed on disk since it was
// last read, and every change is written to it at once.
class TIniFile : public TCustomIniFile {
  public:
    explicit TIniFile(const std::string& FileName);

    // Writes the contents again (every change already did).
    void UpdateFile() override;

  protected:
    void Refresh() override;
    void Changed() override;

  private:
    // The file's identity, size and times when it was last read or written; empty: read again.
    std::string FStamp;
};
