#!/bin/bash
# Makes the host's two preview pictures: desktop.bmp, the desktop picture the
# moving preview hangs on its cloth (320 x 180, 24 bits), and preview.jpg
# (152 x 112), the still shown where there is no OpenGL: the project's own
# renderer showing that desktop picture as hanging cloth on black.
#   make-preview.sh <win64 or win32 build dir with Velumira.dll built>
# The desktop picture is drawn here with ImageMagick, the renderer runs on a
# private Xvfb through Wine, and one of its frames, scaled down, becomes the
# still. Both are kept in the tree, so building the host needs neither
# ImageMagick nor Wine.
set -eu
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
build=$(cd "$1" && pwd)
case $(basename "$build") in
win32) arch=win32 ;;
*) arch=win64 ;;
esac
tmp=$(mktemp -d)
harness=$tmp/wine
cleanup() {
    "$root/tools/wine-harness" stop "$harness" >/dev/null 2>&1
    rm -rf "$tmp"
}
trap cleanup EXIT

# A desktop: teal backdrop, a window with a title bar, a row of icons, a task
# bar; the renderer sees it as a 1920 x 1080 screen.
convert -size 320x180 gradient:'#2a7f9a'-'#0b3552' \
    -fill '#d8d8d8' -draw 'rectangle 90,30 250,130' \
    -fill '#1f4fb0' -draw 'rectangle 90,30 250,44' \
    -fill white -draw 'rectangle 100,54 236,59' -draw 'rectangle 100,66 200,71' \
    -draw 'rectangle 100,78 220,83' \
    -fill '#f2c94c' -draw 'rectangle 14,14 32,30' -draw 'rectangle 14,44 32,60' \
    -fill '#e8e8e8' -draw 'rectangle 14,74 32,90' \
    -fill '#c0c0c0' -draw 'rectangle 0,168 320,180' \
    -fill '#2e8b57' -draw 'rectangle 2,170 40,178' \
    -type TrueColor BMP3:"$here/desktop.bmp"
convert "$here/desktop.bmp" -filter point -resize 1920x1080! -type TrueColor BMP3:"$tmp/desktop.bmp"

"$root/tools/wine-harness" start "$harness" "$arch" >/dev/null
. "$harness/env"
cp "$tmp/desktop.bmp" "$WINEPREFIX/drive_c/r_quil/Velumira.bmp"
"$WINE" "$build/bin/Velumira.dll" 2>/dev/null &
renderer=$!
sleep 25 # let the sheet sag and the breeze get going
import -display "$DISPLAY" -window root "$tmp/frame.png"
kill -9 "$renderer" 2>/dev/null || true

convert "$tmp/frame.png" -resize 152x112 -background black -gravity center -extent 152x112 \
    -strip -quality 90 -sampling-factor 2x2 "$here/preview.jpg"
identify "$here/preview.jpg"
