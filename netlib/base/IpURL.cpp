// The URL parser and resolver. The parser is a character-by-character state machine; the HTML
// viewer and the socket layer depend on its exact results (including that a query keeps a "#"
// and that "file" URLs come back as "file://C|/..."), so its rules are kept as they are.
#include <algorithm>

#include "netlib/base/IpUtils.h"

namespace {

enum class UrlState {
    Start,
    Error,
    LeadingBlanks,
    Word,
    WordColon,  // a word and ":" after a scheme was already taken
    AfterScheme,
    DrivePath,
    Host,
    UserPart,
    Password,
    Port,
    Path,
    Fragment,
    Query,
    TrailingBlanks,
};

bool IsLetter(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}
bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}
bool IsSlash(char c) {
    return c == '/' || c == '\\';
}
bool IsHostChar(char c) {
    return IsLetter(c) || IsDigit(c) || c == '-' || c == '.' || c == '_';
}

class UrlParser {
  public:
    UrlParser(const std::string& url, TIpAddrRec& addr) : FUrl(url), FAddr(addr) {}

    bool Run() {
        FAddr.Scheme.clear();
        FAddr.UserName.clear();
        FAddr.Password.clear();
        FAddr.Authority.clear();
        FAddr.Port.clear();
        FAddr.Path.clear();
        FAddr.Fragment.clear();
        FAddr.Query.clear();
        for (char c : FUrl) {
            Step(c);
            if (FState == UrlState::Error) break;
        }
        if (!FWord.empty()) FAddr.Authority = FWord;
        if (FAddr.Path.empty() && !FPathText.empty()) FAddr.Path = TrimSpaces(FPathText);
        if (FAddr.Path.empty()) FAddr.Path += '/';
        switch (FState) {
            case UrlState::DrivePath:
            case UrlState::Host:
            case UrlState::Port:
            case UrlState::Path:
            case UrlState::Fragment:
            case UrlState::Query:
            case UrlState::TrailingBlanks:
                return true;
            default:
                return false;
        }
    }

  private:
    void Step(char c) {
        switch (FState) {
            case UrlState::Start:
                return OnStart(c);
            case UrlState::LeadingBlanks:
                return OnLeadingBlanks(c);
            case UrlState::Word:
                return OnWord(c);
            case UrlState::WordColon:
                return OnWordColon(c);
            case UrlState::AfterScheme:
                return OnAfterScheme(c);
            case UrlState::DrivePath:
                return OnDrivePath(c);
            case UrlState::Host:
                return OnHost(c);
            case UrlState::UserPart:
                return OnUserPart(c);
            case UrlState::Password:
                return OnPassword(c);
            case UrlState::Port:
                return OnPort(c);
            case UrlState::Path:
                return OnPath(c);
            case UrlState::Fragment:
                return OnFragment(c);
            case UrlState::Query:
                return OnQuery(c);
            case UrlState::TrailingBlanks:
                return OnTrailingBlanks(c);
            case UrlState::Error:
                return;
        }
    }

    // Shared openings of the start and leading-blank states.
    void OnFirst(char c) {
        if (c == '.' || IsSlash(c)) {
            FPathText += c;
            FState = UrlState::Path;
        } else if (IsDigit(c)) {
            FAddr.Authority += c;
            FState = UrlState::Host;
        } else {
            FState = UrlState::Error;
        }
    }

    void OnStart(char c) {
        if (IsLetter(c)) {
            FWord += c;
            FState = UrlState::Word;
        } else if (c == ' ') {
            FState = UrlState::LeadingBlanks;
        } else {
            OnFirst(c);
        }
    }

    void OnLeadingBlanks(char c) {
        if (c == ' ') return;
        if (IsLetter(c) || c == '-' || c == '_') {
            FWord += c;
            FState = UrlState::Word;
        } else {
            OnFirst(c);
        }
    }

    // ":" or "|" after a one-character word is a drive letter ("C:\dir").
    bool TakeDrive(char c) {
        if (FWord.size() != 1) return false;
        FPathText = FWord + c;
        FWord.clear();
        FState = UrlState::DrivePath;
        return true;
    }

