// Hooks of the user-interface thread: WH_KEYBOARD, WH_MOUSE and WH_CALLWNDPROC.
#include <sys/syscall.h>
#include <unistd.h>
#include <algorithm>
#include <memory>
#include <vector>

#include "platform/core/HookImpl.h"
#include "platform/core/Limits.h"
#include "platform/core/MessageLoop.h"

namespace {

struct THook {
    HHOOK Handle = 0;
    int Type = 0;
    THookProc Proc;
    bool Removed = false;
};

struct THooks {
    // Newest first; entries removed while hooks run stay (marked) until no call is running.
    std::vector<std::shared_ptr<THook>> Chain;
    HHOOK Next = 1;
    int Running = 0;
};

THooks& Hooks() {
    static auto* Table = new THooks;
    return *Table;
}

void Purge() {
    THooks& H = Hooks();
    if (H.Running == 0)
        std::erase_if(H.Chain, [](const std::shared_ptr<THook>& E) { return E->Removed; });
}

// Calls the first live hook of Type after position From of the chain.
LRESULT CallFrom(size_t From, int Type, int Code, WPARAM WParam, LPARAM LParam) {
    THooks& H = Hooks();
    for (size_t I = From; I < H.Chain.size(); ++I) {
        std::shared_ptr<THook> Hook = H.Chain[I];
        if (Hook->Type != Type || Hook->Removed) continue;
        ++H.Running;
        struct TDone {
            ~TDone() {
                --Hooks().Running;
                Purge();
            }
        } Done;
        return Hook->Proc(Code, WParam, LParam);
    }
    return 0;
}

bool Any(int Type) {
    for (const auto& Hook : Hooks().Chain)
        if (Hook->Type == Type && !Hook->Removed) return true;
    return false;
}

}  // namespace

HHOOK SetWindowsHookEx(int IdHook, THookProc Proc) {
    if (!Proc || (IdHook != WH_KEYBOARD && IdHook != WH_MOUSE && IdHook != WH_CALLWNDPROC))
        return 0;
    THooks& H = Hooks();
    if (static_cast<size_t>(std::count_if(H.Chain.begin(), H.Chain.end(), [&](const auto& E) {
            return E->Type == IdHook && !E->Removed;
        })) >= CoreLimits::kMaxHooks)
        return 0;
    auto Hook = std::make_shared<THook>();
    Hook->Handle = H.Next++;
    Hook->Type = IdHook;
    Hook->Proc = std::move(Proc);
    H.Chain.insert(H.Chain.begin(), Hook);
    return Hook->Handle;
}

HHOOK SetWindowsHookEx(int IdHook, HOOKPROC Proc, HINSTANCE, DWORD) {
    if (!Proc) return 0;
    return SetWindowsHookEx(IdHook, THookProc(Proc));
}

BOOL UnhookWindowsHookEx(HHOOK Hook) {
    for (const auto& E : Hooks().Chain) {
        if (E->Handle != Hook || E->Removed) continue;
        E->Removed = true;
        Purge();
        return TRUE;
    }
    return FALSE;
}

LRESULT CallNextHookEx(HHOOK Hook, int Code, WPARAM WParam, LPARAM LParam) {
    THooks& H = Hooks();
    for (size_t I = 0; I < H.Chain.size(); ++I)
        if (H.Chain[I]->Handle == Hook)
            return CallFrom(I + 1, H.Chain[I]->Type, Code, WParam, LParam);
    return 0;
}

DWORD GetCurrentThreadId() {
    return static_cast<DWORD>(::syscall(SYS_gettid));
}

void HookImpl::CallWndProcHooks(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam) {
    if (!Any(WH_CALLWNDPROC)) return;
    CWPSTRUCT Info{LParam, WParam, Msg, Wnd};
    CallFrom(0, WH_CALLWNDPROC, HC_ACTION, 1, reinterpret_cast<LPARAM>(&Info));
}

bool HookImpl::KeyboardHooks(WPARAM VirtualKey, LPARAM KeyData) {
    if (!Any(WH_KEYBOARD)) return false;
    return CallFrom(0, WH_KEYBOARD, HC_ACTION, VirtualKey, KeyData) != 0;
}

bool HookImpl::MouseHooks(UINT Msg, MOUSEHOOKSTRUCT& Info) {
    if (!Any(WH_MOUSE)) return false;
    return CallFrom(0, WH_MOUSE, HC_ACTION, Msg, reinterpret_cast<LPARAM>(&Info)) != 0;
}
