#!/usr/bin/env python3
"""Start-up of the window program against a minimal Qt Widgets program showing one empty dialog.

Both run alternately, in one X server (run this under xvfb-run), each until its first window is
painted: the time from just before the process is started to that paint, and the peak resident
memory from the kernel's accounting of the finished child. Prints medians and min-max per
program and the ratios of the medians; exits 1 when a ratio exceeds its bound.
"""

import argparse
import os
import re
import statistics
import subprocess
import sys
import tempfile
import threading
import time

PAINTED = re.compile(rb"painted ([0-9.]+) ms")


def run_once(program, env):
    env = dict(env, QUILLORA_LAUNCH_NS=str(time.monotonic_ns()))
    process = subprocess.Popen([program], env=env, stdout=subprocess.PIPE, stderr=subprocess.DEVNULL)
    watchdog = threading.Timer(60, process.kill)
    watchdog.start()
    out = process.stdout.read()
    _, status, usage = os.wait4(process.pid, 0)
    watchdog.cancel()
    process.returncode = 0
    match = PAINTED.search(out)
    if status != 0 or not match:
        sys.exit(f"measure: {program} did not report its first paint (status {status}, output {out!r})")
    return float(match.group(1)), usage.ru_maxrss / 1024.0  # ms, MiB


def summary(values, unit):
    return (f"median {statistics.median(values):8.2f} {unit}  "
            f"(min {min(values):.2f}, max {max(values):.2f})")


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("program")
    parser.add_argument("baseline")
    parser.add_argument("--runs", type=int, default=20)
    parser.add_argument("--time-bound", type=float, default=1.25)
    parser.add_argument("--memory-bound", type=float, default=1.3)
    args = parser.parse_args()

    with tempfile.TemporaryDirectory(prefix="quillora-startup-") as scratch:
        env = dict(os.environ, QUILLORA_EXIT_AFTER_PAINT="1", QT_QPA_PLATFORM="xcb",
                   XDG_CONFIG_HOME=scratch, LANG="C.UTF-8")
        programs = {"program": args.program, "baseline": args.baseline}
        results = {name: ([], []) for name in programs}
        # One unmeasured run each fills the file cache.
        for program in programs.values():
            run_once(program, env)
        for _ in range(args.runs):
            for name, program in programs.items():
                ms, mib = run_once(program, env)
                results[name][0].append(ms)
                results[name][1].append(mib)

    print(f"start-up to first paint, {args.runs} runs each, alternating")
    for name, program in programs.items():
        times, memory = results[name]
        print(f"  {os.path.basename(program):16} time {summary(times, 'ms')}")
        print(f"  {'':16} peak RSS {summary(memory, 'MiB')}")
    time_ratio = statistics.median(results["program"][0]) / statistics.median(results["baseline"][0])
    memory_ratio = statistics.median(results["program"][1]) / statistics.median(results["baseline"][1])
    time_ok = time_ratio <= args.time_bound
    memory_ok = memory_ratio <= args.memory_bound
    print(f"  time ratio {time_ratio:.3f} (bound {args.time_bound}) {'holds' if time_ok else 'MISSED'}")
    print(f"  memory ratio {memory_ratio:.3f} (bound {args.memory_bound}) {'holds' if memory_ok else 'MISSED'}")
    return 0 if time_ok and memory_ok else 1


if __name__ == "__main__":
    sys.exit(main())
