#!/bin/sh
# Runs a command with a private /dev (in a mount namespace of its own): descriptor links, a null
# device and the terminals of a new devpts instance, so no test writes the machine's own /dev.
# Exits 77 where no namespace can be made.
unshare -m true 2>/dev/null || exit 77
exec unshare -m sh -c 'mount -t tmpfs none /dev && mkdir /dev/pts &&
    mount -t devpts -o newinstance,ptmxmode=0666 devpts /dev/pts && ln -s pts/ptmx /dev/ptmx &&
    ln -s /proc/self/fd /dev/fd && ln -s fd/1 /dev/stdout && ln -s fd/2 /dev/stderr &&
    mknod -m 666 /dev/null c 1 3 && exec "$@"' sh "$@"
