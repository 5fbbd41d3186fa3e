// What the main window shows, without a window: the byte and rate texts with both decimal
// separators, the incoming-mail lines, which dropped files are boxes, and how often the task
// callbacks rebuild the view (on a fake clock).
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>

#include "app/ui/ExchangeRun.h"
#include "app/ui/MainViews.h"
#include "platform/system/SystemClock.h"

namespace {

TEST(MainViews, ByteCountsInBytesKilobytesAndMegabytesWithEitherSeparator) {
    struct TCase {
        int64_t Bytes;
        const char* Comma;
        const char* Point;
    };
    const TCase Cases[] = {
        {0, "0 Bytes", "0 Bytes"},
        {1024, "1024 Bytes", "1024 Bytes"},
        {1025, "  1,00 KB", "  1.00 KB"},
        {6000, "  5,86 KB", "  5.86 KB"},
        {1024 * 1024, "1024,00 KB", "1024.00 KB"},
        {1024 * 1024 + 1, " 1,000 MB", " 1.000 MB"},
        {int64_t(35) * 1024 * 1024 + 512 * 1024, "35,500 MB", "35.500 MB"},
        // Totals past 4 GB do not wrap.
        {int64_t(5) * 1024 * 1024 * 1024, "5120,000 MB", "5120.000 MB"},
    };
    for (const TCase& C : Cases) {
        EXPECT_EQ(FormatByteCount(C.Bytes, ','), C.Comma) << C.Bytes;
        EXPECT_EQ(FormatByteCount(C.Bytes, '.'), C.Point) << C.Bytes;
    }
    EXPECT_EQ(ByteCountPanel(6000, ','), "   5,86 KB");
}

TEST(MainViews, RateIsBytesPerSecondSinceTheStartRounded) {
    struct TCase {
        int64_t Bytes, StartMs, NowMs;
        const char* Rate;
    };
    const TCase Cases[] = {
        {3000, 1000, 3000, "1500"},
        {2, 0, 3000, "1"},  // 0.67 rounds up
        {1, 0, 3000, "0"},
        {1000, 5000, 5000, "1000"},  // no time passed: one second
        {1000, 5000, 4000, "1000"},  // a clock that went back: one second
        {int64_t(6) * 1024 * 1024 * 1024, 0, 2000, "3221225472"},
    };
    for (const TCase& C : Cases)
        EXPECT_EQ(FormatRate(C.Bytes, C.StartMs, C.NowMs), C.Rate) << C.Bytes << " " << C.NowMs;
    EXPECT_EQ(RatePanel(3000, 1000, 3000), " 1500 cps");
    EXPECT_EQ(MailCountPanel(3), " 3 Mails");
    EXPECT_EQ(NewsCountPanel(0), " 0 News");
    EXPECT_EQ(ByteCountOfText("2048"), 2048);
    EXPECT_EQ(ByteCountOfText("20x"), 0);
    EXPECT_EQ(ByteCountOfText(""), 0);
    EXPECT_EQ(ByteCountOfText("99999999999999999999999"), 0);
}

TEST(MainViews, MailLinesSplitAtTheirMarks) {
    struct TCase {
        const char* Line;
        TMailLine Want;
        const char* Corner;
    };
    const TCase Cases[] = {
        {"M0001.MSG\x01"
         "06.12.2026 22:40\x02Treffen\x03"
         "anna@example.org\x04"
         "2048",
         {"M0001.MSG", "06.12.2026 22:40", "Treffen", "anna@example.org", "", "2048"},
         " (2048)"},
        {"M0002.MSG\x01"
         "d\x02s\x03"
         "f\x04Gekuerzt\x05"
         "512000",
         {"M0002.MSG", "d", "s", "f", "Gekuerzt", "512000"},
         "Gekuerzt (512000)"},
        {"M0003.MSG\x01"
         "d\x02s\x03"
         "f\x04"
         "Doppelt\x05"
         "0",
         {"M0003.MSG", "d", "s", "f", "Doppelt", "0"},
         "Doppelt"},
        // A mark that does not lead further stays in the text it stands in.
        {"F\x01"
         "D\x03S\x02X\x04"
         "1",
         {"F", "D", "", "S\x02X", "", "1"},
         " (1)"},
        {"only a name", {"only a name", "", "", "", "", ""}, " ()"},
    };
    for (const TCase& C : Cases) {
        const TMailLine Got = SplitMailLine(C.Line);
        EXPECT_EQ(Got.FileName, C.Want.FileName);
        EXPECT_EQ(Got.Date, C.Want.Date);
        EXPECT_EQ(Got.Subject, C.Want.Subject);
        EXPECT_EQ(Got.Sender, C.Want.Sender);
        EXPECT_EQ(Got.Label, C.Want.Label);
        EXPECT_EQ(Got.Size, C.Want.Size);
        EXPECT_EQ(MailLineCorner(Got), C.Corner);
    }
}

// A line too long for the list gives up the end of its subject first, then of its sender, then
// of its date; its file name and its tail (label and size) stay whole.
TEST(MainViews, MailLinesTooLongGiveUpTheirTextsNotTheirEnds) {
    const std::string Line = "F\1DDDD\2SSSSSS\3NNNN\4Cut\00512";
    EXPECT_EQ(FitMailLine(Line, Line.size()), Line);
    EXPECT_EQ(FitMailLine(Line, Line.size() - 4), "F\1DDDD\2SS\3NNNN\4Cut\00512");
    EXPECT_EQ(FitMailLine(Line, Line.size() - 8), "F\1DDDD\2\3NN\4Cut\00512");
    EXPECT_EQ(FitMailLine(Line, Line.size() - 12), "F\1DD\2\3\4Cut\00512");
    EXPECT_EQ(FitMailLine(Line, 3), "F\1\2\3\4Cut\00512");  // as short as it gets
    // A mark that leads nowhere is subject text like any other.
    const TMailLine Cut = SplitMailLine(FitMailLine("F\1D\2S\1S\3N\0041", 10));
    EXPECT_EQ(Cut.Subject, "S\1");
    EXPECT_EQ(Cut.Sender, "N");
    EXPECT_EQ(Cut.Size, "1");
}

TEST(MainViews, MailLinesShowSubjectAndSenderDecoded) {
    const TMailLine Shown = ShownMailLine(
        "M0004.MSG\x01"
        "Mon, 7 Dec 2026 10:00:00 +0200\x02=?iso-8859-1?q?Termine_f=FCr_n=E4chste_Woche?=\x03"
        "=?utf-8?B?V2lsaGVsbSBNw7xsbGVy?= <wm@x.example>\x04"
        "1200");
    EXPECT_EQ(Shown.FileName, "M0004.MSG");
    EXPECT_EQ(Shown.Date, "Mon, 7 Dec 2026 10:00:00 +0200");
    EXPECT_EQ(Shown.Subject,
              "Termine f\xFCr n\xE4"
              "chste Woche");
    EXPECT_EQ(Shown.Sender, "Wilhelm M\xFCller <wm@x.example>");
    EXPECT_EQ(Shown.Size, "1200");
}

bool Overlap(const TRect& A, const TRect& B) {
    return std::max(A.Left, B.Left) < std::min(A.Right, B.Right) &&
           std::max(A.Top, B.Top) < std::min(A.Bottom, B.Bottom);
}

TEST(MainViews, MailLinePartsNeverOverlapAtAnyWidth) {
    // Sizes as the list's font measures them: a long date, short and long other parts, an empty
    // corner, and a font too tall for two rows.
    const struct {
        const char* Name;
        TSize Date, Sender, Subject, Corner;
    } Cases[] = {
        {"long date", {230, 13}, {90, 13}, {300, 13}, {50, 13}},
        {"short date", {60, 13}, {400, 13}, {600, 13}, {120, 13}},
        {"no corner", {120, 13}, {90, 13}, {700, 13}, {0, 0}},
        {"tall font", {150, 22}, {90, 22}, {200, 22}, {40, 22}},
    };
    for (const auto& C : Cases) {
        for (LONG Width = 1; Width <= 1200; ++Width) {
            const TRect Item = Rect(0, 34, Width, 68);
            const TMailLineLayout L = LayOutMailLine(Item, C.Date, C.Sender, C.Subject, C.Corner);
            const TMailLinePart* Parts[] = {&L.Date, &L.Sender, &L.Subject, &L.Corner};
            for (const TMailLinePart* P : Parts) {
                EXPECT_TRUE(P->Clip.Left >= Item.Left && P->Clip.Right <= Item.Right &&
                            P->Clip.Top >= Item.Top && P->Clip.Bottom < Item.Bottom)
                    << C.Name << " at " << Width;
            }
            for (size_t A = 0; A < 4; ++A)
                for (size_t B = A + 1; B < 4; ++B)
                    ASSERT_FALSE(Overlap(Parts[A]->Clip, Parts[B]->Clip))
                        << C.Name << " at " << Width << ": parts " << A << " and " << B;
            // The date is whole wherever the item can hold it.
            if (Width >= 2 + C.Date.cx) {
                EXPECT_LE(L.Date.At.X + C.Date.cx, L.Date.Clip.Right) << C.Name << " at " << Width;
            }
        }
    }
}

TEST(MainViews, MailLinesKeepTheirDesignedPlacesWhenTheyFit) {
    const TRect Item = Rect(0, 0, 533, 34);
    const TMailLineLayout L =
        LayOutMailLine(Item, TSize{100, 13}, TSize{120, 13}, TSize{200, 13}, TSize{60, 13});
    EXPECT_EQ(L.Date.At, Point(2, 2));
    EXPECT_EQ(L.Sender.At, Point(197, 2));
    EXPECT_EQ(L.Subject.At, Point(2, 17));
    EXPECT_EQ(L.Corner.At, Point(465, 19));
    // A date reaching past the sender's column pushes the sender after it.
    EXPECT_EQ(LayOutMailLine(Item, TSize{230, 13}, TSize{120, 13}, TSize{200, 13}, TSize{60, 13})
                  .Sender.At.X,
              2 + 230 + 8);
}

TEST(MainViews, BoxFilesAreBfgAndCfgInAnyCase) {
    for (const char* Name : {"box.bfg", "/p/BOX.BFG", "x.Cfg", "C:\\xp\\ppp.CFG", "a.b.bfg"})
        EXPECT_TRUE(IsBoxFileName(Name)) << Name;
    for (const char* Name :
         {"box.txt", "bfg", "box.bfg.bak", "/p/dir.bfg/box", "C:\\x.cfg\\box", "box.bfgx", ""})
        EXPECT_FALSE(IsBoxFileName(Name)) << Name;
}

// The task callbacks rebuild the view at most every half second; the run's own updates always.
class TCountingRun : public TExchangeRun {
  public:
    int Refreshed = 0;

