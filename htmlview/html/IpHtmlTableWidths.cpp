// Table widths: how many columns a table has, the least and the most each column needs (from
// the cells, spanning cells shared out over their columns), and how a table width is shared out
// over the columns.
#include <algorithm>
#include <vector>

#include "htmlview/html/IpHtml.h"
#include "htmlview/html/IpHtmlTableColumns.h"
#include "htmlview/html/Limits.h"

namespace {

int32_t Clamp(int64_t Value) {
    return int32_t(std::clamp<int64_t>(Value, 0, HtmlLimits::kMaxLayoutExtent));
}

int32_t Attribute(int32_t Value) {
    return std::clamp(Value, 0, HtmlLimits::kMaxPixels);
}

template <class T>
void ForEachChild(TIpHtmlNodeMulti& Node, const std::function<void(T&)>& Proc) {
    for (int I = 0; I < Node.ChildCount(); ++I)
        if (auto* Child = dynamic_cast<T*>(Node.ChildNode(I))) Proc(*Child);
}

int32_t SpanOf(const TIpHtmlNodeTableHeaderOrCell& Cell, int32_t Col) {
    return std::max(0, std::min(Cell.Colspan, HtmlLimits::kMaxTableColumns - Col));
}

}  // namespace

void TIpHtmlTableWidths::Row(
    TIpHtmlNodeTR& Row,
    const std::function<void(TIpHtmlNodeTableHeaderOrCell&, int32_t, int32_t)>& Proc) {
    int32_t Col = 0;
    Skip(Col);
    ForEachChild<TIpHtmlNodeTableHeaderOrCell>(Row, [&](TIpHtmlNodeTableHeaderOrCell& Cell) {
        Skip(Col);
        const int32_t Span = SpanOf(Cell, Col);
        if (Span == 0) return;
        Proc(Cell, Col, Span);
        for (int32_t I = 0; I < Span; ++I) FRowSpan.Set(Col + I, Cell.Rowspan - 1);
        Col += Span;
    });
    for (; Col < FTable.FColCount; ++Col)
        if (FRowSpan[Col] > 0) FRowSpan.Set(Col, FRowSpan[Col] - 1);
}

void TIpHtmlTableWidths::Distribute(TIntArr& Cols, int32_t First, int32_t Span, int64_t Required) {
    int64_t Sum = 0;
    for (int32_t I = 0; I < Span; ++I) Sum += Cols[First + I];
    if (Sum == 0) {
        for (int32_t I = 0; I < Span; ++I) Cols.Set(First + I, Clamp(Required / Span));
        Cols.Set(First, Clamp(Cols[First] + Required - Span * (Required / Span)));
        return;
    }
    if (Required <= Sum) return;
    int64_t Now = 0;
    for (int32_t I = 0; I < Span; ++I) {
        const int64_t Value = Cols[First + I];
        Cols.Set(First + I, Clamp(Value + RoundDiv(Value * (Required - Sum), Sum)));
        Now += Cols[First + I];
    }
    for (int32_t I = 0; Now < Required && I < Span; ++I, ++Now)
        Cols.Set(First + I, Clamp(Cols[First + I] + 1));
}

void TIpHtmlTableWidths::Skip(int32_t& Col) {
    while (Col < HtmlLimits::kMaxTableColumns && FRowSpan[Col] > 0) {
        FRowSpan.Set(Col, FRowSpan[Col] - 1);
        ++Col;
    }
}

void TIpHtmlNodeTABLE::ForEachRow(const std::function<void(TIpHtmlNodeTR&)>& Proc, bool HeadFirst) {
    const auto Rows = [&](TIpHtmlNodeTHeadFootBody& Group) {
        ForEachChild<TIpHtmlNodeTR>(Group, Proc);
    };
    if (!HeadFirst) {
        ForEachChild<TIpHtmlNodeTHeadFootBody>(*this, Rows);
        return;
    }
    ForEachChild<TIpHtmlNodeTHEAD>(*this, Rows);
    ForEachChild<TIpHtmlNodeTBODY>(*this, Rows);
    ForEachChild<TIpHtmlNodeTFOOT>(*this, Rows);
}

