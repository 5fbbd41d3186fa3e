#pragma once
// Arbitrary-precision integers for the RSA key exchange of the SSL client: base-256 digits with
// a sign, and the operations RSA needs, modular exponentiation above all.
//
// In arithmetic form digit 1 (the first byte of the buffer) is the least significant. A byte
// string that arrives most significant byte first (from a certificate, or for the wire) is
// stored as it is and turned round with BigCopy, and back the same way.
//
// A number is a value: copying it copies its digits. Results go to a destination that may be
// one of the operands. Errors raise EIpBigIntegerError with the texts "Buffer not assigned",
// "Subtraction error", "Division by zero", "No Number", "Factor is zero" and
// "Quotient process error".
#include <cstdint>
#include <vector>

#include "netlib/crypto/CryptoErrors.h"

struct TIpBigInteger {
    uint8_t Sign = 1;             // 1 = not negative, anything else = negative
    int32_t Used = 0;             // digits in use
    std::vector<uint8_t> Digits;  // the buffer; its size is the allocated digit count

    int32_t Allocated() const { return static_cast<int32_t>(Digits.size()); }
};

// Clears the number and gives it room for size digits (64 when size < 1): sign 1, used 0.
void BigInit(TIpBigInteger& n, int32_t size);
// Enlarges the buffer to size digits, keeping the digits.
void BigGrow(TIpBigInteger& n, int32_t size);
void BigFree(TIpBigInteger& n);
// Sign 1, used 0, buffer zeroed.
void BigClear(TIpBigInteger& n);
// Digit i (from 1); 0 beyond the used digits.
uint8_t BigDigit(const TIpBigInteger& n, int32_t i);
// Drops high zero digits, keeping at least one.
void BigTrim(TIpBigInteger& n);
// i = 0 appends b as a new most significant digit; otherwise sets digit i, growing as needed.
void BigSetDigit(TIpBigInteger& n, int32_t i, uint8_t b);
// dest := the first count digits of src, in the same order.
void BigCopyDigits(TIpBigInteger& dest, const TIpBigInteger& src, int32_t count);
// dest := src with its digits in reverse order (and the same sign).
void BigCopy(const TIpBigInteger& src, TIpBigInteger& dest);
// Copies bytes into the buffer from digit position on (0 = after the used digits), as they are.
void BigSetBytes(TIpBigInteger& n, int32_t position, const uint8_t* bytes, int32_t count);
// Copies count bytes out of the buffer from digit position on, as they are.
void BigGetBytes(const TIpBigInteger& n, int32_t position, uint8_t* bytes, int32_t count);
// Copies the used digits of m into n from position on, like BigSetBytes.
void BigAppend(TIpBigInteger& n, int32_t position, const TIpBigInteger& m);

// 1, 0 or -1. The signed form puts a non-negative number above a negative one.
int BigCompare(const TIpBigInteger& a, const TIpBigInteger& b);
int BigCompareAbs(const TIpBigInteger& a, const TIpBigInteger& b);
bool BigIsZero(const TIpBigInteger& n);
bool BigIsOne(const TIpBigInteger& n);

// dest := a + b, signed.
void BigAdd(const TIpBigInteger& a, const TIpBigInteger& b, TIpBigInteger& dest);
void BigAddAssign(TIpBigInteger& a, const TIpBigInteger& b);
// dest := |a| - |b|; "Subtraction error" when that would be negative.
void BigSub(const TIpBigInteger& a, const TIpBigInteger& b, TIpBigInteger& dest);
void BigSubAssign(TIpBigInteger& a, const TIpBigInteger& b);
void BigMul(const TIpBigInteger& a, const TIpBigInteger& b, TIpBigInteger& dest);
void BigMulAssign(TIpBigInteger& a, const TIpBigInteger& b);
void BigMulByte(const TIpBigInteger& a, uint8_t b, TIpBigInteger& dest);
void BigMulByteAssign(TIpBigInteger& a, uint8_t b);
// dest := a div b; returns the remainder's magnitude.
uint8_t BigDivByte(const TIpBigInteger& a, uint8_t b, TIpBigInteger& dest);
uint8_t BigDivByteAssign(TIpBigInteger& a, uint8_t b);
// Truncating division: the quotient's sign is the product of the signs, the remainder has the
// dividend's sign (as the integer div and mod of the language).
void BigDiv(const TIpBigInteger& a, const TIpBigInteger& b, TIpBigInteger& dest);
void BigDivAssign(TIpBigInteger& a, const TIpBigInteger& b);
void BigMod(const TIpBigInteger& a, const TIpBigInteger& b, TIpBigInteger& dest);
void BigModAssign(TIpBigInteger& a, const TIpBigInteger& b);

// result := base ^ exponent mod modulus; the exponent's digits are read without its sign. The
// result equals repeated BigMul and BigMod: non-negative for a non-negative base.
void BigModExp(const TIpBigInteger& base, const TIpBigInteger& exponent,
               const TIpBigInteger& modulus, TIpBigInteger& result);
void BigModExpAssign(TIpBigInteger& x, const TIpBigInteger& exponent, const TIpBigInteger& modulus);
