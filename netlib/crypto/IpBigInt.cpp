// Big integers: the base-256 record the SSL client fills byte by byte, with the arithmetic done
// on 64-bit limbs and 128-bit products (schoolbook multiplication, Knuth's long division with
// normalisation, Montgomery multiplication for the odd moduli of RSA). Converting between the
// two forms is linear and costs nothing next to a product.
#include "netlib/crypto/IpBigInt.h"

#include <algorithm>
#include <bit>
#include <cstring>

#include "netlib/crypto/Limits.h"

namespace {

using Limb = uint64_t;
using Wide = unsigned __int128;
using SignedWide = __int128;
using Limbs = std::vector<Limb>;  // least significant limb first, no high zero limbs
constexpr int kLimbBits = 64;
constexpr int kLimbBytes = 8;

[[noreturn]] void Fail(const char* text) {
    throw EIpBigIntegerError(text);
}

bool IsNegative(const TIpBigInteger& n) {
    return n.Sign != 1;
}

// The used digits without high zeros (never more than the buffer holds).
int32_t TrimmedLength(const TIpBigInteger& n) {
    int32_t used = std::min(n.Used, n.Allocated());
    while (used > 0 && n.Digits[used - 1] == 0) --used;
    return used;
}

void CheckSize(int64_t size) {
    if (size > CryptoLimits::kMaxBigIntegerDigits) Fail("Number too large");
}

// Makes room for size digits, zero-filled beyond what the buffer held.
void EnsureAllocated(TIpBigInteger& n, int64_t size) {
    CheckSize(size);
    if (size > n.Allocated()) n.Digits.resize(static_cast<size_t>(size), 0);
}

// Extends the used digits to newUsed, zeroing the digits between (they may hold leftovers
// from a longer value).
void ExtendUsed(TIpBigInteger& n, int32_t newUsed) {
    if (newUsed <= n.Used) return;
    EnsureAllocated(n, newUsed);
    std::fill(n.Digits.begin() + std::max(n.Used, 0), n.Digits.begin() + newUsed, 0);
    n.Used = newUsed;
}

Limbs ToLimbs(const TIpBigInteger& n) {
    const int32_t length = TrimmedLength(n);
    Limbs limbs(static_cast<size_t>((length + kLimbBytes - 1) / kLimbBytes), 0);
    for (int32_t i = 0; i < length; ++i)
        limbs[i / kLimbBytes] |= Limb{n.Digits[i]} << (8 * (i % kLimbBytes));
    return limbs;
}

void Normalize(Limbs& a) {
    while (!a.empty() && a.back() == 0) a.pop_back();
}

// dest := the limbs with the given sign (zero is never negative).
void FromLimbs(Limbs a, bool negative, TIpBigInteger& dest) {
    Normalize(a);
    const int64_t bytes = std::max<int64_t>(1, static_cast<int64_t>(a.size()) * kLimbBytes);
    CheckSize(bytes);
    TIpBigInteger result;
    result.Digits.assign(static_cast<size_t>(std::max<int64_t>(bytes, 64)), 0);
    for (size_t i = 0; i < a.size(); ++i)
        for (int b = 0; b < kLimbBytes; ++b)
            result.Digits[kLimbBytes * i + b] = static_cast<uint8_t>(a[i] >> (8 * b));
    result.Used = static_cast<int32_t>(bytes);
    BigTrim(result);
    result.Sign = (negative && !a.empty()) ? 0 : 1;
    dest = std::move(result);
}

int CompareLimbs(const Limbs& a, const Limbs& b) {
    if (a.size() != b.size()) return a.size() < b.size() ? -1 : 1;
    for (size_t i = a.size(); i-- > 0;)
        if (a[i] != b[i]) return a[i] < b[i] ? -1 : 1;
    return 0;
}

Limbs AddLimbs(const Limbs& a, const Limbs& b) {
    const Limbs& longer = a.size() >= b.size() ? a : b;
    const Limbs& shorter = a.size() >= b.size() ? b : a;
    Limbs sum(longer.size() + 1, 0);
    Limb carry = 0;
    for (size_t i = 0; i < longer.size(); ++i) {
        const Wide s = Wide{longer[i]} + (i < shorter.size() ? shorter[i] : 0) + carry;
        sum[i] = static_cast<Limb>(s);
        carry = static_cast<Limb>(s >> kLimbBits);
    }
    sum[longer.size()] = carry;
    Normalize(sum);
    return sum;
}

// a - b for a >= b.
Limbs SubLimbs(const Limbs& a, const Limbs& b) {
    Limbs diff(a.size(), 0);
    int borrow = 0;
    for (size_t i = 0; i < a.size(); ++i) {
        const SignedWide d = SignedWide{a[i]} - (i < b.size() ? b[i] : 0) - borrow;
        diff[i] = static_cast<Limb>(d);
        borrow = d < 0 ? 1 : 0;
    }
    Normalize(diff);
    return diff;
}

Limbs MulLimbs(const Limbs& a, const Limbs& b) {
    if (a.empty() || b.empty()) return {};
    Limbs product(a.size() + b.size(), 0);
    for (size_t i = 0; i < a.size(); ++i) {
        Limb carry = 0;
        const Wide ai = a[i];
        for (size_t j = 0; j < b.size(); ++j) {
            const Wide t = ai * b[j] + product[i + j] + carry;
            product[i + j] = static_cast<Limb>(t);
            carry = static_cast<Limb>(t >> kLimbBits);
        }
        product[i + b.size()] = carry;
    }
    Normalize(product);
    return product;
}

// Knuth's algorithm D: quotient and remainder of u / v, v not zero. The divisor is shifted
// until its top bit is set, so each quotient limb estimated from the top limbs is at most two
// too large.
void DivModLimbs(const Limbs& u, const Limbs& v, Limbs* quotient, Limbs* remainder) {
    if (CompareLimbs(u, v) < 0) {
        if (quotient) quotient->clear();
        if (remainder) *remainder = u;
        return;
    }
    const size_t n = v.size();
    if (n == 1) {
        Limbs q(u.size(), 0);
        Wide r = 0;
        for (size_t i = u.size(); i-- > 0;) {
            const Wide cur = (r << kLimbBits) | u[i];
            q[i] = static_cast<Limb>(cur / v[0]);
            r = cur % v[0];
        }
        Normalize(q);
        if (quotient) *quotient = std::move(q);
        if (remainder) *remainder = r ? Limbs{static_cast<Limb>(r)} : Limbs{};
        return;
    }
    const int shift = std::countl_zero(v.back());
    const auto join = [shift](Limb high, Limb low) {
        return shift ? (high << shift) | (low >> (kLimbBits - shift)) : high;
    };
    Limbs vn(n), un(u.size() + 1);
    for (size_t i = n - 1; i > 0; --i) vn[i] = join(v[i], v[i - 1]);
    vn[0] = v[0] << shift;
    un[u.size()] = shift ? u.back() >> (kLimbBits - shift) : 0;
    for (size_t i = u.size() - 1; i > 0; --i) un[i] = join(u[i], u[i - 1]);
    un[0] = u[0] << shift;
    if ((vn[n - 1] >> (kLimbBits - 1)) == 0) Fail("Factor is zero");

    const size_t m = u.size() - n;
    Limbs q(m + 1, 0);
    constexpr Wide kBase = Wide{1} << kLimbBits;
    for (size_t j = m + 1; j-- > 0;) {
        const Wide top = (Wide{un[j + n]} << kLimbBits) | un[j + n - 1];
        Wide qhat = top / vn[n - 1];
        Wide rhat = top % vn[n - 1];
        while (qhat >= kBase || qhat * vn[n - 2] > ((rhat << kLimbBits) | un[j + n - 2])) {
            --qhat;
            rhat += vn[n - 1];
            if (rhat >= kBase) break;
        }
        if (qhat >= kBase) Fail("Quotient process error");
        // un[j..j+n] -= qhat * vn
        int borrow = 0;
        Limb carry = 0;
        for (size_t i = 0; i < n; ++i) {
            const Wide p = qhat * vn[i] + carry;
            carry = static_cast<Limb>(p >> kLimbBits);
            const SignedWide t =
                SignedWide{un[i + j]} - borrow - static_cast<SignedWide>(static_cast<Limb>(p));
            un[i + j] = static_cast<Limb>(t);
            borrow = t < 0 ? 1 : 0;
        }
        const SignedWide t = SignedWide{un[j + n]} - borrow - static_cast<SignedWide>(carry);
        un[j + n] = static_cast<Limb>(t);
        if (t < 0) {  // the estimate was one too large: add the divisor back
            --qhat;
            Limb c = 0;
            for (size_t i = 0; i < n; ++i) {
                const Wide s = Wide{un[i + j]} + vn[i] + c;
                un[i + j] = static_cast<Limb>(s);
                c = static_cast<Limb>(s >> kLimbBits);
            }
            un[j + n] += c;
        }
        q[j] = static_cast<Limb>(qhat);
    }
    if (quotient) {
        Normalize(q);
        *quotient = std::move(q);
    }
    if (remainder) {
        Limbs r(n);
        for (size_t i = 0; i < n; ++i)
            r[i] = shift ? (un[i] >> shift) | (un[i + 1] << (kLimbBits - shift)) : un[i];
        Normalize(r);
        *remainder = std::move(r);
    }
}

Limbs ModLimbs(const Limbs& a, const Limbs& m) {
    Limbs r;
    DivModLimbs(a, m, nullptr, &r);
    return r;
}

// Montgomery arithmetic modulo an odd m with R = 2^(64 * m.size()).
class Montgomery {
  public:
    explicit Montgomery(const Limbs& m) : FM(m), FN(m.size()) {
        // -m^-1 mod 2^64 by Newton's iteration (each step doubles the correct low bits).
        Limb inverse = 1;
        for (int i = 0; i < 6; ++i) inverse *= 2 - m[0] * inverse;
        FInv = ~inverse + 1;
    }

