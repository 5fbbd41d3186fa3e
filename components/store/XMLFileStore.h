#pragma once
// The store of every window's placement: the text file kestro.xml (see XMLStoreDocument.h for
// its format). Each open reads the file; each close rewrites it once anything was written since
// the store was created, keeping the lines outside the block as they were.
#include <string>

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
    // Raises EWriteError when the file cannot be written; it then keeps what it held.
    void DoClose() override;

  private:
    std::string FXMLFileName;
    bool FUseExeDir = false;
    bool FModified = false;
    TXMLStoreDocument FDocument;
};
