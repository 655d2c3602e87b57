#!/usr/bin/env python3
"""A small HTTP/1.1 server for the HTTP client's tests and benchmarks.

    http_test_server.py -- COMMAND [ARGS...]

binds 127.0.0.1 on a port the system picks, runs COMMAND with the port in
the environment variable NORPA_HTTP_TEST_PORT and exits with COMMAND's exit
code. The server lives in this process's threads, so it ends with it
whatever happens to COMMAND or to this process. Without a command it prints
the port and serves until its standard input ends (for trying things by hand).

The server never stalls a client: every socket has a time limit, and each
route answers, closes or keeps sending on its own. Routes (the path's first
segment; any method; a query is ignored):

  /echo          200, the body is the raw request as received (request line,
                 headers, blank line, body)
  /sink          reads the body, 200 with the number of body bytes as text
  /status/NNN    answers with status NNN
  /nul           200, NUL_BODY (more than 1024 bytes, NULs inside)
  /big/N         200, N bytes of PATTERN repeated
  /text/N        200, N bytes of TEXT_PATTERN repeated (no zero byte)
  /slow          200, SLOW_BODY sent in pieces with pauses
  /endless       200 without a length, sent until the client goes away
  /close         reads the request, closes without an answer
  /close-body    reads 64 KiB of the body at most, then resets the connection
  /slow-read     reads the body 16 KiB at a time with pauses, then 200 with
                 the number of body bytes as text
  /truncate/N?path=P  cuts the file at the host path P to N bytes, past
                 the sharing rules of the program that holds it open
  /recorded      200, the count of body bytes the latest request before this
                 one delivered, in decimal, a line feed, then that request raw
                 (its body cut at 1 MiB). Latest by the arrival of its head:
                 a request still being read when this one comes (a cancelled
                 POST the server drains) is waited for, and one that arrived
                 earlier never takes the place of a later one.
"""

import os
import signal
import socket
import socketserver
import subprocess
import sys
import threading
import time
import urllib.parse

SOCKET_TIME_LIMIT = 10.0
PATTERN = bytes((i * 7 + 3) % 256 for i in range(4096))
TEXT_PATTERN = bytes(32 + (i * 7 + 3) % 95 for i in range(4096))
NUL_BODY = bytes(i % 251 for i in range(3000))
SLOW_BODY = bytes((i * 13) % 256 for i in range(5600))
SLOW_PIECE, SLOW_PAUSE = 700, 0.03
SLOW_READ_PIECE, SLOW_READ_PAUSE = 16 * 1024, 0.01
CLOSE_BODY_AFTER = 64 * 1024
RECORD_BODY_LIMIT = 1 << 20

REASONS = {200: "OK", 404: "Not Found", 500: "Internal Server Error"}


class Connection:
    """Buffered reads of one client socket."""

    def __init__(self, sock):
        self.sock = sock
        self.buffer = b""

    def read_head(self):
        """The request line and headers with their blank line; None at the end."""
        while b"\r\n\r\n" not in self.buffer:
            data = self.sock.recv(65536)
            if not data:
                return None
            self.buffer += data
        end = self.buffer.index(b"\r\n\r\n") + 4
        head, self.buffer = self.buffer[:end], self.buffer[end:]
        return head

    def read_some(self, limit):
        if self.buffer:
            data, self.buffer = self.buffer[:limit], self.buffer[limit:]
            return data
        return self.sock.recv(limit)

    def read_body(self, length, keep, piece=65536, pause=0.0):
        """Reads up to length bytes; returns (received count, the first keep bytes)."""
        received, kept = 0, []
        kept_size = 0
        while received < length:
            data = self.read_some(min(piece, length - received))
            if not data:
                break
            received += len(data)
            if kept_size < keep:
                kept.append(data[: keep - kept_size])
                kept_size += len(kept[-1])
            if pause:
                time.sleep(pause)  # the slow reader the route stands for: nothing to wait for
        return received, b"".join(kept)

    def answer(self, status, body, close=False):
        head = "HTTP/1.1 %d %s\r\nContent-Type: application/octet-stream\r\nContent-Length: %d\r\n" % (
            status, REASONS.get(status, "Status"), len(body))
        if close:
            head += "Connection: close\r\n"
        self.sock.sendall(head.encode("ascii") + b"\r\n" + body)