void TIpHtmlNodeTABLE::CountColumns() {
    if (FColCount != -1) return;
    FCaption = nullptr;
    ForEachChild<TIpHtmlNodeCAPTION>(*this, [&](TIpHtmlNodeCAPTION& Caption) {
        if (!FCaption) FCaption = &Caption;
    });
    int64_t Count = 0;
    ForEachRow(
        [&](TIpHtmlNodeTR& Row) {
            int64_t Sum = 0;
            ForEachChild<TIpHtmlNodeTableHeaderOrCell>(
                Row, [&](TIpHtmlNodeTableHeaderOrCell& Cell) { Sum += Cell.Colspan; });
            Count = std::max(Count, Sum);
        },
        false);
    FColCount = int32_t(std::min<int64_t>(Count, HtmlLimits::kMaxTableColumns));
    const int32_t Spacing = Attribute(CellSpacing);
    FHS = Spacing / 2;
    if (Spacing >= 1 && FHS == 0) FHS = 1;
    using enum TIpHtmlRules;
    FVR = Rules == hrGroups || Rules == hrAll || Rules == hrCols ? 1 : 0;
    FHR = Rules == hrGroups || Rules == hrAll || Rules == hrRows ? 1 : 0;
    using enum TIpHtmlFrameProp;
    const int32_t B = Attribute(FBorder);
    const bool Box = Frame == hfBox || Frame == hfBorder;
    FBT = Box || Frame == hfAbove || Frame == hfHSides ? B : 0;
    FBB = Box || Frame == hfBelow || Frame == hfHSides ? B : 0;
    FBL = Box || Frame == hfLhs || Frame == hfvSides ? B : 0;
    FBR = Box || Frame == hfRhs || Frame == hfvSides ? B : 0;
}

// What the table needs besides its columns: its edges and spacing, and each column's padding,
// spacing and rule.
int64_t TIpHtmlNodeTABLE::Overhead() const {
    const int64_t PerColumn = 2 * int64_t(Attribute(CellPadding)) + 2 * FHS + FVR;
    return FBL + FBR + 2 * FHS + FVR + PerColumn * std::max(FColCount, 0);
}

void TIpHtmlNodeTABLE::CalcMinMax() {
    CountColumns();
    if (CalcMinWidth != -1 && CalcMaxWidth != -1) return;
    for (int32_t C = 0; C < FColCount; ++C) {
        FColMin.Set(C, 0);
        FColMax.Set(C, 0);
    }
    struct TSpanning {
        int32_t Min, Max, First, Span;
    };
    std::vector<TSpanning> Spanning;
    const int64_t CellOverhead = 2 * int64_t(Attribute(CellPadding)) + 2 * FHS + FVR;
    TIpHtmlTableWidths Columns(*this);
    ForEachRow(
        [&](TIpHtmlNodeTR& Row) {
            Columns.Row(Row, [&](TIpHtmlNodeTableHeaderOrCell& Cell, int32_t Col, int32_t Span) {
                int32_t Min = 0, Max = 0;
                Cell.BlockMinMaxWidth(*FProps, Min, Max);
                if (Cell.Width.LengthType() == TIpHtmlLengthType::hlAbsolute &&
                    Cell.Width.LengthValue() <= Cell.ParentWidthLimit()) {
                    Min = std::max<int32_t>(Min, Clamp(Cell.Width.LengthValue() - CellOverhead));
                    Max = Min;
                }
                Cell.CalcWidthMin = Min;
                Cell.CalcWidthMax = Max;
                if (Span > 1) {
                    Spanning.push_back({Min, Max, Col, Span});
                    return;
                }
                // Only the cell's column changed, so only it can have a minimum above its
                // maximum now; looking at every column would cost cells times columns.
                TIpHtmlTableWidths::Distribute(FColMin, Col, 1, Min);
                TIpHtmlTableWidths::Distribute(FColMax, Col, 1, Max);
                if (FColMin[Col] > FColMax[Col]) FColMin.Set(Col, FColMax[Col]);
            });
        },
        false);
    for (const TSpanning& S : Spanning) {
        TIpHtmlTableWidths::Distribute(FColMin, S.First, S.Span, S.Min);
        TIpHtmlTableWidths::Distribute(FColMax, S.First, S.Span, S.Max);
        for (int32_t C = S.First; C < S.First + S.Span; ++C)
            if (FColMax[C] < FColMin[C]) FColMax.Set(C, FColMin[C]);
    }
    int64_t SumMin = 0, SumMax = 0;
    for (int32_t C = 0; C < FColCount; ++C) {
        SumMin += FColMin[C];
        SumMax += FColMax[C];
    }
    CalcMinWidth = std::max(CalcMinWidth, Clamp(Overhead() + SumMin));
    CalcMaxWidth = std::max(CalcMaxWidth, Clamp(Overhead() + SumMax));
}

void TIpHtmlNodeTABLE::InlineMinMaxWidth(int32_t& Min, int32_t& Max) {
    CalcMinMax();
    Min = CalcMinWidth;
    Max = CalcMaxWidth;
    if (Width.LengthType() == TIpHtmlLengthType::hlAbsolute) {
        Min = std::max(Min, Attribute(Width.LengthValue()));
        Max = std::max(Max, Min);
    }
}

