#!/usr/bin/env python3
"""The web module's server with real clients: curl for each feature, raw sockets for
malformed, oversized and slow requests, http.client for keep-alive.

Usage: web_test.py VORMEL_BINARY"""
import http.client
import json
import os
import socket
import subprocess
import sys
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from http_test_support import (ScriptServer, ServerTestCase, Workspace, connect,  # noqa: E402
                               read_to_close)

VORMEL = None

SITE = r'''use web
use dict
def hello(req) { return "hi " + req["params"]["name"] + " q=" + req["query"]["q"] }
def echo(req) {
  return web.json({method: req["method"], path: req["path"], json: req["json"], form: req["form"],
                   body: req["body"], agent: req["headers"]["x-test"]}, 201)
}
def custom(req) { return {status: 202, body: "made", type: "text/plain", headers: dict.set({}, "X-Kind", "custom")} }
def inject(req) { return {body: "x", headers: dict.set({}, "X-A", "a\r\nSet-Cookie: evil=1")} }
def boom(req) { return 1 / 0 }
def nothing(req) { return 3 }
web.get("/hello/:name", hello)
web.route("/echo/:id", echo)
web.put("/custom", custom)
web.delete("/custom", custom)
web.get("/inject", inject)
web.get("/boom", boom)
web.get("/nothing", nothing)
web.serve(0)
'''


def curl(port, path, *options):
    """(status, headers text, body) of one curl request."""
    done = subprocess.run(["curl", "-s", "-i", "--max-time", "10", *options,
                           f"http://127.0.0.1:{port}{path}"], capture_output=True, timeout=20)
    head, _, body = done.stdout.partition(b"\r\n\r\n")
    status = int(head.split(b" ")[1])
    return status, head.decode("latin-1"), body


def raw(port, request):
    with connect(port) as s:
        s.sendall(request)
        return read_to_close(s)


