#!/bin/bash
# Draws the application icon res/Kelvane.ico with ImageMagick: a DRT spectrum (two relaxation
# peaks over log tau) in white on a teal tile, with a frequency axis beneath. Each size is drawn
# on its own at four times its size and scaled down, with thicker lines for the small sizes.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

# Points of the curve on a 256-unit canvas, scaled by $1.
curve_points() {
    awk -v s="$1" 'BEGIN {
        for (i = 0; i <= 64; i++) {
            x = 40 + i * 176 / 64
            t = (x - 40) / 176
            g = 0.95 * exp(-((t - 0.32) / 0.105) ^ 2) + 0.55 * exp(-((t - 0.72) / 0.085) ^ 2)
            y = 186 - g * 118
            printf "%.1f,%.1f ", x * s, y * s
        }
    }'
}

render() {
    local size=$1 stroke=$2
    local big=$((size * 4))
    local s
    s=$(awk -v b="$big" 'BEGIN { printf "%.4f", b / 256 }')
    px() { awk -v s="$s" -v v="$1" 'BEGIN { printf "%.1f", s * v }'; }
    local points
    points=$(curve_points "$s")
    convert -size "${big}x${big}" xc:none \
        -fill '#0f5e6e' -stroke '#0a3f4a' -strokewidth "$(px 6)" \
        -draw "roundrectangle $(px 8),$(px 8) $(px 248),$(px 248) $(px 44),$(px 44)" \
        -stroke '#7fc4cf' -strokewidth "$(px $((stroke / 2)))" -fill none \
        -draw "line $(px 34),$(px 200) $(px 222),$(px 200)" \
        -stroke '#ffffff' -strokewidth "$(px "$stroke")" -fill none \
        -draw "stroke-linecap round stroke-linejoin round polyline $points" \
        -fill '#ffb547' -stroke none \
        -draw "circle $(px 96),$(px 74) $(px $((96 + stroke))),$(px 74)" \
        -resize "${size}x${size}" -depth 8 "PNG32:$work/icon-$size.png"
}

render 256 12
render 48 16
render 32 20
render 16 28
convert "$work/icon-16.png" "$work/icon-32.png" "$work/icon-48.png" "$work/icon-256.png" \
    -depth 8 "$root/res/Kelvane.ico"
identify "$root/res/Kelvane.ico"
