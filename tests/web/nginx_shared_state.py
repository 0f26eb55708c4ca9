#!/usr/bin/env python3
"""Two `zuva serve` processes sharing one state folder behind Debian's nginx with the
shipped configuration (deploy/nginx.conf, turns between the processes, no routing by
session), all on loopback: 50 consultations through nginx, at once in tens; when half of
them are midway one process is killed (SIGKILL), and every consultation still ends, on the
process that is left, with the answer script's summary.
Exits 77 (skipped) when nginx is not installed.
  nginx_shared_state.py ZUVA SOURCE-DIR"""
import concurrent.futures
import os
import re
import shutil
import signal
import socket
import subprocess
import sys
import tempfile
import threading
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import web_client  # noqa: E402

NGINX = shutil.which("nginx") or ("/usr/sbin/nginx" if os.path.exists("/usr/sbin/nginx") else None)


def free_port():
    with socket.socket() as s:
        s.bind(("127.0.0.1", 0))
        return s.getsockname()[1]


def wait_port(port, proc, what):
    for _ in range(300):
        if proc.poll() is not None:
            raise SystemExit(f"{what} ended at start ({proc.returncode})")
        try:
            with socket.create_connection(("127.0.0.1", port), timeout=0.2):
                return
        except OSError:
            time.sleep(0.05)
    raise SystemExit(f"{what} does not listen on {port}")


def main():
    if not NGINX:
        print("nginx is not installed: skipped")
        return 77
    zuva, source = sys.argv[1], sys.argv[2]
    work = tempfile.mkdtemp(prefix="zuva-nginx-")
    procs = []
    status = 0
    try:
        examples = f"{work}/examples"
        shutil.copytree(f"{source}/examples", examples)
        reference = web_client.script_summary(zuva, shutil.copytree(examples, f"{work}/ref"),
                                              f"{source}/tests/data/api/forward.txt")
        ports = [free_port(), free_port()]
        state = f"{work}/state"
        os.makedirs(state)
        for name, port in zip("ab", ports):
            p = subprocess.Popen([zuva, "serve", examples, "--listen", f"127.0.0.1:{port}", "--name", name,
                                  "--state-dir", state, "--proxy", "127.0.0.1"], stdout=subprocess.DEVNULL)
            procs.append(p)
        for port, p in zip(ports, procs):
            wait_port(port, p, "zuva serve")
        front = free_port()
        with open(f"{source}/deploy/nginx.conf") as f:
            site = f.read()
        site = site.replace("server 127.0.0.1:8081;", f"server 127.0.0.1:{ports[0]};")
        site = site.replace("server 127.0.0.1:8082;", f"server 127.0.0.1:{ports[1]};")
        site, n = re.subn(r"listen 80;", f"listen 127.0.0.1:{front};", site)
        assert n == 1, "the shipped configuration listens on port 80"
        with open(f"{work}/zuva.conf", "w") as f:
            f.write(site)
        for d in ("body", "proxy", "fastcgi", "uwsgi", "scgi"):
            os.makedirs(f"{work}/tmp/{d}")
        user = "user root root;\n" if os.geteuid() == 0 else ""
        with open(f"{work}/nginx.conf", "w") as f:
            f.write(f"""{user}worker_processes 1;
pid {work}/nginx.pid;
error_log {work}/error.log;
events {{ worker_connections 256; }}
http {{
    access_log off;
    client_body_temp_path {work}/tmp/body;
    proxy_temp_path {work}/tmp/proxy;
    fastcgi_temp_path {work}/tmp/fastcgi;
    uwsgi_temp_path {work}/tmp/uwsgi;
    scgi_temp_path {work}/tmp/scgi;
    include {work}/zuva.conf;
}}
""")
        nginx = subprocess.Popen([NGINX, "-p", work, "-e", f"{work}/error.log", "-c", f"{work}/nginx.conf",
                                  "-g", "daemon off;"])
        procs.append(nginx)
        wait_port(front, nginx, "nginx")

        midway = set()
        lock = threading.Lock()
        killed = threading.Event()

        def one(i):
            b = web_client.Browser("127.0.0.1", front)

            def answered(count):
                # After its third answer a consultation is midway; at the 25th midway, a is killed.
                if count != 3:
                    return
                with lock:
                    midway.add(i)
                    if len(midway) == 25 and not killed.is_set():
                        procs[0].kill()
                        procs[0].wait()
                        killed.set()
            try:
                page, summary = b.consult("baza=BAZY%2FREAUTO.BEN", answered)
            except AssertionError as e:
                return i, set(b.servers), None, f"failed: {e}"
            assert "Wyniki konsultacji" in page
            return i, set(b.servers), summary, ""

        failures = 0
        served_by = {}
        with concurrent.futures.ThreadPoolExecutor(max_workers=10) as pool:
            for i, served, summary, why in pool.map(one, range(50)):
                for s in served:
                    served_by[s] = served_by.get(s, 0) + 1
                if why or summary != reference:
                    print(f"consultation {i}: {why or 'the summary differs from the answer script'}")
                    failures += 1
        print(f"50 consultations through nginx, a killed midway: consultations answered in part by "
              f"each process {served_by}, {failures} failed")
        if failures or not killed.is_set() or len(served_by) != 2:
            print("every consultation must end with the script's summary, on both processes")
            status = 1
    finally:
        for p in reversed(procs):
            if p.poll() is None:
                p.send_signal(signal.SIGTERM)
        for p in procs:
            try:
                rc = p.wait(timeout=10)
                if p.args[0] == zuva and rc != 0 and p is not procs[0]:
                    print(f"zuva serve ended with {rc} after SIGTERM")
                    status = 1
            except subprocess.TimeoutExpired:
                p.kill()
        shutil.rmtree(work, ignore_errors=True)
    return status


if __name__ == "__main__":
    sys.exit(main())
