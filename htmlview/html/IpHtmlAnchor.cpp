// Anchors and image maps: the rectangles a link covers, its hot state, and finding the link or
// map area under the mouse.
#include <algorithm>
#include <cstdlib>
#include <string>

#include "htmlview/html/IpHtml.h"
#include "htmlview/html/IpHtmlAnchorIndex.h"
#include "htmlview/html/Limits.h"

namespace {

int64_t BandOf(int32_t Y) {
    const int64_t H = HtmlLimits::kAnchorBucketHeight;
    return Y >= 0 ? Y / H : (int64_t(Y) - H + 1) / H;
}

// Adds R to a list of rectangles; one that continues the last on its line widens it instead.
void Join(std::vector<TIpHtmlRect>& List, const TIpHtmlRect& R) {
    if (IsEmptyRect(R)) return;
    if (!List.empty()) {
        TIpHtmlRect& Last = List.back();
        if (Last.Right == R.Left && Last.Top == R.Top && Last.Bottom == R.Bottom) {
            Last.Right = R.Right;
            return;
        }
    }
    List.push_back(R);
}

}  // namespace

// --- the index ---

TIpHtmlAnchorIndex::TIpHtmlAnchorIndex(const std::vector<TIpHtmlNodeA*>& Anchors)
    : FAnchors(Anchors) {
    for (size_t Order = 0; Order < FAnchors.size(); ++Order)
        for (const TIpHtmlRect& R : FAnchors[Order]->DrawRects()) {
            const int64_t First = BandOf(R.Top), Last = BandOf(R.Bottom - 1);
            if (Last - First >= HtmlLimits::kMaxAnchorBuckets) {
                FTall.push_back({R, Order});
                continue;
            }
            for (int64_t Band = First; Band <= Last; ++Band) FBands[Band].push_back({R, Order});
        }
}

void TIpHtmlAnchorIndex::Test(const std::vector<TEntry>& Entries, TIpHtmlPoint Point,
                              size_t& Best) {
    for (const TEntry& E : Entries)
        if (E.Order < Best && PointInRect(E.Rect, Point)) Best = E.Order;
}

TIpHtmlNodeA* TIpHtmlAnchorIndex::AnchorAt(TIpHtmlPoint Point) const {
    size_t Best = FAnchors.size();
    const auto Band = FBands.find(BandOf(Point.Y));
    if (Band != FBands.end()) Test(Band->second, Point, Best);
    Test(FTall, Point, Best);
    return Best < FAnchors.size() ? FAnchors[Best] : nullptr;
}

// --- anchors ---

const std::vector<TIpHtmlRect>& TIpHtmlNodeA::DrawRects() {
    if (!FRectsKnown) {
        FRectsKnown = true;
        TIpHtmlNodeMulti::ListDrawRects([&](const TIpHtmlRect& R) { Join(FDrawRects, R); });
        TIpHtmlNodeMulti::ListMapRects([&](const TIpHtmlRect& R) { Join(FMapRects, R); });
    }
    return FDrawRects;
}

const std::vector<TIpHtmlRect>& TIpHtmlNodeA::MapRects() {
    DrawRects();
    return FMapRects;
}

void TIpHtmlNodeA::DropRects() {
    FRectsKnown = false;
    FDrawRects.clear();
    FMapRects.clear();
}

bool TIpHtmlNodeA::AnchorHitTest(TIpHtmlPoint Point) {
    for (const TIpHtmlRect& R : DrawRects())
        if (PointInRect(R, Point)) return true;
    return false;
}

TIpHtmlPoint TIpHtmlNodeA::AnchorMapPoint(TIpHtmlPoint Point) {
    for (const TIpHtmlRect& R : MapRects())
        if (PointInRect(R, Point)) return {Point.X - R.Left, Point.Y - R.Top};
    return {-1, -1};
}

void TIpHtmlNodeA::SetAnchorHot(bool Hot) {
    FHot = Hot;
    if (FParentProps) AssignProps(*FParentProps);
    for (const TIpHtmlRect& R : DrawRects()) Owner()->InvalidatePageRect(R);
}

void TIpHtmlNodeA::FocusAnchor() {
    FFocused = true;
    ScrollIntoView();
    SetAnchorHot(true);
}

void TIpHtmlNodeA::UnfocusAnchor() {
    FFocused = false;
    SetAnchorHot(false);
}

void TIpHtmlNodeA::ScrollIntoView() {
    TIpHtmlRect Union;
    for (const TIpHtmlRect& R : DrawRects())
        Union = IsEmptyRect(Union)
                    ? R
                    : TIpHtmlRect{std::min(Union.Left, R.Left), std::min(Union.Top, R.Top),
                                  std::max(Union.Right, R.Right), std::max(Union.Bottom, R.Bottom)};
    if (Owner()->OnScroll) Owner()->OnScroll(Union);
}

