#!/usr/bin/env python3
"""web.static with real clients: curl for types, dates, HEAD, index pages and large files;
raw sockets for the requests that try to leave the folder (curl would tidy their paths); ab
(apache2-utils) for 10,000 keep-alive requests, 128 at a time, to a route and to a file:
none may fail, and afterwards the server holds the descriptors it held before.

Usage: web_static_test.py VORMEL_BINARY"""
import os
import shutil
import subprocess
import sys
import time
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from http_test_support import ScriptServer, ServerTestCase, connect, read_to_close  # noqa: E402
from web_test import curl  # noqa: E402

VORMEL = None
SECRET = b"TOP-SECRET-7f3a"
OLD = 784111777  # Sun, 06 Nov 1994 08:49:37 GMT

SITE = r'''use web
def dynamic(req) { return "dynamic " + req["method"] }
web.get("/files/hello", dynamic)
web.static("/files", "public")
web.post("/files/upload", dynamic)
web.static("/", "public/sub")
web.serve(0)
'''

FILES = {"index.html": (b"<h1>home</h1>", "text/html; charset=utf-8"),
         "style.CSS": (b"p{}", "text/css; charset=utf-8"),
         "app.js": (b"let a", "text/javascript; charset=utf-8"),
         "data.json": (b"[1]", "application/json"),
         "note.txt": (b"note", "text/plain; charset=utf-8"),
         "pic.png": (b"\x89PNG\r\n", "image/png"),
         "pic.jpeg": (b"\xff\xd8", "image/jpeg"),
         "font.woff2": (b"wOF2", "font/woff2"),
         "sound.mp3": (b"ID3", "audio/mpeg"),
         "blob": (b"\x00\x01", "application/octet-stream"),
         "sub/index.html": (b"<h1>sub</h1>", "text/html; charset=utf-8")}


def raw(port, target):
    with connect(port) as s:
        s.sendall(b"GET " + target + b" HTTP/1.1\r\nHost: a\r\nConnection: close\r\n\r\n")
        return read_to_close(s)


