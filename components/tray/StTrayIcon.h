#pragma once
// TStTrayIcon: the application's icon in the desktop's notification area, with a tip, clicks,
// a popup menu ("&Close" and "&Restore" built in), animation through an image list, and the owner
// window hidden to the tray when it is minimised or closed and brought back by a double click.
//
// The owner is a form (its window is taken when the icon is made), or for code without forms a
// window given as such: the icon subclasses that window (GWLP_WNDPROC) when it is first shown, to
// see its minimise and close commands and its first position changes. Where the
// desktop has no tray, the owner is never hidden (nothing could bring it back): minimising leaves
// an ordinary minimised window, and a close meant for the tray minimises it instead.
//
// Shell callbacks arrive at a hidden window of the icon, as the tray service posts them (see
// platform/shell/Tray.h); the animation runs on a window timer of that window.
#include <functional>
#include <memory>
#include <string>

#include "components/tray/SsBase.h"
#include "platform/actions/ActnList.h"
#include "platform/core/Messages.h"
#include "platform/gdi/Graphics.h"
#include "platform/menus/Menus.h"
#include "platform/shell/Tray.h"
#include "platform/widgets/Control.h"

class TStCustomTrayIcon;
using TTrayClickEvent =
    std::function<void(TObject* Sender, TMouseButton Button, TShiftState Shift)>;
using TTrayDblClickEvent =
    std::function<void(TObject* Sender, TMouseButton Button, TShiftState Shift, bool& RestoreApp)>;

// The callback message and icon id of the tray icon's records.
inline constexpr UINT kTrayCallbackMessage = WM_USER + 767;
inline constexpr UINT kTrayIconId = 2;
// The built-in popup menu's commands.
inline constexpr UINT kTrayCloseCommand = 1;
inline constexpr UINT kTrayRestoreCommand = 2;

class TStCustomTrayIcon : public TSsShellComponent {
  public:
    // The icon of the form AOwner (what definitions make). Raises ESsTrayIconError 133 when the
    // program has a tray icon already.
    explicit TStCustomTrayIcon(TComponent* AOwner);
    TStCustomTrayIcon(TComponent* AOwner, HWND OwnerWindow);
    ~TStCustomTrayIcon() override;

    bool Active() const { return FActive; }
    void SetActive(bool Value);
    bool Animate() const { return FAnimate; }
    void SetAnimate(bool Value);
    bool CloseToTray() const { return FCloseToTray; }
    void SetCloseToTray(bool Value) { FCloseToTray = Value; }
    bool HideOnRestore() const { return FHideOnRestore; }
    void SetHideOnRestore(bool Value) { FHideOnRestore = Value; }
    const std::string& Hint() const { return FHint; }
    void SetHint(const std::string& Value);
    TIcon& Icon() { return FIcon; }
    void SetIcon(const TIcon& Value);
    TCustomImageList* Images() const { return FImages; }
    void SetImages(TCustomImageList* Value);
    int ImageIndex() const { return FImageIndex; }
    void SetImageIndex(int Value);
    int Interval() const { return FInterval; }
    void SetInterval(int Value);
    bool MinimizeToTray() const { return FMinimizeToTray; }
    void SetMinimizeToTray(bool Value) { FMinimizeToTray = Value; }
    // The menu a right click opens (the built-in one at first; 0: none). Commands of a menu of
    // the program's go to the owner window as WM_COMMAND. (Seam: the class library's TPopupMenu
    // will be published here as a component, handing its HMENU to this path.)
    HMENU PopupMenu() const { return FPopupMenu; }
    void SetPopupMenu(HMENU Value) { FPopupMenu = Value; }
    HMENU BuiltInMenu() const { return FBuiltInMenu; }
    bool ShowHint() const { return FShowHint; }
    void SetShowHint(bool Value);

    TTrayClickEvent OnClick;
    TTrayDblClickEvent OnDblClick;
    TNotifyEvent OnMinimize;
    TNotifyEvent OnRestore;

    // The window that receives the shell's callbacks.
    HWND Handle() const { return FHandle; }
    HWND OwnerWindow() const { return FOwnerWindow; }
    bool Shown() const { return FShown; }
    // The animation timer's period while it runs, else 0.
    UINT TimerInterval() const { return FTimerRunning ? Period() : 0; }
    // Brings the owner window back, as a double click does.
    void RestoreOwner();

  protected:
    // Shows the icon when Active, with Icon or image ImageIndex of Images.
    void Loaded() override;

  private:
    struct TOwnerHook;
    NOTIFYICONDATA Record() const;
    void ShowIcon();
    void RemoveIcon();
    void UpdateShell();
    void TakeImage(int Index);
    UINT Period() const { return FInterval > 0 ? UINT(FInterval) : 200; }
    void StartTimer();
    void StopTimer();
    void Tick();
    void TrayMessage(TMessage& Message);
    void Callback(LPARAM Mouse);
    void DoubleClick(TMouseButton Button);
    void PopUp();
    bool OwnerMessage(TMessage& Message);
    void HookOwner();

    HWND FOwnerWindow;
    HWND FHandle = 0;
    HMENU FBuiltInMenu = 0;
    HMENU FPopupMenu = 0;
    bool FActive = true;
    bool FAnimate = false;
    bool FCloseToTray = true;
    bool FHideOnRestore = false;
    bool FMinimizeToTray = false;
    bool FShowHint = true;
    std::string FHint;
    TIcon FIcon;
    TIcon FShownIcon;
    TCustomImageList* FImages = nullptr;
    int FImageIndex = 0;
    int FInterval = 250;
    bool FShown = false;
    bool FTimerRunning = false;
    int FFrame = 0;
    bool FResumeAnimation = false;
    int FStartHidden = 0;
    std::shared_ptr<TOwnerHook> FOwnerHook;
};

class TStTrayIcon : public TStCustomTrayIcon {
  public:
    using TStCustomTrayIcon::TStCustomTrayIcon;
    // For code that made the icon itself, once its properties are set (the form reader calls it
    // for icons of definitions).
    using TStCustomTrayIcon::Loaded;
};

// Posts the minimise command to the application's main form, when it has one.
void PostMinimizeMainForm();
