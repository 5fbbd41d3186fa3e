// The VT100 emulator side by side with libvterm, on the same bytes in the same process:
//   10 MB of 80-byte lines scrolling an 80 x 24 screen with 200 rows in all, and with 10,000
//   (libvterm keeps the rows that leave its screen through its push-line callback, in a ring
//   as long as our history);
//   10 MB of 132 x 50 screens dense with renditions, colours, cursor addressing and line
//   drawing.
//
//   build/rel/bench/terminal/bench_terminal_peers
//
// Before anything is timed both take the whole input once, and every screen row and every
// history row is compared: the characters (line drawing as the Unicode box characters libvterm
// stores), bold, underline, blink and reverse, and the colours (each libvterm colour must map
// to one colour of ours). Then rounds of alternating feeds (see bench/SideBySide.h).
#include <vterm.h>

#include <cstring>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "bench/SideBySide.h"
#include "bench/terminal/TermSamples.h"
#include "terminal/IpTerm.h"

namespace {

using namespace TermSamples;

// libvterm with its screen layer and a scrollback ring fed by the push-line callback.
class TVTermPeer {
  public:
    TVTermPeer(int Rows, int Cols, int HistoryRows)
        : FRows(Rows), FCols(Cols), FHistory(size_t(HistoryRows) * size_t(Cols)) {
        FHistoryRows = HistoryRows;
        FTerm = vterm_new(Rows, Cols);
        vterm_set_utf8(FTerm, 0);
        FScreen = vterm_obtain_screen(FTerm);
        static const VTermScreenCallbacks Callbacks = [] {
            VTermScreenCallbacks C{};
            C.sb_pushline = &TVTermPeer::PushLine;
            return C;
        }();
        vterm_screen_set_callbacks(FScreen, &Callbacks, this);
        vterm_screen_reset(FScreen, 1);
    }
    ~TVTermPeer() { vterm_free(FTerm); }
    TVTermPeer(const TVTermPeer&) = delete;
    TVTermPeer& operator=(const TVTermPeer&) = delete;

    void Feed(const std::string& Text) {
        for (size_t At = 0; At < Text.size(); At += kBlock)
            vterm_input_write(FTerm, Text.data() + At, std::min(kBlock, Text.size() - At));
    }

    VTermScreenCell Cell(int Row, int Col) const {
        VTermScreenCell C{};
        vterm_screen_get_cell(FScreen, VTermPos{Row, Col}, &C);
        return C;
    }
    // History row Back rows above the screen (1 is the newest); null when not held.
    const VTermScreenCell* HistoryRow(int Back) const {
        if (Back < 1 || Back > FPushed || Back > FHistoryRows) return nullptr;
        const int Slot = int((FPushed - Back) % FHistoryRows);
        return FHistory.data() + size_t(Slot) * size_t(FCols);
    }
    int64_t Pushed() const { return FPushed; }

  private:
    static int PushLine(int Cols, const VTermScreenCell* Cells, void* User) {
        auto& Self = *static_cast<TVTermPeer*>(User);
        const int Slot = int(Self.FPushed++ % Self.FHistoryRows);
        const int Keep = std::min(Cols, Self.FCols);
        std::memcpy(Self.FHistory.data() + size_t(Slot) * size_t(Self.FCols), Cells,
                    size_t(Keep) * sizeof(VTermScreenCell));
        return 1;
    }

