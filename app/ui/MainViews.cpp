#include "app/ui/MainViews.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <clocale>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <iterator>

#include "netlib/mime/EncodedWords.h"

namespace {

constexpr int64_t kKiloByte = 1024;
constexpr int64_t kMegaByte = 1024 * 1024;

// The characters that separate the parts of an incoming-mail line.
constexpr char kDateMark = '\1';
constexpr char kSizeMark = '\4';
constexpr char kLabelMark = '\5';

// The sender's column as a share of the item width, and the least room kept between two texts
// of a row.
constexpr double kSenderColumnDivisor = 2.7;
constexpr LONG kTextGap = 8;

// printf's "%6.2f" with the given separator: the C library writes the locale's point, which
// need not be the one the window shows.
std::string FixedPoint(double Value, int Decimals, char DecimalSeparator) {
    char Text[64];
    std::snprintf(Text, sizeof Text, "%6.*f", Decimals, Value);
    std::string Result = Text;
    for (char& C : Result)
        if (C != ' ' && C != '-' && !std::isdigit(static_cast<unsigned char>(C)))
            C = DecimalSeparator;
    return Result;
}

}  // namespace

std::string FormatByteCount(int64_t Bytes, char DecimalSeparator) {
    if (Bytes <= kKiloByte) return std::to_string(Bytes) + " Bytes";
    if (Bytes <= kMegaByte)
        return FixedPoint(double(Bytes) / kKiloByte, 2, DecimalSeparator) + " KB";
    return FixedPoint(double(Bytes) / kKiloByte / kKiloByte, 3, DecimalSeparator) + " MB";
}

std::string FormatRate(int64_t Bytes, int64_t StartMs, int64_t NowMs) {
    double Seconds = double(NowMs - StartMs) / 1000.0;
    if (Seconds <= 0) Seconds = 1;
    return std::to_string(std::llround(double(Bytes) / Seconds));
}

char LocaleDecimalSeparator() {
    const std::lconv* Conv = std::localeconv();
    return Conv && Conv->decimal_point && Conv->decimal_point[0] ? Conv->decimal_point[0] : '.';
}

int64_t ByteCountOfText(const std::string& Text) {
    if (Text.empty()) return 0;
    char* End = nullptr;
    errno = 0;
    const long long Value = std::strtoll(Text.c_str(), &End, 10);
    return End && *End == '\0' && errno == 0 ? Value : 0;
}

// Appended piece by piece: g++ 12 at -O3 warns falsely (-Wrestrict) about a literal put in front
// of a temporary string.
std::string MailCountPanel(int64_t Mails) {
    return std::string(1, ' ').append(std::to_string(Mails)).append(" Mails");
}

std::string NewsCountPanel(int64_t News) {
    return std::string(1, ' ').append(std::to_string(News)).append(" News");
}

std::string ByteCountPanel(int64_t Bytes, char DecimalSeparator) {
    return std::string(1, ' ').append(FormatByteCount(Bytes, DecimalSeparator));
}

std::string RatePanel(int64_t Bytes, int64_t StartMs, int64_t NowMs) {
    return std::string(1, ' ').append(FormatRate(Bytes, StartMs, NowMs)).append(" cps");
}

namespace {

// Where the parts of an incoming-mail line lie: part k (file name, date, subject, sender, tail)
// from Begin[k] up to End[k]; a part the line lacks is empty.
struct TMailLineParts {
    enum : int { FileName, Date, Subject, Sender, Tail, Count };
    size_t Begin[Count] = {};
    size_t End[Count] = {};
    size_t Size(int Part) const { return End[Part] - Begin[Part]; }
};

static_assert(TMailLineParts::Date == kDateMark && TMailLineParts::Tail == kSizeMark);

TMailLineParts FindMailLineParts(const std::string& Line) {
    TMailLineParts Parts;
    // Part k follows the character k; a mark that does not lead further is text.
    int Part = 0;
    for (size_t I = 0; I < Line.size(); ++I) {
        const char C = Line[I];
        const int Mark = C >= kDateMark && C <= kSizeMark ? C : 0;
        if (Mark <= Part) continue;
        Parts.End[Part] = I;
        Part = Mark;
        Parts.Begin[Part] = I + 1;
    }
    Parts.End[Part] = Line.size();
    return Parts;
}

}  // namespace

