#!/bin/bash
# A whole saver run under Wine, as the platform starts it: Velumira.scr /s in a
# folder whose path has blanks and letters outside the ANSI code page (é and
# Hangul, as in an account's name), with the renderer beside it.
#   saver_e2e.sh escape|kill|slow|music|release|early-kill|snapshot-fails|foreground
# escape: a known picture on the screen ends up in the snapshot at the screen's
#   size, replacing an earlier run's that anyone could read: the new one is
#   the user's alone, and the cloth shows it. The renderer starts by its bare
#   path, Escape ends the renderer and the host follows within about half a
#   second, the cursor is hidden once and shown once, and no picture is left.
# kill:   the renderer process is killed instead; the host still ends.
# slow:   a renderer that needs 3 s to open its window keeps the saver running.
# release: the release zip unpacked into a fresh folder runs the same way.
# music:  with an MP3 and then a WAV configured the saver starts and ends
#   cleanly, and the MP3 goes through the real MCI string interface; then an
#   MP3 named with Hangul and accents, chosen in the settings dialog (/c) and
#   applied, is what the next run opens.
# early-kill: with an MP3 playing, the renderer is killed the moment its window
#   appears, before the host can have seen it; the host ends at once all the
#   same, music closed and cursor shown.
# foreground: another program takes the foreground once the cloth shows, as
#   where the system refused it to the renderer. Escape alone ends the saver
#   within 2 s; after the mouse moves over the cloth the renderer has the
#   foreground again, and Escape ends it with no key for the other program.
# snapshot-fails: each way the snapshot write can fail, with an earlier run's
#   snapshot in place: no old or half-written file stays, the renderer shows
#   its missing-picture box, and Escape ends the run as usual.
set -u
case_=$1
. "$VELUMIRA_ROOT/tools/wine-env" "$VELUMIRA_BUILD"
build=$VELUMIRA_BUILD
work=$(mktemp -d)
pids=()
dir_win='C:\velumira saver e2e José 한'
dir="$WINEPREFIX/drive_c/velumira saver e2e José 한"
r_quil=$WINEPREFIX/drive_c/r_quil
. "$VELUMIRA_ROOT/host/tests/saver_run.sh"
cleanup() {
    for p in "${pids[@]}"; do kill "$p" 2>/dev/null; done
    kill_renderers
    rm -rf "$work"
    # What the snapshot cases break, mended for the tests that come after.
    rmdir "$snap.new" 2>/dev/null
    [ -d "$WINEPREFIX/drive_c/r_quil" ] || { rm -f "$WINEPREFIX/drive_c/r_quil" && mkdir "$WINEPREFIX/drive_c/r_quil"; }
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
error_box() { [ -n "$(xdotool search --name '^Error$' 2>/dev/null)" ]; }
driver=$build/tests/velumira_dialog_driver.exe
click_control() { # caption: a real click on the settings dialog's control
    local point
    point=$(wine_ja "$driver" point "$1" | tr -d '\r') || fail "no control '$1': $point"
    xdotool mousemove $point sleep 0.3 click 1
}
# The settings dialog (/c) as a user works it: the music-file option, the file
# button, the file typed into the chooser, then apply.
choose_music_in_dialog() { # Windows path of the file
    LC_ALL=ja_JP.UTF-8 "$WINE" "$dir_win\\Velumira.scr" /c 2>/dev/null &
    local settings=$!
    pids+=("$settings")
    sleep 1.5 # the dialog's opening animation
    click_control 'MP3、WAV'
    click_control '...'
    local open
    open=$(wine_ja "$driver" choose "$1" | tr -d '\r') || fail "no file chooser: $open"
    xdotool mousemove $open sleep 0.3 click 1
    # A click while the dialog still settles can go astray on a busy machine.
    for _ in 1 2 3; do
        click_control '設定'
        wait_for 10 eval "! kill -0 $settings 2>/dev/null" && return
    done
    fail "settings dialog still open"
}
earlier_snapshot() { convert -size 64x48 xc:red BMP3:"$snap"; }

kill_renderers
sleep 0.5
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
case $case_ in
escape)
    # A known picture on the screen: four coloured quarters.
    convert -size 1920x1080 xc:black -fill red -draw 'rectangle 0,0 959,539' \
        -fill lime -draw 'rectangle 960,0 1919,539' -fill blue -draw 'rectangle 0,540 959,1079' \
        -fill yellow -draw 'rectangle 960,540 1919,1079' "$work/screen.png"
    display -geometry +0+0 "$work/screen.png" &
    pids+=($!)
    sleep 1.5
    # Left by an earlier run that ended abnormally, readable by everyone.
    mkdir -p "$r_quil"
    earlier_snapshot
    cp "$snap" "$snap.new"
    chmod 644 "$snap" "$snap.new"
    start_host "$work/log"
    wait_for 30 has_renderer_window || fail "no renderer window"
    [ -f "$snap" ] || fail "no snapshot"
    [ "$(identify -format '%m %w %h %z' "$snap")" = "BMP3 1920 1080 8" ] ||
        fail "snapshot is $(identify -format '%m %w %h' "$snap")"
    colours=$(convert "$snap" -format \
        '%[pixel:p{480,270}] %[pixel:p{1440,270}] %[pixel:p{480,810}] %[pixel:p{1440,810}]' info:)
    [ "$colours" = "srgb(255,0,0) srgb(0,255,0) srgb(0,0,255) srgb(255,255,0)" ] ||
        fail "snapshot colours: $colours"
    access=$(wine_ja "$build/host/host_file_access_probe.exe" 'C:\r_quil\Velumira.bmp' | tr -d '\r')
    echo "snapshot's owner and access: $access"
    user=${access%% *} user=${user#user=}
    [[ "$access" == *" O:${user}D:"* ]] || fail "the snapshot is not the user's"
    grep -Eq ';(WD|BU|AU|S-1-1-0|S-1-5-32-545|S-1-5-11)\)' <<<"$access" &&
        fail "everyone, users or authenticated users may open the snapshot"
    if [ "$renderer" = "$stand_in" ]; then
        line=$(cat "$WINEPREFIX/drive_c/r_quil/stand_in_command.txt")
        [ "$line" = "$dir_win\\Velumira.dll" ] || fail "renderer command line: '$line'"
    fi
    grep -aq 'NtUserShowCursor 0, count=-1' "$work/log" || fail "cursor not hidden"
    sleep 1
    kill -0 "$host" 2>/dev/null || fail "host ended while the renderer runs"
    if [ "$renderer" = "$real" ]; then
        error_box && fail "the renderer refused the snapshot"
        import -display "$DISPLAY" -window root "$work/cloth.png"
        # Per mille of the screen in each quarter's colour, lit and shaded.
        shares=$(for c in 'r>g+0.3&&r>b+0.3' 'g>r+0.3&&g>b+0.3' 'b>r+0.3&&b>g+0.3' \
            'r>b+0.3&&g>b+0.3'; do
            convert "$work/cloth.png" -scale 25% -fx "($c)?1:0" -format '%[fx:int(1000*mean)] ' info:
        done)
        echo "the cloth's red, green, blue, yellow per mille: $shares"
        for n in $shares; do [ "$n" -ge 30 ] || fail "the cloth does not show the desktop"; done
    fi
    press_escape
    wait_for 10 no_renderer_window || fail "renderer did not end on Escape"
    gone=$(now_ms)
    wait_for 5 host_gone || fail "host still running"
    echo "host ended $(($(now_ms) - gone)) ms after the renderer window went"
    wait "$host"
    rc=$?
    [ $rc = 0 ] || fail "host exit code $rc"
    check_cursor "$work/log"
    wait_for 5 nothing_left || fail "left running: $(ps -eo pid,args | grep -i 'velumira saver e2e')"
    left=$(cd "$r_quil" && ls Velumira*.bmp* 2>/dev/null)
    [ -z "$left" ] || fail "pictures left after the end: $left"
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
    make_tunes
    for file in tune.mp3 tune.WAV; do
        configure_music "$file"
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
    # Wine's trace writes what ASCII lacks as a backslash and four hex digits.
    traced='C:\\velumira saver e2e Jos\00e9 \d55c'
    grep -aqF 'open \"'"$traced"'\\tune.mp3\" type MPEGVideo Alias MP3Play' "$work/log-tune.mp3" ||
        fail "MP3 open not sent"
    check_mci_closed "$work/log-tune.mp3"
    grep -aq 'MP3Play' "$work/log-tune.WAV" && fail "MCI used for a WAV"

    song='노래 Café.mp3'
    cp "$dir/tune.mp3" "$dir/$song"
    rm -f "$dir/Velumira.ini"
    choose_music_in_dialog "$dir_win\\$song"
    [ "$(head -c 2 "$dir/Velumira.ini" | od -An -tx1 | tr -d ' ')" = fffe ] ||
        fail "a path outside the code page is not stored as UTF-16"
    start_host "$work/log-song"
    wait_for 30 has_renderer_window || fail "no renderer window with the chosen song"
    sleep 1.5
    press_escape
    wait_for 5 host_gone || fail "host still running with the chosen song"
    grep -aqF 'open \"'"$traced"'\\\b178\b798 Caf\00e9.mp3\" type MPEGVideo' "$work/log-song" ||
        fail "the chosen song is not opened"
    check_mci_closed "$work/log-song"
    ;;
early-kill)
    make_tunes
    configure_music tune.mp3
    start_host "$work/log"
    wait_for 30 has_renderer_window || fail "no renderer window"
    rpid=$(xdotool getwindowpid "$(renderer_window)") || fail "no pid for the renderer window"
    kill -9 "$rpid"
    killed=$(now_ms)
    # A host that waited out the renderer's start-up time would take seconds.
    wait_for 3 host_gone || fail "host still running after the renderer was killed"
    echo "host ended $(($(now_ms) - killed)) ms after the renderer was killed"
    check_cursor "$work/log"
    check_mci_closed "$work/log"
    ;;
