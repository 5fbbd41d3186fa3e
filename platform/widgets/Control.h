#pragma once
// Controls: the base of everything placed on a form.
//
// TControl is a rectangle of its parent's client area with a caption, font, colour, hint, cursor
// and mouse events. TWinControl adds a window of the window layer, created on demand, with
// children, focus, tab order and keys; TGraphicControl is painted in its parent's window;
// TCustomControl is a window that paints itself on a canvas.
//
// Messages: every message of a control goes through WindowProc (replaceable, so that others can
// watch or change what a control receives), whose default is WndProc; WndProc hands it to Dispatch,
// which calls the message methods of the classes (each class handles what it knows and passes the
// rest to its base), and what no class handles goes to DefaultHandler: the window procedure the
// control's window had before it was subclassed (a standard control's own procedure, or
// DefWindowProc). Perform sends a message through WindowProc.
//
// Coordinates: Left/Top/Width/Height are in the parent's client area, a form's on the screen.
// Alignment and anchors (see Align.h) place the children of a TWinControl when it changes size.
//
// Ownership: as components, controls are freed by their owner; a control also leaves its parent
// when it is freed, and a TWinControl frees nothing it does not own (its children belong to their
// owners, normally the form).
#include <functional>
#include <string>
#include <vector>

#include "platform/actions/ActnList.h"
#include "platform/actions/ShortCuts.h"
#include "platform/classes/Exception.h"
#include "platform/core/Application.h"
#include "platform/core/Window.h"
#include "platform/forms/ClassRegistry.h"
#include "platform/forms/Component.h"
#include "platform/forms/Set.h"
#include "platform/gdi/Graphics.h"
#include "platform/widgets/ControlMessages.h"

class TWinControl;
class TCustomForm;

// An operation the control cannot do in its state (a visible form made modal, a control without
// a parent window).
class EInvalidOperation : public Exception {
  public:
    using Exception::Exception;
};
class TPopupMenu;
class TControlActionLink;

enum TAlign { alNone, alTop, alBottom, alLeft, alRight, alClient };
enum TAnchorKind { akLeft, akTop, akRight, akBottom };
using TAnchors = TSet<TAnchorKind>;
enum TMouseButton { mbLeft, mbRight, mbMiddle };
// Frames of forms; controls with a border of their own take bsNone or bsSingle.
enum TFormBorderStyle { bsNone, bsSingle, bsSizeable, bsDialog, bsToolWindow, bsSizeToolWin };

// What a control class is (set by its constructor).
enum TControlStyleItem {
    csAcceptsControls,  // may be the parent of controls
    csCaptureMouse,     // takes the mouse capture while a button is down
    csClickEvents,      // a press and release on it is a click
    csFramed,
    csSetCaption,    // takes its name as caption while the caption is empty
    csOpaque,        // paints all of its rectangle
    csDoubleClicks,  // gets double clicks (else they count as presses)
    csFixedWidth,
    csFixedHeight,
    csNoStdEvents,
    csReplicatable,
    csParentBackground,
};
using TControlStyle = TSet<TControlStyleItem>;
// What a control is doing.
enum TControlStateItem {
    csLButtonDown,
    csClicked,
    csPalette,
    csReadingState,
    csAlignmentNeeded,
    csFocusing,
    csCreating,
    csPaintCopy,
    csCustomPaint,
    csDestroyingHandle,
};
using TControlState = TSet<TControlStateItem>;

// Cursors by number; crDefault leaves the choice to the window below.
using TCursor = int;
inline constexpr TCursor crDefault = 0, crNone = -1, crArrow = -2, crCross = -3, crIBeam = -4,
                         crSizeNESW = -6, crSizeNS = -7, crSizeNWSE = -8, crSizeWE = -9,
                         crUpArrow = -10, crHourGlass = -11, crDrag = -12, crNoDrop = -13,
                         crHSplit = -14, crVSplit = -15, crMultiDrag = -16, crSQLWait = -17,
                         crNo = -18, crAppStart = -19, crHelp = -20, crHandPoint = -21,
                         crSizeAll = -22, crSize = -22;
