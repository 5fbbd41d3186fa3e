#pragma once
// Forms, the screen and the class library's application object.
//
// A form is a top-level window control read from its definition (resources/forms/, see
// platform/forms/FormDefinitions.h). C++ constructs a form's own class last, so a form cannot read
// its definition in its constructor (the fields and methods it binds are not there yet): forms are
// made with CreateForm (or Forms.CreateForm), which constructs and then calls AfterConstruction,
// which reads the definition and runs OnCreate.
//
// Modal forms run their own modal loop (RunModalLoop): every other form is disabled in the window
// layer meanwhile (their input is blocked, they are not greyed), and sockets, timers and painting
// go on. The default button answers Enter, the cancel button Esc.
//
// The application object (Forms) holds the main form, the hint machinery and the idle step, and
// routes keys before they are translated: a key goes first to the form's shortcuts (OnShortCut and
// action lists), then to the key events (the form's first with KeyPreview), then, when the control
// does not want it, to the form as a dialog key (Tab, arrows, Enter, Esc); Alt with a letter finds
// the control whose accelerator it is.
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/widgets/Control.h"

enum TBorderIcon { biSystemMenu, biMinimize, biMaximize, biHelp };
using TBorderIcons = TSet<TBorderIcon>;
enum TPosition {
    poDesigned,
    poDefault,
    poDefaultPosOnly,
    poDefaultSizeOnly,
    poScreenCenter,
    poDesktopCenter,
    poMainFormCenter,
    poOwnerFormCenter
};
enum TWindowState { wsNormal, wsMinimized, wsMaximized };
// The screen a form asks to open on; kept for the form's saved state, every form opens on the
// screen its position names.
enum TDefaultMonitor { dmDesktop, dmPrimary, dmMainForm, dmActiveForm };
enum TFormStyle { fsNormal, fsMDIChild, fsMDIForm, fsStayOnTop };
enum TCloseAction { caNone, caHide, caFree, caMinimize };
enum TFormStateItem { fsCreating, fsVisible, fsShowing, fsModal, fsActivated };
using TFormState = TSet<TFormStateItem>;

using TModalResult = int;
inline constexpr TModalResult mrNone = 0, mrOk = 1, mrCancel = 2, mrAbort = 3, mrRetry = 4,
                              mrIgnore = 5, mrYes = 6, mrNo = 7, mrAll = 8, mrNoToAll = 9,
                              mrYesToAll = 10;

using TCloseEvent = std::function<void(TObject* Sender, TCloseAction& Action)>;
using TCloseQueryEvent = std::function<void(TObject* Sender, bool& CanClose)>;
// Key and shift of a key about to reach a control; Handled keeps it from going on.
using TShortCutEvent = std::function<void(WORD Key, TShiftState Shift, bool& Handled)>;

class TCustomForm : public TWinControl {
  public:
    explicit TCustomForm(TComponent* AOwner);
    ~TCustomForm() override;

    // Reads the definitions of the form's classes (the most basic first) and runs OnCreate.
    // Raises the reader's errors (nothing is shown then).
    virtual void AfterConstruction();

    void Show();
    void Hide();
    // Asks OnCloseQuery, runs OnClose and does what it decides: hide (the default), free later,
    // minimise or nothing. A modal form only sets ModalResult to mrCancel. Closing the main form
    // ends the application.
    void Close();
    // Frees the form in a later pass (safe from its own handlers).
    void Release();
    // Shows the form modal and returns its ModalResult once it is set (or the form is hidden).
    // EInvalidOperation for a form that is visible or disabled already.
    TModalResult ShowModal();
    TModalResult ModalResult() const { return FModalResult; }
    void SetModalResult(TModalResult Value);
    // OnCloseQuery's answer (true without a handler).
    virtual bool CloseQuery();

    TWinControl* ActiveControl() const { return FActiveControl; }
    void SetActiveControl(TWinControl* Value);
    // Gives the control the focus when the form is active, and makes it the active control.
    void FocusControl(TWinControl* Control);
    // The window layer gave the focus to Control (a control of this form).
    void SetFocusedControl(TWinControl* Control);
    // A key the form's shortcuts take (OnShortCut, then the action lists and the menus the form
    // owns).
    virtual bool IsShortCut(WORD Key, TShiftState Shift);
    bool Active() const { return FActive; }

