// Feeds arbitrary items to the restoring of a stored window placement, on two screens whose
// primary work area starts below a panel. The first byte picks the options (bit 0 state, 1
// position, 2 no size, 3 colour, 4 active control, 5 default monitor) and the window's border
// (bit 6: sizeable); the rest are the section's items, one "Item=Value" a line. The window ends
// inside one screen's work area with a size it can have there; the colour, the monitor setting
// and the active control are the stored ones (or the form's own where none is stored); saved
// and restored again, the window keeps its place.
#include <QCoreApplication>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "components/store/FormPlacement.h"
#include "fuzz/support/FuzzInput.h"
#include "platform/core/Application.h"
#include "platform/core/Screens.h"
#include "platform/core/Window.h"

namespace {

using Fuzz::Fail;

const std::vector<TScreenInfo> kScreens = {
    TScreenInfo{{0, 0, 1024, 768}, {0, 30, 1024, 768}, true},
    TScreenInfo{{1024, 0, 2304, 1024}, {1024, 0, 2304, 1024}, false}};

class TTwoScreens : public TScreenSource {
  public:
    std::vector<TScreenInfo> Screens() const override { return kScreens; }
};

// A section of items in memory; the store itself is not what is read here.
class TMemoryStore : public TOvcAbstractStore {
  public:
    TMemoryStore() : TOvcAbstractStore(nullptr) {}
    std::string ReadString(const std::string& Section, const std::string& Item,
                           const std::string& Default) override {
        const auto It = Items.find(Section + "\n" + Item);
        return It == Items.end() ? Default : It->second;
    }
    void WriteString(const std::string& Section, const std::string& Item,
                     const std::string& Value) override {
        Items[Section + "\n" + Item] = Value;
    }
    std::map<std::string, std::string> Items;

