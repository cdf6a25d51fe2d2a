#!/bin/bash
# A whole saver run under Wine, as the platform starts it: Velumira.scr /s in a
# folder whose path has blanks, with the renderer beside it.
#   saver_e2e.sh escape|kill|slow|music
# escape: a known picture on the screen ends up in the snapshot at the screen's
#   size, the renderer starts by its bare path, Escape ends the renderer and the
#   host follows within about half a second, the cursor is hidden once and
#   shown once.
# kill:   the renderer process is killed instead; the host still ends.
# slow:   a renderer that needs 3 s to open its window keeps the saver running.
# release: the release zip unpacked into a fresh folder runs the same way.
# music:  with an MP3 and then a WAV configured the saver starts and ends
#   cleanly, and the MP3 goes through the real MCI string interface.
set -u
case_=$1
. "$VELUMIRA_ROOT/tools/wine-env" "$VELUMIRA_BUILD"
build=$VELUMIRA_BUILD
work=$(mktemp -d)
pids=()
# Renderers left by an earlier failed run would pass for this run's.
kill_renderers() {
    local w
    for w in $(xdotool search --name '^Velumira_VC$' 2>/dev/null); do
        kill -9 "$(xdotool getwindowpid "$w")" 2>/dev/null
    done
}
cleanup() {
    for p in "${pids[@]}"; do kill "$p" 2>/dev/null; done
    kill_renderers
    rm -rf "$work"
}
trap cleanup EXIT
fail() {
    echo "FAIL ($case_): $*"
    exit 1
}

real=$build/bin/Velumira.dll
stand_in=$build/host/host_stand_in_renderer.exe
renderer=$real
[ -f "$renderer" ] || renderer=$stand_in
[ "$case_" = slow ] && renderer=$stand_in # only the stand-in can be told to be slow

kill_renderers
sleep 0.5
dir_win='C:\velumira saver e2e'
dir=$WINEPREFIX/drive_c/velumira\ saver\ e2e
rm -rf "$dir"
mkdir -p "$dir"
if [ "$case_" = release ]; then
    (cd "$dir" && cmake -E tar xf "$build/Velumira.zip") || fail "cannot unpack Velumira.zip"
    [ "$(ls "$dir" | tr '\n' ' ')" = "README.txt Velumira.dll Velumira.scr " ] ||
        fail "zip holds: $(ls "$dir")"
else
    cp "$build/host/Velumira.scr" "$dir/" || fail "no Velumira.scr"
    cp "$renderer" "$dir/Velumira.dll"
fi
snap=$WINEPREFIX/drive_c/r_quil/Velumira.bmp

renderer_window() { xdotool search --name '^Velumira_VC$' 2>/dev/null | head -1; }

has_renderer_window() { [ -n "$(renderer_window)" ]; }
host_gone() { ! kill -0 "$host" 2>/dev/null; }

start_host() { # log-file
    LC_ALL=ja_JP.UTF-8 WINEDEBUG=+pid,trace+cursor,trace+mci "$WINE" "$dir_win\\Velumira.scr" /s \
        2>"$1" &
    host=$!
    pids+=("$host")
}

press_escape() {
    # A click gives the renderer's window the keyboard focus first: there is
    # no window manager on the test display to do it.
    xdotool mousemove 960 540 click 1 sleep 0.3 keydown Escape sleep 0.3 keyup Escape
}

# Cursor calls of the host: hidden once at the start, shown once at the end.
# The renderer writes to the same log and hides the cursor itself; the host's
# lines are those of the process that hid it first.
check_cursor() { # log-file
    local calls pid
    pid=$(grep -a -m1 'NtUserShowCursor' "$1" | cut -d: -f1)
    calls=$(grep -a "^$pid:.*NtUserShowCursor" "$1" | sed 's/.*NtUserShowCursor //' | tr '\n' ' ')
    [ "$calls" = "0, count=-1 1, count=0 " ] || fail "cursor calls: '$calls'"
}

