#!/bin/bash
# The package routine on a fresh machine on a bad day: nothing is installed,
# and the mirror is mid-sync for the i386 security index on every update.
# Stand-in apt-get, dpkg, dpkg-query and id record what they are asked.
set -u
root=$(cd "$(dirname "$0")/../.." && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir "$work/bin"
stub() { # name body
    printf '#!/bin/bash\n%s\n' "$2" >"$work/bin/$1"
    chmod +x "$work/bin/$1"
}
stub apt-get 'echo "apt-get $*" >>"$LOG"
case $1 in
update)
    echo "E: Failed to fetch http://deb.example/debian-security/dists/bookworm-security/main/binary-i386/Packages.xz  File has unexpected size (374820 != 376004). Mirror sync in progress?"
    echo "E: Some index files failed to download. They have been ignored, or old ones used instead."
    exit 100 ;;
install)
    [[ " $* " == *" broken "* || ( -n "${I386_BROKEN:-}" && "$*" == *:i386* ) ]] &&
        { echo "E: Unable to correct problems, you have held broken packages."; exit 100; }
    exit 0 ;;
esac'
stub dpkg 'echo "dpkg $*" >>"$LOG"'
stub dpkg-query 'exit 1'
stub id 'echo 0'

fails=0
check() { # what condition...
    local what=$1
    shift
    if "$@"; then echo "ok: $what"; else
        echo "FAILED: $what"
        fails=$((fails + 1))
    fi
}

run() { # i386-answer commands...
    : >"$work/log"
    (
        export PATH="$work/bin:$PATH" LOG="$work/log" VELUMIRA_KERNEL_I386=$1 VELUMIRA_APT_PAUSE=0
        export I386_BROKEN
        shift
        . "$root/tools/deps.sh"
        eval "$*"
    ) >"$work/out" 2>&1
}

run no 'ensure_packages "${BUILD_PACKAGES[@]}" && ensure_wine_packages'
check "a kernel without 32-bit code: the routine succeeds" [ $? = 0 ]
check "the update is tried three times, once per command" [ "$(grep -c 'apt-get update' "$work/log")" = 3 ]
check "the failed index is named in one line" grep -q '^note: .*binary-i386/Packages.xz' "$work/out"
check "the build packages are asked for" grep -q 'apt-get install.* nsis' "$work/log"
check "the Wine packages are asked for" grep -q 'apt-get install.* wine64 ' "$work/log"
check "the 64-bit twin's compilers are asked for" grep -q 'install.*g++-mingw-w64-x86-64-posix' "$work/log"
check "no i386 package and no i386 architecture" bash -c "! grep -q i386 '$work/log'"

run yes 'ensure_wine_packages'
check "a kernel with 32-bit code: the 32-bit Wine is asked for" grep -q 'install.*wine32:i386' "$work/log"
check "and the i386 architecture added" grep -q 'dpkg --add-architecture i386' "$work/log"

# The i386 index missing leaves the 32-bit packages out of step with their
# installed 64-bit twins: the 64-bit Wine stands in.
I386_BROKEN=1 run yes 'ensure_wine_packages'
check "32-bit Wine out of reach: the routine still succeeds" [ $? = 0 ]
check "with the 64-bit twin's compilers instead" grep -q 'install.*g++-mingw-w64-x86-64-posix' "$work/log"
check "saying so as a note, not an error" bash -c "grep -q '^note: .*64-bit Wine' '$work/out' && ! grep -q '^error' '$work/out'"

run no 'ensure_packages broken'
check "a failed install fails" [ $? != 0 ]
check "with apt's own reason" grep -q "held broken packages" "$work/out"
check "and a line saying what to do" grep -q "^error: .*try again" "$work/out"
[ $fails = 0 ]
