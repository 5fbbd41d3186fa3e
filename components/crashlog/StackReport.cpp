#include "components/crashlog/StackReport.h"

#include <elf.h>
#include <execinfo.h>
#include <langinfo.h>
#include <link.h>

#include <algorithm>
#include <cstring>

#include "components/crashlog/Limits.h"

void TFixedText::Add(std::string_view Text) {
    const size_t N = std::min(Text.size(), FCapacity - FLength);
    std::memcpy(FBuffer + FLength, Text.data(), N);
    FLength += N;
}

void TFixedText::AddNumber(uint64_t Value, int Digits) {
    char Reversed[24];
    int N = 0;
    do {
        Reversed[N++] = char('0' + Value % 10);
        Value /= 10;
    } while (Value != 0 && N < int(sizeof Reversed));
    while (N < Digits && N < int(sizeof Reversed)) Reversed[N++] = '0';
    while (N > 0) Add(Reversed[--N]);
}

void TFixedText::AddHex(uint64_t Value, int Digits) {
    for (int Shift = (Digits - 1) * 4; Shift >= 0; Shift -= 4)
        Add("0123456789ABCDEF"[(Value >> Shift) & 0xF]);
}

// ---- code range and stack ------------------------------------------------------------------

namespace {

TCodeRange GCodeRange;

int TakeFirstObjectsCode(dl_phdr_info* Info, size_t, void* Data) {
    auto* Range = static_cast<TCodeRange*>(Data);
    for (int N = 0; N < Info->dlpi_phnum; ++N) {
        const ElfW(Phdr)& Header = Info->dlpi_phdr[N];
        if (Header.p_type != PT_LOAD || !(Header.p_flags & PF_X)) continue;
        Range->Start = Info->dlpi_addr + Header.p_vaddr;
        Range->End = Range->Start + Header.p_memsz;
        break;
    }
    return 1;  // the program itself is the first object; the libraries do not count
}

}  // namespace

const TCodeRange& CodeRange() {
    return GCodeRange;
}

void TakeCodeRange() {
    TCodeRange Range;
    dl_iterate_phdr(TakeFirstObjectsCode, &Range);
    GCodeRange = Range;
    // The first backtrace loads the unwinder; later ones, in a signal handler too, find it there.
    void* Frame[1];
    backtrace(Frame, 1);
}

size_t CodeOffsets(void* const* Frames, size_t Count, uintptr_t First, uint32_t* Offsets,
                   size_t Capacity) {
    size_t At = 0;
    while (At < Count && reinterpret_cast<uintptr_t>(Frames[At]) != First) ++At;
    if (At == Count) At = 0;
    size_t Taken = 0;
    for (; At < Count && Taken < Capacity; ++At) {
        const uintptr_t Address = reinterpret_cast<uintptr_t>(Frames[At]);
        if (!GCodeRange.Contains(Address)) continue;
        const uint64_t Offset = Address - GCodeRange.Start;
        if (Offset > UINT32_MAX) continue;
        if (Taken > 0 && Offsets[Taken - 1] == uint32_t(Offset)) continue;
        Offsets[Taken++] = uint32_t(Offset);
    }
    return Taken;
}

size_t StackOffsets(uintptr_t First, uint32_t* Offsets, size_t Capacity) {
    void* Frames[CrashLogLimits::kMaxFramesScanned];
    const int Count = backtrace(Frames, int(CrashLogLimits::kMaxFramesScanned));
    return CodeOffsets(Frames, size_t(std::max(Count, 0)), First, Offsets, Capacity);
}

bool NeedsFullStop(std::string_view Message) {
    Message = Message.substr(0, Message.find('\0'));
    return !Message.empty() && Message.back() != '.';
}

// ---- date and time -------------------------------------------------------------------------

