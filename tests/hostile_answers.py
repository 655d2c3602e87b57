"""Servers that keep a client waiting for good, for the tests only: the
stand-ins (fake_upload_server.py, fake_web_site.py) answer with them in
their hostile scenarios.

  start_silent_tls()  listens on a port on 127.0.0.1 that takes every
                      connection, reads what comes (a TLS hello) and never
                      answers; returns the port
  hellos()            how many of its connections have sent something
  stall(handler, kind)
                      answers the request of handler (an
                      http.server.BaseHTTPRequestHandler) with kind:
      "one_header"      a status line and one header, then nothing
      "endless_headers" a status line, then header lines without end, as
                        fast as the client takes them
      "slow_headers"    a status line, then header bytes without end, one
                        a second
                      Each ends when the client goes away (one_header after
                      SILENCE seconds at the latest).
"""

import socket
import threading
import time

KINDS = ("one_header", "endless_headers", "slow_headers")
SILENCE = 60

_LOCK = threading.Lock()
_HELLOS = [0]


def hellos():
    with _LOCK:
        return _HELLOS[0]


def _take_hello(connection):
    counted = False
    try:
        connection.settimeout(SILENCE)
        while True:
            data = connection.recv(4096)
            if not data:
                return
            if not counted:
                counted = True
                with _LOCK:
                    _HELLOS[0] += 1
    except OSError:
        pass
    finally:
        connection.close()


def _accept(listener):
    while True:
        connection, _ = listener.accept()
        threading.Thread(target=_take_hello, args=(connection,), daemon=True).start()


def start_silent_tls():
    listener = socket.socket()
    listener.bind(("127.0.0.1", 0))
    listener.listen(16)
    threading.Thread(target=_accept, args=(listener,), daemon=True).start()
    return listener.getsockname()[1]


def stall(handler, kind):
    handler.close_connection = True
    out = handler.connection
    try:
        out.sendall(b"HTTP/1.1 200 OK\r\n")
        if kind == "one_header":
            out.sendall(b"Content-Type: text/xml\r\n")
            out.settimeout(SILENCE)
            while out.recv(4096):
                pass
        elif kind == "endless_headers":
            line = b"X-Filler: 0\r\n"
            while True:
                out.sendall(line)
        else:
            while True:
                out.sendall(b"X")
                time.sleep(1)  # one byte a second is the scenario: nothing to wait for
    except OSError:
        pass
