// Dropped files and their HDROP handles.
#include <algorithm>
#include <cstring>
#include <map>
#include <memory>

#include "platform/core/DropImpl.h"
#include "platform/core/Limits.h"
#include "platform/core/WindowImpl.h"

namespace {

struct TDrop {
    std::vector<std::string> Names;
    POINT Point{};
    bool InClient = false;
};

struct TDrops {
    std::map<HDROP, TDrop> Table;
    HDROP Next = 1;
};

TDrops& Drops() {
    static auto* D = new TDrops;
    return *D;
}

// Carried by the queued message: when the message has been handled or dropped, the drop goes.
struct TDropOwner {
    HDROP Handle;
    ~TDropOwner() { Drops().Table.erase(Handle); }
};

}  // namespace

void DragAcceptFiles(HWND Wnd, BOOL Accept) {
    TWndPtr W = FindWnd(Wnd);
    if (!W) return;
    if (Accept)
        W->ExStyle |= WS_EX_ACCEPTFILES;
    else
        W->ExStyle &= ~WS_EX_ACCEPTFILES;
}

UINT DragQueryFile(HDROP Drop, UINT File, char* Buffer, UINT Size) {
    auto It = Drops().Table.find(Drop);
    if (It == Drops().Table.end()) return 0;
    const std::vector<std::string>& Names = It->second.Names;
    if (File == 0xFFFFFFFFu) return static_cast<UINT>(Names.size());
    if (File >= Names.size()) return 0;
    const std::string& Name = Names[File];
    if (!Buffer) return static_cast<UINT>(Name.size());
    if (Size == 0) return 0;
    const size_t N = std::min<size_t>(Name.size(), Size - 1);
    std::memcpy(Buffer, Name.data(), N);
    Buffer[N] = '\0';
    return static_cast<UINT>(N);
}

BOOL DragQueryPoint(HDROP Drop, POINT* Point) {
    auto It = Drops().Table.find(Drop);
    if (It == Drops().Table.end() || !Point) return FALSE;
    *Point = It->second.Point;
    return It->second.InClient ? TRUE : FALSE;
}

void DragFinish(HDROP Drop) {
    Drops().Table.erase(Drop);
}

HWND DropImpl::DropTarget(POINT Screen) {
    TWndPtr W = FindWnd(WindowFromPoint(Screen));
    for (int Depth = 0; W && Depth < CoreLimits::kMaxWindowDepth; ++Depth) {
        if (!W->Enabled()) return 0;
        if (W->ExStyle & WS_EX_ACCEPTFILES) {
            TWndPtr Top = WindowImpl::TopLevelOf(*W);
            return Top && Top->Enabled() ? W->Handle : 0;
        }
        if (W->Parent == 0) return 0;
        W = FindWnd(W->Parent);
    }
    return 0;
}

void DropImpl::PostDrop(HWND Target, POINT Screen, const std::vector<std::string>& Names) {
    TWndPtr W = FindWnd(Target);
    if (!W) return;
    TDrop Drop;
    for (const std::string& Name : Names) {
        if (Drop.Names.size() >= CoreLimits::kMaxDroppedFiles) break;
        if (Name.empty() || Name.size() > CoreLimits::kMaxDroppedPath) continue;
        Drop.Names.push_back(Name);
    }
    if (Drop.Names.empty()) return;
    const POINT Origin = WindowImpl::ClientOrigin(*W);
    Drop.Point = POINT{Screen.x - Origin.x, Screen.y - Origin.y};
    const RECT Client = WindowImpl::ClientScreenRect(*W);
    Drop.InClient = PtInRect(&Client, Screen) != FALSE;
    TDrops& D = Drops();
    const HDROP Handle = D.Next++;
    D.Table.emplace(Handle, std::move(Drop));
    // Freed with the message when PostMessage refuses it too.
    std::shared_ptr<TDropOwner> Owner(new TDropOwner{Handle});
    PostMessage(Target, WM_DROPFILES, static_cast<WPARAM>(Handle), 0, std::move(Owner));
}