case $case_ in
escape)
    # A known picture on the screen: four coloured quarters.
    convert -size 1920x1080 xc:black -fill red -draw 'rectangle 0,0 959,539' \
        -fill lime -draw 'rectangle 960,0 1919,539' -fill blue -draw 'rectangle 0,540 959,1079' \
        -fill yellow -draw 'rectangle 960,540 1919,1079' "$work/screen.png"
    display -geometry +0+0 "$work/screen.png" &
    pids+=($!)
    sleep 1.5
    rm -f "$snap"
    start_host "$work/log"
    wait_for 30 has_renderer_window || fail "no renderer window"
    [ -f "$snap" ] || fail "no snapshot"
    [ "$(identify -format '%m %w %h %z' "$snap")" = "BMP3 1920 1080 8" ] ||
        fail "snapshot is $(identify -format '%m %w %h' "$snap")"
    colours=$(convert "$snap" -format \
        '%[pixel:p{480,270}] %[pixel:p{1440,270}] %[pixel:p{480,810}] %[pixel:p{1440,810}]' info:)
    [ "$colours" = "srgb(255,0,0) srgb(0,255,0) srgb(0,0,255) srgb(255,255,0)" ] ||
        fail "snapshot colours: $colours"
    if [ "$renderer" = "$stand_in" ]; then
        line=$(cat "$WINEPREFIX/drive_c/r_quil/stand_in_command.txt")
        [ "$line" = "$dir_win\\Velumira.dll" ] || fail "renderer command line: '$line'"
    fi
    grep -aq 'NtUserShowCursor 0, count=-1' "$work/log" || fail "cursor not hidden"
    sleep 1
    kill -0 "$host" 2>/dev/null || fail "host ended while the renderer runs"
    press_escape
    wait_for 10 bash -c '[ -z "$(xdotool search --name "^Velumira_VC$" 2>/dev/null)" ]' ||
        fail "renderer did not end on Escape"
    gone=$(now_ms)
    wait_for 5 host_gone || fail "host still running"
    echo "host ended $(($(now_ms) - gone)) ms after the renderer window went"
    wait "$host"
    rc=$?
    [ $rc = 0 ] || fail "host exit code $rc"
    check_cursor "$work/log"
    nothing_left() { ! ps -eo args | grep -v grep | grep -qi 'velumira saver e2e'; }
    wait_for 5 nothing_left || fail "left running: $(ps -eo pid,args | grep -i 'velumira saver e2e')"
    ;;
release)
    start_host "$work/log"
    wait_for 30 has_renderer_window || fail "no renderer window"
    sleep 1
    host_gone && fail "host ended while the renderer runs"
    press_escape
    wait_for 10 host_gone || fail "host still running"
    check_cursor "$work/log"
    ;;
kill)
    start_host "$work/log"
    wait_for 30 has_renderer_window || fail "no renderer window"
    sleep 1
    w=$(renderer_window)
    rpid=$(xdotool getwindowpid "$w") || fail "no pid for the renderer window"
    kill -9 "$rpid"
    wait_for 5 host_gone || fail "host still running after the renderer was killed"
    check_cursor "$work/log"
    ;;
slow)
    export VELUMIRA_STAND_IN_DELAY_MS=3000
    start_host "$work/log"
    started=$(now_ms)
    wait_for 30 has_renderer_window || fail "no renderer window"
    echo "renderer window after $(($(now_ms) - started)) ms"
    host_gone && fail "host ended before the slow renderer showed its window"
    sleep 1.2
    host_gone && fail "host ended while the renderer runs"
    press_escape
    wait_for 5 host_gone || fail "host still running"
    check_cursor "$work/log"
    ;;
music)
    # Half a second of silence as a WAV, and the same bytes under an .mp3 name.
    python3 - "$dir/tune.wav" <<'PY'
import sys, wave
with wave.open(sys.argv[1], "wb") as w:
    w.setnchannels(1); w.setsampwidth(2); w.setframerate(22050)
    w.writeframes(b"\0\0" * 11025)
PY
    cp "$dir/tune.wav" "$dir/tune.mp3"
    for file in tune.mp3 tune.WAV; do
        # Keys in Shift-JIS: BGM区分 and BGMﾌｧｲﾙ.
        printf '[Section]\r\nBGM\x8b\xe6\x95\xaa= 2\r\nBGM\xcc\xa7\xb2\xd9=%s\\%s\r\n' \
            "$dir_win" "$file" >"$dir/Velumira.ini"
        start_host "$work/log-$file"
        wait_for 30 has_renderer_window || fail "no renderer window with $file"
        sleep 1.5
        host_gone && fail "host ended early with $file"
        press_escape
        wait_for 5 host_gone || fail "host still running with $file"
        wait "$host" || fail "host exit code $? with $file"
        check_cursor "$work/log-$file"
    done
    mci=$(grep -a 'mciSendStringW' "$work/log-tune.mp3" | grep -ao 'L"[^"]*\(\\"[^"]*\)*"' | head -3)
    echo "$mci"
    grep -aq 'open \\"C:\\\\velumira saver e2e\\\\tune.mp3\\" type MPEGVideo Alias MP3Play' \
        "$work/log-tune.mp3" || fail "MP3 open not sent"
    grep -aq 'L"close MP3Play"' "$work/log-tune.mp3" || fail "MP3 close not sent"
    grep -aq 'MP3Play' "$work/log-tune.WAV" && fail "MCI used for a WAV"
    ;;
*)
    fail "unknown case"
    ;;
esac
echo "ok ($case_)"
