#!/bin/bash
# End-to-end checks of Velumira.dll under Wine on the test display:
#   renderer_e2e.sh picture    window, frames showing the snapshot, input, Escape
#   renderer_e2e.sh messages   WM_SIZE 0, minimised, WM_CLOSE and WM_QUIT codes,
#                              no frames while the session is locked
#   renderer_e2e.sh missing    one error box, then the untextured cloth animates
#   renderer_e2e.sh display    the whole saver on a 1024 x 768 screen whose
#                              resolution changes while it runs: the window
#                              follows the screen, Escape ends both programs
#   renderer_e2e.sh note       on a dark desktop: no note without input, a mouse
#                              move brings it within a second, it is gone a few
#                              seconds later, a key brings it again, Escape ends
# Frames are kept in $VELUMIRA_BUILD/artifacts.
set -u
. "$VELUMIRA_ROOT/tools/wine-env" "$VELUMIRA_BUILD"
case_name=$1
probe_exe=$VELUMIRA_BUILD/renderer/velumira_window_probe.exe
renderer_exe=$VELUMIRA_BUILD/bin/Velumira.dll
artifacts=$VELUMIRA_BUILD/artifacts
snapshot=$WINEPREFIX/drive_c/r_quil/Velumira.bmp
work=$(mktemp -d)
mkdir -p "$artifacts"
pid=

fail() {
    echo "FAIL: $*" >&2
    exit 1
}
cleanup() {
    if [ -n "$pid" ] && kill -0 "$pid" 2>/dev/null; then
        probe post 0x10 0 0 >/dev/null 2>&1
        sleep 1
        kill "$pid" 2>/dev/null
    fi
    rm -rf "$work"
}
trap cleanup EXIT

probe() { wine_ja "$probe_exe" "$@" | tr -d '\r'; }

# Left half red, right half blue, a yellow disc in the middle: colours that
# survive lighting and sheen and tell the halves apart.
make_snapshot() {
    convert -size 1920x1080 xc:'#d01818' -fill '#1830d0' -draw 'rectangle 960,0 1919,1079' \
        -fill '#e0d020' -draw 'circle 960,540 960,400' -type TrueColor BMP3:"$snapshot" ||
        fail "cannot make the snapshot"
}

start_renderer() {
    (cd "$work" && exec env LC_ALL=ja_JP.UTF-8 "$WINE" "$renderer_exe") &
    pid=$!
    # The window exists a moment before it is shown; wait for both.
    for _ in $(seq 900); do
        if xdotool search --name '^Velumira_VC$' >/dev/null 2>&1 &&
            probe info 2>/dev/null | grep -q 'visible=1'; then
            return 0
        fi
        if ! kill -0 "$pid" 2>/dev/null; then
            wait "$pid"
            fail "renderer ended with exit code $? before its window appeared"
        fi
        sleep 0.1
    done
    fail "no visible window titled Velumira_VC"
}

# Waits for the renderer to end; sets code to its exit code.
wait_exit() {
    for _ in $(seq 300); do
        if ! kill -0 "$pid" 2>/dev/null; then
            wait "$pid"
            code=$?
            pid=
            return 0
        fi
        sleep 0.1
    done
    return 1
}

running() { kill -0 "$pid" 2>/dev/null && xdotool search --name '^Velumira_VC$' >/dev/null 2>&1; }

shot() { import -display "$DISPLAY" -window root "$1" || fail "no screenshot"; }

# Mean colour of a square of the screenshot as "r g b", 0..255.
mean() { # file x y
    convert "$1" -crop 160x160+"$2"+"$3" +repage -scale '1x1!' \
        -format '%[fx:int(255*r)] %[fx:int(255*g)] %[fx:int(255*b)]' info:
}

# Per mille of one half of the screen ("West" or "East") in a strong colour:
# red, or blue.
colour_share() { # file half colour
    local test='r > g + 0.24 && r > b + 0.24'
    [ "$3" = blue ] && test='b > r + 0.24 && b > g + 0.24'
    convert "$1" -gravity "$2" -crop 50%x100%+0+0 +repage -scale 25% \
        -fx "($test) ? 1 : 0" -format '%[fx:int(1000*mean)]' info:
}

# Per mille of the middle of the screen (half its width and two thirds of
# its height) that is yellow.
yellow_share() { # file
    convert "$1" -gravity center -crop 50%x67%+0+0 +repage -scale 25% \
        -fx '(r > 0.6 && g > 0.55 && b < 0.45) ? 1 : 0' -format '%[fx:int(1000*mean)]' info:
}