// The table's width for Available pixels. Cells asking for percentages make the table that
// share of the room; their row asking for most counts (rows are alternatives, not a sum).
int32_t TIpHtmlNodeTABLE::TableWidth(int32_t Available) {
    const int32_t Min = CalcMinWidth, Max = CalcMaxWidth;
    if (Width.LengthType() == TIpHtmlLengthType::hlAbsolute)
        return std::max(Attribute(Width.LengthValue()), Min);
    if (Nesting() >= HtmlLimits::kMaxTableNesting) return Min;
    if (Width.LengthType() == TIpHtmlLengthType::hlPercent)
        return std::max<int32_t>(
            Min, Clamp(RoundDiv(int64_t(Attribute(Width.LengthValue())) * Available, 100)));
    int64_t Percent = 0;
    bool AnyPercent = false;
    ForEachRow(
        [&](TIpHtmlNodeTR& Row) {
            int64_t RowPercent = 0;
            ForEachChild<TIpHtmlNodeTableHeaderOrCell>(
                Row, [&](TIpHtmlNodeTableHeaderOrCell& Cell) {
                    if (Cell.Width.LengthType() != TIpHtmlLengthType::hlPercent) return;
                    AnyPercent = true;
                    RowPercent += Attribute(Cell.Width.LengthValue());
                });
            Percent = std::max(Percent, std::min<int64_t>(RowPercent, 100));
        },
        false);
    if (AnyPercent) return std::max<int32_t>(Min, Clamp(RoundDiv(Percent * Available, 100)));
    return std::max(Min, std::min(Max, Available));
}

// Column widths for the table width: from the minima or maxima, then what cells ask for, then
// the rest of the room shared out.
void TIpHtmlNodeTABLE::LayoutTable(int32_t TableWidth) {
    const int32_t Cols = FColCount;
    const bool Narrow = TableWidth < CalcMaxWidth;
    for (int32_t C = 0; C < Cols; ++C) FColWidth.Set(C, Narrow ? FColMin[C] : FColMax[C]);
    const auto Sum = [&] {
        int64_t S = 0;
        for (int32_t C = 0; C < Cols; ++C) S += FColWidth[C];
        return S;
    };
    const int64_t Inner = int64_t(TableWidth) - Overhead();
    const int64_t CellOverhead = 2 * int64_t(Attribute(CellPadding)) + 2 * FHS + FVR;
    TIpHtmlTableWidths Columns(*this);
    ForEachRow(
        [&](TIpHtmlNodeTR& Row) {
            Columns.Row(Row, [&](TIpHtmlNodeTableHeaderOrCell& Cell, int32_t Col, int32_t Span) {
                const int64_t Room = Inner - Sum();
                if (Room <= 0) return;
                int64_t Asked;
                if (Cell.Width.LengthType() == TIpHtmlLengthType::hlAbsolute)
                    Asked = Attribute(Cell.Width.LengthValue()) - CellOverhead;
                else if (Cell.Width.LengthType() == TIpHtmlLengthType::hlPercent)
                    Asked = RoundDiv(Attribute(Cell.Width.LengthValue()) * Inner, 100);
                else
                    return;
                int64_t Have = 0;
                for (int32_t I = 0; I < Span; ++I) Have += FColWidth[Col + I];
                if (Have == 0) {
                    for (int32_t I = 0; I < Span; ++I)
                        FColWidth.Set(Col + I, Clamp(std::min(Asked, Room) / Span));
                    return;
                }
                const int64_t Grow = std::min(Room, Asked - Have);
                if (Grow <= 0) return;
                for (int32_t I = 0; I < Span; ++I)
                    FColWidth.Set(Col + I, Clamp(FColWidth[Col + I] +
                                                 RoundDiv(FColWidth[Col + I] * Grow, Have)));
            });
        },
        false);
    const int64_t Room = std::max<int64_t>(Inner, 0);
    if (const int64_t S = Sum(); S > 0 && Room - S > 0)
        for (int32_t C = 0; C < Cols; ++C) {
            const int64_t W = FColWidth[C];
            if (W < FColMax[C])
                FColWidth.Set(C, Clamp(std::min<int64_t>(W + RoundDiv(W * (Room - S), S),
                                                         std::max(W, int64_t(FColMax[C])))));
        }
    if (Cols > 0) {
        int64_t Free = Room - Sum();
        if (Free > 0) {
            int64_t Extra = Free % Cols;
            for (int32_t C = 0; C < Cols; ++C)
                if (FColWidth[C] < FColMax[C])
                    FColWidth.Set(C, Clamp(FColWidth[C] + Free / Cols + (Extra-- > 0 ? 1 : 0)));
        }
        Free = Room - Sum();
        for (int32_t C = 0; C < Cols && Free > 0; ++C) {
            const int64_t Grow = std::min<int64_t>(FColMax[C] - FColWidth[C], Free);
            if (Grow <= 0) continue;
            FColWidth.Set(C, Clamp(FColWidth[C] + Grow));
            Free -= Grow;
        }
        Free = Room - Sum();
        if (Free > 0)
            for (int32_t C = 0; C < Cols; ++C)
                FColWidth.Set(C, Clamp(FColWidth[C] + Free / Cols + (C < Free % Cols ? 1 : 0)));
    }
    int64_t Start = FBL + FHS + FVR;
    for (int32_t C = 0; C < Cols; ++C) {
        FColStart.Set(C, Clamp(Start));
        Start += CellOverhead + FColWidth[C];
    }
}
