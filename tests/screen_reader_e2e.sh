#!/bin/bash
# The settings dialog as a screen reader hears it: the dialog open in one
# process, the reader (velumira_screen_reader) asking it from another, as
# readers do. The reader prints what it heard and checks it.
#   screen_reader_e2e.sh <velumira_p_show.exe> <velumira_screen_reader.exe>
set -u
show=$1
reader=$2
. "$VELUMIRA_ROOT/tools/wine-env" "$VELUMIRA_BUILD"
work=$(mktemp -d)
pid=
cleanup() {
    [ -n "$pid" ] && kill "$pid" 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT

rect=$work/rect
wine_ja "$show" 0 0 "" 120 "Z:${rect//\//\\}" &
pid=$!
for _ in $(seq 600); do
    [ -s "$rect" ] && break
    sleep 0.1
done
[ -s "$rect" ] || { echo "FAIL: the dialog did not appear"; exit 1; }
wine_ja "$reader" 0 | tr -d '\r'
rc=${PIPESTATUS[0]}
# The reader closed the dialog through its cancel button.
for _ in $(seq 100); do
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.1
done
kill -0 "$pid" 2>/dev/null && { echo "FAIL: the dialog is still open"; exit 1; }
exit "$rc"
