#include "app/engine/ConfigFile.h"

#include "app/engine/KestroGlobal.h"
#include "app/engine/Limits.h"
#include "netlib/base/IpUtils.h"

namespace {

// The key of a line: the text before its first "=", lower-cased, not trimmed; a line without "="
// has an empty key.
std::string LineKey(const std::string& line) {
    const auto eq = line.find('=');
    return eq == std::string::npos ? std::string() : LowerAscii(line.substr(0, eq));
}

std::string LineValue(const std::string& line) {
    const auto eq = line.find('=');
    return eq == std::string::npos ? line : line.substr(eq + 1);
}

}  // namespace

std::unique_ptr<TConfigFile> TConfigFile::CreateFromFile(const std::string& fileName) {
    auto file = std::make_unique<TConfigFile>();
    file->LoadFromFile(fileName);
    return file;
}

void TConfigFile::LoadFromFile(const std::string& fileName) {
    LoadListFile(Lines, fileName);
    FileName = fileName;
}

void TConfigFile::SaveToFile(const std::string& fileName) const {
    Lines.SaveToFile(fileName);
}

std::string TConfigFile::ReadValue(const std::string& key) const {
    for (int i = 0; i < Lines.Count(); ++i)
        if (LineKey(Lines[i]) == key) return LineValue(Lines[i]);
    return std::string();
}

void TConfigFile::WriteValue(const std::string& key, const std::string& value) {
    const std::string wanted = LowerAscii(key);
    for (int i = 0; i < Lines.Count(); ++i) {
        if (LineKey(Lines[i]) == wanted) {
            Lines.SetString(i, key + "=" + value);
            return;
        }
    }
}

void TConfigFile::WriteOrAddValue(const std::string& key, const std::string& value) {
    std::string line = value;
    std::erase_if(line, [](char c) { return c == '\r' || c == '\n'; });
    const std::string wanted = LowerAscii(key);
    for (int i = 0; i < Lines.Count(); ++i) {
        if (LineKey(Lines[i]) == wanted) {
            Lines.SetString(i, Lines[i].substr(0, Lines[i].find('=')) + "=" + line);
            return;
        }
    }
    Lines.Add(key + "=" + line);
}