    bool KeyPreview() const { return FKeyPreview; }
    void SetKeyPreview(bool Value) { FKeyPreview = Value; }
    TFormBorderStyle BorderStyle() const { return FBorderStyle; }
    void SetBorderStyle(TFormBorderStyle Value);
    TBorderIcons BorderIcons() const { return FBorderIcons; }
    void SetBorderIcons(TBorderIcons Value);
    TPosition Position() const { return FPosition; }
    void SetPosition(TPosition Value) { FPosition = Value; }
    TWindowState WindowState();
    void SetWindowState(TWindowState Value);
    TFormStyle FormStyle() const { return FFormStyle; }
    void SetFormStyle(TFormStyle Value);
    TDefaultMonitor DefaultMonitor() const { return FDefaultMonitor; }
    void SetDefaultMonitor(TDefaultMonitor Value) { FDefaultMonitor = Value; }
    TFormState FormState() const { return FFormState; }
    TCanvas* Canvas() { return &FCanvas; }
    // Accepted from definitions; every form works at 96 pixels per inch.
    int PixelsPerInch() const { return 96; }
    void SetPixelsPerInch(int) {}

    TRect ClientRect() override;
    void SetClientSize(int AWidth, int AHeight) override;
    // One side of the client area, as definitions give it: while the form is read the frame is
    // not known yet, so the size is applied once every property is read.
    void SetDefinedClientWidth(int Value);
    void SetDefinedClientHeight(int Value);

    TNotifyEvent OnCreate;
    TNotifyEvent OnShow;
    TNotifyEvent OnHide;
    TCloseEvent OnClose;
    TCloseQueryEvent OnCloseQuery;
    TNotifyEvent OnDestroy;
    TNotifyEvent OnActivate;
    TNotifyEvent OnDeactivate;
    TNotifyEvent OnPaint;
    TShortCutEvent OnShortCut;

  protected:
    void CreateParams(TCreateParams& Params) override;
    void CreateWnd() override;
    void Dispatch(TMessage& Message) override;
    void PaintWindow(HDC DC) override;
    void BeforeDestruction() override;
    void Loaded() override;
    void ReadState(TReader& Reader) override;
    virtual void DoCreate();
    virtual void DoShow();
    virtual void DoHide();
    virtual void DoClose(TCloseAction& Action);
    virtual void DoDestroy();
    virtual void Activate();
    virtual void Deactivate();

  private:
    friend class TFormsApplication;
    friend class TWinControl;
    void ControlDestroyed(TWinControl* Control);
    void SetActive(bool Value);
    void PlaceOnShow();
    void CloseModal();
    void CMDialogKey(TMessage& Message);
    DWORD FrameStyle() const;
    DWORD FrameExStyle() const;
    // The client size a definition asked for, applied once the frame is known.
    void ApplyClientSize();

    TWinControl* FActiveControl = nullptr;
    TWinControl* FFocusedControl = nullptr;
    TModalResult FModalResult = mrNone;
    bool FKeyPreview = false;
    bool FActive = false;
    bool FCreated = false;
    TFormBorderStyle FBorderStyle = bsSizeable;
    TBorderIcons FBorderIcons{biSystemMenu, biMinimize, biMaximize};
    TPosition FPosition = poDesigned;
    TWindowState FWindowState = wsNormal;
    TFormStyle FFormStyle = fsNormal;
    TDefaultMonitor FDefaultMonitor = dmActiveForm;
    TFormState FFormState;
    TCanvas FCanvas;
    int FClientWidth = -1;
    int FClientHeight = -1;
    bool FPlaced = false;
};

class TForm : public TCustomForm {
  public:
    using TCustomForm::TCustomForm;
};

// Makes a form of class T and reads it (see the top of this file).
template <class T, class... A>
T* CreateForm(TComponent* Owner, A&&... Args) {
    T* Form = new T(Owner, std::forward<A>(Args)...);
    try {
        Form->AfterConstruction();
    } catch (...) {
        Form->Free();
        throw;
    }
    return Form;
}

// --- hints -----------------------------------------------------------------------------------