// Cursors by their cr* identifiers, for definitions.
const TIdentMap& CursorIdents();

using TMouseEvent =
    std::function<void(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y)>;
using TMouseMoveEvent = std::function<void(TObject* Sender, TShiftState Shift, int X, int Y)>;
using TKeyEvent = std::function<void(TObject* Sender, WORD& Key, TShiftState Shift)>;
using TKeyPressEvent = std::function<void(TObject* Sender, char& Key)>;
using TContextPopupEvent = std::function<void(TObject* Sender, TPoint MousePos, bool& Handled)>;

// The shift state of mouse messages' key flags, and of the keyboard now.
TShiftState MouseShiftState(WPARAM KeyFlags);
TShiftState KeyboardShiftState();
// The short part of a hint ("short|long") and the long part (the whole hint without a bar).
std::string GetShortHint(const std::string& Hint);
std::string GetLongHint(const std::string& Hint);

class TControl : public TComponent {
  public:
    explicit TControl(TComponent* AOwner);
    ~TControl() override;

    // --- place ---
    TWinControl* Parent() const { return FParent; }
    virtual void SetParent(TWinControl* AParent);
    int Left() const { return FLeft; }
    int Top() const { return FTop; }
    int Width() const { return FWidth; }
    int Height() const { return FHeight; }
    void SetLeft(int Value) { SetBounds(Value, FTop, FWidth, FHeight); }
    void SetTop(int Value) { SetBounds(FLeft, Value, FWidth, FHeight); }
    void SetWidth(int Value) { SetBounds(FLeft, FTop, Value, FHeight); }
    void SetHeight(int Value) { SetBounds(FLeft, FTop, FWidth, Value); }
    virtual void SetBounds(int ALeft, int ATop, int AWidth, int AHeight);
    TRect BoundsRect() const { return TRect{FLeft, FTop, FLeft + FWidth, FTop + FHeight}; }
    void SetBoundsRect(const TRect& R) { SetBounds(R.Left, R.Top, R.Width(), R.Height()); }
    // The client area in the control's own coordinates.
    virtual TRect ClientRect();
    int ClientWidth() { return ClientRect().Right; }
    int ClientHeight() { return ClientRect().Bottom; }
    void SetClientWidth(int Value) { SetClientSize(Value, ClientHeight()); }
    void SetClientHeight(int Value) { SetClientSize(ClientWidth(), Value); }
    virtual void SetClientSize(int AWidth, int AHeight);
    // Screen position of the client area's top-left corner.
    virtual TPoint ClientOrigin();
    TPoint ClientToScreen(TPoint P);
    TPoint ScreenToClient(TPoint P);
    TAlign Align() const { return FAlign; }
    void SetAlign(TAlign Value);
    TAnchors Anchors() const { return FAnchors; }
    void SetAnchors(TAnchors Value);

    // --- look ---
    bool Visible() const { return FVisible; }
    void SetVisible(bool Value);
    void Show() { SetVisible(true); }
    void Hide() { SetVisible(false); }
    bool Enabled() const { return FEnabled; }
    virtual void SetEnabled(bool Value);
    // Caption and Text are one string; a window control keeps it in its window.
    std::string Caption() { return GetText(); }
    void SetCaption(const std::string& Value) { SetText(Value); }
    std::string Text() { return GetText(); }
    void SetText(const std::string& Value);
    TFont* Font() { return &FFont; }
    void SetFont(const TFont* Value) { FFont.Assign(*Value); }
    bool ParentFont() const { return FParentFont; }
    void SetParentFont(bool Value);
    TColor Color() const { return FColor; }
    void SetColor(TColor Value);
    bool ParentColor() const { return FParentColor; }
    void SetParentColor(bool Value);
    const std::string& Hint() const { return FHint; }
    void SetHint(const std::string& Value) { FHint = Value; }
    bool ShowHint() const { return FShowHint; }
    void SetShowHint(bool Value);
    bool ParentShowHint() const { return FParentShowHint; }
    void SetParentShowHint(bool Value);
    TPopupMenu* PopupMenu() const { return FPopupMenu; }
    void SetPopupMenu(TPopupMenu* Value);
    TCursor Cursor() const { return FCursor; }
    void SetCursor(TCursor Value);
    bool AutoSize() const { return FAutoSize; }
    virtual void SetAutoSize(bool Value);
    // An action whose caption, enabling, hint, visibility and handler the control takes over.
    TBasicAction* Action() const;
    void SetAction(TBasicAction* Value);

