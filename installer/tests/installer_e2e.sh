#!/bin/bash
# The installer and uninstaller as a user meets them, under Wine in a fresh
# prefix and display of their own, installing into a folder whose name holds
# letters outside the ANSI code page (é and Hangul, as an account's name may):
#   installer_e2e.sh <setup.exe> <velumira_dialog_driver.exe> <win32|win64>
# In order, each step building on the one before:
#   - the first page, photographed ($VELUMIRA_BUILD/artifacts/installer_welcome.png);
#   - a silent install over another screensaver: programs in place, Velumira
#     the screensaver, the previous one remembered, the uninstall entry;
#   - the installed saver: /s shows the cloth and Escape ends it; /c and its
#     apply button write Velumira.ini into the install folder;
#   - a silent install while the saver runs fails and replaces nothing;
#   - installing again keeps Velumira.ini;
#   - a silent uninstall removes programs, entry and the pictures a run that
#     ended abnormally left, gives the previous screensaver back and keeps the
#     settings (so the folder stays);
#   - with no screensaver before, install and uninstall leave none, and the
#     emptied folder goes;
#   - icon, version and description of the installed programs and the installer.
set -u
setup=$1 probe=$2 arch=$3
build=$VELUMIRA_BUILD
here=$(cd "$(dirname "$0")" && pwd)
world=$build/installer-test
fail() {
    echo "FAIL: $*"
    exit 1
}
"$VELUMIRA_ROOT/tools/wine-harness" start "$world/wine" "$arch" || fail "no Wine world"
. "$VELUMIRA_ROOT/tools/wine-env" "$world"
work=$(mktemp -d)
pids=()
cleanup() {
    for p in "${pids[@]}"; do kill "$p" 2>/dev/null; done
    "$VELUMIRA_ROOT/tools/wine-harness" stop "$world/wine"
    rm -rf "$work"
}
trap cleanup EXIT
artifacts=$build/artifacts
mkdir -p "$artifacts"

window() { xdotool search --name "$1" 2>/dev/null | head -1; }
has_window() { [ -n "$(window "$1")" ]; }
shown() { xdotool search --onlyvisible --name "$1" >/dev/null 2>&1; }
gone() { ! kill -0 "$1" 2>/dev/null; }

desktop='HKCU\Control Panel\Desktop'
uninst='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Velumira'
# Read from an export of the key, which keeps every character (reg query
# prints through the console's code page).
reg_value() { # key name: the value's data, nothing (and exit code 1) when absent
    local out=$work/export.reg
    rm -f "$out"
    wine_ja regedit /E "Z:${out//\//\\}" "${1/#HKCU/HKEY_CURRENT_USER}" 2>/dev/null
    [ -f "$out" ] || return 1
    iconv -f UTF-16 -t UTF-8 "$out" | tr -d '\r' | python3 -c '
import re, sys
key, name = sys.argv[1].lower(), sys.argv[2].lower()
section = None
unescape = lambda text: re.sub(r"\\(.)", r"\1", text)
for line in sys.stdin.read().splitlines():
    if line.startswith("["):
        section = line[1:-1].lower()
        continue
    m = re.match(r"\"((?:[^\"\\]|\\.)*)\"=(.*)$", line)
    if section != key or not m or unescape(m.group(1)).lower() != name:
        continue
    value = m.group(2)
    if value.startswith("dword:"):
        print(int(value[6:], 16))
    else:
        print(unescape(value[1:-1]))
    sys.exit(0)
sys.exit(1)' "${1/#HKCU/HKEY_CURRENT_USER}" "$2"
}
expect_reg() { # key name data
    local got
    got=$(reg_value "$1" "$2")
    [ "$got" = "$3" ] || fail "$1\\$2 is '$got', not '$3'"
}

install_silently() { # expected exit code
    # /D= takes the rest of the command line as it is, quotes and all: its
    # words go as separate arguments, which Wine joins without quotes.
    # shellcheck disable=SC2086
    wine_ja "$setup" /S /D=$inst_win
    local rc=$?
    [ $rc = "$1" ] || fail "silent install ended with $rc, not $1"
}
uninstall_silently() {
    wine_ja "$inst_win\\Uninstall.exe" /S || fail "uninstaller exit code $?"
    # It runs on as a copy of itself in the temporary folder.
    timeout 120 "$WINESERVER" -w || fail "uninstaller still running"
}

local_win=$(wine_ja cmd /c echo '%LOCALAPPDATA%' | tr -d '\r')
inst_win="$local_win\\Programs\\Velumira José 한"
inst=$(wine_ja winepath -u "$inst_win" | tr -d '\r')
inst=${inst%/}
scr="$inst_win\\Velumira.scr"
version=$(basename "$setup" | sed 's/^Velumira-\([0-9.]*\)-.*/\1/')
title="^Velumira $version "
echo "installing Velumira $version into $inst_win ($inst)"

# ---- the first page --------------------------------------------------------
wine_ja "$setup" &
pids+=($!)
wait_for 60 has_window "$title" || fail "no installer window"
sleep 2 # let it paint
w=$(window "$title")
eval "$(xdotool getwindowgeometry --shell "$w")"
import -display "$DISPLAY" -window root -crop "${WIDTH}x${HEIGHT}+${X}+${Y}" +repage \
    "$artifacts/installer_welcome.png"
[ "$(convert "$artifacts/installer_welcome.png" -format '%k' info:)" -gt 16 ] ||
    fail "the first page looks blank"
kill "$(xdotool getwindowpid "$w")"
wait_for 10 gone "${pids[-1]}" || fail "installer did not close"
echo "first page: $artifacts/installer_welcome.png"

