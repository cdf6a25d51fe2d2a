# Sourced: installs the Debian packages a command needs when they are missing.
# ensure_packages pkg...
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
    local need_i386=0
    for p in "${missing[@]}"; do [[ $p == *:i386 ]] && need_i386=1; done
    if [ $need_i386 = 1 ] && ! dpkg --print-foreign-architectures | grep -qx i386; then
        dpkg --add-architecture i386
    fi
    echo "installing: ${missing[*]}"
    export DEBIAN_FRONTEND=noninteractive
    apt-get update -q >/dev/null
    apt-get install -y -q --no-install-recommends "${missing[@]}" >/dev/null
}

# What building the programs needs; python3 and icoutils draw and pack the
# icon, nsis makes the installer.
BUILD_PACKAGES=(cmake ninja-build g++ googletest libbenchmark-dev
    g++-mingw-w64-i686-posix gcc-mingw-w64-i686-posix mingw-w64-i686-dev
    python3 icoutils nsis)
# What running them through Wine on a private X display needs. wine32 runs the
# shipped 32-bit programs; wine64 is the fallback where the kernel cannot run
# 32-bit code. Xorg's dummy driver with Xinerama is the two-monitor display.
WINE_PACKAGES=(wine wine32:i386 wine64 libgl1-mesa-dri libgl1-mesa-dri:i386 libgl1:i386
    libglu1-mesa:i386 libgl1 xvfb xauth x11-utils xdotool imagemagick fonts-ipafont-gothic
    python3
    xserver-xorg-core xserver-xorg-video-dummy libxinerama1 libxinerama1:i386)
# The 64-bit test build for that fallback.
WIN64_PACKAGES=(g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix mingw-w64-x86-64-dev)

# Wine names Unix files through the locale it runs in, ja_JP.UTF-8 (see
# tools/wine-env): until that locale is generated, names outside ASCII are
# mangled before a program ever sees them.
ensure_wine_locale() {
    locale -a 2>/dev/null | grep -qix 'ja_JP.utf8' && return 0
    ensure_packages locales || return 1
    if [ "$(id -u)" != 0 ]; then
        echo "missing locale (run as root to generate it): ja_JP.UTF-8" >&2
        return 1
    fi
    echo "generating the ja_JP.UTF-8 locale"
    localedef -i ja_JP -f UTF-8 ja_JP.UTF-8
}

# True when this kernel executes 32-bit x86 programs (wine32 needs that).
can_run_i386() {
    [ -x /usr/lib/wine/wine ] && /usr/lib/wine/wine --version >/dev/null 2>&1
}
# The fuzz tree: clang with libFuzzer and the sanitizer runtimes.
FUZZ_PACKAGES=(clang libclang-rt-14-dev)