    // --- state ---
    TControlStyle ControlStyle() const { return FControlStyle; }
    void SetControlStyle(TControlStyle Value) { FControlStyle = Value; }
    TControlState ControlState() const { return FControlState; }
    void SetControlState(TControlState Value) { FControlState = Value; }
    // Visible, with every parent visible (and, for a form, shown).
    bool IsVisibleOnScreen();
    bool MouseCapture();
    void SetMouseCapture(bool Value);

    // --- messages ---
    // Sends the message through WindowProc and returns its result.
    LRESULT Perform(UINT Msg, WPARAM WParam = 0, LPARAM LParam = 0);
    // What the control's messages go through first; WndProc unless replaced.
    TWndMethod WindowProc;
    virtual void WndProc(TMessage& Message);
    // The message methods of the classes; the base sends what it does not know to DefaultHandler.
    virtual void Dispatch(TMessage& Message);
    virtual void DefaultHandler(TMessage& Message);

    // --- painting and order ---
    virtual void Invalidate();
    virtual void Update();
    void Repaint();
    void Refresh() { Repaint(); }
    void BringToFront();
    void SendToBack();

    // --- events ---
    virtual void Click();
    virtual void DblClick();
    TNotifyEvent OnClick;
    TNotifyEvent OnDblClick;
    TMouseEvent OnMouseDown;
    TMouseMoveEvent OnMouseMove;
    TMouseEvent OnMouseUp;
    TNotifyEvent OnResize;
    TContextPopupEvent OnContextPopup;

    bool HasParent() const override { return true; }
    TComponent* GetParentComponent() const override;

  protected:
    void SetParentComponent(TComponent* Value) override;
    void Loaded() override;
    void Notification(TComponent* AComponent, TOperation Operation) override;

