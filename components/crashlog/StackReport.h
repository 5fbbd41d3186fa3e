#pragma once
// The text of a crash report, built without asking for memory so that a fatal-signal handler can
// build it too:
//   Fault : <message, with the full stop rule>
//   Date/time : <short date> <long time>
//   Stack dump
//   ----------
//   <offset of each return address in the program's code, eight upper-case hex digits>
// every line ending in CR LF.
#include <cstddef>
#include <cstdint>
#include <ctime>
#include <string_view>

// Text in a fixed buffer; what does not fit is cut.
class TFixedText {
  public:
    TFixedText(char* Buffer, size_t Capacity) : FBuffer(Buffer), FCapacity(Capacity) {}
    void Add(std::string_view Text);
    void Add(char C) { Add(std::string_view(&C, 1)); }
    // Decimal with at least Digits digits.
    void AddNumber(uint64_t Value, int Digits = 1);
    // Upper-case hexadecimal with leading zeros.
    void AddHex(uint64_t Value, int Digits);
    std::string_view Text() const { return {FBuffer, FLength}; }
    size_t Length() const { return FLength; }

  private:
    char* FBuffer;
    size_t FCapacity;
    size_t FLength = 0;
};

// Where the program's own machine code lies in memory (the executable's executable segment):
// recorded addresses are offsets from its start. Empty until TakeCodeRange has run.
struct TCodeRange {
    uintptr_t Start = 0;
    uintptr_t End = 0;
    bool Contains(uintptr_t Address) const { return Address >= Start && Address < End; }
};
const TCodeRange& CodeRange();
void TakeCodeRange();

// The return addresses among Frames that lie in the program's code, as offsets, from the frame
// First on (from the innermost when First is not among them): an offset equal to the one before
// it (a frame calling itself) is left out. At most Capacity; returns the count.
size_t CodeOffsets(void* const* Frames, size_t Count, uintptr_t First, uint32_t* Offsets,
                   size_t Capacity);
// The same for the calling thread's stack.
size_t StackOffsets(uintptr_t First, uint32_t* Offsets, size_t Capacity);

// True when a message gets a full stop: it is not empty and its last character (before any NUL)
// is not one already.
bool NeedsFullStop(std::string_view Message);

// The user's date and time formats and the local time's offset from UTC, taken now; a signal
// handler then formats a time with what was taken last.
void TakeLocalTimeSettings();
// "<short date> <long time>" of the time.
void AddDateTime(TFixedText& Out, time_t When);

// Appends the report (see the top of this file).
void AddReport(TFixedText& Out, std::string_view Message, time_t When, const uint32_t* Offsets,
               size_t Count);
