#!/usr/bin/env python3
"""The example site and its client (examples/site/) on a free port: the client's JSON summary
must parse and match the pages the site serves.

Usage: example_site_test.py VORMEL_BINARY"""
import json
import os
import shutil
import sys
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from http_test_support import ScriptServer, Workspace, free_port, run_script  # noqa: E402

VORMEL = None
SITE = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "examples", "site")


class ExampleSiteTest(unittest.TestCase):
    def test_client_summarises_the_site(self):
        workspace = Workspace()
        try:
            shutil.copytree(os.path.join(SITE, "templates"),
                            os.path.join(workspace.path, "templates"))
            port = str(free_port())
            with open(os.path.join(SITE, "site.vl"), encoding="utf-8") as f:
                site = f.read().replace("8000", port)
            with open(os.path.join(SITE, "client.vl"), encoding="utf-8") as f:
                client = f.read().replace("8000", port)
            server = ScriptServer(VORMEL, workspace, site, name="site.vl")
            try:
                out, err, status = run_script(VORMEL, workspace, client)
            finally:
                server.stop()
        finally:
            workspace.close()
        self.assertEqual((err, status), (b"", 0))
        summary = json.loads(out)
        self.assertEqual(summary["site"], "http://127.0.0.1:" + port)
        sizes = {name: os.path.getsize(os.path.join(SITE, "templates", name))
                 for name in ("index.html", "about.html")}
        self.assertEqual(summary["pages"], [
            {"path": "/", "status": "HTTP/1.1 200 OK", "body_bytes": sizes["index.html"]},
            {"path": "/about", "status": "HTTP/1.1 200 OK", "body_bytes": sizes["about.html"]},
            {"path": "/menu.json", "status": "HTTP/1.1 200 OK", "body_bytes": 90},
            {"path": "/missing", "status": "HTTP/1.1 404 Not Found", "body_bytes": 9}])


if __name__ == "__main__":
    VORMEL = os.path.abspath(sys.argv.pop(1))
    unittest.main(verbosity=2)