    virtual std::string GetText();
    virtual void SetTextValue(const std::string& Value);
    virtual void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y);
    virtual void MouseMove(TShiftState Shift, int X, int Y);
    virtual void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y);
    virtual void Resize();
    // The control's size changed to fit its content (labels, panels); the base does nothing.
    virtual void AdjustSize() {}
    // Tells the parent that this control's place changed, so that alignment runs again.
    void RequestAlign();
    // Recomputes where the anchors keep the control (after it was placed by a caller).
    void UpdateAnchorRules();
    // Sends Msg to every child (window controls and graphic ones) of a parent.
    virtual void ActionChange(TBasicAction* Sender, bool CheckDefaults);
    TControlActionLink* ActionLink() const { return FActionLink; }
    // Whether the caption was set (for csSetCaption).
    void SetName(const std::string& NewName) override;

    // Every message a control class knows goes through here (see Dispatch).
    void WMMouse(TMessage& Message, UINT Msg);
    void CMFontChanged(TMessage& Message);
    void CMParentFontChanged(TMessage& Message);
    void CMParentColorChanged(TMessage& Message);
    void CMParentShowHintChanged(TMessage& Message);
    void CMHitTest(TMessage& Message);
    void WMContextMenu(TMessage& Message);
    // Where a menu opened from the keyboard shows, in client coordinates: below the control's
    // focus item where it has one in view, else at its corner.
    virtual TPoint KeyboardPopupPoint() { return TPoint{0, 0}; }
    // That point for a focus item at Item (client coordinates; empty: none).
    TPoint PopupPointBelow(const TRect& Item);

    // Places the control without recording the place for the anchors (alignment does this).
    void SetBoundsFromLayout(int ALeft, int ATop, int AWidth, int AHeight);
    // The font, colour or hint flag changed: the children that follow their parent hear of it.
    void NotifyChildren(UINT Msg);

    TWinControl* FParent = nullptr;
    int FLeft = 0;
    int FTop = 0;
    int FWidth = 0;
    int FHeight = 0;
    TAlign FAlign = alNone;
    TAnchors FAnchors{akLeft, akTop};
    bool FVisible = true;
    bool FEnabled = true;
    std::string FText;
    TFont FFont;
    bool FParentFont = true;
    TColor FColor = clWindow;
    bool FParentColor = true;
    std::string FHint;
    bool FShowHint = false;
    bool FParentShowHint = true;
    TPopupMenu* FPopupMenu = nullptr;
    TCursor FCursor = crDefault;
    bool FAutoSize = false;
    TControlStyle FControlStyle{csCaptureMouse, csClickEvents, csSetCaption, csDoubleClicks};
    TControlState FControlState;

  private:
    friend class TWinControl;
    friend class TControlActionLink;
    friend struct TAnchorRules;
    void DoActionChange(TObject* Sender);
    void FontChanged();

    // Where the anchors hold the control: its rectangle and the parent's client size when it was
    // last placed by a caller.
    struct TAnchorOrigin {
        TRect Bounds;
        int ParentWidth = -1;
        int ParentHeight = -1;
    };
    TAnchorOrigin FAnchorOrigin;
    bool FPlacingByLayout = false;
    TControlActionLink* FActionLink = nullptr;
};

// Keeps a control's caption, enabling, hint, visibility and click handler in step with its action.
class TControlActionLink : public TActionLink {
  public:
    TControlActionLink(TControl* Client, TBasicAction* Action);
    TControl* Client() const { return FClient; }

    bool IsCaptionLinked() const override;
    bool IsEnabledLinked() const override;
    bool IsHintLinked() const override;
    bool IsVisibleLinked() const override;
    bool IsOnExecuteLinked() const override;

  protected:
    void SetCaption(const std::string& Value) override;
    void SetEnabled(bool Value) override;
    void SetHint(const std::string& Value) override;
    void SetVisible(bool Value) override;
    void SetOnExecute(const TNotifyEvent& Value) override;

  private:
    TControl* FClient;
};

struct TCreateParams {
    std::string Caption;
    DWORD Style = 0;
    DWORD ExStyle = 0;
    int X = 0;
    int Y = 0;
    int Width = 0;
    int Height = 0;
    HWND WndParent = 0;
    void* Param = nullptr;
    // The class the window is made of: the control's own class (WinClassName) registered from
    // WindowClass, whose procedure (a standard control's, or DefWindowProc) becomes the control's
    // DefaultHandler.
    WNDCLASS WindowClass;
    std::string WinClassName;
};

using TTabOrder = int;

class TWinControl : public TControl {
  public:
    explicit TWinControl(TComponent* AOwner);
    ~TWinControl() override;

    // The window, made on first use (with the parent's, which must exist).
    HWND Handle();
    bool HandleAllocated() const { return FHandle != 0; }
    void HandleNeeded() { (void)Handle(); }
    // The window goes and is made again with the control's state (styles changed).
    void RecreateWnd();
    // The control of a window of ours, or null.
    static TWinControl* FromHandle(HWND Wnd);

