#!/usr/bin/env bash
# Typeset PDF against the fixed-pitch page in quillora-sheet: 30 mixed versions with their keys
# for every family, typeset (the default) and with --style plain, runs alternating; medians and
# min-max of the wall time of each, and of the pair ratios (typeset / plain).
#
# usage: bench/cli_typeset.sh BUILD_DIR [RUNS]
set -euo pipefail
# shellcheck source=bench/timing.sh
. "$(dirname "$0")/timing.sh"

build=${1:?usage: cli_typeset.sh BUILD_DIR [RUNS]}
runs=${2:-41}
sheet="$build/cli/quillora-sheet"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

echo "30 PDF versions with keys, A4, $runs pairs (ms):"
for family in fractions equations fraction-equations binomials factoring; do
    set -- "$sheet" "$family" mixed --seed 1 --versions 30 --format pdf --paper a4 \
        --output "$work/sheets.pdf" --answers "$work/keys.pdf"
    pairs=$(for ((i = 1; i <= runs; ++i)); do
        echo "$(once "$@") $(once "$@" --style plain)"
    done)
    echo "$family:"
    pair_summary typeset plain <<<"$pairs"
done
