#pragma once
// Finds the first anchor (in document order) whose rectangles hold a point, without testing
// every anchor: rectangles are kept in horizontal bands of the page, so a point is tested only
// against the rectangles of its band (and the few too tall for bands).
#include <cstdint>
#include <unordered_map>
#include <vector>

#include "htmlview/html/IpHtmlCanvas.h"

class TIpHtmlNodeA;

class TIpHtmlAnchorIndex {
  public:
    // Anchors in document order.
    explicit TIpHtmlAnchorIndex(const std::vector<TIpHtmlNodeA*>& Anchors);
    TIpHtmlNodeA* AnchorAt(TIpHtmlPoint Point) const;

  private:
    struct TEntry {
        TIpHtmlRect Rect;
        size_t Order;
    };
    static void Test(const std::vector<TEntry>& Entries, TIpHtmlPoint Point, size_t& Best);
    std::vector<TIpHtmlNodeA*> FAnchors;
    std::unordered_map<int64_t, std::vector<TEntry>> FBands;
    std::vector<TEntry> FTall;
};
