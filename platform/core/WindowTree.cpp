// The window table's view of windows: classes, creation and destruction, the tree, window longs,
// text, rectangles and coordinate mapping.
#include <algorithm>
#include <cctype>
#include <cstring>
#include <exception>

#include "platform/core/HostImpl.h"
#include "platform/core/Input.h"
#include "platform/core/MessageLoop.h"
#include "platform/core/Paint.h"
#include "platform/core/WindowData.h"
#include "platform/core/WindowImpl.h"

namespace {

bool SameName(const std::string& A, const char* B) {
    if (!B || A.size() != std::strlen(B)) return false;
    for (size_t I = 0; I < A.size(); ++I)
        if (std::tolower(static_cast<unsigned char>(A[I])) !=
            std::tolower(static_cast<unsigned char>(B[I])))
            return false;
    return true;
}

std::shared_ptr<TWndClass> FindClass(const char* Name) {
    for (const auto& C : WindowState().Classes)
        if (SameName(C->Name, Name)) return C;
    return nullptr;
}

std::vector<HWND>& SiblingList(const TWnd& W) {
    if (W.Parent != 0)
        if (TWndPtr P = FindWnd(W.Parent)) return P->Children;
    return WindowState().TopLevels;
}

// Keeps a first exception of a series of sends and goes on with the rest.
class TFirstError {
  public:
    template <class F>
    void Run(F&& Step) {
        try {
            Step();
        } catch (...) {
            if (!FError) FError = std::current_exception();
        }
    }
    void Rethrow() {
        if (FError) std::rethrow_exception(FError);
    }

  private:
    std::exception_ptr FError;
};

void SendDestroyTree(HWND Wnd, TFirstError& Errors) {
    TWndPtr W = FindWnd(Wnd);
    if (!W || W->DestroySent) return;
    W->DestroySent = true;
    W->State = TWndState::Destroying;
    Errors.Run([&] { SendMessage(Wnd, WM_DESTROY, 0, 0); });
    const std::vector<HWND> Children = W->Children;
    for (HWND Child : Children) SendDestroyTree(Child, Errors);
}

void NcDestroyTree(HWND Wnd, TFirstError& Errors) {
    TWndPtr W = FindWnd(Wnd);
    if (!W) return;
    const std::vector<HWND> Children = W->Children;
    for (HWND Child : Children) NcDestroyTree(Child, Errors);
    Errors.Run([&] { SendMessage(Wnd, WM_NCDESTROY, 0, 0); });
    WindowImpl::RemoveEntry(*W);
}

LONG_PTR ReadExtra(const TWnd& W, int Index) {
    if (Index < 0 || static_cast<size_t>(Index) + sizeof(LONG_PTR) > W.Extra.size()) return 0;
    LONG_PTR Value = 0;
    std::memcpy(&Value, W.Extra.data() + Index, sizeof Value);
    return Value;
}

}  // namespace

// ---- the table ----------------------------------------------------------------------------------

TWndPtr FindWnd(HWND Wnd) {
    if (Wnd == 0) return nullptr;
    TWndPtr W = TMessageLoop::Instance().Find(Wnd);
    // Handed on as it is, not copied: each copy of the pointer counts up and down atomically.
    if (W && W->State == TWndState::Gone) return nullptr;
    return W;
}

std::vector<TWndPtr> AllWindows() {
    std::vector<TWndPtr> Out = TMessageLoop::Instance().Entries();
    std::erase_if(Out, [](const TWndPtr& W) { return W->MessageOnly; });
    return Out;
}

TWindowState& WindowState() {
    static TWindowState* State = new TWindowState;
    return *State;
}

// ---- geometry helpers ---------------------------------------------------------------------------

RECT WindowImpl::ScreenRect(const TWnd& W) {
    RECT R = W.Window;
    if (W.Parent != 0) {
        if (TWndPtr P = FindWnd(W.Parent)) {
            const POINT O = ClientOrigin(*P);
            OffsetRect(&R, O.x, O.y);
        }
    }
    return R;
}

POINT WindowImpl::ClientOrigin(const TWnd& W) {
    const RECT R = ScreenRect(W);
    return POINT{R.left + W.Client.left, R.top + W.Client.top};
}

