#pragma once
// The one message-box service of the program.
//
// With a display (a QApplication exists, its platform is neither "offscreen" nor "minimal", the
// call comes from the GUI thread, and the unattended switch is off) a modal QMessageBox is shown
// and its answer returned. Otherwise the box is headless: its caption and text are logged (to
// stderr and to the installed log sink) and the default answer is returned at once.
#include <cstdint>
#include <functional>
#include <string>

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

// Shows (or, headless, logs) a message box and returns the answer (IDOK, IDYES, ...). Texts are
// UTF-8 bytes; they are shown as plain text, never interpreted as markup.
int MessageBox(const std::string& text, const std::string& caption, uint32_t flags);
// MessageBox with MB_OK and the application's name as caption.
void ShowMessage(const std::string& text);

// The answer a headless box gives for these flags: the button chosen by MB_DEFBUTTONn (the
// first button when n is beyond the box's buttons).
int DefaultMessageBoxAnswer(uint32_t flags);

// Unattended mode: every box is headless, also with a display.
void SetUnattended(bool unattended);
bool Unattended();
// True when a box would be shown now (see the top of this file).
bool MessageBoxHasDisplay();

// Receives every headless box: caption, text, flags and the answer given.
using TMessageLogSink = std::function<void(const std::string& caption, const std::string& text,
                                           uint32_t flags, int answer)>;
// Installs the sink (an empty function removes it); returns the previous one.
TMessageLogSink SetMessageLogSink(TMessageLogSink sink);

// Test hook: when installed, it answers every box in place of the display and the headless
// default (nothing is shown or logged). An empty function removes it; returns the previous one.
using TMessageBoxHandler =
    std::function<int(const std::string& text, const std::string& caption, uint32_t flags)>;
TMessageBoxHandler SetMessageBoxHandler(TMessageBoxHandler handler);
