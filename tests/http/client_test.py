#!/usr/bin/env python3
"""http.get, http.post and http.send against a small server inside this test that records the
exact request bytes and answers with chosen raw bytes. Loopback only, every wait bounded.

Usage: client_test.py VORMEL_BINARY"""
import os
import re
import socket
import sys
import threading
import time
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from http_test_support import Workspace, free_port, run_script  # noqa: E402

VORMEL = None
ERROR_TAG = b"\x1b[31m[\x1b[91mERROR\x1b[31m]\x1b[0m "


class RecordingServer:
    """Accepts connections on 127.0.0.1, records each whole request (headers and
    Content-Length body) and answers with `response` (a list of byte pieces sent with
    `pause` seconds between them), then closes."""

    def __init__(self, response_pieces, pause=0.0):
        self.pieces = response_pieces
        self.pause = pause
        self.requests = []
        self.listener = socket.socket()
        self.listener.bind(("127.0.0.1", 0))
        self.listener.listen(8)
        self.listener.settimeout(0.2)
        self.port = self.listener.getsockname()[1]
        self.stopping = False
        self.thread = threading.Thread(target=self._serve, daemon=True)
        self.thread.start()

    def _read_request(self, connection):
        data = b""
        deadline = time.monotonic() + 10
        while time.monotonic() < deadline:
            head, sep, body = data.partition(b"\r\n\r\n")
            if sep:
                match = re.search(rb"\r\nContent-Length: (\d+)", head)
                if len(body) >= (int(match.group(1)) if match else 0):
                    return data
            chunk = connection.recv(65536)
            if not chunk:
                return data
            data += chunk
        return data

    def _serve(self):
        while not self.stopping:
            try:
                connection, _ = self.listener.accept()
            except socket.timeout:
                continue
            except OSError:
                return
            with connection:
                connection.settimeout(10)
                self.requests.append(self._read_request(connection))
                for i, piece in enumerate(self.pieces):
                    if i:
                        time.sleep(self.pause)
                    connection.sendall(piece)

    def stop(self):
        self.stopping = True
        self.thread.join(timeout=10)
        self.listener.close()


RESPONSE = b"HTTP/1.1 200 OK\r\nContent-Length: 2\r\nX-Odd: {}\r\n\r\nhi"


def expected_request(method, path, host, body=b""):
    return (f"{method} {path} HTTP/1.1\r\nHost: {host}\r\nConnection: close\r\n"
            f"Content-Length: {len(body)}\r\n\r\n").encode() + body


class ClientTest(unittest.TestCase):
    def setUp(self):
        self.workspace = Workspace()
        self.server = RecordingServer([RESPONSE])

    def tearDown(self):
        self.server.stop()
        self.workspace.close()

    def run_calls(self, *calls):
        source = "use http\n" + "".join(f"print({call})\n" for call in calls)
        return run_script(VORMEL, self.workspace, source)

    def test_get_with_port_path_and_query(self):
        out, err, status = self.run_calls(f'http.get("http://127.0.0.1:{self.server.port}/a/b?x=1")')
        self.assertEqual(status, 0)
        self.assertEqual(err, b"")
        self.assertEqual(out, RESPONSE + b"\n")  # the raw response, unchanged
        self.assertEqual(self.server.requests, [expected_request("GET", "/a/b?x=1", "127.0.0.1")])

    def test_url_without_scheme_or_path(self):
        out, _, _ = self.run_calls(f'http.get("127.0.0.1:{self.server.port}")',
                                   f'http.get("127.0.0.1:+{self.server.port}")')
        self.assertEqual(out, (RESPONSE + b"\n") * 2)
        self.assertEqual(self.server.requests, [expected_request("GET", "/", "127.0.0.1")] * 2)

    def test_each_resolved_address_is_tried_in_turn(self):
        # "localhost" may resolve to ::1 first, where nothing listens; 127.0.0.1 then answers.
        out, err, _ = self.run_calls(f'http.get("localhost:{self.server.port}/x")')
        self.assertEqual(err, b"")
        self.assertEqual(out, RESPONSE + b"\n")
        self.assertEqual(self.server.requests, [expected_request("GET", "/x", "localhost")])

    def test_post_counts_the_body_in_bytes(self):
        out, _, _ = self.run_calls(f'http.post("http://127.0.0.1:{self.server.port}/f", "h\u00e9llo")',
                                   f'http.post("http://127.0.0.1:{self.server.port}/n", 42)')
        self.assertEqual(out, (RESPONSE + b"\n") * 2)
        self.assertEqual(self.server.requests, [
            expected_request("POST", "/f", "127.0.0.1", "h\u00e9llo".encode()),
            expected_request("POST", "/n", "127.0.0.1", b"42")])

    def test_send_upper_cases_the_method_with_unicode_rules(self):
        base = f"http://127.0.0.1:{self.server.port}/m"
        self.run_calls(f'http.send("{base}", "patch", "")',
                       f'http.send("{base}", "stra\u00dfe", "b")',
                       f'http.send("{base}", "\u00e9t\u00e9", "", "ignored")')
        self.assertEqual(self.server.requests, [
            expected_request("PATCH", "/m", "127.0.0.1"),
            expected_request("STRASSE", "/m", "127.0.0.1", b"b"),
            expected_request("\u00c9T\u00c9", "/m", "127.0.0.1")])

    def test_json_of_a_response_is_json(self):
        # Text from the network may hold any character, control characters too.
        import json
        raw = b"HTTP/1.1 200 OK\r\n\r\n\x01\"\\\x1f\t{}\x7f"
        server = RecordingServer([raw])
        try:
            out, _, _ = self.run_calls(f'http.json(http.get("127.0.0.1:{server.port}"))')
        finally:
            server.stop()
        self.assertEqual(json.loads(out.decode()), raw.decode())


