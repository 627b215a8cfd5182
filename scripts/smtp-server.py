#!/usr/bin/python3
"""A real SMTP server for the mail tests (aiosmtpd), listening on 127.0.0.1 only.

Three listeners on free ports:
  plain     no encryption, no log-in (the clinic's own relay)
  starttls  STARTTLS required, then AUTH PLAIN/LOGIN required
  smtps     TLS from the first byte, AUTH required
Every message received is written to DIR/<n>.eml as it arrived; the envelope's sender and
recipients are put in front as X-Envelope-From / X-Envelope-To lines. Recipients at the domain
"atteikts.invalid" are refused with 550, as a server refuses an unknown mailbox.

usage: smtp-server.py STATE_DIR   (writes STATE_DIR/env with the ports and paths, then serves
                                   until SIGTERM)
"""
import os
import signal
import socket
import ssl
import subprocess
import sys
import threading

from aiosmtpd.controller import Controller
from aiosmtpd.smtp import AuthResult, LoginPassword

USER = b"molarix"
PASSWORD = b"Slepena-parole-1"


def free_port():
    with socket.socket() as s:
        s.bind(("127.0.0.1", 0))
        return s.getsockname()[1]


class Handler:
    def __init__(self, folder):
        self.folder = folder
        self.lock = threading.Lock()
        self.count = 0

    async def handle_RCPT(self, server, session, envelope, address, rcpt_options):
        if address.lower().endswith("@atteikts.invalid"):
            return "550 5.1.1 Mailbox unavailable"
        envelope.rcpt_tos.append(address)
        return "250 OK"

    async def handle_DATA(self, server, session, envelope):
        with self.lock:
            self.count += 1
            name = "%d-%d.eml" % (os.getpid(), self.count)
        head = ("X-Envelope-From: %s\r\nX-Envelope-To: %s\r\n" % (envelope.mail_from, ", ".join(envelope.rcpt_tos))).encode()
        tmp = os.path.join(self.folder, "." + name)
        with open(tmp, "wb") as f:
            f.write(head + envelope.original_content)
        os.rename(tmp, os.path.join(self.folder, name))
        return "250 Message accepted for delivery"


def authenticator(server, session, envelope, mechanism, auth_data):
    ok = isinstance(auth_data, LoginPassword) and auth_data.login == USER and auth_data.password == PASSWORD
    return AuthResult(success=ok, handled=False)


def main():
    state = sys.argv[1]
    folder = os.path.join(state, "mail")
    os.makedirs(folder, exist_ok=True)
    cert, key = os.path.join(state, "cert.pem"), os.path.join(state, "key.pem")
    subprocess.run(["openssl", "req", "-x509", "-newkey", "rsa:2048", "-nodes", "-keyout", key, "-out", cert,
                    "-days", "30", "-subj", "/CN=127.0.0.1",
                    "-addext", "subjectAltName=IP:127.0.0.1,DNS:localhost"],
                   check=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    tls = ssl.create_default_context(ssl.Purpose.CLIENT_AUTH)
    tls.load_cert_chain(cert, key)

    handler = Handler(folder)
    ports = {"plain": free_port(), "starttls": free_port(), "smtps": free_port()}
    controllers = [
        Controller(handler, hostname="127.0.0.1", port=ports["plain"]),
        Controller(handler, hostname="127.0.0.1", port=ports["starttls"], tls_context=tls, require_starttls=True,
                   authenticator=authenticator, auth_required=True),
        Controller(handler, hostname="127.0.0.1", port=ports["smtps"], ssl_context=tls,
                   authenticator=authenticator, auth_required=True, auth_require_tls=False),
    ]
    for c in controllers:
        c.start()
    with open(os.path.join(state, "env.tmp"), "w") as f:
        f.write("MOLARIX_SMTP_PORT=%d\n" % ports["plain"])
        f.write("MOLARIX_SMTP_STARTTLS_PORT=%d\n" % ports["starttls"])
        f.write("MOLARIX_SMTPS_PORT=%d\n" % ports["smtps"])
        f.write("MOLARIX_SMTP_DIR=%s\n" % folder)
        f.write("MOLARIX_SMTP_CA=%s\n" % cert)
        f.write("MOLARIX_SMTP_USER=%s\n" % USER.decode())
        f.write("MOLARIX_SMTP_PASSWORD=%s\n" % PASSWORD.decode())
    os.rename(os.path.join(state, "env.tmp"), os.path.join(state, "env"))

    stop = threading.Event()
    signal.signal(signal.SIGTERM, lambda *_: stop.set())
    signal.signal(signal.SIGINT, lambda *_: stop.set())
    stop.wait()
    for c in controllers:
        c.stop()


if __name__ == "__main__":
    main()
