#include "app/engine/bfgconfig.h"

#include <charconv>
#include <string_view>
#include <variant>

#include "app/engine/KestroGlobal.h"
#include "app/engine/Limits.h"
#include "app/engine/RunState.h"
#include "netlib/base/IpUtils.h"
#include "platform/classes/Classes.h"
#include "platform/fs/Files.h"
#include "platform/shell/Dialogs.h"
#include "platform/system/ProgramDirectory.h"

namespace {

using Field = std::variant<std::string TKestroConfig::*, int32_t TKestroConfig::*,
                           bool TKestroConfig::*, uint32_t TKestroConfig::*>;

struct KeyRule {
    std::string_view Key;
    Field Target;
};

// Every key a box file may hold: our own names, the XP2 names and OpenXP's client- names. The
// lookup is by the lower-cased key. "smpttimeout" is the spelling our .cfg readers have always
// accepted; it stays so that existing files keep their meaning.
constexpr KeyRule KeyRules[] = {
    {"globalspool", &TKestroConfig::GlobalSpool},
    {"ppp_uuz_spool", &TKestroConfig::GlobalSpool},
    {"client-spool", &TKestroConfig::GlobalSpool},
    {"debuglog", &TKestroConfig::DebugLog},
    {"pop3server", &TKestroConfig::Pop3Server},
    {"client-mailinserver", &TKestroConfig::Pop3Server},
    {"pop3port", &TKestroConfig::Pop3Port},
    {"client-mailinport", &TKestroConfig::Pop3Port},
    {"pop3user", &TKestroConfig::Pop3User},
    {"client-mailinuser", &TKestroConfig::Pop3User},
    {"pop3pass", &TKestroConfig::Pop3Pass},
    {"client-mailinpassword", &TKestroConfig::Pop3Pass},
    {"pop3spool", &TKestroConfig::Pop3Spool},
    {"pop3auth", &TKestroConfig::Pop3Auth},
    {"client-mailinapop", &TKestroConfig::Pop3Auth},
    {"pop3envelope", &TKestroConfig::Pop3Envelope},
    {"client-mailinenv", &TKestroConfig::Pop3Envelope},
    {"client-mailinenvelope", &TKestroConfig::Pop3Envelope},
    {"pop3timeout", &TKestroConfig::Pop3Timeout},
    {"pop3keep", &TKestroConfig::Pop3Keep},
    {"client-mailinkeep", &TKestroConfig::Pop3Keep},
    {"pop3maxlen", &TKestroConfig::Pop3MaxLen},
    {"pop3onlynew", &TKestroConfig::Pop3OnlyNew},
    {"pop3usessl", &TKestroConfig::Pop3UseSSL},
    {"smtpserver", &TKestroConfig::SmtpServer},
    {"client-mailoutserver", &TKestroConfig::SmtpServer},
    {"smtpport", &TKestroConfig::SmtpPort},
    {"client-mailoutport", &TKestroConfig::SmtpPort},
    {"smtpuser", &TKestroConfig::SmtpUser},
    {"client-mailoutuser", &TKestroConfig::SmtpUser},
    {"smtppass", &TKestroConfig::SmtpPass},
    {"client-mailoutpassword", &TKestroConfig::SmtpPass},
    {"smtpenvelope", &TKestroConfig::SmtpEnvelope},
    {"client-mailoutenvelope", &TKestroConfig::SmtpEnvelope},
    {"smtpspool", &TKestroConfig::SmtpSpool},
    {"client-mailfallback", &TKestroConfig::MailFallback},
    {"smpttimeout", &TKestroConfig::SmtpTimeout},
    {"smtpafterpop", &TKestroConfig::SmtpAfterPop},
    {"client-mailoutsmtpafterpop", &TKestroConfig::SmtpAfterPop},
    {"smtpusessl", &TKestroConfig::SmtpUseSSL},
    {"nntpserver", &TKestroConfig::NntpServer},
    {"client-newsserver", &TKestroConfig::NntpServer},
    {"nntpport", &TKestroConfig::NntpPort},
    {"client-newsport", &TKestroConfig::NntpPort},
    {"nntpuser", &TKestroConfig::NntpUser},
    {"client-newsuser", &TKestroConfig::NntpUser},
    {"nntppass", &TKestroConfig::NntpPass},
    {"client-newspassword", &TKestroConfig::NntpPass},
    {"nntpspool", &TKestroConfig::NntpSpool},
    {"client-newsfallback", &TKestroConfig::NewsFallback},
    {"nntpdupesize", &TKestroConfig::NntpDupeSize},
    {"nntpdupetype", &TKestroConfig::NntpDupeType},
    {"nntptimeout", &TKestroConfig::NntpTimeout},
    {"nntpposting", &TKestroConfig::NntpPosting},
    {"nntpnewmax", &TKestroConfig::NntpNewMax},
    {"client-newsmax", &TKestroConfig::NntpNewMax},
    {"nntpartclanz", &TKestroConfig::NntpArtClAnz},
    {"nntpsort", &TKestroConfig::NntpSort},
    {"nntpmaxthreads", &TKestroConfig::NntpMaxThreads},
    {"nntpgetnewslist", &TKestroConfig::NntpGetNewsList},
    {"nntplist", &TKestroConfig::NntpGetNewsList},
    {"client-newslist", &TKestroConfig::NntpGetNewsList},
    {"nntpusessl", &TKestroConfig::NntpUseSSL},
    {"dialonstart", &TKestroConfig::DialOnStart},
    {"dialaskbefore", &TKestroConfig::DialAskBefore},
    {"client-askifconnect", &TKestroConfig::DialAskBefore},
    {"dialuseconnection", &TKestroConfig::DialUseConnection},
    {"aferdialinstate", &TKestroConfig::DialUseConnection},
    {"client-keepconnectstatus", &TKestroConfig::DialUseConnection},
    {"dialname", &TKestroConfig::DialName},
    {"dialinaccount", &TKestroConfig::DialName},
    {"client-dialup", &TKestroConfig::DialName},
    {"hanguponexit", &TKestroConfig::HangupOnExit},
    {"hangupaskbefore", &TKestroConfig::HangupAskBefore},
    {"askfordisconnect", &TKestroConfig::HangupAskBefore},
    {"client-askifdisconnect", &TKestroConfig::HangupAskBefore},
    {"hangupalways", &TKestroConfig::HangupAlways},
    {"netcallallsupport", &TKestroConfig::NetcallAllSupport},
    {"ppp_boxpakete", &TKestroConfig::AddServers},
    {"client-addservers", &TKestroConfig::AddServers},
    {"extractattach", &TKestroConfig::ExtractAttach},
    {"deleteattach", &TKestroConfig::DeleteAttach},
    {"ignorevcard", &TKestroConfig::IgnoreVCard},
    {"extractpath", &TKestroConfig::ExtractPath},
};

// Marks a comment line of an XP2 box file.
constexpr std::string_view XP2Marker = "XP2-Boxen Konfiguration";

// A decimal number with an optional sign, nothing else; false when the text is not one or does
// not fit.
bool ParseDecimal(const std::string& text, int64_t& value) {
    std::string_view digits = text;
    if (!digits.empty() && digits.front() == '+') {
        digits.remove_prefix(1);
        if (!digits.empty() && digits.front() == '-') return false;
    }
    const char* end = digits.data() + digits.size();
    const auto result = std::from_chars(digits.data(), end, value);
    return result.ec == std::errc() && result.ptr == end;
}

const KeyRule* FindRule(const std::string& key) {
    for (const KeyRule& rule : KeyRules)
        if (rule.Key == key) return &rule;
    return nullptr;
}

// Stores one value into the field a rule names. Numbers that do not parse give the field's
// default; a negative article maximum is an error that ends the reading of the file.
void Apply(TKestroConfig& config, const KeyRule& rule, const std::string& value) {
    static const TKestroConfig defaults;
    std::visit(
        [&](auto member) {
            using T = std::remove_reference_t<decltype(config.*member)>;
            if constexpr (std::is_same_v<T, std::string>) {
                config.*member = value;
            } else if constexpr (std::is_same_v<T, bool>) {
                config.*member = TKestroConfig::IsEnabledValue(value);
            } else {
                int64_t number = 0;
                const bool ok = ParseDecimal(value, number);
                if constexpr (std::is_same_v<T, uint32_t>) {
                    if (ok && number < 0)
                        throw ERangeError("Range check error: " + std::string(rule.Key) + "=" +
                                          value);
                    config.*member =
                        ok && number <= int64_t(UINT32_MAX) ? uint32_t(number) : defaults.*member;
                } else {
                    config.*member = ok && number >= INT32_MIN && number <= INT32_MAX
                                         ? int32_t(number)
                                         : defaults.*member;
                }
            }
        },
        rule.Target);
}

}  // namespace