TMailLine SplitMailLine(const std::string& Line) {
    TMailLine Mail;
    std::string* Texts[] = {&Mail.FileName, &Mail.Date, &Mail.Subject, &Mail.Sender, &Mail.Size};
    const TMailLineParts Parts = FindMailLineParts(Line);
    for (int Part = 0; Part < TMailLineParts::Count; ++Part)
        *Texts[Part] = Line.substr(Parts.Begin[Part], Parts.Size(Part));
    const size_t Mark = Mail.Size.find(kLabelMark);
    if (Mark != std::string::npos) {
        Mail.Label = Mail.Size.substr(0, Mark);
        Mail.Size.erase(0, Mark + 1);
    }
    return Mail;
}

std::string FitMailLine(const std::string& Line, size_t MaxBytes) {
    if (Line.size() <= MaxBytes) return Line;
    const TMailLineParts Parts = FindMailLineParts(Line);
    size_t Excess = Line.size() - MaxBytes;
    size_t Cut[TMailLineParts::Count] = {};
    for (const int Part : {TMailLineParts::Subject, TMailLineParts::Sender, TMailLineParts::Date}) {
        Cut[Part] = std::min(Excess, Parts.Size(Part));
        Excess -= Cut[Part];
    }
    std::string Fitted = Line;
    // From the back, so that the places of the parts before stay.
    for (int Part = TMailLineParts::Count - 1; Part >= 0; --Part)
        if (Cut[Part] > 0) Fitted.erase(Parts.End[Part] - Cut[Part], Cut[Part]);
    return Fitted;
}

TMailLine ShownMailLine(const std::string& Line) {
    TMailLine Mail = SplitMailLine(Line);
    Mail.Subject = DecodeEncodedWords(Mail.Subject);
    Mail.Sender = DecodeEncodedWords(Mail.Sender);
    return Mail;
}

std::string MailLineCorner(const TMailLine& Mail) {
    return Mail.Size == "0" ? Mail.Label : Mail.Label + " (" + Mail.Size + ")";
}

TMailLineLayout LayOutMailLine(const TRect& Item, TSize Date, TSize Sender, TSize Subject,
                               TSize Corner) {
    TMailLineLayout L;
    const LONG Left = Item.Left + 2;
    L.Date.At = Point(Left, Item.Top + 2);
    L.Sender.At =
        Point(std::max(LONG(Item.Width() / kSenderColumnDivisor + 0.5), Left + Date.cx + kTextGap),
              Item.Top + 2);
    L.Subject.At = Point(Left, Item.Bottom - Subject.cy - 4);
    L.Corner.At = Point(Item.Right - Corner.cx - 8, Item.Bottom - Corner.cy - 2);

    // The rows meet halfway when the font is too tall for both.
    const LONG TopEnd = Item.Top + 2 + std::max(Date.cy, Sender.cy);
    const LONG BottomStart = std::min(L.Subject.At.Y, L.Corner.At.Y);
    const LONG RowSplit = TopEnd <= BottomStart ? TopEnd : (TopEnd + BottomStart) / 2;
    const auto Clip = [&](LONG X1, LONG Y1, LONG X2, LONG Y2) {
        X1 = std::clamp(X1, Item.Left, Item.Right);
        return Rect(X1, Y1, std::clamp(X2, X1, Item.Right), Y2);
    };
    L.Date.Clip = Clip(Item.Left, Item.Top, L.Sender.At.X - kTextGap, RowSplit);
    L.Sender.Clip = Clip(L.Sender.At.X, Item.Top, Item.Right, RowSplit);
    // No corner text leaves the whole bottom row to the subject.
    const LONG CornerStart = Corner.cx > 0 ? std::max(L.Corner.At.X, Left) : Item.Right;
    L.Subject.Clip = Clip(Item.Left, RowSplit, Corner.cx > 0 ? CornerStart - kTextGap : Item.Right,
                          Item.Bottom - 1);
    L.Corner.Clip = Clip(CornerStart, RowSplit, Item.Right, Item.Bottom - 1);
    return L;
}

bool IsBoxFileName(const std::string& FileName) {
    const size_t Slash = FileName.find_last_of("/\\");
    const size_t Dot = FileName.rfind('.');
    if (Dot == std::string::npos || (Slash != std::string::npos && Dot < Slash)) return false;
    std::string Extension = FileName.substr(Dot);
    for (char& C : Extension) C = char(std::tolower(static_cast<unsigned char>(C)));
    return Extension == ".bfg" || Extension == ".cfg";
}
