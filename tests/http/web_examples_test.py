#!/usr/bin/env python3
"""The web examples (examples/guest_book.vl, examples/json_api.vl) on free ports, with curl.

Usage: web_examples_test.py VORMEL_BINARY"""
import json
import os
import sys
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from http_test_support import ScriptServer, Workspace  # noqa: E402
from web_test import curl  # noqa: E402

VORMEL = None
EXAMPLES = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "examples")


class WebExamplesTest(unittest.TestCase):
    def setUp(self):
        self.workspace = Workspace()
        self.addCleanup(self.workspace.close)

    def serve(self, name, *args):
        """Runs the example on a port the system chooses; answers the port."""
        with open(os.path.join(EXAMPLES, name), encoding="utf-8") as f:
            source = f.read()
        server = ScriptServer(VORMEL, self.workspace, source, name, args=["0", *args])
        self.addCleanup(server.stop)
        return server.port

    def test_guest_book_shows_escaped_entries(self):
        port = self.serve("guest_book.vl")
        self.assertIn(b"<p>0 entries</p>", curl(port, "/")[2])
        status, head, _ = curl(port, "/sign", "-d", "name=Ada&message=<b>hi</b> %26 bye")
        self.assertEqual(status, 303)
        self.assertTrue(head.startswith("HTTP/1.1 303 See Other\r\n"), head)
        self.assertTrue(head.endswith("\r\nLocation: /"), head)
        self.assertEqual(curl(port, "/sign", "-d", "name=Ada")[0], 400)
        page = curl(port, "/")[2]
        self.assertIn(b"<p>1 entries</p>", page)
        self.assertIn(b"<li><b>Ada</b>: &lt;b&gt;hi&lt;/b&gt; &amp; bye</li>", page)

    def test_json_api_keeps_items_in_its_file(self):
        port = self.serve("json_api.vl", "store.json")
        self.assertEqual(json.loads(curl(port, "/items")[2]), [])
        for name, id in (("tea", 1), ("cake", 2)):
            status, _, body = curl(port, "/items", "-H", "Content-Type: application/json",
                                   "-d", json.dumps({"name": name}))
            self.assertEqual((status, json.loads(body)), (201, {"name": name, "id": id}))
        self.assertEqual(curl(port, "/items", "-H", "Content-Type: application/json",
                              "-d", "[1]")[0], 400)
        expected = [{"name": "tea", "id": 1}, {"name": "cake", "id": 2}]
        self.assertEqual(json.loads(curl(port, "/items")[2]), expected)
        with open(os.path.join(self.workspace.path, "store.json")) as f:
            self.assertEqual(json.load(f), expected)


if __name__ == "__main__":
    VORMEL = os.path.abspath(sys.argv.pop(1))
    unittest.main(verbosity=2)
