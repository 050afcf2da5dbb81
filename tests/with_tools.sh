#!/bin/sh
# Runs the command after "--" when every tool before it is there (a command on the PATH, or a
# file); otherwise names the one missing and exits 77, which CTest reports as skipped.
while [ "$1" != -- ]; do
    command -v "$1" >/dev/null 2>&1 || [ -e "$1" ] || {
        echo "skipped: $1 not found (scripts/install-deps --tools installs it)"
        exit 77
    }
    shift
done
shift
exec "$@"
