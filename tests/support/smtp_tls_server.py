#!/usr/bin/python3
"""A loopback mail server for the tests: STARTTLS (or TLS from the start) with
AUTH LOGIN/PLAIN for one user. Writes each message received to OUT and prints
"ready PORT" once it accepts connections."""
import argparse
import socket
import ssl
import sys
import time

from aiosmtpd.controller import Controller
from aiosmtpd.smtp import AuthResult, LoginPassword


class Handler:
    def __init__(self, out):
        self.out = out

    async def handle_DATA(self, server, session, envelope):
        with open(self.out, "wb") as f:
            f.write(b"FROM " + envelope.mail_from.encode() + b"\n")
            for rcpt in envelope.rcpt_tos:
                f.write(b"TO " + rcpt.encode() + b"\n")
            f.write(envelope.original_content or envelope.content)
        return "250 Message accepted"


def main():
    p = argparse.ArgumentParser()
    p.add_argument("--out", required=True)
    p.add_argument("--cert", required=True)
    p.add_argument("--key", required=True)
    p.add_argument("--implicit-tls", action="store_true")
    p.add_argument("--user", default="user")
    p.add_argument("--password", default="secret")
    a = p.parse_args()

    def authenticator(server, session, envelope, mechanism, auth_data):
        ok = (isinstance(auth_data, LoginPassword) and auth_data.login == a.user.encode()
              and auth_data.password == a.password.encode())
        return AuthResult(success=ok, handled=False)

    s = socket.socket()
    s.bind(("127.0.0.1", 0))
    port = s.getsockname()[1]
    s.close()
    ctx = ssl.create_default_context(ssl.Purpose.CLIENT_AUTH)
    ctx.load_cert_chain(a.cert, a.key)
    kwargs = dict(hostname="127.0.0.1", port=port, authenticator=authenticator,
                  auth_required=True, auth_require_tls=True)
    if a.implicit_tls:
        kwargs["ssl_context"] = ctx
        kwargs["server_hostname"] = "localhost"
    else:
        kwargs["tls_context"] = ctx
        kwargs["require_starttls"] = True
    controller = Controller(Handler(a.out), **kwargs)
    controller.start()
    print("ready %d" % port, flush=True)
    try:
        sys.stdin.read()  # runs until the test closes our standard input
    finally:
        controller.stop()


if __name__ == "__main__":
    main()
