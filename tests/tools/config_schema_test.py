#!/usr/bin/python3
"""The config schema: a valid draft-07 schema that accepts the example config and a few other
good ones, and rejects configs that the plugin would refuse, drop from, or read otherwise.

Run with Debian's /usr/bin/python3, which has python3-jsonschema.
Usage: config_schema_test.py SCHEMA EXAMPLE_CONFIG
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


def main():
    schema_file, example_file = sys.argv[1], sys.argv[2]
    with open(schema_file, encoding="utf-8") as f:
        schema = json.load(f)
    jsonschema.Draft7Validator.check_schema(schema)
    validator = jsonschema.Draft7Validator(schema)

    failures = []
    with open(example_file, encoding="utf-8") as f:
        example = json.load(f)
    for error in validator.iter_errors(example):
        failures.append(f"example config rejected: {error.message}")
    for name, config in GOOD.items():
        for error in validator.iter_errors(config):
            failures.append(f"good config '{name}' rejected: {error.message}")
    for name, config in BAD.items():
        if validator.is_valid(config):
            failures.append(f"broken config '{name}' accepted")

    for failure in failures:
        print(failure)
    print(f"{len(GOOD) + 1} good configs, {len(BAD)} broken configs, {len(failures)} failures")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
