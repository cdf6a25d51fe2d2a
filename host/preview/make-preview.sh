#!/bin/bash
# Draws the built-in preview picture preview.jpg (152 x 112): a desktop
# picture hanging as a rippled cloth on black, like the saver shows it. Made
# with ImageMagick alone, so it can be redrawn anywhere; the result is kept in
# the tree so that building the host needs no ImageMagick.
set -eu
cd "$(dirname "$0")"
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

# A desktop: teal backdrop, a window with a title bar, a row of icons, a task bar.
convert -size 320x240 gradient:'#2a7f9a'-'#0b3552' \
    -fill '#d8d8d8' -draw 'rectangle 70,40 250,170' \
    -fill '#1f4fb0' -draw 'rectangle 70,40 250,56' \
    -fill white -draw 'rectangle 80,66 240,72' -draw 'rectangle 80,80 200,86' \
    -draw 'rectangle 80,94 220,100' \
    -fill '#f2c94c' -draw 'rectangle 14,16 34,34' -draw 'rectangle 14,52 34,70' \
    -fill '#e8e8e8' -draw 'rectangle 14,88 34,106' \
    -fill '#c0c0c0' -draw 'rectangle 0,224 320,240' \
    -fill '#2e8b57' -draw 'rectangle 2,226 40,238' \
    "$tmp/desktop.png"

# Folds: shift columns sideways and down a little, more towards the bottom
# edge, which hangs free; then shade the folds light and dark.
convert "$tmp/desktop.png" -virtual-pixel black \
    -fx 'yy=j/h; dx=6*yy*sin(i/w*6*pi+yy*2); dy=5*yy*yy*sin(i/w*4*pi); p{i+dx,j+dy-4*yy}' \
    "$tmp/folded.png"
convert -size 320x240 xc: \
    -fx 'yy=j/h; 0.78+0.22*(0.4+0.6*yy)*sin(i/w*6*pi+yy*2+1.2)' "$tmp/shade.png"
convert "$tmp/folded.png" "$tmp/shade.png" -compose multiply -composite "$tmp/cloth.png"

# Seen slightly from below, narrowing towards the top, on black.
convert "$tmp/cloth.png" -virtual-pixel black -background black \
    -distort Perspective '0,0 24,6  320,0 296,6  0,240 6,232  320,240 314,232' \
    -resize 136x100! -gravity center -extent 152x112 \
    -strip -quality 88 -sampling-factor 2x2 preview.jpg
identify preview.jpg