  protected:
    void RefreshTaskView() override { ++Refreshed; }
};

TEST(MainViews, TaskCallbacksRebuildTheViewAtMostEveryHalfSecond) {
    TFakeSystemClock Clock(std::chrono::system_clock::time_point(std::chrono::hours(24 * 365)));
    ISystemClock* Before = SetSystemClock(&Clock);
    {
        TCountingRun Run;
        Run.UpdateStatusView(true);
        EXPECT_EQ(Run.Refreshed, 0);  // just made: the last update counts as now
        Clock.Advance(std::chrono::milliseconds(499));
        Run.UpdateStatusView(true);
        EXPECT_EQ(Run.Refreshed, 0);
        Clock.Advance(std::chrono::milliseconds(1));
        Run.UpdateStatusView(true);
        EXPECT_EQ(Run.Refreshed, 1);
        Run.UpdateStatusView(true);
        EXPECT_EQ(Run.Refreshed, 1);
        Run.UpdateStatusView(false);
        EXPECT_EQ(Run.Refreshed, 2);
        Clock.Advance(std::chrono::milliseconds(499));
        Run.UpdateStatusView(true);  // counted from the unthrottled update
        EXPECT_EQ(Run.Refreshed, 2);
        Clock.Advance(std::chrono::milliseconds(600));
        Run.TotalBytes = 3000;
        Run.StartTimeMs =
            std::chrono::duration_cast<std::chrono::milliseconds>(Clock.Now().time_since_epoch())
                .count() -
            2000;
        Run.UpdateStatusView(true);
        EXPECT_EQ(Run.Refreshed, 3);
        EXPECT_NE(Run.StatusPanel(3).find("2" + std::string(1, LocaleDecimalSeparator()) + "93 KB"),
                  std::string::npos);
        EXPECT_EQ(Run.StatusPanel(4), " 1500 cps");
    }
    SetSystemClock(Before);
}

}  // namespace