class THintWindow;
using THintWindowClass = std::function<THintWindow*(TComponent* Owner)>;

// What the application is about to show as a hint; OnShowHint and CM_HINTSHOW may change it.
struct THintInfo {
    TControl* HintControl = nullptr;
    THintWindowClass HintWindowClass;
    // Screen position of the hint's top-left corner.
    TPoint HintPos;
    int HintMaxWidth = 0;
    TColor HintColor = clInfoBk;
    // While the cursor stays in this rectangle (the control's client coordinates) the hint stays.
    TRect CursorRect;
    TPoint CursorPos;
    // Milliseconds until the hint is asked for again (0: not), and until it hides (-1: the
    // application's HintHidePause).
    int ReshowTimeout = 0;
    int HideTimeout = -1;
    std::string HintStr;
    void* HintData = nullptr;
};

using TShowHintEvent =
    std::function<void(std::string& HintStr, bool& CanShow, THintInfo& HintInfo)>;

// The window a hint shows in: a small yellow window on top of everything, never activated.
class THintWindow : public TCustomControl {
  public:
    explicit THintWindow(TComponent* AOwner);
    // Shows Hint at Rect (screen coordinates), moved inside the screen.
    virtual void ActivateHint(TRect Rect, const std::string& Hint);
    virtual void ActivateHintData(TRect Rect, const std::string& Hint, void* Data);
    // The rectangle the hint needs (at 0,0), at most MaxWidth wide.
    virtual TRect CalcHintRect(int MaxWidth, const std::string& Hint, void* Data);
    // Hides the window (it stays for the next hint).
    void ReleaseHandle();
    bool IsHintMsg(const MSG& Msg);

  protected:
    void CreateParams(TCreateParams& Params) override;
    void Paint() override;
    void Dispatch(TMessage& Message) override;
};

// --- the screen ------------------------------------------------------------------------------

class TScreen {
  public:
    TScreen();
    ~TScreen();

    int FormCount() const { return int(FForms.size()); }
    TCustomForm* Forms(int Index) const { return FForms.at(size_t(Index)); }
    TCustomForm* ActiveForm() const { return FActiveForm; }
    TWinControl* ActiveControl() const { return FActiveControl; }
    // The cursor over every window of the program while not crDefault (the hourglass).
    TCursor Cursor() const { return FCursor; }
    void SetCursor(TCursor Value);
    // The cursor handle of a cursor number; crDefault gives the arrow.
    HCURSOR Cursors(TCursor Index) const;
    void SetCursors(TCursor Index, HCURSOR Value);
    TFont* HintFont() { return &FHintFont; }
    TFont* MenuFont() { return &FMenuFont; }
    TFont* IconFont() { return &FIconFont; }
    int Width() const;
    int Height() const;
    TRect WorkAreaRect() const;
    int WorkAreaLeft() const { return WorkAreaRect().Left; }
    int WorkAreaTop() const { return WorkAreaRect().Top; }
    int WorkAreaWidth() const { return WorkAreaRect().Width(); }
    int WorkAreaHeight() const { return WorkAreaRect().Height(); }
    int PixelsPerInch() const { return 96; }

    TNotifyEvent OnActiveFormChange;
    TNotifyEvent OnActiveControlChange;

  private:
    friend class TCustomForm;
    friend class TFormsApplication;
    void AddForm(TCustomForm* Form);
    void RemoveForm(TCustomForm* Form);
    void SetActiveForm(TCustomForm* Form);
    void SetActiveControl(TWinControl* Control);
    friend class TWinControl;
    void ControlDestroyed(TWinControl* Control);

    std::vector<TCustomForm*> FForms;
    TCustomForm* FActiveForm = nullptr;
    TWinControl* FActiveControl = nullptr;
    TCursor FCursor = crDefault;
    std::vector<std::pair<TCursor, HCURSOR>> FCursors;
    TFont FHintFont;
    TFont FMenuFont;
    TFont FIconFont;
};

extern TScreen* Screen;

// --- the application object ------------------------------------------------------------------

class TFormsApplication : public TComponent {
  public:
    TFormsApplication();
    ~TFormsApplication() override;

