#!/bin/bash
# Runs one command inside the i386 root that scripts/i386-root.sh makes, in the current working
# directory, with the Wine and X variables of this environment and nothing else of it.
# Usage: i386-run.sh COMMAND [ARG...]
# The root sees the host at the same paths where the programs and their data are: /tmp (the X
# server's socket, the tests' scratch folders), the checkout, and the working directory. The
# mounts live in a mount namespace of this command's own and end with it.
set -euo pipefail
source "$(dirname "$0")/i386-env.sh"
i386_root_ready || {
    echo "i386-run.sh: no complete i386 root in $I386_ROOT; run scripts/i386-root.sh" >&2
    exit 1
}

variables=(HOME=/root PATH=/usr/lib/wine:/usr/bin:/bin "LANG=${LANG:-C.UTF-8}")
for name in DISPLAY XAUTHORITY LC_ALL WINEPREFIX WINEARCH WINEDEBUG WINEDLLOVERRIDES; do
    [ -n "${!name:-}" ] && variables+=("$name=${!name}")
done

# One process from here to the command: each step execs the next, so signals and the exit
# status reach the caller unchanged.
exec unshare -m --propagation private -- /bin/bash -euo pipefail -c '
    root=$1 checkout=$2 here=$3
    shift 3
    mount -t proc proc "$root/proc"
    mount --rbind /dev "$root/dev"
    mount -t sysfs sys "$root/sys"
    mount --rbind /tmp "$root/tmp"
    bound=(/tmp)
    for folder in "$checkout" "$here"; do
        inside=
        for outer in "${bound[@]}"; do
            case $folder/ in "$outer"/*) inside=yes ;; esac
        done
        [ -z "$inside" ] && [ "$folder" != / ] || continue
        mkdir -p "$root$folder"
        mount --rbind "$folder" "$root$folder"
        bound+=("$folder")
    done
    exec chroot "$root" /usr/bin/env -i "$@"
' i386-run "$I386_ROOT" "$KELVANE_ROOT" "$PWD" "${variables[@]}" \
    /bin/bash -c 'cd "$1" && shift && exec "$@"' in-root "$PWD" "$@"
