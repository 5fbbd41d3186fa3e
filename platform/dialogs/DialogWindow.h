#pragma once
// The base of the on-screen dialogs: a top-level window of the dialog class with a modal frame,
// holding standard controls that the dialog makes itself in the dialog font, placed over its
// owner (the program's active window) or in the middle of the work area, and run on the
// program's own modal loop: every other top-level window is disabled meanwhile, sockets, timers,
// posted messages and painting go on, and the dialog keys (DialogKeys.h) work inside it.
//
// The dialog object lives on its caller's stack for the whole run; the window is made when the
// run starts and destroyed before it returns. The default push button shows its heavier frame;
// while the focus is on another push button, that one shows it (and Enter clicks it).
#include <cstdint>
#include <string>

#include "platform/core/Window.h"
#include "platform/shell/Dialogs.h"

class TDialogWindow {
  public:
    // Caption: UTF-8.
    explicit TDialogWindow(std::string Caption);
    virtual ~TDialogWindow();
    TDialogWindow(const TDialogWindow&) = delete;
    TDialogWindow& operator=(const TDialogWindow&) = delete;

    // Makes the window and its controls, shows it and runs its loop until EndDialog; returns the
    // value EndDialog was given, or QuitAnswer when the program ends first (WM_QUIT) or the window
    // was destroyed by someone else.
    int RunModal();
    // The window while the dialog runs, else 0.
    HWND Handle() const { return FHandle; }

    // The dialog class's name.
    static constexpr const char* kClassName = "#32770";

  protected:
    // Makes the controls (the window exists and is hidden) and returns the client size needed.
    virtual SIZE Build() = 0;
    // WM_COMMAND of a control, or of a dialog key (Enter: the default button's id, Esc: IDCANCEL).
    virtual void Command(WORD Id, WORD Code, HWND Control) = 0;
    // WM_NOTIFY of a control.
    virtual LRESULT Notify(NMHDR& Header);
    // Paints what the dialog shows besides its controls (the face is erased already).
    virtual void Paint(HDC DC);
    // Whether Esc and the close box may end the dialog (with IDCANCEL to Command).
    virtual bool CanCancel() const { return true; }
    virtual int QuitAnswer() const { return IDCANCEL; }
    // The control that has the focus when the dialog opens: the default button, else the first
    // control with a tab stop.
    virtual HWND FirstFocus();

    void EndDialog(int Result);
    // Makes a child control of the dialog, in the dialog font; controls are in the tab order in
    // the order they are made. Text: Windows-1252 bytes.
    HWND AddControl(const char* ClassName, const std::string& Text, DWORD Style, const RECT& Place,
                    UINT Id, DWORD ExStyle = 0);
    HWND Control(UINT Id) const;
    // The id of the default push button (0: none); Enter clicks it.
    void SetDefaultButton(UINT Id);
    UINT DefaultButton() const { return FDefaultId; }
    // The dialog font and the size of a text in it (Windows-1252; DT_ flags as DrawText's).
    static HFONT Font();
    static SIZE TextExtent(const std::string& Text, int MaxWidth = 0, UINT Format = 0);
    // The window the dialog is placed over (0: the screen).
    HWND Owner() const { return FOwner; }

  private:
    static LRESULT Procedure(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam);
    LRESULT WndProc(UINT Msg, WPARAM WParam, LPARAM LParam);
    void Create();
    void Place(SIZE Client);
    void Activated(bool Active);
    // The default look goes to the focused push button, else back to the default button.
    void UpdateDefaultLook();

    std::string FCaption;
    HWND FHandle = 0;
    HWND FOwner = 0;
    HWND FLastFocus = 0;
    UINT FDefaultId = 0;
    bool FEnded = false;
    int FResult = 0;
};
