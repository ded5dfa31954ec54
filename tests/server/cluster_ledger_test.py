#!/usr/bin/env python3
"""Three real barterbox-server processes (three maps of one cluster) share one trade ledger in a
MariaDB server that the test starts in a scratch folder, and trade concurrently for the same
three players:

  1. the race: every server tries each player's Swap (Day 20) and the Rare stock (12 in all)
     far more often than the limits allow; across the cluster exactly the limits complete;
  2. the database hangs (SIGSTOP), is killed and started again: no command waits beyond the
     WaitMs it was given (measured from sending the command to its answer), exchanges with
     limits are refused with the paused line while it is down, Free (no rules) trades on, each
     server logs one line when the ledger is lost and one when it is back;
  3. a server without the client library says so in one line at its load, refuses Swap and
     trades Free;
  4. afterwards the database's counts equal the completed runs of the three merged audits (each
     record naming its server), nothing stays reserved, and no limit was exceeded.

    cluster_ledger_test.py SERVER_PROGRAM REPOSITORY
"""
import json
import os
import subprocess
import sys
import tempfile
import threading
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "support"))
import scratch_mariadb  # noqa: E402

MAPS = ["Island", "Center", "Ragnarok"]
PLAYERS = {"Ada": "0002a8e1f3c44b6d9e5f7a1b2c3d4e5f", "Bram": "00029c7d5e3f4a1b8c6d2e0f9a8b7c6d",
           "Cleo": "0002f1e2d3c4b5a69788695a4b3c2d1e"}
DAY_LIMIT, STOCK, DAILY = 20, 12, 5
WAIT_MS = 250
# Beyond WaitMs: the pipes, the stand-in host and a busy two-core machine.
SLACK_MS = 250
STONE = "PrimalItemResource_Stone"
STONE_BLUEPRINT = ("Blueprint'/Game/PrimalEarth/CoreBlueprints/Resources/"
                   "PrimalItemResource_Stone.PrimalItemResource_Stone'")
CONFIG = {"Exchanges": {name: {"Give": {STONE: 1}, "Receive": {STONE_BLUEPRINT: 1}}
                        for name in ("Swap", "Rare", "Daily", "Free")}}
PAUSED = "is paused: the trade ledger cannot be reached"
LOST = "Barterbox: Lost the trade ledger"
BACK = "Barterbox: The trade ledger is back"


def fail(message, servers=()):
    print("FAILED: " + message)
    for server in servers:
        print("--- %s (last lines):" % server.name)
        print("\n".join(server.lines[-25:]))
    sys.exit(1)


class Server:
    """One map: a barterbox-server driven line by line through its standard input."""

    def __init__(self, program, repo, scratch, name, cluster, environment=None):
        self.name = name
        self.dir = os.path.join(scratch, name)
        plugin = os.path.join(self.dir, "ArkApi", "Plugins", "Barterbox")
        os.makedirs(os.path.join(plugin, "audit"))
        with open(os.path.join(plugin, "config.json"), "w", encoding="utf-8") as out:
            json.dump(CONFIG, out)
        rules = {"Cluster": cluster, "Exchanges": {"Swap": {"Day": DAY_LIMIT},
                                                   "Rare": {"Stock": STOCK},
                                                   "Daily": {"Day": DAILY}}}
        with open(os.path.join(plugin, "rules.json"), "w", encoding="utf-8") as out:
            json.dump(rules, out)
        os.chmod(os.path.join(plugin, "rules.json"), 0o600)
        self.audit = os.path.join(plugin, "audit")
        self.lines = []
        self.process = subprocess.Popen(
            [program, "--server-dir", self.dir, "--no-color", "--world",
             os.path.join(repo, "examples", "world.json"), "--fixed-clock",
             "2026-12-09T10:00:00Z"],
            stdin=subprocess.PIPE, stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True,
            bufsize=1, env=dict(os.environ, **(environment or {})))
        threading.Thread(target=self._read, daemon=True).start()
        self.longest_ms = 0.0

    def _read(self):
        for line in self.process.stdout:
            line = line.rstrip("\n")
            self.lines.append(line)

    def quit(self):
        self.process.stdin.write("quit\n")
        self.process.stdin.close()
        self.process.wait(timeout=60)