void TKestroConfig::SetDefaults() {
    *this = TKestroConfig();
}

bool TKestroConfig::IsEnabledValue(const std::string& value) {
    return value == "enabled" || value == "j" || value == "y" || value == "J" || value == "Y";
}

void TKestroConfig::ReadFile(const std::string& fileName) {
    const int64_t size = FileSizeOf(fileName);
    if (size > KestroLimits::kMaxBoxFileSize)
        throw EReadError("Die Datei " + fileName + " ist zu groß für eine Box-Datei (" +
                         std::to_string(size) + " Bytes)");
    TStringList lines;
    lines.LoadFromFile(fileName);
    int known = 0;
    for (int i = 0; i < lines.Count(); ++i) {
        const std::string& line = lines[i];
        if (!line.empty() && line[0] == '#' && line.find(XP2Marker) != std::string::npos)
            PointProgramType = ptXP2;
        const auto eq = line.find('=');
        const std::string key =
            eq == std::string::npos ? std::string() : LowerAscii(TrimControls(line.substr(0, eq)));
        const std::string value =
            TrimControls(eq == std::string::npos ? std::string_view(line)
                                                 : std::string_view(line).substr(eq + 1));
        const KeyRule* rule = FindRule(key);
        if (!rule) continue;
        ++known;
        // An empty value never clears a field.
        if (value.empty()) continue;
        if (value.find('\0') != std::string::npos) {
            // Everything after the NUL would be cut off unseen: a server name, a password or a
            // directory that is not the one written there.
            ShowMessage("Fehler: Der Eintrag " + std::string(rule->Key) + " in " + fileName +
                        " enth\xC3\xA4lt ein NUL-Zeichen und wird nicht verwendet");
            SetRunExitCode(ExitCodeError);
            continue;
        }
        if (key == "client-spool") PointProgramType = ptOpenXP;
        Apply(*this, *rule, value);
    }
    // An empty file, a binary one or another program's file is no box, whatever its name.
    if (known == 0)
        throw EReadError("Die Datei " + fileName + " enth\xC3\xA4lt keine Box-Einstellungen");
    // The point programs name one spool for everything; our own files name each.
    if (ExtractFileExt(fileName) != ".cfg" && !GlobalSpool.empty()) {
        Pop3Spool = GlobalSpool;
        SmtpSpool = GlobalSpool;
        NntpSpool = GlobalSpool;
    }
}

