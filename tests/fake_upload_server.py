#!/usr/bin/env python3
"""A stand-in for the product's upload server, for the tests only.

It listens on 127.0.0.1 at a port the system picks (written to --port-file)
and serves both as the server itself and as the HTTP proxy in front of it:
the programs under test reach it through the proxy setting of WinINet
(http_proxy), so their requests name the real host as an absolute URI
("GET http://upload.norpasoft.com/api/config.xml HTTP/1.1"). Origin-form
requests ("GET /api/config.xml") are served the same way. Addresses on
127.0.0.1 bypass the proxy (no_proxy), so an entry there is a real
connection.

Routes:
  GET  /api/config.xml          the configuration of the current scenario
  POST /api/upload/<scenario>   the upload entry; the configuration names
                                 the current scenario in its path
  GET  /_test/scenario/<name>   makes name the current scenario and forgets
                                 the last POST; answers "ok"
  GET  /_test/last              what the last POST carried (see record()),
                                 recorded once its body has ended, and
                                 "hellos N": the connections the silent
                                 TLS port has taken a hello from since the
                                 scenario was set
  GET  /_test/release           lets the configuration of "held_config" go
                                 (before or while it is asked for); "ok"

Scenarios (the default is "ok"): see CONFIGS and the POST handlers below;
those that keep the client waiting for good (tls_silent: the entry is a
port that never answers the TLS hello; one_header, endless_headers,
slow_headers: the POST's answer) are hostile_answers.py's.

The product's web site (the version document) is served too, by
fake_web_site.py.
"""

import argparse
import http.server
import os
import socket
import struct
import sys
import threading
import time
import urllib.parse
import zlib

import fake_web_site
import hostile_answers

STATE = {"scenario": "ok", "last": "none\n", "redirects": 0, "hellos": 0}
# Redirects of a loop answered before the loop gives up (with 500), so that
# a client that follows them for ever still ends.
LOOP_LIMIT = 50
# The longest a silent scenario keeps a connection without a word.
SILENCE = 60
# Bytes a second the "steady" scenario reads of a POST's body.
STEADY_RATE = 8192
# The port where TLS hellos go unanswered (hostile_answers.py), once listening.
TLS_PORT = [0]
LOCK = threading.Lock()
# Set by /_test/release, cleared with each scenario: the "held_config"
# configuration waits for it, so that a test acts surely while it is
# fetched; for HOLD_LIMIT seconds at most, so that the server never stalls.
RELEASED = threading.Event()
HOLD_LIMIT = 20

OK_ANSWER = (
    '<?xml version="1.0" encoding="UTF-8"?>\n'
    "<rsp><result code=\"0\"/><content>"
    '<url title="图片地址">http://img.norpasoft.com/p/7f3a.png</url>'
    '<url title="网页地址">https://www.norpasoft.com/v/7f3a</url>'
    "</content></rsp>"
).encode("utf-8")

UNSAFE_ANSWER = (
    "<rsp><result code=\"0\"/><content>"
    '<url title="文件">file:///C:/windows/system32/calc.exe</url>'
    '<url title="脚本">javascript:alert(1)</url>'
    '<url title="换行">http://img.norpasoft.com/a&#13;&#10;Set-Cookie: x</url>'
    '<url title="安全">https://img.norpasoft.com/p/safe</url>'
    "</content></rsp>"
).encode("utf-8")


def hundred_answer():
    urls = "".join('<url title="第%d页">http://img.norpasoft.com/p/%03d</url>' % (n, n) for n in range(1, 101))
    return ("<rsp><result code=\"0\"/><content>%s</content></rsp>" % urls).encode("utf-8")


# POST scenarios whose answer is a fixed document with status 200.
ANSWERS = {
    "ok": OK_ANSWER,
    "result3": '<rsp><result code="3">图片格式不被接受</result></rsp>'.encode("utf-8"),
    "no_content": b'<rsp><result code="0"/></rsp>',
    "empty_list": b'<rsp><result code="0"/><content></content></rsp>',
    # Whole up to the NUL; what follows would not parse.
    "nul": OK_ANSWER + b"\0<broken",
    "hundred": hundred_answer(),
    "unsafe": UNSAFE_ANSWER,
    "slow": OK_ANSWER,
    "steady": OK_ANSWER,
}


def closed_port():
    """A port nothing listens on: bound, then let go."""
    probe = socket.socket()
    probe.bind(("127.0.0.1", 0))
    port = probe.getsockname()[1]
    probe.close()
    return port


