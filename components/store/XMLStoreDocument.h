#pragma once
// The text of the form-state file: its lines, and the elements of the block between the lines
// holding "<FORMS>" and "</FORMS>", read line by line and written back in place. Lines outside the
// block are kept as they are. No file access here; the store reads and writes the lines.
//
// A block reads:
//   <FORMS>
//     <TFormMain>
//       <Flags value="0"/>
//       <Empty>
//       </Empty>
//     </TFormMain>
//   </FORMS>
// One tag per line. A line holding "value=" (or "value =") is an item; its value is the text
// between the first and the last double quote of the line (single quotes when it has no double
// quote), taken as it is: values are never escaped. A line holding "</" closes the branch above
// it; any other line opens a branch. Element names are matched without regard to case; a path
// names nested elements with "." between the names.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "components/text/OvcStrings.h"

// The file cannot be read (SCInvalidXMLFile, SCBadTerminatedElement), or a value cannot be stored
// (ErrorCode 0).
class EXMLStoreError : public EOvcException {
  public:
    EXMLStoreError(std::string Message, int32_t Code)
        : EOvcException(std::move(Message)), ErrorCode(Code) {}
    int32_t ErrorCode;
};

struct TElement {
    // A closing tag's name is "/" followed by the name it closes.
    std::string Name;
    // The blanks in front of its tag.
    std::string Indent;
    // Absent for branches and closing tags (and for an item line without quotes).
    std::optional<std::string> Value;
    // A branch: its content and its closing element follow it.
    bool HasClosing = false;

    bool IsClosing() const { return !Name.empty() && Name[0] == '/'; }
};

class TXMLStoreDocument {
  public:
    // Takes the lines of the file (none when there is no file) and reads the block. A file without
    // a block gets the four lines of a new file in front of what it held (Created() is then true).
    // Raises EXMLStoreError when the block's tags do not pair up; the document is empty then.
    void Load(std::vector<std::string> Lines);
    // Forgets the lines and elements.
    void Clear();
    bool Created() const { return FCreated; }

    // The lines of the file: those outside the block unchanged, the block written from the
    // elements.
    std::vector<std::string> Save() const;

    // The item's value (empty for a branch), or Default when the section or the item is missing.
    std::string Read(const std::string& Section, const std::string& Item,
                     const std::string& Default) const;
    // Sets the item's value, adding the section, the branches of the path and the item where
    // they are missing. Raises EXMLStoreError for a name that cannot stand in a tag or a value
    // holding a line break.
    void Write(const std::string& Section, const std::string& Item, const std::string& Value);
    // Removes the section with everything in it.
    void EraseSection(const std::string& Section);

    const std::vector<TElement>& Elements() const { return FElements; }

    // The element the path names, searched from Start on until Start's closing element.
    std::optional<size_t> Find(const std::string& Path, size_t Start) const;

  private:
    bool FindBlock();
    void Parse();
    std::optional<size_t> ParseLevel(size_t Open, int Depth);
    std::optional<size_t> FindName(const std::string& Name, size_t Start) const;
    std::optional<size_t> ClosingOf(size_t Branch) const;
    void InsertBranch(size_t At, const std::string& Name, const std::string& Indent);
    size_t AddSection(const std::string& Section);
    std::string LineOf(const TElement& Element) const;

    std::vector<std::string> FLines;
    std::vector<TElement> FElements;
    size_t FFirstLine = 0;
    size_t FLastLine = 0;
    bool FCreated = false;
};
