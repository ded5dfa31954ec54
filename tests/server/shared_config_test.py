#!/usr/bin/env python3
"""Two barterbox-server processes on one config.json, as a cluster shares it: the second server's
config.json is a symbolic link to the first's. Adds on the two servers, in turn and at once, each
land in the file and, after a Reload, in both tables; no backup piles up; a Save that would undo
the other server's change is refused in red.

    shared_config_test.py SERVER_PROGRAM REPOSITORY
"""
import json
import os
import queue
import re
import shutil
import subprocess
import sys
import tempfile
import threading
import time

STONE = ("Blueprint'/Game/PrimalEarth/CoreBlueprints/Resources/"
         "PrimalItemResource_Stone.PrimalItemResource_Stone'")


class Server:
    """One server on a pipe; every line it prints goes to a queue, read by the test in order."""

    def __init__(self, name, program, repo, folder):
        self.name = name
        self.lines = queue.Queue()
        self.seen = []
        self.process = subprocess.Popen(
            [program, "--server-dir", folder, "--world",
             os.path.join(repo, "examples", "world.json"), "--no-color"],
            stdin=subprocess.PIPE, stdout=subprocess.PIPE, stderr=subprocess.STDOUT)
        threading.Thread(target=self._read, daemon=True).start()

    def _read(self):
        for raw in self.process.stdout:
            self.lines.put(raw.decode("utf-8", "replace").rstrip("\n"))
        self.lines.put(None)

    def send(self, line):
        self.process.stdin.write((line + "\n").encode())
        self.process.stdin.flush()

    def wait_for(self, pattern, timeout=30):
        """The lines up to and including the first that matches; fails the test on a timeout."""
        got = []
        deadline = time.monotonic() + timeout
        while True:
            try:
                line = self.lines.get(timeout=max(0.0, deadline - time.monotonic()))
            except queue.Empty:
                raise AssertionError("%s: no line matching %r; last lines:\n%s" %
                                     (self.name, pattern, "\n".join(self.seen[-20:])))
            if line is None:
                raise AssertionError("%s ended; last lines:\n%s" %
                                     (self.name, "\n".join(self.seen[-20:])))
            self.seen.append(line)
            got.append(line)
            if re.search(pattern, line):
                return got

    def quit(self):
        self.send("quit")
        self.process.stdin.close()
        self.process.wait(timeout=30)


def add(server, name, quantity):
    server.send("console Ada Barterbox.Add %s PrimalItemResource_Wood:%d %s:1" %
                (name, quantity, STONE))


def added(server, name):
    return server.wait_for(re.escape("Barterbox: Added '%s' via command" % name))


def table_of(server):
    """The names Barterbox.List shows, after a Reload."""
    server.send("console Ada Barterbox.Reload")
    server.wait_for(r"\(green\) Barterbox: Reloaded \d+ exchanges")
    server.send("console Ada Barterbox.List")
    count = int(re.search(r"Barterbox: (\d+) exchanges",
                          server.wait_for(r"\(green\) Barterbox: \d+ exchanges")[-1]).group(1))
    names = set()
    for _ in range(count):
        line = server.wait_for(r"\(white\)   ")[-1]
        names.add(re.search(r"\(white\)   (\S+) -", line).group(1))
    return names


def main():
    program, repo = sys.argv[1], sys.argv[2]
    scratch = tempfile.mkdtemp(prefix="barterbox-shared-")
    failures = []
    servers = []
    try:
        plugin = {}
        for name in ("first", "second"):
            plugin[name] = os.path.join(scratch, name, "ArkApi", "Plugins", "Barterbox")
            os.makedirs(plugin[name])
        shared = os.path.join(plugin["first"], "config.json")
        shutil.copy(os.path.join(repo, "examples", "config.json"), shared)
        os.symlink(shared, os.path.join(plugin["second"], "config.json"))
        first, second = (Server(name, program, repo, os.path.join(scratch, name))
                         for name in ("first", "second"))
        servers = [first, second]
        for server in servers:
            server.wait_for(r"plugin loaded from")
        original = table_of(first)

        # In turn: each Add finds the other server's last save in the file.
        names = []
        for number in range(40):
            server = servers[number % 2]
            names.append("Turn%d" % number)
            add(server, names[-1], number + 1)
            added(server, names[-1])
        # At once: both servers save while the other does, one after the other under the lock.
        for number in range(25):
            for index, server in enumerate(servers):
                names.append("Burst%d_%d" % (index, number))
                add(server, names[-1], number + 1)
        for index, server in enumerate(servers):
            for number in range(25):
                added(server, "Burst%d_%d" % (index, number))

        text = open(shared, encoding="utf-8").read()
        in_file = set(json.loads(text)["Exchanges"])
        missing = [name for name in names if name not in in_file]
        if missing:
            failures.append("not in config.json: %s" % ", ".join(missing))
        for server in servers:
            table = table_of(server)
            if table != original | set(names):
                failures.append("%s's table after a Reload differs from config.json: missing %s, "
                                "extra %s" % (server.name, sorted(original | set(names) - table),
                                              sorted(table - original - set(names))))
        for server in servers:
            bad = [line for line in server.seen
                   if "(red)" in line or "[error]" in line or "kept it as" in line]
            if bad:
                failures.append("%s said:\n%s" % (server.name, "\n".join(bad[:10])))
        left = sorted(entry for entry in os.listdir(plugin["first"]) if entry != "config.json")
        if any(".bak" in entry or ".tmp" in entry for entry in left):
            failures.append("left beside config.json: %s" % ", ".join(left))
        if not os.path.islink(os.path.join(plugin["second"], "config.json")):
            failures.append("the second server's config.json is no longer a link")

        # A Save would write the table without the other server's latest Add: refused in red,
        # and the file stays; after a Reload it saves.
        add(first, "Latest", 1)
        added(first, "Latest")
        before = open(shared, "rb").read()
        second.send("console Ada Barterbox.Save")
        refusal = second.wait_for(r"use Barterbox\.Reload, then save again")
        if not any("(red) Barterbox: Failed to save config" in line for line in refusal):
            failures.append("the refused Save's reply: %s" % refusal)
        if open(shared, "rb").read() != before:
            failures.append("a refused Save changed config.json")
        second.send("console Ada Barterbox.Reload")
        second.wait_for(r"\(green\) Barterbox: Reloaded")
        second.send("console Ada Barterbox.Save")
        second.wait_for(r"\(green\) Barterbox: Config saved")
        if "Latest" not in json.loads(open(shared, encoding="utf-8").read())["Exchanges"]:
            failures.append("the Save after a Reload lost the other server's Add")
        for server in servers:
            server.quit()
        servers = []
    except AssertionError as error:
        failures.append(str(error))
    finally:
        for server in servers:
            server.process.kill()
        shutil.rmtree(scratch, ignore_errors=True)
    for failure in failures:
        print("FAILED:", failure)
    if failures:
        return 1
    print("PASSED")
    return 0


if __name__ == "__main__":
    sys.exit(main())
