#pragma once
// The store of every window's placement: the text file kestro.xml (see XMLStoreDocument.h for
// its format). Each open reads the file; each close rewrites it once anything was written since
// the store was created, keeping the lines outside the block as they were.
//
// Every window of every running copy writes the one file. A close therefore takes the file's
// lock, reads the file again and makes this open's changes over what it holds now, so that what
// another process wrote since this one opened is kept; the file is replaced whole, through a
// temporary file of the process's own (FileReplacement.h).
#include <string>
#include <vector>

#include "components/store/OvcStore.h"
#include "components/store/XMLStoreDocument.h"

class TO32XMLFileStore : public TOvcAbstractStore {
  public:
    using TOvcAbstractStore::TOvcAbstractStore;

    // Empty: the program file's name with the extension ".XML"; a name without "." gets ".XML".
    const std::string& XMLFileName() const { return FXMLFileName; }
    void SetXMLFileName(const std::string& Value) { FXMLFileName = Value; }
    // True: the file lies in the program's directory; else the name is taken as it is (relative
    // to the working directory).
    bool UseExeDir() const { return FUseExeDir; }
    void SetUseExeDir(bool Value) { FUseExeDir = Value; }

    // The path the store reads and writes.
    std::string FileName() const;
    bool Modified() const { return FModified; }

    // Each opens the store around its work when it is not open yet.
    std::string ReadString(const std::string& Section, const std::string& Item,
                           const std::string& Default) override;
    void WriteString(const std::string& Section, const std::string& Item,
                     const std::string& Value) override;
    void EraseSection(const std::string& Section) override;

  protected:
    // Raises EXMLStoreError when the file's block cannot be read, EFOpenError / EReadError when
    // the file cannot be read at all.
    void DoOpen() override;
    // Raises EWriteError when the file cannot be written, EXMLStoreError when what it holds by
    // now cannot be read; it then keeps what it held.
    void DoClose() override;

  private:
    // A write or an erase made while the store is open, kept to be made again at the close.
    struct TChange {
        bool Erase = false;
        std::string Section;
        std::string Item;
        std::string Value;
    };

    // The file's lines with the changes made over them.
    static std::vector<std::string> Merged(std::vector<std::string> Lines,
                                           const std::vector<TChange>& Changes);

    std::string FXMLFileName;
    bool FUseExeDir = false;
    bool FModified = false;
    TXMLStoreDocument FDocument;
    std::vector<TChange> FChanges;
};