    // x * R mod m, for any x.
    Limbs ToForm(const Limbs& x) const {
        Limbs shifted(FN, 0);
        shifted.insert(shifted.end(), x.begin(), x.end());
        Normalize(shifted);
        Limbs r = ModLimbs(shifted, FM);
        r.resize(FN, 0);
        return r;
    }

    Limbs FromForm(const Limbs& x) const {
        Limbs one(FN, 0);
        one[0] = 1;
        Limbs r = Multiply(x, one);
        Normalize(r);
        return r;
    }

    // a * b / R mod m for a, b < m of FN limbs each.
    Limbs Multiply(const Limbs& a, const Limbs& b) const {
        Limbs t(FN + 2, 0);
        for (size_t i = 0; i < FN; ++i) {
            Limb carry = 0;
            const Wide bi = b[i];
            for (size_t j = 0; j < FN; ++j) {
                const Wide s = Wide{t[j]} + a[j] * bi + carry;
                t[j] = static_cast<Limb>(s);
                carry = static_cast<Limb>(s >> kLimbBits);
            }
            Wide s = Wide{t[FN]} + carry;
            t[FN] = static_cast<Limb>(s);
            t[FN + 1] = static_cast<Limb>(s >> kLimbBits);
            const Wide q = static_cast<Limb>(t[0] * FInv);
            carry = static_cast<Limb>((Wide{t[0]} + q * FM[0]) >> kLimbBits);
            for (size_t j = 1; j < FN; ++j) {
                s = Wide{t[j]} + q * FM[j] + carry;
                t[j - 1] = static_cast<Limb>(s);
                carry = static_cast<Limb>(s >> kLimbBits);
            }
            s = Wide{t[FN]} + carry;
            t[FN - 1] = static_cast<Limb>(s);
            t[FN] = t[FN + 1] + static_cast<Limb>(s >> kLimbBits);
        }
        // t < 2m: one subtraction at most.
        bool geq = t[FN] != 0;
        if (!geq) {
            geq = true;
            for (size_t i = FN; i-- > 0;)
                if (t[i] != FM[i]) {
                    geq = t[i] > FM[i];
                    break;
                }
        }
        if (geq) {
            int borrow = 0;
            for (size_t i = 0; i < FN; ++i) {
                const SignedWide d = SignedWide{t[i]} - FM[i] - borrow;
                t[i] = static_cast<Limb>(d);
                borrow = d < 0 ? 1 : 0;
            }
        }
        t.resize(FN);
        return t;
    }

