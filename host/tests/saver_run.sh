# shellcheck shell=bash disable=SC2034,SC2154
# Sourced by the scripts that run whole savers under Wine (host/tests/saver_e2e.sh,
# tools/soak): starting, watching and ending one saver run from outside.
# Expects the Wine world's environment and helpers (tools/wine-env), a `fail`
# function, the array `pids` of processes to clean up, and `dir`/`dir_win`:
# the saver's folder as Unix and as Windows path.

snap=$WINEPREFIX/drive_c/r_quil/Velumira.bmp

renderer_window() { xdotool search --name '^Velumira_VC$' 2>/dev/null | head -1; }

# Renderers left by an earlier failed run would pass for this run's.
kill_renderers() {
    local w
    for w in $(xdotool search --name '^Velumira_VC$' 2>/dev/null); do
        kill -9 "$(xdotool getwindowpid "$w")" 2>/dev/null
    done
}

has_renderer_window() { [ -n "$(renderer_window)" ]; }
no_renderer_window() { [ -z "$(renderer_window)" ]; }
host_gone() { ! kill -0 "$host" 2>/dev/null; }
# No program of the saver's folder runs any more.
nothing_left() { ! ps -eo args | grep -v grep | grep -qiF "$dir_win"; }

# With $file_limit_kb set, the saver can write no file beyond that size, as on
# a nearly full disk.
start_host() { # log-file
    (
        if [ -n "${file_limit_kb:-}" ]; then
            trap '' XFSZ
            ulimit -f "$file_limit_kb"
        fi
        LC_ALL=ja_JP.UTF-8 WINEDEBUG=+pid,trace+cursor,trace+mci exec "$WINE" \
            "$dir_win\\Velumira.scr" /s
    ) 2>"$1" &
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

# Half a second of silence as $dir/tune.wav, and the same bytes as tune.mp3.
make_tunes() {
    python3 - "$dir/tune.wav" <<'PY'
import sys, wave
with wave.open(sys.argv[1], "wb") as w:
    w.setnchannels(1); w.setsampwidth(2); w.setframerate(22050)
    w.writeframes(b"\0\0" * 11025)
PY
    cp "$dir/tune.wav" "$dir/tune.mp3"
}

configure_music() { # file name in $dir
    # UTF-16 after its byte-order mark, so that any folder name fits.
    {
        printf '\xff\xfe'
        printf '[Section]\r\nBGM区分= 2\r\nBGMﾌｧｲﾙ=%s\\%s\r\n' "$dir_win" "$1" |
            iconv -f UTF-8 -t UTF-16LE
    } >"$dir/Velumira.ini"
}

# Every MCI device the host opened by an alias it closed again. (Where Wine
# lacks a decoder the open itself fails; what is checked is what the host asks.)
check_mci_closed() { # log-file
    local opened closed
    opened=$(grep -ao 'mciSendStringW (L"open [^,]* [Aa]lias [A-Za-z0-9]*"' "$1" |
        sed 's/.* [Aa]lias //; s/"$//' | tr 'A-Z' 'a-z' | sort -u | tr '\n' ' ')
    closed=$(grep -ao 'mciSendStringW (L"close [A-Za-z0-9]*"' "$1" |
        sed 's/.*close //; s/"$//' | tr 'A-Z' 'a-z' | sort -u | tr '\n' ' ')
    [ "$opened" = "$closed" ] || fail "MCI devices opened: '$opened', closed: '$closed'"
}