class ClientFailureTest(unittest.TestCase):
    def setUp(self):
        self.workspace = Workspace()

    def tearDown(self):
        self.workspace.close()

    def call(self, expression):
        out, err, status = run_script(VORMEL, self.workspace, f"use http\n{expression}\n")
        self.assertEqual(status, 0)
        self.assertEqual(out, b"")
        return out, err

    def assert_fails_with(self, expression, message):
        _, err = self.call(expression)
        self.assertEqual(err, ERROR_TAG + b"Error in expression: " + message.encode() + b"\n")

    def test_https_is_refused(self):
        self.assert_fails_with('http.get("https://127.0.0.1/")', "HTTPS not supported, use HTTP")

    def test_refused_connection(self):
        port = free_port()
        self.assert_fails_with(f'http.get("http://127.0.0.1:{port}/")',
                               f"Failed to connect to 127.0.0.1:{port}: Connection refused")

    def test_upper_case_scheme_is_a_host(self):
        _, err = self.call('http.get("HTTP://127.0.0.1/")')
        self.assertTrue(err.startswith(ERROR_TAG + b"Error in expression: Failed to connect to HTTP:80: "),
                        err)

    def test_non_utf8_response_is_an_error(self):
        server = RecordingServer([b"HTTP/1.1 200 OK\r\n\r\n\xff\xfe"])
        try:
            self.assert_fails_with(f'http.get("127.0.0.1:{server.port}")',
                                   "Failed to read response: stream did not contain valid UTF-8")
        finally:
            server.stop()

    def test_pause_in_the_middle_of_a_response_is_waited_for(self):
        server = RecordingServer([b"HTTP/1.1 200 OK\r\n", b"\r\nlate"], pause=2.5)
        try:
            out, err = run_script(VORMEL, self.workspace,
                                  f'use http\nprint(http.get("127.0.0.1:{server.port}"))\n')[:2]
        finally:
            server.stop()
        self.assertEqual(err, b"")
        self.assertEqual(out, b"HTTP/1.1 200 OK\r\n\r\nlate\n")

    def test_arguments(self):
        out, err, _ = run_script(VORMEL, self.workspace,
                                 'use http\nhttp.get()\nhttp.post("x")\nhttp.send("x", "get")\n')
        self.assertEqual(err.decode().splitlines(), [
            "\x1b[31m[\x1b[91mERROR\x1b[31m]\x1b[0m Error in expression: get requires a url",
            "\x1b[31m[\x1b[91mERROR\x1b[31m]\x1b[0m Error in expression: post requires a url and body",
            "\x1b[31m[\x1b[91mERROR\x1b[31m]\x1b[0m Error in expression: "
            "send requires url, method, and optionally body"])


if __name__ == "__main__":
    VORMEL = os.path.abspath(sys.argv.pop(1))
    unittest.main(verbosity=2)
