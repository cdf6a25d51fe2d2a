#!/bin/bash
# Measures a saver start under Wine on Xvfb (1920 x 1080): the time from
# starting Velumira.scr /s to the renderer's first frame, split into its
# phases, and the host's CPU use while it only watches.
#   measure_startup.sh <win64 build dir> [runs]
# Phases come from Wine's own timestamped traces (process, file and OpenGL
# channels), which slow every step a little; the untraced total is measured
# separately from the moment the renderer's window is on the display.
set -u
build=$(cd "$1" && pwd)
runs=${2:-3}
root=$(cd "$(dirname "$0")/../.." && pwd)
harness=$build/wine-measure
"$root/tools/wine-harness" start "$harness" win64 >/dev/null || exit 1
trap '"$root/tools/wine-harness" stop "$harness"' EXIT
. "$harness/env"
dir_win='C:\velumira measure'
dir=$WINEPREFIX/drive_c/velumira\ measure
mkdir -p "$dir"
cp "$build/host/Velumira.scr" "$build/bin/Velumira.dll" "$dir/"
now_ms() { date +%s%3N; }
end_renderer() {
    local w
    for w in $(xdotool search --name '^Velumira_VC$' 2>/dev/null); do
        kill -9 "$(xdotool getwindowpid "$w")" 2>/dev/null
    done
}
wait_window() {
    for _ in $(seq 600); do
        [ -n "$(xdotool search --name '^Velumira_VC$' 2>/dev/null)" ] && return 0
        sleep 0.05
    done
    return 1
}
# One warm-up start so that both programs and Mesa are in the page cache.
LC_ALL=ja_JP.UTF-8 "$WINE" "$dir_win\\Velumira.scr" /s 2>/dev/null &
wait_window
sleep 2
end_renderer
wait

echo "phase times in ms (traced run): capture, bitmap write, renderer start, bitmap load, texture build + first frame, total"
for n in $(seq "$runs"); do
    log=$harness/trace-$n.log
    WINEDEBUG=+timestamp,+pid,trace+process,trace+file,trace+opengl,trace+wgl,trace+cursor \
        LC_ALL=ja_JP.UTF-8 "$WINE" "$dir_win\\Velumira.scr" /s 2>"$log" &
    host=$!
    wait_window
    sleep 3
    end_renderer
    wait "$host"
    awk -F: '
        function ms(t) { return t * 1000 }
        /trace:cursor:NtUserShowCursor 0/ && !t0 { t0 = ms($1); host = $2 }
        $2 == host && /CreateFileW L"C:\\\\r_quil\\\\Velumira.bmp" GENERIC_WRITE/ && !t1 { t1 = ms($1) }
        $2 == host && /CreateProcessInternalW app .*Velumira.dll/ && !t2 { t2 = ms($1) }
        t2 && $2 != host && /CreateFileW L"C:\\\\r_quil\\\\Velumira.bmp" GENERIC_READ/ && !t3 { t3 = ms($1); r = $2 }
        t3 && $2 == r && /glGenTextures/ && !t4 { t4 = ms($1) }
        t4 && $2 == r && /wglSwapBuffers/ && !t5 { t5 = ms($1) }
        END { printf "%d %d %d %d %d %d\n", t1-t0, t2-t1, t3-t2, t4-t3, t5-t4, t5-t0 }
    ' "$log"
done

echo "untraced: ms from starting Velumira.scr /s to the renderer window on the display"
for n in $(seq "$runs"); do
    start=$(now_ms)
    LC_ALL=ja_JP.UTF-8 "$WINE" "$dir_win\\Velumira.scr" /s 2>/dev/null &
    host=$!
    wait_window
    echo $(($(now_ms) - start))
    if [ "$n" = "$runs" ]; then
        # The host's CPU time while it only watches, over 10 s.
        sleep 2
        hz=$(getconf CLK_TCK)
        t() { awk '{ print $14 + $15 }' "/proc/$host/stat"; }
        a=$(t)
        sleep 10
        b=$(t)
        echo "host CPU while watching: $(((b - a) * 1000 / hz)) ms in 10 s"
    fi
    sleep 1
    end_renderer
    wait "$host"
done
