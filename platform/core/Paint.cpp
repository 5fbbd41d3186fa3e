// Update regions, WM_PAINT, device contexts on surfaces, scrolling and window regions.
#include "platform/core/Paint.h"

#include <sys/mman.h>

#include <QPainter>
#include <algorithm>
#include <unordered_map>

#include "platform/core/Application.h"
#include "platform/core/CaretImpl.h"
#include "platform/core/HostImpl.h"
#include "platform/core/LoopImpl.h"
#include "platform/core/MessageLoop.h"
#include "platform/core/Screens.h"
#include "platform/core/WindowImpl.h"
#include "platform/gdi/Gdi.h"

namespace {

QRect ToQRect(const RECT& R) {
    return QRect(R.left, R.top, R.right - R.left, R.bottom - R.top);
}

RECT ToRect(const QRect& R) {
    return RECT{R.x(), R.y(), R.x() + R.width(), R.y() + R.height()};
}

QRect ClientArea(const TWnd& W) {
    return QRect(0, 0, W.Client.right - W.Client.left, W.Client.bottom - W.Client.top);
}

int RegionKind(const QRegion& R) {
    if (R.isEmpty()) return NULLREGION;
    return R.rectCount() == 1 ? SIMPLEREGION : COMPLEXREGION;
}

bool NeedsPaint(const TWnd& W) {
    return !W.Update.isEmpty() || W.FrameNeeded || W.InternalPaint;
}

// The window region of W (window coordinates) placed at its screen rectangle.
QRegion ScreenShape(const TWnd& W) {
    const RECT R = WindowImpl::ScreenRect(W);
    QRegion Shape(ToQRect(R));
    if (W.HasRegion) Shape &= W.Region.translated(R.left, R.top);
    return Shape;
}

// What W may touch of Start (screen coordinates): ancestors' client areas, the siblings above
// windows with WS_CLIPSIBLINGS, W's children with WS_CLIPCHILDREN.
QRegion ClipToTree(const TWnd& W, QRegion Vis) {
    if (W.Style & WS_CLIPCHILDREN) {
        for (HWND H : W.Children) {
            TWndPtr C = FindWnd(H);
            if (C && C->Visible()) Vis -= ScreenShape(*C);
        }
    }
    Vis &= PaintImpl::InsideAncestors(W);
    TWndPtr Cur = FindWnd(W.Handle);
    for (int Depth = 0; Cur && Depth < CoreLimits::kMaxWindowDepth && Cur->Parent; ++Depth) {
        TWndPtr P = FindWnd(Cur->Parent);
        if (!P) break;
        if (Cur->Style & WS_CLIPSIBLINGS) {
            for (HWND H : P->Children) {
                if (H == Cur->Handle) break;  // only the siblings above it
                TWndPtr S = FindWnd(H);
                if (S && S->Visible()) Vis -= ScreenShape(*S);
            }
        }
        Cur = P;
    }
    return Vis;
}

// Whether painting of W is held back (hidden, minimized, WM_SETREDRAW off here or above).
bool Suspended(const TWnd& W) {
    TWndPtr Cur = FindWnd(W.Handle);
    for (int Depth = 0; Cur && Depth < CoreLimits::kMaxWindowDepth; ++Depth) {
        if (!Cur->Visible() || Cur->RedrawOff || Cur->MessageOnly) return true;
        if (Cur->Parent == 0) return (Cur->Style & WS_MINIMIZE) != 0;
        Cur = FindWnd(Cur->Parent);
    }
    return true;
}

void AddUpdate(TWnd& W, const QRegion& Area, bool Erase, UINT Flags) {
    const QRegion Clipped = Area & ClientArea(W);
    if (!Clipped.isEmpty()) {
        W.Update += Clipped;
        if (Erase) W.EraseNeeded = true;
    }
    const bool Children =
        (Flags & RDW_ALLCHILDREN) || (!(Flags & RDW_NOCHILDREN) && !(W.Style & WS_CLIPCHILDREN));
    if (Children) {
        for (HWND H : W.Children) {
            TWndPtr C = FindWnd(H);
            if (!C || !C->Visible()) continue;
            // Into the child's window coordinates, then its client coordinates.
            const QRegion InChild = Area.translated(-C->Window.left, -C->Window.top) &
                                    QRect(0, 0, C->Width(), C->Height());
            if (InChild.isEmpty()) continue;
            if (!(InChild - ToQRect(C->Client)).isEmpty()) C->FrameNeeded = true;
            AddUpdate(*C, InChild.translated(-C->Client.left, -C->Client.top), Erase, Flags);
        }
    }
    TMessageLoop::Instance().NoteActivity();
}

void RemoveUpdate(TWnd& W, const QRegion& Area, UINT Flags) {
    W.Update -= Area;
    if (W.Update.isEmpty()) W.EraseNeeded = false;
    if (Flags & RDW_ALLCHILDREN) {
        for (HWND H : W.Children) {
            TWndPtr C = FindWnd(H);
            if (!C) continue;
            const QRegion InChild =
                Area.translated(-C->Window.left - C->Client.left, -C->Window.top - C->Client.top);
            RemoveUpdate(*C, InChild, Flags);
        }
    }
}

// ---- contexts on surfaces -----------------------------------------------------------------------

struct TOpenDC {
    HWND TopLevel = 0;
    // The area of the top-level window's surface the context may have touched.
    QRegion Area;
};

std::unordered_map<HDC, TOpenDC>& OpenDCs() {
    static auto* Table = new std::unordered_map<HDC, TOpenDC>;
    return *Table;
}

// A black picture of that size whose memory is taken only where it is drawn on or read: the
// pixels lie in fresh pages from the system, which read as zeros, and Format_RGB32 takes every
// pixel as opaque whatever its top byte, so zero is black. A screen context that is made only to
// measure text (as a label sizing itself does) costs no screenful of memory that way.
QImage BlackPicture(QSize Size) {
    const size_t Bytes = static_cast<size_t>(Size.width()) * 4 * static_cast<size_t>(Size.height());
    void* Pixels = mmap(nullptr, Bytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (Pixels == MAP_FAILED) {
        QImage Filled(Size, QImage::Format_RGB32);
        Filled.fill(Qt::black);
        return Filled;
    }
    struct TPages {
        void* Start;
        size_t Bytes;
    };
    return QImage(
        static_cast<uchar*>(Pixels), Size.width(), Size.height(), Size.width() * 4,
        QImage::Format_RGB32,
        [](void* Info) {
            const auto* Pages = static_cast<TPages*>(Info);
            munmap(Pages->Start, Pages->Bytes);
            delete Pages;
        },
        new TPages{Pixels, Bytes});
}

// The screen: a surface nobody shows, so that code drawing on the screen has a place to do it.
std::shared_ptr<TSurface> ScreenSurface() {
    static std::shared_ptr<TSurface> Surface;
    const std::vector<TScreenInfo> Screens = GetScreens();
    RECT All = Screens.front().Monitor;
    for (const TScreenInfo& S : Screens) UnionRect(&All, &All, &S.Monitor);
    const QSize Size(std::clamp<int>(All.right - All.left, 1, CoreLimits::kMaxSurfaceSide),
                     std::clamp<int>(All.bottom - All.top, 1, CoreLimits::kMaxSurfaceSide));
    if (!Surface || Surface->Image.size() != Size) {
        Surface = std::make_shared<TSurface>();
        Surface->Image = BlackPicture(Size);
    }
    return Surface;
}

// A context on W's surface: Client chooses the client area or the whole window.
HDC MakeDC(TWnd& W, bool Client, const QRegion* Narrow) {
    TWndPtr Top = WindowImpl::TopLevelOf(W);
    if (!Top || Top->MessageOnly) return 0;
    std::shared_ptr<TSurface> Surface = HostImpl::SurfaceOf(*Top);
    if (!Surface) return 0;
    const RECT TopRect = WindowImpl::ScreenRect(*Top);
    const RECT Outer = WindowImpl::ScreenRect(W);
    const POINT Origin = Client ? WindowImpl::ClientOrigin(W) : POINT{Outer.left, Outer.top};
    QRegion Clip = Client ? PaintImpl::VisibleClientRegion(W) : PaintImpl::VisibleWindowRegion(W);
    if (Narrow) Clip &= *Narrow;
    const HDC DC =
        CreateSurfaceDC(Surface, POINT{Origin.x - TopRect.left, Origin.y - TopRect.top}, Clip);
    if (DC)
        OpenDCs()[DC] =
            TOpenDC{Top->Handle, Clip.translated(Origin.x - TopRect.left, Origin.y - TopRect.top)};
    return DC;
}

void CloseDC(HDC DC) {
    auto It = OpenDCs().find(DC);
    if (It != OpenDCs().end()) {
        if (TWndPtr Top = FindWnd(It->second.TopLevel))
            HostImpl::SurfaceChanged(*Top, It->second.Area);
        OpenDCs().erase(It);
    }
    DeleteDC(DC);
}

void EraseNow(TWnd& W) {
    if (!W.EraseNeeded) return;
    W.EraseNeeded = false;
    const QRegion Area = W.Update;
    const HDC DC = MakeDC(W, true, &Area);
    if (!DC) return;
    const HWND Handle = W.Handle;
    try {
        SendMessage(Handle, WM_ERASEBKGND, static_cast<WPARAM>(DC), 0);
    } catch (...) {
        CloseDC(DC);
        throw;
    }
    CloseDC(DC);
}

void UpdateNow(HWND Wnd, bool Children) {
    TWndPtr W = FindWnd(Wnd);
    if (!W || Suspended(*W)) return;
    if (NeedsPaint(*W)) PaintImpl::DispatchPaint(W);
    if (!Children) return;
    const std::vector<HWND> Kids = W->Children;
    for (auto It = Kids.rbegin(); It != Kids.rend(); ++It) UpdateNow(*It, true);
}

bool Listed(const std::vector<HWND>* List, HWND Wnd) {
    return List && std::find(List->begin(), List->end(), Wnd) != List->end();
}

// Parents before children, lower siblings before the ones above them.
HWND FindToPaint(const TWnd& W, HWND Filter, bool Inside, const std::vector<HWND>* Skip) {
    if (!W.Visible() || W.RedrawOff) return 0;
    Inside = Inside || W.Handle == Filter;
    if (Inside && NeedsPaint(W) && !Listed(Skip, W.Handle)) return W.Handle;
    for (auto It = W.Children.rbegin(); It != W.Children.rend(); ++It) {
        TWndPtr C = FindWnd(*It);
        if (!C) continue;
        if (HWND Found = FindToPaint(*C, Filter, Inside, Skip)) return Found;
    }
    return 0;
}

}  // namespace

// ---- regions of windows -------------------------------------------------------------------------

QRegion PaintImpl::InsideAncestors(const TWnd& W) {
    QRegion Inside = ScreenShape(W);
    TWndPtr Cur = FindWnd(W.Handle);
    for (int Depth = 0; Cur && Depth < CoreLimits::kMaxWindowDepth && Cur->Parent; ++Depth) {
        TWndPtr P = FindWnd(Cur->Parent);
        if (!P) break;
        Inside &= ScreenShape(*P) & QRegion(ToQRect(WindowImpl::ClientScreenRect(*P)));
        Cur = P;
    }
    return Inside;
}

QRegion PaintImpl::VisibleClientRegion(const TWnd& W) {
    const RECT C = WindowImpl::ClientScreenRect(W);
    const QRegion Vis = ClipToTree(W, QRegion(ToQRect(C)));
    return Vis.translated(-C.left, -C.top);
}

QRegion PaintImpl::VisibleWindowRegion(const TWnd& W) {
    const RECT R = WindowImpl::ScreenRect(W);
    const QRegion Vis = ClipToTree(W, QRegion(ToQRect(R)));
    return Vis.translated(-R.left, -R.top);
}

// ---- the paint messages -------------------------------------------------------------------------

HWND LoopImpl::NextWindowToPaint(HWND Filter, const std::vector<HWND>* Skip) {
    const std::vector<HWND> Tops = WindowState().TopLevels;
    for (auto It = Tops.rbegin(); It != Tops.rend(); ++It) {
        TWndPtr T = FindWnd(*It);
        if (!T || (T->Style & WS_MINIMIZE)) continue;
        if (HWND Found = FindToPaint(*T, Filter, Filter == 0, Skip)) return Found;
    }
    return 0;
}

LRESULT PaintImpl::DispatchPaint(const TWndPtr& W) {
    const HWND Handle = W->Handle;
    if (W->FrameNeeded) {
        W->FrameNeeded = false;
        SendMessage(Handle, WM_NCPAINT, 1, 0);
        if (!FindWnd(Handle)) return 0;
    }
    if (W->Update.isEmpty() && !W->InternalPaint) {
        W->EraseNeeded = false;
        return 0;
    }
    W->InternalPaint = false;
    const std::uint32_t Serial = W->PaintSerial;
    const QRegion Before = W->Update;
    const LRESULT Result = WindowImpl::CallProcedure(W, WM_PAINT, 0, 0);
    if (FindWnd(Handle))
        if (TWndPtr Top = WindowImpl::TopLevelOf(*W)) HostImpl::Painted(*Top);
    // A procedure that ignored WM_PAINT would get it again and again: what it left is done.
    if (FindWnd(Handle) && W->PaintSerial == Serial && W->Update == Before) {
        W->Update = QRegion();
        W->EraseNeeded = false;
    }
    return Result;
}

void PaintImpl::ForgetWindow(TWnd& W) {
    CaretImpl::ForgetWindow(W.Handle);
    W.Update = QRegion();
}

// ---- invalidation -------------------------------------------------------------------------------

BOOL InvalidateRect(HWND Wnd, const RECT* Rect, BOOL Erase) {
    if (Wnd == 0) return FALSE;
    return RedrawWindow(Wnd, Rect, 0, RDW_INVALIDATE | (Erase ? RDW_ERASE : 0));
}

BOOL InvalidateRgn(HWND Wnd, HRGN Region, BOOL Erase) {
    if (Wnd == 0) return FALSE;
    return RedrawWindow(Wnd, nullptr, Region, RDW_INVALIDATE | (Erase ? RDW_ERASE : 0));
}

BOOL ValidateRect(HWND Wnd, const RECT* Rect) {
    if (Wnd == 0) return FALSE;
    return RedrawWindow(Wnd, Rect, 0, RDW_VALIDATE | RDW_NOCHILDREN);
}

BOOL ValidateRgn(HWND Wnd, HRGN Region) {
    if (Wnd == 0) return FALSE;
    return RedrawWindow(Wnd, nullptr, Region, RDW_VALIDATE | RDW_NOCHILDREN);
}

BOOL RedrawWindow(HWND Wnd, const RECT* Rect, HRGN Region, UINT Flags) {
    TWndPtr W = FindWnd(Wnd);
    if (!W || W->MessageOnly) return FALSE;
    QRegion Area;
    if (Region != 0)
        Area = RegionOf(Region);
    else if (Rect)
        Area = QRegion(ToQRect(*Rect));
    else
        Area = QRegion(ClientArea(*W));
    if (Flags & RDW_INVALIDATE) {
        AddUpdate(*W, Area, (Flags & RDW_ERASE) != 0, Flags);
        if (Flags & RDW_FRAME) W->FrameNeeded = true;
        if (Flags & RDW_INTERNALPAINT) W->InternalPaint = true;
    } else if (Flags & RDW_VALIDATE) {
        RemoveUpdate(*W, Area, Flags);
        if (Flags & RDW_NOFRAME) W->FrameNeeded = false;
        if (Flags & RDW_NOINTERNALPAINT) W->InternalPaint = false;
    }
    if (Flags & RDW_NOERASE) W->EraseNeeded = false;
    if (Flags & RDW_UPDATENOW) {
        UpdateNow(Wnd, (Flags & RDW_ALLCHILDREN) != 0);
    } else if (Flags & RDW_ERASENOW) {
        if (TWndPtr Now = FindWnd(Wnd); Now && !Suspended(*Now)) {
            if (Now->FrameNeeded) {
                Now->FrameNeeded = false;
                SendMessage(Wnd, WM_NCPAINT, 1, 0);
            }
            if (TWndPtr After = FindWnd(Wnd)) EraseNow(*After);
        }
    }
    return TRUE;
}

BOOL GetUpdateRect(HWND Wnd, RECT* Rect, BOOL Erase) {
    TWndPtr W = FindWnd(Wnd);
    if (!W) return FALSE;
    if (Rect) *Rect = W->Update.isEmpty() ? RECT{} : ToRect(W->Update.boundingRect());
    const bool Any = !W->Update.isEmpty();
    if (Erase && Any) EraseNow(*W);
    return Any ? TRUE : FALSE;
}

int GetUpdateRgn(HWND Wnd, HRGN Region, BOOL Erase) {
    TWndPtr W = FindWnd(Wnd);
    if (!W || Region == 0) return ERROR;
    const QRegion Copy = W->Update;
    const HRGN Temp = CreateRegionFrom(Copy);
    CombineRgn(Region, Temp, 0, RGN_COPY);
    DeleteObject(Temp);
    if (Erase && !Copy.isEmpty()) EraseNow(*W);
    return RegionKind(Copy);
}

BOOL UpdateWindow(HWND Wnd) {
    TWndPtr W = FindWnd(Wnd);
    if (!W) return FALSE;
    if (!Suspended(*W) && NeedsPaint(*W)) PaintImpl::DispatchPaint(W);
    return TRUE;
}

// ---- painting -----------------------------------------------------------------------------------

HDC BeginPaint(HWND Wnd, PAINTSTRUCT* Paint) {
    TWndPtr W = FindWnd(Wnd);
    if (!W || !Paint) return 0;
    *Paint = PAINTSTRUCT{};
    CaretImpl::HideForPaint(Wnd);
    if (W->FrameNeeded) {
        W->FrameNeeded = false;
        SendMessage(Wnd, WM_NCPAINT, 1, 0);
        if (!FindWnd(Wnd)) return 0;
    }
    const QRegion Area = W->Update & ClientArea(*W);
    const bool Erase = W->EraseNeeded;
    W->Update = QRegion();
    W->EraseNeeded = false;
    ++W->PaintSerial;
    const HDC DC = MakeDC(*W, true, &Area);
    Paint->hdc = DC;
    Paint->rcPaint = Area.isEmpty() ? RECT{} : ToRect(Area.boundingRect());
    if (DC && Erase)
        Paint->fErase = SendMessage(Wnd, WM_ERASEBKGND, static_cast<WPARAM>(DC), 0) ? FALSE : TRUE;
    return DC;
}

BOOL EndPaint(HWND Wnd, const PAINTSTRUCT* Paint) {
    if (Paint && Paint->hdc) CloseDC(Paint->hdc);
    CaretImpl::ShowAfterPaint(Wnd);
    return TRUE;
}

HDC GetDC(HWND Wnd) {
    if (Wnd == 0) {
        const std::shared_ptr<TSurface> Screen = ScreenSurface();
        return CreateSurfaceDC(Screen, POINT{0, 0}, QRegion(Screen->Image.rect()));
    }
    TWndPtr W = FindWnd(Wnd);
    return W ? MakeDC(*W, true, nullptr) : 0;
}

HDC GetWindowDC(HWND Wnd) {
    if (Wnd == 0) return GetDC(0);
    TWndPtr W = FindWnd(Wnd);
    return W ? MakeDC(*W, false, nullptr) : 0;
}

int ReleaseDC(HWND, HDC DC) {
    if (DC == 0) return 0;
    CloseDC(DC);
    return 1;
}

// ---- scrolling ----------------------------------------------------------------------------------

int ScrollWindowEx(HWND Wnd, int Dx, int Dy, const RECT* Scroll, const RECT* Clip,
                   HRGN UpdateRegion, RECT* UpdateRect, UINT Flags) {
    TWndPtr W = FindWnd(Wnd);
    if (!W || W->MessageOnly) return ERROR;
    TWndPtr Top = WindowImpl::TopLevelOf(*W);
    std::shared_ptr<TSurface> Surface = Top ? HostImpl::SurfaceOf(*Top) : nullptr;
    const QRect Client = ClientArea(*W);
    const QRect Area = Scroll ? ToQRect(*Scroll) & Client : Client;
    const QRect ClipRect = Clip ? ToQRect(*Clip) & Client : Area;
    const QRegion Visible = PaintImpl::VisibleClientRegion(*W);

    CaretImpl::HideForPaint(Wnd);
    const QRegion Target = QRegion(ClipRect) & Visible;
    const QRegion Dest = QRegion(Area.translated(Dx, Dy)) & Target & (Visible.translated(Dx, Dy));
    if (Surface && !Dest.isEmpty()) {
        const RECT TopRect = WindowImpl::ScreenRect(*Top);
        const POINT Origin = WindowImpl::ClientOrigin(*W);
        const QPoint Offset(Origin.x - TopRect.left, Origin.y - TopRect.top);
        const QRect SourceBox = Dest.boundingRect().translated(-Dx, -Dy).translated(Offset);
        const QImage Source = Surface->Image.copy(SourceBox);
        QPainter Painter(&Surface->Image);
        Painter.setCompositionMode(QPainter::CompositionMode_Source);
        Painter.setClipRegion(Dest.translated(Offset));
        Painter.drawImage(SourceBox.topLeft() + QPoint(Dx, Dy), Source);
        Painter.end();
        HostImpl::SurfaceChanged(*Top, Dest.translated(Offset));
    }
    const QRegion Uncovered = Target - Dest;
    // Pending invalid areas move with the pixels.
    const QRegion Moving = W->Update & Area;
    W->Update = (W->Update - Moving) + (Moving.translated(Dx, Dy) & ClipRect);
    if (Flags & SW_INVALIDATE) AddUpdate(*W, Uncovered, (Flags & SW_ERASE) != 0, RDW_NOCHILDREN);
    if (UpdateRegion != 0) {
        const HRGN Temp = CreateRegionFrom(Uncovered);
        CombineRgn(UpdateRegion, Temp, 0, RGN_COPY);
        DeleteObject(Temp);
    }
    if (UpdateRect) *UpdateRect = Uncovered.isEmpty() ? RECT{} : ToRect(Uncovered.boundingRect());
    CaretImpl::Scrolled(Wnd, Dx, Dy, ToRect(Area));
    CaretImpl::ShowAfterPaint(Wnd);
    if (Flags & SW_SCROLLCHILDREN) {
        const std::vector<HWND> Kids = W->Children;
        for (HWND H : Kids) {
            TWndPtr C = FindWnd(H);
            if (!C || !QRect(ToQRect(C->Window)).intersects(Area)) continue;
            SetWindowPos(H, 0, C->Window.left + Dx, C->Window.top + Dy, 0, 0,
                         SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOREDRAW);
        }
    }
    return RegionKind(Uncovered);
}

BOOL ScrollWindow(HWND Wnd, int Dx, int Dy, const RECT* Scroll, const RECT* Clip) {
    const UINT Flags = SW_INVALIDATE | SW_ERASE | (Scroll ? 0 : SW_SCROLLCHILDREN);
    return ScrollWindowEx(Wnd, Dx, Dy, Scroll, Clip, 0, nullptr, Flags) != ERROR ? TRUE : FALSE;
}

// ---- window regions -----------------------------------------------------------------------------

int SetWindowRgn(HWND Wnd, HRGN Region, BOOL Redraw) {
    TWndPtr W = FindWnd(Wnd);
    if (!W) {
        if (Region) DeleteObject(Region);
        return 0;
    }
    if (Redraw) WindowImpl::InvalidateWhereItIs(*W);
    W->HasRegion = Region != 0;
    W->Region = Region ? RegionOf(Region) : QRegion();
    if (Region) DeleteObject(Region);
    if (W->Parent == 0) HostImpl::Sync(*W);
    if (Redraw && W->Visible())
        RedrawWindow(Wnd, nullptr, 0, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
    return 1;
}

int GetWindowRgn(HWND Wnd, HRGN Region) {
    TWndPtr W = FindWnd(Wnd);
    if (!W || !W->HasRegion || Region == 0) return ERROR;
    const HRGN Temp = CreateRegionFrom(W->Region);
    CombineRgn(Region, Temp, 0, RGN_COPY);
    DeleteObject(Temp);
    return RegionKind(W->Region);
}

SIZE TextExtentOf(HFONT Font, const std::string& Text) {
    const HDC DC = GetDC(0);
    const HGDIOBJ Old = SelectObject(DC, Font);
    SIZE Size{0, 0};
    GetTextExtentPoint32(DC, Text, &Size);
    SelectObject(DC, Old);
    ReleaseDC(0, DC);
    return Size;
}