    // Hooks the application object into every message loop and makes the screen object. The
    // program calls it once after its Qt application object exists; it registers the classes and
    // installs the on-screen dialogs (used when the program has a display).
    void Initialize();
    bool Initialized() const { return FInitialized; }

    // The first form made by CreateForm; closing it ends the application.
    TCustomForm* MainForm() const { return FMainForm; }
    template <class T>
    T* CreateForm(T** Reference = nullptr) {
        T* Form = ::CreateForm<T>(this);
        if (!FMainForm) FMainForm = Form;
        if (Reference) *Reference = Form;
        return Form;
    }
    // Shows the main form (when ShowMainForm) and runs the message loop until Terminate.
    int Run();
    void Terminate();
    bool Terminated() const;
    bool ProcessMessages();
    void HandleException(TObject* Sender);
    // The program's name in the desktop; the application window's caption. Until it is set the
    // caption is the program file's name without its extension.
    std::string Title() const;
    void SetTitle(const std::string& Value);
    bool ShowMainForm = true;
    // The application window: hidden, of class "TApplication", captioned with the title, made by
    // Initialize. It stands for the whole program (another copy of it looks for this window):
    // activating it brings the main form forward, restoring the application when it is
    // minimised; its minimise and restore commands minimise and restore the application.
    HWND Handle() const { return FHandle; }
    // The program's icon (empty: none), which the tray and the windows show when they have none
    // of their own.
    TIcon* Icon() { return &FIcon; }
    // Takes Icon over as the program's icon; the windows' captions and the desktop show it too.
    void SetIcon(HICON Icon);

    // Minimises or restores every form the application shows.
    void Minimize();
    void Restore();
    bool Minimized() const { return FMinimized; }
    TNotifyEvent OnMinimize;
    TNotifyEvent OnRestore;
    // Runs when a loop is about to wait; Done false asks for another idle step at once.
    std::function<void(TObject* Sender, bool& Done)> OnIdle;

    // --- hints ---
    // The long part of the hint of the control under the mouse; setting it runs OnHint.
    const std::string& Hint() const { return FHint; }
    void SetHint(const std::string& Value);
    bool ShowHint() const { return FShowHint; }
    void SetShowHint(bool Value);
    TColor HintColor = clInfoBk;
    int HintPause = 500;
    int HintShortPause = 50;
    int HintHidePause = 2500;
    bool HintShortCuts = true;
    TNotifyEvent OnHint;
    TShowHintEvent OnShowHint;
    // Makes the application's hint window. A new class takes over when ShowHint is switched off
    // and on again (the window then goes and the next hint makes one).
    THintWindowClass HintWindowClass;
    // Shows the hint of the control under CursorPos (screen coordinates) now.
    void ActivateHint(TPoint CursorPos);
    // Hides the hint and starts over: the next hint waits HintPause again.
    void CancelHint();
    void HideHint();
    // The hint window shown now, or null.
    THintWindow* HintWindow() const { return FHintWindow; }
    // The control the mouse is over (graphic controls included).
    TControl* MouseControl() const { return FMouseControl; }

  protected:
    void Notification(TComponent* AComponent, TOperation Operation) override;

  private:
    friend class TCustomForm;
    bool OnMessage(MSG& Msg);
    void Idle();
    bool KeyMessage(MSG& Msg);
    void MouseMoved(const MSG& Msg);
    void SetMouseControl(TControl* Control);
    void HintTimerExpired();
    void HideTimerExpired();
    void StartHintTimer(int Pause);
    void StopHintTimer();
    void TimerMessage(TMessage& Message);
    static LRESULT ApplicationWndProc(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam);
    void BringMainFormForward();

    TCustomForm* FMainForm = nullptr;
    HWND FHandle = 0;
    TIcon FIcon;
    bool FInitialized = false;
    bool FMinimized = false;
    std::string FHint;
    bool FShowHint = true;
    TControl* FMouseControl = nullptr;
    THintWindow* FHintWindow = nullptr;
    bool FHintActive = false;
    bool FHintShown = false;
    TControl* FHintControl = nullptr;
    TRect FHintCursorRect;
    HWND FTimerWindow = 0;
    std::vector<HWND> FMinimizedForms;
};

extern TFormsApplication Forms;
