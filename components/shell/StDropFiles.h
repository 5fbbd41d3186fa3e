#pragma once
// Files dragged from the desktop onto a window control: the component hooks the target's window
// procedure, takes the names of each drop into Files and reports the drop. Everything but a
// drop with files passes on to the window's own procedure.
//
// A target named by a definition usually has no window while the definition is read: hooking
// waits until loading has finished, and then makes the window. Without a target the owner, when
// it is a window control (a form), becomes the target once loaded.
#include <functional>
#include <memory>

#include "platform/classes/Classes.h"
#include "platform/core/Window.h"
#include "platform/forms/Component.h"
#include "platform/widgets/Control.h"

// Point: where the files were dropped, in the target's client coordinates.
using TStDropFilesEvent = std::function<void(TObject* Sender, POINT Point)>;

class TStDropFiles : public TComponent {
  public:
    explicit TStDropFiles(TComponent* AOwner);
    ~TStDropFiles() override;

    // Whether the target accepts dropped files (default true).
    bool Active() const { return FActive; }
    void SetActive(bool Value);
    // The control whose window accepts the files; null: none. It becomes null when the control
    // is freed; a target whose window goes keeps no hook and is hooked again when set again.
    TWinControl* DropTarget() const { return FDropTarget; }
    void SetDropTarget(TWinControl* Value);
    // The window hooked now (0: none).
    HWND HookedWindow() const;

    // The files of the last drop: full paths in the order the desktop gave them.
    int Count() const { return FFiles.Count(); }
    const TStringList& Files() const { return FFiles; }
    // A list that gets a copy of Files after each drop (not owned; null: none).
    void SetReceivingList(TStringList* List) { FReceivingList = List; }

    // Fired once per drop, after Files is filled.
    TStDropFilesEvent OnDropFiles;

  protected:
    void Loaded() override;
    void Notification(TComponent* AComponent, TOperation Operation) override;

  private:
    struct THook;
    void Hook(HWND Target);
    void Unhook();
    void Dropped(uintptr_t Drop);

    bool FActive = true;
    TWinControl* FDropTarget = nullptr;
    // The target was set while loading, before it had a window.
    bool FWaitingForHandle = false;
    TStringList FFiles;
    TStringList* FReceivingList = nullptr;
    std::shared_ptr<THook> FHook;
};
