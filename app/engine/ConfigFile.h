#pragma once
// A plain key=value text file that the set-up wizard and the multi-start chooser use to read and
// patch the point program's files. Lines keep their text; only the value of an existing key is
// ever replaced.
#include <memory>
#include <string>

#include "platform/classes/Classes.h"

class TConfigFile {
  public:
    TConfigFile() = default;
    static std::unique_ptr<TConfigFile> CreateFromFile(const std::string& fileName);

    std::string FileName;
    TStringList Lines;

    // Loads Lines (CR LF or LF line ends) and remembers the name.
    void LoadFromFile(const std::string& fileName);
    // Writes Lines with CR LF line ends; FileName stays as it is.
    void SaveToFile(const std::string& fileName) const;
    void Save() const { SaveToFile(FileName); }

    // The value (untrimmed) of the first line whose lower-cased key equals key; key is compared
    // as given, so pass it in lower case. No such line gives an empty text.
    std::string ReadValue(const std::string& key) const;
    // Replaces the first line whose key matches key ignoring case by key=value. A key no line
    // holds is not added: the point program's files get no lines they did not have.
    void WriteValue(const std::string& key, const std::string& value);
    // Sets key=value for a caller that needs the key present: an existing line keeps its place
    // and the key's spelling, a missing key is appended. Line breaks in the value are dropped, so
    // a value can never add a line of its own.
    void WriteOrAddValue(const std::string& key, const std::string& value);
};