def run_timed(server, commands, timings):
    """Sends the commands one at a time, each after the last was answered; each's milliseconds."""
    for command in commands:
        before = len(server.lines)
        started = time.monotonic()
        server.process.stdin.write(command + "\nplayers\n")
        server.process.stdin.flush()
        # `players` answers with its count line once the command before it is done.
        while True:
            count = sum(1 for line in server.lines[before:] if "players online" in line)
            if count:
                break
            if server.process.poll() is not None:
                return
            time.sleep(0.0005)
        timings.append((time.monotonic() - started) * 1000)


def concurrently(servers, commands_of):
    timings = {server.name: [] for server in servers}
    threads = [threading.Thread(target=run_timed,
                                args=(server, commands_of(server), timings[server.name]))
               for server in servers]
    for thread in threads:
        thread.start()
    for thread in threads:
        thread.join()
    return timings


def completions(lines, player, exchange):
    return sum(1 for line in lines
               if line == "[chat -> %s] <Barterbox> Exchange complete: %s x1" % (player, exchange))


def audited(servers):
    """Completed runs by (player's EOS ID, exchange), from the three day-file folders merged."""
    runs, places = {}, set()
    for server in servers:
        for name in sorted(os.listdir(server.audit)):
            with open(os.path.join(server.audit, name), encoding="utf-8") as day:
                for line in day:
                    record = json.loads(line)
                    places.add(record.get("server"))
                    if record.get("event") == "exchange" and record.get("outcome") == "complete":
                        key = (record["eos_id"], record["exchange"])
                        runs[key] = runs.get(key, 0) + record["effective"]
    return runs, places


def main():
    program, repo = sys.argv[1], sys.argv[2]
    if not scratch_mariadb.available():
        print("SKIPPED: no mariadbd on this machine")
        sys.exit(77)
    with tempfile.TemporaryDirectory(prefix="barterbox-cluster-") as scratch:
        database = scratch_mariadb.ScratchMariaDB(os.path.join(scratch, "db"))
        os.makedirs(database.folder)
        database.start()
        servers = []
        try:
            servers = [Server(program, repo, scratch, name,
                              database.cluster_block(name, wait_ms=WAIT_MS)) for name in MAPS]
            check_cluster(database, servers)
            check_without_library(program, repo, scratch, database)
        finally:
            for server in servers:
                if server.process.poll() is None:
                    server.process.kill()
            database.stop()


def check_without_library(program, repo, scratch, database):
    """A server whose client library is missing loads, says why in one line, and trades on."""
    server = Server(program, repo, scratch, "NoLibrary", database.cluster_block("NoLibrary"),
                    {"BARTERBOX_MARIADB_LIBRARY": os.path.join(scratch, "no-such-libmariadb.so")})
    run_timed(server, ["give Ada %s_C 10" % STONE, "chat Ada /ex Swap", "chat Ada /ex Free"], [])
    server.quit()
    unusable = [line for line in server.lines if "cannot be used" in line]
    if len(unusable) != 1 or "the MariaDB client library cannot be loaded" not in unusable[0]:
        fail("no one line about the missing client library", [server])
    if not any(PAUSED in line for line in server.lines) or \
            completions(server.lines, "Ada", "Free") != 1:
        fail("without the library, Swap must be paused and Free trade", [server])


