"""A throw-away FTP server on 127.0.0.1 for the session tests.

Usage: ftpserver.py ROOT [LIFETIME_SECONDS [events]]

Serves ROOT with three users (see USERS), listens on a free port and prints "PORT <n>" on a line
of its own once it accepts connections. It stops by itself when its standard input closes (the
test that started it ended, however it ended) or when LIFETIME_SECONDS have passed.

With "events" it also prints a line for every login ("LOGIN <user>"), every logout that the
client asked for ("LOGOUT <user>") and every upload ("RECEIVED <path>" or "INCOMPLETE <path>"),
so a test can count what the server saw.
"""

import logging
import os
import select
import sys
import time

from pyftpdlib.authorizers import DummyAuthorizer
from pyftpdlib.handlers import FTPHandler
from pyftpdlib.servers import FTPServer

# user, password, permissions ("elr" = list and read only)
USERS = [
    ("alice", "secret", "elradfmwMT"),
    ("bob", "p@ss w:rd/x", "elradfmwMT"),
    ("reader", "readonly", "elr"),
]


def event(text):
    sys.stdout.write(text + "\n")
    sys.stdout.flush()


class EventHandler(FTPHandler):
    def on_login(self, username):
        event("LOGIN " + username)

    def on_logout(self, username):
        event("LOGOUT " + username)

    def on_file_received(self, file):
        event("RECEIVED " + file)

    def on_incomplete_file_received(self, file):
        event("INCOMPLETE " + file)


def main():
    root = sys.argv[1]
    lifetime = float(sys.argv[2]) if len(sys.argv) > 2 else 60.0
    events = len(sys.argv) > 3 and sys.argv[3] == "events"
    logging.disable(logging.INFO)  # the tests read the session, not the server's log
    authorizer = DummyAuthorizer()
    for user, password, perm in USERS:
        authorizer.add_user(user, password, root, perm=perm)
    handler = EventHandler if events else FTPHandler
    handler.authorizer = authorizer
    handler.auth_failed_timeout = 0.1  # the default 3 s delay would only slow the tests down
    handler.passive_ports = None
    server = FTPServer(("127.0.0.1", 0), handler)
    sys.stdout.write("PORT %d\n" % server.address[1])
    sys.stdout.flush()
    deadline = time.monotonic() + lifetime
    stdin = sys.stdin.fileno()
    try:
        while time.monotonic() < deadline:
            server.ioloop.loop(0.05, blocking=False)
            ready, _, _ = select.select([stdin], [], [], 0)
            if ready and not os.read(stdin, 4096):
                break
    finally:
        server.close_all()


if __name__ == "__main__":
    main()
