#include "platform/shell/Dialogs.h"

#include <QApplication>
#include <QGuiApplication>
#include <QThread>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>

#include "platform/classes/Mnemonics.h"
#include "platform/core/Application.h"
#include "platform/core/DisplayWatch.h"

namespace {

std::atomic<bool> gUnattended{false};
// Guards the hooks and the installed services (boxes may be asked for from any thread; only the
// user-interface thread ever shows one).
std::mutex gLock;
TMessageLogSink gSink;
TMessageBoxHandler gHandler;
std::unique_ptr<TDialogService> gInstalled;
std::unique_ptr<TDialogService> gOnScreen;

// The buttons of each kind of box, left to right.
struct TButtonSet {
    uint32_t Type;
    std::vector<int> Answers;
};
const TButtonSet kButtonSets[] = {
    {MB_OK, {IDOK}},
    {MB_OKCANCEL, {IDOK, IDCANCEL}},
    {MB_ABORTRETRYIGNORE, {IDABORT, IDRETRY, IDIGNORE}},
    {MB_YESNOCANCEL, {IDYES, IDNO, IDCANCEL}},
    {MB_YESNO, {IDYES, IDNO}},
    {MB_RETRYCANCEL, {IDRETRY, IDCANCEL}},
};

struct TButtonCaption {
    int Answer;
    const char* English;
    const char* German;
};
constexpr TButtonCaption kButtonCaptions[] = {
    {IDOK, "OK", "OK"},
    {IDCANCEL, "Cancel", "Abbrechen"},
    {IDABORT, "&Abort", "&Abbrechen"},
    {IDRETRY, "&Retry", "&Wiederholen"},
    {IDIGNORE, "&Ignore", "&Ignorieren"},
    {IDYES, "&Yes", "&Ja"},
    {IDNO, "&No", "&Nein"},
};

const TButtonCaption* ButtonCaption(int Answer) {
    for (const TButtonCaption& B : kButtonCaptions)
        if (B.Answer == Answer) return &B;
    return nullptr;
}

const char* KindOf(uint32_t Flags) {
    switch (Flags & 0xF0) {
        case MB_ICONHAND:
            return "error";
        case MB_ICONQUESTION:
            return "question";
        case MB_ICONEXCLAMATION:
            return "warning";
        case MB_ICONASTERISK:
            return "information";
        default:
            return "message";
    }
}

// The button's caption without its key mark, for the log (in one language, whatever the user's).
std::string AnswerName(int Answer) {
    const TButtonCaption* B = ButtonCaption(Answer);
    if (!B) return "?";
    return StripMnemonics(B->English);
}

// Control bytes from server replies or files must not reach a terminal as escape sequences.
std::string Printable(const std::string& Text) {
    std::string Out;
    for (char Ch : Text) {
        const auto C = static_cast<unsigned char>(Ch);
        if (C == '\n') {
            Out += " / ";
        } else if (C < 0x20 || C == 0x7f) {
            static const char Digits[] = "0123456789abcdef";
            Out += "\\x";
            Out += Digits[C >> 4];
            Out += Digits[C & 15];
        } else {
            Out += Ch;
        }
    }
    return Out;
}

THeadlessDialogService& Headless() {
    static THeadlessDialogService Service;
    return Service;
}

}  // namespace

// ---- the headless service ------------------------------------------------------------------

int THeadlessDialogService::MessageBox(const std::string& Text, const std::string& Caption,
                                       uint32_t Flags) {
    const int Answer = DefaultMessageBoxAnswer(Flags);
    std::fprintf(stderr, "[%s] %s: %s (answered %s)\n", KindOf(Flags), Printable(Caption).c_str(),
                 Printable(Text).c_str(), AnswerName(Answer).c_str());
    TMessageLogSink Sink;
    {
        std::lock_guard<std::mutex> Guard(gLock);
        Sink = gSink;
    }
    if (Sink) Sink(Caption, Text, Flags, Answer);
    return Answer;
}

