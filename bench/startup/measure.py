#!/usr/bin/env python3
"""Start-up of the window program against a minimal Qt Widgets program showing the same dialog
with one caption (the bound on time, as it pays the same font loading) and without it (the bound
on memory).

Both run alternately, in one X server (run this under xvfb-run), each watched from outside by
first-paint: the time from just before the process is started to its window mapped and to the
first drawing into it, and the peak resident memory of the process when it is stopped there.
Prints medians and min-max per program and the ratios of the medians; exits 1 when a ratio
exceeds its bound. The time bound applies to the first drawing.
"""

import argparse
import os
import re
import statistics
import subprocess
import sys
import tempfile

LINE = re.compile(r"mapped ([0-9.-]+) ms painted ([0-9.]+) ms peak-rss ([0-9]+) KiB")


def run_once(watcher, command, env):
    result = subprocess.run([watcher] + command, env=env, capture_output=True, text=True,
                            timeout=120)
    match = LINE.search(result.stdout)
    if result.returncode != 0 or not match:
        sys.exit(f"measure: {command[0]} was not seen drawing ({result.stderr.strip()})")
    return float(match.group(1)), float(match.group(2)), int(match.group(3)) / 1024.0


def summary(values, unit):
    return (f"median {statistics.median(values):8.2f} {unit}  "
            f"(min {min(values):.2f}, max {max(values):.2f})")


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("watcher", help="the first-paint program")
    parser.add_argument("program")
    parser.add_argument("baseline")
    parser.add_argument("--runs", type=int, default=30)
    parser.add_argument("--time-bound", type=float, default=1.25)
    parser.add_argument("--memory-bound", type=float, default=1.3)
    args = parser.parse_args()

    with tempfile.TemporaryDirectory(prefix="quillora-startup-") as scratch:
        env = dict(os.environ, QT_QPA_PLATFORM="xcb", XDG_CONFIG_HOME=scratch, LANG="C.UTF-8")
        programs = {"program": [args.program], "baseline": [args.baseline],
                    "captioned": [args.baseline, "--caption"]}
        results = {name: ([], [], []) for name in programs}
        # One unmeasured run each fills the file cache.
        for program in programs.values():
            run_once(args.watcher, program, env)
        for _ in range(args.runs):
            for name, program in programs.items():
                for values, value in zip(results[name], run_once(args.watcher, program, env)):
                    values.append(value)

    print(f"start-up seen from outside, {args.runs} runs each, alternating")
    for name, command in programs.items():
        mapped, painted, memory = results[name]
        label = " ".join([os.path.basename(command[0])] + command[1:])
        print(f"  {label:24} mapped   {summary(mapped, 'ms')}")
        print(f"  {'':24} painted  {summary(painted, 'ms')}")
        print(f"  {'':24} peak RSS {summary(memory, 'MiB')}")
    ratios = {}
    for index, label in ((0, "mapped"), (1, "painted"), (2, "memory")):
        ratios[label] = (statistics.median(results["program"][index])
                         / statistics.median(results["baseline"][index]))
    # The bound on time is to the captioned dialog, which pays the same font loading.
    captioned = statistics.median(results["program"][1]) / statistics.median(results["captioned"][1])
    time_ok = captioned <= args.time_bound
    memory_ok = ratios["memory"] <= args.memory_bound
    print(f"  mapped ratio {ratios['mapped']:.3f}")
    print(f"  painted ratio to the empty dialog {ratios['painted']:.3f} (for comparison)")
    print(f"  painted ratio to the captioned dialog {captioned:.3f} (bound {args.time_bound}) "
          f"{'holds' if time_ok else 'MISSED'}")
    print(f"  memory ratio {ratios['memory']:.3f} (bound {args.memory_bound}) "
          f"{'holds' if memory_ok else 'MISSED'}")
    return 0 if time_ok and memory_ok else 1


if __name__ == "__main__":
    sys.exit(main())
