#!/usr/bin/env bash
# Class sets from quillora-sheet, each command run RUNS times in one process each, medians and
# min-max of the wall time: 1,000 text versions and 30 mixed factoring versions as PDF. Given a
# second quillora-sheet (an earlier build), a single text and rich-text worksheet are timed
# against it side by side, runs alternating, and the median of the pair ratios is printed.
#
# usage: bench/cli_versions.sh BUILD_DIR [BASELINE_SHEET] [RUNS]
set -euo pipefail
# shellcheck source=bench/timing.sh
. "$(dirname "$0")/timing.sh"

build=${1:?usage: cli_versions.sh BUILD_DIR [BASELINE_SHEET] [RUNS]}
baseline=${2:-}
runs=${3:-41}
sheet="$build/cli/quillora-sheet"



report() {
    local label=$1
    shift
    local i
    for ((i = 1; i <= runs; ++i)); do once "$@"; done |
        awk '{ printf "%.1f\n", $1 / 1000 }' | summary | sed "s/^/  $label ms: /"
}

echo "quillora-sheet class sets, $runs runs each:"
report "1,000 text versions, equations mixed" "$sheet" equations mixed --seed 1 --versions 1000
report "30 PDF versions, factoring mixed    " "$sheet" factoring mixed --seed 1 --versions 30 \
    --format pdf --paper a4
report "30 PDF versions, --distinct         " "$sheet" factoring mixed --seed 1 --versions 30 \
    --format pdf --paper a4 --distinct

if [ -n "$baseline" ]; then
    for format in text rtf; do
        # A B A B ...: the ratio of each pair, so a drift in the machine's speed cancels out
        pairs=$(for ((i = 1; i <= runs * 5; ++i)); do
            a=$(once "$sheet" equations mixed --seed "$i" --format $format)
            b=$(once "$baseline" equations mixed --seed "$i" --format $format)
            echo "$a $b"
        done)
        echo "single $format worksheet, this build against $baseline, $((runs * 5)) pairs:"
        pair_summary "this build" baseline <<<"$pairs"
    done
fi