RECT WindowImpl::ClientScreenRect(const TWnd& W) {
    const POINT O = ClientOrigin(W);
    return RECT{O.x, O.y, O.x + (W.Client.right - W.Client.left),
                O.y + (W.Client.bottom - W.Client.top)};
}

TWndPtr WindowImpl::TopLevelOf(const TWnd& W) {
    TWndPtr At = FindWnd(W.Handle);
    while (At && At->Parent != 0) {
        TWndPtr Up = FindWnd(At->Parent);
        if (!Up) break;
        At = Up;
    }
    return At;
}

void WindowImpl::Unlink(TWnd& W) {
    std::vector<HWND>& List = SiblingList(W);
    std::erase(List, W.Handle);
}

void WindowImpl::Link(TWnd& W, HWND InsertAfter) {
    if (W.MessageOnly) return;
    std::vector<HWND>& List = SiblingList(W);
    std::erase(List, W.Handle);
    const bool TopLevel = W.Parent == 0;
    if (TopLevel && InsertAfter == HWND_TOPMOST) W.ExStyle |= WS_EX_TOPMOST;
    if (TopLevel && InsertAfter == HWND_NOTOPMOST) W.ExStyle &= ~WS_EX_TOPMOST;
    // Top-level windows keep their band: the topmost ones stay above the others.
    auto BandStart = List.begin();
    auto BandEnd = List.end();
    if (TopLevel) {
        auto IsTopmost = [](HWND H) {
            TWndPtr T = FindWnd(H);
            return T && (T->ExStyle & WS_EX_TOPMOST);
        };
        auto Split = std::stable_partition(List.begin(), List.end(), IsTopmost);
        if (W.ExStyle & WS_EX_TOPMOST)
            BandEnd = Split;
        else
            BandStart = Split;
    }
    auto At = BandStart;
    if (InsertAfter == HWND_BOTTOM) {
        At = BandEnd;
    } else if (InsertAfter != HWND_TOP && InsertAfter != HWND_TOPMOST &&
               InsertAfter != HWND_NOTOPMOST) {
        auto Found = std::find(BandStart, BandEnd, InsertAfter);
        if (Found != BandEnd) At = std::next(Found);
    }
    List.insert(At, W.Handle);
    // Owned windows stay above their owner: placed below it, a window goes just above it, and
    // the windows it owns come along above it.
    if (TopLevel && !(W.ExStyle & WS_EX_TOPMOST)) {
        const auto Owner =
            std::find_if(List.begin(), List.end(), [&](HWND H) { return H == W.Owner; });
        const auto Self = std::find(List.begin(), List.end(), W.Handle);
        if (Owner != List.end() && Owner < Self) std::rotate(Owner, Self, std::next(Self));
        auto OwnedBy = [&](HWND H) {
            TWndPtr T = FindWnd(H);
            return T && H != W.Handle && T->Owner == W.Handle && !(T->ExStyle & WS_EX_TOPMOST);
        };
        const auto Me = std::find(List.begin(), List.end(), W.Handle);
        // Those below it move up to just above it, in their order.
        std::stable_partition(Me, List.end(), OwnedBy);
    }
}

