#!/usr/bin/env bash
# Makes 1,000 worksheets with quillora-sheet, one process each, in a shell loop, and reports the
# median time per worksheet next to the engine's median for the same sheet (from the engine
# benchmark), to a process that makes no sheet (--version) and to /bin/true; the difference
# between the process and the engine is start-up.
#
# usage: bench/cli_batch.sh BUILD_DIR [FAMILY FORM] [COUNT]
set -euo pipefail

build=${1:?usage: cli_batch.sh BUILD_DIR [FAMILY FORM] [COUNT]}
family=${2:-equations}
form=${3:-mixed}
count=${4:-1000}
sheet="$build/cli/quillora-sheet"
bench="$build/bench/quillora-bench"

# Each run is timed with bash's own clock, so no extra process is started around it.
time_runs() {
    local i t0 t1
    for ((i = 1; i <= count; ++i)); do
        t0=$EPOCHREALTIME
        "$@" --seed "$i" >/dev/null
        t1=$EPOCHREALTIME
        echo "$(((${t1/./} - ${t0/./})))"
    done
}

# median, min and max of microsecond values, one a line
summary() {
    sort -n | awk '{ v[NR] = $1 } END {
        m = NR % 2 ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2
        printf "%.0f %d %d\n", m, v[1], v[NR] }'
}

# COUNT runs of a command that takes no seed
plain_runs() {
    local i t0 t1
    for ((i = 1; i <= count; ++i)); do
        t0=$EPOCHREALTIME
        "$@" >/dev/null
        t1=$EPOCHREALTIME
        echo "$(((${t1/./} - ${t0/./})))"
    done
}

read -r sheet_med sheet_min sheet_max < <(time_runs "$sheet" "$family" "$form" | summary)
read -r ver_med ver_min ver_max < <(plain_runs "$sheet" --version | summary)
read -r true_med true_min true_max < <(plain_runs /bin/true | summary)
engine_ns=$("$bench" --benchmark_filter="^$family/$form\$" --benchmark_repetitions=5 \
    --benchmark_report_aggregates_only=true --benchmark_format=csv 2>/dev/null \
    | awk -F, '$1 ~ /_median"?$/ { print $3 }')
engine_us=$(awk -v ns="$engine_ns" 'BEGIN { printf "%.1f", ns / 1000 }')

echo "quillora-sheet $family $form, $count processes, one worksheet each:"
echo "  per worksheet:          median ${sheet_med} us (min ${sheet_min}, max ${sheet_max})"
echo "  --version, no sheet:    median ${ver_med} us (min ${ver_min}, max ${ver_max})"
echo "  /bin/true, for scale:   median ${true_med} us (min ${true_min}, max ${true_max})"
echo "  engine, one sheet:      median ${engine_us} us (Google Benchmark)"
awk -v s="$sheet_med" -v e="$engine_us" 'BEGIN {
    printf "  start-up and output:    %.0f us per worksheet (process median minus engine)\n", s - e }'
