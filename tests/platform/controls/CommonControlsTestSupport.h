#pragma once
// What the tests of the common controls share besides what every control test does (see
// ControlTestSupport.h): a form that records the notifications its controls send (copied while
// the record still exists), answers chosen per code, and image lists of plain colours.
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "platform/controls/Controls.h"
#include "platform/controls/ListView.h"
#include "tests/platform/controls/ControlTestSupport.h"

namespace CommonControlsTest {

using namespace ControlTest;

// One WM_NOTIFY as the parent saw it; the fields the code's record has, the rest 0.
struct TNote {
    UINT Code = 0;
    HWND From = 0;
    int Item = 0;
    int SubItem = 0;
    UINT NewState = 0;
    UINT OldState = 0;
    UINT Changed = 0;
    LPARAM Param = 0;
    WORD Key = 0;
    bool operator==(const TNote&) const = default;
};

// The codes whose records start with NMLISTVIEW (NMITEMACTIVATE does too).
inline bool CarriesListView(UINT Code) {
    return Code == LVN_ITEMCHANGING || Code == LVN_ITEMCHANGED || Code == LVN_INSERTITEM ||
           Code == LVN_DELETEITEM || Code == LVN_DELETEALLITEMS || Code == LVN_COLUMNCLICK;
}

class TNotes {
  public:
    // Records every WM_NOTIFY Form gets (and WM_CONTEXTMENU as a note of code 0); Answer gives
    // the reply per note (0 when it is not set).
    void Watch(HWND Form) {
        Windows().Handlers[Form] = [this](HWND, UINT Msg, WPARAM,
                                          LPARAM LParam) -> std::optional<LRESULT> {
            if (Msg == WM_CONTEXTMENU) {
                List.push_back(TNote{});
                return 0;
            }
            if (Msg == WM_DRAWITEM && OnDrawItem) return OnDrawItem(LParam);
            if (Msg != WM_NOTIFY) return std::nullopt;
            const auto* Header = reinterpret_cast<const NMHDR*>(LParam);
            TNote Note;
            Note.Code = Header->code;
            Note.From = Header->hwndFrom;
            if (CarriesListView(Header->code)) {
                const auto* L = reinterpret_cast<const NMLISTVIEW*>(LParam);
                Note.Item = L->iItem;
                Note.SubItem = L->iSubItem;
                Note.NewState = L->uNewState;
                Note.OldState = L->uOldState;
                Note.Changed = L->uChanged;
                Note.Param = L->lParam;
            } else if (Header->code == NM_CLICK || Header->code == NM_DBLCLK ||
                       Header->code == NM_RCLICK) {
                if (Extended.count(Header->hwndFrom)) {
                    const auto* A = reinterpret_cast<const NMITEMACTIVATE*>(LParam);
                    Note.Item = A->iItem;
                    Note.SubItem = A->iSubItem;
                }
            } else if (Header->code == LVN_KEYDOWN) {
                Note.Key = reinterpret_cast<const NMLVKEYDOWN*>(LParam)->wVKey;
            }
            List.push_back(Note);
            return Answer ? Answer(Note, LParam) : 0;
        };
    }
    std::vector<UINT> Codes() const {
        std::vector<UINT> Out;
        for (const TNote& N : List) Out.push_back(N.Code);
        return Out;
    }
    std::vector<TNote> Only(UINT Code) const {
        std::vector<TNote> Out;
        for (const TNote& N : List)
            if (N.Code == Code) Out.push_back(N);
        return Out;
    }

    std::vector<TNote> List;
    std::function<LRESULT(const TNote&, LPARAM)> Answer;
    std::function<LRESULT(LPARAM)> OnDrawItem;
    // Controls whose NM_CLICK family carries NMITEMACTIVATE (list views).
    std::map<HWND, bool> Extended;
};

// An image list of Count 16x16 (or Side) pictures, each a filled square in its own colour on a
// transparent ground, with a one-pixel transparent margin.
inline HIMAGELIST ColourImages(const std::vector<COLORREF>& Colours, int Side = 16) {
    const HIMAGELIST List = ImageList_Create(Side, Side, ILC_COLOR32 | ILC_MASK, 0, 4);
    for (COLORREF C : Colours) {
        const HDC DC = CreateCompatibleDC(0);
        const HBITMAP Bitmap = CreateBitmap(Side, Side, 1, 32, nullptr);
        const HGDIOBJ Old = SelectObject(DC, Bitmap);
        RECT All{0, 0, Side, Side};
        const HBRUSH Ground = CreateSolidBrush(RGB(255, 0, 255));
        FillRect(DC, &All, Ground);
        DeleteObject(Ground);
        RECT Inner{1, 1, Side - 1, Side - 1};
        const HBRUSH Fill = CreateSolidBrush(C);
        FillRect(DC, &Inner, Fill);
        DeleteObject(Fill);
        SelectObject(DC, Old);
        DeleteDC(DC);
        ImageList_AddMasked(List, Bitmap, RGB(255, 0, 255));
        DeleteObject(Bitmap);
    }
    return List;
}

}  // namespace CommonControlsTest
