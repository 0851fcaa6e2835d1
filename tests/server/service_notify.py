#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""The server under a service manager's eyes: on a notification socket of
the test's own, as systemd gives it, the server must say READY=1 once it
serves, feed the watchdog while its health check passes, stop feeding it
(and say why in its status) while its PostgreSQL database refuses
connections, feed it again once the database is back, and say STOPPING=1 on
SIGTERM. The unit file is checked with systemd-analyze when it is there.

  service_notify.py SERVER UNIT_TEMPLATE WORKDIR
"""
import os
import random
import shutil
import socket
import subprocess
import sys
import time

server_bin, unit_template, work = sys.argv[1:4]
os.makedirs(work, exist_ok=True)

admin = os.environ.get("ZARVENOK_TEST_POSTGRESQL", "")
if not admin:
    print("ZARVENOK_TEST_POSTGRESQL is not set; scripts/test sets it")
    sys.exit(1 if os.environ.get("CI") == "true" else 77)


def psql(conninfo, query):
    subprocess.run(["psql", conninfo, "-Atqc", query], check=True, capture_output=True)


# The unit as installed, with the program where the build put it.
analyze = shutil.which("systemd-analyze")
if analyze:
    unit = os.path.join(work, "zarvenok-server.service")
    with open(unit_template) as source, open(unit, "w") as target:
        target.write(source.read().replace("@ZARVENOK_SERVER_PROGRAM@", os.path.abspath(server_bin)))
    checked = subprocess.run([analyze, "verify", unit], capture_output=True, text=True)
    problems = [line for line in (checked.stdout + checked.stderr).splitlines() if unit in line]
    if problems:
        sys.exit("the unit file: " + "; ".join(problems))
    print("notify: systemd-analyze verify passes the unit file")

database = f"zarvenok_notify_{random.randrange(10**9)}"
psql(admin, f"CREATE DATABASE {database}")
path = os.path.join(work, "notify.socket")
if os.path.exists(path):
    os.unlink(path)
manager = socket.socket(socket.AF_UNIX, socket.SOCK_DGRAM)
manager.bind(path)
server = None


def wait_for(wanted, seconds):
    """The messages until one holds `wanted`; fails after `seconds`."""
    seen = []
    deadline = time.monotonic() + seconds
    while time.monotonic() < deadline:
        manager.settimeout(max(0.01, deadline - time.monotonic()))
        try:
            message = manager.recv(4096).decode()
        except socket.timeout:
            break
        seen.append(message)
        if wanted in message:
            return seen
    sys.exit(f"notify: no {wanted} in {seconds} s; got {seen}")


try:
    environment = dict(os.environ, NOTIFY_SOCKET=path, WATCHDOG_USEC="600000")
    environment.pop("WATCHDOG_PID", None)
    server = subprocess.Popen(
        [server_bin, "--port", "0", "--postgresql", f"{admin} dbname={database}", "--database-timeout", "1"],
        env=environment, stdout=subprocess.DEVNULL, stderr=open(os.path.join(work, "server.log"), "w"))
    wait_for("READY=1", 30)
    wait_for("WATCHDOG=1", 10)
    print("notify: ready, then the watchdog fed")

    psql(admin, f"ALTER DATABASE {database} ALLOW_CONNECTIONS false")
    psql(admin, f"SELECT pg_terminate_backend(pid) FROM pg_stat_activity WHERE datname = '{database}'")
    seen = wait_for("STATUS=unhealthy", 15)
    # Three watchdog periods without a keep-alive.
    manager.settimeout(0.1)
    quiet_until = time.monotonic() + 0.9
    while time.monotonic() < quiet_until:
        try:
            message = manager.recv(4096).decode()
        except socket.timeout:
            continue
        if "WATCHDOG=1" in message:
            sys.exit("notify: the watchdog was fed while the database refused connections")
    print(f"notify: database away: {seen[-1]}; the watchdog goes hungry")

    psql(admin, f"ALTER DATABASE {database} ALLOW_CONNECTIONS true")
    wait_for("WATCHDOG=1", 15)
    print("notify: database back: the watchdog fed again")
    server.terminate()
    wait_for("STOPPING=1", 15)
    server.wait(timeout=30)
    print("notify: stopping said")
finally:
    if server is not None and server.poll() is None:
        server.kill()
        server.wait()
    manager.close()
    os.unlink(path)
    psql(admin, f"ALTER DATABASE {database} ALLOW_CONNECTIONS true")
    psql(admin, f"DROP DATABASE IF EXISTS {database} WITH (FORCE)")