    void OnWord(char c) {
        if (IsHostChar(c)) {
            FWord += c;
        } else if (c == ':' || c == '|') {
            if (TakeDrive(c)) return;
            if (FWord.find('.') != std::string::npos) {
                FAddr.Authority = FWord;
                FState = UrlState::Port;
            } else if (FAddr.Scheme.empty()) {
                FAddr.Scheme = FWord;
                FSchemeSeen = true;
                FWord.clear();
                FState = UrlState::AfterScheme;
            } else {
                FState = UrlState::WordColon;
            }
        } else if (IsSlash(c)) {
            if (FSchemeSeen)
                FAddr.Authority = FWord;
            else
                FPathText = FWord;
            FWord.clear();
            FPathText += c;
            FState = UrlState::Path;
        } else if (c == '@') {
            FAddr.UserName = TakeWord();
            FState = UrlState::Host;
        } else {
            FAddr.Authority = TakeWord();
            FState = UrlState::Host;
        }
    }

    void OnWordColon(char c) {
        if (IsLetter(c)) {
            FAddr.UserName = TakeWord();
            FAddr.Password += c;
            FState = UrlState::Password;
        } else if (IsSlash(c)) {
            FAddr.Scheme = TakeWord();
            FSchemeSeen = true;
            FState = UrlState::AfterScheme;
        } else if (c == '@') {
            FAddr.UserName = TakeWord();
            FState = UrlState::Host;
        } else if (IsDigit(c)) {
            FAddr.Authority = TakeWord();
            FAddr.Port += c;
            FState = UrlState::Port;
        } else if (c == ':') {
            FAddr.UserName = TakeWord();
            FState = UrlState::Password;
        }
    }

    void OnAfterScheme(char c) {
        if (c == '/') return;
        FWord = std::string(1, c);
        FState = FUrl.find('@') != std::string::npos ? UrlState::UserPart : UrlState::Word;
    }

    void OnDrivePath(char c) {
        if (c == '#') {
            if (!FPathText.empty()) FAddr.Path = TrimSpaces(FPathText);
            FState = UrlState::Fragment;
        } else if (c == '?' || c == '&') {
            if (!FPathText.empty()) FAddr.Path = TrimSpaces(FPathText);
            FAddr.QueryDelim = c;
            FState = UrlState::Query;
        } else {
            FPathText += c;
        }
    }

    void OnHost(char c) {
        if (IsHostChar(c)) {
            FAddr.Authority += c;
        } else if (c == ':') {
            FState = UrlState::Port;
        } else if (c == ' ') {
            FState = UrlState::TrailingBlanks;
        } else if (IsSlash(c)) {
            FPathText += c;
            FState = UrlState::Path;
        }
    }

    void OnUserPart(char c) {
        if (c == '@') {
            FAddr.UserName = TakeWord();
            FState = UrlState::Host;
        } else if (c == ':' || c == '|') {
            if (TakeDrive(c)) return;
            FAddr.UserName = TakeWord();
            FState = UrlState::Password;
        } else {
            FWord += c;
        }
    }

    void OnPassword(char c) {
        if (IsLetter(c) || IsDigit(c))
            FAddr.Password += c;
        else if (c == '@')
            FState = UrlState::Host;
    }

    void OnPort(char c) {
        if (IsDigit(c)) {
            FAddr.Port += c;
        } else if (c == ' ') {
            FState = UrlState::TrailingBlanks;
        } else if (IsSlash(c)) {
            FPathText += c;
            FState = UrlState::Path;
        } else {
            FState = UrlState::Error;
        }
    }

    // Ends the path at "#", "?" or "&"; returns false for other characters.
    bool EndPath(char c) {
        if (c != '#' && c != '?' && c != '&') return false;
        if (!FPathText.empty()) {
            FAddr.Path = TrimSpaces(FPathText);
            FPathText.clear();
        }
        if (c == '#') {
            FState = UrlState::Fragment;
        } else {
            FAddr.QueryDelim = c;
            FState = UrlState::Query;
        }
        return true;
    }

