#pragma once
// Program-wide settings, the run-wide option flags and the small file routines every part of the
// engine shares before any box is loaded.
#include <cstdint>
#include <string>

#include "app/engine/Limits.h"

class TStringList;

// The program-wide settings, kept in the registry under HKEY_LOCAL_MACHINE.
class TGlobalConfig {
  public:
    // The registry key that holds the settings.
    static constexpr const char* RegistryKey = "SOFTWARE\\Orvalin\\Kestro";
    // Asked for the time when a run starts unless the user cleared it; answers on port 37.
    static constexpr const char* DefaultTimeServer = "time.nist.gov";

    bool EventLog = true;
    bool ThreadLog = false;
    bool DebugLog = false;
    std::string TimeServer = DefaultTimeServer;
    std::string CrosspointDir;
    std::string Realname;
    std::string eMail;
    int32_t MaxThreads = 8;
    std::string Version;

    // Reads what the key holds. Reading stops quietly at the first value that cannot be read
    // (a missing flag or number); fields not read by then keep their values. A missing text reads
    // as empty. A key that cannot be opened changes nothing.
    void LoadFromRegistry();
    // Writes every field; failures are dropped (settings are never worth an error at this point).
    void SaveToRegistry();

    // MaxThreads as the scheduler must use it: never below 1, whatever a dialog or the registry
    // put there (the range split divides by it, and with 0 no task would ever start).
    int32_t EffectiveMaxThreads() const { return MaxThreads < 1 ? 1 : MaxThreads; }
};

// The one settings object. It starts with the defaults; InitializeKestroGlobal loads it.
extern TGlobalConfig GlobalConfig;

// Start-up of the settings: loads GlobalConfig from the registry (creating the key).
void InitializeKestroGlobal();

// Command-line options; set when the command line is read and never cleared during the process.
extern bool OptSendOnly;
extern bool OptCfg;
extern bool OptCfgOnly;

// The point program whose box files were read: 0 our own boxes, 1 OpenXP, 2 XP2. It selects the
// name of the run log and is never set back to 0.
enum : int { ptKestro = 0, ptOpenXP = 1, ptXP2 = 2 };
extern int PointProgramType;

// Loads a list file (newsgroup list, group list, Message-ID list) into list. A file that cannot
// be read, or one larger than maxSize (what any such list can be), raises.
void LoadListFile(TStringList& list, const std::string& fileName,
                  int64_t maxSize = KestroLimits::kMaxListFileSize);

// The path without its last component, with the trailing separator: C:\XP\KESTRO\ and
// C:\XP\KESTRO both give C:\XP\. A path with a single component gives an empty text.
std::string ParentDirectory(const std::string& path);

// True when the file exists as named, or under the parent of the program's directory (where the
// point program keeps its marker files).
bool PointFileExists(const std::string& fileName);