void WindowImpl::RemoveEntry(TWnd& W) {
    if (W.State == TWndState::Gone) return;
    const HWND Handle = W.Handle;
    ForgetWindow(Handle);
    PaintImpl::ForgetWindow(W);
    if (!W.MessageOnly) {
        Unlink(W);
        // Where it was must be painted again.
        if (W.Parent != 0 && W.Visible())
            if (TWndPtr P = FindWnd(W.Parent)) {
                RECT R = W.Window;
                RedrawWindow(P->Handle, &R, 0, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
            }
        HostImpl::Retire(W);
    }
    W.State = TWndState::Gone;
    TMessageLoop::Instance().Erase(Handle);
    if (W.OwnInstance) {
        FreeObjectInstance(W.OwnInstance);
        W.OwnInstance = nullptr;
    }
}

// ---- classes ------------------------------------------------------------------------------------

ATOM RegisterClass(const WNDCLASS* Class) {
    if (!Class || !Class->lpszClassName || !*Class->lpszClassName || !Class->lpfnWndProc) return 0;
    if (Class->cbClsExtra < 0 || Class->cbWndExtra < 0 ||
        Class->cbClsExtra > CoreLimits::kMaxExtraBytes ||
        Class->cbWndExtra > CoreLimits::kMaxExtraBytes)
        return 0;
    if (FindClass(Class->lpszClassName)) return 0;
    TWindowState& State = WindowState();
    auto C = std::make_shared<TWndClass>();
    C->Name = Class->lpszClassName;
    C->Info = *Class;
    C->Info.lpszClassName = nullptr;
    C->Info.lpszMenuName = nullptr;
    C->Atom = State.NextAtom++;
    C->Extra.assign(static_cast<size_t>(Class->cbClsExtra), 0);
    State.Classes.push_back(C);
    return C->Atom;
}

BOOL UnregisterClass(const char* ClassName, HINSTANCE) {
    auto& Classes = WindowState().Classes;
    auto It = std::find_if(Classes.begin(), Classes.end(),
                           [&](const auto& C) { return SameName(C->Name, ClassName); });
    if (It == Classes.end()) return FALSE;
    // A class in use stays: its windows would lose their procedure.
    for (const TWndPtr& W : AllWindows())
        if (W->Class == *It) return FALSE;
    Classes.erase(It);
    return TRUE;
}

BOOL GetClassInfo(HINSTANCE, const char* ClassName, WNDCLASS* Class) {
    auto C = FindClass(ClassName);
    if (!C || !Class) return FALSE;
    *Class = C->Info;
    Class->lpszClassName = C->Name.c_str();
    return TRUE;
}

int GetClassName(HWND Wnd, char* Buffer, int MaxCount) {
    TWndPtr W = FindWnd(Wnd);
    if (!W || !Buffer || MaxCount <= 0) return 0;
    const size_t N = std::min(W->Class->Name.size(), static_cast<size_t>(MaxCount - 1));
    std::memcpy(Buffer, W->Class->Name.data(), N);
    Buffer[N] = '\0';
    return static_cast<int>(N);
}

std::string GetClassName(HWND Wnd) {
    TWndPtr W = FindWnd(Wnd);
    return W ? W->Class->Name : std::string();
}

ULONG_PTR GetClassLongPtr(HWND Wnd, int Index) {
    TWndPtr W = FindWnd(Wnd);
    if (!W) return 0;
    const WNDCLASS& I = W->Class->Info;
    switch (Index) {
        case GCLP_HBRBACKGROUND:
            return I.hbrBackground;
        case GCLP_HCURSOR:
            return I.hCursor;
        case GCLP_HICON:
            return I.hIcon;
        case GCLP_WNDPROC:
            return reinterpret_cast<ULONG_PTR>(I.lpfnWndProc);
        case GCL_STYLE:
            return I.style;
        default:
            return 0;
    }
}

ULONG_PTR SetClassLongPtr(HWND Wnd, int Index, LONG_PTR NewLong) {
    TWndPtr W = FindWnd(Wnd);
    if (!W) return 0;
    const ULONG_PTR Old = GetClassLongPtr(Wnd, Index);
    WNDCLASS& I = W->Class->Info;
    const auto Value = static_cast<ULONG_PTR>(NewLong);
    switch (Index) {
        case GCLP_HBRBACKGROUND:
            I.hbrBackground = Value;
            break;
        case GCLP_HCURSOR:
            I.hCursor = Value;
            break;
        case GCLP_HICON:
            I.hIcon = Value;
            break;
        case GCLP_WNDPROC:
            I.lpfnWndProc = reinterpret_cast<WNDPROC>(Value);
            break;
        case GCL_STYLE:
            I.style = static_cast<UINT>(Value);
            break;
        default:
            return 0;
    }
    return Old;
}

// ---- creation and destruction -------------------------------------------------------------------

HWND CreateWindowEx(DWORD ExStyle, const char* ClassName, const char* WindowName, DWORD Style,
                    int X, int Y, int Width, int Height, HWND Parent, HMENU Menu,
                    HINSTANCE Instance, void* Param) {
    TMessageLoop& Loop = TMessageLoop::Instance();
    Loop.EnsureStarted();
    std::shared_ptr<TWndClass> Class = FindClass(ClassName);
    if (!Class) return 0;
    const bool MessageOnly = Parent == HWND_MESSAGE;
    TWndPtr ParentWnd = MessageOnly ? nullptr : FindWnd(Parent);
    if (Parent != 0 && !MessageOnly && !ParentWnd) return 0;
    if ((Style & WS_CHILD) && !ParentWnd && !MessageOnly) return 0;

    auto W = std::make_shared<TWnd>();
    W->Class = Class;
    W->Proc = Class->Info.lpfnWndProc;
    W->Instance = Instance;
    W->MessageOnly = MessageOnly;
    const bool Visible = (Style & WS_VISIBLE) != 0;
    W->Style = Style & ~(WS_VISIBLE | WS_MINIMIZE | WS_MAXIMIZE);
    W->ExStyle = ExStyle;
    if ((Style & WS_CHILD) && ParentWnd) {
        W->Parent = ParentWnd->Handle;
        W->Id = static_cast<LONG_PTR>(Menu);
    } else if (ParentWnd) {
        // Owned windows are owned by a top-level window.
        W->Owner = WindowImpl::TopLevelOf(*ParentWnd)->Handle;
    }
    if (WindowName) W->Text = WindowName;
    W->Extra.assign(static_cast<size_t>(Class->Info.cbWndExtra), 0);
    WindowImpl::DefaultPlacement(*W, X, Y, Width, Height);

    const HWND Handle = Loop.Insert(W);
    WindowImpl::Link(*W, HWND_TOP);
    HostImpl::WindowCreated(*W);

    CREATESTRUCT Create;
    Create.lpCreateParams = Param;
    Create.hInstance = Instance;
    Create.hMenu = Menu;
    Create.hwndParent = Parent;
    Create.x = W->Window.left;
    Create.y = W->Window.top;
    Create.cx = W->Width();
    Create.cy = W->Height();
    Create.style = static_cast<LONG>(Style);
    Create.lpszName = WindowName;
    Create.lpszClass = ClassName;
    Create.dwExStyle = ExStyle;
    auto Fail = [&] {
        TFirstError Errors;
        Errors.Run([&] { SendMessage(Handle, WM_NCDESTROY, 0, 0); });
        if (TWndPtr Left = FindWnd(Handle)) WindowImpl::RemoveEntry(*Left);
        return HWND{0};
    };
    try {
        if (!SendMessage(Handle, WM_NCCREATE, 0, reinterpret_cast<LPARAM>(&Create))) return Fail();
        if (!FindWnd(Handle)) return 0;
        WindowImpl::CalcClient(*W);
        if (SendMessage(Handle, WM_CREATE, 0, reinterpret_cast<LPARAM>(&Create)) == -1) {
            DestroyWindow(Handle);
            return 0;
        }
    } catch (...) {
        if (IsWindow(Handle)) DestroyWindow(Handle);
        throw;
    }
    if (!FindWnd(Handle)) return 0;  // destroyed by its own handler
    W->State = TWndState::Alive;
    WindowImpl::SendSizeAndMove(*W);
    if (W->Parent != 0 && !(W->ExStyle & WS_EX_NOPARENTNOTIFY))
        SendMessage(W->Parent, WM_PARENTNOTIFY, MAKEWPARAM(WM_CREATE, static_cast<WORD>(W->Id)),
                    static_cast<LPARAM>(Handle));
    if (!FindWnd(Handle)) return 0;
    if (Style & WS_MAXIMIZE)
        ShowWindow(Handle, Visible ? SW_SHOWMAXIMIZED : SW_MAXIMIZE);
    else if (Style & WS_MINIMIZE)
        ShowWindow(Handle, Visible ? SW_SHOWMINIMIZED : SW_MINIMIZE);
    else if (Visible)
        ShowWindow(Handle, SW_SHOW);
    return FindWnd(Handle) ? Handle : 0;
}

bool DestroyWindow(HWND Wnd) {
    TMessageLoop& Loop = TMessageLoop::Instance();
    TWndPtr W = FindWnd(Wnd);
    if (!W) return false;
    Loop.EnsureStarted();
    // Destroyed again from its own WM_DESTROY handler: the first call finishes the job.
    if (W->DestroySent) return true;
    TFirstError Errors;
    if (!W->MessageOnly) {
        if (W->Parent != 0 && !(W->ExStyle & WS_EX_NOPARENTNOTIFY))
            Errors.Run([&] {
                SendMessage(W->Parent, WM_PARENTNOTIFY,
                            MAKEWPARAM(WM_DESTROY, static_cast<WORD>(W->Id)),
                            static_cast<LPARAM>(Wnd));
            });
        if (W->Visible())
            Errors.Run([&] {
                SetWindowPos(
                    Wnd, 0, 0, 0, 0, 0,
                    SWP_HIDEWINDOW | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
            });
        // Owned windows go before their owner.
        if (W->Parent == 0)
            for (const TWndPtr& Other : AllWindows())
                if (Other->Owner == Wnd && Other->Parent == 0)
                    Errors.Run([&] { DestroyWindow(Other->Handle); });
        WindowImpl::LeaveFocusAndCapture(Wnd);
    }
    SendDestroyTree(Wnd, Errors);
    NcDestroyTree(Wnd, Errors);
    Errors.Rethrow();
    return true;
}

HWND GetDesktopWindow() {
    TWindowState& State = WindowState();
    if (State.Desktop != 0 && FindWnd(State.Desktop)) return State.Desktop;
    static std::shared_ptr<TWndClass> Class = [] {
        auto C = std::make_shared<TWndClass>();
        C->Name = "#32769";
        C->Info.lpfnWndProc = DefWindowProc;
        return C;
    }();
    auto W = std::make_shared<TWnd>();
    W->Class = Class;
    W->Proc = DefWindowProc;
    W->MessageOnly = true;  // not in the tree; it stands for the screen
    W->State = TWndState::Alive;
    W->Style = WS_VISIBLE;
    State.Desktop = TMessageLoop::Instance().Insert(W);
    return State.Desktop;
}

// ---- the tree -----------------------------------------------------------------------------------

HWND GetParent(HWND Wnd) {
    TWndPtr W = FindWnd(Wnd);
    if (!W) return 0;
    if (W->Parent != 0) return W->Parent;
    return (W->Style & WS_POPUP) ? W->Owner : 0;
}

HWND SetParent(HWND Wnd, HWND NewParent) {
    TWndPtr W = FindWnd(Wnd);
    if (!W || W->MessageOnly) return 0;
    TWndPtr P = NewParent != 0 ? FindWnd(NewParent) : nullptr;
    if (NewParent != 0 && !P) return 0;
    // A window cannot become its own descendant.
    if (P && (NewParent == Wnd || IsChild(Wnd, NewParent))) return 0;
    const HWND Old = W->Parent;
    if (Old == NewParent) return Old;
    const bool WasVisible = IsWindowVisible(Wnd);
    if (WasVisible) WindowImpl::InvalidateWhereItIs(*W);
    WindowImpl::Unlink(*W);
    const bool WasTopLevel = W->Parent == 0;
    HostImpl::BeforeReparent(*W);
    W->Parent = NewParent;
    if (NewParent == 0) W->Owner = 0;
    WindowImpl::Link(*W, HWND_TOP);
    HostImpl::AfterReparent(*W, WasTopLevel);
    if (IsWindowVisible(Wnd))
        RedrawWindow(Wnd, nullptr, 0, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
    return Old;
}

BOOL IsChild(HWND Parent, HWND Wnd) {
    TWndPtr W = FindWnd(Wnd);
    while (W && W->Parent != 0) {
        if (W->Parent == Parent) return TRUE;
        W = FindWnd(W->Parent);
    }
    return FALSE;
}

HWND GetAncestor(HWND Wnd, UINT Flags) {
    TWndPtr W = FindWnd(Wnd);
    if (!W) return 0;
    switch (Flags) {
        case GA_PARENT:
            return W->Parent != 0 ? W->Parent : GetDesktopWindow();
        case GA_ROOT:
            return WindowImpl::TopLevelOf(*W)->Handle;
        case GA_ROOTOWNER: {
            TWndPtr Root = WindowImpl::TopLevelOf(*W);
            // Owners cannot loop: an owner is always a window that existed before.
            for (int Depth = 0; Root && Root->Owner != 0 && Depth < CoreLimits::kMaxWindowDepth;
                 ++Depth) {
                TWndPtr Up = FindWnd(Root->Owner);
                if (!Up) break;
                Root = Up;
            }
            return Root ? Root->Handle : 0;
        }
        default:
            return 0;
    }
}

HWND GetWindow(HWND Wnd, UINT Cmd) {
    TWndPtr W = FindWnd(Wnd);
    if (!W) return 0;
    if (Cmd == GW_CHILD) return W->Children.empty() ? 0 : W->Children.front();
    if (Cmd == GW_OWNER) return W->Parent == 0 ? W->Owner : 0;
    if (Cmd == GW_ENABLEDPOPUP) {
        for (HWND H : WindowState().TopLevels) {
            TWndPtr T = FindWnd(H);
            if (T && T->Owner == Wnd && T->Visible() && T->Enabled()) return H;
        }
        return 0;
    }
    if (W->MessageOnly) return 0;
    const std::vector<HWND>& List = SiblingList(*W);
    if (List.empty()) return 0;
    auto Self = std::find(List.begin(), List.end(), Wnd);
    switch (Cmd) {
        case GW_HWNDFIRST:
            return List.front();
        case GW_HWNDLAST:
            return List.back();
        case GW_HWNDNEXT:
            return Self == List.end() || std::next(Self) == List.end() ? 0 : *std::next(Self);
        case GW_HWNDPREV:
            return Self == List.begin() || Self == List.end() ? 0 : *std::prev(Self);
        default:
            return 0;
    }
}

HWND GetTopWindow(HWND Wnd) {
    if (Wnd == 0) {
        const auto& Tops = WindowState().TopLevels;
        return Tops.empty() ? 0 : Tops.front();
    }
    return GetWindow(Wnd, GW_CHILD);
}

namespace {

bool EnumTree(HWND Parent, const WNDENUMPROC& Fn, LPARAM Param) {
    TWndPtr P = FindWnd(Parent);
    if (!P) return true;
    const std::vector<HWND> Children = P->Children;
    for (HWND Child : Children) {
        if (!FindWnd(Child)) continue;
        if (!Fn(Child, Param)) return false;
        if (!EnumTree(Child, Fn, Param)) return false;
    }
    return true;
}

}  // namespace

BOOL EnumChildWindows(HWND Parent, const WNDENUMPROC& Fn, LPARAM Param) {
    if (!Fn) return FALSE;
    return EnumTree(Parent, Fn, Param) ? TRUE : FALSE;
}

BOOL EnumWindows(const WNDENUMPROC& Fn, LPARAM Param) {
    if (!Fn) return FALSE;
    const std::vector<HWND> Tops = WindowState().TopLevels;
    for (HWND H : Tops)
        if (FindWnd(H) && !Fn(H, Param)) return FALSE;
    return TRUE;
}

HWND FindWindow(const char* ClassName, const char* WindowName) {
    for (HWND H : WindowState().TopLevels) {
        TWndPtr W = FindWnd(H);
        if (!W) continue;
        if (ClassName && !SameName(W->Class->Name, ClassName)) continue;
        if (WindowName && W->Text != WindowName) continue;
        return H;
    }
    return 0;
}

// ---- window longs -------------------------------------------------------------------------------

LONG_PTR GetWindowLongPtr(HWND Wnd, int Index) {
    TWndPtr W = FindWnd(Wnd);
    if (!W) return 0;
    switch (Index) {
        case GWLP_WNDPROC:
            return reinterpret_cast<LONG_PTR>(W->Proc);
        case GWLP_HINSTANCE:
            return static_cast<LONG_PTR>(W->Instance);
        case GWLP_HWNDPARENT:
            return static_cast<LONG_PTR>(W->Parent != 0 ? W->Parent : W->Owner);
        case GWLP_ID:
            return W->Id;
        case GWL_STYLE:
            return static_cast<LONG_PTR>(W->Style);
        case GWL_EXSTYLE:
            return static_cast<LONG_PTR>(W->ExStyle);
        case GWLP_USERDATA:
            return W->UserData;
        default:
            return ReadExtra(*W, Index);
    }
}

LONG_PTR SetWindowLongPtr(HWND Wnd, int Index, LONG_PTR NewLong) {
    TWndPtr W = FindWnd(Wnd);
    if (!W) return 0;
    const LONG_PTR Old = GetWindowLongPtr(Wnd, Index);
    switch (Index) {
        case GWLP_WNDPROC:
            W->Proc = reinterpret_cast<WNDPROC>(NewLong);
            break;
        case GWLP_HINSTANCE:
            W->Instance = static_cast<HINSTANCE>(NewLong);
            break;
        case GWLP_HWNDPARENT:
            if (W->Parent == 0) W->Owner = static_cast<HWND>(NewLong);
            break;
        case GWLP_ID:
            W->Id = NewLong;
            break;
        case GWL_STYLE:
        case GWL_EXSTYLE: {
            const WPARAM Which = static_cast<WPARAM>(static_cast<LONG_PTR>(Index));
            STYLESTRUCT Change{static_cast<DWORD>(Old), static_cast<DWORD>(NewLong)};
            SendMessage(Wnd, WM_STYLECHANGING, Which, reinterpret_cast<LPARAM>(&Change));
            if (!FindWnd(Wnd)) return 0;
            DWORD& Field = Index == GWL_STYLE ? W->Style : W->ExStyle;
            Field = Change.styleNew;
            SendMessage(Wnd, WM_STYLECHANGED, Which, reinterpret_cast<LPARAM>(&Change));
            HostImpl::StyleChanged(*W);
            break;
        }
        case GWLP_USERDATA:
            W->UserData = NewLong;
            break;
        default:
            if (Index < 0 || static_cast<size_t>(Index) + sizeof(LONG_PTR) > W->Extra.size())
                return 0;
            std::memcpy(W->Extra.data() + Index, &NewLong, sizeof NewLong);
            break;
    }
    return Old;
}

LONG GetWindowLong(HWND Wnd, int Index) {
    return static_cast<LONG>(GetWindowLongPtr(Wnd, Index));
}

LONG SetWindowLong(HWND Wnd, int Index, LONG NewLong) {
    // Styles are 32-bit unsigned values: keep the high bit as a flag, not a sign.
    const LONG_PTR Value = (Index == GWL_STYLE || Index == GWL_EXSTYLE)
                               ? static_cast<LONG_PTR>(static_cast<DWORD>(NewLong))
                               : static_cast<LONG_PTR>(NewLong);
    return static_cast<LONG>(SetWindowLongPtr(Wnd, Index, Value));
}

// ---- text ---------------------------------------------------------------------------------------

BOOL SetWindowText(HWND Wnd, const std::string& Text) {
    if (!FindWnd(Wnd)) return FALSE;
    return SendMessage(Wnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(Text.c_str())) ? TRUE : FALSE;
}

int GetWindowText(HWND Wnd, char* Buffer, int MaxCount) {
    if (!Buffer || MaxCount <= 0) return 0;
    Buffer[0] = '\0';
    if (!FindWnd(Wnd)) return 0;
    return static_cast<int>(SendMessage(Wnd, WM_GETTEXT, static_cast<WPARAM>(MaxCount),
                                        reinterpret_cast<LPARAM>(Buffer)));
}

std::string GetWindowText(HWND Wnd) {
    const int Length = GetWindowTextLength(Wnd);
    if (Length <= 0) return std::string();
    std::string Text(static_cast<size_t>(Length) + 1, '\0');
    const int Got = GetWindowText(Wnd, Text.data(), Length + 1);
    Text.resize(static_cast<size_t>(std::clamp(Got, 0, Length)));
    return Text;
}

int GetWindowTextLength(HWND Wnd) {
    if (!FindWnd(Wnd)) return 0;
    return static_cast<int>(SendMessage(Wnd, WM_GETTEXTLENGTH, 0, 0));
}

// ---- rectangles and coordinates -----------------------------------------------------------------

BOOL GetWindowRect(HWND Wnd, RECT* Rect) {
    TWndPtr W = FindWnd(Wnd);
    if (!W || !Rect) return FALSE;
    *Rect = WindowImpl::ScreenRect(*W);
    return TRUE;
}

BOOL GetClientRect(HWND Wnd, RECT* Rect) {
    TWndPtr W = FindWnd(Wnd);
    if (!W || !Rect) return FALSE;
    *Rect = RECT{0, 0, W->Client.right - W->Client.left, W->Client.bottom - W->Client.top};
    return TRUE;
}

BOOL ClientToScreen(HWND Wnd, POINT* Point) {
    TWndPtr W = FindWnd(Wnd);
    if (!W || !Point) return FALSE;
    const POINT O = WindowImpl::ClientOrigin(*W);
    Point->x += O.x;
    Point->y += O.y;
    return TRUE;
}

BOOL ScreenToClient(HWND Wnd, POINT* Point) {
    TWndPtr W = FindWnd(Wnd);
    if (!W || !Point) return FALSE;
    const POINT O = WindowImpl::ClientOrigin(*W);
    Point->x -= O.x;
    Point->y -= O.y;
    return TRUE;
}

int MapWindowPoints(HWND From, HWND To, POINT* Points, UINT Count) {
    POINT A{}, B{};
    if (From != 0) {
        TWndPtr W = FindWnd(From);
        if (!W) return 0;
        A = WindowImpl::ClientOrigin(*W);
    }
    if (To != 0) {
        TWndPtr W = FindWnd(To);
        if (!W) return 0;
        B = WindowImpl::ClientOrigin(*W);
    }
    const LONG Dx = A.x - B.x;
    const LONG Dy = A.y - B.y;
    for (UINT I = 0; Points && I < Count; ++I) {
        Points[I].x += Dx;
        Points[I].y += Dy;
    }
    return static_cast<int>(MAKELONG(static_cast<WORD>(Dx), static_cast<WORD>(Dy)));
}

BOOL AdjustWindowRectEx(RECT* Rect, DWORD Style, BOOL, DWORD ExStyle) {
    if (!Rect) return FALSE;
    const RECT Insets = NonClientImpl::FrameInsets(Style, ExStyle);
    Rect->left -= Insets.left;
    Rect->top -= Insets.top;
    Rect->right += Insets.right;
    Rect->bottom += Insets.bottom;
    return TRUE;
}

// ---- hit testing by position --------------------------------------------------------------------

namespace {

// The point (screen) is inside the window and its window region.
bool Contains(const TWnd& W, POINT Screen) {
    const RECT R = WindowImpl::ScreenRect(W);
    if (!PtInRect(&R, Screen)) return false;
    return !W.HasRegion || W.Region.contains(QPoint(Screen.x - R.left, Screen.y - R.top));
}

HWND DeepestChild(const TWnd& W, POINT Screen) {
    const RECT Client = WindowImpl::ClientScreenRect(W);
    if (!PtInRect(&Client, Screen)) return W.Handle;
    for (HWND H : W.Children) {
        TWndPtr C = FindWnd(H);
        if (!C || !C->Visible() || !Contains(*C, Screen)) continue;
        // A disabled child is not found: its parent gets the point.
        if (!C->Enabled()) return W.Handle;
        return DeepestChild(*C, Screen);
    }
    return W.Handle;
}

}  // namespace

HWND WindowFromPoint(POINT Point) {
    for (HWND H : WindowState().TopLevels) {
        TWndPtr W = FindWnd(H);
        if (!W || !W->Visible() || (W->Style & WS_MINIMIZE) || !Contains(*W, Point)) continue;
        return DeepestChild(*W, Point);
    }
    return 0;
}

HWND ChildWindowFromPoint(HWND Parent, POINT Point) {
    return ChildWindowFromPointEx(Parent, Point, CWP_ALL);
}

HWND ChildWindowFromPointEx(HWND Parent, POINT Point, UINT Flags) {
    TWndPtr P = FindWnd(Parent);
    if (!P) return 0;
    POINT Screen = Point;
    ClientToScreen(Parent, &Screen);
    const RECT Outer = WindowImpl::ScreenRect(*P);
    if (!PtInRect(&Outer, Screen)) return 0;
    for (HWND H : P->Children) {
        TWndPtr C = FindWnd(H);
        if (!C || !Contains(*C, Screen)) continue;
        if ((Flags & CWP_SKIPINVISIBLE) && !C->Visible()) continue;
        if ((Flags & CWP_SKIPDISABLED) && !C->Enabled()) continue;
        if ((Flags & CWP_SKIPTRANSPARENT) && (C->ExStyle & WS_EX_TRANSPARENT)) continue;
        return H;
    }
    return Parent;
}
