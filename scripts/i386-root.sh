#!/bin/bash
# Makes the i386 Debian 12 root in which the 32-bit programs run under Debian's 32-bit Wine, or
# reuses it when it is complete and was made by this version of this script. Nothing is installed
# into the host system but debootstrap: Debian's wine32 on the host would take /usr/bin/wine from
# the 64-bit loader that the win64 tests use.
# Exit status 77, with one line saying why, where the kernel cannot run 32-bit x86 code.
set -euo pipefail
source "$(dirname "$0")/i386-env.sh"

# The Wine that runs the programs, the fonts its dialogs are drawn in, and the X client libraries
# that Wine loads at run time (they are only recommended by its packages).
packages=(wine wine32 fonts-wine libxcomposite1 libxcursor1 libxfixes3 libxi6 libxinerama1
    libxrandr2 libxrender1 libxxf86vm1)

# A static i386 program that only exits: it runs where the kernel has IA32 emulation.
kernel_runs_i386() {
    local scratch status=0
    scratch=$(mktemp -d)
    printf '.globl _start\n_start:\n movl $1, %%eax\n xorl %%ebx, %%ebx\n int $0x80\n' \
        >"$scratch/exit.s"
    as --32 -o "$scratch/exit.o" "$scratch/exit.s" && ld -m elf_i386 -o "$scratch/exit" \
        "$scratch/exit.o" && "$scratch/exit" 2>/dev/null || status=1
    rm -rf "$scratch"
    return $status
}

# The Debian archive the host's own apt uses; KELVANE_DEBIAN_MIRROR overrides it.
debian_mirror() {
    if [ -n "${KELVANE_DEBIAN_MIRROR:-}" ]; then
        echo "$KELVANE_DEBIAN_MIRROR"
        return
    fi
    local sources=(/etc/apt/sources.list.d/*.sources /etc/apt/sources.list)
    cat "${sources[@]}" 2>/dev/null | awk '
        /^URIs:/ && $2 ~ /\/debian\/?$/ { print $2; exit }
        /^deb / && / bookworm / { for (i = 2; i <= NF; i++) if ($i ~ /:\/\//) { print $i; exit } }
    ' || true
}

if ! kernel_runs_i386; then
    echo "SKIP: this kernel cannot run 32-bit x86 programs, so the 32-bit tests do not run here"
    exit 77
fi

mkdir -p "$I386_CACHE"
exec 9>"$I386_CACHE/i386-bookworm.lock"
flock 9
if i386_root_ready; then
    echo "Reusing the i386 root in $I386_ROOT"
    exit 0
fi

if ! command -v debootstrap >/dev/null; then
    apt-get update -qq
    DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends debootstrap \
        >/dev/null
fi
mirror=$(debian_mirror)
[ -n "$mirror" ] || {
    echo "No Debian archive found in the host's apt sources; set KELVANE_DEBIAN_MIRROR" >&2
    exit 1
}

echo "Making the i386 root in $I386_ROOT (about 2 minutes, about 1 GB)"
# Built beside the old one and moved into place only when complete. Everything that mounts runs in
# a mount namespace of its own, so no mount outlives it and the removals below cannot reach
# through a bound folder into the host.
new="$I386_ROOT.new"
rm -rf --one-file-system "$new"
unshare -m --propagation private -- bash -euo pipefail -c '
    new=$1 mirror=$2
    shift 2
    debootstrap --arch=i386 --variant=minbase bookworm "$new" "$mirror" >"$new.log" 2>&1 ||
        { tail -20 "$new.log" >&2; exit 1; }
    mount -t proc proc "$new/proc"
    mount --rbind /dev "$new/dev"
    mount -t sysfs sys "$new/sys"
    chroot "$new" /usr/bin/env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin DEBIAN_FRONTEND=noninteractive \
        bash -c "apt-get update -qq && apt-get install -y -qq --no-install-recommends $* && apt-get clean" \
        >>"$new.log" 2>&1 || { tail -20 "$new.log" >&2; exit 1; }
' make-root "$new" "$mirror" "${packages[@]}"
rm -f "$new.log"
echo "$I386_RECIPE" >"$new/.kelvane-recipe"
rm -rf --one-file-system "$I386_ROOT"
mv "$new" "$I386_ROOT"
i386_root_ready || {
    echo "The i386 root in $I386_ROOT has no 32-bit Wine loader" >&2
    exit 1
}
echo "The i386 root is ready"