  protected:
    void DoOpen() override {}
    void DoClose() override {}
};

const char* const kSection = "TFormFuzz";
constexpr RECT kStart{100, 100, 400, 300};
constexpr int32_t kFormColor = int32_t(0xFF00000Fu);

std::optional<std::string> ItemOf(const TMemoryStore& Store, const char* Name) {
    const auto It = Store.Items.find(kSection + ("\n" + std::string(Name)));
    if (It == Store.Items.end()) return std::nullopt;
    return It->second;
}

// A decimal number with an optional sign that fits 32 bits.
std::optional<int32_t> Decimal(const std::string& Text) {
    size_t At = Text.size() > 0 && (Text[0] == '-' || Text[0] == '+') ? 1 : 0;
    if (At == Text.size()) return std::nullopt;
    int64_t Value = 0;
    for (; At < Text.size(); ++At) {
        if (Text[At] < '0' || Text[At] > '9') return std::nullopt;
        Value = Value * 10 + (Text[At] - '0');
        if (Value > int64_t(1) << 32) return std::nullopt;
    }
    if (Text[0] == '-') Value = -Value;
    if (Value < INT32_MIN || Value > INT32_MAX) return std::nullopt;
    return int32_t(Value);
}

// The window state a section asks for, read here by the rules of the stored items: none unless
// the state is asked for, the placement was saved at the program's resolution (a number other
// than 96; one that is no number counts as missing) and, with the position, a position is
// stored; then minimised for the show commands 2 and 6, maximised for 3, else normal.
std::optional<TRestoredWindowState> StoredState(const TMemoryStore& Store,
                                                TOvcFormStateOptions Options) {
    if (!Options.Contains(fsState)) return std::nullopt;
    if (Decimal(ItemOf(Store, "PixelsPerInch").value_or("")).value_or(96) != 96)
        return std::nullopt;
    if (Options.Contains(fsPosition) && ItemOf(Store, "NormalPos").value_or("").empty())
        return std::nullopt;
    switch (Decimal(ItemOf(Store, "ShowCmd").value_or("")).value_or(0)) {
        case 2:
        case 6:
            return TRestoredWindowState::Minimized;
        case 3:
            return TRestoredWindowState::Maximized;
        default:
            return TRestoredWindowState::Normal;
    }
}

std::string Text(std::optional<TRestoredWindowState> State) {
    if (!State) return "none";
    switch (*State) {
        case TRestoredWindowState::Minimized:
            return "minimised";
        case TRestoredWindowState::Maximized:
            return "maximised";
        default:
            return "normal";
    }
}

RECT WindowRect(HWND Wnd) {
    RECT R;
    GetWindowRect(Wnd, &R);
    return R;
}

std::string Text(const RECT& R) {
    return std::to_string(R.left) + "," + std::to_string(R.top) + "," + std::to_string(R.right) +
           "," + std::to_string(R.bottom);
}

void CheckOnAScreen(const RECT& R, const std::string& When) {
    if (R.right <= R.left || R.bottom <= R.top) Fail(When + ": the window is empty: " + Text(R));
    for (const TScreenInfo& Screen : kScreens) {
        const RECT& W = Screen.Work;
        if (R.left >= W.left && R.top >= W.top && R.right <= W.right && R.bottom <= W.bottom)
            return;
    }
    Fail(When + ": the window is outside every work area: " + Text(R));
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int* Argc, char*** Argv) {
    if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    static std::unique_ptr<QCoreApplication> App = TApplication::InitializeQt(*Argc, *Argv, true);
    SetScreenSource(std::make_shared<TTwoScreens>());
    WNDCLASS Class{};
    Class.lpfnWndProc = DefWindowProc;
    Class.lpszClassName = "KestroFuzzForm";
    RegisterClass(&Class);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
    if (Size < 1) return 0;
    TOvcFormStateOptions Options;
    const TOvcFormStateOption Bits[] = {fsState, fsPosition,      fsNoSize,
                                        fsColor, fsActiveControl, fsDefaultMonitor};
    for (int I = 0; I < 6; ++I)
        if (Data[0] & (1 << I)) Options.Include(Bits[I]);
    const DWORD Style = Data[0] & 64 ? WS_OVERLAPPEDWINDOW : WS_POPUP | WS_CAPTION | WS_DLGFRAME;

    TMemoryStore Stored;
    const std::string Input(reinterpret_cast<const char*>(Data) + 1, Size - 1);
    size_t At = 0;
    while (At < Input.size()) {
        size_t End = Input.find('\n', At);
        if (End == std::string::npos) End = Input.size();
        const std::string Line = Input.substr(At, End - At);
        At = End + 1;
        const size_t Eq = Line.find('=');
        if (Eq != std::string::npos)
            Stored.Items.emplace(kSection + ("\n" + Line.substr(0, Eq)), Line.substr(Eq + 1));
    }
    const auto Item = [&](const char* Name) { return ItemOf(Stored, Name); };

    TFormStateSubject Form;
    Form.Wnd =
        CreateWindowEx(0, "KestroFuzzForm", "", Style, kStart.left, kStart.top,
                       kStart.right - kStart.left, kStart.bottom - kStart.top, 0, 0, 0, nullptr);
    if (!Form.Wnd) Fail("no window");
    Form.Color = kFormColor;
    Form.DefaultMonitor = 1;
    Form.ActiveControl = "edtServer";

    const TFormStateRestored Got = RestoreFormState(Stored, kSection, Options, Form);
    const RECT Restored = WindowRect(Form.Wnd);
    CheckOnAScreen(Restored, "restored");
    if (Got.WindowState != StoredState(Stored, Options))
        Fail("the window state restored is " + Text(Got.WindowState) + ", not the stored " +
             Text(StoredState(Stored, Options)));
    if (Got.DefaultMonitor && (*Got.DefaultMonitor < 0 || *Got.DefaultMonitor > 3))
        Fail("a default monitor out of range: " + std::to_string(*Got.DefaultMonitor));
    if (Got.DefaultMonitor &&
        Decimal(Item("DefaultMonitor").value_or("")) != std::optional<int32_t>(*Got.DefaultMonitor))
        Fail("a default monitor that was not stored");
    if (Got.Color && *Got.Color != Decimal(Item("Color").value_or("")).value_or(kFormColor))
        Fail("the colour is not the stored one");
    if (Got.Color && !Options.Contains(fsColor)) Fail("a colour restored that was not asked for");
    const std::string Control =
        Options.Contains(fsActiveControl) ? Item("ActiveControl").value_or("") : std::string();
    if (Got.ActiveControl != Control) Fail("the active control is not the stored one");

    // Saved as it is now and restored from a moved place, the window comes back where it was.
    TMemoryStore Saved;
    SaveFormState(Saved, kSection, Options, Form);
    // A fixed border keeps its size: only a sizeable window is made smaller meanwhile.
    const bool Sizeable = Style & WS_THICKFRAME;
    MoveWindow(Form.Wnd, kStart.left, kStart.top, Sizeable ? 50 : Restored.right - Restored.left,
               Sizeable ? 40 : Restored.bottom - Restored.top, TRUE);
    const TFormStateRestored Again = RestoreFormState(Saved, kSection, Options, Form);
    if (Options.Contains(fsPosition) && !Options.Contains(fsNoSize) &&
        WindowRect(Form.Wnd) != Restored)
        Fail("saved and restored, the window moved from " + Text(Restored) + " to " +
             Text(WindowRect(Form.Wnd)));
    // The colour comes with the state or the position, as the rest of the placement.
    if (Options.Contains(fsColor) && (Options.Contains(fsState) || Options.Contains(fsPosition)) &&
        Again.Color != std::optional<int32_t>(Form.Color))
        Fail("a saved colour does not come back");
    if (Again.WindowState != StoredState(Saved, Options))
        Fail("the saved window state restored is " + Text(Again.WindowState) + ", not " +
             Text(StoredState(Saved, Options)));

    // Maximised as the form does with a restored maximised state, the window saves as maximised
    // and comes back so.
    if (Got.WindowState == TRestoredWindowState::Maximized) {
        ShowWindow(Form.Wnd, SW_SHOWMAXIMIZED);
        TMemoryStore Maximised;
        SaveFormState(Maximised, kSection, Options, Form);
        if (Decimal(ItemOf(Maximised, "ShowCmd").value_or("")) != std::optional<int32_t>(3))
            Fail("a maximised window saved the show command " +
                 ItemOf(Maximised, "ShowCmd").value_or("(none)"));
        const TFormStateRestored Back = RestoreFormState(Maximised, kSection, Options, Form);
        if (Back.WindowState != TRestoredWindowState::Maximized)
            Fail("a maximised window saved and restored is " + Text(Back.WindowState));
    }
    DestroyWindow(Form.Wnd);
    // A destroyed window's host widget goes at the loop's next pass, as in the program: without
    // one, every input's host stayed (the target's memory grew by 3 KB an input).
    Application.ProcessMessages();
    return 0;
}
