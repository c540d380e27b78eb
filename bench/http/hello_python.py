"""The dynamic page of bench/http/run.py in Python: GET /hello/NAME?q=TEXT, answered by
http.server (`stdlib`) or by Flask's development server (`flask`, Debian's python3-flask).

Usage: hello_python.py stdlib|flask PORT"""
import sys
from http.server import BaseHTTPRequestHandler, ThreadingHTTPServer
from urllib.parse import parse_qs, unquote, urlsplit


def page(name, q):
    return (f"<!DOCTYPE html>\n<title>Hello</title>\n<p>Hello, {name}! You asked for {q}.</p>\n")


class Hello(BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.1"  # keep-alive
    # The headers and the body go out in two writes: without this, the second waits for the
    # client's delayed acknowledgement of the first on a kept-alive connection (40 ms).
    disable_nagle_algorithm = True

    def do_GET(self):
        parts = urlsplit(self.path)
        if not parts.path.startswith("/hello/") or "/" in parts.path[7:]:
            self.send_error(404)
            return
        query = parse_qs(parts.query)
        body = page(unquote(parts.path[7:]), query.get("q", [""])[-1]).encode()
        self.send_response(200)
        self.send_header("Content-Type", "text/html; charset=utf-8")
        self.send_header("Content-Length", str(len(body)))
        if self.request_version == "HTTP/1.0" and not self.close_connection:
            self.send_header("Connection", "keep-alive")  # as HTTP/1.0 clients (ab) need
        self.end_headers()
        self.wfile.write(body)

    def log_message(self, *args):  # no line per request, as the other servers
        pass


class Server(ThreadingHTTPServer):
    request_queue_size = 128  # as Werkzeug's and Vormel's listen backlog (the default is 5)


def serve_flask(port):
    import logging
    from flask import Flask, request
    logging.getLogger("werkzeug").setLevel(logging.ERROR)
    app = Flask(__name__)

    @app.get("/hello/<name>")
    def hello(name):
        return page(name, request.args.get("q", ""))

    app.run(host="127.0.0.1", port=port)


if __name__ == "__main__":
    kind, port = sys.argv[1], int(sys.argv[2])
    if kind == "flask":
        serve_flask(port)
    else:
        Server(("127.0.0.1", port), Hello).serve_forever()