    VTerm* FTerm = nullptr;
    VTermScreen* FScreen = nullptr;
    int FRows, FCols, FHistoryRows;
    std::vector<VTermScreenCell> FHistory;
    int64_t FPushed = 0;
};

// DEC special graphics as libvterm shows them; only these appear in the inputs.
constexpr struct {
    char Dec;
    uint32_t Unicode;
} kLineDrawing[] = {{'j', 0x2518}, {'k', 0x2510}, {'l', 0x250C},
                    {'m', 0x2514}, {'q', 0x2500}, {'x', 0x2502}};

uint32_t LineDrawing(uint16_t Ch) {
    for (const auto& L : kLineDrawing)
        if (L.Dec == Ch) return L.Unicode;
    return 0xFFFD;
}

uint32_t ColorKey(const VTermColor& C) {
    if (VTERM_COLOR_IS_DEFAULT_FG(&C)) return 0x100;
    if (VTERM_COLOR_IS_DEFAULT_BG(&C)) return 0x200;
    if (VTERM_COLOR_IS_INDEXED(&C)) return C.indexed.idx;
    return 0x1000000u | uint32_t(C.rgb.red) << 16 | uint32_t(C.rgb.green) << 8 | C.rgb.blue;
}

// One row of ours (1-based screen row, 0 and below the history) against one of libvterm's.
class TCompare {
  public:
    void Row(TIpTerminalBuffer& B, int Row, const VTermScreenCell* Cells, const char* Where,
             int Index) {
        for (int Col = 1; Col <= B.ColCount(); ++Col) {
            const VTermScreenCell& C = Cells[Col - 1];
            const uint16_t Ch = B.CharAt(Row, Col);
            const uint32_t Want = B.CharSetAt(Row, Col) == csLineDraw ? LineDrawing(Ch) : Ch;
            const uint32_t Got = C.chars[0] == 0 ? ' ' : C.chars[0];
            const uint8_t A = B.AttrAt(Row, Col);
            const bool SameAttrs = bool(A & IpTermAttr::Bold) == bool(C.attrs.bold) &&
                                   bool(A & IpTermAttr::Underline) == bool(C.attrs.underline) &&
                                   bool(A & IpTermAttr::Blink) == bool(C.attrs.blink) &&
                                   bool(A & IpTermAttr::Reverse) == bool(C.attrs.reverse);
            if (Want != Got || !SameAttrs || !Same(FFore, C.fg, B.ForeColorAt(Row, Col)) ||
                !Same(FBack, C.bg, B.BackColorAt(Row, Col)))
                SideBySide::Differ(std::string(Where) + " row " + std::to_string(Index) +
                                   ", column " + std::to_string(Col) + ": ours " +
                                   std::to_string(Want) + ", libvterm " + std::to_string(Got));
        }
    }

  private:
    static bool Same(std::map<uint32_t, uint32_t>& Map, const VTermColor& Theirs, uint32_t Ours) {
        return Map.emplace(ColorKey(Theirs), Ours).first->second == Ours;
    }
    std::map<uint32_t, uint32_t> FFore, FBack;
};

void CheckSameWork(TIpVT100Emulator& Vt, TVTermPeer& Peer, int HistoryRows) {
    TIpTerminalBuffer& B = Vt.Buffer();
    TCompare Compare;
    std::vector<VTermScreenCell> Cells(size_t(B.ColCount()));
    for (int Row = 1; Row <= B.RowCount(); ++Row) {
        for (int Col = 0; Col < B.ColCount(); ++Col) Cells[size_t(Col)] = Peer.Cell(Row - 1, Col);
        Compare.Row(B, Row, Cells.data(), "screen", Row);
    }
    const int Held = int(std::min<int64_t>(Peer.Pushed(), HistoryRows));
    for (int Back = 1; Back <= Held; ++Back)
        Compare.Row(B, 1 - Back, Peer.HistoryRow(Back), "history", Back);
}

void FeedOurs(TIpTerminalEmulator& E, const std::string& Text) {
    const auto* Data = reinterpret_cast<const uint8_t*>(Text.data());
    for (size_t At = 0; At < Text.size(); At += kBlock)
        E.ProcessBlock(Data + At, std::min(kBlock, Text.size() - At));
}

void Compare(const std::string& Name, const std::string& Text, int Rows, int Cols, int SVRows) {
    TIpVT100Emulator Vt;
    Vt.Buffer().tbSetColCount(Cols);
    Vt.Buffer().tbSetSVRowCount(SVRows);
    Vt.Buffer().tbSetRowCount(Rows);
    const int HistoryRows = SVRows - Rows;
    TVTermPeer Peer(Rows, Cols, HistoryRows);
    FeedOurs(Vt, Text);
    Peer.Feed(Text);
    CheckSameWork(Vt, Peer, HistoryRows);
    const SideBySide::TResult R =
        SideBySide::Run([&] { FeedOurs(Vt, Text); }, [&] { Peer.Feed(Text); });
    CheckSameWork(Vt, Peer, HistoryRows);
    SideBySide::PrintRow(Name, R);
}

}  // namespace

int main() {
    SideBySide::PrintHeader("libvterm");
    const std::string Lines = OutputLines();
    Compare("10 MB of 80-byte lines, 80 x 24, 200 rows", Lines, 24, 80, 200);
    Compare("10 MB of 80-byte lines, 80 x 24, 10,000 rows", Lines, 24, 80, 10000);
    Compare("10 MB of dense SGR, cursor moves, line drawing, 132 x 50", DenseScreens(), 50, 132,
            200);
    return 0;
}
