#!/usr/bin/env python3
"""Requests per second of Vormel's web module against Python's servers and nginx, side by
side in one run, measured with ApacheBench (ab) on 127.0.0.1:

- a dynamic page, GET /hello/NAME?q=TEXT (a small HTML text with the name and the query
  value): hello.vl (web.get) against hello_python.py with http.server (threaded, HTTP/1.1)
  and with Flask's development server (threaded), both run by Debian's /usr/bin/python3;
- a static file of a few KB: static.vl (web.static) against nginx with one worker process.

Every server gets a free port and is killed at the end. Each round runs ab once against
every server, without and with keep-alive (-k), in turn, so that a busy moment of the machine
does not fall on one server only; the table shows the median of the rounds.

Usage: bench/http/run.py [VORMEL] [-n REQUESTS] [-c CONCURRENCY] [-r ROUNDS] [--clients K]
                         [--compare OTHER]
(--compare adds the dynamic page served by another Vormel binary, e.g. an older build.)"""
import argparse
import os
import re
import shutil
import signal
import socket
import statistics
import subprocess
import sys
import tempfile
import time
import urllib.request

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(os.path.dirname(HERE))
DEBIAN_PYTHON = "/usr/bin/python3"
HELLO_PATH = "/hello/world?q=bench"
HELLO_BODY = ("<!DOCTYPE html>\n<title>Hello</title>\n"
              "<p>Hello, world! You asked for bench.</p>\n").encode()
FILE_PATH = "/files/page.html"
NGINX_CONF = """worker_processes 1;
error_log error.log warn;
events { worker_connections 1024; }
http {
    access_log off;
    client_body_temp_path client_body_temp;
    proxy_temp_path proxy_temp;
    fastcgi_temp_path fastcgi_temp;
    uwsgi_temp_path uwsgi_temp;
    scgi_temp_path scgi_temp;
    server {
        listen 127.0.0.1:PORT;
        location /files/ { alias FOLDER/; }
    }
}
"""


def free_port():
    with socket.socket() as s:
        s.bind(("127.0.0.1", 0))
        return s.getsockname()[1]


def start(command, folder, log):
    """The server, its standard error going to the file `log` (read back if it fails)."""
    with open(log, "wb") as errors:
        return subprocess.Popen(command, cwd=folder, stdin=subprocess.DEVNULL,
                                stdout=subprocess.DEVNULL, stderr=errors, start_new_session=True)


def stop(process):
    try:
        os.killpg(process.pid, signal.SIGKILL)
    except ProcessLookupError:
        pass
    process.wait(timeout=10)


def fetch(port, path, process, seconds=15):
    """The body of one GET once the server answers, or None (a status other than 200, or the
    server ended)."""
    deadline = time.monotonic() + seconds
    while time.monotonic() < deadline:
        if process.poll() is not None:
            return None
        try:
            with urllib.request.urlopen(f"http://127.0.0.1:{port}{path}", timeout=5) as reply:
                return reply.read()
        except urllib.error.HTTPError:
            return None
        except OSError:
            time.sleep(0.1)
    return None


def process_tree(pid):
    """The pid and every descendant's (nginx's worker is a child of its master)."""
    pids, index = [pid], 0
    while index < len(pids):
        try:
            for task in os.listdir(f"/proc/{pids[index]}/task"):
                with open(f"/proc/{pids[index]}/task/{task}/children", encoding="ascii") as f:
                    pids.extend(int(p) for p in f.read().split())
        except OSError:
            pass
        index += 1
    return pids


def cpu_seconds(pid):
    total = 0.0
    for each in process_tree(pid):
        try:
            with open(f"/proc/{each}/stat", encoding="ascii") as f:
                fields = f.read().rsplit(")", 1)[1].split()
            total += (int(fields[11]) + int(fields[12])) / os.sysconf("SC_CLK_TCK")
        except OSError:
            pass
    return total


