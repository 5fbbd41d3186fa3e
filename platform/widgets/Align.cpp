#include "platform/widgets/Align.h"

#include <algorithm>
#include <numeric>

namespace {

// The order within one kind of alignment: which of two items comes first (nearer the edge).
bool Before(TAlign Kind, const TAlignItem& A, const TAlignItem& B) {
    auto Key = [Kind](const TAlignItem& I) {
        switch (Kind) {
            case alTop:
                return I.Bounds.Top;
            case alBottom:
                return -I.Bounds.Bottom;
            case alLeft:
                return I.Bounds.Left;
            case alRight:
                return -I.Bounds.Right;
            default:
                return 0;
        }
    };
    if (Key(A) != Key(B)) return Key(A) < Key(B);
    return A.Moving && !B.Moving;
}

void Place(TAlignItem& I, TRect& Client) {
    const int W = std::max(0, int(I.Bounds.Width()));
    const int H = std::max(0, int(I.Bounds.Height()));
    switch (I.Align) {
        case alTop:
            I.Bounds = TRect{Client.Left, Client.Top, Client.Right, Client.Top + H};
            Client.Top = std::min(Client.Bottom, Client.Top + H);
            break;
        case alBottom:
            I.Bounds = TRect{Client.Left, Client.Bottom - H, Client.Right, Client.Bottom};
            Client.Bottom = std::max(Client.Top, Client.Bottom - H);
            break;
        case alLeft:
            I.Bounds = TRect{Client.Left, Client.Top, Client.Left + W, Client.Bottom};
            Client.Left = std::min(Client.Right, Client.Left + W);
            break;
        case alRight:
            I.Bounds = TRect{Client.Right - W, Client.Top, Client.Right, Client.Bottom};
            Client.Right = std::max(Client.Left, Client.Right - W);
            break;
        case alClient:
            I.Bounds = Client;
            break;
        case alNone:
            break;
    }
}

int Anchor(int Start, int Size, int OldParent, int NewParent, bool Near, bool Far, int& NewSize) {
    NewSize = Size;
    if (OldParent < 0) return Start;
    const int Delta = NewParent - OldParent;
    if (Near && Far) {
        NewSize = std::max(0, Size + Delta);
        return Start;
    }
    if (Far) return Start + Delta;
    if (Near) return Start;
    // Neither edge: the centre keeps its place in proportion.
    if (OldParent == 0) return Start;
    const long long Centre = 2LL * Start + Size;
    return int((Centre * NewParent / OldParent - Size) / 2);
}

}  // namespace

void AlignItems(std::vector<TAlignItem>& Items, TRect& Client) {
    for (TAlign Kind : {alTop, alBottom, alLeft, alRight, alClient}) {
        std::vector<size_t> Order;
        for (size_t I = 0; I < Items.size(); ++I)
            if (Items[I].Align == Kind) Order.push_back(I);
        const auto First = [&](size_t A, size_t B) { return Before(Kind, Items[A], Items[B]); };
        // Placed again, the items mostly are in order already: checking it is linear.
        if (!std::is_sorted(Order.begin(), Order.end(), First))
            std::stable_sort(Order.begin(), Order.end(), First);
        for (size_t I : Order) Place(Items[I], Client);
    }
}

TRect AnchoredBounds(const TRect& Origin, int OriginWidth, int OriginHeight, int Width, int Height,
                     TAnchors Anchors) {
    int W = 0;
    int H = 0;
    const int L = Anchor(Origin.Left, Origin.Width(), OriginWidth, Width, Anchors.Contains(akLeft),
                         Anchors.Contains(akRight), W);
    const int T = Anchor(Origin.Top, Origin.Height(), OriginHeight, Height, Anchors.Contains(akTop),
                         Anchors.Contains(akBottom), H);
    return TRect{L, T, L + W, T + H};
}