  private:
    Limbs FM;
    size_t FN;
    Limb FInv;
};

bool TestBit(const Limbs& e, size_t bit) {
    return (e[bit / kLimbBits] >> (bit % kLimbBits)) & 1;
}

// base^e mod m for m > 1, base < m, left to right over the exponent's bits.
Limbs ModExpLimbs(const Limbs& base, const Limbs& e, const Limbs& m) {
    const size_t bits = e.empty() ? 0 : e.size() * kLimbBits - std::countl_zero(e.back());
    if (m[0] & 1) {
        const Montgomery mont(m);
        const Limbs b = mont.ToForm(base);
        Limbs x = mont.ToForm(Limbs{1});
        for (size_t i = bits; i-- > 0;) {
            x = mont.Multiply(x, x);
            if (TestBit(e, i)) x = mont.Multiply(x, b);
        }
        return mont.FromForm(x);
    }
    Limbs x{1};
    for (size_t i = bits; i-- > 0;) {
        x = ModLimbs(MulLimbs(x, x), m);
        if (TestBit(e, i)) x = ModLimbs(MulLimbs(x, base), m);
    }
    Normalize(x);
    return x;
}

void CheckNumber(const TIpBigInteger& n) {
    if (n.Used < 1 || n.Digits.empty()) Fail("No Number");
}

}  // namespace