class WebStaticTest(ServerTestCase):
    @classmethod
    def start_server(cls, workspace):
        root = workspace.path
        for folder in ("public/sub", "public/empty"):
            os.makedirs(os.path.join(root, folder))
        for name, (content, _) in FILES.items():
            workspace.write("public/" + name, content)
        workspace.write("secret.txt", SECRET)
        cls.big = os.urandom(3 * 1024 * 1024 + 17)
        workspace.write("public/big.bin", cls.big)
        os.utime(os.path.join(root, "public/note.txt"), (OLD, OLD))
        os.symlink("../secret.txt", os.path.join(root, "public/out_link"))
        os.symlink(root, os.path.join(root, "public/out_folder"))
        os.symlink("note.txt", os.path.join(root, "public/in_link"))
        os.mkfifo(os.path.join(root, "public/pipe"))
        return ScriptServer(VORMEL, workspace, SITE)

    def test_content_types_index_pages_and_large_files(self):
        for name, (content, content_type) in FILES.items():
            status, head, body = curl(self.port, "/files/" + name)
            self.assertEqual((status, body), (200, content), name)
            self.assertIn("\r\nContent-Type: " + content_type + "\r\n", head, name)
            self.assertIn("\r\nLast-Modified: ", head, name)
        for path in ("/files", "/files/", "/files/sub", "/files/sub/", "/"):
            expected = b"<h1>sub</h1>" if "sub" in path or path == "/" else b"<h1>home</h1>"
            self.assertEqual(curl(self.port, path)[::2], (200, expected), path)
        self.assertEqual(curl(self.port, "/files/in_link")[::2], (200, b"note"))
        for path in ("/files/empty", "/files/missing.txt", "/files/pipe", "/filesx/note.txt"):
            self.assertEqual(curl(self.port, path)[0], 404, path)
        status, head, body = curl(self.port, "/files/big.bin")
        self.assertEqual((status, len(body), body == self.big), (200, len(self.big), True))

    def test_last_modified_304_and_head(self):
        status, head, _ = curl(self.port, "/files/note.txt")
        self.assertTrue(head.endswith("\r\nLast-Modified: Sun, 06 Nov 1994 08:49:37 GMT"))
        for since, expected in (("Sun, 06 Nov 1994 08:49:37 GMT", 304),
                                ("Mon, 07 Nov 1994 00:00:00 GMT", 304),
                                ("Sun, 06 Nov 1994 08:49:36 GMT", 200),
                                ("yesterday", 200)):
            status, _, body = curl(self.port, "/files/note.txt", "-H", "If-Modified-Since: " + since)
            self.assertEqual((status, body), (expected, b"note" if expected == 200 else b""), since)
        status, head, body = curl(self.port, "/files/big.bin", "-I")
        self.assertEqual((status, body), (200, b""))
        self.assertIn("\r\nContent-Length: %d\r\n" % len(self.big), head)
        # A file rewritten with the same size is read again once the cache looks (within a
        # second).
        self.workspace.write("public/data.json", b"[2]")
        give_up = time.monotonic() + 10
        while curl(self.port, "/files/data.json")[2] != b"[2]" and time.monotonic() < give_up:
            time.sleep(0.2)
        self.assertEqual(curl(self.port, "/files/data.json")[2], b"[2]")

    def test_routes_and_prefixes_answer_in_the_order_added(self):
        self.assertEqual(curl(self.port, "/files/hello")[2], b"dynamic GET")
        self.assertEqual(curl(self.port, "/files/upload", "-d", "x")[2], b"dynamic POST")
        status, head, _ = curl(self.port, "/files/note.txt", "-d", "x")
        self.assertEqual(status, 405)
        self.assertTrue(head.endswith("\r\nAllow: GET, HEAD"), head)

    def test_nothing_outside_the_folder_is_served(self):
        self.assertEqual(raw(self.port, b"/files/note.txt")[:15], b"HTTP/1.1 200 OK")
        for target in (b"/files/../secret.txt", b"/files/%2e%2e/secret.txt",
                       b"/files/%2E%2E%2Fsecret.txt", b"/files/..%5csecret.txt",
                       b"/files/a\\..\\..\\secret.txt", b"/files/sub/../../secret.txt",
                       b"/files//etc/passwd", b"/files/%2fetc/passwd", b"/files/%00",
                       b"/files/note.txt%00.html", b"/files/./note.txt", b"/files/out_link",
                       b"/files/out_folder/secret.txt", b"/../secret.txt",
                       b"/files/sub/%2e%2e/%2e%2e/secret.txt", b"/files/..\\secret.txt",
                       b"/files/sub%2Findex.html"):
            response = raw(self.port, target)
            self.assertRegex(response[:13], rb"^HTTP/1\.1 40[34]", target)
            self.assertNotIn(SECRET, response, target)
            self.assertNotIn(b"root:", response, target)

    @unittest.skipIf(shutil.which("ab") is None, "ab (apache2-utils) is not installed")
    def test_load_leaves_no_failure_and_no_descriptor(self):
        before = self.server.settled_descriptors(quiet_seconds=0.5)
        for path in ("/files/hello", "/files/index.html"):
            done = subprocess.run(["ab", "-q", "-k", "-n", "10000", "-c", "128", "-s", "20",
                                   f"http://127.0.0.1:{self.port}{path}"],
                                  capture_output=True, text=True, timeout=120)
            self.assertEqual(done.returncode, 0, done.stderr)
            for line in ("Complete requests: +10000", "Failed requests: +0",
                         "Keep-Alive requests: +10000"):
                self.assertRegex(done.stdout, line, path)
            self.assertNotIn("Non-2xx", done.stdout, path)
        after = self.server.settled_descriptors(quiet_seconds=0.5)
        self.assertEqual(after, before, self.server.descriptor_targets())


if __name__ == "__main__":
    VORMEL = os.path.abspath(sys.argv.pop(1))
    unittest.main(verbosity=2)
