#include "htmlview/html/IpHtmlValues.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

int32_t ClampToInt32(int64_t Value) {
    return int32_t(std::clamp<int64_t>(Value, std::numeric_limits<int32_t>::min(),
                                       std::numeric_limits<int32_t>::max()));
}

bool IsPrinting(const TIpHtmlPrintState* Print) {
    return Print && Print->Printing;
}

void Notify(const std::function<void()>& OnChange) {
    if (OnChange) OnChange();
}

}  // namespace

int32_t TIpHtmlPrintState::Scale(int32_t Value) const {
    const double Scaled = std::nearbyint(double(Value) * ScaleFactor);
    if (!(Scaled > double(std::numeric_limits<int32_t>::min()))) return INT32_MIN;
    if (!(Scaled < double(std::numeric_limits<int32_t>::max()))) return INT32_MAX;
    return int32_t(Scaled);
}

int64_t RoundDiv(int64_t Num, int64_t Den) {
    int64_t Quotient = Num / Den;
    int64_t Remainder = Num % Den;
    if (Remainder < 0) {  // floor division, so the remainder is in [0, Den)
        Quotient -= 1;
        Remainder += Den;
    }
    const int64_t Twice = Remainder * 2;
    if (Twice > Den || (Twice == Den && (Quotient & 1) != 0)) ++Quotient;
    return Quotient;
}

int32_t TIpHtmlInteger::Value() const {
    return IsPrinting(FPrint) ? FPrint->Scale(FValue) : FValue;
}

void TIpHtmlInteger::SetValue(int32_t Value) {
    if (Value == FValue) return;
    FValue = Value;
    Notify(OnChange);
}

int32_t TIpHtmlPixels::Value() const {
    return FPixelsType == kAbsolute && IsPrinting(FPrint) ? FPrint->Scale(FValue) : FValue;
}

void TIpHtmlPixels::SetValue(int32_t Value) {
    if (Value == FValue) return;
    FValue = Value;
    Notify(OnChange);
}

void TIpHtmlPixels::SetPixelsType(uint8_t Type) {
    if (Type == FPixelsType) return;
    FPixelsType = Type;
    Notify(OnChange);
}

int32_t TIpHtmlLength::LengthValue() const {
    return FLengthType == TIpHtmlLengthType::hlAbsolute && IsPrinting(FPrint)
               ? FPrint->Scale(FLengthValue)
               : FLengthValue;
}

void TIpHtmlLength::SetLengthValue(int32_t Value) {
    if (Value == FLengthValue) return;
    FLengthValue = Value;
    Notify(OnChange);
}

void TIpHtmlLength::SetLengthType(TIpHtmlLengthType Type) {
    if (Type == FLengthType) return;
    FLengthType = Type;
    Notify(OnChange);
}

int32_t TIpHtmlMultiLength::LengthValue() const {
    return FLengthType == TIpHtmlMultiLengthType::hmlAbsolute && IsPrinting(FPrint)
               ? FPrint->Scale(FLengthValue)
               : FLengthValue;
}

void TIpHtmlRelSize::SetValue(int32_t Value) {
    if (Value == FValue) return;
    FValue = Value;
    Notify(OnChange);
}

void TIpHtmlRelSize::SetSizeType(TIpHtmlRelSizeType Type) {
    if (Type == FSizeType) return;
    FSizeType = Type;
    Notify(OnChange);
}

namespace {

using TSizes = std::vector<int64_t>;

// Absolute entries take their value, or what is left when that is less.
int64_t TakeAbsolute(const TIpHtmlMultiLengthList& List, TSizes& Sizes, int64_t Left) {
    for (int I = 0; I < List.Entries(); ++I) {
        if (List.Values(I).LengthType() != TIpHtmlMultiLengthType::hmlAbsolute) continue;
        Sizes[size_t(I)] = std::min<int64_t>(List.Values(I).LengthValue(), Left);
        Left -= Sizes[size_t(I)];
    }
    return Left;
}

// Percentages are all taken from the same amount; their sum may exceed it.
int64_t TakePercent(const TIpHtmlMultiLengthList& List, TSizes& Sizes, int64_t Left) {
    int64_t Taken = 0;
    for (int I = 0; I < List.Entries(); ++I) {
        if (List.Values(I).LengthType() != TIpHtmlMultiLengthType::hmlPercent) continue;
        Sizes[size_t(I)] = RoundDiv(Left * List.Values(I).LengthValue(), 100);
        Taken += Sizes[size_t(I)];
    }
    return Left - Taken;
}

// Relative entries share what is left by their values. When they sum to 0 there is nothing to
// divide by, and the first of them with value 0 takes the rest below.
int64_t TakeRelative(const TIpHtmlMultiLengthList& List, TSizes& Sizes, int64_t Left) {
    int64_t Sum = 0;
    for (int I = 0; I < List.Entries(); ++I)
        if (List.Values(I).LengthType() == TIpHtmlMultiLengthType::hmlRelative)
            Sum += List.Values(I).LengthValue();
    if (Sum > 0) {
        int64_t Taken = 0;
        for (int I = 0; I < List.Entries(); ++I) {
            if (List.Values(I).LengthType() != TIpHtmlMultiLengthType::hmlRelative) continue;
            Sizes[size_t(I)] = RoundDiv(Left * List.Values(I).LengthValue(), Sum);
            Taken += Sizes[size_t(I)];
        }
        Left -= Taken;
    }
    if (Left <= 0) return Left;
    for (int I = 0; I < List.Entries(); ++I) {
        const TIpHtmlMultiLength& Entry = List.Values(I);
        if (Entry.LengthType() == TIpHtmlMultiLengthType::hmlRelative && Entry.LengthValue() == 0) {
            Sizes[size_t(I)] += Left;
            return 0;
        }
    }
    return Left;
}

// Adding (or taking) 1 per entry from the first on until the sum matches, in one step.
void Balance(TSizes& Sizes, int64_t Total) {
    int64_t Sum = 0;
    for (int64_t Size : Sizes) Sum += Size;
    const int64_t Difference = Total - Sum;
    const int64_t Count = int64_t(Sizes.size());
    const int64_t Each = Difference / Count;
    const int64_t Extra = Difference % Count;  // same sign as Difference
    for (int64_t I = 0; I < Count; ++I) {
        Sizes[size_t(I)] += Each;
        if (I < (Extra < 0 ? -Extra : Extra)) Sizes[size_t(I)] += Extra < 0 ? -1 : 1;
    }
}

}  // namespace

std::vector<int32_t> CalcMultiLength(const TIpHtmlMultiLengthList& List, int32_t Total) {
    if (List.Entries() == 0) return {Total};
    TSizes Sizes(size_t(List.Entries()), 0);
    int64_t Left = TakeAbsolute(List, Sizes, Total);
    if (Left > 0) Left = TakePercent(List, Sizes, Left);
    if (Left > 0) TakeRelative(List, Sizes, Left);
    Balance(Sizes, Total);
    std::vector<int32_t> Result;
    Result.reserve(Sizes.size());
    for (int64_t Size : Sizes) Result.push_back(ClampToInt32(Size));
    return Result;
}