# ---- silent install over another screensaver -------------------------------
previous='C:\windows\system32\scrnsave.scr'
wine_ja reg add "$desktop" /v SCRNSAVE.EXE /d "$previous" /f >/dev/null
install_silently 0
stage=$build/release/Velumira
for f in Velumira.scr Velumira.dll; do
    cmp -s "$stage/$f" "$inst/$f" || fail "$f not installed"
done
[ -f "$inst/Uninstall.exe" ] || fail "no uninstaller"
expect_reg "$desktop" SCRNSAVE.EXE "$scr"
expect_reg "$desktop" ScreenSaveActive 1
expect_reg 'HKCU\Software\Velumira' PreviousScreenSaver "$previous"
expect_reg "$uninst" DisplayName Velumira
expect_reg "$uninst" DisplayVersion "$version"
expect_reg "$uninst" DisplayIcon "$scr,0"
expect_reg "$uninst" UninstallString "\"$inst_win\\Uninstall.exe\""
reg_value "$uninst" Publisher >/dev/null || fail "no publisher"
size=$(reg_value "$uninst" EstimatedSize) || fail "no size"
[ $((size)) -gt 500 ] || fail "size $size KB"
wine_ja reg query "$uninst" | tr -d '\r' | sed -n 's/^ \+/    /p' >"$artifacts/installer_registry.txt"

# ---- the installed saver ----------------------------------------------------
convert -size 1920x1080 gradient:orange-navy "$work/screen.png"
display -geometry +0+0 "$work/screen.png" &
pids+=($!)
sleep 1.5
start_saver() {
    wine_ja "$scr" /s 2>/dev/null &
    saver=$!
    pids+=($saver)
    # Shown, not merely made: a click before that would land on the picture
    # viewer below, which then keeps the keyboard from the saver.
    wait_for 60 shown '^Velumira_VC$' || fail "installed saver shows no cloth"
}
end_saver() {
    xdotool mousemove 960 540 click 1 sleep 0.3 keydown Escape sleep 0.3 keyup Escape
    wait_for 10 gone "$saver" || fail "saver still running after Escape"
}
start_saver
sleep 2
import -display "$DISPLAY" -window root "$artifacts/installed_saver.png"
middle=$(convert "$artifacts/installed_saver.png" -format '%[pixel:p{960,400}]' info:)
[ "$middle" != "srgb(0,0,0)" ] && [ "$middle" != "black" ] || fail "no cloth in the middle"
[ -f "$WINEPREFIX/drive_c/r_quil/Velumira.bmp" ] || fail "no snapshot"
end_saver

wine_ja "$scr" /c 2>/dev/null &
settings=$!
pids+=($settings)
point=$(wine_ja "$probe" point '設定' | tr -d '\r') || fail "no settings dialog: $point"
# A click while the dialog still settles can go astray on a busy machine.
for _ in 1 2 3; do
    sleep 1.5
    xdotool mousemove $point sleep 0.3 click 1
    wait_for 10 gone "$settings" && break
done
gone "$settings" || fail "settings dialog still open after apply"
grep -q '^\[Section\]' "$inst/Velumira.ini" || fail "apply wrote no Velumira.ini"
ini=$(md5sum <"$inst/Velumira.ini")

# ---- installing while the saver runs ---------------------------------------
start_saver
# The installer keeps the packed files' own times: an old time shows nothing
# was written.
touch -d '2001-01-01' "$inst/Velumira.scr" "$inst/Velumira.dll"
install_silently 2
[ "$(find "$inst" -name 'Velumira.???' -newermt 2002-01-01 -not -name '*.ini')" = "" ] ||
    fail "files of the running saver were replaced"
end_saver

# ---- installing again --------------------------------------------------------
install_silently 0
[ "$(md5sum <"$inst/Velumira.ini")" = "$ini" ] || fail "reinstall changed Velumira.ini"
expect_reg 'HKCU\Software\Velumira' PreviousScreenSaver "$previous"

# ---- uninstalling --------------------------------------------------------------
# What a run that ended abnormally leaves, on two monitors.
for left in Velumira.bmp Velumira.bmp.new Velumira_1024_0_800x600.bmp{,.new}; do
    echo x >"$WINEPREFIX/drive_c/r_quil/$left"
done
uninstall_silently
left=$(ls "$inst" | tr '\n' ' ')
[ "$left" = "Velumira.ini " ] || fail "left in the install folder: $left"
wine_ja reg query "$uninst" >/dev/null 2>&1 && fail "uninstall entry still there"
left=$(cd "$WINEPREFIX/drive_c/r_quil" 2>/dev/null && ls Velumira*.bmp* 2>/dev/null)
[ -z "$left" ] || fail "pictures still there: $left"
expect_reg "$desktop" SCRNSAVE.EXE "$previous"

# ---- no screensaver before ---------------------------------------------------
wine_ja reg delete "$desktop" /v SCRNSAVE.EXE /f >/dev/null
rm "$inst/Velumira.ini"
install_silently 0
expect_reg "$desktop" SCRNSAVE.EXE "$scr"
uninstall_silently
reg_value "$desktop" SCRNSAVE.EXE && fail "a screensaver is set after uninstalling"
[ -e "$inst" ] && fail "the emptied install folder is still there"

# ---- what the files say about themselves ----------------------------------------
install_silently 0
"$here/read_identity.py" --check "$version" "$inst/Velumira.scr" "$inst/Velumira.dll" "$setup" ||
    fail "icon, version or description"
echo "ok"