TFileDialogAnswer THeadlessDialogService::FileDialog(const TFileDialogRequest& Request) {
    std::fprintf(stderr, "[dialog] %s: %s (cancelled, nobody to answer)\n",
                 Request.Kind == TFileDialogKind::Save ? "save" : "open",
                 Printable(Request.Title).c_str());
    return {};
}

TFolderDialogAnswer THeadlessDialogService::BrowseForFolder(const TFolderDialogRequest& Request) {
    std::fprintf(stderr, "[dialog] folder: %s (cancelled, nobody to answer)\n",
                 Printable(Request.Title).c_str());
    return {};
}

// ---- the scripted service ------------------------------------------------------------------

int TScriptedDialogService::MessageBox(const std::string& Text, const std::string& Caption,
                                       uint32_t Flags) {
    TAsked Asked;
    Asked.Kind = TKind::MessageBox;
    Asked.Text = Text;
    Asked.Caption = Caption;
    Asked.Flags = Flags;
    FAsked.push_back(std::move(Asked));
    if (FAnswers.empty()) {
        ++FUnanswered;
        return DefaultMessageBoxAnswer(Flags);
    }
    const int Answer = FAnswers.front();
    FAnswers.erase(FAnswers.begin());
    return Answer;
}

TFileDialogAnswer TScriptedDialogService::FileDialog(const TFileDialogRequest& Request) {
    TAsked Asked;
    Asked.Kind = TKind::FileDialog;
    Asked.File = Request;
    FAsked.push_back(std::move(Asked));
    if (FFiles.empty()) {
        ++FUnanswered;
        return {};
    }
    TFileDialogAnswer Answer = std::move(FFiles.front());
    FFiles.erase(FFiles.begin());
    return Answer;
}

TFolderDialogAnswer TScriptedDialogService::BrowseForFolder(const TFolderDialogRequest& Request) {
    TAsked Asked;
    Asked.Kind = TKind::Folder;
    Asked.Folder = Request;
    FAsked.push_back(std::move(Asked));
    if (FFolders.empty()) {
        ++FUnanswered;
        return {};
    }
    TFolderDialogAnswer Answer = std::move(FFolders.front());
    FFolders.erase(FFolders.begin());
    return Answer;
}

// ---- choosing the service ------------------------------------------------------------------

TDialogService& DialogService() {
    std::lock_guard<std::mutex> Guard(gLock);
    if (gInstalled) return *gInstalled;
    // Once the display went, nothing can show: questions take their default answer.
    if (gOnScreen && !gUnattended && !DisplayGone()) {
        auto* App = qobject_cast<QApplication*>(QCoreApplication::instance());
        const QString Platform = App ? QGuiApplication::platformName() : QString();
        if (App != nullptr && QThread::currentThread() == App->thread() &&
            Platform != QLatin1String("offscreen") && Platform != QLatin1String("minimal"))
            return *gOnScreen;
    }
    return Headless();
}

std::unique_ptr<TDialogService> SetDialogService(std::unique_ptr<TDialogService> Service) {
    std::lock_guard<std::mutex> Guard(gLock);
    std::swap(gInstalled, Service);
    return Service;
}

std::unique_ptr<TDialogService> SetOnScreenDialogService(std::unique_ptr<TDialogService> Service) {
    std::lock_guard<std::mutex> Guard(gLock);
    std::swap(gOnScreen, Service);
    return Service;
}

bool MessageBoxHasDisplay() {
    TDialogService& Service = DialogService();
    std::lock_guard<std::mutex> Guard(gLock);
    return gOnScreen && &Service == gOnScreen.get();
}

std::vector<int> MessageBoxAnswers(uint32_t Flags) {
    for (const TButtonSet& Set : kButtonSets)
        if (Set.Type == (Flags & 0xF)) return Set.Answers;
    return kButtonSets[0].Answers;
}

