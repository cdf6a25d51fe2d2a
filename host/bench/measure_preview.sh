#!/bin/bash
# Measures the moving preview under Wine on Xvfb (llvmpipe): its frames per
# second and the host's CPU use with every thread counted (Mesa's drawing
# threads among them), read from /proc over the measured time; then the time
# the host takes to end once its area is gone.
#   measure_preview.sh <Windows build dir> [seconds, 10] [WxH, 152x112]
set -u
build=$(cd "$1" && pwd)
seconds=${2:-10}
size=${3:-152x112}
root=$(cd "$(dirname "$0")/../.." && pwd)
arch=win32
grep -q 'mingw-x86_64' "$build/CMakeCache.txt" && arch=win64
harness=$build/wine-measure-preview
"$root/tools/wine-harness" start "$harness" "$arch" >/dev/null || exit 1
trap '"$root/tools/wine-harness" stop "$harness"' EXIT
. "$harness/env"
dir=$WINEPREFIX/drive_c/velumira_preview
mkdir -p "$dir"
cp "$build/host/Velumira.scr" "$build/host/velumira_preview_area.exe" "$dir/"
area() { LC_ALL=ja_JP.UTF-8 "$WINE" 'C:\velumira_preview\velumira_preview_area.exe' \
    'C:\velumira_preview\Velumira.scr' "$@"; }

out=$harness/area.out
area "$seconds" "${size%x*}" "${size#*x}" >"$out" 2>/dev/null &
for _ in $(seq 400); do
    grep -q 'showing\|no moving' "$out" && break
    sleep 0.05
done
host=$(pgrep -f 'Velumira.scr /p' | head -1)
if [ -z "$host" ] || ! grep -q showing "$out"; then
    echo "the moving preview did not show"
    cat "$out"
    exit 1
fi
hz=$(getconf CLK_TCK)
cpu() { awk '{ print $14 + $15 }' "/proc/$host/stat"; }
threads() { awk '/^Threads/ { print $2 }' "/proc/$host/status"; }
a=$(cpu)
start=$(date +%s%3N)
while ! grep -q '^frames' "$out"; do sleep 0.05; done
b=$(cpu) n=$(threads)
elapsed=$(($(date +%s%3N) - start))
wait
echo "$arch build, preview $size, $(nproc) cores"
sed -n 's/^frames \([0-9]*\) in \([0-9]*\) ms/\1 \2/p' "$out" |
    awk '{ printf "frames: %.1f per second\n", $1 * 1000 / $2 }'
echo "host CPU: $(((b - a) * 1000 / hz)) ms in $elapsed ms" \
    "($(((b - a) * 100000 / hz / elapsed)) % of one core, $n threads)"
grep '^ended\|^still' "$out"

