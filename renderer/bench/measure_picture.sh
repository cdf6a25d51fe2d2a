#!/bin/bash
# Measures the renderer's picture under Wine on screens of 1920 x 1080 and
# 3840 x 2160 (Xvfb): from opening the snapshot file to the first draw call
# that shows it, phase by phase (read, decode, scale, upload, first draw),
# against the way before (GDI's conversion and GLU's whole mipmap chain) and
# against gluBuild2DMipmaps alone on the same picture in the same run; and the
# peak working set after a cold start in the renderer's order. Each line is a
# median of warm runs; repeat the command for the spread.
#   measure_picture.sh <Windows build dir> [repeats]
set -u
build=$(cd "$1" && pwd)
repeats=${2:-3}
root=$(cd "$(dirname "$0")/../.." && pwd)
bench=$build/renderer/velumira_renderer_bench.exe
arch=win32
grep -q 'mingw-x86_64' "$build/CMakeCache.txt" && arch=win64
harness=$build/wine-picture
trap '"$root/tools/wine-harness" stop "$harness"' EXIT

for size in 1920x1080 3840x2160; do
    "$root/tools/wine-harness" start "$harness" "$arch" --screen "$size" >/dev/null || exit 1
    (
        . "$harness/env"
        snapshot=$WINEPREFIX/drive_c/picture.bmp
        # A desktop-like picture: smooth areas with sharp detail over them.
        convert -size "$size" gradient:'#3050a0-#e0c090' \
            \( -size "$size" xc: +noise Random -threshold 97% \) -compose multiply -composite \
            -type TrueColor BMP3:"$snapshot"
        echo "== $size, $arch build"
        for _ in $(seq "$repeats"); do
            LC_ALL=ja_JP.UTF-8 "$WINE" "$bench" 'C:\picture.bmp' "${size%x*}" "${size#*x}" 1 |
                tr -d '\r' | grep -E 'cold start|peak working|picture, level|^  '
        done
    )
    "$root/tools/wine-harness" stop "$harness"
done