def config_for(scenario, host):
    """(status, body) of the configuration document for scenario."""
    entry = "http://%s/api/upload/%s" % (host, scenario)
    if scenario == "config500":
        return 500, b"<error>down</error>"
    if scenario == "config_not_xml":
        return 200, b"this is <not xml"
    if scenario == "entry_missing":
        return 200, b"<config><limit size=\"100000000\"/><other><entry>http://x/</entry></other></config>"
    if scenario == "entry_empty":
        return 200, b"<config><entry></entry></config>"
    if scenario == "size_limit_100":
        return 200, ("<config><LIMIT SIZE=\"100\"/><entry>%s</entry></config>" % entry).encode()
    if scenario == "pixel_negative":
        return 200, ("<config><limit pixel=\"-1\"/><entry>%s</entry></config>" % entry).encode()
    if scenario == "entry_refused":
        return 200, ("<config><entry>http://127.0.0.1:%d/api/upload/ok</entry></config>" % closed_port()).encode()
    if scenario == "tls_silent":
        # Reached directly (no_proxy), where the TLS hello is never answered.
        return 200, ("<config><entry>https://127.0.0.1:%d/api/upload/ok</entry></config>" % TLS_PORT[0]).encode()
    return 200, ('<?xml version="1.0"?>\n<config><entry>%s</entry></config>' % entry).encode()


def parse_multipart(body, content_type):
    """The parts of a multipart/form-data body, each (headers, data); raises
    ValueError on any deviation from the exact wire format."""
    marker = "boundary="
    if not content_type.startswith("multipart/form-data; ") or marker not in content_type:
        raise ValueError("content type %r" % content_type)
    boundary = content_type.split(marker, 1)[1].encode("latin-1")
    opening = b"--" + boundary + b"\r\n"
    closing = b"\r\n--" + boundary + b"--\r\n"
    if body == closing:
        return []
    if not body.startswith(opening) or not body.endswith(closing):
        raise ValueError("body does not open or close with the boundary")
    inner = body[len(opening):-len(closing)]
    parts = []
    for chunk in inner.split(b"\r\n--" + boundary + b"\r\n"):
        head, sep, data = chunk.partition(b"\r\n\r\n")
        if not sep:
            raise ValueError("part without header end")
        headers = {}
        for line in head.split(b"\r\n"):
            name, colon, value = line.decode("utf-8").partition(": ")
            if not colon:
                raise ValueError("header line %r" % line)
            headers[name.lower()] = value
        parts.append((headers, data))
    return parts


def disposition(headers):
    """name and filename (None when absent) of a part."""
    text = headers.get("content-disposition", "")
    if not text.startswith("form-data; "):
        raise ValueError("disposition %r" % text)
    fields = {}
    for item in text[len("form-data; "):].split("; "):
        key, _, value = item.partition("=")
        if not (value.startswith('"') and value.endswith('"')):
            raise ValueError("field %r" % item)
        fields[key] = value[1:-1]
    return fields.get("name"), fields.get("filename")


def record(handler, body):
    """What a POST carried, one fact per line, texts in hex (UTF-8):
    agent, language and one "part" line per part in body order:
    part <name hex> <filename hex or -> <type or -> <length> <crc32>
    <data hex when the part is a text field, else ->."""
    lines = [
        "body %d %s" % (len(body), handler.headers.get("Content-Length", "0")),
        "agent %s" % handler.headers.get("User-Agent", "").encode("utf-8").hex(),
        "language %s" % handler.headers.get("Accept-Language", "").encode("utf-8").hex(),
    ]
    for headers, data in parse_multipart(body, handler.headers.get("Content-Type", "")):
        name, filename = disposition(headers)
        lines.append("part %s %s %s %d %08x %s" % (
            name.encode("utf-8").hex(),
            "-" if filename is None else filename.encode("utf-8").hex(),
            headers.get("content-type", "-"),
            len(data),
            zlib.crc32(data) & 0xFFFFFFFF,
            "-" if filename is not None else data.hex(),
        ))
    return "\n".join(lines) + "\n"