# Near-white pixels where the note's text shows, low in the middle of the
# screen: a small area, so that the sheen's rare glints on folds stay few.
light_pixels() { # file
    local w h
    read -r w h < <(identify -format '%w %h' "$1")
    convert "$1" -crop "$((w / 4))x$((h / 12))+$((w * 3 / 8))+$((h * 5 / 6 - h / 24))" +repage \
        -channel RGB -separate -evaluate-sequence min -threshold 80% \
        -format '%[fx:int(w * h * mean + 0.5)]' info:
}

changed_pixels() { compare -metric AE "$1" "$2" null: 2>&1 | awk '{ printf "%d", $1 }'; }

case $case_name in
picture)
    make_snapshot
    start_renderer
    info=$(probe info) || fail "probe sees no window"
    echo "$info"
    grep -q '^class=OpenGL classstyle=0x23 ' <<<"$info" || fail "class"
    grep -Eq 'style=0x[89]6000000 ' <<<"$info" || fail "style"
    # Windows drops WS_EX_WINDOWEDGE from borderless windows when it stores
    # the style; topmost, so that the taskbar is not drawn over the cloth.
    grep -q 'exstyle=0x0004[01]008' <<<"$info" || fail "extended style"
    grep -q ' fits=1$' <<<"$info" || fail "window is not its monitor"
    grep -Eq '^parent=0+ owner=0+ menu=0+ iconic=0 visible=1' <<<"$info" || fail "parent/menu"

    sleep 6 # let the breeze build up waves worth looking at
    shot "$work/a.png"
    sleep 0.7
    shot "$work/b.png"
    cp "$work/a.png" "$artifacts/renderer_frame_1.png"
    cp "$work/b.png" "$artifacts/renderer_frame_2.png"
    # The sheet swings far enough that no fixed spot is sure to show one
    # half of the picture, so compare the screen's halves instead: the red
    # half of the picture must be on the left, the blue one on the right.
    red_left=$(colour_share "$work/a.png" West red)
    red_right=$(colour_share "$work/a.png" East red)
    blue_left=$(colour_share "$work/a.png" West blue)
    blue_right=$(colour_share "$work/a.png" East blue)
    echo "red per mille left/right: $red_left/$red_right, blue: $blue_left/$blue_right"
    [ "$red_left" -ge 150 ] && [ "$red_left" -gt $((red_right * 2)) ] || fail "left half not red"
    [ "$blue_right" -ge 150 ] && [ "$blue_right" -gt $((blue_left * 2 / 3)) ] ||
        fail "right half not blue"
    # The disc swings with the sheet, so look for it over the middle of the
    # screen rather than at one spot.
    yellow=$(yellow_share "$work/a.png")
    echo "yellow in the middle: $yellow per mille"
    [ "$yellow" -ge 20 ] || fail "no yellow disc in the middle"
    moved=$(changed_pixels "$work/a.png" "$work/b.png")
    echo "pixels changed between frames: $moved"
    [ "$moved" -gt 5000 ] || fail "cloth does not move"

    xdotool mousemove 200 200 sleep 0.2 mousemove 900 500 click 1 click 3
    xdotool key a key space key Return key F1 key shift+Tab
    sleep 1.5
    running || fail "mouse or keys other than Escape ended the renderer"

    xdotool keydown Escape sleep 0.4 keyup Escape
    wait_exit || fail "Escape did not end the renderer"
    [ "$code" = 0 ] || fail "exit code after Escape: $code"
    xdotool search --name '^Velumira_VC$' >/dev/null 2>&1 && fail "window still there"
    ;;
