#!/usr/bin/env python3
"""A seeded, reproducible stream of console lines through barterbox-server, checked as it runs.

Players join and leave, are given items, chat exchanges (valid and unknown names, multipliers of
every form) and have them run over RCON; administrators and players send the console commands;
config.json is edited by hand between commands, reloaded, saved, and the module is reloaded. A
model of the table and of every inventory follows the server's output, and the soak fails at the
first difference: an inventory that changed other than through a completed exchange (Give out,
Receive in, times the multiplier the player was told), a saved config.json that is not the table,
an error line, a sanitizer report, a non-zero exit (which includes a leak or ledger error at the
module's unload), an audit line that is not JSON, or an audit that disagrees with the model on how
many exchanges each player completed or had undone. Trade rules are in force (rules.json) while the
plugin's clock moves on in steps: no player may exceed a limit or run within a cooldown, no stock
period may sell more than its stock, and the runs each player completed of each exchange, as the
audit records them, must be the model's, across resets, reloads and module reloads. At the end it
prints the seed, the throughput and the peak memory.

    soak.py SERVER_PROGRAM [--lines N] [--seed S] [--check-memory]
"""
import argparse
import datetime
import json
import os
import random
import re
import shutil
import subprocess
import sys
import tempfile
import threading
import time

RESOURCES = "/Game/PrimalEarth/CoreBlueprints/Resources/"
ITEMS = ["Wood", "Stone", "Flint", "Thatch", "Fiber"]
MAX_MULTIPLIER = 10
PREFIX = "Trader"
PLAYERS = ["Ada", "Bram", "Cleo", "Dana", "Eli", "Fern"]
# The character states in which nothing may be traded, as the console sets them.
STATES = ["dead", "unconscious", "carried", "riding", "transferring", "noglin"]
ADMINS = {"Ada", "Dana"}


def class_name(item):
    return "PrimalItemResource_" + item


def blueprint(item):
    name = class_name(item)
    return "Blueprint'%s%s.%s'" % (RESOURCES, name, name)


def eos(player):
    return "0002%028x" % (PLAYERS.index(player) + 1)


# Small inventories, so that they fill: an exchange whose items do not fit must then be undone,
# leaving the inventory as it was.
WORLD = {
    "InventorySlots": 12,
    "ItemClasses": [{"Path": RESOURCES + class_name(i) + "." + class_name(i), "MaxStack": 100}
                    for i in ITEMS],
    "Players": [],
}


def definition(give, receive):
    """An exchange as the config holds it: item -> quantity for each side."""
    return {"Description": "", "Give": {class_name(i): q for i, q in give},
            "Receive": {blueprint(i): q for i, q in receive}}


# The exchanges a hand edit may write: none makes more items than it takes, so that what fills an
# inventory is the console's gives.
EXCHANGES = {
    "Forth": definition([("Wood", 2)], [("Stone", 1)]),
    "Back": definition([("Stone", 1)], [("Wood", 2)]),
    "Pair": definition([("Wood", 1), ("Flint", 1)], [("Thatch", 2)]),
    "Split": definition([("Thatch", 2)], [("Fiber", 1), ("Flint", 1)]),
    "Mend": definition([("Fiber", 1)], [("Wood", 1)]),
}


# Every kind of limit on the exchanges, small enough to be reached often.
RULES = {"Exchanges": {
    "Forth": {"Day": 25},
    "Back": {"Cooldown": "90s"},
    "Pair": {"Stock": 30, "Restock": "1h"},
    "Split": {"Total": 40, "Week": 30},
}}
START = datetime.datetime(2026, 12, 7, tzinfo=datetime.timezone.utc)  # a Monday


def config_text(names):
    return json.dumps({"Exchanges": {n: EXCHANGES[n] for n in names},
                       "Settings": {"AllowMultiplier": True, "MaxMultiplier": MAX_MULTIPLIER,
                                    "ChatPrefix": PREFIX}})