def check_cluster(database, servers):
    gives = ["give %s %s_C 1000" % (player, STONE) for player in PLAYERS]
    concurrently(servers, lambda server: gives)
    # 1. The race: 3 servers x 3 players x 30 tries of Swap, and of Rare.
    race = ["chat %s /ex %s" % (player, exchange)
            for _ in range(30) for player in PLAYERS for exchange in ("Swap", "Rare")]
    timings = concurrently(servers, lambda server: race)
    trades = sum(len(t) for t in timings.values())
    lines = [line for server in servers for line in server.lines]
    for player in PLAYERS:
        done = completions(lines, player, "Swap")
        if done != DAY_LIMIT:
            fail("%s completed Swap %d times across the cluster, the Day limit is %d"
                 % (player, done, DAY_LIMIT), servers)
    rare = sum(completions(lines, player, "Rare") for player in PLAYERS)
    if rare != STOCK:
        fail("Rare completed %d times across the cluster, its stock is %d" % (rare, STOCK),
             servers)
    longest = max(max(t) for t in timings.values())

    # 2. The database hangs: every server's first attempt waits WaitMs at most and is refused.
    database.pause()
    down = ["chat Ada /ex Swap", "chat Bram /ex Free", "chat Cleo /ex Rare", "chat Ada /ex Free"]
    timings = concurrently(servers, lambda server: down * 3)
    waits = [ms for t in timings.values() for ms in t]
    if max(waits) > WAIT_MS + SLACK_MS:
        fail("a command waited %.0f ms while the database hung; WaitMs is %d" %
             (max(waits), WAIT_MS), servers)
    longest = max(longest, max(waits))
    for server in servers:
        paused = sum(1 for line in server.lines if PAUSED in line)
        free = completions(server.lines, "Bram", "Free") + completions(server.lines, "Ada", "Free")
        if paused != 6 or free != 6:
            fail("%s: %d paused refusals and %d Free trades while the ledger was down, "
                 "expected 6 and 6" % (server.name, paused, free), [server])
    database.kill()
    concurrently(servers, lambda server: ["chat Ada /ex Swap"])
    database.start()
    # The retry waits ten seconds of the plugin's clock, which each server moves on.
    after = ["clock +11s"] + ["chat %s /ex Daily" % player for player in PLAYERS] * 3
    timings = concurrently(servers, lambda server: after)
    longest = max(longest, max(ms for t in timings.values() for ms in t))
    trades += 3 * (len(down) * 3 + 1 + len(after) - 1)
    lines = [line for server in servers for line in server.lines]
    for player in PLAYERS:
        if completions(lines, player, "Daily") != DAILY:
            fail("%s completed Daily %d times after the database was back, its Day limit is %d"
                 % (player, completions(lines, player, "Daily"), DAILY), servers)
    for server in servers:
        if sum(LOST in line for line in server.lines) != 1 or \
                sum(BACK in line for line in server.lines) != 1:
            fail("%s did not log the ledger lost once and back once" % server.name, [server])
    for server in servers:
        server.quit()

    # 3. The database's counts against the merged audits.
    runs, places = audited(servers)
    if places != set(MAPS):
        fail("the audit records name the servers %s" % sorted(map(str, places)))
    rows = database.sql("SELECT eos_id, exchange_key, SUM(runs), SUM(confirmed = 0) "
                        "FROM barterbox.barterbox_runs WHERE player_reset = 0 "
                        "GROUP BY eos_id, exchange_key")
    counted = {}
    for row in rows.splitlines():
        eos_id, key, total, unconfirmed = row.split("\t")
        if int(unconfirmed):
            fail("%s's %s still has %s unconfirmed runs" % (eos_id, key, unconfirmed))
        counted[(eos_id, key)] = int(total)
    expected = {(eos_id, exchange.lower()): total for (eos_id, exchange), total in runs.items()
                if exchange != "Free"}
    if counted != expected:
        fail("the ledger counts %s, the audits %s" % (counted, expected))
    for (eos_id, key), total in counted.items():
        if total > {"swap": DAY_LIMIT, "daily": DAILY}.get(key, STOCK):
            fail("%s ran %s %d times, beyond its limit" % (eos_id, key, total))
    stock = sum(total for (_, key), total in counted.items() if key == "rare")
    if stock > STOCK:
        fail("Rare ran %d times, beyond its stock" % stock)
    print("PASSED: %d exchange attempts on 3 servers; Swap %s per player (Day %d), Daily %s after the "
          "restart (Day %d), Rare %d (stock %d), all equal to the merged audits; longest wait of "
          "a command %.0f ms (WaitMs %d)"
          % (trades, "/".join(str(counted.get((e, "swap"), 0)) for e in PLAYERS.values()),
             DAY_LIMIT, "/".join(str(counted.get((e, "daily"), 0)) for e in PLAYERS.values()),
             DAILY, stock, STOCK, longest, WAIT_MS))


if __name__ == "__main__":
    main()
