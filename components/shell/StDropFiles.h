#pragma once
// Files dragged from the desktop onto a window: the component hooks the target window's
// procedure, takes the names of each drop into Files and reports the drop. Everything but a
// drop with files passes on to the window's own procedure.
#include <functional>
#include <memory>

#include "platform/classes/Classes.h"
#include "platform/core/Window.h"
#include "platform/forms/Component.h"

// Point: where the files were dropped, in the target's client coordinates.
using TStDropFilesEvent = std::function<void(TObject* Sender, POINT Point)>;

class TStDropFiles : public TComponent {
  public:
    explicit TStDropFiles(TComponent* AOwner);
    ~TStDropFiles() override;

    // Whether the target accepts dropped files (default true).
    bool Active() const { return FActive; }
    void SetActive(bool Value);
    // The window that accepts the files; 0: none. It becomes 0 when the window is destroyed.
    HWND DropTarget() const;
    void SetDropTarget(HWND Value);

    // The files of the last drop: full paths in the order the desktop gave them.
    int Count() const { return FFiles.Count(); }
    const TStringList& Files() const { return FFiles; }
    // A list that gets a copy of Files after each drop (not owned; null: none).
    void SetReceivingList(TStringList* List) { FReceivingList = List; }

    // Fired once per drop, after Files is filled.
    TStDropFilesEvent OnDropFiles;

  private:
    struct THook;
    void Hook(HWND Target);
    void Unhook();
    void Dropped(uintptr_t Drop);

    bool FActive = true;
    TStringList FFiles;
    TStringList* FReceivingList = nullptr;
    std::shared_ptr<THook> FHook;
};