class Handler(socketserver.BaseRequestHandler):
    def handle(self):
        self.request.settimeout(SOCKET_TIME_LIMIT)
        conn = Connection(self.request)
        try:
            while True:
                head = conn.read_head()
                if head is None:
                    return
                if not self.serve(conn, head):
                    return
        except (OSError, ValueError):
            return

    def serve(self, conn, head):
        """Answers one request; False when the connection is to end."""
        lines = head.decode("latin-1").split("\r\n")
        target = lines[0].split(" ")[1] if len(lines[0].split(" ")) > 1 else "/"
        segments = target.split("?")[0].split("#")[0].strip("/").split("/")
        route, arg = segments[0], (segments[1] if len(segments) > 1 else "")
        length = 0
        for line in lines[1:]:
            name, _, value = line.partition(":")
            if name.strip().lower() == "content-length":
                length = int(value.strip())
        seq = self.server.arrived() if route != "recorded" else None

        if route == "close-body":
            received, body = conn.read_body(min(length, CLOSE_BODY_AFTER), CLOSE_BODY_AFTER)
            self.server.record(seq, head + body, received)
            self.request.setsockopt(socket.SOL_SOCKET, socket.SO_LINGER, b"\x01\x00\x00\x00\x00\x00\x00\x00")
            return False
        if route == "slow-read":
            received, body = conn.read_body(length, RECORD_BODY_LIMIT, SLOW_READ_PIECE, SLOW_READ_PAUSE)
        else:
            received, body = conn.read_body(length, RECORD_BODY_LIMIT)
        if seq is not None:
            self.server.record(seq, head + body, received)
        if received < length:
            return False

        if route == "echo":
            conn.answer(200, head + body)
        elif route in ("sink", "slow-read"):
            conn.answer(200, str(received).encode("ascii"))
        elif route == "status":
            conn.answer(int(arg), ("status " + arg).encode("ascii"))
        elif route == "nul":
            conn.answer(200, NUL_BODY)
        elif route == "big":
            self.send_big(int(arg), PATTERN)
        elif route == "text":
            self.send_big(int(arg), TEXT_PATTERN)
        elif route == "slow":
            self.send_slow()
        elif route == "endless":
            self.send_endless()
            return False
        elif route == "close":
            return False
        elif route == "truncate":
            query = urllib.parse.parse_qs(target.partition("?")[2].partition("#")[0])
            os.truncate(query["path"][0], int(arg))
            conn.answer(200, b"")
        elif route == "recorded":
            recorded, count = self.server.latest()
            conn.answer(200, b"%d\n" % count + recorded)
        else:
            conn.answer(404, b"no such route")
        return True

    def send_big(self, size, pattern):
        # One write of head and body: the benchmark measures the client's
        # reading, not this server's pieces.
        body = (pattern * (size // len(pattern) + 1))[:size]
        self.request.sendall(b"HTTP/1.1 200 OK\r\nContent-Length: %d\r\n\r\n" % size + body)

    def send_slow(self):
        self.request.sendall(b"HTTP/1.1 200 OK\r\nContent-Length: %d\r\n\r\n" % len(SLOW_BODY))
        for at in range(0, len(SLOW_BODY), SLOW_PIECE):
            time.sleep(SLOW_PAUSE)  # the slow line the route stands for
            self.request.sendall(SLOW_BODY[at:at + SLOW_PIECE])

    def send_endless(self):
        self.request.sendall(b"HTTP/1.1 200 OK\r\nConnection: close\r\n\r\n")
        block = PATTERN * 16
        while True:
            self.request.sendall(block)


class Server(socketserver.ThreadingTCPServer):
    daemon_threads = True
    allow_reuse_address = True

    # Records kept: the latest few, by arrival.
    KEPT = 64

    def __init__(self):
        super().__init__(("127.0.0.1", 0), Handler)
        self.changed = threading.Condition()
        self.next_seq = 0
        self.records = {}  # arrival number -> (raw, count), None while being read

    def arrived(self):
        """The number of a request whose head just came."""
        with self.changed:
            seq = self.next_seq
            self.next_seq += 1
            self.records[seq] = None
            self.records.pop(seq - self.KEPT, None)
            return seq

    def record(self, seq, raw, received):
        with self.changed:
            if seq in self.records:
                self.records[seq] = (raw, received)
            self.changed.notify_all()

    def latest(self):
        """The latest request's record, once it has been read (at most the
        socket time limit later; empty when none came or it never ended)."""
        with self.changed:
            if not self.records:
                return b"", 0
            seq = max(self.records)
            self.changed.wait_for(lambda: self.records.get(seq) is not None, SOCKET_TIME_LIMIT)
            return self.records.get(seq) or (b"", 0)


def main():
    command = sys.argv[1:]
    if command and command[0] == "--":
        command = command[1:]
    server = Server()
    port = server.server_address[1]
    threading.Thread(target=server.serve_forever, daemon=True).start()
    if not command:
        print(port, flush=True)
        sys.stdin.read()
        return 0

    child = subprocess.Popen(command, env=dict(os.environ, NORPA_HTTP_TEST_PORT=str(port)))

    def stop(signum, frame):
        child.terminate()
        try:
            child.wait(5)
        except subprocess.TimeoutExpired:
            child.kill()
        sys.exit(128 + signum)

    signal.signal(signal.SIGTERM, stop)
    signal.signal(signal.SIGINT, stop)
    return child.wait()


if __name__ == "__main__":
    sys.exit(main())
