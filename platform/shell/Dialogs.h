#pragma once
// The one service for message boxes and the open, save and folder dialogs.
//
// Who answers (DialogService):
//   1. a service installed with SetDialogService (tests install a TScriptedDialogService);
//   2. else, when a box may be shown (MessageBoxHasDisplay: a QApplication on a real display, on
//      its thread, not unattended, and an on-screen service installed with
//      SetOnScreenDialogService), that service: the dialogs of platform/dialogs, run by our own
//      modal loop (the class library's application object installs them when it starts);
//   3. else the headless service: it logs the box (stderr and the log sink) and takes the
//      default answer at once; a file or folder dialog counts as cancelled. It never waits.
// SetMessageBoxHandler, a hook older callers use, answers message boxes before all of these.
//
// Texts are UTF-8 for message boxes (they are logged and shown as plain text, never as markup);
// file names and folders are the program's byte strings.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

// Buttons (low four bits of the flags).
inline constexpr uint32_t MB_OK = 0x0;
inline constexpr uint32_t MB_OKCANCEL = 0x1;
inline constexpr uint32_t MB_ABORTRETRYIGNORE = 0x2;
inline constexpr uint32_t MB_YESNOCANCEL = 0x3;
inline constexpr uint32_t MB_YESNO = 0x4;
inline constexpr uint32_t MB_RETRYCANCEL = 0x5;
// Icons.
inline constexpr uint32_t MB_ICONHAND = 0x10;
inline constexpr uint32_t MB_ICONERROR = MB_ICONHAND;
inline constexpr uint32_t MB_ICONSTOP = MB_ICONHAND;
inline constexpr uint32_t MB_ICONQUESTION = 0x20;
inline constexpr uint32_t MB_ICONEXCLAMATION = 0x30;
inline constexpr uint32_t MB_ICONWARNING = MB_ICONEXCLAMATION;
inline constexpr uint32_t MB_ICONASTERISK = 0x40;
inline constexpr uint32_t MB_ICONINFORMATION = MB_ICONASTERISK;
// Default button (the answer of a headless box).
inline constexpr uint32_t MB_DEFBUTTON1 = 0x000;
inline constexpr uint32_t MB_DEFBUTTON2 = 0x100;
inline constexpr uint32_t MB_DEFBUTTON3 = 0x200;
// Accepted and ignored (every box is application-modal here).
inline constexpr uint32_t MB_APPLMODAL = 0x0000;
inline constexpr uint32_t MB_SYSTEMMODAL = 0x1000;
inline constexpr uint32_t MB_TASKMODAL = 0x2000;

// Answers.
inline constexpr int IDOK = 1;
inline constexpr int IDCANCEL = 2;
inline constexpr int IDABORT = 3;
inline constexpr int IDRETRY = 4;
inline constexpr int IDIGNORE = 5;
inline constexpr int IDYES = 6;
inline constexpr int IDNO = 7;

// Folder dialog flags (what the directory edit passes; only the first is acted upon here).
inline constexpr uint32_t BIF_RETURNONLYFSDIRS = 0x0001;
inline constexpr uint32_t BIF_DONTGOBELOWDOMAIN = 0x0002;
inline constexpr uint32_t BIF_RETURNFSANCESTORS = 0x0008;
inline constexpr uint32_t BIF_BROWSEFORCOMPUTER = 0x1000;
inline constexpr uint32_t BIF_BROWSEFORPRINTER = 0x2000;

enum class TFileDialogKind { Open, Save };

// An open or save dialog, as the class library's dialog components describe it.
struct TFileDialogRequest {
    TFileDialogKind Kind = TFileDialogKind::Open;
    std::string Title;
    // Pairs of description and patterns: "Kestro Konfiguration|*.cfg|Alle Dateien|*.*".
    std::string Filter;
    int FilterIndex = 1;  // 1-based
    // Added (with a dot) to a chosen name that has no extension: "cfg".
    std::string DefaultExt;
    std::string InitialDir;
    std::string FileName;
    bool OverwritePrompt = false;
    bool FileMustExist = false;
    bool AllowMultiSelect = false;
};

struct TFileDialogAnswer {
    bool Accepted = false;
    std::vector<std::string> Files;
    int FilterIndex = 1;
    // The first chosen file, empty when none.
    std::string FileName() const { return Files.empty() ? std::string() : Files.front(); }
};

struct TFolderDialogRequest {
    std::string Title;
    // The folder the browser cannot leave; empty for the whole file system.
    std::string Root;
    // The folder selected when it opens.
    std::string Selected;
    uint32_t Flags = BIF_RETURNONLYFSDIRS;
};

struct TFolderDialogAnswer {
    bool Accepted = false;
    std::string Folder;
};

class TDialogService {
  public:
    virtual ~TDialogService() = default;
    virtual int MessageBox(const std::string& Text, const std::string& Caption, uint32_t Flags) = 0;
    virtual TFileDialogAnswer FileDialog(const TFileDialogRequest& Request) = 0;
    virtual TFolderDialogAnswer BrowseForFolder(const TFolderDialogRequest& Request) = 0;
};

