#!/usr/bin/env python3
"""Runs tavrix-report --json over every test machine file and table dump and checks each document
against docs/tavrix-report.schema.json, against what --window and --address print for the same
input (every label's value, every list row in order), and against what a saved machine file replays.

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