// --- map areas ---

namespace {

// Decimal integers separated by commas, up to the first that is not one; false when one was not.
bool ReadCoords(const std::string& Text, std::vector<int32_t>& Values, size_t Most) {
    size_t Pos = 0;
    while (Pos <= Text.size() && Values.size() < Most) {
        size_t End = Text.find(',', Pos);
        if (End == std::string::npos) End = Text.size();
        std::string Piece = Text.substr(Pos, End - Pos);
        Piece.erase(0, Piece.find_first_not_of(' '));
        Piece.erase(Piece.find_last_not_of(' ') + 1);
        const size_t Digits = Piece.find_first_not_of("+-") == 1 ? 1 : 0;
        if (Piece.size() <= Digits || Piece.size() > 12 ||
            Piece.find_first_not_of("0123456789", Digits) != std::string::npos)
            return false;
        Values.push_back(int32_t(std::clamp<int64_t>(std::strtoll(Piece.c_str(), nullptr, 10),
                                                     -int64_t(HtmlLimits::kMaxPixels),
                                                     int64_t(HtmlLimits::kMaxPixels))));
        Pos = End + 1;
    }
    return true;
}

}  // namespace

TIpHtmlAreaShape::TIpHtmlAreaShape(const TIpHtmlNodeAREA& Area, const TIpHtmlRect& Image) {
    if (Area.HRef.empty()) return;
    const std::string& Coords = Area.Coords;
    std::vector<int32_t> C;
    const int32_t X = Image.Left, Y = Image.Top;
    switch (Area.Shape) {
        case TIpHtmlMapShape::hmsDefault:
            FHitKind = THitKind::Rect;
            FHitRect = Image;
            return;
        case TIpHtmlMapShape::hmsRect:
            ReadCoords(Coords, C, 4);
            C.resize(4, 0);
            FHitKind = THitKind::Rect;
            FHitRect = {X + C[0], Y + C[1], X + C[2], Y + C[3]};
            return;
        case TIpHtmlMapShape::hmsCircle: {
            std::string Text = Coords;
            const size_t Percent = Text.rfind('%');
            if (Percent != std::string::npos) Text.erase(Percent, 1);
            if (!ReadCoords(Text, C, 3) || C.size() < 3) return;
            int64_t R = C[2];
            if (Percent != std::string::npos)
                R = RoundDiv(R * std::min(Image.Right - Image.Left, Image.Bottom - Image.Top), 100);
            if (R < 1) return;
            FHitKind = THitKind::Ellipse;
            FHitRect = {int32_t(X + C[0] - R), int32_t(Y + C[1] - R), int32_t(X + C[0] + R),
                        int32_t(Y + C[1] + R)};
            return;
        }
        case TIpHtmlMapShape::hmsPoly:
            if (!ReadCoords(Coords, C, 2 * HtmlLimits::kMaxAreaPoints) || C.size() < 6) return;
            for (size_t I = 0; I + 1 < C.size(); I += 2)
                FHitPolygon.push_back({X + C[I], Y + C[I + 1]});
            if (!(FHitPolygon.front() == FHitPolygon.back()))
                FHitPolygon.push_back(FHitPolygon.front());
            FHitKind = THitKind::Polygon;
            return;
    }
}

// An ellipse holds the pixels whose centres lie in it; a polygon those inside an odd number of
// its edges.
bool TIpHtmlAreaShape::Hits(TIpHtmlPoint Point) const {
    switch (FHitKind) {
        case THitKind::Rect:
            return PointInRect(FHitRect, Point);
        case THitKind::Ellipse: {
            const double RX = (FHitRect.Right - FHitRect.Left) / 2.0;
            const double RY = (FHitRect.Bottom - FHitRect.Top) / 2.0;
            const double DX = (Point.X + 0.5 - FHitRect.Left - RX) / RX;
            const double DY = (Point.Y + 0.5 - FHitRect.Top - RY) / RY;
            return DX * DX + DY * DY <= 1.0;
        }
        case THitKind::Polygon: {
            bool Inside = false;
            const double PX = Point.X + 0.5, PY = Point.Y + 0.5;
            for (size_t I = 0, J = FHitPolygon.size() - 1; I < FHitPolygon.size(); J = I++) {
                const TIpHtmlPoint& A = FHitPolygon[I];
                const TIpHtmlPoint& B = FHitPolygon[J];
                if ((A.Y > PY) != (B.Y > PY) &&
                    PX < (B.X - A.X) * (PY - A.Y) / double(B.Y - A.Y) + A.X)
                    Inside = !Inside;
            }
            return Inside;
        }
        default:
            return false;
    }
}
