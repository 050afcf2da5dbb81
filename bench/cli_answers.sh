#!/usr/bin/env bash
# Answer keys' cost in quillora-sheet: each class set made with --answers and without, runs
# alternating, medians and min-max of the wall time and of the pair ratios (keys / none). Sets:
# 1,000 text versions, and 30 mixed factoring versions as PDF. Given a second quillora-sheet (an
# earlier build, without keys), the set without keys is also timed against it.
#
# usage: bench/cli_answers.sh BUILD_DIR [BASELINE_SHEET] [RUNS]
set -euo pipefail
# shellcheck source=bench/timing.sh
. "$(dirname "$0")/timing.sh"

build=${1:?usage: cli_answers.sh BUILD_DIR [BASELINE_SHEET] [RUNS]}
baseline=${2:-}
runs=${3:-41}
sheet="$build/cli/quillora-sheet"
keys=$(mktemp)
trap 'rm -f "$keys"' EXIT



# label, then the command without keys; A with --answers, B without, alternating
compare() {
    local label=$1
    shift
    local pairs
    pairs=$(for ((i = 1; i <= runs; ++i)); do
        echo "$(once "$@" --answers "$keys") $(once "$@")"
    done)
    echo "$label, $runs pairs:"
    pair_summary "with keys" "without keys" <<<"$pairs"
    if [ -n "$baseline" ]; then
        pairs=$(for ((i = 1; i <= runs; ++i)); do
            echo "$(once "$@") $(once "$baseline" "${@:2}")"
        done)
        awk '{ printf "%.3f\n", $1 / $2 }' <<<"$pairs" | summary |
            sed 's/^/  without keys against the baseline, ratio: /'
    fi
}

compare "1,000 text versions, equations mixed" "$sheet" equations mixed --seed 1 --versions 1000
compare "30 PDF versions, factoring mixed" "$sheet" factoring mixed --seed 1 --versions 30 \
    --format pdf --paper a4 --output /dev/null
