#!/usr/bin/env python3
"""Prints the line and branch coverage of each file of support/ and relay/ from
gcov's JSON (one document a line on standard input, as `gcov --json-format
--stdout` writes it for every object file), and fails when a line or branch
that never ran is not listed in the exceptions file, or when a listed one did
run (or holds no code): the list must say what is left, no more.

    gcov --json-format --stdout OBJECTS... | coverage-report.py ROOT EXCEPTIONS

An inline function or template of a header has a copy in every object that
uses it: the counts of a line, and of each branch of the same function, are
added up over all of them. A branch is one way out of a line's decision, as
gcov counts them (an if has two); it is covered once it was taken.
"""

import json
import os
import sys
from collections import defaultdict

FOLDERS = ("support/", "relay/")


def read_counts(stream, root):
    """{file: {line: [line count, {function: [branch counts]}]}} for the project's files."""
    files = defaultdict(lambda: defaultdict(lambda: [0, {}]))
    for document in stream:
        if not document.strip():
            continue
        for source in json.loads(document)["files"]:
            path = os.path.relpath(os.path.normpath(source["file"]), root).replace(os.sep, "/")
            if not path.startswith(FOLDERS):
                continue
            for line in source["lines"]:
                entry = files[path][line["line_number"]]
                entry[0] += line["count"]
                counts = [branch["count"] for branch in line["branches"]]
                if not counts:
                    continue
                function = line.get("function_name", "")
                earlier = entry[1].get(function)
                if earlier is None:
                    entry[1][function] = counts
                elif len(earlier) == len(counts):
                    entry[1][function] = [a + b for a, b in zip(earlier, counts)]
                else:
                    sys.exit(f"{path}:{line['line_number']}: {function} has other branches in another object")
    return files


def read_exceptions(path):
    """{(file, line): reason}, and the problems with the list itself."""
    listed, problems = {}, []
    with open(path, encoding="utf-8") as text:
        for number, raw in enumerate(text, 1):
            entry = raw.strip()
            if not entry or entry.startswith("#"):
                continue
            place, _, reason = entry.partition(" ")
            file, _, line = place.rpartition(":")
            if not file or not line.isdigit() or not reason.strip():
                problems.append(f"{path}:{number}: not 'FILE:LINE REASON': {entry}")
            elif (file, int(line)) in listed:
                problems.append(f"{path}:{number}: {place} is listed twice")
            else:
                listed[(file, int(line))] = reason.strip()
    return listed, problems


def percent(part, whole):
    return f"{100.0 * part / whole:.1f} %" if whole else "-"


def main():
    root, exceptions_path = sys.argv[1], sys.argv[2]
    files = read_counts(sys.stdin, root)
    listed, problems = read_exceptions(exceptions_path)
    rows, missed = [], []
    totals = [0] * 6
    for path in sorted(files):
        lines_run = lines_listed = branches = branches_run = branches_listed = 0
        for number, (count, functions) in sorted(files[path].items()):
            arcs = [c for name in sorted(functions) for c in functions[name]]
            untaken = sum(1 for c in arcs if c == 0)
            excused = (path, number) in listed
            branches += len(arcs)
            branches_run += len(arcs) - untaken
            if count > 0:
                lines_run += 1
            elif excused:
                lines_listed += 1
            else:
                missed.append(f"{path}:{number}: never ran")
            if untaken and excused:
                branches_listed += untaken
            elif untaken:
                missed.append(f"{path}:{number}: {untaken} of its {len(arcs)} branches never taken")
            if excused and count > 0 and not untaken:
                problems.append(f"{path}:{number} is listed as an exception, but it ran, every branch taken")
        row = [len(files[path]), lines_run, lines_listed, branches, branches_run, branches_listed]
        totals = [a + b for a, b in zip(totals, row)]
        rows.append((path, row))
    for (path, number), _ in sorted(listed.items()):
        if number not in files.get(path, {}):
            problems.append(f"{path}:{number} is listed as an exception, but holds no code")

    print(f"{'':28} {'Lines':^30}   {'Branches':^27}")
    print(f"{'File':28} {'run/all':^14} {'run':>8} {'listed':>6}   {'taken/all':^11} {'taken':>8} {'listed':>6}")
    for path, (lines, run, lines_excused, arcs, taken, arcs_excused) in rows + [("all", totals)]:
        if path == "all":
            print("-" * 88)
        print(f"{path:28} {run:>6}/{lines:<6} {percent(run, lines):>8} {lines_excused:>6}   "
              f"{taken:>5}/{arcs:<5} {percent(taken, arcs):>8} {arcs_excused:>6}")
    print(f"listed: lines and branches that cannot run, in {os.path.relpath(exceptions_path, root)} "
          "with the reason for each, and not counted as run")
    for text in missed:
        print(f"not covered: {text}", file=sys.stderr)
    for text in problems:
        print(f"exceptions: {text}", file=sys.stderr)
    return 1 if missed or problems else 0


if __name__ == "__main__":
    sys.exit(main())
