#!/usr/bin/python3
"""Writes PeerKey.inc: a 512-bit RSA key with its prime factors and a self-signed certificate for
it, for the fuzz target's peer. The client takes any key of 512 bits or more; a small key with
the factors lets the peer open the pre-master secret many times a second.

    /usr/bin/python3 fuzz/sslsocket/make_peer_key.py > fuzz/sslsocket/PeerKey.inc
"""
import datetime
import subprocess
import sys

from cryptography import x509
from cryptography.hazmat.primitives import hashes, serialization
from cryptography.x509.oid import NameOID

# The library generates no keys this small; it still reads and signs with them.
pem = subprocess.run(["openssl", "genrsa", "512"], check=True, capture_output=True).stdout
key = serialization.load_pem_private_key(pem, password=None)
name = x509.Name([x509.NameAttribute(NameOID.COMMON_NAME, "ssl-fuzz.invalid")])
cert = (x509.CertificateBuilder().subject_name(name).issuer_name(name)
        .public_key(key.public_key()).serial_number(4712)
        .not_valid_before(datetime.datetime(2000, 1, 1))
        .not_valid_after(datetime.datetime(2001, 1, 1))
        .sign(key, hashes.SHA256()))
nums = key.private_numbers()


def hexed(value, size):
    return value.to_bytes(size, "big").hex()


sys.stdout.write("// Written by make_peer_key.py. Do not edit.\n")
sys.stdout.write('static const char kPeerCertDer[] = "%s";\n' %
                 cert.public_bytes(serialization.Encoding.DER).hex())
sys.stdout.write('static const char kPeerModulus[] = "%s";\n' % hexed(nums.public_numbers.n, 64))
for label, value in (("P", nums.p), ("Q", nums.q), ("DP", nums.dmp1), ("DQ", nums.dmq1),
                     ("QInv", nums.iqmp)):
    sys.stdout.write('static const char kPeer%s[] = "%s";\n' % (label, hexed(value, 32)))
