# Sourced: installs the Debian packages a command needs when they are missing.
#   ensure_packages pkg...     the build's and the tools' packages
#   ensure_wine_packages       Wine and the display, for the programs' word size
#   ensure_wine_locale         the locales Wine names files through
#   can_run_i386               the 32-bit programs run here (else the 64-bit twin)

# How often, and how far apart, a failing package index update is tried.
VELUMIRA_APT_TRIES=${VELUMIRA_APT_TRIES:-3}
VELUMIRA_APT_PAUSE=${VELUMIRA_APT_PAUSE:-5}
_apt_lists_fresh=0

# Updates the package lists once per command. A mirror caught mid-sync fails
# one index now and then; the others still arrive, and the install goes on
# with them.
apt_update() {
    [ $_apt_lists_fresh = 1 ] && return 0
    _apt_lists_fresh=1
    local log try
    log=$(mktemp)
    for ((try = 1; try <= VELUMIRA_APT_TRIES; try++)); do
        apt-get update -q >"$log" 2>&1 && {
            rm -f "$log"
            return 0
        }
        [ $try -lt $VELUMIRA_APT_TRIES ] && sleep "$VELUMIRA_APT_PAUSE"
    done
    echo "note: package lists not fetched after $VELUMIRA_APT_TRIES tries:" \
        "$(sed -n 's/^E: Failed to fetch \([^ ]*\).*/\1/p' "$log" | tr '\n' ' ')-- going on with those that arrived"
    rm -f "$log"
}

ensure_packages() {
    local missing=() p
    for p in "$@"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' ||
            missing+=("$p")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    if [ "$(id -u)" != 0 ]; then
        echo "missing packages (run as root to install): ${missing[*]}" >&2
        return 1
    fi
    if [[ " ${missing[*]}" == *:i386* ]] && ! dpkg --print-foreign-architectures | grep -qx i386; then
        dpkg --add-architecture i386
        _apt_lists_fresh=0
    fi
    echo "installing: ${missing[*]}"
    export DEBIAN_FRONTEND=noninteractive
    apt_update
    local log
    log=$(mktemp)
    if ! apt-get install -y -q --no-install-recommends "${missing[@]}" >"$log" 2>&1; then
        cat "$log" >&2
        rm -f "$log"
        if [ -n "${_apt_fallback:-}" ]; then
            echo "note: apt could not install these packages (its reason is above); $_apt_fallback"
        else
            echo "error: apt could not install these packages (its reason is above);" \
                "run 'apt-get update' until every index arrives, then try again" >&2
        fi
        return 1
    fi
    rm -f "$log"
}

# True when this kernel executes 32-bit x86 programs, asked before anything
# 32-bit is installed: a 93-byte static i386 program that exits with 42. A
# kernel without 32-bit support refuses it with an exec format error.
# VELUMIRA_KERNEL_I386=yes|no says it outright (the routine's own test).
kernel_runs_i386() {
    case ${VELUMIRA_KERNEL_I386:-} in
    yes) return 0 ;;
    no) return 1 ;;
    esac
    local probe rc
    probe=$(mktemp) || return 1
    # ELF header, one loadable segment at 0x08048000, then at 0x54:
    # xor ebx,ebx; mov bl,42; xor eax,eax; inc eax; int 0x80 (exit 42).
    printf '%b' '\x7fELF\x01\x01\x01\0\0\0\0\0\0\0\0\0\x02\0\x03\0\x01\0\0\0\x54\x80\x04\x08' \
        '\x34\0\0\0\0\0\0\0\0\0\0\0\x34\0\x20\0\x01\0\0\0\0\0\0\0' \
        '\x01\0\0\0\0\0\0\0\0\x80\x04\x08\0\x80\x04\x08\x5d\0\0\0\x5d\0\0\0\x05\0\0\0\0\x10\0\0' \
        '\x31\xdb\xb3\x2a\x31\xc0\x40\xcd\x80' >"$probe"
    chmod +x "$probe"
    "$probe" 2>/dev/null
    rc=$?
    rm -f "$probe"
    [ $rc = 42 ]
}

# True when the 32-bit Wine is installed and runs here (the shipped programs
# are 32-bit); otherwise the 64-bit twin build carries the Windows programs.
can_run_i386() {
    kernel_runs_i386 && [ -x /usr/lib/wine/wine ] && /usr/lib/wine/wine --version >/dev/null 2>&1
}

# Wine for the programs' word size: the 32-bit Wine where the kernel runs
# 32-bit code, else (or when its packages cannot be had) the 64-bit Wine with
# the compilers for the 64-bit twin.
ensure_wine_packages() {
    ensure_packages "${WINE_PACKAGES[@]}" || return 1
    if kernel_runs_i386; then
        _apt_fallback="the 64-bit Wine and build stand in for the 32-bit ones" \
            ensure_packages "${WINE32_PACKAGES[@]}" && return 0
    fi
    ensure_packages "${WIN64_PACKAGES[@]}"
}

# What building the programs needs; python3 and icoutils draw and pack the
# icon, nsis makes the installer.
BUILD_PACKAGES=(cmake ninja-build g++ googletest libbenchmark-dev
    g++-mingw-w64-i686-posix gcc-mingw-w64-i686-posix mingw-w64-i686-dev
    python3 icoutils nsis)
# What running them through Wine on a private X display needs. Xorg's dummy
# driver with Xinerama is the two-monitor display.
WINE_PACKAGES=(wine wine64 libgl1-mesa-dri libgl1 xvfb xauth x11-utils xdotool imagemagick
    fonts-ipafont-gothic fonts-wine python3 xserver-xorg-core xserver-xorg-video-dummy libxinerama1)
# The 32-bit Wine for the shipped programs, only where the kernel runs them.
WINE32_PACKAGES=(wine32:i386 libgl1-mesa-dri:i386 libgl1:i386 libglu1-mesa:i386
    libxinerama1:i386)
# The 64-bit twin build, where it cannot.
WIN64_PACKAGES=(g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix mingw-w64-x86-64-dev)

# Wine names Unix files through the locale it runs in, ja_JP.UTF-8 (see
# tools/wine-env), or en_US.UTF-8 in the English world: until that locale is
# generated, names outside ASCII are mangled before a program ever sees them.
ensure_wine_locale() {
    local name
    for name in ja_JP en_US; do
        locale -a 2>/dev/null | grep -qix "$name.utf8" && continue
        ensure_packages locales || return 1
        if [ "$(id -u)" != 0 ]; then
            echo "missing locale (run as root to generate it): $name.UTF-8" >&2
            return 1
        fi
        echo "generating the $name.UTF-8 locale"
        localedef -i "$name" -f UTF-8 "$name.UTF-8" || return 1
    done
}
# The fuzz tree: clang with libFuzzer and the sanitizer runtimes.
FUZZ_PACKAGES=(clang libclang-rt-14-dev)