void BigInit(TIpBigInteger& n, int32_t size) {
    if (size < 1) size = 64;
    CheckSize(size);
    n.Digits.assign(static_cast<size_t>(size), 0);
    n.Sign = 1;
    n.Used = 0;
}

void BigGrow(TIpBigInteger& n, int32_t size) {
    EnsureAllocated(n, size);
}

void BigFree(TIpBigInteger& n) {
    n.Digits.clear();
    n.Digits.shrink_to_fit();
    n.Used = 0;
}

void BigClear(TIpBigInteger& n) {
    n.Sign = 1;
    n.Used = 0;
    std::fill(n.Digits.begin(), n.Digits.end(), 0);
}

uint8_t BigDigit(const TIpBigInteger& n, int32_t i) {
    if (i < 1 || i > n.Used || i > n.Allocated()) return 0;
    return n.Digits[i - 1];
}

void BigTrim(TIpBigInteger& n) {
    if (n.Digits.empty()) Fail("Buffer not assigned");
    const int32_t length = TrimmedLength(n);
    if (length == 0) n.Digits[0] = 0;
    n.Used = std::max(length, 1);
}

void BigSetDigit(TIpBigInteger& n, int32_t i, uint8_t b) {
    if (i < 0) Fail("Digit position out of range");
    if (i == 0) i = n.Used + 1;
    ExtendUsed(n, i);
    n.Digits[i - 1] = b;
}

void BigCopyDigits(TIpBigInteger& dest, const TIpBigInteger& src, int32_t count) {
    if (count < 0) Fail("Digit position out of range");
    TIpBigInteger result;
    BigInit(result, std::max(count, src.Allocated()));
    result.Sign = src.Sign;
    for (int32_t i = 1; i <= count; ++i) result.Digits[i - 1] = BigDigit(src, i);
    result.Used = count;
    dest = std::move(result);
}

void BigCopy(const TIpBigInteger& src, TIpBigInteger& dest) {
    const int32_t used = std::min(src.Used, src.Allocated());
    TIpBigInteger result;
    BigInit(result, std::max(used, src.Allocated()));
    result.Sign = src.Sign;
    for (int32_t i = 0; i < used; ++i) result.Digits[i] = src.Digits[used - 1 - i];
    result.Used = used;
    dest = std::move(result);
}

void BigSetBytes(TIpBigInteger& n, int32_t position, const uint8_t* bytes, int32_t count) {
    if (position < 0 || count < 0) Fail("Digit position out of range");
    if (count == 0) return;
    if (position == 0) position = n.Used + 1;
    const int64_t last = int64_t{position} + count - 1;
    CheckSize(last);
    ExtendUsed(n, static_cast<int32_t>(last));
    std::memcpy(n.Digits.data() + position - 1, bytes, static_cast<size_t>(count));
}

void BigGetBytes(const TIpBigInteger& n, int32_t position, uint8_t* bytes, int32_t count) {
    if (count == 0) return;
    if (position < 1 || count < 0 || int64_t{position} + count - 1 > n.Allocated())
        Fail("Digit position out of range");
    std::memcpy(bytes, n.Digits.data() + position - 1, static_cast<size_t>(count));
}

void BigAppend(TIpBigInteger& n, int32_t position, const TIpBigInteger& m) {
    if (n.Digits.empty()) Fail("Buffer not assigned");
    const int32_t count = std::min(m.Used, m.Allocated());
    if (count > 0) BigSetBytes(n, position, m.Digits.data(), count);
}

int BigCompareAbs(const TIpBigInteger& a, const TIpBigInteger& b) {
    const int32_t la = TrimmedLength(a), lb = TrimmedLength(b);
    if (la != lb) return la < lb ? -1 : 1;
    for (int32_t i = la; i-- > 0;)
        if (a.Digits[i] != b.Digits[i]) return a.Digits[i] < b.Digits[i] ? -1 : 1;
    return 0;
}

int BigCompare(const TIpBigInteger& a, const TIpBigInteger& b) {
    // Zero counts as non-negative whatever its sign byte says.
    const bool na = IsNegative(a) && TrimmedLength(a) > 0;
    const bool nb = IsNegative(b) && TrimmedLength(b) > 0;
    if (na != nb) return na ? -1 : 1;
    const int c = BigCompareAbs(a, b);
    return na ? -c : c;
}

bool BigIsZero(const TIpBigInteger& n) {
    return TrimmedLength(n) == 0;
}

