# Shared by the command-line benchmarks: timing one run, and a summary of values.

# microseconds of one run, timed with bash's own clock so no extra process is started around it
once() {
    local t0 t1
    t0=$EPOCHREALTIME
    "$@" >/dev/null
    t1=$EPOCHREALTIME
    echo "$(((${t1/./} - ${t0/./})))"
}

# median, min and max of values, one a line
summary() {
    sort -g | awk '{ v[NR] = $1 } END {
        m = NR % 2 ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2
        printf "median %s (min %s, max %s)\n", m, v[1], v[NR] }'
}

# pairs "A B" of microseconds, one a line, from standard input: A's and B's milliseconds and the
# ratio A / B of each pair, each as a summary under its label (the two labels given)
pair_summary() {
    local pairs width
    pairs=$(cat)
    width=$((${#1} > ${#2} ? ${#1} : ${#2}))
    printf "  %-${width}s ms: %s\n" "$1" "$(awk '{ printf "%.2f\n", $1 / 1000 }' <<<"$pairs" | summary)"
    printf "  %-${width}s ms: %s\n" "$2" "$(awk '{ printf "%.2f\n", $2 / 1000 }' <<<"$pairs" | summary)"
    printf "  %-${width}s     %s\n" "ratio" "$(awk '{ printf "%.3f\n", $1 / $2 }' <<<"$pairs" | summary)"
}