std::string TKestroConfig::CfgText() const {
    const auto s = [](const std::string& v) { return v; };
    const auto i = [](int64_t v) { return std::to_string(v); };
    const auto b = [](bool v) { return EnabledText(v); };
    const std::pair<const char*, std::string> lines[] = {
        {"GlobalSpool", s(GlobalSpool)},
        {"DebugLog", b(DebugLog)},
        {"Pop3Server", s(Pop3Server)},
        {"Pop3User", s(Pop3User)},
        {"Pop3Pass", s(Pop3Pass)},
        {"Pop3Spool", s(Pop3Spool)},
        {"Pop3Auth", b(Pop3Auth)},
        {"Pop3Envelope", s(Pop3Envelope)},
        {"Pop3Keep", b(Pop3Keep)},
        {"Pop3MaxLen", i(Pop3MaxLen)},
        {"Pop3OnlyNew", b(Pop3OnlyNew)},
        {"Pop3UseSSL", b(Pop3UseSSL)},
        {"SmtpServer", s(SmtpServer)},
        {"SmtpUser", s(SmtpUser)},
        {"SmtpPass", s(SmtpPass)},
        {"SmtpSpool", s(SmtpSpool)},
        {"SmtpAfterPop", b(SmtpAfterPop)},
        {"SmtpEnvelope", s(SmtpEnvelope)},
        {"SmtpUseSSL", b(SmtpUseSSL)},
        {"NntpServer", s(NntpServer)},
        {"NntpUser", s(NntpUser)},
        {"NntpPass", s(NntpPass)},
        {"NntpSpool", s(NntpSpool)},
        {"NntpDupeSize", i(NntpDupeSize)},
        {"NntpDupeType", i(NntpDupeType)},
        {"NntpPosting", b(NntpPosting)},
        {"NntpNewMax", i(NntpNewMax)},
        {"NntpSort", i(NntpSort)},
        {"NntpMaxThreads", i(NntpMaxThreads)},
        {"NntpGetNewsList", b(NntpGetNewsList)},
        {"NntpUseSSL", b(NntpUseSSL)},
        {"DialOnStart", b(DialOnStart)},
        {"DialAskBefore", b(DialAskBefore)},
        {"DialUseConnection", b(DialUseConnection)},
        {"DialName", s(DialName)},
        {"HangupOnExit", b(HangupOnExit)},
        {"HangupAskBefore", b(HangupAskBefore)},
        {"HangupAlways", b(HangupAlways)},
        {"IgnoreVCard", b(IgnoreVCard)},
        {"ExtractAttach", b(ExtractAttach)},
        {"DeleteAttach", b(DeleteAttach)},
        {"NetcallAllSupport", b(NetcallAllSupport)},
        {"ExtractPath", s(ExtractPath)},
    };
    std::string text = std::string(CfgHeader) + "\r\n";
    for (const auto& [key, value] : lines) text += std::string(key) + "=" + value + "\r\n";
    return text;
}

