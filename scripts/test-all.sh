#!/bin/bash
# Sets up a fresh Debian machine and runs every test: native, sanitizers, Windows 64-bit under
# Wine (with the dialog tests on a virtual display), the shipped 32-bit Windows build and the same
# tests built 32-bit under 32-bit Wine, and a bounded fuzz.
set -euo pipefail
cd "$(dirname "$0")/.."

step() { printf '\n=== %s ===\n' "$*"; }

bash scripts/setup-deps.sh

step "Native build and tests"
cmake --preset linux >/dev/null
cmake --build --preset linux
ctest --preset linux --output-on-failure

step "AddressSanitizer and UBSan build and tests"
cmake --preset asan >/dev/null
cmake --build --preset asan
ctest --preset asan --output-on-failure

step "Windows x86_64 build, tests under Wine"
bash scripts/wine-prefix.sh
cmake --preset win64 >/dev/null
cmake --build --preset win64
bash scripts/with-display.sh ctest --preset win64 --output-on-failure

step "Windows i686 build (the shipped 32-bit program)"
cmake --preset win32 >/dev/null
cmake --build --preset win32
for program in build/win32/ui/Kelvane.exe build/win32/cli/kelvane-convert.exe; do
    description=$(file -b "$program")
    echo "$program: $description"
    case "$description" in
        PE32\ *Intel*386*) ;;
        *) echo "$program is not a 32-bit x86 executable" >&2; exit 1 ;;
    esac
done

step "Release packages: the Windows zip, the .tar.gz and .deb of kelvane-convert, and what they hold"
bash scripts/check-packages.sh

step "Windows i686 build with the tests, run by 32-bit Wine in an i386 root"
skipped=()
status=0
bash scripts/i386-root.sh || status=$?
if [ "$status" -eq 77 ]; then
    skipped+=("32-bit Wine (this kernel cannot run i386 programs)")
elif [ "$status" -ne 0 ]; then
    exit "$status"
else
    KELVANE_WINE_ARCH=win32 bash scripts/wine-prefix.sh
    cmake --preset win32-tests >/dev/null
    cmake --build --preset win32-tests
    bash scripts/with-display.sh ctest --preset win32-tests --output-on-failure
fi

step "Bounded fuzz run of the number scanner and formatter and of the row reader"
bash scripts/fuzz.sh "${KELVANE_FUZZ_SECONDS:-60}"

if ((${#skipped[@]} > 0)); then
    step "All tests passed; skipped: $(IFS=';' && echo "${skipped[*]}")"
else
    step "All tests passed"
fi