    void OnPath(char c) {
        if (c == ' ')
            FState = UrlState::TrailingBlanks;
        else if (!EndPath(c))
            FPathText += c;
    }

    void OnFragment(char c) {
        if (c == '?' || c == '&')
            EndPath(c);
        else
            FAddr.Fragment += c;
    }

    void OnQuery(char c) {
        if (c == ' ')
            FState = UrlState::TrailingBlanks;
        else
            FAddr.Query += c;
    }

    void OnTrailingBlanks(char c) {
        if (c != ' ') FState = UrlState::Error;
    }

    std::string TakeWord() {
        std::string word;
        word.swap(FWord);
        return word;
    }

    const std::string& FUrl;
    TIpAddrRec& FAddr;
    UrlState FState = UrlState::Start;
    std::string FWord;
    std::string FPathText;
    bool FSchemeSeen = false;
};

// Paths as they appear inside a URL: "|" for the drive colon and "/" for separators.
std::string UrlForm(std::string text) {
    std::replace(text.begin(), text.end(), ':', '|');
    std::replace(text.begin(), text.end(), '\\', '/');
    return text;
}

std::string UpperCase(std::string text) {
    for (char& c : text)
        if (c >= 'a' && c <= 'z') c = char(c - 'a' + 'A');
    return text;
}

// The path up to and including its last "/"; empty when it has none.
std::string DirectoryOf(const std::string& path) {
    const int32_t slash = RCharPos('/', path);
    return path.substr(0, size_t(slash));
}

std::string WithTrailingSlash(std::string text) {
    if (text.empty() || text.back() != '/') text += '/';
    return text;
}

// A new URL that begins with ".": climbs one directory of the base for every "../" in it.
std::string ResolveDotted(const TIpAddrRec& base, const std::string& newURL,
                          const std::string& prefix) {
    std::string baseDir = WithTrailingSlash(DirectoryOf(UrlForm(base.Path)));
    int32_t found = PosIdx("../", newURL, 1);
    // Without "../" the rest starts at the third character, which skips a leading "./".
    int32_t rest = found > 0 ? found + 3 : 3;
    int32_t cut = RCharPos('/', baseDir);
    while (found > 0) {
        found = PosIdx("../", newURL, found + 3);
        if (found > 0) rest = found + 3;
        cut = RCharPosIdx('/', baseDir, cut - 1);
    }
    baseDir = WithTrailingSlash(baseDir.substr(0, size_t(cut)));
    const std::string tail =
        size_t(rest - 1) < newURL.size() ? newURL.substr(size_t(rest - 1)) : std::string();
    std::string result = prefix + baseDir + tail;
    const size_t dot = result.find("/./");
    if (dot != std::string::npos) result.erase(dot + 1, 2);  // "/./" -> "/"
    return result;
}

}  // namespace

bool ParseURL(const std::string& url, TIpAddrRec& addr) {
    return UrlParser(url, addr).Run();
}

std::string BuildURL(const std::string& baseURL, const std::string& newURL) {
    if (baseURL.empty()) return newURL;
    if (newURL.empty()) return baseURL;
    TIpAddrRec base;
    TIpAddrRec next;
    ParseURL(baseURL, base);
    ParseURL(newURL, next);
    const std::string schemePart = base.Scheme.empty() ? std::string() : base.Scheme + "://";
    const std::string portPart = base.Port.empty() ? std::string() : ":" + base.Port;

    if (UpperCase(next.Scheme) == "FILE") return next.Scheme + "://" + UrlForm(next.Path);
    if (!next.Scheme.empty()) return newURL;
    if (newURL[0] == '/') return schemePart + base.Authority + portPart + newURL;
    if (newURL[0] == '.')
        return ResolveDotted(base, newURL, schemePart + base.Authority + portPart);

    std::string baseDir = DirectoryOf(UrlForm(base.Path));
    if (!baseDir.empty() && baseDir[0] == '/') baseDir.erase(0, 1);
    std::string result = schemePart;
    if (!base.Authority.empty()) result += base.Authority + portPart + "/";
    if (!baseDir.empty()) result += WithTrailingSlash(baseDir);
    return result + newURL;
}
