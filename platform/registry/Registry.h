#pragma once
// Typed registry hives kept in text files, with the class library's TRegistry interface.
//
// Each hive is one human-readable file in the registry directory: $KESTRO_REGISTRY_DIR when set,
// else $XDG_CONFIG_HOME/kestro/, else ~/.config/kestro/. HKEY_LOCAL_MACHINE lives in
// "HKEY_LOCAL_MACHINE.reg", HKEY_CURRENT_USER in "HKEY_CURRENT_USER.reg".
//
// Key and value names compare ignoring ASCII case and keep the case they were created with, as on
// Windows. Key paths use `\`; a path beginning with `\` starts at the hive's root, any other
// is relative to the open key. Values are DWORDs, strings or binary data; any bytes round-trip.
//
// Every registry object of the process works on one tree per hive, as on Windows: a value written
// is seen at once by every other object. The file is read when a key is opened and the file
// changed on disk since it was read (a stat, no reading, when it did not). Writes are deferred as
// the Windows registry defers them: changes are made in memory, and the file is written once per
// flush (when a registry object goes or changes its root, at Flush, and when the program ends),
// only when the tree differs from what was read, and whole (a temporary file renamed over it), so
// that a process killed at any moment leaves the old file or the new one. A second process may
// work on the same files for a moment: a flush takes a lock, and when the other process wrote
// the file meanwhile, makes this process's changes again over what it wrote.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/classes/Classes.h"
#include "platform/classes/Exception.h"

using HKEY = uint32_t;
inline constexpr HKEY HKEY_CURRENT_USER = 0x80000001u;
inline constexpr HKEY HKEY_LOCAL_MACHINE = 0x80000002u;

enum TRegDataType { rdUnknown, rdString, rdExpandString, rdInteger, rdBinary };

// Raised for a value of the wrong type, a missing DWORD or boolean, a binary value larger than
// the buffer, a write without an open key, or a hive that could not be read whole (and so is
// never written over).
class ERegistryException : public Exception {
  public:
    using Exception::Exception;
};

class TRegistry {
  public:
    // RootKey starts as HKEY_CURRENT_USER, as in the class library.
    TRegistry();
    // Flushes the root's hive.
    ~TRegistry();
    TRegistry(const TRegistry&) = delete;
    TRegistry& operator=(const TRegistry&) = delete;

    HKEY RootKey() const { return FRootKey; }
    // Changing the root closes the open key.
    void SetRootKey(HKEY root);
    // Path of the open key from the hive's root, components joined by `\` (empty: none open or
    // the root itself; see HasCurrentKey).
    const std::string& CurrentPath() const { return FCurrentPath; }
    bool HasCurrentKey() const { return FOpen; }

    // Opens the key (creating it and its parents when canCreate); false when it does not exist
    // and may not be created, or when the hive cannot be written.
    bool OpenKey(const std::string& key, bool canCreate);
    bool OpenKeyReadOnly(const std::string& key);
    // Closes the key; its changes stay in memory until a flush, as with the class library's
    // lazy writing.
    void CloseKey();
    // Writes the root's hive file when it was changed; false when it could not be written (the
    // changes are then kept for the next flush, unless the file was never read whole).
    bool Flush();
    // Creates the key (relative to the open key, or absolute); true when it exists afterwards.
    bool CreateKey(const std::string& key);
    // Deletes the key with all its subkeys and values; false when it does not exist.
    bool DeleteKey(const std::string& key);
    bool KeyExists(const std::string& key);
    bool HasSubKeys();

    bool ValueExists(const std::string& name);
    bool DeleteValue(const std::string& name);
    // rdUnknown when the value does not exist.
    TRegDataType GetDataType(const std::string& name);
    // Size of the data in bytes (strings count a terminating zero, as Windows does); -1 when the
    // value does not exist.
    int32_t GetDataSize(const std::string& name);

    // Names of the open key's subkeys, ordered ignoring ASCII case.
    std::vector<std::string> GetKeyNames();
    void GetKeyNames(TStringList& list) { Fill(list, GetKeyNames()); }
    // Names of the open key's values in the order they were created.
    std::vector<std::string> GetValueNames();
    void GetValueNames(TStringList& list) { Fill(list, GetValueNames()); }

    // DWORD values. ReadInteger raises ERegistryException when the value is missing or not a
    // DWORD; the DWORD's bits read as a signed 32-bit integer.
    int32_t ReadInteger(const std::string& name);
    void WriteInteger(const std::string& name, int32_t value);
    // Booleans are DWORDs: non-zero reads as true; written as 1 or 0.
    bool ReadBool(const std::string& name);
    void WriteBool(const std::string& name, bool value);
    // Strings: a missing value reads as empty; a value of another type raises.
    std::string ReadString(const std::string& name);
    void WriteString(const std::string& name, const std::string& value);
    // Binary data: copies the value into buffer and returns its size; 0 when the value is
    // missing; raises when it is not binary or larger than bufSize.
    int32_t ReadBinaryData(const std::string& name, void* buffer, int32_t bufSize);
    void WriteBinaryData(const std::string& name, const void* buffer, int32_t bufSize);
    // The whole binary value (empty when missing; raises when not binary).
    std::string ReadBinary(const std::string& name);

    // The directory of the hive files as it would be used now (with trailing '/').
    static std::string RegistryDirectory();
    // The file of a hive.
    static std::string HiveFileName(HKEY root);

    struct Hive;  // internal

  private:
    static void Fill(TStringList& list, const std::vector<std::string>& names) {
        list.Clear();
        for (const auto& n : names) list.Add(n);
    }

    HKEY FRootKey = HKEY_CURRENT_USER;
    bool FOpen = false;
    bool FReadOnly = false;
    std::string FCurrentPath;
};
