#include "app/ui/WizardConfig.h"

#include "app/engine/ConfigFile.h"
#include "app/engine/bfgconfig.h"
#include "app/ui/SettingsFields.h"
#include "components/text/WordRoutines.h"
#include "netlib/base/IpUtils.h"
#include "platform/classes/Exception.h"
#include "platform/fs/Files.h"

const std::array<TWizardProvider, 3> KnownProviders = {{
    {"mailhafen.de", TPop3UserRule::WholeAddress, "pop.mailhafen.de", "smtp.mailhafen.de", ""},
    {"postwerk.de", TPop3UserRule::LocalPart, "pop3.postwerk.de", "mail.postwerk.de", ""},
    {"netzkiosk.de", TPop3UserRule::Unchanged, "pop.netzkiosk.de", "smtp.netzkiosk.de",
     "news.netzkiosk.de"},
}};

namespace {

// The point program on this system finds us in the directory the wizard creates, by the name the
// program is installed under; its paths use this system's separator.
constexpr const char* ClientPath = "Kestro/";
constexpr const char* ClientExec = "$CLPATH+kestro $CONFIG";
constexpr const char* PppNews = "kestro $CONFIG";
constexpr const char* ConfigDirName = "Kestro";

std::string AddressDomain(const std::string& EMail) {
    const auto At = EMail.find('@');
    return At == std::string::npos ? std::string() : EMail.substr(At + 1);
}

std::string LocalPart(const std::string& EMail) {
    return EMail.substr(0, EMail.find('@'));
}

// The servers and the POP3 user the chosen provider gives.
void ApplyProvider(const TWizardInput& Input, TKestroConfig& Config) {
    if (Input.Provider < 0 || Input.Provider >= OtherProvider) {
        Config.Pop3User = Input.Pop3User;
        Config.Pop3Server = Input.Pop3Server;
        Config.SmtpServer = Input.SmtpServer;
        return;
    }
    const TWizardProvider& P = KnownProviders[size_t(Input.Provider)];
    switch (P.UserRule) {
        case TPop3UserRule::WholeAddress:
            Config.Pop3User = Input.EMail;
            break;
        case TPop3UserRule::LocalPart:
            Config.Pop3User = LocalPart(Input.EMail);
            break;
        case TPop3UserRule::Unchanged:
        case TPop3UserRule::Typed:
            break;
    }
    Config.Pop3Server = P.Pop3Server;
    Config.SmtpServer = P.SmtpServer;
    if (*P.NewsServer) Config.NntpServer = P.NewsServer;
}

TWizardInput SingleLineInput(TWizardInput Input) {
    for (std::string* Field : {&Input.PointDir, &Input.EMail, &Input.Password, &Input.Pop3Server,
                               &Input.Pop3User, &Input.SmtpServer})
        *Field = SingleLine(*Field);
    return Input;
}

void ForceDirectory(const std::string& Dir) {
    if (!ForceDirectories(ExcludeTrailingPathDelimiter(Dir)))
        throw Exception("Das Verzeichnis " + Dir + " kann nicht angelegt werden");
}

std::string UpperCase(std::string Text) {
    for (char& C : Text)
        if (C >= 'a' && C <= 'z') C = char(C - 'a' + 'A');
    return Text;
}

// The name a file's former version is kept under: its .bak name, or, when that is the box file's
// backup already (a PPP box's configuration lies beside the box file), the full name + ".bak".
std::string BackupName(const std::string& FileName, const std::string& BoxFile) {
    const std::string Backup = ChangeFileExt(FileName, ".bak");
    const std::string BoxBackup = ChangeFileExt(BoxFile, ".bak");
    return LowerAscii(Backup) == LowerAscii(BoxBackup) ? FileName + ".bak" : Backup;
}

// Moves an existing file out of the way to its backup name, replacing an older backup.
void KeepAsBackup(const std::string& FileName, const std::string& Backup) {
    if (!FileExists(FileName)) return;
    DeleteFile(Backup);
    if (!RenameFile(FileName, Backup))
        throw Exception("Die Datei " + FileName + " kann nicht in " + Backup + " umbenannt werden");
}

using TKeyValues = std::vector<std::pair<const char*, std::string>>;

void WriteKeys(TConfigFile& Box, const TKeyValues& Keys) {
    for (const auto& [Key, Value] : Keys) Box.WriteOrAddValue(Key, Value);
}

// The keys that make a client box (OpenXP) call us; the spool is the box's own when it names one.
void WriteClientKeys(TConfigFile& Box, const TKestroConfig& Config, const std::string& EMail,
                     const std::string& Spool) {
    const std::string Host = ExtractWord(2, EMail, "@");
    const auto Dot = Host.find('.');
    WriteKeys(Box, {{"Client-Path", ClientPath}, {"Client-Exec", ClientExec}});
    if (Box.ReadValue("client-spool").empty()) WriteKeys(Box, {{"Client-Spool", Spool}});
    WriteKeys(Box, {{"Client-MailInServer", Config.Pop3Server},
                    {"Client-MailInUser", Config.Pop3User},
                    {"Client-MailInPassword", Config.Pop3Pass},
                    {"Client-MailInPort", "110"},
                    {"Client-MailOutServer", Config.SmtpServer},
                    {"Client-MailOutPort", "25"},
                    {"Client-NewsServer", Config.NntpServer},
                    {"Client-NewsPort", "119"},
                    {"SysopInFile", ""},
                    {"SysopOutFile", ""},
                    {"Username", ExtractWord(1, EMail, "@")},
                    {"Domain", Dot == std::string::npos ? Host : Host.substr(Dot)},
                    {"Pointname", Dot == std::string::npos ? std::string() : Host.substr(0, Dot)},
                    {"FQDN", ""}});
}

// The keys that make a PPP box (XP2) call us after its own dial-up.
void WritePppKeys(TConfigFile& Box, const TKestroConfig& Config, const std::string& Spool) {
    WriteKeys(Box, {{"PPP_Dialer", ""},
                    {"PPP_HangUp", ""},
                    {"PPP_Mail", ""},
                    {"PPP_News", PppNews},
                    {"PPP_UUZ_Spool", Spool},
                    {"Pop3Server", Config.Pop3Server},
                    {"Pop3User", Config.Pop3User},
                    {"Pop3Pass", Config.Pop3Pass},
                    {"Pop3Spool", ""},
                    {"SmtpServer", Config.SmtpServer},
                    {"SmtpSpool", ""}});
}

}  // namespace

