#!/usr/bin/env python3
"""One site served by several processes: web.serve's options max_body and share_port, and
nginx with examples/web_nginx.conf in front of two web servers. Real clients, loopback
only, bounded waits; every process started is killed at the end.

Usage: web_scale_test.py VORMEL_BINARY"""
import http.client
import os
import shutil
import signal
import socket
import subprocess
import sys
import time
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from http_test_support import (WAIT_SECONDS, ScriptServer, Workspace, free_port,  # noqa: E402
                               run_script)

VORMEL = None
ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
ATTEMPTS = 200  # new connections tried before giving up on seeing every process


def site(name, port, options):
    return (f'use web\ndef who(req) {{ return "{name} " + req["body"] }}\n'
            f'web.route("/who", who)\nweb.serve({port}, "127.0.0.1", {options})\n')


def ask(port, body=None):
    """(status, body text) of one request on a new connection."""
    client = http.client.HTTPConnection("127.0.0.1", port, timeout=WAIT_SECONDS)
    try:
        client.request("GET" if body is None else "POST", "/who", body=body)
        response = client.getresponse()
        return response.status, response.read().decode()
    finally:
        client.close()


def names_answering(port):
    seen = set()
    for _ in range(ATTEMPTS):
        seen.add(ask(port)[1].strip())
        if len(seen) == 2:
            break
    return seen


class SharePortTest(unittest.TestCase):
    def test_two_processes_on_one_port_a_third_without_the_option_and_max_body(self):
        workspace = Workspace()
        servers = []
        try:
            options = "{share_port: true, max_body: 16}"
            servers.append(ScriptServer(VORMEL, workspace, site("first", 0, options), "a.vl"))
            port = servers[0].port
            servers.append(ScriptServer(VORMEL, workspace, site("second", port, options), "b.vl"))
            self.assertEqual(servers[1].port, port)
            self.assertEqual(names_answering(port), {"first", "second"})
            out, err, _ = run_script(VORMEL, workspace, site("third", port, "{max_body: 16}"))
            self.assertIn(b"web.serve: cannot listen on 127.0.0.1:%d: Address already in use"
                          % port, out + err)
            self.assertEqual(ask(port, b"x" * 16)[0], 200)
            self.assertEqual(ask(port, b"x" * 17)[0], 413)
            self.assertEqual(ask(port, iter([b"x" * 10, b"y" * 10]))[0], 413)  # chunked
        finally:
            for server in servers:
                server.stop()
            workspace.close()


@unittest.skipUnless(shutil.which("nginx"), "nginx is not installed")
class NginxTest(unittest.TestCase):
    def test_nginx_hands_requests_to_both_web_servers(self):
        workspace = Workspace()
        servers, nginx = [], None
        try:
            for name in ("first", "second"):
                servers.append(ScriptServer(VORMEL, workspace, site(name, 0, "{}"), name + ".vl"))
            with open(os.path.join(ROOT, "examples", "web_nginx.conf"), encoding="utf-8") as f:
                conf = f.read()
            front = free_port()
            conf = conf.replace("listen 127.0.0.1:8080;", f"listen 127.0.0.1:{front};")
            for placeholder, server in zip((8081, 8082), servers):
                conf = conf.replace(f"server 127.0.0.1:{placeholder};",
                                    f"server 127.0.0.1:{server.port};")
            self.assertNotIn("127.0.0.1:808", conf)
            prefix = os.path.join(workspace.path, "nginx")
            os.mkdir(prefix)
            conf_path = os.path.join(prefix, "nginx.conf")
            with open(conf_path, "w", encoding="utf-8") as f:
                f.write(conf)
            nginx = subprocess.Popen(
                ["nginx", "-p", prefix + "/", "-e", "error.log", "-c", conf_path,
                 "-g", f"daemon off; pid {prefix}/nginx.pid;"],
                stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                start_new_session=True)
            deadline = time.monotonic() + WAIT_SECONDS
            while True:
                self.assertIsNone(nginx.poll(), "nginx ended; see its error.log")
                try:
                    socket.create_connection(("127.0.0.1", front), timeout=1).close()
                    break
                except OSError:
                    self.assertLess(time.monotonic(), deadline, "nginx did not listen")
                    time.sleep(0.05)
            self.assertEqual(names_answering(front), {"first", "second"})
            status, text = ask(front, b"via nginx")
            self.assertEqual((status, text.split(" ", 1)[1]), (200, "via nginx"))
        finally:
            if nginx is not None:
                os.killpg(nginx.pid, signal.SIGKILL)
                nginx.wait(timeout=WAIT_SECONDS)
            for server in servers:
                server.stop()
            workspace.close()


if __name__ == "__main__":
    VORMEL = os.path.abspath(sys.argv.pop(1))
    unittest.main(verbosity=2)