bool BigIsOne(const TIpBigInteger& n) {
    return TrimmedLength(n) == 1 && n.Digits[0] == 1;
}

void BigAdd(const TIpBigInteger& a, const TIpBigInteger& b, TIpBigInteger& dest) {
    const Limbs la = ToLimbs(a), lb = ToLimbs(b);
    const bool na = IsNegative(a), nb = IsNegative(b);
    if (na == nb) return FromLimbs(AddLimbs(la, lb), na, dest);
    // Opposite signs: the larger magnitude gives the sign.
    if (CompareLimbs(la, lb) >= 0) return FromLimbs(SubLimbs(la, lb), na, dest);
    FromLimbs(SubLimbs(lb, la), nb, dest);
}

void BigAddAssign(TIpBigInteger& a, const TIpBigInteger& b) {
    BigAdd(a, b, a);
}

void BigSub(const TIpBigInteger& a, const TIpBigInteger& b, TIpBigInteger& dest) {
    const Limbs la = ToLimbs(a), lb = ToLimbs(b);
    if (CompareLimbs(la, lb) < 0) Fail("Subtraction error");
    FromLimbs(SubLimbs(la, lb), false, dest);
}

void BigSubAssign(TIpBigInteger& a, const TIpBigInteger& b) {
    BigSub(a, b, a);
}

void BigMul(const TIpBigInteger& a, const TIpBigInteger& b, TIpBigInteger& dest) {
    CheckSize(int64_t{TrimmedLength(a)} + TrimmedLength(b));
    FromLimbs(MulLimbs(ToLimbs(a), ToLimbs(b)), IsNegative(a) != IsNegative(b), dest);
}

void BigMulAssign(TIpBigInteger& a, const TIpBigInteger& b) {
    BigMul(a, b, a);
}

void BigMulByte(const TIpBigInteger& a, uint8_t b, TIpBigInteger& dest) {
    FromLimbs(MulLimbs(ToLimbs(a), Limbs{b}), IsNegative(a), dest);
}

void BigMulByteAssign(TIpBigInteger& a, uint8_t b) {
    BigMulByte(a, b, a);
}

uint8_t BigDivByte(const TIpBigInteger& a, uint8_t b, TIpBigInteger& dest) {
    if (b == 0) Fail("Division by zero");
    Limbs q, r;
    DivModLimbs(ToLimbs(a), Limbs{b}, &q, &r);
    FromLimbs(std::move(q), IsNegative(a), dest);
    return r.empty() ? 0 : static_cast<uint8_t>(r[0]);
}

uint8_t BigDivByteAssign(TIpBigInteger& a, uint8_t b) {
    return BigDivByte(a, b, a);
}

void BigDiv(const TIpBigInteger& a, const TIpBigInteger& b, TIpBigInteger& dest) {
    CheckNumber(a);
    CheckNumber(b);
    const Limbs lb = ToLimbs(b);
    if (lb.empty()) Fail("Division by zero");
    Limbs q;
    DivModLimbs(ToLimbs(a), lb, &q, nullptr);
    FromLimbs(std::move(q), IsNegative(a) != IsNegative(b), dest);
}

void BigDivAssign(TIpBigInteger& a, const TIpBigInteger& b) {
    BigDiv(a, b, a);
}

void BigMod(const TIpBigInteger& a, const TIpBigInteger& b, TIpBigInteger& dest) {
    CheckNumber(a);
    CheckNumber(b);
    const Limbs lb = ToLimbs(b);
    if (lb.empty()) Fail("Division by zero");
    FromLimbs(ModLimbs(ToLimbs(a), lb), IsNegative(a), dest);
}

void BigModAssign(TIpBigInteger& a, const TIpBigInteger& b) {
    BigMod(a, b, a);
}

void BigModExp(const TIpBigInteger& base, const TIpBigInteger& exponent,
               const TIpBigInteger& modulus, TIpBigInteger& result) {
    const Limbs m = ToLimbs(modulus);
    if (m.empty()) Fail("Division by zero");
    const Limbs e = ToLimbs(exponent);
    // A negative base gives what repeated multiplication and truncating remainders give:
    // the negated result for an odd exponent.
    const bool negative = IsNegative(base) && !e.empty() && (e[0] & 1);
    if (m.size() == 1 && m[0] == 1) return FromLimbs({}, false, result);
    FromLimbs(ModExpLimbs(ModLimbs(ToLimbs(base), m), e, m), negative, result);
}

void BigModExpAssign(TIpBigInteger& x, const TIpBigInteger& exponent,
                     const TIpBigInteger& modulus) {
    BigModExp(x, exponent, modulus, x);
}
