#!/usr/bin/python3
"""Writes Ssl3Fixtures.inc: SSL 3.0 master secrets, key blocks, Finished hashes, record MACs and
whole protected records, computed by python3-scapy's SSL 3.0 code (an implementation other than
ours). The inputs are fixed bytes, so a second run writes the same file.

    /usr/bin/python3 tests/netlib/ssl/make_fixtures.py > tests/netlib/ssl/Ssl3Fixtures.inc
"""
import hashlib
import struct
import sys

from scapy.layers.tls.crypto.prf import PRF
from scapy.layers.tls.crypto.h_mac import Hmac_SHA
from scapy.layers.tls.crypto.cipher_block import Cipher_DES_CBC, Cipher_3DES_EDE_CBC


def fixed(label, n):
    """n reproducible bytes named by label."""
    out = b""
    i = 0
    while len(out) < n:
        out += hashlib.sha256(b"%s/%d" % (label.encode(), i)).digest()
        i += 1
    return out[:n]


def c(b):
    return '"' + b.hex() + '"'


prf = PRF(hash_name="SHA", tls_version=0x300)
lines = ["// Written by make_fixtures.py from python3-scapy's SSL 3.0 code. Do not edit.", ""]

# Master secret and key block: (pre-master, client random, server random, master, key block).
lines.append("struct TMasterCase { const char *PreMaster, *ClientRandom, *ServerRandom, "
             "*Master, *KeyBlock; };")
lines.append("static const TMasterCase kMasterCases[] = {")
for i, size in enumerate([104, 72, 104]):
    pre = b"\x03\x00" + fixed("pre%d" % i, 46)
    cr = fixed("cr%d" % i, 32)
    sr = fixed("sr%d" % i, 32)
    ms = prf.compute_master_secret(pre, cr, sr)
    kb = prf.derive_key_block(ms, sr, cr, size)
    lines.append("    {%s,\n     %s,\n     %s,\n     %s,\n     %s}," %
                 (c(pre), c(cr), c(sr), c(ms), c(kb)))
lines.append("};")
lines.append("")

# Finished hashes: (master, handshake messages, client hashes, server hashes).
lines.append("struct TFinishedCase { const char *Master, *Messages, *Client, *Server; };")
lines.append("static const TFinishedCase kFinishedCases[] = {")
for i, n in enumerate([0, 52, 1500]):
    ms = fixed("ms%d" % i, 48)
    msgs = fixed("hs%d" % i, n)
    cl = prf.compute_verify_data("client", "write", msgs, ms)
    sv = prf.compute_verify_data("server", "write", msgs, ms)
    lines.append("    {%s,\n     %s,\n     %s,\n     %s}," % (c(ms), c(msgs), c(cl), c(sv)))
lines.append("};")
lines.append("")

# Record MACs: (secret, sequence number, type, content, MAC).
lines.append("struct TMacCase { const char* Secret; unsigned long long Sequence; int Type; "
             "const char *Content, *Mac; };")
lines.append("static const TMacCase kMacCases[] = {")
for i, (seq, typ, n) in enumerate([(0, 22, 40), (1, 23, 0), (255, 23, 17), (256, 23, 300),
                                   (0x1_0000_0000, 21, 2), (0xFFFFFFFFFFFFFFFF, 23, 64)]):
    secret = fixed("mac%d" % i, 20)
    content = fixed("content%d" % i, n)
    mac = Hmac_SHA(secret).digest_sslv3(struct.pack("!QBH", seq, typ, n) + content)
    lines.append("    {%s, %duLL, %d,\n     %s,\n     %s}," % (c(secret), seq, typ, c(content),
                                                            c(mac)))
lines.append("};")
lines.append("")

# Protected records: a run of records sealed one after the other in one direction (the chaining
# value carries over): cipher code (33 DES, 40 3DES), key, IV, MAC secret, then each record's
# type, content and the body on the wire. Padding is 0xAA bytes with the count last.
lines.append("struct TRecord { int Type; const char *Content, *Body; };")
lines.append("struct TRecordCase { int Cipher; const char *Key, *IV, *MacSecret; "
             "TRecord Records[4]; };")
lines.append("static const TRecordCase kRecordCases[] = {")
for i, (code, cls, keylen) in enumerate([(33, Cipher_DES_CBC, 8), (40, Cipher_3DES_EDE_CBC, 24)]):
    key = fixed("key%d" % i, keylen)
    iv = fixed("iv%d" % i, 8)
    secret = fixed("secret%d" % i, 20)
    cipher = cls(key=key, iv=iv)
    hm = Hmac_SHA(secret)
    recs = []
    for seq, (typ, n) in enumerate([(22, 40), (23, 4), (23, 0), (23, 1000)]):
        content = fixed("rec%d/%d" % (i, seq), n)
        mac = hm.digest_sslv3(struct.pack("!QBH", seq, typ, n) + content)
        plain = content + mac
        pad = 7 - len(plain) % 8
        body = cipher.encrypt(plain + b"\xaa" * pad + bytes([pad]))
        recs.append("{%d, %s,\n      %s}" % (typ, c(content), c(body)))
    lines.append("    {%d, %s, %s, %s,\n     {%s}}," % (code, c(key), c(iv), c(secret),
                                                        ",\n      ".join(recs)))
lines.append("};")
sys.stdout.write("\n".join(lines) + "\n")
