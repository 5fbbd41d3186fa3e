#pragma once
// What the main window shows, as plain text rules without a control: the byte and rate texts of
// the status bar, the parts of an incoming-mail line and which box files a drop queues. The
// window and the run both use them; tests check them without a window.
#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/gdi/GdiTypes.h"

// A byte count as the status bar shows it: "1024 Bytes", "  1,00 KB", " 1,000 MB" (the decimal
// separator given, the number right-aligned to six places).
std::string FormatByteCount(int64_t Bytes, char DecimalSeparator);
// Bytes per second since the start, rounded; an elapsed time that is not above 0 counts as one
// second.
std::string FormatRate(int64_t Bytes, int64_t StartMs, int64_t NowMs);
// The decimal separator of the locale the program runs in.
char LocaleDecimalSeparator();

// A byte-count text of the task view read as a number; anything that is not one counts 0.
int64_t ByteCountOfText(const std::string& Text);

// The status bar's panels 1 to 4 from the run's counters.
std::string MailCountPanel(int64_t Mails);
std::string NewsCountPanel(int64_t News);
std::string ByteCountPanel(int64_t Bytes, char DecimalSeparator);
std::string RatePanel(int64_t Bytes, int64_t StartMs, int64_t NowMs);

// An incoming-mail line as the POP3 task builds it: the spool file, then date, subject, sender
// and a tail, separated by the characters 1 to 4; the tail is the size, or a label, the
// character 5 and the size.
struct TMailLine {
    std::string FileName;
    std::string Date;
    std::string Subject;
    std::string Sender;
    std::string Label;
    std::string Size;
};
TMailLine SplitMailLine(const std::string& Line);
// The line as a list that holds at most MaxBytes of it keeps it: a longer line gives up the end
// of its subject, then of its sender, then of its date, so that its file name and its tail stay
// whole (cut at the end, a subject of 100 KB would take the sender and the size with it).
std::string FitMailLine(const std::string& Line, size_t MaxBytes);
// The line as the list shows it: split, with the encoded words of its subject and sender decoded.
TMailLine ShownMailLine(const std::string& Line);
// The text of the line's bottom-right corner: the label, then " (" size ")" unless the size is
// "0".
std::string MailLineCorner(const TMailLine& Mail);

// Where the parts of an incoming-mail line are drawn in the item rectangle, from the sizes their
// texts measure in the list's font: each at its point, clipped to its rectangle, and no two
// rectangles overlap at any width. The date and sender share the top row, the sender at the
// item width / 2.7 unless the date reaches further; the subject and the corner text share the
// bottom row, the subject cut short before the corner.
struct TMailLinePart {
    TPoint At;
    TRect Clip;
};
struct TMailLineLayout {
    TMailLinePart Date, Sender, Subject, Corner;
};
TMailLineLayout LayOutMailLine(const TRect& Item, TSize Date, TSize Sender, TSize Subject,
                               TSize Corner);

// Whether a dropped file is a box the window queues: its extension is ".bfg" or ".cfg" in any
// case.
bool IsBoxFileName(const std::string& FileName);