def table_of(document):
    """The table a config document loads to: exchange key -> (name, give, receive by item)."""
    table = {}
    exchanges = document.get("Exchanges", {}) if isinstance(document, dict) else {}
    for name, entry in (exchanges.items() if isinstance(exchanges, dict) else []):
        if not isinstance(entry, dict):
            continue
        give = {k[len("PrimalItemResource_"):]: v for k, v in entry["Give"].items()}
        receive = {k.split(".")[-1].rstrip("'")[len("PrimalItemResource_"):]: v
                   for k, v in entry["Receive"].items()}
        table[name.lower()] = (name, give, receive)
    return table


def text_of(table):
    """The config text that loads to the table."""
    return json.dumps({"Exchanges": {name: definition(give.items(), receive.items())
                                     for name, give, receive in table.values()},
                       "Settings": {"AllowMultiplier": True, "MaxMultiplier": MAX_MULTIPLIER,
                                    "ChatPrefix": PREFIX}})


class Generator:
    """The console lines, from the seed alone: the same seed gives the same soak."""

    def __init__(self, seed):
        self.random = random.Random(seed)
        self.online = set()
        self.gives = {}
        self.disk_valid = True
        self.extra = 0

    def lines(self, count):
        r = self.random
        for player in PLAYERS[:4]:
            yield from self.join(player)
        produced = 4
        while produced < count:
            for line in self.one():
                yield line
                produced += 1

    def join(self, player):
        self.online.add(player)
        self.gives[player] = 0
        yield "join %s %s%s" % (player, eos(player), " admin" if player in ADMINS else "")

    def one(self):
        r = self.random
        online = sorted(self.online)
        player = r.choice(online) if online else None
        admin = r.choice(sorted(self.online & ADMINS) or [player or "Ada"])
        pick = r.random()
        if player is None or pick < 0.05:
            candidates = [p for p in PLAYERS if p not in self.online]
            if candidates and (player is None or r.random() < 0.6):
                yield from self.join(r.choice(candidates))
            elif player is not None:
                self.online.discard(player)
                yield "leave " + player
            return
        if pick < 0.35:
            name = r.choice(list(EXCHANGES) + ["Unknown", "forth", "BACK", "Extra1"])
            multiplier = r.choice(["", "", "1", "2", "3", "10", "11", "50", "0", "-2", "x",
                                   "2147483648"])
            yield ("chat %s /ex %s %s" % (player, name, multiplier)).rstrip()
        elif pick < 0.45:
            target = r.choice(PLAYERS)
            yield "rcon Barterbox.Do %s %s" % (eos(target), r.choice(list(EXCHANGES) + ["Nope"]))
        elif pick < 0.60:
            if self.gives[player] >= 30:
                # A fresh inventory now and then, so that not every one stays full.
                self.online.discard(player)
                yield "leave " + player
                return
            self.gives[player] += 1
            yield "give %s %s %d" % (player, class_name(r.choice(ITEMS)), r.randint(1, 40))
        elif pick < 0.68:
            yield "inv " + player
        elif pick < 0.71:
            yield "chat %s %s" % (player, r.choice(["hello", "/exchange", "/ex", "gg /ex Forth"]))
        elif pick < 0.74:
            yield "console %s Barterbox.List" % r.choice([admin, player])
        elif pick < 0.78:
            self.extra += 1
            give, receive = r.sample(ITEMS, 2)
            yield "console %s Barterbox.Add Extra%d %s:%d %s:%d" % (
                r.choice([admin, admin, player]), self.extra % 7, class_name(give),
                r.randint(1, 3), blueprint(receive), 1)
        elif pick < 0.81:
            yield "console %s Barterbox.Remove %s" % (
                r.choice([admin, player]), r.choice(["Extra%d" % r.randint(0, 6), "Forth", "nope"]))
        elif pick < 0.84:
            yield "console %s Barterbox.Reload" % r.choice([admin, admin, player])
        elif pick < 0.88:
            yield "console %s Barterbox.Save" % r.choice([admin, admin, player])
            yield "show config.json"
        elif pick < 0.91:
            if r.random() < 0.8:
                names = r.sample(list(EXCHANGES), r.randint(1, len(EXCHANGES)))
                self.disk_valid = True
                yield "edit config.json " + config_text(names)
            else:
                self.disk_valid = False
                yield "edit config.json " + r.choice(['{"Exchanges": {', "{", "[1, 2]",
                                                      '{"Exchanges": {"A": 5}}'])
        elif pick < 0.902:
            if self.disk_valid:
                yield "reload-plugin"
        elif pick < 0.93:
            # Small steps: a day passes every twenty or so, so that the limits reset now and then
            # while the history stays a few months long (every load reads a summary per day).
            yield "clock +" + r.choice(["30s", "1m", "10m", "1h", "1h", "5h"])
        elif pick < 0.935:
            target = eos(r.choice(PLAYERS))
            yield ("console %s Barterbox.Reset %s %s"
                   % (admin, target, r.choice(["", "Forth", "back", "Split", "Pair"]))).rstrip()
        elif pick < 0.95:
            yield "state %s %s %s" % (player, r.choice(STATES), r.choice(["on", "off", "off"]))
        else:
            yield "rcon Barterbox.Do %s" % eos(player)


