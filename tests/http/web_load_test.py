#!/usr/bin/env python3
"""The web server under load from ab (apache2-utils): 10,000 keep-alive requests, 128 at a
time, to a route and to a static file. None may fail, and once the load is over the server
holds the descriptors it held before it.

Usage: web_load_test.py VORMEL_BINARY"""
import os
import re
import shutil
import subprocess
import sys
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from http_test_support import ScriptServer, Workspace  # noqa: E402

VORMEL = None

SITE = r'''use web
def hello(req) { return "hello " + req["query"]["name"] }
web.get("/hello", hello)
web.static("/files", "public")
web.serve(0)
'''


class WebLoadTest(unittest.TestCase):
    def test_no_request_fails_and_no_descriptor_stays_open(self):
        if shutil.which("ab") is None:
            self.skipTest("ab (apache2-utils) is not installed")
        workspace = Workspace()
        os.mkdir(os.path.join(workspace.path, "public"))
        workspace.write("public/page.html", "<p>" + "static " * 100 + "</p>")
        server = ScriptServer(VORMEL, workspace, SITE)
        try:
            before = server.settled_descriptors(quiet_seconds=0.3)
            for path in ("/hello?name=ab", "/files/page.html"):
                done = subprocess.run(["ab", "-q", "-k", "-n", "10000", "-c", "128", "-s", "20",
                                       f"http://127.0.0.1:{server.port}{path}"],
                                      capture_output=True, text=True, timeout=120)
                report = done.stdout
                self.assertEqual(done.returncode, 0, done.stderr)
                self.assertRegex(report, r"Complete requests:\s+10000\n", path)
                self.assertRegex(report, r"Failed requests:\s+0\n", path)
                self.assertNotIn("Non-2xx", report, path)
                self.assertEqual(int(re.search(r"Keep-Alive requests:\s+(\d+)", report)[1]),
                                 10000, path)
            after = server.settled_descriptors(quiet_seconds=0.5)
            self.assertEqual(after, before, server.descriptor_targets())
        finally:
            server.stop()
            workspace.close()


if __name__ == "__main__":
    VORMEL = os.path.abspath(sys.argv.pop(1))
    unittest.main(verbosity=2)