def ab(port, path, requests, concurrency, keep_alive, clients=1):
    """Requests per second and a problem (or None) of `clients` ab processes run at once,
    sharing the requests and the concurrency: all requests over the longest ab's time."""
    runs = [subprocess.Popen(["ab", "-q", "-n", str(requests // clients),
                              "-c", str(max(concurrency // clients, 1)), "-s", "30",
                              *(["-k"] if keep_alive else []), f"http://127.0.0.1:{port}{path}"],
                             stdout=subprocess.PIPE, stderr=subprocess.PIPE, text=True)
            for _ in range(clients)]
    seconds, done_requests, problems = 0.0, 0, []
    for run in runs:
        out, err = run.communicate(timeout=600)
        taken = re.search(r"Time taken for tests:\s+([\d.]+)", out)
        complete = re.search(r"Complete requests:\s+(\d+)", out)
        failed = re.search(r"Failed requests:\s+(\d+)", out)
        non2xx = re.search(r"Non-2xx responses:\s+(\d+)", out)
        if run.returncode != 0 or not taken:
            problems.append((err.strip().splitlines() or ["ab failed"])[-1])
            continue
        seconds = max(seconds, float(taken.group(1)))
        done_requests += int(complete.group(1))
        if failed.group(1) != "0" or non2xx:
            problems.append(f"{failed.group(1)} failed, {non2xx.group(1) if non2xx else 0} non-2xx")
    rate = done_requests / seconds if seconds > 0 and not problems else 0.0
    return rate, "; ".join(problems) or None


def start_servers(vormel, compare, folder, notes):
    """(group, name, port, process, path) of every server that answers as expected."""
    os.chmod(folder, 0o755)  # nginx's worker runs as nobody when started by root
    page = os.path.join(folder, "page.html")
    with open(page, "wb") as f:
        line = b"<p>A static page for the benchmark, the same bytes from every server.</p>\n"
        f.write(b"<!DOCTYPE html>\n<title>Static</title>\n" + line * 54)
    with open(page, "rb") as f:
        file_bytes = f.read()
    nginx_prefix = os.path.join(folder, "nginx")
    os.mkdir(nginx_prefix)
    plans = [("dynamic", "vormel web", [vormel, os.path.join(HERE, "hello.vl")], HELLO_PATH),
             *([("dynamic", "vormel web (--compare)", [compare, os.path.join(HERE, "hello.vl")],
                 HELLO_PATH)] if compare else []),
             ("dynamic", "python http.server",
              [DEBIAN_PYTHON, os.path.join(HERE, "hello_python.py"), "stdlib"], HELLO_PATH),
             ("dynamic", "flask (dev server)",
              [DEBIAN_PYTHON, os.path.join(HERE, "hello_python.py"), "flask"], HELLO_PATH),
             ("static", "vormel web.static", [vormel, os.path.join(HERE, "static.vl")], FILE_PATH),
             ("static", "nginx (1 worker)", None, FILE_PATH)]
    servers = []
    for index, (group, name, command, path) in enumerate(plans):
        port = free_port()
        log = os.path.join(folder, f"server{index}.err")
        if command is None:
            if shutil.which("nginx") is None:
                notes.append("nginx is not installed: its row is skipped")
                continue
            conf = os.path.join(nginx_prefix, "nginx.conf")
            with open(conf, "w", encoding="utf-8") as f:
                f.write(NGINX_CONF.replace("PORT", str(port)).replace("FOLDER", folder))
            command = ["nginx", "-p", nginx_prefix + "/", "-e", "error.log", "-c", conf,
                       "-g", f"daemon off; pid {nginx_prefix}/nginx.pid;"]
        elif command[0] == DEBIAN_PYTHON:
            command.append(str(port))
        else:
            command[2:] = [str(port), folder]
        process = start(command, folder, log)
        servers.append((group, name, port, process, path))
        expected = HELLO_BODY if group == "dynamic" else file_bytes
        if fetch(port, path, process) != expected:
            stop(process)
            with open(log, encoding="utf-8", errors="replace") as f:
                error = f.read().strip()
            servers.pop()
            if name == "vormel web.static" and "static" in error:
                notes.append(f"{name} is skipped: this binary has no web.static ({error[-120:]})")
            else:
                notes.append(f"{name} is skipped: it did not answer {path} as expected "
                             f"({error[-200:]})")
    return servers, len(file_bytes)


def measure(servers, requests, concurrency, rounds, clients):
    rates, cpu, problems = {}, {}, []
    for keep_alive in (False, True):  # a warm-up run each, not counted
        for _, name, port, process, path in servers:
            ab(port, path, min(requests, 500), concurrency, keep_alive)
    for _ in range(rounds):
        for keep_alive in (False, True):
            for _, name, port, process, path in servers:
                before = cpu_seconds(process.pid)
                rate, problem = ab(port, path, requests, concurrency, keep_alive, clients)
                used = cpu_seconds(process.pid) - before
                rates.setdefault((name, keep_alive), []).append(rate)
                cpu.setdefault((name, keep_alive), []).append(used / requests * 1e6)
                if problem:
                    problems.append(f"{name}{' -k' if keep_alive else ''}: {problem}")
    return rates, cpu, problems


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("vormel", nargs="?", default=os.path.join(ROOT, "build", "vormel"))
    parser.add_argument("-n", type=int, default=5000, help="requests per ab run")
    parser.add_argument("-c", type=int, default=32, help="ab's concurrency")
    parser.add_argument("-r", "--rounds", type=int, default=3, help="runs per server and mode")
    parser.add_argument("--clients", type=int, default=2,
                        help="ab processes at once, sharing -n and -c (one ab is the limit"
                        " of a fast server)")
    parser.add_argument("--compare", help="another Vormel binary for the dynamic page")
    args = parser.parse_args()
    for tool in ("ab", DEBIAN_PYTHON):
        if shutil.which(tool) is None:
            sys.exit(f"{tool} not found: bash scripts/setup.sh bench installs it")
    vormel = os.path.abspath(args.vormel)
    signal.signal(signal.SIGTERM, lambda *_: sys.exit("stopped"))  # the servers still end
    notes = []
    with tempfile.TemporaryDirectory(prefix="vormel-http-bench-") as folder:
        servers = []
        try:
            compare = os.path.abspath(args.compare) if args.compare else None
            servers, file_size = start_servers(vormel, compare, folder, notes)
            rates, cpu, problems = measure(servers, args.n, args.c, args.rounds, args.clients)
        finally:
            for server in servers:
                stop(server[3])

    def median(table, name, keep_alive):
        values = table.get((name, keep_alive))
        return statistics.median(values) if values else None

    print(f"ab -n {args.n} -c {args.c} in {args.clients} processes at once, with and without -k,"
          f" median of {args.rounds} interleaved"
          f" rounds; dynamic page {len(HELLO_BODY)} bytes, static file {file_size} bytes\n")
    print("| page | server | requests/s | requests/s with -k | server CPU µs/request |"
          " with -k |")
    print("| --- | --- | --- | --- | --- | --- |")
    for group, name, *_ in servers:
        cells = [f"{median(rates, name, k):.0f}" for k in (False, True)]
        cells += [f"{median(cpu, name, k):.0f}" for k in (False, True)]
        print(f"| {group} | {name} | " + " | ".join(cells) + " |")
    names = [name for _, name, *_ in servers]
    for mine, other in (("vormel web", "vormel web (--compare)"),
                        ("vormel web", "python http.server"), ("vormel web", "flask (dev server)"),
                        ("vormel web.static", "nginx (1 worker)")):
        if mine in names and other in names:
            ratios = [median(rates, mine, k) / max(median(rates, other, k), 1e-9)
                      for k in (False, True)]
            print(f"| ratio | {mine} / {other} | {ratios[0]:.2f}× | {ratios[1]:.2f}× | | |")
    for line in notes + problems:
        print("note:" if line in notes else "problem:", line)
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
