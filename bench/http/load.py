#!/usr/bin/env python3
"""Load on the page server: ApacheBench (ab) sends 10,000 requests at concurrency 1, 16 and
128 to a page served by a Vormel script, then to `python3 -m http.server` serving the same
file, side by side. Loopback only; every run is bounded in count and time, and both servers
are killed at the end. For each server the open descriptors are counted before and after
(from /proc) to show that none leaks.

Usage: bench/http/load.py [VORMEL] [-n REQUESTS] [-c 1 16 128] [-r REPEATS]"""
import argparse
import os
import re
import shutil
import signal
import socket
import subprocess
import sys
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(os.path.dirname(HERE))


def free_port():
    with socket.socket() as s:
        s.bind(("127.0.0.1", 0))
        return s.getsockname()[1]


def wait_until_serving(port, process, seconds=10):
    deadline = time.monotonic() + seconds
    while time.monotonic() < deadline:
        if process.poll() is not None:
            raise RuntimeError("server ended early")
        try:
            with socket.create_connection(("127.0.0.1", port), timeout=1) as s:
                s.sendall(b"GET /page.html HTTP/1.0\r\n\r\n")
                s.settimeout(5)
                while s.recv(65536):
                    pass
                return
        except OSError:
            time.sleep(0.05)
    raise RuntimeError("server did not start")


def cpu_seconds(pid):
    """User and system time of the whole process (every thread, ended ones too)."""
    with open(f"/proc/{pid}/stat", encoding="ascii") as f:
        fields = f.read().rsplit(")", 1)[1].split()
    return (int(fields[11]) + int(fields[12])) / os.sysconf("SC_CLK_TCK")


def descriptors(pid):
    return len(os.listdir(f"/proc/{pid}/fd"))


def ab(port, requests, concurrency):
    command = ["ab", "-q", "-n", str(requests), "-c", str(concurrency), "-s", "30",
               f"http://127.0.0.1:{port}/page.html"]
    done = subprocess.run(command, capture_output=True, text=True, timeout=600)
    out = done.stdout

    def field(pattern, default="?"):
        match = re.search(pattern, out)
        return match.group(1) if match else default

    return {
        "complete": field(r"Complete requests:\s+(\d+)"),
        "failed": field(r"Failed requests:\s+(\d+)"),
        "non2xx": field(r"Non-2xx responses:\s+(\d+)", "0"),
        "rps": field(r"Requests per second:\s+([\d.]+)"),
        "p50": field(r"\n\s+50%\s+(\d+)"),
        "p99": field(r"\n\s+99%\s+(\d+)"),
        "status": done.returncode,
        "stderr": done.stderr.strip().splitlines()[-1:] if done.returncode else [],
    }


def start_vormel(vormel, folder, port):
    with open(os.path.join(HERE, "serve_page.vl"), encoding="utf-8") as f:
        source = f.read().replace("PORT", str(port))
    script = os.path.join(folder, "serve_page.vl")
    with open(script, "w", encoding="utf-8") as f:
        f.write(source)
    return subprocess.Popen([vormel, script], cwd=folder, stdin=subprocess.DEVNULL,
                            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                            start_new_session=True)


def start_python(folder, port):
    return subprocess.Popen([sys.executable, "-m", "http.server", "--bind", "127.0.0.1",
                             str(port)], cwd=folder, stdin=subprocess.DEVNULL,
                            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                            start_new_session=True)


def measure(servers, requests, levels, repeats):
    """Runs ab against each server in turn at each level (alternating, so that a busy moment
    of the machine does not fall on one server only); keeps each server's best run."""
    best = {}
    for concurrency in levels:
        for _ in range(repeats):
            for name, port, process, before in servers:
                cpu_before = cpu_seconds(process.pid)
                result = ab(port, requests, concurrency)
                time.sleep(0.5)  # let the last connections finish their close
                result["cpu_us"] = f"{(cpu_seconds(process.pid) - cpu_before) / requests * 1e6:.0f}"
                result["fds"] = f"{before} -> {descriptors(process.pid)}"
                old = best.get((name, concurrency))
                if old is None or rate(result) > rate(old):
                    best[(name, concurrency)] = result
    return [(name, concurrency, best[(name, concurrency)])
            for name, _, _, _ in servers for concurrency in levels]


def rate(result):
    try:
        return float(result["rps"]) if result["failed"] == "0" else -1.0
    except ValueError:
        return -1.0


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("vormel", nargs="?", default=os.path.join(ROOT, "build", "vormel"))
    parser.add_argument("-n", type=int, default=10000)
    parser.add_argument("-c", type=int, nargs="+", default=[1, 16, 128])
    parser.add_argument("-r", "--repeats", type=int, default=2, help="runs per level; best counts")
    args = parser.parse_args()
    if shutil.which("ab") is None:
        sys.exit("ab not found: apt-get install -y apache2-utils")
    vormel = os.path.abspath(args.vormel)
    with tempfile.TemporaryDirectory(prefix="vormel-load-") as folder:
        shutil.copy(os.path.join(HERE, "page.html"), folder)
        servers = []
        try:
            for name, start in (("vormel", lambda f, p: start_vormel(vormel, f, p)),
                                ("python http.server", start_python)):
                port = free_port()
                process = start(folder, port)
                servers.append((name, port, process, None))
                wait_until_serving(port, process)
            time.sleep(0.5)
            servers = [(n, p, proc, descriptors(proc.pid)) for n, p, proc, _ in servers]
            rows = measure(servers, args.n, args.c, args.repeats)
        finally:
            for _, _, process, _ in servers:
                os.killpg(process.pid, signal.SIGKILL)
                process.wait(timeout=10)
    print(f"{args.n} requests per run, page of {os.path.getsize(os.path.join(HERE, 'page.html'))}"
          " bytes, loopback\n")
    print("| server | concurrency | complete | failed | non-2xx | requests/s | p50 ms | p99 ms |"
          " server CPU us/request | descriptors before -> after |")
    print("| --- | --- | --- | --- | --- | --- | --- | --- | --- | --- |")
    for name, concurrency, r in rows:
        print(f"| {name} | {concurrency} | {r['complete']} | {r['failed']} | {r['non2xx']} |"
              f" {r['rps']} | {r['p50']} | {r['p99']} | {r['cpu_us']} | {r['fds']} |")
    speed = {}
    for name, concurrency, r in rows:
        try:
            speed.setdefault(concurrency, {})[name] = float(r["rps"])
        except ValueError:
            pass
    print()
    for concurrency, by_server in speed.items():
        if len(by_server) == 2:
            ratio = by_server["vormel"] / by_server["python http.server"]
            print(f"concurrency {concurrency}: vormel/python = {ratio:.1f}x")
    problems = [r for _, _, r in rows if r["status"] != 0 or r["failed"] != "0"]
    for r in problems:
        print("problem:", r)
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
