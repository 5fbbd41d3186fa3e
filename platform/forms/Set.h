#pragma once
// A set of the values of an enumeration whose values are 0..63, kept as a bit mask, as the class
// library's sets are (ComponentState, Anchors, the bar framework's docking styles).
#include <cstdint>
#include <initializer_list>
#include <type_traits>

template <class E>
class TSet {
    static_assert(std::is_enum_v<E>, "a set holds the values of an enumeration");

  public:
    constexpr TSet() = default;
    constexpr TSet(std::initializer_list<E> Values) {
        for (E Value : Values) Include(Value);
    }

    constexpr bool Contains(E Value) const { return (FBits & Bit(Value)) != 0; }
    constexpr TSet& Include(E Value) {
        FBits |= Bit(Value);
        return *this;
    }
    constexpr TSet& Exclude(E Value) {
        FBits &= ~Bit(Value);
        return *this;
    }
    constexpr bool Empty() const { return FBits == 0; }

    // Bit n stands for the value n.
    constexpr std::uint64_t Bits() const { return FBits; }
    static constexpr TSet FromBits(std::uint64_t Bits) {
        TSet Result;
        Result.FBits = Bits;
        return Result;
    }

    friend constexpr TSet operator+(TSet A, TSet B) { return FromBits(A.FBits | B.FBits); }
    friend constexpr TSet operator-(TSet A, TSet B) { return FromBits(A.FBits & ~B.FBits); }
    friend constexpr TSet operator*(TSet A, TSet B) { return FromBits(A.FBits & B.FBits); }
    friend constexpr bool operator==(const TSet&, const TSet&) = default;

  private:
    static constexpr std::uint64_t Bit(E Value) {
        const auto Ordinal = static_cast<std::uint64_t>(Value);
        return Ordinal < 64 ? std::uint64_t(1) << Ordinal : 0;
    }
    std::uint64_t FBits = 0;
};
