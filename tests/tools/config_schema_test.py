#!/usr/bin/python3
"""The schemas of config.json and rules.json: each a valid draft-07 schema that accepts the example
file and a few other good ones, and rejects files that the plugin would refuse, drop from, or read
otherwise (and, for rules, an empty Groups, which the checker calls an error).

Run with Debian's /usr/bin/python3, which has python3-jsonschema.
Usage: config_schema_test.py config|rules SCHEMA EXAMPLE...
"""
import json
import sys

import jsonschema

WOOD = "Blueprint'/Game/PrimalEarth/CoreBlueprints/Resources/PrimalItemResource_Wood.PrimalItemResource_Wood'"


def exchange(give=None, receive=None, **members):
    entry = {"Give": {"PrimalItemResource_Stone": 5} if give is None else give,
             "Receive": {WOOD: 1} if receive is None else receive}
    entry.update(members)
    return entry


GOOD = {
    "empty": {},
    "settings only": {"Settings": {"ChatPrefix": "Trader", "AllowMultiplier": False,
                                   "MaxMultiplier": 1}},
    "largest quantity": {"Exchanges": {"Big": exchange(give={"PrimalItemResource_Stone": 2147483647})}},
    "description": {"Exchanges": {"Wood": exchange(Description="5 stone for 1 wood")}},
}

BAD = {
    "root not an object": [],
    "chat prefix not a string": {"Settings": {"ChatPrefix": 5}},
    "allow multiplier not a boolean": {"Settings": {"AllowMultiplier": "yes"}},
    "max multiplier 0": {"Settings": {"MaxMultiplier": 0}},
    "max multiplier fractional": {"Settings": {"MaxMultiplier": 2.5}},
    "max multiplier a boolean": {"Settings": {"MaxMultiplier": True}},
    "unknown setting": {"Settings": {"Prefix": "T"}},
    "unknown root member": {"Version": 2},
    "exchange not an object": {"Exchanges": {"Wood": []}},
    "description null": {"Exchanges": {"Wood": exchange(Description=None)}},
    "no receive items": {"Exchanges": {"Wood": {"Give": {"PrimalItemResource_Stone": 5}}}},
    "empty give list": {"Exchanges": {"Wood": exchange(give={})}},
    "empty give identifier": {"Exchanges": {"Wood": exchange(give={"": 1})}},
    "give list an array": {"Exchanges": {"Wood": exchange(give=["PrimalItemResource_Stone"])}},
    "quantity 0": {"Exchanges": {"Wood": exchange(give={"PrimalItemResource_Stone": 0})}},
    "quantity negative": {"Exchanges": {"Wood": exchange(receive={WOOD: -1})}},
    "quantity fractional": {"Exchanges": {"Wood": exchange(give={"PrimalItemResource_Stone": 2.5})}},
    "quantity a string": {"Exchanges": {"Wood": exchange(give={"PrimalItemResource_Stone": "5"})}},
    "quantity beyond 32 bits": {"Exchanges": {"Wood": exchange(receive={WOOD: 2147483648})}},
    "unknown exchange member": {"Exchanges": {"Wood": exchange(Note="x")}},
    "misspelt exchange member": {"Exchanges": {"Wood": {"Give": {"PrimalItemResource_Stone": 5},
                                                        "Recieve": {WOOD: 1}}}},
    "receive a bare class name": {"Exchanges": {"Wood": exchange(receive={"PrimalItemResource_Wood": 1})}},
    "name with a space": {"Exchanges": {"Iron Deal": exchange()}},
    "name outside ascii": {"Exchanges": {"\u00c9tain": exchange()}},
    "empty name": {"Exchanges": {"": exchange()}},
}


RULES_GOOD = {
    "empty": {},
    "every field": {"Default": {"Cooldown": "10m"},
                    "Exchanges": {"Ingots": {"Enabled": True, "Groups": ["VIP", "Admins"],
                                             "Cooldown": 90, "Day": 20, "Week": 100, "Total": 500,
                                             "Stock": 3, "Restock": "1d",
                                             "For": {"VIP": {"Day": 40, "Cooldown": "1m"}}}}},
    "no cooldown": {"Exchanges": {"Ingots": {"Cooldown": 0}}},
    "durations of several units": {"Default": {"Cooldown": "1w2d3h4m5s", "Restock": "1h30m"}},
    "a restock of one second": {"Default": {"Stock": 1, "Restock": 1}},
    "a century": {"Default": {"Cooldown": 3162240000}},
    "discord": {"Discord": {"Webhook": "https://discord.com/api/webhooks/1/abc",
                            "Events": ["complete", "refused:day", "add"], "Exchanges": ["Element"],
                            "MinMultiplier": 10, "Username": "Trade log"}},
    "words": {"Messages": {"ExchangeComplete": "Tausch abgeschlossen: {} x{}",
                           "CooldownWait": "Noch {1}, dann ist {0} wieder bereit"},
              "DisplayNames": {"PrimalItemResource_ChitinPaste": "Zementpaste"},
              "Commands": {"Exchange": ["/exchange", "/tausch"], "Preview": []}},
    "a cluster": {"Cluster": {"Server": "Island", "Database": {
        "Host": "db.example", "Port": 3307, "User": "barterbox", "Password": "", "Name": "ark",
        "WaitMs": 100}}},
}