    // --- children ---
    int ControlCount() const { return int(FControls.size()); }
    TControl* Controls(int Index) const { return FControls.at(size_t(Index)); }
    void InsertControl(TControl* AControl);
    void RemoveControl(TControl* AControl);
    bool ContainsControl(TControl* Control) const;
    // The child at the point (client coordinates), topmost first; window children only when
    // AllowWinControls.
    TControl* ControlAtPos(TPoint Pos, bool AllowDisabled, bool AllowWinControls = false);
    // Places the children by Align and Anchors again.
    void Realign();
    // The same for every window control below, parents first.
    void RealignTree();
    void DisableAlign() { ++FAlignLevel; }
    void EnableAlign();
    int BorderWidth() const { return FBorderWidth; }
    void SetBorderWidth(int Value);

    // --- focus and tab order ---
    bool TabStop() const { return FTabStop; }
    void SetTabStop(bool Value);
    TTabOrder TabOrder() const;
    void SetTabOrder(TTabOrder Value);
    virtual bool CanFocus();
    bool Focused();
    virtual void SetFocus();
    // Window children in tab order, depth first (children of a child follow it).
    void GetTabOrderList(std::vector<TWinControl*>& List);
    TWinControl* FindNextControl(TWinControl* CurControl, bool GoForward, bool CheckTabStop,
                                 bool CheckParent);
    void SelectNext(TWinControl* CurControl, bool GoForward, bool CheckTabStop);
    // The handle exists and is visible on the screen.
    bool Showing();
    // A message handler of this control or of one of its children is running.
    bool HandlerRunning() const;

    void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;
    TRect ClientRect() override;
    TPoint ClientOrigin() override;
    void SetClientSize(int AWidth, int AHeight) override;
    void Invalidate() override;
    void Update() override;
    void DefaultHandler(TMessage& Message) override;
    void Dispatch(TMessage& Message) override;
    void WndProc(TMessage& Message) override;

    TNotifyEvent OnEnter;
    TNotifyEvent OnExit;
    TKeyEvent OnKeyDown;
    TKeyPressEvent OnKeyPress;
    TKeyEvent OnKeyUp;

  protected:
    virtual void CreateParams(TCreateParams& Params);
    // Takes a standard control's class (by name) as the one this control's window is made of.
    void CreateSubClass(TCreateParams& Params, const char* ControlClassName);
    virtual void CreateWnd();
    virtual void CreateWindowHandle(const TCreateParams& Params);
    // The window is made: children's windows are made, the font and the state are applied.
    virtual void CreateHandle();
    virtual void DestroyWnd();
    virtual void DestroyWindowHandle();
    virtual void DestroyHandle();
    // Alignment: the rectangle the children are placed in, and placing them.
    virtual void AdjustClientRect(TRect& Rect);
    virtual void AlignControls(TControl* AControl, TRect& Rect);
    // Painting: the window's own content, then its graphic children.
    void PaintHandler(TMessage& Message);
    virtual void PaintWindow(HDC DC);
    void PaintControls(HDC DC, TControl* First);
    // The form that sees this control's keys first (KeyPreview), or null.
    TWinControl* KeyPreviewer();
    // Keys: the events, the form's preview first; true when the key was used.
    virtual bool DoKeyDown(WORD& Key, TShiftState Shift);
    virtual bool DoKeyUp(WORD& Key, TShiftState Shift);
    virtual bool DoKeyPress(char& Key);
    virtual void KeyDown(WORD& Key, TShiftState Shift);
    virtual void KeyUp(WORD& Key, TShiftState Shift);
    virtual void KeyPress(char& Key);
    virtual void DoEnter();
    virtual void DoExit();
    // What the window's WM_GETDLGCODE answers, for the dialog keys.
    LRESULT DialogCode();
    // The colours a standard control paints with: its window asks its parent (WM_CTLCOLOR...),
    // the parent hands the question back (CN_CTLCOLOR...) and the control answers with its font's
    // colour on its own colour, with a brush it keeps (the answer must outlive the question).
    LRESULT CtlColorAnswer(HDC DC);
    void SetTextValue(const std::string& Value) override;
    std::string GetText() override;
    void Loaded() override;
    void SetChildOrder(TComponent* Child, int Order) override;
    void GetChildren(const TGetChildProc& Proc, TComponent* Root) override;
    // The window changed place or size (moved by the user, by the window layer): the control
    // takes its window's rectangle.
    void UpdateBounds();
    // Sends Msg to every child.
    void Broadcast(TMessage& Message);

