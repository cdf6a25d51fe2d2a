#!/bin/bash
# Measures a saver start under Wine on Xvfb: the time from starting
# Velumira.scr /s to the renderer's first frame, split into its phases, the
# renderer's peak memory, and the host's CPU use while it only watches.
#   measure_startup.sh <Windows build dir> [runs] [screen WxH, 1920x1080]
# Phases come from Wine's own timestamped traces (process, file and OpenGL
# channels), which slow every step a little; the untraced total is measured
# separately until the renderer's window is visible on the display (it is
# shown only once its first frame is drawn).
set -u
build=$(cd "$1" && pwd)
runs=${2:-3}
screen=${3:-1920x1080}
root=$(cd "$(dirname "$0")/../.." && pwd)
arch=win32
grep -q 'mingw-x86_64' "$build/CMakeCache.txt" && arch=win64
harness=$build/wine-measure
"$root/tools/wine-harness" start "$harness" "$arch" --screen "$screen" >/dev/null || exit 1
trap '"$root/tools/wine-harness" stop "$harness"' EXIT
. "$harness/env"
dir_win='C:\velumira measure'
dir=$WINEPREFIX/drive_c/velumira\ measure
mkdir -p "$dir"
cp "$build/host/Velumira.scr" "$build/bin/Velumira.dll" "$dir/"
now_ms() { date +%s%3N; }
renderer_window() { xdotool search --onlyvisible --name '^Velumira_VC$' 2>/dev/null | head -1; }
end_renderer() {
    local w
    for w in $(xdotool search --name '^Velumira_VC$' 2>/dev/null); do
        kill -9 "$(xdotool getwindowpid "$w")" 2>/dev/null
    done
}
wait_window() {
    for _ in $(seq 1200); do
        [ -n "$(renderer_window)" ] && return 0
        sleep 0.025
    done
    return 1
}
echo "$arch build, $screen screen"
# One warm-up start so that both programs and Mesa are in the page cache.
LC_ALL=ja_JP.UTF-8 "$WINE" "$dir_win\\Velumira.scr" /s 2>/dev/null &
wait_window
sleep 2
end_renderer
wait

echo "phase times in ms (traced run): capture, bitmap write, renderer start, picture to first frame, total"
for n in $(seq "$runs"); do
    log=$harness/trace-$n.log
    WINEDEBUG=+timestamp,+pid,trace+process,trace+file,trace+opengl,trace+wgl,trace+cursor \
        LC_ALL=ja_JP.UTF-8 "$WINE" "$dir_win\\Velumira.scr" /s 2>"$log" &
    host=$!
    wait_window
    sleep 3
    end_renderer
    wait "$host"
    # The host writes the snapshot under a pending name and renames it once
    # whole; its first create for writing starts the bitmap write.
    awk -F: '
        function ms(t) { return t * 1000 }
        /trace:cursor:NtUserShowCursor 0/ && !t0 { t0 = ms($1); host = $2 }
        $2 == host && /CreateFileW L"C:\\\\r_quil\\\\Velumira\.bmp[^"]*" .*GENERIC_WRITE/ && !t1 { t1 = ms($1) }
        $2 == host && /CreateProcessInternalW app .*Velumira.dll/ && !t2 { t2 = ms($1) }
        t2 && $2 != host && /CreateFileW L"C:\\\\r_quil\\\\Velumira\.bmp" GENERIC_READ/ && !t3 { t3 = ms($1); r = $2 }
        t3 && $2 == r && /wglSwapBuffers/ && !t4 { t4 = ms($1) }
        END {
            if (!(t0 && t1 && t2 && t3 && t4)) {
                printf "trace incomplete (%s)\n", FILENAME
                exit
            }
            printf "%d %d %d %d %d\n", t1-t0, t2-t1, t3-t2, t4-t3, t4-t0
        }
    ' "$log"
done

echo "untraced: ms from starting Velumira.scr /s to the renderer window visible; renderer peak resident memory"
for n in $(seq "$runs"); do
    start=$(now_ms)
    LC_ALL=ja_JP.UTF-8 "$WINE" "$dir_win\\Velumira.scr" /s 2>/dev/null &
    host=$!
    wait_window
    shown=$(now_ms)
    sleep 1
    renderer=$(xdotool getwindowpid "$(renderer_window)" 2>/dev/null)
    peak=$(sed -n 's/^VmHWM:[[:space:]]*//p' "/proc/$renderer/status" 2>/dev/null)
    echo "$((shown - start)) ms; renderer ${peak:-?}"
    if [ "$n" = "$runs" ]; then
        # The host's CPU time while it only watches, over 10 s.
        hz=$(getconf CLK_TCK)
        t() { awk '{ print $14 + $15 }' "/proc/$host/stat"; }
        a=$(t)
        sleep 10
        b=$(t)
        echo "host CPU while watching: $(((b - a) * 1000 / hz)) ms in 10 s"
    fi
    end_renderer
    wait "$host"
done