class WebTest(ServerTestCase):
    @classmethod
    def start_server(cls, workspace):
        return ScriptServer(VORMEL, workspace, SITE)

    def test_params_query_and_plain_text(self):
        status, head, body = curl(self.port, "/hello/J%C3%BCrg?q=a+b%26c")
        self.assertEqual((status, body), (200, "hi Jürg q=a b&c".encode()))
        self.assertIn("Content-Type: text/html; charset=utf-8", head)

    def test_json_form_and_chunked_bodies_reach_the_handler(self):
        status, head, body = curl(self.port, "/echo/7", "-H", "Content-Type: application/json",
                                  "-H", "X-Test: yes", "-d", '{"a": [1, 2.5, null]}')
        self.assertEqual(status, 201)
        self.assertIn("Content-Type: application/json", head)
        self.assertEqual(json.loads(body), {"method": "POST", "path": "/echo/7",
                                            "json": {"a": [1, 2.5, None]}, "form": {},
                                            "body": '{"a": [1, 2.5, null]}', "agent": "yes"})
        _, _, body = curl(self.port, "/echo/7", "-d", "x=1&name=%C3%A9+e&x=2", "-H", "X-Test: f")
        self.assertEqual(json.loads(body)["form"], {"x": "2", "name": "é e"})
        self.assertIsNone(json.loads(body)["json"])
        _, _, body = curl(self.port, "/echo/7", "-X", "PATCH", "-H", "X-Test: c",
                          "-H", "Transfer-Encoding: chunked", "--data-binary", "chunked text")
        self.assertEqual(json.loads(body)["body"], "chunked text")
        self.assertEqual(json.loads(body)["method"], "PATCH")

    def test_dict_responses_and_the_statuses_the_server_gives(self):
        status, head, body = curl(self.port, "/custom", "-X", "PUT")
        self.assertEqual((status, body), (202, b"made"))
        self.assertIn("Content-Type: text/plain\r\n", head)
        self.assertIn("\r\nX-Kind: custom", head)
        self.assertEqual(curl(self.port, "/nowhere")[0], 404)
        self.assertEqual(curl(self.port, "/hello/a/b")[0], 404)
        status, head, _ = curl(self.port, "/custom")
        self.assertEqual(status, 405)
        self.assertIn("\r\nAllow: PUT, DELETE", head)
        bad_json = curl(self.port, "/echo/1", "-H", "Content-Type: application/json", "-d", "{x")
        self.assertEqual(bad_json[0], 400)

    def test_failing_handlers_give_500_and_an_error_line(self):
        for path in ("/boom", "/nothing", "/inject"):
            status, head, body = curl(self.port, path)
            self.assertEqual(status, 500, path)
            self.assertNotIn("evil", head)
        err = b""
        while err.count(b"web: the handler") < 3:
            err += os.read(self.server.process.stderr.fileno(), 65536)
        self.assertIn(b"web: the handler for GET /boom failed: ", err)
        self.assertIn(b"web: the handler for GET /nothing returned number", err)
        self.assertIn(b"web: the handler for GET /inject set a header with a line break", err)

    def test_malformed_and_oversized_requests(self):
        self.assertTrue(raw(self.port, b"NONSENSE\r\n\r\n").startswith(b"HTTP/1.1 400 "))
        self.assertTrue(raw(self.port, b"GET /hello/x HTTP/1.1\r\nHost\r\n\r\n")
                        .startswith(b"HTTP/1.1 400 "))
        big_header = b"GET / HTTP/1.1\r\nX-Big: " + b"a" * 17000 + b"\r\n\r\n"
        self.assertTrue(raw(self.port, big_header).startswith(b"HTTP/1.1 431 "))
        declared = b"POST /echo/1 HTTP/1.1\r\nContent-Length: 1048577\r\n\r\n"
        self.assertTrue(raw(self.port, declared).startswith(b"HTTP/1.1 413 "))
        chunk = b"100000\r\n" + b"a" * 0x100000 + b"\r\n"
        chunked = (b"POST /echo/1 HTTP/1.1\r\nTransfer-Encoding: chunked\r\n\r\n" + chunk +
                   b"1\r\nb\r\n0\r\n\r\n")
        self.assertTrue(raw(self.port, chunked).startswith(b"HTTP/1.1 413 "))
        not_utf8 = b"GET /hello/%FF?q=1 HTTP/1.1\r\n\r\n"
        self.assertTrue(raw(self.port, not_utf8).startswith(b"HTTP/1.1 400 "))

    def test_a_slow_client_is_closed_without_an_answer(self):
        with connect(self.port) as s:
            s.sendall(b"GET /hello/x?q=1 HTTP/1.1\r\nHost: a\r\n")
            self.assertEqual(read_to_close(s), b"")  # the request wait ends it
        # The server still answers others.
        self.assertEqual(curl(self.port, "/hello/y?q=2")[2], b"hi y q=2")

    def test_keep_alive_and_pipelining(self):
        client = http.client.HTTPConnection("127.0.0.1", self.port, timeout=10)
        client.request("GET", "/hello/a?q=1")
        first = client.getresponse()
        self.assertEqual(first.read(), b"hi a q=1")
        sock = client.sock
        client.request("POST", "/echo/2", body='[1]', headers={"Content-Type": "application/json", "X-Test": "k"})
        second = client.getresponse()
        self.assertEqual(json.loads(second.read())["json"], [1])
        self.assertIs(client.sock, sock)  # the same connection served both
        client.close()
        pipelined = raw(self.port, b"GET /hello/p?q=1 HTTP/1.1\r\n\r\n"
                        b"GET /hello/q?q=2 HTTP/1.1\r\nConnection: close\r\n\r\n")
        self.assertEqual(pipelined.count(b"HTTP/1.1 200 OK"), 2)
        self.assertTrue(pipelined.endswith(b"hi q q=2"))
        with connect(self.port) as s:  # HTTP/1.0 keep-alive is said in each response
            for name in (b"r", b"s"):
                s.sendall(b"GET /hello/" + name + b"?q=1 HTTP/1.0\r\nConnection: keep-alive\r\n\r\n")
                reply = b""
                while not reply.endswith(b"hi " + name + b" q=1"):
                    reply += s.recv(65536)
                self.assertIn(b"\r\nConnection: keep-alive\r\n", reply)


class WebServeArgumentsTest(unittest.TestCase):
    def test_host_and_bind_failures_are_errors(self):
        from http_test_support import run_script
        workspace = Workspace()
        taken = socket.socket()
        try:
            taken.bind(("127.0.0.1", 0))
            taken.listen()
            port = taken.getsockname()[1]
            out, err, status = run_script(
                VORMEL, workspace,
                f'use web\nprint(web.serve(0, "example.org"))\nprint(web.serve({port}))\n')
            out += err
            self.assertIn(b"web.serve: not an IPv4 address: 'example.org'", out)
            self.assertIn(b"web.serve: cannot listen on 127.0.0.1:%d: Address already in use" % port,
                          out)
        finally:
            taken.close()
            workspace.close()


if __name__ == "__main__":
    VORMEL = os.path.abspath(sys.argv.pop(1))
    unittest.main(verbosity=2)
