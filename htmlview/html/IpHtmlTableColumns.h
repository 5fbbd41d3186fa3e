#pragma once
// How a table's rows stand in its columns, and how a width is shared out over columns; used by
// the width computation and by the placing of rows.
#include <cstdint>
#include <functional>

#include "htmlview/html/IpHtmlArrays.h"

class TIpHtmlNodeTABLE;
class TIpHtmlNodeTR;
class TIpHtmlNodeTableHeaderOrCell;

// The columns a row's cells stand in: columns still held by a row span from above are skipped,
// each counter counting down as it is passed.
class TIpHtmlTableWidths {
  public:
    explicit TIpHtmlTableWidths(TIpHtmlNodeTABLE& Table) : FTable(Table) {}

    // Calls Proc(cell, first column, span) for each cell of the row that has a column.
    void Row(TIpHtmlNodeTR& Row,
             const std::function<void(TIpHtmlNodeTableHeaderOrCell&, int32_t, int32_t)>& Proc);

    // Shares a required width out over columns: in proportion to what they have, or evenly
    // when they have nothing (the remainder to the first of a span).
    static void Distribute(TIntArr& Cols, int32_t First, int32_t Span, int64_t Required);

  private:
    void Skip(int32_t& Col);
    TIpHtmlNodeTABLE& FTable;
    TIntArr FRowSpan;
};