foreground)
    [ "$renderer" = "$real" ] || fail "no renderer built"
    probe_exe=$build/renderer/velumira_window_probe.exe
    for how in alone mouse; do
        thief=$work/thief-$how
        xdotool mousemove 1500 900 # away from the other program's window
        start_host "$work/log-$how"
        shown() { xdotool search --onlyvisible --name '^Velumira_VC$' >/dev/null 2>&1; }
        wait_for 30 shown || fail "no cloth ($how)"
        sleep 1
        (exec env LC_ALL=ja_JP.UTF-8 "$WINE" "$probe_exe" thief 20 >"$thief" 2>/dev/null) &
        pids+=($!)
        wait_for 10 grep -q '^took=1' "$thief" || fail "the other program has no foreground ($how)"
        if [ $how = mouse ]; then
            xdotool mousemove 1400 800 sleep 0.2 mousemove 1300 700
            wait_for 5 grep -q '^foreground=0' "$thief" ||
                fail "the renderer did not take the foreground back"
        else
            sleep 1
            grep -q '^foreground=0' "$thief" && fail "the other program lost the foreground early"
        fi
        # Held over a frame or two, as a person does: a tap quicker than a
        # frame counts for nothing.
        xdotool keydown Escape sleep 0.4 keyup Escape
        wait_for 2 host_gone || fail "Escape ($how) did not end the saver within 2 s;" \
            "the other program: $(tr '\n' ' ' <"$thief")"
        wait_for 5 nothing_left || fail "left running ($how)"
        ! grep '^key' "$thief" || fail "the other program received keys ($how)"
        check_cursor "$work/log-$how"
        echo "ok: $how"
    done
    ;;
