#!/bin/bash
# Runs the controls showcase under Wine and keeps its picture as a PNG among
# the build's artefacts.
set -eu
. "$VELUMIRA_ROOT/tools/wine-env" "$VELUMIRA_BUILD"
exe=$1
out=$VELUMIRA_BUILD/artifacts
mkdir -p "$out"
rm -f "$out/controls_states.bmp" "$out/controls_states.png"
wine_ja "$exe" "Z:$out/controls_states.bmp"
convert "$out/controls_states.bmp" "$out/controls_states.png"
rm -f "$out/controls_states.bmp"
# The picture must show the grey form, not an empty or black capture.
colours=$(convert "$out/controls_states.png" -format '%k' info:)
[ "$colours" -gt 20 ] || { echo "showcase picture has only $colours colours" >&2; exit 1; }
echo "saved $out/controls_states.png ($colours colours)"
