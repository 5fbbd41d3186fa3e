"""Real-shaped mail for the pass-through test: the e-mail test messages of Python's test suite
(Debian's libpython3.11-testsuite) and messages of our own, made here with Python's email
package or written out where the package would tidy away what is to be tested.

messages() gives (name, bytes) pairs; every message ends its lines with CR LF except where a
bare LF or CR is the point.
"""
import glob, os
from email import encoders, policy
from email.message import EmailMessage
from email.mime.application import MIMEApplication
from email.mime.base import MIMEBase
from email.mime.multipart import MIMEMultipart
from email.mime.text import MIMEText
from email.utils import formataddr

PYTHON_CORPUS = "/usr/lib/python3.11/test/test_email/data"
SMTP = policy.SMTP.clone(max_line_length=78)


def crlf(data):
    """Every line ended by CR LF, as a mail server serves it (a bare CR stays in its line)."""
    lines = data.split(b"\n")
    if lines and lines[-1] == b"":
        lines.pop()
    return b"".join((l[:-1] if l.endswith(b"\r") else l) + b"\r\n" for l in lines)


def python_corpus():
    files = sorted(glob.glob(os.path.join(PYTHON_CORPUS, "msg_*.txt")))
    return [(os.path.basename(f), crlf(open(f, "rb").read())) for f in files]


def _signed():
    text = MIMEText("Signed text.\nA line with trailing blanks   \n\n-- \nsig\n", "plain", "utf-8")
    text.replace_header("Content-Transfer-Encoding", "quoted-printable")
    text.set_payload("Signed text.=0AA line with trailing blanks   =20\n\n-- \nsig\n")
    sig = MIMEApplication(b"-----BEGIN PGP SIGNATURE-----\n\niQEzBAEBCAAdFiEE\n=abcd\n"
                          b"-----END PGP SIGNATURE-----\n", "pgp-signature", _encoder=lambda m: None)
    sig.add_header("Content-Description", "OpenPGP digital signature")
    sig.add_header("Content-Disposition", "attachment", filename="signature.asc")
    msg = MIMEMultipart("signed", boundary="signed-b", micalg="pgp-sha256",
                        protocol="application/pgp-signature", _subparts=[text, sig])
    msg.preamble = "This is an OpenPGP/MIME signed message (RFC 4880 and 3156)"
    msg["From"] = formataddr(("Muster, Anna", "anna@example.net"))
    msg["To"] = "point@example.org"
    msg["Subject"] = "signed multipart"
    msg["Message-ID"] = "<signed@corpus.test>"
    return msg.as_bytes(policy=SMTP)


def _preamble_epilogue():
    text = MIMEText("\n\nTwo blank lines above, two below.\n\n\n", "plain", "us-ascii")
    image = MIMEBase("image", "png")
    image.set_payload(bytes(range(256)) * 8)
    encoders.encode_base64(image)
    image.add_header("Content-Disposition", "attachment", filename="bild.png")
    table = MIMEText("Tabelle;1\n", "csv", "us-ascii")
    table.add_header("Content-Disposition", "attachment", filename="daten v1.csv")
    msg = MIMEMultipart("mixed", boundary="preamble-b", _subparts=[text, image, table])
    msg["Subject"] = "preamble, epilogue and attachments"
    msg["From"] = formataddr(("Jörg Müller", "joerg@example.de"), "utf-8")
    msg["To"] = "=?UTF-8?Q?Muster=2C_Anna?= <anna@example.net>, b@example.org"
    msg.preamble = "\nThis is a multi-part message in MIME format.\n"
    msg.epilogue = "\nepilogue line\n"
    return msg.as_bytes(policy=SMTP)


def _alternative_and_forward():
    inner = EmailMessage()
    inner["From"] = "inner@example.org"
    inner["Subject"] = "forwarded"
    inner.set_content("inner body\n")
    alt = MIMEMultipart("alternative", boundary="alt-b", _subparts=[
        MIMEText("plain\n", "plain", "us-ascii"),
        MIMEText("<p>html</p>\n", "html", "us-ascii")])
    fwd = MIMEBase("message", "rfc822")
    fwd.set_payload([inner])
    msg = MIMEMultipart("mixed", boundary="mixed-b", _subparts=[alt, fwd])
    msg["From"] = "a@example.org"
    msg["To"] = "undisclosed-recipients:;"
    msg["Subject"] = "alternative and a forwarded message"
    return msg.as_bytes(policy=SMTP)


def _raw(name, header, body):
    return name, header.replace("\n", "\r\n").encode("latin-1") + b"\r\n" + body


