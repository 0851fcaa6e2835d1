#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""The score server on a PostgreSQL cluster of its own that is stopped and
started, has its connections killed, and is frozen (SIGSTOP on every one of
its processes), all under a steady load of submissions and page reads.

The server must answer 503 while the database is away, serve again within
seconds of its return without a restart, keep the home page answering while
the database is frozen, and every submission answered OK must be stored.
Prints the figures.

  database_outage.py SERVER LOADRUN REPO WORKDIR
"""
import os
import signal
import subprocess
import sys
import threading
import time

server_bin, loadrun, repo, work = sys.argv[1:5]
os.makedirs(work, exist_ok=True)


def cluster(command, directory=""):
    """Runs one function of scripts/postgres-cluster; returns its output."""
    script = f'source "{repo}/scripts/postgres-cluster"; postgres_dir="{directory}"; {command}'
    return subprocess.run(["bash", "-c", script], check=True, capture_output=True, text=True).stdout


def processes_of(parent):
    children = []
    for entry in os.listdir("/proc"):
        if entry.isdigit():
            try:
                with open(f"/proc/{entry}/stat") as stat:
                    fields = stat.read().rsplit(")", 1)[1].split()
                if int(fields[1]) == parent:
                    children.append(int(entry))
            except OSError:
                pass
    return [parent] + children


started = cluster('start_postgres_cluster >/dev/null && echo "$postgres_dir" && echo "$postgres_conninfo"')
pg_dir, conninfo = started.strip().splitlines()[-2:]
server = None
failures = []
try:
    psql = [os.path.join(os.path.dirname(cluster("echo $postgres_bin").strip() + "/"), "psql"), conninfo, "-Atc"]

    def sql(query):
        return subprocess.run(psql + [query], check=True, capture_output=True, text=True).stdout

    server_log = open(os.path.join(work, "server.log"), "w")
    server = subprocess.Popen(
        [server_bin, "--listen", "127.0.0.1", "--port", "0", "--postgresql", conninfo, "--database-timeout", "2",
         "--rate", "0", "--token-rate", "0", "--connections-per-client", "0"],
        stdout=subprocess.PIPE, stderr=server_log, text=True)
    line = server.stdout.readline()
    if not line.startswith("listening on "):
        sys.exit("the server did not start: " + line)
    base = "http://" + line.split()[-1]

    log_path = os.path.join(work, "churn.log")
    seconds = 22
    churn = subprocess.Popen([loadrun, "churn", base, str(seconds), log_path])
    marks = {}
    time.sleep(2)

    cluster("stop_postgres_server", pg_dir)
    marks["stop"] = time.monotonic()
    time.sleep(3)
    marks["starting"] = time.monotonic()
    cluster("start_postgres_server", pg_dir)
    marks["started"] = time.monotonic()
    time.sleep(3)

    marks["kill"] = time.monotonic()
    sql("SELECT count(pg_terminate_backend(pid)) FROM pg_stat_activity "
        "WHERE pid <> pg_backend_pid() AND backend_type = 'client backend'")
    time.sleep(3)

    frozen = processes_of(int(cluster("postgres_server_pid", pg_dir).strip()))
    marks["freeze"] = time.monotonic()
    for pid in frozen:
        os.kill(pid, signal.SIGSTOP)
    time.sleep(5)
    for pid in frozen:
        os.kill(pid, signal.SIGCONT)
    marks["thaw"] = time.monotonic()

    churn.wait(timeout=seconds + 60)
    entries = []
    with open(log_path) as log:
        for text in log:
            at, ms, kind, status, name = text.split()
            entries.append((float(at), float(ms), kind, int(status), name))

    def first_success_after(moment, kinds=("table", "submit")):
        done = [at + ms / 1000 for at, ms, kind, status, _ in entries
                if kind in kinds and status == 200 and at >= moment]
        return min(done) - moment if done else None

    def during(start, end, kind):
        return [(ms, status) for at, ms, k, status, _ in entries if k == kind and start <= at < end]

    print(f"outage: {len(entries)} requests in {seconds} s")
    away = during(marks["stop"], marks["starting"], "table")
    print(f"outage: database stopped 3 s: table reads {sorted(set(s for _, s in away))}, "
          f"slowest {max((ms for ms, _ in away), default=0):.0f} ms")
    if not away or any(status != 503 for _, status in away):
        failures.append("reads while the database was stopped were not all 503")
    recovered = first_success_after(marks["started"])
    print(f"outage: first success {recovered and round(recovered, 2)} s after the database was back")
    if recovered is None or recovered > 5:
        failures.append("no success within 5 s of the database's return")

    killed = during(marks["kill"], marks["kill"] + 3, "table") + during(marks["kill"], marks["kill"] + 3, "submit")
    failed = sum(1 for _, status in killed if status != 200)
    print(f"outage: connections killed: {failed} of {len(killed)} requests in the next 3 s failed")
    if failed > 0:
        failures.append("requests failed after the connections were killed")

    home = during(marks["freeze"], marks["thaw"], "home")
    table = during(marks["freeze"] + 1, marks["thaw"], "table")
    print(f"outage: database frozen 5 s: {len(home)} home pages, slowest {max((ms for ms, _ in home), default=0):.0f} ms; "
          f"table reads {sorted(set(s for _, s in table))}, slowest {max((ms for ms, _ in table), default=0):.0f} ms")
    if not home or any(status != 200 or ms > 1000 for ms, status in home):
        failures.append("the home page waited for the frozen database")
    if any(ms > 4000 for ms, _ in table):
        failures.append("a read waited past the database time-out")
    thawed = first_success_after(marks["thaw"])
    print(f"outage: first success {thawed and round(thawed, 2)} s after the database was resumed")
    if thawed is None or thawed > 5:
        failures.append("no success within 5 s of the database's resumption")

    acknowledged = {name for _, _, kind, status, name in entries if kind == "submit" and status == 200}
    attempted = {name for _, _, kind, _, name in entries if kind == "submit"}
    stored = set(sql("SELECT name FROM scores").split())
    lost = acknowledged - stored
    unknown = stored - attempted
    in_doubt = (stored - acknowledged) & attempted
    print(f"outage: {len(acknowledged)} submissions answered OK, {len(stored)} stored, {len(lost)} answered OK "
          f"but missing, {len(in_doubt)} stored though not answered OK, {len(unknown)} never sent")
    if lost or unknown:
        failures.append("stored rows do not match the answers")
finally:
    if server is not None:
        server.terminate()
        server.wait()
    # Resumed whatever happened, so that the cluster can be stopped.
    try:
        for pid in processes_of(int(cluster("postgres_server_pid", pg_dir).strip())):
            os.kill(pid, signal.SIGCONT)
    except (OSError, ValueError, subprocess.CalledProcessError):
        pass
    cluster("stop_postgres_cluster", pg_dir)

if failures:
    sys.exit("outage: FAILED: " + "; ".join(failures))
