#!/usr/bin/python3
# Writes ModExpVectors.inc and DivVectors.inc from python's own integers (pow and divmod).
# Run from this folder; the output is committed so the tests need no python.
import random

r = random.Random(20261206)


def h(x):
    return format(x, 'x')


def sh(x):
    return ('-' if x < 0 else '') + h(abs(x))


rows = []


def add(name, b, e, m):
    rows.append((name, b, e, m, pow(b, e, m)))


for bits in (1024, 2048, 4096):
    m = r.getrandbits(bits) | (1 << (bits - 1)) | 1
    add(f"{bits}-bit modulus, base 2, e=65537", 2, 65537, m)
    add(f"{bits}-bit modulus, e=65537", r.randrange(m), 65537, m)
    add(f"{bits}-bit modulus, full-size exponent", r.randrange(m),
        r.getrandbits(bits) | (1 << (bits - 1)), m)
    me = r.getrandbits(bits) | (1 << (bits - 1))
    me &= ~1
    add(f"{bits}-bit even modulus", r.randrange(me), r.getrandbits(256), me)
m = r.getrandbits(1024) | (1 << 1023) | 1
add("base above the modulus", m * 7 + 12345, 65537, m)
add("exponent zero", 12345, 0, m)
add("exponent one", 987654321, 1, m)
add("single-limb odd modulus", 123456789, 1000003, 4294967291)
add("small modulus", 5, 117, 19)
with open('ModExpVectors.inc', 'w') as f:
    f.write("// Generated with python3 pow(base, exponent, modulus); hex, most significant digit first.\n")
    for name, b, e, m, res in rows:
        f.write('{"%s",\n "%s",\n "%s",\n "%s",\n "%s"},\n' % (name, h(b), h(e), h(m), h(res)))


def tdiv(a, b):
    q = abs(a) // abs(b)
    if (a < 0) != (b < 0):
        q = -q
    return q, a - q * b


cases = []
for abits, bbits in ((2048, 1024), (4096, 2047), (300, 64), (64, 33), (100, 8), (1024, 1024), (8, 64)):
    a = r.getrandbits(abits) | 1
    b = r.getrandbits(bbits) | (1 << (bbits - 1))
    cases.append((a, b))
cases.append(((1 << 128) - 1, (1 << 64) + 1))
cases.append((0x7fffffff800000000000000000000000, 0x800000000000000000000001))
cases.append((0, 12345))


def write_cases(f, cases):
    for a, b in cases:
        for sa, sb in ((1, 1), (-1, 1), (1, -1), (-1, -1)):
            A, B = sa * a, sb * b
            q, rem = tdiv(A, B)
            f.write('{"%s", "%s", "%s", "%s"},\n' % (sh(A), sh(B), sh(q), sh(rem)))


with open('DivVectors.inc', 'w') as f:
    f.write("// Generated with python3: truncating division (quotient rounded toward zero, remainder\n"
            "// with the dividend's sign); hex with a leading '-' for negative numbers.\n")
    write_cases(f, cases)
    f.write("// A quotient estimate that is one too large and needs the divisor added back.\n")
    write_cases(f, [(0x7fffffffffffffff800000000000000000000000000000000000000000000000,
                     0x800000000000000000000000000000000000000000000001)])
