#pragma once
// What the set-up wizard decides and writes, apart from its window: the known mail providers,
// the boxes of a point program it offers, and the files it writes for the box the user picked.
#include <array>
#include <string>
#include <vector>

// How a provider's POP3 user name follows from the e-mail address.
enum class TPop3UserRule { WholeAddress, LocalPart, Unchanged, Typed };

struct TWizardProvider {
    const char* Domain;  // lower case, compared with the text after the address's first '@'
    TPop3UserRule UserRule;
    const char* Pop3Server;
    const char* SmtpServer;
    const char* NewsServer;  // empty: the news server stays as it is
};

// The providers the wizard knows; any other domain is "other" (index KnownProviders.size()), whose
// servers and user name the user types.
extern const std::array<TWizardProvider, 3> KnownProviders;
inline constexpr int OtherProvider = int(KnownProviders.size());

// The provider index of an address: 0 to 2 for a known domain, OtherProvider otherwise.
int DetectProvider(const std::string& EMail);

// A box of the point program the wizard can prepare: its "boxname" and its box file.
struct TWizardBox {
    std::string Name;
    std::string FileName;
};

// The RFC boxes (client or PPP) among the box files of the point program's directory, in the
// order the directory search returns them; files that cannot be read are left out.
std::vector<TWizardBox> ListWizardBoxes(const std::string& PointDir);

// The spool directory's own name: the letters, digits and '_' of the address, at most the last 8.
std::string WizardShortName(const std::string& EMail);

// What the user entered; single-line texts, any CR or LF is dropped when written.
struct TWizardInput {
    std::string PointDir;
    std::string EMail;
    std::string Password;
    int Provider = OtherProvider;
    // Typed on the provider page; used for OtherProvider only.
    std::string Pop3Server;
    std::string Pop3User;
    std::string SmtpServer;
};

// Writes our configuration file for the box file BoxFile and patches the box file so that the
// point program starts us for a call; the box file's former text is kept as its .bak file before
// anything changes. Returns the configuration file's name. Raises on a file that cannot be read or
// written (what was written before stays).
std::string WriteConfiguration(const TWizardInput& Input, const std::string& BoxFile);
