#!/usr/bin/env python3
"""Runs tavrix-report --json over every test machine file and table dump and checks each document
against docs/tavrix-report.schema.json, against what --window and --address print for the same
input (every label's value, every list row in order), and against what a saved machine file replays;
then the same over machine files at the edges of what the reader accepts, each with the members it
must give.

usage: check_report_json.py TAVRIX-REPORT SOURCE-DIR
"""
import glob
import json
import os
import shutil
import subprocess
import sys
import tempfile

import jsonschema



# Machine files at the edges of what the reader accepts, and what their documents must hold:
# (member path, value). Signs, fractions and digits beyond 64 bits stay inside the schema.
EDGES = {
    "negative-sizes": (
        "[Win32_ComputerSystem]\nTotalPhysicalMemory=-8589934592\n"
        "[Win32_PhysicalMemoryArray]\nMaxCapacity=-33554432\n"
        "[Win32_PhysicalMemory]\nCapacity=-4294967296\n",
        [(("figures", "installedMemoryGB"), -8), (("figures", "maximumMemoryGB"), -32),
         (("memoryArray", "maxCapacity"), "-33554432"), (("modules", 0, "sizeBytes"), None)]),
    "capacities-at-64-bits": (
        "[Win32_PhysicalMemory]\nCapacity=18446744073709551615\n"
        "[Win32_PhysicalMemory]\nCapacity=18446744073709551616\n"
        "[Win32_PhysicalMemory]\nCapacity= 12.5\n",
        [(("modules", 0, "sizeBytes"), 18446744073709551615), (("modules", 1, "sizeBytes"), None),
         (("modules", 1, "capacity"), "18446744073709551616"), (("modules", 2, "sizeBytes"), None)]),
    "long-whole-numbers": (
        "[Win32_ComputerSystem]\nTotalPhysicalMemory=1" + "0" * 300 + "\n"
        "[Win32_PhysicalMemoryArray]\nMaxCapacity=0000000000000000000032\nMemoryDevices=9223372036854775807\n"
        "[Win32_PhysicalMemory]\nSpeed=9223372036854775808\nMemoryType=0\n",
        [(("memoryArray", "maxCapacity"), 32), (("memoryArray", "memoryDevices"), 9223372036854775807),
         (("modules", 0, "speed"), "9223372036854775808"), (("modules", 0, "memoryType"), 0)]),
}


def at(document, path):
    for key in path:
        document = document[key]
    return document


def run(report, *arguments):
    return subprocess.run([report, *arguments], capture_output=True, check=False)


def main():
    report, source = sys.argv[1], sys.argv[2]
    with open(os.path.join(source, "docs", "tavrix-report.schema.json"), encoding="utf-8") as file:
        validator = jsonschema.Draft202012Validator(json.load(file))
    shared = os.path.join(source, "..", "shared", "smbios-dumps")
    work = tempfile.mkdtemp()
    inputs = [[option, path] for option, pattern in [
        ("--machine", "tests/data/machines/*.machine"), ("--machine", "examples/*.machine"),
        ("--dump", "tests/data/smbios/*.bin"), ("--dump", "../shared/smbios-dumps/*.bin")]
        for path in sorted(glob.glob(os.path.join(source, pattern)))]
    expected = {}
    for name, (text, members) in EDGES.items():
        path = os.path.join(work, name + ".machine")
        with open(path, "w", encoding="utf-8") as file:
            file.write(text)
        inputs.append(["--machine", path])
        expected[name + ".machine"] = members
    passed = failed = 0
    saved = os.path.join(work, "saved.machine")
    for source_arguments in inputs:
        name = os.path.basename(source_arguments[1])
        problems = []
        result = run(report, *source_arguments, "--json", "--save-machine", saved)
        window = run(report, *source_arguments, "--window")
        address = run(report, *source_arguments, "--address")
        replayed = run(report, "--machine", saved, "--json")
        try:
            if result.returncode != 0 or result.stderr:
                raise ValueError(f"status {result.returncode}: {result.stderr!r}")
            if not result.stdout.endswith(b"}\n") or b"\r" in result.stdout:
                problems.append("not one document ending in a line feed")
            document = json.loads(result.stdout.decode("utf-8"))
            problems += [error.message for error in validator.iter_errors(document)]
            problems += [f"{'.'.join(map(str, path))} is {at(document, path)!r}, not {value!r}"
                         for path, value in expected.get(name, []) if at(document, path) != value]
            # --window and the "window" member both give the labels first, in the order the scan sets them.
            lists = {"slotsLst": [], "memoryLst": [], "speedLst": []}
            members = iter(document["window"].items())
            for line in window.stdout.decode("utf-8").split("\n")[:-1]:
                key, value = line.split("=", 1)
                if key in lists:
                    lists[key].append(value)
                    continue
                member, shown = next(members)
                if shown != value:
                    problems.append(f"{key} ({member}): {shown!r} != {value!r}")
            problems += [f"{key}: {document['window'][key]} != {rows}" for key, rows in lists.items()
                         if document["window"][key] != rows]
            if [m["size"] for m in document["modules"]] != lists["memoryLst"]:
                problems.append("modules out of the lists' order")
            if document["lookupAddress"] + "\n" != address.stdout.decode("utf-8"):
                problems.append("lookupAddress differs from --address")
            if replayed.stdout != result.stdout:
                problems.append("the saved machine file replays differently")
        except (ValueError, KeyError, StopIteration, UnicodeDecodeError) as error:
            problems.append(str(error))
        if problems:
            print(f"FAILED: {name}: {'; '.join(problems)}")
        failed += bool(problems)
        passed += not problems
    if not os.path.isdir(shared):
        print("no ../shared/smbios-dumps beside the source: real computers' dumps skipped")
    shutil.rmtree(work)
    print(f"{passed} passed, {failed} failed")
    return 0 if failed == 0 and passed >= 10 else 1


if __name__ == "__main__":
    sys.exit(main())
