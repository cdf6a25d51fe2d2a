#!/bin/bash
# The whole saver on two monitors (the "two" Wine world: tools/wine-harness
# --two-screens), started as the platform starts it, with each monitor's
# desktop in colours of its own.
#   two_monitors_e2e.sh secondary   both monitors covered, each with its own
#       picture on moving cloth, no desktop pixel left; Escape on the right
#       monitor ends everything. Frames go to the artifacts folder.
#   two_monitors_e2e.sh primary     a display change that changes nothing
#       keeps both windows; Escape on the primary ends both.
#   two_monitors_e2e.sh plain       the renderer alone, without a picture for
#       the right monitor: no message about it, a plain cloth there; closing
#       that monitor's window ends the renderer.
set -u
case_=$1
. "$VELUMIRA_ROOT/tools/wine-env" "$VELUMIRA_BUILD"
build=$VELUMIRA_BUILD
probe_exe=$build/renderer/velumira_window_probe.exe
artifacts=$build/artifacts
work=$(mktemp -d)
pids=()
host=
mkdir -p "$artifacts"
fail() {
    echo "FAIL ($case_): $*"
    exit 1
}
renderer_pids() {
    local w
    for w in $(xdotool search --class '^OpenGL$' 2>/dev/null); do xdotool getwindowpid "$w"; done |
        sort -u
}
cleanup() {
    for p in "${pids[@]}" $(renderer_pids); do kill "$p" 2>/dev/null; done
    rm -rf "$work"
}
trap cleanup EXIT
probe() { wine_ja "$probe_exe" "$@" | tr -d '\r'; }

