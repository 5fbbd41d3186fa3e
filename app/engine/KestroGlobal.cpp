#include "app/engine/KestroGlobal.h"

#include "app/engine/Limits.h"
#include "components/text/WordRoutines.h"
#include "platform/classes/Classes.h"
#include "platform/fs/Files.h"
#include "platform/registry/Registry.h"
#include "platform/system/ProgramDirectory.h"

TGlobalConfig GlobalConfig;

bool OptSendOnly = false;
bool OptCfg = false;
bool OptCfgOnly = false;
int PointProgramType = ptKestro;

void TGlobalConfig::LoadFromRegistry() {
    try {
        TRegistry registry;
        registry.SetRootKey(HKEY_LOCAL_MACHINE);
        if (!registry.OpenKey(RegistryKey, true)) return;
        // Each field is stored as soon as it is read: a value missing from an older installation
        // ends the reading and leaves the rest as they were.
        EventLog = registry.ReadBool("EventLog");
        ThreadLog = registry.ReadBool("ThreadLog");
        DebugLog = registry.ReadBool("DebugLog");
        CrosspointDir = registry.ReadString("CrosspointDir");
        Realname = registry.ReadString("Realname");
        eMail = registry.ReadString("eMail");
        TimeServer = registry.ReadString("TimeServer");
        MaxThreads = registry.ReadInteger("MaxThreads");
    } catch (const std::exception&) {
        // Settings that cannot be read keep their values.
    }
    if (MaxThreads < 1) MaxThreads = 1;
}

void TGlobalConfig::SaveToRegistry() {
    if (MaxThreads < 1) MaxThreads = 1;
    try {
        TRegistry registry;
        registry.SetRootKey(HKEY_LOCAL_MACHINE);
        if (!registry.OpenKey(RegistryKey, true)) return;
        registry.WriteBool("EventLog", EventLog);
        registry.WriteBool("ThreadLog", ThreadLog);
        registry.WriteBool("DebugLog", DebugLog);
        registry.WriteString("TimeServer", TimeServer);
        registry.WriteString("CrosspointDir", CrosspointDir);
        registry.WriteString("Realname", Realname);
        registry.WriteString("eMail", eMail);
        registry.WriteInteger("MaxThreads", MaxThreads);
        registry.WriteString("Version", Version);
    } catch (const std::exception&) {
        // Nothing to report: the settings in memory stay valid for this run.
    }
}

void InitializeKestroGlobal() {
    GlobalConfig.LoadFromRegistry();
}

void LoadListFile(TStringList& list, const std::string& fileName, int64_t maxSize) {
    const int64_t size = FileSizeOf(fileName);
    if (size > maxSize)
        throw EReadError("Die Datei " + fileName + " ist zu groß (" + std::to_string(size) +
                         " Bytes)");
    list.LoadFromFile(fileName);
}

std::string ParentDirectory(const std::string& path) {
    static const std::string delimiters = "\\/";
    const uint32_t words = CountWords(path, delimiters);
    uint32_t position = 0;
    if (words == 0 || !FindWordPosition(words, path, delimiters, position)) return std::string();
    return path.substr(0, position - 1);
}

bool PointFileExists(const std::string& fileName) {
    return FileExists(fileName) || FileExists(ParentDirectory(ProgramDirectory()) + fileName);
}
