#!/bin/bash
# Builds the release packages - the Windows zip (preset win32) and the .tar.gz and .deb of
# kelvane-convert (preset linux) - and checks what they hold against project()'s version. Exits
# non-zero when any check fails, after listing every failed check.
set -euo pipefail
cd "$(dirname "$0")/.."

version=$(sed -n 's/^project(Kelvane VERSION \([0-9.]*\) .*/\1/p' CMakeLists.txt)
if [ -z "$version" ]; then
    echo "check-packages: no project(Kelvane VERSION ...) in CMakeLists.txt" >&2
    exit 1
fi
zip=build/win32/Kelvane-$version-win32.zip
tarball=build/linux/kelvane-convert-$version-linux-$(uname -m).tar.gz
deb=build/linux/kelvane-convert_${version}_$(dpkg --print-architecture).deb

failures=0
fail() {
    echo "FAILED: $*" >&2
    failures=$((failures + 1))
}
# expect_lines WHAT ACTUAL EXPECTED: two newline-separated lists, compared as sorted sets.
expect_lines() {
    local difference
    difference=$(diff <(sort <<<"$2") <(sort <<<"$3")) || fail "$1 differ (< found, > expected):
$difference"
}
# crlf_text FILE: every line ends in CR LF, the last one included.
crlf_text() {
    [ -s "$1" ] || { fail "${1#"$work"/} is empty or missing"; return; }
    if grep -q -v $'\r$' "$1" || [ "$(tail -c 2 "$1" | od -An -tx1 | tr -d ' ')" != 0d0a ]; then
        fail "${1#"$work"/} has a line that does not end in CR LF"
    fi
}
# fixed_version EXE: the FILEVERSION and PRODUCTVERSION of its version record, as a.b.c.d a.b.c.d.
fixed_version() {
    local offset
    offset=$(LC_ALL=C grep -obUaP '\xbd\x04\xef\xfe' "$1" | head -n 1 | cut -d: -f1)
    [ -n "$offset" ] || return 0
    od -An -tu2 -j $((offset + 8)) -N 16 "$1" |
        awk '{ print $2 "." $1 "." $4 "." $3, $6 "." $5 "." $8 "." $7 }'
}
# version_string EXE NAME: the value of the string NAME in its version record.
version_string() {
    strings -el "$1" | grep -x -A1 "$2" | sed -n 2p
}

echo "Building the packages of version $version"
rm -f build/win32/Kelvane-*.zip build/linux/kelvane-convert[-_]*.tar.gz \
    build/linux/kelvane-convert[-_]*.deb
cmake --preset win32 >/dev/null
cmake --build --preset win32 --target package >/dev/null
cmake --preset linux >/dev/null
cmake --build --preset linux --target package >/dev/null

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

echo "Checking $zip"
if [ -f "$zip" ]; then
    mkdir "$work/zip"
    (cd "$work/zip" && cmake -E tar xf "$OLDPWD/$zip")
    expect_lines "the zip's files" "$(cd "$work/zip" && find . -type f | sed 's|^\./||')" \
        "Kelvane.exe