# The two heads as "width height left top", primary first.
mapfile -t heads < <(xdpyinfo -ext XINERAMA | sed -n 's/^ *head #[0-9]*: \([0-9]*\)x\([0-9]*\) @ \([0-9]*\),\([0-9]*\)$/\1 \2 \3 \4/p')
[ ${#heads[@]} = 2 ] || fail "the display shows ${#heads[@]} heads, not 2"
read -r w0 h0 x0 y0 <<<"${heads[0]}"
read -r w1 h1 x1 y1 <<<"${heads[1]}"

# Left: red with a yellow disc; right: blue with a green square. Each fills
# its monitor's desktop, shown by a plain X window (there is no window manager).
convert -size ${w0}x$h0 xc:'#d01818' -fill '#e0d020' \
    -draw "circle $((w0 / 2)),$((h0 / 2)) $((w0 / 2)),$((h0 / 3))" "$work/left.png"
convert -size ${w1}x$h1 xc:'#1830d0' -fill '#20d040' \
    -draw "rectangle $((w1 / 3)),$((h1 / 3)) $((w1 * 2 / 3)),$((h1 * 2 / 3))" "$work/right.png"
for side in left right; do
    [ $side = left ] && at=+$x0+$y0 || at=+$x1+$y1
    display -geometry $at "$work/$side.png" &
    pids+=($!)
    disown
done
sleep 2

dir_win='C:\velumira two monitors'
dir=$WINEPREFIX/drive_c/velumira\ two\ monitors
rm -rf "$dir"
mkdir -p "$dir"
cp "$build/host/Velumira.scr" "$build/bin/Velumira.dll" "$dir/" || fail "programs missing"
quil=$WINEPREFIX/drive_c/r_quil
rm -f "$quil"/Velumira*.bmp
# A picture an earlier run left for a monitor that is gone now.
convert -size 10x10 xc:white BMP3:"$quil/Velumira_5_5_10x10.bmp"
second=$quil/Velumira_${x1}_${y1}_${w1}x$h1.bmp

if [ "$case_" = plain ]; then
    convert "$work/left.png" -type TrueColor BMP3:"$quil/Velumira.bmp"
    (cd "$work" && exec env LC_ALL=ja_JP.UTF-8 "$WINE" "$dir/Velumira.dll") &
    host=$! # stands in for the host below: the process that must end
else
    LC_ALL=ja_JP.UTF-8 "$WINE" "$dir_win\\Velumira.scr" /s &
    host=$!
fi
pids+=($host)
# Each window exactly its monitor and topmost, and no other.
covered() {
    [ "$(probe windows | sort)" = "$(printf '%s\n' \
        "Velumira_VC $x0,$y0,$((x0 + w0)),$((y0 + h0)) visible=1 topmost=1" \
        "Velumira_VM $x1,$y1,$((x1 + w1)),$((y1 + h1)) visible=1 topmost=1" | sort)" ]
}
wait_for 60 covered || fail "monitors not covered: $(probe windows)"
probe windows

if [ "$case_" = plain ]; then
    sleep 3
    probe noerrorbox || fail "a message about the right monitor's picture"
    import -display "$DISPLAY" -window root -crop "${w1}x$h1+$x1+$y1" +repage "$work/right.png"
    read -r r g b < <(convert "$work/right.png" -scale '1x1!' \
        -format '%[fx:int(255*r)] %[fx:int(255*g)] %[fx:int(255*b)]' info:)
    echo "right monitor's mean colour: $r $g $b"
    [ "$r" -gt 40 ] && [ $((r > b ? r - b : b - r)) -lt 20 ] || fail "no plain grey cloth there"
    probe post 0x10 0 0 Velumira_VM || fail "no window on the right monitor"
    gone() { [ -z "$(xdotool search --class '^OpenGL$' 2>/dev/null)" ]; }
    wait_for 10 gone || fail "windows left after closing the right one: $(probe windows)"
    wait_for 5 bash -c "! kill -0 $host 2>/dev/null" || fail "renderer still running"
    echo "ok ($case_)"
    exit 0
fi

[ -f "$quil/Velumira_5_5_10x10.bmp" ] && fail "an old monitor's picture was kept"
[ "$(identify -format '%w %h' "$quil/Velumira.bmp")" = "$w0 $h0" ] || fail "snapshot size"
[ "$(identify -format '%w %h' "$second")" = "$w1 $h1" ] || fail "right monitor's picture size"
corners=$(convert "$quil/Velumira.bmp" -format '%[pixel:p{5,5}]' info:)/$(
    convert "$second" -format '%[pixel:p{5,5}]' info:)
[ "$corners" = "srgb(208,24,24)/srgb(24,48,208)" ] || fail "pictures hold $corners"

# Per mille of a monitor's part of the screen: in a strong colour, or in
# exactly the colour of its desktop (which no lit cloth pixel hits).
crop() { convert "$1" -crop "$2x$3+$4+$5" +repage "$6"; }
share() { # file test
    convert "$1" -scale 25% -fx "($2) ? 1 : 0" -format '%[fx:int(1000*mean)]' info:
}
red='r > g + 0.24 && r > b + 0.24'
blue='b > r + 0.24 && b > g + 0.24'

if [ "$case_" = secondary ]; then
    sleep 7 # a breeze worth seeing
    import -display "$DISPLAY" -window root "$work/a.png"
    sleep 0.7
    import -display "$DISPLAY" -window root "$work/b.png"
    # Kept for review with what lies on no monitor blacked out.
    n=1
    for f in a b; do
        crop "$work/$f.png" "$w0" "$h0" "$x0" "$y0" "$work/${f}0.png"
        crop "$work/$f.png" "$w1" "$h1" "$x1" "$y1" "$work/${f}1.png"
        convert "$work/$f.png" -fill black -colorize 100 "$work/${f}0.png" -geometry +$x0+$y0 \
            -composite "$work/${f}1.png" -geometry +$x1+$y1 -composite \
            "$artifacts/two_monitors_$n.png"
        n=$((n + 1))
    done
    red0=$(share "$work/a0.png" "$red") blue0=$(share "$work/a0.png" "$blue")
    red1=$(share "$work/a1.png" "$red") blue1=$(share "$work/a1.png" "$blue")
    desk0=$(share "$work/a0.png" 'abs(r-208/255)<0.002 && abs(g-24/255)<0.002 && abs(b-24/255)<0.002')
    desk1=$(share "$work/a1.png" 'abs(r-24/255)<0.002 && abs(g-48/255)<0.002 && abs(b-208/255)<0.002')
    moved0=$(compare -metric AE "$work/a0.png" "$work/b0.png" null: 2>&1 | awk '{printf "%d", $1}')
    moved1=$(compare -metric AE "$work/a1.png" "$work/b1.png" null: 2>&1 | awk '{printf "%d", $1}')
    echo "left:  red $red0 blue $blue0 desktop $desk0 per mille, $moved0 pixels moved"
    echo "right: red $red1 blue $blue1 desktop $desk1 per mille, $moved1 pixels moved"
    [ "$red0" -ge 300 ] && [ "$blue0" -le 10 ] || fail "left monitor does not show its red picture"
    [ "$blue1" -ge 300 ] && [ "$red1" -le 10 ] || fail "right monitor does not show its blue picture"
    [ "$desk0" -le 5 ] && [ "$desk1" -le 5 ] || fail "desktop still visible"
    [ "$moved0" -gt 3000 ] && [ "$moved1" -gt 3000 ] || fail "cloth does not move on both"
    at_x=$((x1 + w1 / 2)) at_y=$((y1 + h1 / 2))
else
    # The displays said to have changed, though nothing did: every window
    # stays as it is.
    probe post 0x7e 32 $((h0 << 16 | w0)) || fail "no primary window"
    sleep 1
    covered || fail "windows after a display change: $(probe windows)"
    at_x=$((x0 + w0 / 2)) at_y=$((y0 + h0 / 2))
fi

# The click gives that monitor's window the keyboard: there is no window
# manager to do it.
xdotool mousemove $at_x $at_y click 1 sleep 0.5 keydown Escape sleep 0.3 keyup Escape
gone() { [ -z "$(xdotool search --class '^OpenGL$' 2>/dev/null)" ]; }
wait_for 10 gone || fail "windows left after Escape: $(probe windows)"
host_gone() { ! kill -0 "$host" 2>/dev/null; }
wait_for 5 host_gone || fail "host still running"
wait "$host" || fail "host exit code $?"
nothing_left() { ! ps -eo args | grep -v grep | grep -qi 'velumira two monitors'; }
wait_for 5 nothing_left || fail "left running: $(ps -eo pid,args | grep -i 'velumira two monitors')"
echo "ok ($case_)"
