#!/usr/bin/env python3
"""The page server against real clients on 127.0.0.1: curl and raw sockets check the exact
response bytes; idle, slow and oversized clients must not hold up others or lose responses.

Usage: server_test.py VORMEL_BINARY"""
import os
import socket
import subprocess
import sys
import threading
import time
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from http_test_support import (NOT_FOUND, ScriptServer, ServerTestCase, Workspace,  # noqa: E402
                               connect, exchange, free_port, ok_response, read_to_close,
                               run_script)

VORMEL = None
BIG_PAGE = "<p>" + "0123456789abcdef" * 65536 + "</p>"  # just over 1 MiB

SITE = """use http
http.page("/", "home")
http.page("/about", "about us")
http.page("/", "second home")
http.page("/h", "h\u00e9llo")
http.page("/n", 5)
http.page("/big", http.template("big.html"))
http.serve(0)
"""


def curl(*arguments):
    done = subprocess.run(["curl", "--silent", "--show-error", "--include", "--max-time", "10",
                           *arguments], capture_output=True, timeout=20)
    return done.returncode, done.stdout, done.stderr


class SiteTest(ServerTestCase):
    @classmethod
    def start_server(cls, workspace):
        workspace.write("big.html", BIG_PAGE)
        return ScriptServer(VORMEL, workspace, SITE)

    def url(self, path):
        return f"http://127.0.0.1:{self.port}{path}"

    def test_start_up_lines(self):
        self.assertEqual(self.server.starting_line, b"Starting HTTP server on port 0\n")

    def test_curl_gets_exact_bytes(self):
        status, out, err = curl(self.url("/about"))
        self.assertEqual(status, 0, err)
        self.assertEqual(out, ok_response("about us"))

    def test_query_string_is_part_of_the_path(self):
        self.assertEqual(curl(self.url("/about?x=1"))[1], NOT_FOUND)
        self.assertEqual(len(NOT_FOUND), 80)

    def test_first_registration_wins(self):
        self.assertEqual(curl(self.url("/"))[1], ok_response("home"))

    def test_content_length_counts_bytes(self):
        self.assertEqual(curl(self.url("/h"))[1],
                         b"HTTP/1.1 200 OK\r\nContent-Type: text/html\r\nContent-Length: 6\r\n\r\n"
                         + "h\u00e9llo".encode())

    def test_number_content_is_its_text(self):
        self.assertEqual(exchange(self.port, b"GET /n HTTP/1.1\r\n\r\n"), ok_response("5"))

    def test_empty_request_gets_root(self):
        self.assertEqual(exchange(self.port, b""), ok_response("home"))

    def test_lone_method_gets_root(self):
        self.assertEqual(exchange(self.port, b"GET\n"), ok_response("home"))
        self.assertEqual(exchange(self.port, b"GET"), ok_response("home"))

    def test_post_is_answered_like_get(self):
        self.assertEqual(exchange(self.port, b"POST / HTTP/1.1\r\n\r\n"),
                         exchange(self.port, b"GET / HTTP/1.1\r\n\r\n"))
        status, out, _ = curl("--data-binary", "x=1", self.url("/about"))
        self.assertEqual(out, ok_response("about us"))

    def test_crlf_and_lf_give_the_same_path(self):
        self.assertEqual(exchange(self.port, b"GET /about HTTP/1.1\r\nHost: x\r\n\r\n"),
                         ok_response("about us"))
        self.assertEqual(exchange(self.port, b"GET /about HTTP/1.1\nHost: x\n\n"),
                         ok_response("about us"))

    def test_tabs_and_runs_of_spaces_separate_words(self):
        self.assertEqual(exchange(self.port, b"GET \t  /about\tHTTP/1.1\r\n"),
                         ok_response("about us"))

    def test_path_is_not_decoded_or_case_folded(self):
        self.assertEqual(exchange(self.port, b"GET /%61bout HTTP/1.1\r\n\r\n"), NOT_FOUND)
        self.assertEqual(exchange(self.port, b"GET /About HTTP/1.1\r\n\r\n"), NOT_FOUND)

    def test_invalid_utf8_is_replaced_not_fatal(self):
        self.assertEqual(exchange(self.port, b"GET /\xff\xfe HTTP/1.1\r\n\r\n"), NOT_FOUND)
        self.assertEqual(exchange(self.port, b"GET /about \xff\r\n"), ok_response("about us"))

    def test_request_of_64_kib_still_gets_its_response(self):
        padding = b"x" * (64 * 1024)
        request = b"GET /about HTTP/1.1\r\nHost: x\r\nX-Pad: " + padding + b"\r\n\r\n"
        for _ in range(20):  # a reset would lose the response now and then, not every time
            with connect(self.port) as s:
                s.sendall(request)  # not shut: the server must drain, not reset
                self.assertEqual(read_to_close(s), ok_response("about us"))
        body = self.workspace.write("body.bin", padding)
        for _ in range(5):
            status, out, err = curl("--data-binary", "@" + body, self.url("/about"))
            self.assertEqual(status, 0, err)
            self.assertEqual(out, ok_response("about us"))

    def test_idle_connection_does_not_hold_up_others(self):
        with connect(self.port) as idle:
            opened = time.monotonic()
            started = time.monotonic()
            status, out, err = curl(self.url("/about"))
            self.assertEqual(out, ok_response("about us"))
            self.assertLess(time.monotonic() - started, 4)  # not held until the idle one ends
            # The silent connection is then closed without any response, within 2 to 10 s.
            idle.settimeout(15)
            self.assertEqual(read_to_close(idle), b"")
            self.assertGreaterEqual(time.monotonic() - opened, 2)
            self.assertLess(time.monotonic() - opened, 10)

    def test_request_in_pieces_is_answered_from_the_first(self):
        with connect(self.port) as s:
            s.sendall(b"GET /ab")
            time.sleep(0.3)
            try:
                s.sendall(b"out HTTP/1.1\r\n\r\n")
            except OSError:
                pass  # already answered and shut
            self.assertEqual(read_to_close(s), NOT_FOUND)

    def test_client_that_does_not_read_holds_up_no_one(self):
        with connect(self.port) as slow:
            slow.setsockopt(socket.SOL_SOCKET, socket.SO_RCVBUF, 4096)
            slow.sendall(b"GET /big HTTP/1.1\r\n\r\n")
            time.sleep(0.3)  # the server has filled what the socket takes
            started = time.monotonic()
            for _ in range(5):
                self.assertEqual(curl(self.url("/about"))[1], ok_response("about us"))
            self.assertLess(time.monotonic() - started, 8)  # the stalled writer is dropped at 10 s
            # Read slowly at first, then all of it: nothing is lost.
            data = slow.recv(1000)
            time.sleep(0.2)
            data += read_to_close(slow)
            self.assertEqual(data, ok_response(BIG_PAGE))

    def test_many_clients_at_once_and_no_descriptor_leak(self):
        exchange(self.port, b"GET / HTTP/1.1\r\n\r\n")
        before = self.server.settled_descriptors()
        results = []

        def client():
            for _ in range(25):
                results.append(exchange(self.port, b"GET /about HTTP/1.1\r\n\r\n"))

        threads = [threading.Thread(target=client) for _ in range(8)]
        for t in threads:
            t.start()
        for t in threads:
            t.join(timeout=60)
        self.assertEqual(results, [ok_response("about us")] * 200)
        deadline = time.monotonic() + 5
        while self.server.open_descriptors() != before and time.monotonic() < deadline:
            time.sleep(0.05)
        self.assertEqual(self.server.open_descriptors(), before, self.server.descriptor_targets())

    def test_client_reset_does_not_stop_the_server(self):
        with connect(self.port) as s:
            s.setsockopt(socket.SOL_SOCKET, socket.SO_LINGER, b"\x01\x00\x00\x00\x00\x00\x00\x00")
        self.assertEqual(curl(self.url("/about"))[1], ok_response("about us"))


