#!/bin/bash
# Measures the renderer at rest under Wine on Xvfb (llvmpipe): its CPU use,
# every thread counted (Mesa's drawing threads among them), read from /proc
# over a few seconds while drawing, while the session is locked and after the
# unlock; and the time from the unlock to the first new frame on the screen.
# The lock and unlock are the session's notices posted to the window.
#   measure_rest.sh <Windows build dir> [seconds, 3] [WxH, 1920x1080]
set -u
build=$(cd "$1" && pwd)
seconds=${2:-3}
size=${3:-1920x1080}
root=$(cd "$(dirname "$0")/../.." && pwd)
arch=win32
grep -q 'mingw-x86_64' "$build/CMakeCache.txt" && arch=win64
harness=$build/wine-measure-rest
"$root/tools/wine-harness" start "$harness" "$arch" --screen "$size" >/dev/null || exit 1
renderer=
trap '[ -n "$renderer" ] && kill "$renderer" 2>/dev/null; "$root/tools/wine-harness" stop "$harness"' EXIT
. "$harness/env"
probe() { LC_ALL=ja_JP.UTF-8 "$WINE" "$build/renderer/velumira_window_probe.exe" "$@" | tr -d '\r'; }
mkdir -p "$WINEPREFIX/drive_c/r_quil"
convert -size "$size" gradient:'#d01818-#1830d0' -type TrueColor \
    BMP3:"$WINEPREFIX/drive_c/r_quil/Velumira.bmp"

(exec env LC_ALL=ja_JP.UTF-8 "$WINE" "$build/bin/Velumira.dll") >/dev/null 2>&1 &
for _ in $(seq 300); do
    probe info 2>/dev/null | grep -q 'visible=1' && break
    sleep 0.1
done
window=$(xdotool search --name '^Velumira_VC$' | head -1)
renderer=$(xdotool getwindowpid "$window") || { echo "no renderer window"; exit 1; }
sleep 2

hz=$(getconf CLK_TCK)
cpu_over() { # label
    local a b start elapsed
    a=$(awk '{ print $14 + $15 }' "/proc/$renderer/stat")
    start=$(date +%s%3N)
    sleep "$seconds"
    b=$(awk '{ print $14 + $15 }' "/proc/$renderer/stat")
    elapsed=$(($(date +%s%3N) - start))
    echo "$1: $(((b - a) * 1000 / hz)) ms of CPU in $elapsed ms" \
        "($(((b - a) * 100000 / hz / elapsed)) % of one core," \
        "$(awk '/^Threads/ { print $2 }' "/proc/$renderer/status") threads)"
}
echo "$arch build, screen $size, $(nproc) cores"
cpu_over "drawing"
probe post 0x02b1 7 0 # WM_WTSSESSION_CHANGE, WTS_SESSION_LOCK
sleep 0.5
cpu_over "locked"
probe unlock
cpu_over "after the unlock"
probe post 0x0010 0 0
