#!/usr/bin/env python3
"""A MariaDB server of a test's own: installed into a scratch folder, listening on a private
socket and on a free port of 127.0.0.1, never the machine's own database, and stopped at the end.
It holds the database "barterbox" and the account the plugin uses, with the privileges that
docs/cluster.md grants.

As a module: ScratchMariaDB(folder).start(), .stop(), .kill(), .pause(), .resume().
As a program, for the scenario runner:

    scratch_mariadb.py serve FOLDER [SWITCH_FILE]

starts it, prints the port to connect to, and stops it when its standard input closes. With
SWITCH_FILE, that port is a proxy's that drops every connection while the file holds "down", or
once N more messages have passed after it was made to hold "after N" (looked at whenever the
plugin sends something, so a transcript's `edit` takes effect before its next line).
"""
import os
import select
import shutil
import signal
import socket
import subprocess
import sys
import threading
import time

USER = "barterbox"
PASSWORD = "trade-ledger-pw"
DATABASE = "barterbox"


def available():
    return shutil.which("mariadbd") or os.path.exists("/usr/sbin/mariadbd")


def free_port():
    with socket.socket() as probe:
        probe.bind(("127.0.0.1", 0))
        return probe.getsockname()[1]


class ScratchMariaDB:
    def __init__(self, folder):
        self.folder = folder
        self.datadir = os.path.join(folder, "data")
        self.socket = os.path.join(folder, "mariadb.sock")
        self.port = free_port()
        self.process = None

    def _mariadbd(self):
        return shutil.which("mariadbd") or "/usr/sbin/mariadbd"

    def start(self):
        if not os.path.isdir(self.datadir):
            os.makedirs(self.datadir)
            subprocess.run(["mariadb-install-db", "--no-defaults", "--datadir=" + self.datadir,
                            "--auth-root-authentication-method=socket", "--skip-test-db"] +
                           (["--user=root"] if os.geteuid() == 0 else []),
                           check=True, stdout=subprocess.DEVNULL, stderr=subprocess.STDOUT)
            fresh = True
        else:
            fresh = False
        command = [self._mariadbd(), "--no-defaults", "--datadir=" + self.datadir,
                   "--socket=" + self.socket, "--port=%d" % self.port,
                   "--bind-address=127.0.0.1",
                   "--pid-file=" + os.path.join(self.folder, "mariadb.pid"),
                   "--log-error=" + os.path.join(self.folder, "mariadb.err"),
                   "--innodb-buffer-pool-size=16M", "--innodb-log-file-size=8M",
                   "--innodb-flush-log-at-trx-commit=2", "--skip-log-bin",
                   "--max-connections=50"]
        if os.geteuid() == 0:
            command.append("--user=root")
        self.process = subprocess.Popen(command, stdout=subprocess.DEVNULL,
                                        stderr=subprocess.DEVNULL)
        self._wait_ready()
        if fresh:
            self.sql("CREATE DATABASE %s; CREATE USER '%s'@'127.0.0.1' IDENTIFIED BY '%s'; "
                     "GRANT SELECT, INSERT, UPDATE, DELETE, CREATE ON %s.* TO '%s'@'127.0.0.1';"
                     % (DATABASE, USER, PASSWORD, DATABASE, USER))
        return self

    def _wait_ready(self):
        for _ in range(300):
            if self.process.poll() is not None:
                raise RuntimeError("mariadbd exited: " + self._error_log())
            try:
                with socket.create_connection(("127.0.0.1", self.port), timeout=0.2):
                    return
            except OSError:
                time.sleep(0.05)
        raise RuntimeError("mariadbd did not start: " + self._error_log())

    def _error_log(self):
        try:
            with open(os.path.join(self.folder, "mariadb.err"), encoding="utf-8",
                      errors="replace") as log:
                return log.read()[-2000:]
        except OSError:
            return "(no error log)"

    def sql(self, statements):
        """Runs statements as the database's root, through the private socket; their output."""
        return subprocess.run(["mariadb", "--no-defaults", "-S", self.socket, "-u", "root",
                               "-N", "-B", "-e", statements], check=True, capture_output=True,
                              text=True).stdout

    def pause(self):
        os.kill(self.process.pid, signal.SIGSTOP)

    def resume(self):
        os.kill(self.process.pid, signal.SIGCONT)

    def kill(self):
        if self.process and self.process.poll() is None:
            os.kill(self.process.pid, signal.SIGCONT)
            self.process.kill()
            self.process.wait()

    def stop(self):
        if self.process and self.process.poll() is None:
            os.kill(self.process.pid, signal.SIGCONT)
            self.process.terminate()
            try:
                self.process.wait(timeout=30)
            except subprocess.TimeoutExpired:
                self.process.kill()
                self.process.wait()

    def cluster_block(self, server, port=None, wait_ms=250):
        return {"Server": server,
                "Database": {"Host": "127.0.0.1", "Port": port or self.port, "User": USER,
                             "Password": PASSWORD, "Name": DATABASE, "WaitMs": wait_ms}}


SWITCH = {"text": "", "passed": 0}
SWITCH_LOCK = threading.Lock()


def switch_down(switch_file):
    """Whether the next message from the plugin is dropped: the file holds "down", or "after N"
    and N messages have passed since it was written."""
    try:
        with open(switch_file, encoding="utf-8") as switch:
            text = switch.read().strip()
    except OSError:
        text = ""
    with SWITCH_LOCK:
        if text != SWITCH["text"]:
            SWITCH["text"], SWITCH["passed"] = text, 0
        if text == "down":
            return True
        if text.startswith("after "):
            if SWITCH["passed"] >= int(text.split()[1]):
                return True
            SWITCH["passed"] += 1
        return False


def relay(client, target_port, switch_file):
    """Forwards one connection both ways until either side ends or the switch goes down."""
    try:
        upstream = socket.create_connection(("127.0.0.1", target_port))
    except OSError:
        client.close()
        return
    sockets = [client, upstream]
    try:
        while True:
            readable, _, _ = select.select(sockets, [], [])
            for side in readable:
                data = side.recv(65536)
                if not data or (side is client and switch_down(switch_file)):
                    return
                (upstream if side is client else client).sendall(data)
    except OSError:
        pass
    finally:
        for side in sockets:
            try:
                side.shutdown(socket.SHUT_RDWR)
            except OSError:
                pass
            side.close()


def serve(folder, switch_file):
    database = ScratchMariaDB(folder).start()
    if switch_file is None:
        print(database.port, flush=True)
        try:
            sys.stdin.read()
        finally:
            database.stop()
        return
    listener = socket.socket()
    listener.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
    listener.bind(("127.0.0.1", 0))
    listener.listen(16)

    def accept():
        while True:
            try:
                client, _ = listener.accept()
            except OSError:
                return
            threading.Thread(target=relay, args=(client, database.port, switch_file),
                             daemon=True).start()

    threading.Thread(target=accept, daemon=True).start()
    print(listener.getsockname()[1], flush=True)
    try:
        sys.stdin.read()
    finally:
        listener.close()
        database.stop()


if __name__ == "__main__":
    if len(sys.argv) in (3, 4) and sys.argv[1] == "serve":
        serve(sys.argv[2], sys.argv[3] if len(sys.argv) == 4 else None)
    else:
        sys.exit(__doc__)
