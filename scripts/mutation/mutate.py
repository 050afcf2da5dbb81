#!/usr/bin/env python3
"""One-token mutants of the program's sources, and which of them the test suite kills.

  mutate.py list [--count N] [--seed S]     write a mutant list (tab-separated) to stdout
  mutate.py run LIST [--build DIR] [--only K,...] [--select REGEX]
                                            apply each mutant alone, rebuild DIR incrementally,
                                            run ctest (only the tests REGEX matches, for a quick
                                            look); one result line per mutant to stdout

A mutant is a file, a line number, the line as it was and the line as mutated. It is found by
its text (nearest the line number), so a list stays usable while other lines move. Results:
killed (a test failed), survived, stillborn (does not build) or missing (line not found).
"""
import argparse, os, random, re, subprocess, time

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
FOLDERS = ["app", "cli", "dialog", "engine", "families", "sets", "system", "typeset"]
SWAPS = [("<=", "<"), (">=", ">"), ("==", "!="), ("!=", "=="), ("<", "<="), (">", ">="),
         ("&&", "||"), ("||", "&&"), (" + ", " - "), (" - ", " + "), ("true", "false"),
         ("false", "true")]
TEMPLATE = re.compile(r"(template|include|std::|static_cast|vector|array|optional|span|pair|map|"
                      r"set)\s*<?$")
NOT_DELETED = re.compile(r"\s*(return|break|continue|case|default|using|namespace|struct|class|"
                         r"enum|const |constexpr|static|[\w:<>]+\s+[\w]+\s*(=|\{|;))")


