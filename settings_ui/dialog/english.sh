#!/bin/bash
# The settings dialog in the English world (tools/wine-harness --locale
# en_US.UTF-8: an English UI language, ANSI code page 1252): its controls'
# English texts and their room at every common scale, the Japanese texts for a
# Japanese UI language on that code page, and photographs at 96, 120, 144 and
# 192 dpi for review ($VELUMIRA_BUILD/artifacts/velumira_p_en_<dpi>dpi.png).
#   english.sh <dialog_win_tests.exe> <velumira_p_show.exe>
set -u
tests=$1 show=$2
. "$VELUMIRA_ROOT/tools/wine-env" "$VELUMIRA_BUILD"
out=$VELUMIRA_BUILD/artifacts
mkdir -p "$out"
work=$(mktemp -d)
pids=()
cleanup() {
    for p in "${pids[@]}"; do kill "$p" 2>/dev/null; done
    rm -rf "$work"
}
trap cleanup EXIT
fail() {
    echo "FAIL: $*"
    exit 1
}

# run_tests <filter> <env...>: the dialog's tests of that filter, which must
# run (not skip) and pass.
run_tests() {
    local filter=$1
    shift
    env "$@" "$WINE" "$tests" --gtest_filter="$filter" 2>&1 | tr -d '\r' >"$work/log"
    local rc=${PIPESTATUS[0]}
    cat "$work/log"
    [ "$rc" = 0 ] || fail "$filter"
    grep -q '^\[  PASSED  \] 1 test' "$work/log" || fail "$filter did not run here"
}
run_tests 'EnglishDialog.*' LC_ALL="$VELUMIRA_WINE_LOCALE"
# Wine takes the UI language from the messages' locale and the code page
# from the characters'.
run_tests 'JapaneseOnAnotherCodePage.*' -u LC_ALL LANG="$VELUMIRA_WINE_LOCALE" \
    LC_MESSAGES=ja_JP.UTF-8

for dpi in 96 120 144 192; do
    rect=$work/rect-$dpi
    wine_world "$show" 2 7 'C:\Music\Morning Songs\01 First Light (Live).mp3' 5 \
        "Z:${rect//\//\\}" "$dpi" &
    pid=$!
    pids+=("$pid")
    wait_for 60 test -s "$rect" || fail "no dialog at $dpi dpi"
    sleep 1.5 # let every control finish painting
    read -r x y w h < <(tr -d '\r' <"$rect")
    shot=$out/velumira_p_en_${dpi}dpi.png
    import -display "$DISPLAY" -window root -crop "${w}x${h}+${x}+${y}" +repage "$shot"
    wait "$pid"
    echo "saved $shot (${w}x$h at $x,$y)"
    [ "$(convert "$shot" -format '%k' info:)" -ge 8 ] || fail "the $dpi dpi shot is blank"
done
echo "ok"
