#!/usr/bin/env python3
"""One-token mutants of the program's sources, and which of them the test suite kills.

  mutate.py list [--count N] [--seed S]      write a mutant list (tab-separated) to stdout
  mutate.py run LIST [--build DIR] [--only K,...] [--select REGEX]
                                             apply each mutant alone, rebuild DIR incrementally,
                                             run ctest (only the tests REGEX matches, for a
                                             quick look); one result line per mutant to stdout

A mutant is a file, a line number, the line as it was and the line as mutated. It is found by
its text (nearest the line number), so a list stays usable while other lines move. Results:
killed (a test failed), survived, stillborn (does not build) or missing (line not found).
"""
import argparse
import os
import random
import re
import subprocess
import sys
import time

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
FOLDERS = ["app", "cli", "dialog", "families", "page", "rtf"]

SWAPS = [("<=", "<"), (">=", ">"), ("==", "!="), ("!=", "=="), ("<", "<="), (">", ">="),
         ("&&", "||"), ("||", "&&"), (" + ", " - "), (" - ", " + "), ("true", "false"),
         ("false", "true")]


def sources():
    for folder in FOLDERS:
        for base, _, files in os.walk(os.path.join(ROOT, folder)):
            for name in sorted(files):
                if name.endswith((".cpp", ".h")):
                    yield os.path.relpath(os.path.join(base, name), ROOT)


def code_part(line):
    """The line without a trailing // comment, or None for a comment or preprocessor line."""
    stripped = line.strip()
    if not stripped or stripped.startswith(("//", "#", "/*", "*")):
        return None
    return line


