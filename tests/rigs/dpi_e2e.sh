#!/bin/bash
# Both programs on a screen at 144 dpi (the "hidpi" Wine world: tools/wine-harness
# --dpi 144). Wine 8 scales no program and calls every process per-monitor
# aware, so what is checked is that each program carries its manifest and that
# the loader reads it when the program starts (Wine's activation-context
# trace), that the renderer's window is its monitor, topmost, and the snapshot
# is the screen at its physical size. The settings dialog scales itself: its
# client area is 7350 x 3585 twips at 144 dpi, and it is photographed for
# review.
#   dpi_e2e.sh <velumira_p_show.exe>
set -u
show=$1
. "$VELUMIRA_ROOT/tools/wine-env" "$VELUMIRA_BUILD"
build=$VELUMIRA_BUILD
probe_exe=$build/renderer/velumira_window_probe.exe
artifacts=$build/artifacts
work=$(mktemp -d)
pids=()
mkdir -p "$artifacts"
fail() {
    echo "FAIL: $*"
    exit 1
}
cleanup() {
    for p in "${pids[@]}"; do kill "$p" 2>/dev/null; done
    for w in $(xdotool search --class '^OpenGL$' 2>/dev/null); do
        kill "$(xdotool getwindowpid "$w")" 2>/dev/null
    done
    rm -rf "$work"
}
trap cleanup EXIT
probe() { wine_ja "$probe_exe" "$@" | tr -d '\r'; }
winpath() { echo "Z:${1//\//\\}"; }

# What each program declares.
renderer_manifest=$(probe manifest "$(winpath "$build/bin/Velumira.dll")") ||
    fail "no manifest in Velumira.dll"
host_manifest=$(probe manifest "$(winpath "$build/host/Velumira.scr")") ||
    fail "no manifest in Velumira.scr"
for m in renderer host; do
    text=${m}_manifest
    for need in 'level="asInvoker"' e2011457-1546-43c5-a5fe-008deee3d3f0 \
        8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a '>PerMonitorV2, PerMonitor</dpiAwareness>' \
        '>true/pm</dpiAware>'; do
        grep -q "$need" <<<"${!text}" || fail "$m manifest lacks $need"
    done
done

screen=$(xdpyinfo | sed -n 's/^ *dimensions: *\([0-9]*\)x\([0-9]*\) pixels.*/\1 \2/p')

# The saver as the platform starts it: both programs read their manifests, the
# renderer covers the screen and the snapshot is the whole screen.
dir_win='C:\velumira dpi'
dir=$WINEPREFIX/drive_c/velumira\ dpi
mkdir -p "$dir"
cp "$build/host/Velumira.scr" "$build/bin/Velumira.dll" "$dir/" || fail "programs missing"
rm -f "$WINEPREFIX/drive_c/r_quil/Velumira.bmp"
LC_ALL=ja_JP.UTF-8 WINEDEBUG=+pid,trace+actctx "$WINE" "$dir_win\\Velumira.scr" /s 2>"$work/log" &
host=$!
pids+=($host)
shown() { probe info 2>/dev/null | grep -q 'visible=1'; }
wait_for 60 shown || fail "no renderer window"

# The settings a program's own manifest gave the loader when it started;
# fails when the loader found no manifest in the program.
manifest_read() { # program-file-name
    local id
    id=$(grep -a "get_manifest_in_module looking for res #0001 in module .*\\\\$1\"" "$work/log" |
        head -1 | cut -d: -f1,2)
    [ -n "$id" ] || return 1
    grep -a "^$id:trace:actctx:" "$work/log" | grep -a -A1 "looking for res #0001" |
        grep -q 'parse_manifest parsing manifest loaded from (null)' || return 1
    grep -a "^$id:trace:actctx:parse_settings_elem" "$work/log" | sed 's/.*parse_settings_elem got //'
}
read_by_renderer=$(manifest_read Velumira.dll) || fail "the renderer started without its manifest"
read_by_host=$(manifest_read Velumira.scr) || fail "the host started without its manifest"
for m in renderer host; do
    read=read_by_$m
    echo "$m's manifest settings: $(tr '\n' ' ' <<<"${!read}")"
    grep -qx 'L"dpiAwareness" L"PerMonitorV2, PerMonitor"' <<<"${!read}" &&
        grep -qx 'L"dpiAware" L"true/pm"' <<<"${!read}" || fail "$m read no DPI awareness"
done
info=$(probe info)
echo "$info"
grep -q ' fits=1$' <<<"$info" && grep -q 'exstyle=0x0004[01]008' <<<"$info" ||
    fail "window is not its monitor, topmost: $info"
snapshot=$(identify -format '%w %h' "$WINEPREFIX/drive_c/r_quil/Velumira.bmp")
echo "screen $screen, snapshot $snapshot"
[ "$snapshot" = "$screen" ] || fail "snapshot is $snapshot, the screen $screen"
xdotool mousemove 400 400 click 1 sleep 0.3 keydown Escape sleep 0.3 keyup Escape
host_gone() { ! kill -0 "$host" 2>/dev/null; }
wait_for 15 host_gone || fail "saver did not end"

# The settings dialog at 144 dpi: laid out at that scale by the program
# itself, photographed for review.
rect=$work/rect
wine_ja "$show" 1 7 'C:\Music\Kaze no Uta\01 Yoake.mp3' 6 "$(winpath "$rect")" &
pids+=($!)
wait_for 60 test -s "$rect" || fail "no dialog"
sleep 1.5
read -r x y w h < <(tr -d '\r' <"$rect")
shot=$artifacts/velumira_p_144dpi.png
import -display "$DISPLAY" -window root -crop "${w}x${h}+${x}+${y}" +repage "$shot"
echo "saved $shot (${w}x$h at $x,$y)"
# 7350 x 3585 twips at 144 dpi: 735 x 359 pixels.
[ "$w" -ge 734 ] && [ "$w" -le 736 ] && [ "$h" -ge 358 ] && [ "$h" -le 360 ] ||
    fail "the dialog's client area is ${w}x$h, not 735x359"
[ "$(convert "$shot" -format '%k' info:)" -ge 8 ] || fail "the dialog shot is blank"
echo "ok"
