#pragma once
// Inside of the window layer: the steps that keep a top-level window's Qt host and surface in
// line with its window entry (see Host.h for the host itself).
#include <QRegion>

#include "platform/core/WindowData.h"

namespace HostImpl {
// A window entry was made: a top-level window gets its surface (its host comes when shown).
void WindowCreated(TWnd& W);
// Position, size, visibility, z-order and mask of the host follow the entry.
void Sync(TWnd& W);
// The loop painted a window of this top-level window's: a host shown before that shows it now.
void Painted(TWnd& TopLevel);
// The style changed (host kind, caption).
void StyleChanged(TWnd& W);
// The window leaves the table: the host is hidden now and deleted at a safe point.
void Retire(TWnd& W);
void BeforeReparent(TWnd& W);
void AfterReparent(TWnd& W, bool WasTopLevel);
// Pixels of the top-level window's surface changed (window coordinates): the host shows them.
void SurfaceChanged(TWnd& TopLevel, const QRegion& Dirty);
// The top-level window's surface, made or resized to the window's size when needed.
std::shared_ptr<TSurface> SurfaceOf(TWnd& TopLevel);

// What kind of Qt window a top-level window gets.
enum class THostKind { Form, Tool, Popup };
THostKind KindOf(const TWnd& W);
// The window was activated by us: a form's host is activated on the platform too.
void Activated(TWnd& W);
// The capture moved (0: released): on X the host grabs the pointer.
void CaptureChanged(HWND Capture);
// The focus moved: a wrapped control's widget gets Qt's focus.
void FocusChanged(HWND Old, HWND New);
}  // namespace HostImpl