def candidates(line, previous=""):
    """Every one-token change of a line (after the line `previous`): (kind, mutated line)."""
    if code_part(line) is None:
        return []
    out = []
    strings = list(re.finditer(r'u?"((?:[^"\\]|\\.)*)"', line))
    in_string = lambda i: any(m.start() <= i < m.end() for m in strings)
    # nothing after a trailing // comment is code
    comment = next((m.start() for m in re.finditer("//", line) if not in_string(m.start())), None)
    if comment is not None:
        strings = [m for m in strings if m.start() < comment]
        outside = in_string
        in_string = lambda i: i >= comment or outside(i)
    for old, new in SWAPS:
        for m in re.finditer(re.escape(old), line):
            i = m.start()
            if in_string(i) or line[i - 1:i] in "<>=!-+&|" or line[i + len(old):i + len(old) + 1] in "<>=&|":
                continue
            if old in ("<", ">") and re.search(r"(template|include|std::|static_cast|vector|array|"
                                               r"optional|span|pair|map|set)\s*<?$", line[:i + 1]):
                continue
            out.append(("operator", line[:i] + new + line[i + len(old):]))
    for m in re.finditer(r"(?<![\w.])(\d+)(?![\w.])", line):
        if in_string(m.start()):
            continue
        value = int(m.group(1))
        for delta in (1, -1) if value > 0 else (1,):
            out.append(("literal", line[:m.start()] + str(value + delta) + line[m.end():]))
    for m in strings:
        body = m.group(1)
        start = m.start(1)
        if " " in body:
            i = start + body.index(" ")
            out.append(("blank", line[:i] + line[i + 1:]))
        out.append(("blank", line[:m.end() - 1] + " " + line[m.end() - 1:]))
        letters = [i for i, c in enumerate(body) if c.isalpha() and body[i - 1:i] != "\\"]
        if letters:
            i = start + letters[len(letters) // 2]
            c = line[i]
            out.append(("letter", line[:i] + ("x" if c != "x" else "y") + line[i + 1:]))
    m = re.match(r"(\s*(?:\}\s*else\s+)?(?:if|while)\s*)\((.*)\)(\s*\{?\s*)$", line)
    if m:
        out.append(("negate", f"{m.group(1)}(!({m.group(2)})){m.group(3)}"))
    whole = not line.startswith("#") and re.search(r"[;{}]\s*$|^\s*(//.*)?$", previous)
    if whole and re.match(r"\s*[\w:.>\-\[\]()*&]+.*;\s*$", line) and not re.match(
            r"\s*(return|break|continue|case|default|using|namespace|struct|class|enum|"
            r"const |constexpr|static|[\w:<>]+\s+[\w]+\s*(=|\{|;))", line):
        out.append(("delete", re.match(r"\s*", line).group(0) + ";"))
    return out


def make_list(count, seed):
    rng = random.Random(seed)
    by_folder = {f: [] for f in FOLDERS}
    for path in sources():
        with open(os.path.join(ROOT, path), encoding="utf-8") as f:
            lines = f.read().split("\n")
            for number, line in enumerate(lines, 1):
                previous = lines[number - 2] if number > 1 else ""
                for kind, mutated in candidates(line, previous if path.endswith(".cpp") else "#"):
                    by_folder[path.split("/")[0]].append((path, number, line, mutated, kind))
    total = sum(len(v) for v in by_folder.values())
    chosen = []
    for folder, items in by_folder.items():
        # every folder gets at least a tenth of the mutants, the rest in proportion to its size
        share = max(count // 10, round(count * len(items) / total))
        chosen += rng.sample(items, min(share, len(items)))
    chosen.sort(key=lambda m: (m[0], m[1]))
    for path, number, line, mutated, kind in chosen:
        print("\t".join([path, str(number), kind, repr(line), repr(mutated)]))


def read_list(path):
    with open(path, encoding="utf-8") as f:
        for row in f:
            if row.strip() and not row.startswith("#"):
                path_, number, kind, line, mutated = row.rstrip("\n").split("\t")
                yield path_, int(number), kind, eval(line), eval(mutated)


def run(list_path, build, only, select):
    mutants = list(read_list(list_path))
    env = dict(os.environ, CTEST_OUTPUT_ON_FAILURE="0")
    for index, (path, number, kind, line, mutated) in enumerate(mutants, 1):
        if only and index not in only:
            continue
        full = os.path.join(ROOT, path)
        with open(full, encoding="utf-8") as f:
            original = f.read()
        lines = original.split("\n")
        places = [i for i, l in enumerate(lines) if l == line]
        start = time.time()
        if not places:
            outcome, detail = "missing", ""
        else:
            at = min(places, key=lambda i: abs(i + 1 - number))
            lines[at] = mutated
            try:
                with open(full, "w", encoding="utf-8") as f:
                    f.write("\n".join(lines))
                built = subprocess.run(["cmake", "--build", build, "-j2"], cwd=ROOT,
                                       capture_output=True, text=True)
                if built.returncode != 0:
                    outcome, detail = "stillborn", ""
                else:
                    tested = subprocess.run(
                        ["ctest", "-j2", "--timeout", "120", "--stop-on-failure"]
                        + (["-R", select] if select else []),
                        cwd=os.path.join(ROOT, build), capture_output=True, text=True, env=env)
                    failed = re.findall(r"\d+ - (\S+) \((?:Failed|Timeout|SEGFAULT|Subprocess)",
                                        tested.stdout)
                    outcome = "killed" if tested.returncode != 0 else "survived"
                    detail = ",".join(failed[:3])
            finally:
                with open(full, "w", encoding="utf-8") as f:
                    f.write(original)
        print(f"{index}\t{outcome}\t{time.time() - start:.0f}s\t{path}:{number}\t{kind}\t"
              f"{mutated.strip()}\t{detail}", flush=True)
    subprocess.run(["cmake", "--build", build, "-j2"], cwd=ROOT, capture_output=True)


def main():
    parser = argparse.ArgumentParser()
    sub = parser.add_subparsers(dest="command", required=True)
    make = sub.add_parser("list")
    make.add_argument("--count", type=int, default=160)
    make.add_argument("--seed", type=int, default=1)
    go = sub.add_parser("run")
    go.add_argument("list")
    go.add_argument("--build", default="build-mutants")
    go.add_argument("--only", default="")
    go.add_argument("--select", default="")
    args = parser.parse_args()
    if args.command == "list":
        make_list(args.count, args.seed)
    else:
        only = {int(k) for k in args.only.split(",") if k}
        run(args.list, args.build, only, args.select)


if __name__ == "__main__":
    sys.exit(main())
