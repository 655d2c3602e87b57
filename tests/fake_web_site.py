"""The product's web site as the version check sees it, for the tests only.

fake_upload_server.py serves these routes beside its own (whatever host a
request names), so the one stand-in behind WinINet's proxy setting answers
for both of the product's servers:

  GET /norpa.xml             the version document: the answer the test set,
                             only for the site's host (any other host: 404)
  GET /_test/site/answer?status=N&body=HEX&delay=S&pace=S&endless=E&stall=K
                             sets that answer: status N, body bytes HEX,
                             the status line after S seconds, the body in
                             pieces of PIECE bytes, S seconds apart
                             (defaults 200, empty, 0, 0); with E=1 the
                             body is HEX over and over, as fast as the
                             client takes it, under a length of a terabyte;
                             with K, none of that but a wait for good: a
                             kind of hostile_answers.stall, or "tls", a
                             redirect to the port where the TLS hello goes
                             unanswered (reached directly, no_proxy);
                             forgets the last request; answers "ok"
  GET /_test/site/last       the last version request, one fact per line:
                             its name, a blank, "x" and its text in hex
                             (UTF-8); the facts are host, path, agent,
                             language, state (asked, sending, done, cut
                             when the client went away before the end, or
                             stalled), sent and total (body bytes), and
                             hellos: the TLS hellos that went unanswered
                             since the answer was set; nothing else before
                             any request
  GET /_test/site/closed     a proxy address on 127.0.0.1 where nothing
                             listens (bound, then let go)
"""

import socket
import threading
import time
import urllib.parse

import hostile_answers

SITE_HOST = "www.norpasoft.com"
PIECE = 1024

_LOCK = threading.Lock()
_ANSWER = {"status": 200, "body": b"", "delay": 0.0, "pace": 0.0, "endless": False, "stall": ""}
# The port where TLS hellos go unanswered; set by the server that serves the site.
TLS_PORT = 0
# hostile_answers.hellos() when the answer was set.
_HELLOS_BEFORE = [0]
ENDLESS_LENGTH = 1 << 40
_LAST = {}


def serves(path):
    return path == "/norpa.xml" or path.startswith("/_test/site/")


def _record(**facts):
    with _LOCK:
        _LAST.update(facts)


def _last_text():
    with _LOCK:
        facts = dict(_LAST)
        if facts:
            facts["hellos"] = hostile_answers.hellos() - _HELLOS_BEFORE[0]
    # "x" first, so that an empty text is still a word.
    return "".join("%s x%s\n" % (key, str(value).encode("utf-8").hex()) for key, value in facts.items())


def _set_answer(query):
    fields = urllib.parse.parse_qs(query)
    with _LOCK:
        _ANSWER["status"] = int(fields.get("status", ["200"])[0])
        _ANSWER["body"] = bytes.fromhex(fields.get("body", [""])[0])
        _ANSWER["delay"] = float(fields.get("delay", ["0"])[0])
        _ANSWER["pace"] = float(fields.get("pace", ["0"])[0])
        _ANSWER["endless"] = fields.get("endless", ["0"])[0] == "1"
        _ANSWER["stall"] = fields.get("stall", [""])[0]
        _LAST.clear()
        _HELLOS_BEFORE[0] = hostile_answers.hellos()


def _plain(handler, status, body):
    handler.send_response(status)
    handler.send_header("Content-Type", "text/plain")
    handler.send_header("Content-Length", str(len(body)))
    handler.end_headers()
    handler.wfile.write(body)


def _version_document(handler, host, path):
    with _LOCK:
        answer = dict(_ANSWER)
    body = answer["body"] if host == SITE_HOST else b"<error>no such page</error>"
    status = answer["status"] if host == SITE_HOST else 404
    _record(host=host, path=path, agent=handler.headers.get("User-Agent", ""),
            language=handler.headers.get("Accept-Language", ""), state="asked", sent=0, total=len(body))
    if answer["stall"] == "tls":
        _record(state="stalled")
        handler.send_response(302)
        handler.send_header("Location", "https://127.0.0.1:%d/norpa.xml" % TLS_PORT)
        handler.send_header("Content-Length", "0")
        handler.end_headers()
        return
    if answer["stall"]:
        _record(state="stalled")
        hostile_answers.stall(handler, answer["stall"])
        return
    time.sleep(answer["delay"])  # the slow site the test asked for: nothing to wait for
    sent = 0
    try:
        handler.send_response(status)
        handler.send_header("Content-Type", "text/xml; charset=utf-8")
        handler.send_header("Content-Length", str(ENDLESS_LENGTH if answer["endless"] else len(body)))
        handler.end_headers()
        handler.wfile.flush()
        while answer["endless"] and body:
            handler.wfile.write(body)
            sent += len(body)
            _record(state="sending", sent=sent)
        while sent < len(body):
            if answer["pace"] and sent:
                time.sleep(answer["pace"])  # the slow line the test asked for
            piece = body[sent:sent + PIECE] if answer["pace"] else body[sent:]
            handler.wfile.write(piece)
            handler.wfile.flush()
            sent += len(piece)
            _record(state="sending", sent=sent)
    except (BrokenPipeError, ConnectionResetError):
        _record(state="cut", sent=sent)
        handler.close_connection = True
        return
    _record(state="done", sent=sent)


def serve(handler, path):
    """Answers a GET whose path serves() accepted."""
    parts = urllib.parse.urlsplit(handler.path)
    if path == "/_test/site/answer":
        _set_answer(parts.query)
        _plain(handler, 200, b"ok")
    elif path == "/_test/site/last":
        _plain(handler, 200, _last_text().encode())
    elif path == "/_test/site/closed":
        probe = socket.socket()
        probe.bind(("127.0.0.1", 0))
        port = probe.getsockname()[1]
        probe.close()
        _plain(handler, 200, ("http://127.0.0.1:%d" % port).encode())
    elif path == "/norpa.xml":
        # The proxy form names the host (and maybe the port) in the request
        # line; the origin form only in the Host header.
        host = urllib.parse.urlsplit("//" + (parts.netloc or handler.headers.get("Host", ""))).hostname or ""
        _version_document(handler, host, path)
    else:
        _plain(handler, 404, b"no such page")
