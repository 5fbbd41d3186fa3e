// Big-integer arithmetic against python3-generated tables and the digit-level operations the SSL
// client uses to move byte strings in and out.
#include <gtest/gtest.h>

#include "netlib/crypto/IpBigInt.h"
#include "tests/netlib/crypto/TestHex.h"
#include "tests/support/TestSupport.h"

namespace {

// A number from hex text (most significant first, '-' for negative), loaded the way the SSL
// client loads wire bytes: stored as they come, then turned round with BigCopy.
TIpBigInteger Big(std::string hex) {
    const bool negative = !hex.empty() && hex[0] == '-';
    if (negative) hex.erase(0, 1);
    const auto bytes = FromHex(hex);
    TIpBigInteger wire, n;
    BigInit(wire, static_cast<int32_t>(bytes.size()));
    BigSetBytes(wire, 0, bytes.data(), static_cast<int32_t>(bytes.size()));
    BigCopy(wire, n);
    BigTrim(n);
    if (negative) n.Sign = 0;
    return n;
}

std::string Hex(const TIpBigInteger& n) {
    TIpBigInteger t = n;
    BigTrim(t);
    TIpBigInteger wire;
    BigCopy(t, wire);
    std::string hex = ToHex(wire.Digits.data(), static_cast<size_t>(wire.Used));
    hex.erase(0, std::min(hex.find_first_not_of('0'), hex.size() - 1));
    return (t.Sign != 1 && !BigIsZero(t) ? "-" : "") + hex;
}

struct ModExpVector {
    const char* Name;
    const char* Base;
    const char* Exponent;
    const char* Modulus;
    const char* Result;
};

const ModExpVector kModExp[] = {
#include "tests/netlib/crypto/ModExpVectors.inc"
};

struct DivVector {
    const char* A;
    const char* B;
    const char* Quotient;
    const char* Remainder;
};

const DivVector kDiv[] = {
#include "tests/netlib/crypto/DivVectors.inc"
};

TEST(BigIntegerTest, ModExpMatchesPython) {
    for (const ModExpVector& v : kModExp) {
        SCOPED_TRACE(v.Name);
        TIpBigInteger result;
        BigModExp(Big(v.Base), Big(v.Exponent), Big(v.Modulus), result);
        EXPECT_EQ(Hex(result), v.Result);
        TIpBigInteger x = Big(v.Base);
        BigModExpAssign(x, Big(v.Exponent), Big(v.Modulus));
        EXPECT_EQ(Hex(x), v.Result);
    }
}

TEST(BigIntegerTest, ModExpEdgeCases) {
    TIpBigInteger r;
    BigModExp(Big("7"), Big("0"), Big("1"), r);
    EXPECT_EQ(Hex(r), "0");  // everything is 0 modulo 1
    BigModExp(Big("-2"), Big("3"), Big("b"), r);
    EXPECT_EQ(Hex(r), "-8");  // as (-2 * -2 * -2) mod 11 with truncating remainders
    BigModExp(Big("-2"), Big("2"), Big("b"), r);
    EXPECT_EQ(Hex(r), "4");
    EXPECT_EQ(ErrorOf<EIpBigIntegerError>([] {
                  TIpBigInteger out;
                  BigModExp(Big("2"), Big("3"), Big("0"), out);
              }),
              "Division by zero");
}

TEST(BigIntegerTest, DivisionAndRemainderWithSigns) {
    for (const DivVector& v : kDiv) {
        SCOPED_TRACE(std::string(v.A) + " / " + v.B);
        TIpBigInteger q, r;
        BigDiv(Big(v.A), Big(v.B), q);
        BigMod(Big(v.A), Big(v.B), r);
        EXPECT_EQ(Hex(q), v.Quotient);
        EXPECT_EQ(Hex(r), v.Remainder);
        // q * b + r == a
        TIpBigInteger back;
        BigMul(q, Big(v.B), back);
        BigAddAssign(back, r);
        EXPECT_EQ(Hex(back), Hex(Big(v.A)));
    }
}

TEST(BigIntegerTest, DivisionErrors) {
    EXPECT_EQ(ErrorOf<EIpBigIntegerError>([] {
                  TIpBigInteger q;
                  BigDiv(Big("1234"), Big("0"), q);
              }),
              "Division by zero");
    EXPECT_EQ(ErrorOf<EIpBigIntegerError>([] {
                  TIpBigInteger q;
                  BigMod(Big("1234"), Big("-0"), q);
              }),
              "Division by zero");
    EXPECT_EQ(ErrorOf<EIpBigIntegerError>([] {
                  TIpBigInteger q, empty;
                  BigInit(empty, 0);
                  BigDiv(Big("1234"), empty, q);
              }),
              "No Number");
    EXPECT_EQ(ErrorOf<EIpBigIntegerError>([] {
                  TIpBigInteger q, empty;
                  BigMod(empty, Big("5"), q);
              }),
              "No Number");
    EXPECT_EQ(ErrorOf<EIpBigIntegerError>([] {
                  TIpBigInteger q;
                  BigDivByte(Big("1234"), 0, q);
              }),
              "Division by zero");
}

TEST(BigIntegerTest, AddSubMulSigned) {
    TIpBigInteger r;
    BigAdd(Big("ffffffff"), Big("1"), r);
    EXPECT_EQ(Hex(r), "100000000");
    BigAdd(Big("-5"), Big("3"), r);
    EXPECT_EQ(Hex(r), "-2");
    BigAdd(Big("5"), Big("-5"), r);
    EXPECT_EQ(Hex(r), "0");
    EXPECT_EQ(r.Sign, 1);  // zero is never negative
    BigAdd(Big("-5"), Big("-6"), r);
    EXPECT_EQ(Hex(r), "-b");
    BigSub(Big("100000000"), Big("1"), r);
    EXPECT_EQ(Hex(r), "ffffffff");
    EXPECT_EQ(ErrorOf<EIpBigIntegerError>([] {
                  TIpBigInteger out;
                  BigSub(Big("1"), Big("2"), out);
              }),
              "Subtraction error");
    BigMul(Big("-ffffffffffffffff"), Big("ffffffffffffffff"), r);
    EXPECT_EQ(Hex(r), "-fffffffffffffffe0000000000000001");
    BigMul(Big("0"), Big("-7"), r);
    EXPECT_EQ(Hex(r), "0");
    BigMulByte(Big("123456789abcdef"), 0x10, r);
    EXPECT_EQ(Hex(r), "123456789abcdef0");
    EXPECT_EQ(BigDivByte(Big("123456789abcdef"), 0x10, r), 0xF);
    EXPECT_EQ(Hex(r), "123456789abcde");
    // Assigning forms with the destination as an operand.
    TIpBigInteger a = Big("10");
    BigMulAssign(a, a);
    EXPECT_EQ(Hex(a), "100");
    BigSubAssign(a, Big("1"));
    EXPECT_EQ(Hex(a), "ff");
}

TEST(BigIntegerTest, Comparisons) {
    EXPECT_EQ(BigCompare(Big("-ffff"), Big("1")), -1);
    EXPECT_EQ(BigCompare(Big("-1"), Big("-ffff")), 1);
    EXPECT_EQ(BigCompareAbs(Big("-ffff"), Big("1")), 1);
    EXPECT_EQ(BigCompare(Big("00001234"), Big("1234")), 0);  // high zero digits do not count
    EXPECT_EQ(BigCompare(Big("-0"), Big("0")), 0);
    EXPECT_TRUE(BigIsZero(Big("0000")));
    EXPECT_TRUE(BigIsOne(Big("0001")));
    EXPECT_FALSE(BigIsOne(Big("0101")));
}

TEST(BigIntegerTest, DigitOperations) {
    // BigCopy turns the digit order round; twice restores it.
    TIpBigInteger n, r, back;
    BigInit(n, 0);
    EXPECT_EQ(n.Allocated(), 64);
    const uint8_t bytes[3] = {1, 2, 3};
    BigSetBytes(n, 0, bytes, 3);
    BigCopy(n, r);
    EXPECT_EQ(BigDigit(r, 1), 3);
    EXPECT_EQ(BigDigit(r, 3), 1);
    EXPECT_EQ(BigDigit(r, 4), 0);  // beyond the used digits
    BigCopy(r, back);
    EXPECT_EQ(ToHex(back.Digits.data(), 3), "010203");

    // BigTrim of all zero digits keeps one digit 0, even over leftovers in the buffer.
    TIpBigInteger z;
    BigInit(z, 8);
    const uint8_t zeros[4] = {};
    BigSetBytes(z, 1, zeros, 4);
    BigTrim(z);
    EXPECT_EQ(z.Used, 1);
    z.Digits[0] = 9;
    z.Used = 0;
    BigTrim(z);
    EXPECT_EQ(z.Used, 1);
    EXPECT_EQ(BigDigit(z, 1), 0);

    // BigSetDigit appends with 0 and zero-fills a gap it opens.
    TIpBigInteger d;
    BigInit(d, 2);
    d.Digits = {7, 7};
    BigSetDigit(d, 0, 5);
    BigSetDigit(d, 4, 6);
    EXPECT_EQ(d.Used, 4);
    EXPECT_EQ(ToHex(d.Digits.data(), 4), "05000006");

    TIpBigInteger c;
    BigCopyDigits(c, back, 2);
    EXPECT_EQ(c.Used, 2);
    EXPECT_EQ(BigDigit(c, 2), 2);

    uint8_t out[2];
    BigGetBytes(back, 2, out, 2);
    EXPECT_EQ(out[0], 2);
    EXPECT_EQ(ErrorOf<EIpBigIntegerError>([&] { BigGetBytes(back, 64, out, 2); }),
              "Digit position out of range");

    TIpBigInteger unassigned;
    EXPECT_EQ(ErrorOf<EIpBigIntegerError>([&] { BigTrim(unassigned); }), "Buffer not assigned");
    EXPECT_EQ(ErrorOf<EIpBigIntegerError>([&] { BigAppend(unassigned, 0, back); }),
              "Buffer not assigned");
    BigAppend(back, 0, r);
    EXPECT_EQ(back.Used, 6);
    EXPECT_EQ(ToHex(back.Digits.data(), 6), "010203030201");
    BigFree(back);
    EXPECT_EQ(back.Allocated(), 0);
}

}  // namespace
