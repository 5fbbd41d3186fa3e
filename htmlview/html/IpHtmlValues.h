#pragma once
// The value classes that hold lengths and sizes read from attributes, and the distribution of a
// frame set's size over its rows or columns. Absolute values are scaled while the document is
// printed; the scale lives with the document and each value points at it.
#include <cstdint>
#include <functional>
#include <vector>

// The document's printing state: while Printing, absolute values read ScaleFactor times larger.
struct TIpHtmlPrintState {
    bool Printing = false;
    double ScaleFactor = 1.0;
    // Value times the scale factor, rounded (halves to even), within the 32-bit range.
    int32_t Scale(int32_t Value) const;
};

// Num / Den rounded to the nearest integer, halves to even; Den must be above 0.
int64_t RoundDiv(int64_t Num, int64_t Den);

class TIpHtmlInteger {
  public:
    explicit TIpHtmlInteger(int32_t Value = 0, const TIpHtmlPrintState* Print = nullptr)
        : FValue(Value), FPrint(Print) {}
    // The value; while printing, times the print scale.
    int32_t Value() const;
    void SetValue(int32_t Value);
    std::function<void()> OnChange;

  private:
    int32_t FValue;
    const TIpHtmlPrintState* FPrint;
};

class TIpHtmlPixels {
  public:
    static constexpr uint8_t kAbsolute = 1;
    explicit TIpHtmlPixels(const TIpHtmlPrintState* Print = nullptr) : FPrint(Print) {}
    // The value; an absolute value reads scaled while printing.
    int32_t Value() const;
    void SetValue(int32_t Value);
    uint8_t PixelsType() const { return FPixelsType; }
    void SetPixelsType(uint8_t Type);
    std::function<void()> OnChange;

  private:
    int32_t FValue = 0;
    uint8_t FPixelsType = 0;
    const TIpHtmlPrintState* FPrint;
};

enum class TIpHtmlLengthType : uint8_t { hlUndefined, hlAbsolute, hlPercent };

class TIpHtmlLength {
  public:
    explicit TIpHtmlLength(const TIpHtmlPrintState* Print = nullptr) : FPrint(Print) {}
    // The value; an absolute length reads scaled while printing, a percentage never.
    int32_t LengthValue() const;
    void SetLengthValue(int32_t Value);
    TIpHtmlLengthType LengthType() const { return FLengthType; }
    void SetLengthType(TIpHtmlLengthType Type);
    std::function<void()> OnChange;

  private:
    int32_t FLengthValue = 0;
    TIpHtmlLengthType FLengthType = TIpHtmlLengthType::hlUndefined;
    const TIpHtmlPrintState* FPrint;
};

enum class TIpHtmlMultiLengthType : uint8_t { hmlUndefined, hmlAbsolute, hmlPercent, hmlRelative };

class TIpHtmlMultiLength {
  public:
    explicit TIpHtmlMultiLength(const TIpHtmlPrintState* Print = nullptr) : FPrint(Print) {}
    int32_t LengthValue() const;
    void SetLengthValue(int32_t Value) { FLengthValue = Value; }
    TIpHtmlMultiLengthType LengthType() const { return FLengthType; }
    void SetLengthType(TIpHtmlMultiLengthType Type) { FLengthType = Type; }

  private:
    int32_t FLengthValue = 0;
    TIpHtmlMultiLengthType FLengthType = TIpHtmlMultiLengthType::hmlUndefined;
    const TIpHtmlPrintState* FPrint;
};

class TIpHtmlMultiLengthList {
  public:
    int Entries() const { return int(FEntries.size()); }
    const TIpHtmlMultiLength& Values(int Index) const { return FEntries.at(size_t(Index)); }
    void AddEntry(const TIpHtmlMultiLength& Entry) { FEntries.push_back(Entry); }
    void Clear() { FEntries.clear(); }

  private:
    std::vector<TIpHtmlMultiLength> FEntries;
};

enum class TIpHtmlRelSizeType : uint8_t { hrsUnspecified, hrsAbsolute, hrsRelative };

class TIpHtmlRelSize {
  public:
    int32_t Value() const { return FValue; }
    void SetValue(int32_t Value);
    TIpHtmlRelSizeType SizeType() const { return FSizeType; }
    void SetSizeType(TIpHtmlRelSizeType Type);
    std::function<void()> OnChange;

  private:
    int32_t FValue = 0;
    TIpHtmlRelSizeType FSizeType = TIpHtmlRelSizeType::hrsUnspecified;
};

// The sizes a frame set gives its rows or columns: one per entry of List (one of Total when the
// list is empty), adding up to Total. Absolute entries first, then percentages of what is left,
// then relative entries ("*" counting 1) in proportion to their values.
std::vector<int32_t> CalcMultiLength(const TIpHtmlMultiLengthList& List, int32_t Total);