messages)
    make_snapshot
    start_renderer
    sleep 2
    probe send 0x0005 0 800 || fail "WM_SIZE 800 x 0 not answered" # client 800 x 0
    sleep 1
    running || fail "WM_SIZE with height 0 ended the renderer"
    read -r w h < <(probe info | sed -n 's/.*client=\([0-9]*\)x\([0-9]*\).*/\1 \2/p')
    probe send 0x0005 0 $((h << 16 | w)) || fail "WM_SIZE restore"
    # Escape pressed and released before the loop next runs idle leaves the key
    # table clear: the renderer goes on. (Minimised while the keys are queued,
    # so no idle pass can fall between them; the restore is queued after them.)
    probe send 0x0006 0x10000 0
    probe tap 0x1b
    probe post 0x0006 1 0
    sleep 0.5
    running || fail "an Escape tap between frames ended the renderer"
    # Anyone may post key messages; codes past the key table are ignored.
    probe post 0x0100 0x12345 0
    sleep 0.5
    running || fail "out-of-range key code ended the renderer"

    # Minimised (WM_ACTIVATE with a non-zero high word): no frames, Escape ignored.
    probe send 0x0006 0x10000 0
    sleep 0.5
    shot "$work/a.png"
    probe post 0x0100 0x1b 0
    sleep 1
    shot "$work/b.png"
    running || fail "Escape while minimised ended the renderer"
    [ "$(changed_pixels "$work/a.png" "$work/b.png")" = 0 ] || fail "frames drawn while minimised"
    probe post 0x0010 0 0
    wait_exit || fail "WM_CLOSE while minimised did not end the renderer"
    [ "$code" = 0 ] || fail "exit code after WM_CLOSE: $code"
    xdotool search --name '^Velumira_VC$' >/dev/null 2>&1 && fail "window still there"

    # The session locked (WM_WTSSESSION_CHANGE, WTS_SESSION_LOCK): not a frame
    # for 2 s; unlocked, the cloth moves on. A posted power notice, whose
    # pointer no one vouches for, is not followed.
    start_renderer
    sleep 1
    probe post 0x0218 0x8013 0x10
    probe post 0x02b1 7 0
    sleep 0.5
    shot "$work/a.png"
    sleep 2
    shot "$work/b.png"
    running || fail "the lock or the power notice ended the renderer"
    [ "$(changed_pixels "$work/a.png" "$work/b.png")" = 0 ] || fail "frames drawn while locked"
    probe post 0x02b1 8 0
    sleep 0.5
    shot "$work/a.png"
    sleep 0.7
    shot "$work/b.png"
    moved=$(changed_pixels "$work/a.png" "$work/b.png")
    echo "pixels changed after the unlock: $moved"
    [ "$moved" -gt 5000 ] || fail "no frames after the unlock"
    # WM_QUIT's parameter becomes the exit code, locked or not.
    probe post 0x02b1 7 0
    sleep 0.5
    probe post 0x0012 7 0
    wait_exit || fail "WM_QUIT did not end the renderer"
    [ "$code" = 7 ] || fail "exit code after WM_QUIT 7: $code"
    # Escape is heard while locked: the loop sleeps only until a message.
    start_renderer
    probe post 0x02b1 7 0
    sleep 1
    probe post 0x0100 0x1b 0
    wait_exit || fail "Escape while locked did not end the renderer"
    [ "$code" = 0 ] || fail "exit code after Escape while locked: $code"
    ;;
missing)
    rm -f "$snapshot"
    start_renderer
    box=$(probe errorbox) || fail "no error box"
    echo "$box"
    grep -qxF 'text=Failed to open DIB file C:\r_quil\Velumira.bmp.\n' <<<"$box" || fail "text"
    grep -qx 'buttons=1 OK' <<<"$box" || fail "buttons"
    grep -qx 'owner_is_renderer=1' <<<"$box" || fail "box not owned by the renderer"
    sleep 2
    probe noerrorbox || fail "a second error box"
    shot "$work/a.png"
    sleep 0.7
    shot "$work/b.png"
    cp "$work/a.png" "$artifacts/renderer_untextured.png"
    read -r r g b < <(mean "$work/a.png" 880 460)
    echo "middle mean: $r $g $b"
    [ "$r" -gt 60 ] || fail "sheet not drawn"
    [ $((r > g ? r - g : g - r)) -lt 20 ] && [ $((r > b ? r - b : b - r)) -lt 20 ] ||
        fail "untextured sheet not grey"
    moved=$(changed_pixels "$work/a.png" "$work/b.png")
    echo "pixels changed between frames: $moved"
    [ "$moved" -gt 5000 ] || fail "cloth does not move"
    probe post 0x0010 0 0
    wait_exit || fail "WM_CLOSE did not end the renderer"
    [ "$code" = 0 ] || fail "exit code after WM_CLOSE: $code"
    ;;
