#pragma once
// One box: the POP3, SMTP and NNTP servers of an account set of the point program, its spool
// directories and its dial-up, attachment, dupe and fallback settings. Read from the point
// program's box file (<box>.bfg) and from our own file (<box>.cfg); written only as .cfg.
#include <cstdint>
#include <string>

#include "platform/classes/Exception.h"

// Raised by TKestroConfig::Load when no box file could be read.
class EConfigError : public Exception {
  public:
    using Exception::Exception;
};

class TKestroConfig {
  public:
    // The first line of every .cfg file we write.
    static constexpr const char* CfgHeader = "### Kestro Configuration File Version 1 ###";

    TKestroConfig() = default;

    std::string FileName;
    bool Modified = false;
    std::string GlobalSpool;
    bool DebugLog = false;
    bool IsFallback = false;

    std::string Pop3Server;
    int32_t Pop3Port = 110;
    std::string Pop3User;
    std::string Pop3Pass;
    std::string Pop3Spool;
    bool Pop3Auth = false;
    std::string Pop3Envelope;
    int32_t Pop3Timeout = 30;
    bool Pop3Keep = false;
    int32_t Pop3MaxLen = 0;
    bool Pop3OnlyNew = false;
    bool Pop3UseSSL = false;

    std::string SmtpServer;
    int32_t SmtpPort = 25;
    std::string SmtpUser;
    std::string SmtpPass;
    std::string SmtpEnvelope;
    std::string SmtpSpool;
    std::string MailFallback;
    int32_t SmtpTimeout = 30;
    bool SmtpAfterPop = false;
    bool SmtpUseSSL = false;

    std::string NntpServer;
    int32_t NntpPort = 119;
    std::string NntpUser;
    std::string NntpPass;
    std::string NntpSpool;
    std::string NewsFallback;
    int32_t NntpDupeSize = 0;
    int32_t NntpDupeType = 0;
    int32_t NntpTimeout = 30;
    bool NntpPosting = true;
    uint32_t NntpNewMax = 2500;
    int32_t NntpArtClAnz = 20;
    int32_t NntpSort = 0;
    int32_t NntpMaxThreads = 15;
    bool NntpGetNewsList = true;
    bool NntpUseSSL = false;

    bool DialOnStart = false;
    bool DialAskBefore = false;
    bool DialUseConnection = false;
    std::string DialName;
    bool HangupOnExit = false;
    bool HangupAskBefore = false;
    bool HangupAlways = false;
    bool NetcallAllSupport = false;

    std::string AddServers;
    bool ExtractAttach = false;
    bool DeleteAttach = false;
    bool IgnoreVCard = false;
    std::string ExtractPath;

    // Run state: this box's NNTP tasks running now; never stored.
    int32_t NntpRunning = 0;

    // Every field back to its default, FileName and Modified included.
    void SetDefaults();

    // Loads the box named name (with or without extension and directory) from its .cfg and,
    // when readBfg is set, its .bfg, in the order the cfg/cfgonly options select, trying the
    // parent of the program's directory for each file not found. A file that fails part-way is
    // reported through the message-box service and the load goes on. Raises EConfigError when
    // no file was read.
    void Load(const std::string& name, bool readBfg);

    // Parses one box file into the fields without resetting anything first. Raises on a file
    // that cannot be read and on a negative article maximum; lines before the failing one stay
    // applied.
    void ReadFile(const std::string& fileName);

    // Writes the box as a .cfg file, sets FileName to fileName and clears Modified. A file that
    // cannot be written raises and leaves Modified set.
    void SaveToFile(const std::string& fileName);
    void Save() { SaveToFile(FileName); }
    // The .cfg text SaveToFile writes.
    std::string CfgText() const;

    // True exactly for "enabled", "j", "y", "J" and "Y".
    static bool IsEnabledValue(const std::string& value);
    static std::string EnabledText(bool flag) { return flag ? "enabled" : "disabled"; }
};
