#!/bin/sh
# Fails on any include that reaches from a folder into one above it. The floors, from the ground
# up: engine, families and typeset, sets and system, dialog, then the programs and the tests.
set -eu
cd "$(dirname "$0")/.."
status=0
rank() {
    case $1 in
    engine) echo 0 ;;
    families | typeset) echo 1 ;;
    sets | system) echo 2 ;;
    dialog) echo 3 ;;
    app | cli | web) echo 4 ;;
    *) echo 5 ;;
    esac
}
for file in $(find engine families typeset sets system dialog app cli web -name '*.cpp' -o -name '*.h'); do
    from=${file%%/*}
    for included in $(sed -n 's/^#include "\([a-z_]*\)\/.*"$/\1/p' "$file"); do
        if [ "$(rank "$included")" -gt "$(rank "$from")" ] ||
            { [ "$included" != "$from" ] && [ "$(rank "$included")" -eq "$(rank "$from")" ] &&
                [ "$(rank "$from")" -lt 4 ]; }; then
            echo "$file includes from $included/, a floor above or beside it" >&2
            status=1
        fi
    done
done
exit $status