std::string MessageBoxButtonCaption(int Answer) {
    const TButtonCaption* B = ButtonCaption(Answer);
    if (!B) return {};
    return GermanDialogs() ? B->German : B->English;
}

bool GermanDialogs() {
    // The first of these that is set names the language of messages, as the C library has it.
    for (const char* Name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        const char* Value = std::getenv(Name);
        if (Value && *Value) return std::strncmp(Value, "de", 2) == 0;
    }
    return false;
}

int DefaultMessageBoxAnswer(uint32_t Flags) {
    const std::vector<int> Answers = MessageBoxAnswers(Flags);
    const size_t Index = (Flags >> 8) & 0xF;
    return Answers[Index < Answers.size() ? Index : 0];
}

void SetUnattended(bool unattended) {
    gUnattended = unattended;
}

bool Unattended() {
    return gUnattended;
}

TMessageLogSink SetMessageLogSink(TMessageLogSink sink) {
    std::lock_guard<std::mutex> Guard(gLock);
    std::swap(gSink, sink);
    return sink;
}

TMessageBoxHandler SetMessageBoxHandler(TMessageBoxHandler handler) {
    std::lock_guard<std::mutex> Guard(gLock);
    std::swap(gHandler, handler);
    return handler;
}

// ---- what callers use ----------------------------------------------------------------------

int MessageBox(const std::string& text, const std::string& caption, uint32_t flags) {
    TMessageBoxHandler Handler;
    {
        std::lock_guard<std::mutex> Guard(gLock);
        Handler = gHandler;
    }
    if (Handler) return Handler(text, caption, flags);
    return DialogService().MessageBox(text, caption, flags);
}

std::string ApplicationTitle() {
    if (!Application.Title.empty()) return Application.Title;
    return QCoreApplication::instance() ? QCoreApplication::applicationName().toStdString()
                                        : std::string();
}

void ShowMessage(const std::string& text) {
    MessageBox(text, ApplicationTitle(), MB_OK);
}

TFileDialogAnswer ExecuteFileDialog(const TFileDialogRequest& Request) {
    TFileDialogAnswer Answer = DialogService().FileDialog(Request);
    if (!Answer.Accepted) return {};
    for (std::string& File : Answer.Files) File = AddDefaultExt(File, Request.DefaultExt);
    return Answer;
}

TFolderDialogAnswer ExecuteFolderDialog(const TFolderDialogRequest& Request) {
    TFolderDialogAnswer Answer = DialogService().BrowseForFolder(Request);
    if (!Answer.Accepted) return {};
    return Answer;
}

std::vector<std::pair<std::string, std::string>> ParseDialogFilter(const std::string& Filter) {
    std::vector<std::string> Parts;
    size_t Start = 0;
    while (Start <= Filter.size() && !Filter.empty()) {
        const size_t Bar = Filter.find('|', Start);
        Parts.push_back(Filter.substr(Start, Bar - Start));
        if (Bar == std::string::npos) break;
        Start = Bar + 1;
    }
    std::vector<std::pair<std::string, std::string>> Pairs;
    for (size_t I = 0; I < Parts.size(); I += 2) {
        std::string Patterns = I + 1 < Parts.size() ? Parts[I + 1] : std::string();
        if (Patterns.empty()) Patterns = "*";
        Pairs.emplace_back(Parts[I], std::move(Patterns));
    }
    return Pairs;
}

std::string AddDefaultExt(const std::string& Name, const std::string& Ext) {
    if (Ext.empty() || Name.empty()) return Name;
    const size_t Slash = Name.find_last_of("/\\");
    const size_t Base = Slash == std::string::npos ? 0 : Slash + 1;
    if (Base >= Name.size() || Name.find('.', Base) != std::string::npos) return Name;
    return Name + "." + (Ext[0] == '.' ? Ext.substr(1) : Ext);
}