class Model:
    """What the server must show, built from its own output."""

    def __init__(self, disk):
        self.table = table_of(json.loads(disk))
        self.disk = disk
        self.inventories = {}
        self.states = {}  # per player, the states the console put the character in
        self.command = ""
        self.shown = None  # the inventory or file lines of the command being read
        self.failures = []
        self.exchanges = 0
        self.cancelled = 0
        # Per EOS ID, as the audit names players: exchanges completed, and exchanges undone.
        self.completed_by = {}
        self.cancelled_by = {}
        # The plugin's clock, and per (EOS ID, exchange key) the completed runs since the last
        # reset, as (time, runs); per exchange key every run, for the stocks.
        self.clock = START
        self.runs = {}
        self.reset_runs = {}  # the runs a reset made the rules forget, which the audit still holds
        self.stock_runs = {}
        self.saved = False  # the plugin saved during the command being read
        self.disk_is_table = True  # no hand edit since the last save

    def fail(self, message):
        self.failures.append("after '%s': %s" % (self.command, message))

    def end_of_command(self):
        words = self.command.split(" ")
        if self.saved:
            self.disk = text_of(self.table)
            self.disk_is_table = True
            self.saved = False
        if words[0] == "inv" and self.shown is not None:
            carried = {}
            for item, quantity in self.shown:
                carried[item] = carried.get(item, 0) + quantity
            expected = {k: v for k, v in self.inventories.get(words[1], {}).items() if v}
            if carried != expected:
                self.fail("%s carries %s, but the exchanges explain %s"
                          % (words[1], carried, expected))
        elif words[0] == "show" and self.shown is not None:
            try:
                saved = table_of(json.loads("\n".join(self.shown)))
            except (ValueError, KeyError, AttributeError) as error:
                saved = "unreadable (%s)" % error
            if self.disk_is_table and saved != self.table:
                self.fail("config.json holds %s after a save, not the table %s"
                          % (saved, self.table))
        self.shown = None

    def line(self, text):
        if text.startswith("> "):
            self.end_of_command()
            self.command = text[2:]
            words = self.command.split(" ")
            self.shown = [] if words[0] in ("inv", "show") else None
            if words[0] == "edit":
                self.disk = self.command.split(" ", 2)[2] if len(words) > 2 else ""
                self.disk_is_table = False
            elif words[0] == "reload-plugin":
                self.table = table_of(json.loads(self.disk))
                self.disk_is_table = True
            return
        if re.match(r"\[server\] error: the inventory of \w+ has no room for ", text):
            return  # a give into a full inventory, refused whole
        if text.startswith("[server] error") or "ERROR: AddressSanitizer" in text \
                or "runtime error:" in text:
            self.fail("error line: " + text)
            return
        if text.endswith("[Barterbox][info] Barterbox: Config saved"):
            self.saved = True
            return
        # An Add or a Remove is made to the file as it is now: a hand edit since is read in first.
        if text.endswith("Barterbox: config.json changed on disk since this server read it; the "
                         "change is made to the file as it is now"):
            self.table = table_of(json.loads(self.disk))
            return
        match = re.match(r"\[server\] (\w+) joined", text)
        if match:
            self.inventories[match.group(1)] = {}
            self.states[match.group(1)] = set()
            return
        match = re.match(r"\[server\] (\w+) is (?:(no longer) )?(.+?)(?: now)?$", text)
        if match and self.command.startswith("state "):
            held = self.states.setdefault(match.group(1), set())
            (held.discard if match.group(2) else held.add)(match.group(3))
            return
        match = re.match(r"\[server\] (\w+) left$", text)
        if match:
            self.inventories.pop(match.group(1), None)
            return
        match = re.match(r"\[server\] gave (\w+) (\d+) PrimalItemResource_(\w+?)(?:_C)?$", text)
        if match:
            inventory = self.inventories[match.group(1)]
            item = match.group(3)
            inventory[item] = inventory.get(item, 0) + int(match.group(2))
            return
        match = re.match(r"\[inv (\w+)\] #\d+ PrimalItemResource_(\w+?)(?:_C)? x(\d+)$", text)
        if match and self.shown is not None:
            self.shown.append((match.group(2), int(match.group(3))))
            return
        if text.startswith("[file config.json] ") and self.shown is not None:
            self.shown.append(text[len("[file config.json] "):])
            return
        match = re.match(r"\[chat -> (\w+)\] <%s> Exchange complete: (\S+) x(-?\d+)$" % PREFIX,
                         text)
        if match:
            self.completed(match.group(1), match.group(2), int(match.group(3)))
            return
        match = re.match(r"\[chat -> (\w+)\] <%s> Failed to give items\. Exchange cancelled\.$"
                         % PREFIX, text)
        if match:
            self.cancelled += 1  # undone: the inventory is as it was
            key = eos(match.group(1))
            self.cancelled_by[key] = self.cancelled_by.get(key, 0) + 1
            return
        if "Exchange partially complete" in text or "Failed to remove items" in text:
            self.fail(text)
            return
        match = re.match(r"\[server\] clock (\d{4}-\d\d-\d\dT\d\d:\d\d:\d\d)(?:\.\d+)?Z$", text)
        if match:
            self.clock = datetime.datetime.strptime(match.group(1), "%Y-%m-%dT%H:%M:%S").replace(
                tzinfo=datetime.timezone.utc)
            return
        match = re.match(r"\[msg -> \w+\] \(green\) (.*)$", text)
        if match:
            self.admin_reply(match.group(1))

    def completed(self, player, name, multiplier):
        if self.states.get(player):
            self.fail("%s traded while %s" % (player, ", ".join(sorted(self.states[player]))))
        self.exchanges += 1
        self.completed_by[eos(player)] = self.completed_by.get(eos(player), 0) + 1
        if not 1 <= multiplier <= MAX_MULTIPLIER:
            self.fail("a completed exchange with multiplier %d" % multiplier)
            return
        found = self.table.get(name.lower())
        if found is None or found[0] != name:
            self.fail("%s completed %s, which the table does not hold" % (player, name))
            return
        self.check_rules(eos(player), name.lower(), multiplier)
        inventory = self.inventories[player]
        for item, quantity in found[1].items():
            inventory[item] = inventory.get(item, 0) - quantity * multiplier
            if inventory[item] < 0:
                self.fail("%s gave %d %s more than they carried" % (player, -inventory[item], item))
        for item, quantity in found[2].items():
            inventory[item] = inventory.get(item, 0) + quantity * multiplier

    def check_rules(self, player, key, runs):
        """Counts the completed runs and fails when they break a rule of RULES."""
        now = self.clock
        mine = self.runs.setdefault((player, key), [])
        stock = self.stock_runs.setdefault(key, [])
        if key == "back" and mine and now - mine[-1][0] < datetime.timedelta(seconds=90):
            self.fail("%s ran Back %s after the last, within its cooldown" % (player, now - mine[-1][0]))
        mine.append((now, runs))
        stock.append((now, runs))
        day = now.replace(hour=0, minute=0, second=0, microsecond=0)
        week = day - datetime.timedelta(days=day.weekday())
        hour = now.replace(minute=0, second=0, microsecond=0)
        since = lambda entries, start: sum(n for t, n in entries if t >= start)
        broken = {"forth": [("per day", since(mine, day), 25)],
                  "split": [("in all", since(mine, START), 40), ("per week", since(mine, week), 30)],
                  "pair": [("per hour for everyone", since(stock, hour), 30)]}.get(key, [])
        for period, count, limit in broken:
            if count > limit:
                self.fail("%s has %d runs of %s %s, beyond %d" % (player, count, key, period, limit))

    def reset(self, player, key):
        for entry in [k for k in self.runs if k[0] == player and (key is None or k[1] == key)]:
            self.reset_runs.setdefault(entry, []).extend(self.runs.pop(entry))

    def admin_reply(self, text):
        words = self.command.split(" ")
        match = re.match(r"Barterbox: Reset the counts of (\w+) for (\w+)", text)
        if match:
            self.reset(match.group(1), None if text.endswith("every exchange") else match.group(2).lower())
            return
        if text.startswith("Added exchange"):
            name, give, receive = words[3], words[4], words[5]
            give_item, give_quantity = give.rsplit(":", 1)
            receive_item, receive_quantity = receive.rsplit(":", 1)
            self.table[name.lower()] = (
                name, {give_item[len("PrimalItemResource_"):]: int(give_quantity)},
                {receive_item.split(".")[-1].rstrip("'")[len("PrimalItemResource_"):]:
                 int(receive_quantity)})
            self.disk_is_table = False  # until a save
        elif text.startswith("Removed exchange"):
            self.table.pop(words[3].lower(), None)
            self.disk_is_table = False  # until a save
        elif text.startswith("Barterbox: Reloaded"):
            self.table = table_of(json.loads(self.disk))
            self.disk_is_table = True
            if text != "Barterbox: Reloaded %d exchanges" % len(self.table):
                self.fail("'%s' from a file of %d exchanges" % (text, len(self.table)))