RULES_BAD = {
    "root not an object": [],
    "unknown root member": {"Exchange": {}},
    "misspelt limit": {"Exchanges": {"Ingots": {"Dya": 20}}},
    "enabled a string": {"Exchanges": {"Ingots": {"Enabled": "no"}}},
    "groups a string": {"Exchanges": {"Ingots": {"Groups": "VIP"}}},
    "groups empty": {"Exchanges": {"Ingots": {"Groups": []}}},
    "empty group name": {"Exchanges": {"Ingots": {"Groups": [""]}}},
    "day 0": {"Exchanges": {"Ingots": {"Day": 0}}},
    "week negative": {"Default": {"Week": -1}},
    "total fractional": {"Default": {"Total": 2.5}},
    "day quoted": {"Default": {"Day": "20"}},
    "stock 0": {"Exchanges": {"Polymer": {"Stock": 0}}},
    "duration with a space": {"Default": {"Cooldown": "1h 30m"}},
    "duration of an unknown unit": {"Default": {"Cooldown": "10x"}},
    "duration without a unit": {"Default": {"Cooldown": "10"}},
    "duration negative": {"Default": {"Cooldown": -5}},
    "duration beyond a century": {"Default": {"Cooldown": 3162240001}},
    "restock of 0 seconds": {"Default": {"Stock": 1, "Restock": "0s"}},
    "restock of 0": {"Default": {"Stock": 1, "Restock": 0}},
    "stock for a group": {"Exchanges": {"Ingots": {"For": {"VIP": {"Stock": 1}}}}},
    "group limits not an object": {"Exchanges": {"Ingots": {"For": {"VIP": 40}}}},
    "entry not an object": {"Exchanges": {"Ingots": []}},
    "name with a space": {"Exchanges": {"Iron Deal": {"Day": 1}}},
    "discord without a webhook": {"Discord": {"Events": ["complete"]}},
    "discord webhook without a scheme": {"Discord": {"Webhook": "discord.com/api/webhooks/1/a"}},
    "discord min multiplier 0": {"Discord": {"Webhook": "https://h/", "MinMultiplier": 0}},
    "discord empty username": {"Discord": {"Webhook": "https://h/", "Username": ""}},
    "misspelt message name": {"Messages": {"ExchangeComplet": "Fertig"}},
    "message not a string": {"Messages": {"ExchangeComplete": ["Fertig"]}},
    "empty display name": {"DisplayNames": {"PrimalItemResource_Wood": ""}},
    "display name for the empty item": {"DisplayNames": {"": "Holz"}},
    "chat word without its slash": {"Commands": {"Exchange": ["tausch"]}},
    "chat word of two words": {"Commands": {"Preview": ["/ex info"]}},
    "chat word twice": {"Commands": {"Exchange": ["/ex", "/ex"]}},
    "chat words not an array": {"Commands": {"Exchange": "/ex"}},
    "unknown chat word list": {"Commands": {"List": ["/exlist"]}},
    "cluster without a database": {"Cluster": {"Server": "Island"}},
    "cluster port a string": {"Cluster": {"Server": "Island", "Database": {
        "Host": "db", "Port": "3306", "User": "u", "Password": "p", "Name": "ark"}}},
    "cluster wait of 0": {"Cluster": {"Server": "Island", "Database": {
        "Host": "db", "User": "u", "Password": "p", "Name": "ark", "WaitMs": 0}}},
    "cluster server empty": {"Cluster": {"Server": "", "Database": {
        "Host": "db", "User": "u", "Password": "p", "Name": "ark"}}},
}

KINDS = {"config": (GOOD, BAD), "rules": (RULES_GOOD, RULES_BAD)}


def main():
    kind, schema_file, example_files = sys.argv[1], sys.argv[2], sys.argv[3:]
    good, bad = KINDS[kind]
    with open(schema_file, encoding="utf-8") as f:
        schema = json.load(f)
    jsonschema.Draft7Validator.check_schema(schema)
    validator = jsonschema.Draft7Validator(schema)

    failures = []
    for example_file in example_files:
        with open(example_file, encoding="utf-8") as f:
            example = json.load(f)
        for error in validator.iter_errors(example):
            failures.append(f"example {example_file} rejected: {error.message}")
    for name, document in good.items():
        for error in validator.iter_errors(document):
            failures.append(f"good {kind} '{name}' rejected: {error.message}")
    for name, document in bad.items():
        if validator.is_valid(document):
            failures.append(f"broken {kind} '{name}' accepted")

    for failure in failures:
        print(failure)
    print(f"{len(good) + len(example_files)} good files, {len(bad)} broken files, {len(failures)} failures")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