    HWND FHandle = 0;
    WNDPROC FDefWndProc = nullptr;

  private:
    friend class TControl;
    friend class TCustomForm;
    friend LRESULT InitWndProc(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam);
    void MainWndProc(TMessage& Message);
    void AlignChildren();
    void InsertTab(TWinControl* Control);
    void ApplyFont();
    // The form's active control when it is this control or inside it, else null.
    TWinControl* ActiveInside();
    // This control (with Leaving, the form's active control inside it) was hidden or disabled:
    // the form's focus goes on to the next control in its tab order that can take it, else to
    // the form itself.
    void FocusMovesOn(TWinControl* Leaving);
    // Routes a mouse message that arrived at this window to a graphic child under the cursor (or
    // with the capture); true when one took it.
    bool RouteToGraphicChild(TMessage& Message);
    void WMCommandLike(TMessage& Message);
    void WMKeyLike(TMessage& Message);
    void WMKeyEvent(TMessage& Message);
    void WMSetCursor(TMessage& Message);

    std::vector<TControl*> FControls;  // z-order, bottom first
    std::vector<TWinControl*> FTabList;
    bool FTabStop = false;
    int FAlignLevel = 0;
    int FBorderWidth = 0;
    WNDPROC FObjectInstance = nullptr;
    bool FDestroyingHandle = false;
    bool FRecreating = false;
    // The id of the control's child window.
    UINT FCtlId = 0;
    // Messages of this control being handled (on the stack) right now.
    int FDispatchDepth = 0;
    TBrush FCtlColorBrush;
};

// A control that paints itself in its parent's window (labels, bevels, speed buttons).
class TGraphicControl : public TControl {
  public:
    explicit TGraphicControl(TComponent* AOwner);
    ~TGraphicControl() override;
    TCanvas* Canvas() { return &FCanvas; }

  protected:
    friend class TWinControl;
    virtual void Paint() {}
    void Dispatch(TMessage& Message) override;

  private:
    TCanvas FCanvas;
};

// A window control that paints itself on its canvas (panels, the bars, the viewers).
class TCustomControl : public TWinControl {
  public:
    explicit TCustomControl(TComponent* AOwner);
    ~TCustomControl() override;
    TCanvas* Canvas() { return &FCanvas; }

  protected:
    virtual void Paint() {}
    void PaintWindow(HDC DC) override;

  private:
    TCanvas FCanvas;
};

// Runs Then through Application.ReleaseLater, in the first pass in which no handler of Control or
// of its children runs (HandlerRunning), or once Control went some other way (ControlGone).
void AfterHandlersOf(TWinControl* Control, std::function<void(bool ControlGone)> Then);
// Frees Control (Free) after its handlers (AfterHandlersOf). When something else frees it first
// (its owner), that is heard and the control is not freed again.
void ReleaseControlLater(TWinControl* Control);

// The form that holds the control (its top-level parent), or null.
TCustomForm* GetParentForm(TControl* Control);
// The control of a window, or of its nearest ancestor that has one.
TWinControl* FindControl(HWND Wnd);
TWinControl* FindVCLWindow(POINT ScreenPos);
// The control under a screen point: the window control there, or the graphic child of it there.
TControl* FindDragTarget(POINT ScreenPos, bool AllowDisabled);
// The control that has the mouse capture (graphic controls included), or null.
TControl* GetCaptureControl();
void SetCaptureControl(TControl* Control);