note)
    # A dark desktop: the lit cloth stays dark, so light pixels are the note's.
    convert -size 1920x1080 gradient:'#303840'-'#080810' -type TrueColor BMP3:"$snapshot" ||
        fail "cannot make the snapshot"
    # The pointer rests over the cloth while the window appears.
    xdotool mousemove 960 300
    start_renderer
    # note_after <what> <artifact or -> <at least | below> <light pixels>
    note_after() {
        local what=$1 keep=$2 rule=$3 bound=$4 light
        shot "$work/note.png"
        [ "$keep" = - ] || cp "$work/note.png" "$artifacts/$keep"
        light=$(light_pixels "$work/note.png")
        echo "light pixels $what: $light"
        if [ "$rule" = below ]; then [ "$light" -lt "$bound" ]; else [ "$light" -ge "$bound" ]; fi
    }
    sleep 3
    note_after "without input" renderer_note_none.png below 100 ||
        fail "the note shows without input"
    xdotool mousemove 900 350 sleep 0.1 mousemove 1000 420
    sleep 0.6
    note_after "after a mouse move" renderer_note_shown.png "at least" 500 ||
        fail "no note within a second of a mouse move"
    sleep 5
    note_after "6 s later" renderer_note_gone.png below 100 ||
        fail "the note is still there 6 s after the move"
    xdotool key a
    sleep 0.6
    note_after "after a key" - "at least" 500 ||
        fail "a key after the note had gone did not bring it again"
    running || fail "input ended the renderer"

    xdotool keydown Escape sleep 0.4 keyup Escape
    wait_exit || fail "Escape did not end the renderer"
    [ "$code" = 0 ] || fail "exit code after Escape: $code"
    ;;
display)
    # A Wine desktop of its own, whose resolution a program can change as on
    # Windows (the test display's cannot be), with the saver as the platform
    # starts it: a folder of its own, Velumira.scr /s.
    desk=velumira_display
    dir_win='C:\velumira display'
    dir=$WINEPREFIX/drive_c/velumira\ display
    rm -rf "$dir"
    mkdir -p "$dir"
    cp "$VELUMIRA_BUILD/host/Velumira.scr" "$renderer_exe" "$dir/" || fail "programs missing"
    probe() { wine_ja explorer /desktop=$desk "$probe_exe" "$@" 2>/dev/null | tr -d '\r'; }
    desktop_pid() { ps -eo pid,args | awk -v d="/desktop=$desk," 'index($0, d) { print $1 }'; }
    saver_pids() { ps -eo pid,args | awk 'tolower($0) ~ /velumira display/ && !/awk/ { print $1 }'; }
    saver_gone() { [ -z "$(saver_pids)" ]; }
    desktop_gone() { [ -z "$(desktop_pid)" ]; }
    # No probe in that desktop here: one that came after it would serve it.
    # The resolution that desktop had last is what the next program on the
    # test display is told, until that display's own is set again once the
    # desktop is gone.
    end_all() {
        kill $(saver_pids) 2>/dev/null
        wait_for 15 desktop_gone || kill $(desktop_pid) 2>/dev/null
        wait_for 5 desktop_gone
        wine_ja "$probe_exe" display >/dev/null 2>&1
        cleanup
    }
    trap end_all EXIT
    (cd "$work" && exec env LC_ALL=ja_JP.UTF-8 "$WINE" explorer /desktop=$desk,1024x768 \
        "$dir_win\\Velumira.scr" /s) >/dev/null 2>&1 &
    # Whoever names a desktop first serves it until it closes: the probe must
    # come second.
    desktop_up() { xdotool search --name "^$desk" >/dev/null 2>&1; }
    wait_for 60 desktop_up || fail "no Wine desktop"
    shown() { probe info | grep -q 'visible=1'; }
    wait_for 60 shown || fail "no visible window titled Velumira_VC"
    info=$(probe info)
    echo "$info"
    grep -q ' monitor=0,0,1024,768 fits=1$' <<<"$info" || fail "window is not its monitor"
    grep -q 'exstyle=0x0004[01]008' <<<"$info" || fail "window not topmost"

    fitted() { probe info | grep -q " monitor=0,0,$1,$2 fits=1$"; }
    follows() { # width height
        probe display "$1" "$2" || fail "the resolution cannot be changed"
        wait_for 10 fitted "$1" "$2" || fail "window did not follow the screen: $(probe info)"
        probe info | grep '^rect='
        [ "$(probe windows | grep -c .)" = 1 ] || fail "windows: $(probe windows)"
    }
    follows 800 600
    sleep 2
    import -display "$DISPLAY" -window root -crop 800x600+0+0 +repage \
        "$artifacts/renderer_display_800x600.png" || fail "no screenshot"
    follows 1024 768

    xdotool mousemove 400 300 click 1 sleep 0.3 keydown Escape sleep 0.3 keyup Escape
    wait_for 15 saver_gone ||
        fail "left running: $(ps -eo pid,args | grep -i 'velumira display')"
    ;;
*)
    fail "unknown case $case_name"
    ;;
esac
echo "PASS: $case_name"