def rss(pid, field):
    try:
        with open("/proc/%d/status" % pid) as status:
            for line in status:
                if line.startswith(field + ":"):
                    return int(line.split()[1])
    except OSError:
        pass
    return 0


def check_audit(plugin, model):
    """Every line of every audit file is one JSON record, and the exchange records agree with the
    model: as many completed and as many cancelled per player as the server's replies told."""
    completed, cancelled, records, runs = {}, {}, 0, {}
    folder = os.path.join(plugin, "audit")
    for name in sorted(os.listdir(folder)) if os.path.isdir(folder) else []:
        if not name.endswith(".jsonl"):
            continue  # the summaries of closed days, which the trade rules read
        with open(os.path.join(folder, name), "rb") as day:
            for number, raw in enumerate(day, 1):
                try:
                    record = json.loads(raw.decode("utf-8"))
                except ValueError as error:
                    model.failures.append("audit/%s:%d is not JSON (%s)" % (name, number, error))
                    return
                records += 1
                if record.get("event") != "exchange":
                    continue
                tally = {"complete": completed, "cancelled": cancelled}.get(record["outcome"])
                if tally is not None:
                    tally[record["eos_id"]] = tally.get(record["eos_id"], 0) + 1
                if record["outcome"] == "complete":
                    key = (record["eos_id"], record["exchange"].lower())
                    runs[key] = runs.get(key, 0) + record["effective"]
    if completed != model.completed_by:
        model.failures.append("the audit counts completed exchanges %s, the model %s"
                              % (completed, model.completed_by))
    modelled = {}
    for (player, key), entries in list(model.runs.items()) + list(model.reset_runs.items()):
        modelled[(player, key)] = modelled.get((player, key), 0) + sum(n for _, n in entries)
    modelled = {k: v for k, v in modelled.items() if v}
    if runs != modelled:
        model.failures.append("the audit counts runs %s, the model %s"
                              % (sorted(runs.items()), sorted(modelled.items())))
    if cancelled != model.cancelled_by:
        model.failures.append("the audit counts cancelled exchanges %s, the model %s"
                              % (cancelled, model.cancelled_by))
    return records


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("server")
    parser.add_argument("--lines", type=int, default=100000)
    parser.add_argument("--seed", type=int, default=None)
    # Off in the sanitizer build, whose shadow memory grows with every load of the module.
    parser.add_argument("--check-memory", action="store_true",
                        help="fail when memory grows by more than 16 MB after the first quarter")
    parser.add_argument("--record", metavar="FILE",
                        help="write the seed and, at each tenth, the lines, seconds and memory as JSON")
    arguments = parser.parse_args()
    seed = arguments.seed if arguments.seed is not None else random.SystemRandom().randrange(2**32)
    print("soak: seed %d, %d lines" % (seed, arguments.lines), flush=True)

    scratch = tempfile.mkdtemp(prefix="barterbox-soak-")
    plugin = os.path.join(scratch, "ArkApi", "Plugins", "Barterbox")
    os.makedirs(plugin)
    disk = config_text(list(EXCHANGES))
    with open(os.path.join(plugin, "config.json"), "w") as config:
        config.write(disk)
    with open(os.path.join(plugin, "rules.json"), "w") as rules:
        json.dump(RULES, rules)
    with open(os.path.join(scratch, "world.json"), "w") as world:
        json.dump(WORLD, world)
    env = dict(os.environ)
    env["ASAN_OPTIONS"] = env.get("ASAN_OPTIONS", "") + ":quarantine_size_mb=16"
    server = subprocess.Popen(
        [arguments.server, "--server-dir", scratch, "--world", os.path.join(scratch, "world.json"),
         "--no-color", "--fixed-clock", START.strftime("%Y-%m-%dT%H:%M:%S.000Z")],
        stdin=subprocess.PIPE, stdout=subprocess.PIPE, stderr=subprocess.STDOUT, env=env)

    def feed():
        try:
            for line in Generator(seed).lines(arguments.lines):
                server.stdin.write((line + "\n").encode())
            server.stdin.write(b"quit\n")
            server.stdin.close()
        except BrokenPipeError:
            pass

    model = Model(disk)
    started = time.monotonic()
    threading.Thread(target=feed, daemon=True).start()
    samples = []
    tenths = []
    peak = 0
    count = 0
    tail = []
    for raw in server.stdout:
        text = raw.decode("utf-8", "replace").rstrip("\n")
        tail = (tail + [text])[-40:]
        model.line(text)
        if text.startswith("> "):
            count += 1
            if count % (arguments.lines // 10 or 1) == 0:
                samples.append(rss(server.pid, "VmRSS"))
                tenths.append({"lines": count, "seconds": round(time.monotonic() - started, 3),
                               "rss_kib": samples[-1]})
                peak = max(peak, rss(server.pid, "VmHWM"))
        if model.failures:
            break
    model.end_of_command()
    if model.failures:
        server.kill()
    status = server.wait()
    elapsed = time.monotonic() - started
    records = check_audit(plugin, model) if not model.failures else 0
    shutil.rmtree(scratch, ignore_errors=True)

    print("soak: %d lines in %.1f s, %.0f lines/s, %d exchanges completed, %d undone, "
          "peak memory %.1f MB"
          % (count, elapsed, count / elapsed, model.exchanges, model.cancelled, peak / 1024.0))
    print("soak: memory (KiB) at each tenth: %s" % samples)
    print("soak: %s audit records, each one JSON line" % records)
    if not model.failures and status != 0:
        model.failures.append("the server exited %d" % status)
    if not model.failures and arguments.check_memory and len(samples) >= 4 and samples[-1] - samples[len(samples) // 4] > 16384:
        model.failures.append("memory grew by %d KiB after the first quarter"
                              % (samples[-1] - samples[len(samples) // 4]))
    if arguments.record and not model.failures:
        with open(arguments.record, "w") as record:
            json.dump({"seed": seed, "lines": count, "seconds": round(elapsed, 3),
                       "peak_kib": peak, "tenths": tenths}, record, indent=1)
    if model.failures:
        print("FAILED (seed %d):\n  %s" % (seed, "\n  ".join(model.failures[:10])))
        print("--- the last lines of output:\n" + "\n".join(tail))
        sys.exit(1)
    print("PASSED")


if __name__ == "__main__":
    main()