snapshot-fails)
    run_without_snapshot() { # how-it-fails
        start_host "$work/log"
        wait_for 30 has_renderer_window || fail "no renderer window ($1)"
        [ -f "$snap" ] && fail "a snapshot is left ($1)"
        [ -f "$snap.new" ] && fail "a half-written snapshot is left ($1)"
        if [ "$renderer" = "$real" ]; then
            wait_for 20 error_box || fail "no missing-picture box from the renderer ($1)"
        fi
        # The first Escape goes to the box, if there is one.
        for _ in 1 2 3; do
            press_escape
            wait_for 3 host_gone && break
        done
        host_gone || fail "host still running ($1)"
        check_cursor "$work/log"
        echo "ok: $1"
    }

    earlier_snapshot
    mkdir "$snap.new"
    run_without_snapshot "a folder where the new file goes"
    rmdir "$snap.new"

    earlier_snapshot
    file_limit_kb=1024 # the screen's picture takes about 6 MB
    run_without_snapshot "disk full"
    unset file_limit_kb

    rm -rf "$r_quil"
    touch "$r_quil"
    run_without_snapshot "the working folder is a file"
    rm -f "$r_quil"
    mkdir "$r_quil"
    ;;
*)
    fail "unknown case"
    ;;
esac
echo "ok ($case_)"
