# Sourced: where the i386 Debian root that runs the 32-bit programs lives, and whether it is ready.
# The root sits in a cache folder outside the build tree, so that a developer machine keeps it
# between builds; KELVANE_CACHE moves it.
KELVANE_ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
I386_CACHE="${KELVANE_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/kelvane}"
I386_ROOT="$I386_CACHE/i386-bookworm"
# The recipe is the script that builds the root: a changed script makes a new root.
I386_RECIPE="$(sha256sum "$KELVANE_ROOT/scripts/i386-root.sh" | cut -c1-16)"
I386_STAMP="$I386_ROOT/.kelvane-recipe"

# True when the root was completed by the current recipe and holds the 32-bit Wine loader.
i386_root_ready() {
    [ -f "$I386_STAMP" ] && [ "$(cat "$I386_STAMP")" = "$I386_RECIPE" ] &&
        [ -x "$I386_ROOT/usr/lib/wine/wine" ]
}
