#!/usr/bin/python3
"""Writes TestKey.inc: a 1024-bit RSA key and a self-signed certificate for it that expired long
ago, for the in-process test server (the client must take it all the same).

    /usr/bin/python3 tests/netlib/ssl/make_test_key.py > tests/netlib/ssl/TestKey.inc
"""
import datetime
import sys

from cryptography import x509
from cryptography.hazmat.primitives import hashes, serialization
from cryptography.hazmat.primitives.asymmetric import rsa
from cryptography.x509.oid import NameOID

key = rsa.generate_private_key(public_exponent=65537, key_size=1024)
name = x509.Name([x509.NameAttribute(NameOID.COMMON_NAME, "ssl-test.invalid")])
issuer = x509.Name([x509.NameAttribute(NameOID.COMMON_NAME, "Kestro Test CA")])
cert = (x509.CertificateBuilder().subject_name(name).issuer_name(issuer)
        .public_key(key.public_key()).serial_number(4711)
        .not_valid_before(datetime.datetime(2000, 1, 1))
        .not_valid_after(datetime.datetime(2001, 1, 1))
        .sign(key, hashes.SHA256()))
der = cert.public_bytes(serialization.Encoding.DER)
nums = key.private_numbers()
n = nums.public_numbers.n
sys.stdout.write("// Written by make_test_key.py. Do not edit.\n")
sys.stdout.write('static const char kTestCertDer[] = "%s";\n' % der.hex())
sys.stdout.write('static const char kTestModulus[] = "%s";\n' % n.to_bytes(128, "big").hex())
sys.stdout.write('static const char kTestPrivateExponent[] = "%s";\n' %
                 nums.d.to_bytes(128, "big").hex())