def candidates(line, previous=""):
    """Every one-token change of a line (after the line `previous`): (kind, mutated line)."""
    if not line.strip() or line.strip().startswith(("//", "#", "/*", "*")):
        return []
    out = []
    strings = list(re.finditer(r'u?"((?:[^"\\]|\\.)*)"', line))
    quoted = lambda i: any(m.start() <= i < m.end() for m in strings)
    # nothing after a trailing // comment is code
    comment = next((m.start() for m in re.finditer("//", line) if not quoted(m.start())), None)
    if comment is not None:
        strings = [m for m in strings if m.start() < comment]
    in_string = lambda i: quoted(i) or (comment is not None and i >= comment)
    for old, new in SWAPS:
        for m in re.finditer(re.escape(old), line):
            i, j = m.start(), m.start() + len(old)
            if in_string(i) or line[i - 1:i] in "<>=!-+&|" or line[j:j + 1] in "<>=&|" or (
                    old in ("<", ">") and TEMPLATE.search(line[:i + 1])):
                continue
            out.append(("operator", line[:i] + new + line[j:]))
    for m in re.finditer(r"(?<![\w.])(\d+)(?![\w.])", line):
        for delta in [] if in_string(m.start()) else (1, -1) if int(m.group(1)) > 0 else (1,):
            out.append(("literal", line[:m.start()] + str(int(m.group(1)) + delta) + line[m.end():]))
    for m in strings:
        body, start = m.group(1), m.start(1)
        if " " in body:
            i = start + body.index(" ")
            out.append(("blank", line[:i] + line[i + 1:]))
        out.append(("blank", line[:m.end() - 1] + " " + line[m.end() - 1:]))
        letters = [i for i, c in enumerate(body) if c.isalpha() and body[i - 1:i] != "\\"]
        if letters:
            i = start + letters[len(letters) // 2]
            out.append(("letter", line[:i] + ("x" if line[i] != "x" else "y") + line[i + 1:]))
    m = re.match(r"(\s*(?:\}\s*else\s+)?(?:if|while)\s*)\((.*)\)(\s*\{?\s*)$", line)
    if m:
        out.append(("negate", f"{m.group(1)}(!({m.group(2)})){m.group(3)}"))
    whole = not line.startswith("#") and re.search(r"[;{}]\s*$|^\s*(//.*)?$", previous)
    if whole and re.match(r"\s*[\w:.>\-\[\]()*&]+.*;\s*$", line) and not NOT_DELETED.match(line):
        out.append(("delete", re.match(r"\s*", line).group(0) + ";"))
    return out


def make_list(count, seed):
    rng, by_folder = random.Random(seed), {f: [] for f in FOLDERS}
    for folder in FOLDERS:
        for base, _, files in os.walk(os.path.join(ROOT, folder)):
            for path in (os.path.relpath(os.path.join(base, n), ROOT) for n in sorted(files)):
                # font_metrics.cpp is data that scripts/font-metrics writes
                if not path.endswith((".cpp", ".h")) or path.endswith("font_metrics.cpp"):
                    continue
                lines = open(os.path.join(ROOT, path), encoding="utf-8").read().split("\n")
                for number, line in enumerate(lines, 1):
                    previous = (lines[number - 2] if number > 1 else "") if path.endswith(".cpp") else "#"
                    for kind, mutated in candidates(line, previous):
                        by_folder[folder].append((path, number, line, mutated, kind))
    total, chosen = sum(len(v) for v in by_folder.values()), []
    for items in by_folder.values():
        # every folder gets at least a tenth of the mutants, the rest in proportion to its size
        share = max(count // 10, round(count * len(items) / total))
        chosen += rng.sample(items, min(share, len(items)))
    for path, number, line, mutated, kind in sorted(chosen, key=lambda m: (m[0], m[1])):
        print("\t".join([path, str(number), kind, repr(line), repr(mutated)]))


def run(list_path, build, only, select, exclude=""):
    rows = [r.rstrip("\n").split("\t") for r in open(list_path, encoding="utf-8") if r.strip()]
    env = dict(os.environ, CTEST_OUTPUT_ON_FAILURE="0")
    for index, (path, number, kind, line, mutated) in enumerate(rows, 1):
        if only and index not in only:
            continue
        line, mutated, start, detail = eval(line), eval(mutated), time.time(), ""
        full = os.path.join(ROOT, path)
        original = open(full, encoding="utf-8").read()
        lines = original.split("\n")
        places = [i for i, l in enumerate(lines) if l == line]
        if not places:
            outcome = "missing"
        else:
            lines[min(places, key=lambda i: abs(i + 1 - int(number)))] = mutated
            try:
                open(full, "w", encoding="utf-8").write("\n".join(lines))
                built = subprocess.run(["cmake", "--build", build, "-j2"], cwd=ROOT,
                                       capture_output=True)
                if built.returncode != 0:
                    outcome = "stillborn"
                else:
                    tested = subprocess.run(
                        ["ctest", "-j2", "--timeout", "120", "--stop-on-failure"]
                        + (["-R", select] if select else []) + (["-E", exclude] if exclude else []),
                        cwd=os.path.join(ROOT, build), capture_output=True, text=True, env=env)
                    outcome = "killed" if tested.returncode != 0 else "survived"
                    detail = ",".join(re.findall(
                        r"\d+ - (\S+) \((?:Failed|Timeout|SEGFAULT|Subprocess)", tested.stdout)[:3])
            finally:
                open(full, "w", encoding="utf-8").write(original)
        print(f"{index}\t{outcome}\t{time.time() - start:.0f}s\t{path}:{number}\t{kind}\t"
              f"{mutated.strip()}\t{detail}", flush=True)
    subprocess.run(["cmake", "--build", build, "-j2"], cwd=ROOT, capture_output=True)


if __name__ == "__main__":
    parser = argparse.ArgumentParser()
    sub = parser.add_subparsers(dest="command", required=True)
    sub.add_parser("list").add_argument("--count", type=int, default=160)
    sub.choices["list"].add_argument("--seed", type=int, default=1)
    go = sub.add_parser("run")
    go.add_argument("list")
    go.add_argument("--build", default="build-mutants")
    go.add_argument("--only", default="")
    go.add_argument("--select", default="")
    go.add_argument("--exclude", default="")
    args = parser.parse_args()
    if args.command == "list":
        make_list(args.count, args.seed)
    else:
        run(args.list, args.build, {int(k) for k in args.only.split(",") if k}, args.select,
            args.exclude)