class Handler(http.server.BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.1"
    # A request that stalls ends its connection instead of a thread.
    timeout = 30

    def log_message(self, fmt, *args):
        pass

    def route(self):
        return urllib.parse.urlsplit(self.path).path

    def reply(self, status, body, content_type="text/xml; charset=utf-8"):
        self.send_response(status)
        self.send_header("Content-Type", content_type)
        self.send_header("Content-Length", str(len(body)))
        self.end_headers()
        self.wfile.write(body)

    def do_GET(self):
        path = self.route()
        if fake_web_site.serves(path):
            fake_web_site.serve(self, path)
            return
        if path.startswith("/_test/scenario/"):
            with LOCK:
                STATE["scenario"] = path[len("/_test/scenario/"):]
                STATE["last"] = "none\n"
                STATE["redirects"] = 0
                STATE["hellos"] = hostile_answers.hellos()
            RELEASED.clear()
            self.reply(200, b"ok", "text/plain")
        elif path == "/_test/release":
            RELEASED.set()
            self.reply(200, b"ok", "text/plain")
        elif path == "/_test/last":
            with LOCK:
                last = STATE["last"] + "hellos %d\n" % (hostile_answers.hellos() - STATE["hellos"])
            self.reply(200, last.encode(), "text/plain")
        elif path == "/api/config.xml":
            with LOCK:
                scenario = STATE["scenario"]
            if scenario == "held_config":
                RELEASED.wait(HOLD_LIMIT)
            if scenario == "silent":
                self.keep_silent()
                return
            status, body = config_for(scenario, self.headers.get("Host", "localhost"))
            self.reply(status, body)
        elif path == "/api/upload/redirect_loop":
            self.redirect_to_itself()
        else:
            self.reply(404, b"<error>no such page</error>")

    def read_body(self, scenario):
        length = int(self.headers.get("Content-Length", "0"))
        # A server on a slow line: 32 KiB at a time, 50 ms apart; or one
        # that takes the body at a slow steady rate (1 KiB at a time, at
        # STEADY_RATE bytes a second), so that most of it waits in the
        # system's buffers once the client has handed it over.
        piece, pause = {"slow": (32768, 0.05), "steady": (1024, 1024 / STEADY_RATE)}.get(scenario, (length, 0))
        pieces = []
        while length > 0:
            data = self.rfile.read(min(length, piece))
            if not data:
                break
            pieces.append(data)
            length -= len(data)
            time.sleep(pause)  # the slow line is the scenario: nothing to wait for
        return b"".join(pieces)

    def send_endless(self):
        """An answer without a length that never ends: it goes on until the
        client goes away."""
        self.close_connection = True
        self.wfile.write(b"HTTP/1.1 200 OK\r\nContent-Type: text/xml\r\nConnection: close\r\n\r\n<rsp>")
        block = b"<url>http://img.norpasoft.com/p/0</url>" * 1024
        while True:
            self.wfile.write(block)

    def keep_silent(self):
        """Takes the request and says nothing until the client goes away
        (or SILENCE seconds pass)."""
        self.close_connection = True
        self.connection.settimeout(SILENCE)
        try:
            while self.connection.recv(4096):
                pass
        except OSError:
            pass

    def redirect_to_itself(self):
        """302 to the address asked for, up to LOOP_LIMIT times in a row."""
        with LOCK:
            STATE["redirects"] += 1
            looping = STATE["redirects"] <= LOOP_LIMIT
        if not looping:
            self.reply(500, b"<error>loop</error>")
            return
        self.send_response(302)
        self.send_header("Location", "http://%s%s" % (self.headers.get("Host", "localhost"), self.route()))
        self.send_header("Content-Length", "0")
        self.end_headers()

    def drop(self):
        """Ends the connection at once with a reset, unread bytes left."""
        self.connection.setsockopt(socket.SOL_SOCKET, socket.SO_LINGER, struct.pack("ii", 1, 0))
        self.connection.close()
        self.close_connection = True

    def do_POST(self):
        path = self.route()
        if not path.startswith("/api/upload/"):
            self.reply(404, b"<error>no such page</error>")
            return
        scenario = path[len("/api/upload/"):]
        if scenario == "dropped":
            # Half-way through the body (at most 64 KiB into it), whatever
            # its size: the client is still sending.
            self.rfile.read(min(int(self.headers.get("Content-Length", "0")) // 2, 65536))
            self.drop()
            return
        body = self.read_body(scenario)
        try:
            last = record(self, body)
        except ValueError as error:
            # The bytes that came, also of a body the client cut off.
            last = "body %d %s\nmalformed %s\n" % (
                len(body), self.headers.get("Content-Length", "0"), str(error).encode("utf-8").hex())
        with LOCK:
            STATE["last"] = last
        if scenario == "post500":
            self.reply(500, b"<error>down</error>")
        elif scenario == "mute":
            self.keep_silent()
        elif scenario == "redirect_loop":
            self.redirect_to_itself()

        elif scenario == "endless":
            self.send_endless()
        elif scenario in hostile_answers.KINDS:
            hostile_answers.stall(self, scenario)
        else:
            self.reply(200, ANSWERS.get(scenario, OK_ANSWER))


class Server(http.server.ThreadingHTTPServer):
    daemon_threads = True

    def handle_error(self, request, client_address):
        # A client that cancels or a scenario that drops the connection
        # is expected here; anything else is reported as usual.
        if not isinstance(sys.exc_info()[1], ConnectionError):
            super().handle_error(request, client_address)


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--port-file", required=True)
    args = parser.parse_args()
    server = Server(("127.0.0.1", 0), Handler)
    TLS_PORT[0] = hostile_answers.start_silent_tls()
    fake_web_site.TLS_PORT = TLS_PORT[0]
    temporary = args.port_file + ".part"
    with open(temporary, "w") as out:
        out.write("%d\n" % server.server_address[1])
    os.replace(temporary, args.port_file)
    server.serve_forever()


if __name__ == "__main__":
    main()
