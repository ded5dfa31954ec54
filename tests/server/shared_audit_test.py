#!/usr/bin/env python3
"""Two real barterbox-server processes write one audit folder (the second server's is a link to
the first's), both trading as fast as they can, while every write of the second fails once the day
file passes a file-size limit (RLIMIT_FSIZE, with SIGXFSZ ignored, as a full disk would). Every
trade a server announces as complete must be on file, whole, one record per line; a trade whose
record could not be written is cancelled, not announced.

    shared_audit_test.py SERVER_PROGRAM REPOSITORY
"""
import json
import os
import resource
import signal
import subprocess
import sys
import tempfile
import threading

TRADES = {"a": 2000, "b": 2000}
# Bytes: the day file passes it after a few hundred records, so that the second server fails
# most of its writes while the first goes on appending, each a chance to cut what the first
# appended meanwhile.
SIZE_LIMIT = 200_000
STONE = "/Game/PrimalEarth/CoreBlueprints/Resources/PrimalItemResource_Stone.PrimalItemResource_Stone"
# One stone for one stone: a trade that can run any number of times without filling an inventory.
CONFIG = {"Exchanges": {"Swap": {"Give": {"PrimalItemResource_Stone": 1},
                                 "Receive": {"Blueprint'" + STONE + "'": 1}}}}
PLAYERS = {"a": ("Bram", "00029c7d5e3f4a1b8c6d2e0f9a8b7c6d"),
           "b": ("Cleo", "0002f1e2d3c4b5a69788695a4b3c2d1e")}


def fail(message, outputs=()):
    print("FAILED: " + message)
    for output in outputs:
        print("--- output (last lines):")
        print("\n".join(output.splitlines()[-20:]))
    sys.exit(1)


def make_server(scratch, name, audit_link=None):
    server_dir = os.path.join(scratch, name)
    plugin = os.path.join(server_dir, "ArkApi", "Plugins", "Barterbox")
    os.makedirs(plugin)
    with open(os.path.join(plugin, "config.json"), "w", encoding="utf-8") as out:
        json.dump(CONFIG, out)
    if audit_link:
        os.symlink(audit_link, os.path.join(plugin, "audit"))
    else:
        os.makedirs(os.path.join(plugin, "audit"))
    player = PLAYERS[name][0]
    script = os.path.join(scratch, name + ".script")
    with open(script, "w", encoding="utf-8") as out:
        out.write("give %s PrimalItemResource_Stone_C 10\n" % player +
                  "".join("chat %s /ex Swap\n" % player for _ in range(TRADES[name])) + "quit\n")
    return server_dir, plugin, script


def limit_file_size():
    signal.signal(signal.SIGXFSZ, signal.SIG_IGN)
    resource.setrlimit(resource.RLIMIT_FSIZE, (SIZE_LIMIT, SIZE_LIMIT))


def run_both(program, repo, servers):
    """Starts both servers at once; their outputs, read through pipes (no file-size limit)."""
    processes = []
    for server_dir, script, limited in servers:
        command = [program, "--server-dir", server_dir, "--script", script, "--no-color",
                   "--world", os.path.join(repo, "examples", "world.json"),
                   "--fixed-clock", "2026-12-08T15:25:01.123Z"]
        processes.append(subprocess.Popen(command, stdout=subprocess.PIPE, stderr=subprocess.STDOUT,
                                          preexec_fn=limit_file_size if limited else None))
    outputs = [None] * len(processes)

    def read(index):
        outputs[index] = processes[index].communicate(timeout=240)[0].decode("utf-8", "replace")

    threads = [threading.Thread(target=read, args=(i,)) for i in range(len(processes))]
    for thread in threads:
        thread.start()
    for thread in threads:
        thread.join()
    for process, output in zip(processes, outputs):
        if process.returncode != 0:
            fail("a server exited with status %d" % process.returncode, outputs)
    return outputs


def records_on_file(audit):
    """Every line of every day file, each of which must be one whole JSON object."""
    records = []
    for name in sorted(os.listdir(audit)):
        with open(os.path.join(audit, name), "rb") as day:
            text = day.read().decode("utf-8")
        if text and not text.endswith("\n"):
            fail("%s ends in half a line: %r" % (name, text[-80:]))
        for number, line in enumerate(text.splitlines(), 1):
            try:
                record = json.loads(line)
            except ValueError:
                fail("%s:%d is not a whole record: %r" % (name, number, line[:120]))
            if not isinstance(record, dict):
                fail("%s:%d is not an object" % (name, number))
            records.append(record)
    return records


def main():
    program, repo = sys.argv[1], sys.argv[2]
    with tempfile.TemporaryDirectory(prefix="barterbox-shared-audit-") as scratch:
        dir_a, plugin_a, script_a = make_server(scratch, "a")
        audit = os.path.join(plugin_a, "audit")
        dir_b, _, script_b = make_server(scratch, "b", audit_link=audit)
        outputs = run_both(program, repo, [(dir_a, script_a, False), (dir_b, script_b, True)])

        announced = {}
        for name, output in zip("ab", outputs):
            player = PLAYERS[name][0]
            announced[name] = output.count(
                "[chat -> %s] <Barterbox> Exchange complete: Swap x1\n" % player)
        cancelled = outputs[1].count("Failed to record the exchange. Exchange cancelled.")
        if announced["a"] != TRADES["a"]:
            fail("the first server completed %d of %d trades" % (announced["a"], TRADES["a"]),
                 outputs)
        if cancelled == 0 or "Failed to write audit record" not in outputs[1]:
            fail("the second server never failed a write: the limit did not bite", outputs)
        if announced["b"] + cancelled != TRADES["b"]:
            fail("the second server answered %d of %d trades" % (announced["b"] + cancelled,
                                                                  TRADES["b"]), outputs)

        records = records_on_file(audit)
        for name in "ab":
            eos_id = PLAYERS[name][1]
            on_file = sum(1 for r in records if r.get("eos_id") == eos_id and
                          r.get("event") == "exchange" and r.get("outcome") == "complete")
            if on_file != announced[name]:
                fail("server %s announced %d completed trades, %d are on file" %
                     (name, announced[name], on_file), outputs)
        print("PASSED: %d and %d trades announced, all on file; %d cancelled for want of a record"
              % (announced["a"], announced["b"], cancelled))


if __name__ == "__main__":
    main()
