#pragma once
// The platform's scaling arithmetic.

// A * B / C computed without overflow in between and rounded to the nearest integer, halves away
// from zero; -1 when C is 0 or the result does not fit an int.
int MulDiv(int A, int B, int C);