// Logs and answers at once (see the top of this file).
class THeadlessDialogService : public TDialogService {
  public:
    int MessageBox(const std::string& Text, const std::string& Caption, uint32_t Flags) override;
    TFileDialogAnswer FileDialog(const TFileDialogRequest& Request) override;
    TFolderDialogAnswer BrowseForFolder(const TFolderDialogRequest& Request) override;
};

// For tests: answers from queues the test fills and records every request. A request that finds
// its queue empty is answered as the headless service would (without logging) and counted.
class TScriptedDialogService : public TDialogService {
  public:
    enum class TKind { MessageBox, FileDialog, Folder };
    struct TAsked {
        TKind Kind;
        // MessageBox
        std::string Text;
        std::string Caption;
        uint32_t Flags = 0;
        // FileDialog, Folder
        TFileDialogRequest File;
        TFolderDialogRequest Folder;
    };

    void QueueAnswer(int Answer) { FAnswers.push_back(Answer); }
    void QueueFile(TFileDialogAnswer Answer) { FFiles.push_back(std::move(Answer)); }
    void QueueFolder(TFolderDialogAnswer Answer) { FFolders.push_back(std::move(Answer)); }

    const std::vector<TAsked>& Asked() const { return FAsked; }
    int Unanswered() const { return FUnanswered; }

    int MessageBox(const std::string& Text, const std::string& Caption, uint32_t Flags) override;
    TFileDialogAnswer FileDialog(const TFileDialogRequest& Request) override;
    TFolderDialogAnswer BrowseForFolder(const TFolderDialogRequest& Request) override;

  private:
    std::vector<int> FAnswers;
    std::vector<TFileDialogAnswer> FFiles;
    std::vector<TFolderDialogAnswer> FFolders;
    std::vector<TAsked> FAsked;
    int FUnanswered = 0;
};

// The service that answers now (see the top of this file). User-interface thread only.
TDialogService& DialogService();
// Installs a service that answers everything (none: back to the display or headless); returns
// the previous one.
std::unique_ptr<TDialogService> SetDialogService(std::unique_ptr<TDialogService> Service);
// Installs the service that shows dialogs on the display; returns the previous one.
std::unique_ptr<TDialogService> SetOnScreenDialogService(std::unique_ptr<TDialogService> Service);

// Shows (or, headless, logs) a message box and returns the answer (IDOK, IDYES, ...); shown, a
// box with an empty caption carries the application's title.
int MessageBox(const std::string& text, const std::string& caption, uint32_t flags);
// The application's title: Application.Title, else the program's name.
std::string ApplicationTitle();
// MessageBox with MB_OK and the application's title as caption.
void ShowMessage(const std::string& text);
// Runs an open or save dialog. A chosen name without an extension gets DefaultExt, whichever
// service answered.
TFileDialogAnswer ExecuteFileDialog(const TFileDialogRequest& Request);
TFolderDialogAnswer ExecuteFolderDialog(const TFolderDialogRequest& Request);

// The description and patterns of a dialog filter ("a|*.x|b|*.y" -> {a, *.x}, {b, *.y}); a
// description without patterns gets "*".
std::vector<std::pair<std::string, std::string>> ParseDialogFilter(const std::string& Filter);
// Name with ".Ext" added when its last path component has no extension (and Ext is not empty).
std::string AddDefaultExt(const std::string& Name, const std::string& Ext);

// The answers of the buttons a box with these flags shows, left to right (an unknown button type
// shows OK alone).
std::vector<int> MessageBoxAnswers(uint32_t Flags);
// The caption of the button that gives Answer in the user's language, "&" before the key that
// presses it: "OK", "Cancel", "&Abort", "&Retry", "&Ignore", "&Yes", "&No" (in German "OK",
// "Abbrechen", "&Abbrechen", "&Wiederholen", "&Ignorieren", "&Ja", "&Nein"); empty for any other
// value.
std::string MessageBoxButtonCaption(int Answer);
// Whether the dialogs that stand in for the system's speak German: the user's language for
// messages (LC_ALL, LC_MESSAGES or LANG, the first one set) is German. English otherwise.
bool GermanDialogs();
// The answer a headless box gives for these flags: the button chosen by MB_DEFBUTTONn (the
// first button when n is beyond the box's buttons).
int DefaultMessageBoxAnswer(uint32_t flags);

// Unattended mode: every box is headless, also with a display.
void SetUnattended(bool unattended);
bool Unattended();
// True when a box would be shown on the display now (see the top of this file).
bool MessageBoxHasDisplay();

// Receives every headless box: caption, text, flags and the answer given.
using TMessageLogSink = std::function<void(const std::string& caption, const std::string& text,
                                           uint32_t flags, int answer)>;
// Installs the sink (an empty function removes it); returns the previous one.
TMessageLogSink SetMessageLogSink(TMessageLogSink sink);

// When installed, it answers every message box in place of the services (nothing is shown or
// logged). An empty function removes it; returns the previous one.
using TMessageBoxHandler =
    std::function<int(const std::string& text, const std::string& caption, uint32_t flags)>;
TMessageBoxHandler SetMessageBoxHandler(TMessageBoxHandler handler);