kelvane-convert.exe
README.txt
LICENSE.txt
samples/README.md
samples/cell-A-600C.txt
samples/cell-B-650C.txt
samples/symmetric-anode.txt"
    for program in Kelvane.exe kelvane-convert.exe; do
        exe=$work/zip/$program
        [ -f "$exe" ] || continue
        case "$(file -b "$exe")" in
            PE32\ executable*Intel\ 80386*) ;;
            *) fail "$program is not a 32-bit x86 executable: $(file -b "$exe")" ;;
        esac
        [ "$(fixed_version "$exe")" = "$version $version" ] ||
            fail "$program: FILEVERSION and PRODUCTVERSION are '$(fixed_version "$exe")'"
        for name in FileVersion ProductVersion; do
            [ "$(version_string "$exe" "$name")" = "$version" ] ||
                fail "$program: $name is '$(version_string "$exe" "$name")'"
        done
    done
    if [ -f "$work/zip/Kelvane.exe" ]; then
        strings -el "$work/zip/Kelvane.exe" | grep -q -x "Kelvane Version 1.0" ||
            fail "Kelvane.exe: the About box's text 'Kelvane Version 1.0' is missing"
    fi
    for text in README.txt LICENSE.txt; do
        crlf_text "$work/zip/$text"
    done
    if [ -f "$work/zip/README.txt" ]; then
        grep -q -x $'Version '"$version"$'\r' "$work/zip/README.txt" ||
            fail "README.txt does not name version $version"
        ! grep -q @ "$work/zip/README.txt" || fail "README.txt holds an unconfigured @ name"
    fi
    for sample in samples/*.txt samples/README.md; do
        cmp -s "$sample" "$work/zip/$sample" || fail "the zip's $sample differs from the source"
    done
else
    fail "$zip was not made"
fi

echo "Checking $tarball"
if [ -f "$tarball" ]; then
    top=kelvane-convert-$version-linux-$(uname -m)
    expect_lines "the tarball's files" "$(tar tzf "$tarball" | grep -v '/$')" \
        "$top/bin/kelvane-convert
$top/share/man/man1/kelvane-convert.1.gz
$top/share/doc/kelvane-convert/copyright
$top/share/doc/kelvane-convert/CHANGELOG.md"
    tar xzf "$tarball" -C "$work"
    if [ -x "$work/$top/bin/kelvane-convert" ]; then
        printed=$("$work/$top/bin/kelvane-convert" --version 2>&1) || true
        [ "$printed" = "kelvane-convert $version" ] ||
            fail "the tarball's kelvane-convert --version printed '$printed'"
    fi
    man_page=$work/$top/share/man/man1/kelvane-convert.1.gz
    if [ -f "$man_page" ]; then
        zcat "$man_page" | head -n 1 | grep -q "^\.TH KELVANE-CONVERT 1 .*\"Kelvane $version\"" ||
            fail "the man page is not a gzipped page of section 1 for version $version"
    fi
else
    fail "$tarball was not made"
fi

echo "Checking $deb"
if [ -f "$deb" ] && dpkg-deb --info "$deb" >/dev/null; then
    for field in "Package=kelvane-convert" "Version=$version" \
        "Architecture=$(dpkg --print-architecture)" "Section=science" \
        "Maintainer=Kelvane developers <kelvane@example.org>"; do
        value=$(dpkg-deb --field "$deb" "${field%%=*}")
        [ "$value" = "${field#*=}" ] || fail "the deb's ${field%%=*} is '$value'"
    done
    dpkg-deb --field "$deb" Depends | grep -q '\blibc6\b' ||
        fail "the deb's Depends lacks libc6: '$(dpkg-deb --field "$deb" Depends)'"
    contents=$(dpkg-deb --contents "$deb")
    expect_lines "the deb's files" "$(awk '$1 !~ /^d/ { print $1, $2, $6 }' <<<"$contents")" \
        "-rwxr-xr-x root/root ./usr/bin/kelvane-convert
-rw-r--r-- root/root ./usr/share/man/man1/kelvane-convert.1.gz
-rw-r--r-- root/root ./usr/share/doc/kelvane-convert/copyright
-rw-r--r-- root/root ./usr/share/doc/kelvane-convert/CHANGELOG.md"
    mkdir "$work/deb"
    dpkg-deb --extract "$deb" "$work/deb"
    if [ -x "$work/deb/usr/bin/kelvane-convert" ]; then
        printed=$("$work/deb/usr/bin/kelvane-convert" --version 2>&1) || true
        [ "$printed" = "kelvane-convert $version" ] ||
            fail "the deb's kelvane-convert --version printed '$printed'"
    fi
    if [ -f "$work/deb/usr/share/man/man1/kelvane-convert.1.gz" ]; then
        gzip -t "$work/deb/usr/share/man/man1/kelvane-convert.1.gz" ||
            fail "the deb's man page is not gzipped"
    fi
else
    fail "$deb was not made or is not a Debian package"
fi

if [ "$failures" -ne 0 ]; then
    echo "check-packages: $failures checks failed" >&2
    exit 1
fi
echo "The packages hold what they should: $zip, $tarball, $deb"
