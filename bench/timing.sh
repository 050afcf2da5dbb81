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