int DetectProvider(const std::string& EMail) {
    const std::string Domain = LowerAscii(AddressDomain(EMail));
    for (size_t I = 0; I < KnownProviders.size(); ++I)
        if (Domain == KnownProviders[I].Domain) return int(I);
    return OtherProvider;
}

std::vector<TWizardBox> ListWizardBoxes(const std::string& PointDir) {
    std::vector<TWizardBox> Boxes;
    const std::string Dir = IncludeTrailingPathDelimiter(PointDir);
    for (const std::string& Name : FindFiles(Dir, "*.bfg")) {
        std::unique_ptr<TConfigFile> Box;
        try {
            Box = TConfigFile::CreateFromFile(Dir + Name);
        } catch (const Exception&) {
            continue;  // a file that cannot be read is no box to prepare
        }
        if (!Box->ReadValue("imap").empty() || Box->ReadValue("client-mode") == "J" ||
            !Box->ReadValue("client-path").empty())
            Boxes.push_back({Box->ReadValue("boxname"), Dir + Name});
    }
    return Boxes;
}

std::string WizardShortName(const std::string& EMail) {
    std::string Short;
    for (char C : EMail)
        if ((C >= '0' && C <= '9') || (C >= 'A' && C <= 'Z') || (C >= 'a' && C <= 'z') || C == '_')
            Short += C;
    return Short.size() > 8 ? Short.substr(Short.size() - 8) : Short;
}

std::string WriteConfiguration(const TWizardInput& Typed, const std::string& BoxFile) {
    const TWizardInput Input = SingleLineInput(Typed);
    const std::string Dir = IncludeTrailingPathDelimiter(Input.PointDir);

    // The backup comes first, so whatever fails later leaves the box's former text at hand.
    TConfigFile Box;
    Box.LoadFromFile(BoxFile);
    DeleteFile(ChangeFileExt(BoxFile, ".bak"));
    Box.SaveToFile(ChangeFileExt(BoxFile, ".bak"));

    TKestroConfig Config;
    Config.GlobalSpool.clear();
    Config.Pop3Pass = Input.Password;
    ApplyProvider(Input, Config);

    const bool ClientBox = !Box.ReadValue("client-mode").empty();
    const std::string CfgName = ChangeFileExt(ExtractFileName(BoxFile), ".cfg");
    const std::string ConfigDir = ClientBox ? Dir + ConfigDirName + "/" : Dir;
    // Only the short name is upper case: the point program's directory is taken as it is.
    std::string Spool = Dir + UpperCase(WizardShortName(Input.EMail)) + "/";
    if (ClientBox && !Box.ReadValue("client-spool").empty()) Spool = Box.ReadValue("client-spool");

    // Everything is written into directories that exist by then.
    ForceDirectory(ConfigDir);
    ForceDirectory(Spool);
    KeepAsBackup(ConfigDir + CfgName, BackupName(ConfigDir + CfgName, BoxFile));
    Config.SaveToFile(ConfigDir + CfgName);

    if (ClientBox)
        WriteClientKeys(Box, Config, Input.EMail, Spool);
    else
        WritePppKeys(Box, Config, Spool);
    Box.Save();
    return ConfigDir + CfgName;
}