class DescriptorLimitTest(unittest.TestCase):
    def test_more_silent_connections_than_descriptors_delay_but_do_not_stop(self):
        import resource
        workspace = Workspace()

        def low_limit():
            resource.setrlimit(resource.RLIMIT_NOFILE, (48, 48))

        server = ScriptServer(VORMEL, workspace, 'use http\nhttp.page("/", "still here")\n'
                              'http.serve(0)\n', preexec_fn=low_limit)
        idle = []
        try:
            for _ in range(30):  # more than the 48 descriptors leave room for
                idle.append(connect(server.port))
            started = time.monotonic()
            status, out, err = curl("--max-time", "20", f"http://127.0.0.1:{server.port}/")
            self.assertEqual((status, out), (0, ok_response("still here")), err)
            self.assertLess(time.monotonic() - started, 15)
            self.assertLessEqual(server.open_descriptors(), 48)
        finally:
            for s in idle:
                s.close()
            server.stop()
            workspace.close()


class BindingTest(unittest.TestCase):
    def setUp(self):
        self.workspace = Workspace()

    def tearDown(self):
        self.workspace.close()

    def test_port_in_use_answers_an_error_after_the_starting_line(self):
        with socket.socket() as taken:
            taken.bind(("127.0.0.1", 0))
            taken.listen(1)
            port = taken.getsockname()[1]
            out, err, status = run_script(
                VORMEL, self.workspace, f'use http\nprint(http.serve({port}))\nprint("after")\n')
        self.assertEqual(status, 0)
        self.assertEqual(out, f"Starting HTTP server on port {port}\nafter\n".encode())
        self.assertEqual(err, b"\x1b[31m[\x1b[91mERROR\x1b[31m]\x1b[0m Error in expression: "
                              b"Failed to bind to port: Address already in use\n")

    def test_float_port_is_truncated_and_wide_port_wraps(self):
        for form in ("{port}.9", "{port} + 65536"):
            port = free_port()
            server = ScriptServer(VORMEL, self.workspace,
                                  f"use http\nhttp.page(\"/\", \"x\")\nhttp.serve({form.format(port=port)})\n")
            try:
                self.assertEqual(server.starting_line, f"Starting HTTP server on port {port}\n".encode())
                self.assertEqual(server.listening_line,
                                 f"Server listening on http://127.0.0.1:{port}\n".encode())
                self.assertEqual(exchange(port, b"GET / HTTP/1.1\r\n\r\n"), ok_response("x"))
            finally:
                server.stop()

    def test_pages_registered_in_the_repl_stay_across_lines(self):
        port = free_port()
        process = subprocess.Popen([VORMEL], cwd=self.workspace.path, stdin=subprocess.PIPE,
                                   stdout=subprocess.PIPE, stderr=subprocess.PIPE,
                                   start_new_session=True)
        try:
            process.stdin.write(f'use http\nhttp.page("/r", "kept")\nhttp.serve({port})\n'.encode())
            process.stdin.flush()
            deadline = time.monotonic() + 10
            while True:
                try:
                    response = exchange(port, b"GET /r HTTP/1.1\r\n\r\n")
                    break
                except OSError:
                    if time.monotonic() > deadline:
                        raise
                    time.sleep(0.05)
            self.assertEqual(response, ok_response("kept"))
        finally:
            process.kill()
            process.communicate(timeout=10)


if __name__ == "__main__":
    VORMEL = os.path.abspath(sys.argv.pop(1))
    unittest.main(verbosity=2)