void TKestroConfig::SaveToFile(const std::string& fileName) {
    FileName = fileName;
    const std::string text = CfgText();
    TFileStream file(fileName, fmCreate);
    file.WriteString(text);
    Modified = false;
}

void TKestroConfig::Load(const std::string& boxName, bool readBfg) {
    SetDefaults();
    std::string name = boxName;
    bool loaded = false;
    if (OptCfgOnly) readBfg = false;
    try {
        // The point program's own directory, for a program installed one level below it.
        const std::string fallbackDir = ParentDirectory(ProgramDirectory());
        const auto readBfgFile = [&] {
            std::string bfgName = ChangeFileExt(name, ".bfg");
            if (!FileExists(bfgName)) bfgName = fallbackDir + ExtractFileName(bfgName);
            name = bfgName;
            if (FileExists(bfgName)) {
                ReadFile(bfgName);
                loaded = true;
            }
        };

        FileName = ChangeFileExt(name, ".cfg");
        // With the cfg option the .cfg is read last and so wins over the .bfg.
        if (readBfg && OptCfg) readBfgFile();
        // A later Save writes to the fallback name even when no file is there yet.
        if (!FileExists(FileName)) FileName = fallbackDir + ExtractFileName(FileName);
        if (FileExists(FileName)) {
            ReadFile(FileName);
            loaded = true;
        } else if (OptCfg) {
            loaded = false;  // the cfg option asks for a .cfg file
        }
        if (readBfg && !OptCfg) readBfgFile();
    } catch (const std::exception& e) {
        ShowMessage(std::string("Fehler beim Lesen der Konfiguration: ") + e.what());
        // The box is not what its files say: an unattended caller must not read success.
        SetRunExitCode(ExitCodeError);
    }
    if (!loaded) throw EConfigError("Fehler: Konnte Konfiguration " + name + " nicht lesen");
}
