#!/bin/bash
# Measures how fast the renderer's cloth moves and how often it draws, under
# Wine on screens of 1024 x 768, 1600 x 1200 and 1920 x 1080 (Xvfb) and on the
# two-monitor rig (Xorg's dummy driver, needs root): cloth steps and frames per
# second of wall time over the real frame loop, and the CPU time per second.
# The cloth should make 420 steps a second everywhere it draws at least 10
# frames a second, and draw no more frames than the display's rate.
#   measure_pacing.sh <Windows build dir> [seconds] [bench.exe]
# bench.exe defaults to the build's velumira_renderer_bench.exe; another one
# (an older build's) is measured the same way, and its lines printed as they are.
set -u
build=$(cd "$1" && pwd)
seconds=${2:-10}
root=$(cd "$(dirname "$0")/../.." && pwd)
bench=${3:-$build/renderer/velumira_renderer_bench.exe}
. "$root/tools/deps.sh"
arch=win32
can_run_i386 || arch=win64
harness=$build/wine-pacing
trap '"$root/tools/wine-harness" stop "$harness"' EXIT

measure() { # label harness-options... ; screen size from the display
    local label=$1
    shift
    "$root/tools/wine-harness" start "$harness" "$arch" "$@" >/dev/null || return 1
    (
        . "$root/tools/wine-env" "$build" 2>/dev/null
        . "$harness/env"
        # The primary's size: the first Xinerama head, else the screen.
        size=$(xdpyinfo -ext XINERAMA | sed -n 's/^  head #0: \([0-9]*x[0-9]*\).*/\1/p')
        [ -n "$size" ] || size=$(xdpyinfo | sed -n 's/^  dimensions: *\([0-9]*x[0-9]*\).*/\1/p')
        snapshot=$WINEPREFIX/drive_c/pacing.bmp
        convert -size "$size" gradient:'#d01818-#1830d0' -type TrueColor BMP3:"$snapshot"
        echo "== $label ($size)"
        LC_ALL=ja_JP.UTF-8 "$WINE" "$bench" 'C:\pacing.bmp' "${size%x*}" "${size#*x}" "$seconds" |
            tr -d '\r' | grep -E 'frames/s|cold start'
    )
    "$root/tools/wine-harness" stop "$harness"
}

measure "1024 x 768" --screen 1024x768
measure "1600 x 1200" --screen 1600x1200
measure "1920 x 1080" --screen 1920x1080
if [ "$(id -u)" = 0 ]; then
    measure "two monitors" --two-screens
else
    echo "== two monitors: skipped (Xorg's dummy driver needs root)"
fi
