#!/bin/bash
# Photographs the settings dialog in each of its three states on the test
# display and saves the crops as $VELUMIRA_BUILD/artifacts/velumira_p_kind<N>.png.
#   screenshots.sh <velumira_p_show.exe>
set -eu
show=$1
. "$VELUMIRA_ROOT/tools/wine-env" "$VELUMIRA_BUILD"
out=$VELUMIRA_BUILD/artifacts
mkdir -p "$out"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

shoot() { # kind track file name
    local rect=$work/rect-$4
    rm -f "$rect"
    wine_ja "$show" "$1" "$2" "$3" 6 "Z:${rect//\//\\}" &
    local pid=$!
    # Generous: a busy machine can take many seconds to start a Wine process.
    for _ in $(seq 600); do
        [ -s "$rect" ] && break
        sleep 0.1
    done
    if [ ! -s "$rect" ]; then
        echo "dialog for $4 did not appear" >&2
        wait "$pid" || true
        return 1
    fi
    sleep 1.5 # let every control finish painting
    read -r x y w h <"$rect"
    import -display "$DISPLAY" -window root -crop "${w}x${h}+${x}+${y}" +repage "$out/$4.png"
    wait "$pid"
    echo "saved $out/$4.png (${w}x${h} at $x,$y)"
}

shoot 0 0 "" velumira_p_kind0
shoot 1 7 "" velumira_p_kind1
shoot 2 0 'C:\Music\Kaze no Uta\01 Yoake (Café).mp3' velumira_p_kind2

# A blank crop would mean nothing was drawn: the dialog must show several colours.
for f in "$out"/velumira_p_kind?.png; do
    colours=$(convert "$f" -format '%k' info:)
    if [ "$colours" -lt 8 ]; then
        echo "$f holds only $colours colours" >&2
        exit 1
    fi
done
