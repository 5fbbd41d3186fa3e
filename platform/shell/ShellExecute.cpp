#include "platform/shell/ShellExecute.h"

#include <QProcess>
#include <QStringList>

#include <algorithm>

#include "platform/fs/Files.h"
#include "platform/shell/Limits.h"

namespace {

class TDetachedRunner : public TProcessRunner {
  public:
    bool Start(const std::string& Program, const std::vector<std::string>& Arguments,
               const std::string& Directory) override {
        QStringList Args;
        for (const std::string& Arg : Arguments)
            Args << QString::fromLocal8Bit(Arg.data(), qsizetype(Arg.size()));
        return QProcess::startDetached(
            QString::fromStdString(Program), Args,
            QString::fromLocal8Bit(Directory.data(), qsizetype(Directory.size())));
    }
};

std::unique_ptr<TProcessRunner>& InstalledRunner() {
    static std::unique_ptr<TProcessRunner> Installed = std::make_unique<TDetachedRunner>();
    return Installed;
}

std::string Lower(std::string Text) {
    for (char& C : Text)
        if (C >= 'A' && C <= 'Z') C = char(C - 'A' + 'a');
    return Text;
}

// The scheme of a URL ("http"), empty when the text is not one. One letter before the colon is
// a drive ("C:\..."), not a scheme.
std::string SchemeOf(const std::string& Text) {
    const size_t Colon = Text.find(':');
    if (Colon == std::string::npos || Colon < 2) return {};
    for (size_t I = 0; I < Colon; ++I) {
        const char C = Text[I];
        const bool Letter = (C >= 'a' && C <= 'z') || (C >= 'A' && C <= 'Z');
        if (!Letter && (I == 0 || !((C >= '0' && C <= '9') || C == '+' || C == '-' || C == '.')))
            return {};
    }
    return Lower(Text.substr(0, Colon));
}

bool HasControlCharacters(const std::string& Text) {
    return std::any_of(Text.begin(), Text.end(), [](char C) {
        const auto Byte = static_cast<unsigned char>(C);
        return Byte < 0x20 || Byte == 0x7F;
    });
}

}  // namespace

std::intptr_t ShellExecute(HWND, const std::string& Operation, const std::string& File,
                           const std::string&, const std::string& Directory, int) {
    const std::string Verb = Lower(Operation);
    if (!Verb.empty() && Verb != "open" && Verb != "explore") return SE_ERR_NOASSOC;
    if (File.empty() || File.size() > ShellLimits::kMaxOpenTargetLength ||
        HasControlCharacters(File))
        return ERROR_FILE_NOT_FOUND;

    std::string Target;
    const std::string Scheme = SchemeOf(File);
    if (!Scheme.empty()) {
        static const char* const Known[] = {"http", "https", "ftp", "mailto",
                                            "news", "nntp",  "file"};
        if (std::find(std::begin(Known), std::end(Known), Scheme) == std::end(Known))
            return SE_ERR_NOASSOC;
        Target = File;
    } else {
        std::string Path = File;
        const bool Absolute = Path[0] == '/' || Path[0] == '\\';
        if (!Absolute && !Directory.empty()) Path = IncludeTrailingPathDelimiter(Directory) + Path;
        Path = ResolvePath(Path);
        if (!FileExists(Path) && !DirectoryExists(Path)) return ERROR_FILE_NOT_FOUND;
        // Absolute, so that the handler never takes the name for an option.
        Target = ExpandFileName(Path);
    }
    if (!InstalledRunner()->Start("xdg-open", {Target}, Directory)) return SE_ERR_NOASSOC;
    return 42;
}

std::unique_ptr<TProcessRunner> SetProcessRunner(std::unique_ptr<TProcessRunner> Runner) {
    if (!Runner) Runner = std::make_unique<TDetachedRunner>();
    std::swap(InstalledRunner(), Runner);
    return Runner;
}