namespace {

char GDateFormat[CrashLogLimits::kMaxDateFormatLength] = "%m/%d/%y";
char GTimeFormat[CrashLogLimits::kMaxDateFormatLength] = "%H:%M:%S";
long GUtcOffset = 0;

struct TCivilTime {
    int64_t Year;
    unsigned Month, Day, Hour, Minute, Second;
};

// The calendar date of a day count since 1970-01-01 (proleptic Gregorian), without the C
// library, whose conversions may not be called from a signal handler.
TCivilTime CivilOf(int64_t Seconds) {
    int64_t Days = Seconds / 86400;
    int64_t Rest = Seconds % 86400;
    if (Rest < 0) {
        Rest += 86400;
        --Days;
    }
    Days += 719468;
    const int64_t Era = (Days >= 0 ? Days : Days - 146096) / 146097;
    const unsigned DayOfEra = unsigned(Days - Era * 146097);
    const unsigned YearOfEra =
        (DayOfEra - DayOfEra / 1460 + DayOfEra / 36524 - DayOfEra / 146096) / 365;
    const unsigned DayOfYear = DayOfEra - (365 * YearOfEra + YearOfEra / 4 - YearOfEra / 100);
    const unsigned MonthIndex = (5 * DayOfYear + 2) / 153;
    const unsigned Day = DayOfYear - (153 * MonthIndex + 2) / 5 + 1;
    const unsigned Month = MonthIndex < 10 ? MonthIndex + 3 : MonthIndex - 9;
    const int64_t Year = int64_t(YearOfEra) + Era * 400 + (Month <= 2 ? 1 : 0);
    return {Year, Month, Day, unsigned(Rest / 3600), unsigned(Rest / 60 % 60), unsigned(Rest % 60)};
}

// The conversions of the locales' date and time formats; others are copied as they stand.
void AddFormatted(TFixedText& Out, const char* Format, const TCivilTime& T) {
    for (const char* P = Format; *P != '\0'; ++P) {
        if (*P != '%' || P[1] == '\0') {
            Out.Add(*P);
            continue;
        }
        ++P;
        if ((*P == 'E' || *P == 'O') && P[1] != '\0') ++P;  // alternative forms: the plain one
        switch (*P) {
            case 'd':
                Out.AddNumber(T.Day, 2);
                break;
            case 'e':
                if (T.Day < 10) Out.Add(' ');
                Out.AddNumber(T.Day);
                break;
            case 'm':
                Out.AddNumber(T.Month, 2);
                break;
            case 'y':
                Out.AddNumber(uint64_t(T.Year % 100), 2);
                break;
            case 'Y':
                Out.AddNumber(uint64_t(T.Year), 4);
                break;
            case 'H':
                Out.AddNumber(T.Hour, 2);
                break;
            case 'I':
                Out.AddNumber((T.Hour + 11) % 12 + 1, 2);
                break;
            case 'M':
                Out.AddNumber(T.Minute, 2);
                break;
            case 'S':
                Out.AddNumber(T.Second, 2);
                break;
            case 'p':
                Out.Add(T.Hour < 12 ? "AM" : "PM");
                break;
            case 'T':
                AddFormatted(Out, "%H:%M:%S", T);
                break;
            case 'R':
                AddFormatted(Out, "%H:%M", T);
                break;
            case 'r':
                AddFormatted(Out, "%I:%M:%S %p", T);
                break;
            case 'D':
                AddFormatted(Out, "%m/%d/%y", T);
                break;
            case 'F':
                AddFormatted(Out, "%Y-%m-%d", T);
                break;
            case '%':
                Out.Add('%');
                break;
            default:
                Out.Add('%');
                Out.Add(*P);
        }
    }
}

void CopyFormat(char* Target, const char* Source) {
    if (Source == nullptr || *Source == '\0') return;
    if (std::strlen(Source) >= CrashLogLimits::kMaxDateFormatLength) return;
    std::strcpy(Target, Source);
}

}  // namespace

void TakeLocalTimeSettings() {
    CopyFormat(GDateFormat, nl_langinfo(D_FMT));
    CopyFormat(GTimeFormat, nl_langinfo(T_FMT));
    const time_t Now = time(nullptr);
    tm Local{};
    if (localtime_r(&Now, &Local) != nullptr) GUtcOffset = Local.tm_gmtoff;
}

void AddDateTime(TFixedText& Out, time_t When) {
    const TCivilTime T = CivilOf(int64_t(When) + GUtcOffset);
    AddFormatted(Out, GDateFormat, T);
    Out.Add(' ');
    AddFormatted(Out, GTimeFormat, T);
}

void AddReport(TFixedText& Out, std::string_view Message, time_t When, const uint32_t* Offsets,
               size_t Count) {
    Out.Add("Fault : ");
    Out.Add(Message.substr(0, Message.find('\0')));
    if (NeedsFullStop(Message)) Out.Add('.');
    Out.Add("\r\nDate/time : ");
    AddDateTime(Out, When);
    Out.Add("\r\nStack dump\r\n----------\r\n");
    for (size_t N = 0; N < Count; ++N) {
        Out.AddHex(Offsets[N], 8);
        Out.Add("\r\n");
    }
}