def own_messages():
    line998 = b"x" * 998
    return [
        ("own_signed", _signed()),
        ("own_preamble", _preamble_epilogue()),
        ("own_alternative", _alternative_and_forward()),
        _raw("own_empty_body", "From: a@example.org\nTo: b@example.org\nSubject: empty body\n",
             b""),
        ("own_header_only", b"From: a@example.org\r\nTo: b@example.org\r\n"
                            b"Subject: no empty line, no body\r\n"),
        _raw("own_blank_lines", "Subject: blank lines\nFrom: a@example.org\nTo: b@example.org\n",
             b"\r\n\r\n> quoted after two blank lines\r\n\r\nbegin 644 x\r\n`\r\nend\r\n\r\n\r\n"),
        _raw("own_parameters",
             "From: a@example.org\nTo: b@example.org\nSubject: parameters\nMIME-Version: 1.0\n"
             "Content-Type: multipart/mixed; boundary=unquoted-b\n",
             b"--unquoted-b\r\nContent-Type: text/plain; charset=\"UTF-8\"; format=flowed\r\n\r\n"
             b"quoted charset\r\n--unquoted-b\r\nContent-Type: text/plain; charset=utf-8\r\n"
             b"Content-Disposition: attachment; filename=bild.txt\r\n\r\nunquoted\r\n"
             b"--unquoted-b\r\nContent-Type: application/octet-stream; name=\"a b.bin\"\r\n"
             b"Content-Transfer-Encoding: base64\r\nContent-Disposition: attachment;\r\n"
             b"\tfilename=\"a b.bin\"; size=6\r\n\r\nZm9vYmFy\r\n--unquoted-b--\r\n"),
        _raw("own_display_names",
             "From: =?UTF-8?B?TcO8bGxlciwgSsO2cmc=?= <joerg@example.de>\n"
             "To: \"Muster, Anna\" <anna@example.net>,\n =?ISO-8859-1?Q?M=FCller=2C_J=F6rg?= "
             "<joerg@example.de>, (Vertrieb, Nord) nord@example.org\nCc: Team: c@example.org, "
             "d@example.org;\nSubject: =?UTF-8?Q?Gr=C3=BC=C3=9Fe=2C_Anna?=\n",
             b"display names with commas\r\n"),
        _raw("own_long_line", "From: a@example.org\nTo: b@example.org\nSubject: 998 bytes\n",
             line998 + b"\r\n" + b"." + line998[1:] + b"\r\nend\r\n"),
        _raw("own_bare_cr_lf", "From: a@example.org\nTo: b@example.org\nSubject: bare CR and LF\n",
             b"a bare\rCR inside a line\r\na bare LF ends this line\nnext\r\nCR at the end\r\r\n"),
        _raw("own_8bit_no_charset",
             "From: a@example.org\nTo: b@example.org\nSubject: 8-bit\nMIME-Version: 1.0\n"
             "Content-Type: text/plain\nContent-Transfer-Encoding: 8bit\n",
             "Grüße aus Köln, 30 €\r\n".encode("cp1252")),
        _raw("own_8bit_no_mime", "From: a@example.org\nTo: b@example.org\nSubject: raw 8-bit\n",
             "Daß ist ÄÖÜ\r\n".encode("latin-1")),
        _raw("own_dots", "From: a@example.org\nTo: b@example.org\nSubject: dots\n",
             b".\r\n..\r\n.leading dot\r\nlast\r\n"),
        _raw("own_header_order",
             "subject: lower case first\nX-Face: line one\n\tline two\nto: b@example.org\n"
             "DATE: Mon, 1 Jan 2024 10:00:00 +0100\nFrom: a@example.org\nReceived: from a\n"
             "\tby b; Mon, 1 Jan 2024 10:00:00 +0100\nReferences: <1@x>\n <2@x>\n"
             "Content-Type: text/plain;\n charset=\"iso-8859-1\"\n",
             b"header order\r\n"),
        _raw("own_part_without_header",
             "From: a@example.org\nTo: b@example.org\nSubject: part without header\n"
             "MIME-Version: 1.0\nContent-Type: multipart/mixed; boundary=\"b\"\n",
             b"--b\r\n\r\n\r\nno header, a blank line first\r\n--b\r\n"
             b"Content-Type: text/plain\r\n\r\nsecond\r\n--b--\r\n\r\n"),
        _raw("own_nested_unclosed",
             "From: a@example.org\nTo: b@example.org\nSubject: inner part not closed\n"
             "MIME-Version: 1.0\nContent-Type: multipart/mixed; boundary=outer\n",
             b"--outer\r\nContent-Type: multipart/alternative; boundary=inner\r\n\r\n"
             b"--inner\r\nContent-Type: text/plain\r\n\r\nplain\r\n--outer\r\n"
             b"Content-Type: text/plain\r\nContent-Disposition: attachment; filename=n.txt\r\n\r\n"
             b"note\r\n--outer--\r\n"),
    ]


def messages():
    return python_corpus() + own_messages()
