#!/usr/bin/env bash
# Installs what Hollyphone needs on Debian 12, as root or through sudo.
#   scripts/install-deps.sh run    what building and running the player needs
#   scripts/install-deps.sh test   that, plus everything the tests need
# Idempotent: installs only missing packages. Fails loudly.
set -euo pipefail

mode=${1:-run}

# Building and running the player on Linux.
run_packages=(
    cmake ninja-build g++ pkg-config
    binutils-mingw-w64-i686            # windres: compiles the resource script
    libgtk-3-dev
    libx11-dev                         # the X server's connection loss, reported by Xlib
    libgstreamer1.0-dev libgstreamer-plugins-base1.0-dev
    gstreamer1.0-plugins-base gstreamer1.0-plugins-good
    gstreamer1.0-plugins-bad gstreamer1.0-plugins-ugly
    gstreamer1.0-pulseaudio
    libpulse-dev                       # asks the sound server for an output at start-up
    fluid-soundfont-gm                 # General MIDI soundfont for FluidSynth
    libfluidsynth-dev                  # FluidSynth, opened at the first MIDI play
    libasound2-dev libasound2-plugins libcdio-dev
    fonts-ipafont-mincho fonts-ipafont-gothic fontconfig
    dpkg-dev                           # scripts/package-deb.sh: dpkg-shlibdeps, dpkg-buildflags
)

# Tests, fuzzing, sanitizers, the Windows cross-build and Wine, benchmarks.
test_packages=(
    googletest libgtest-dev libgmock-dev libbenchmark-dev
    clang libclang-rt-14-dev llvm-14
    mingw-w64 g++-mingw-w64-i686
    gstreamer1.0-tools
    pulseaudio pulseaudio-utils
    xvfb xauth xdotool x11-utils x11-apps imagemagick
    lame sox
    wine wine32:i386
    gstreamer1.0-plugins-base:i386 gstreamer1.0-plugins-good:i386  # MP3 under Wine
    locales                            # the Japanese locale Wine runs in
    audacious
    procps psmisc
    python3                            # end-to-end drivers (standard library only)
    lintian desktop-file-utils appstream  # checks of the Debian package
    man-db                             # its manual page, rendered as man shows it
    dbus-daemon dbus-bin libglib2.0-bin  # a private session bus, its monitor and gdbus (media controls)
)

case "$mode" in
run) packages=("${run_packages[@]}") ;;
test) packages=("${run_packages[@]}" "${test_packages[@]}") ;;
*)
    echo "usage: $0 run|test" >&2
    exit 2
    ;;
esac

as_root() {
    if [ "$(id -u)" -eq 0 ]; then
        "$@"
    elif command -v sudo >/dev/null 2>&1; then
        sudo "$@"
    else
        echo "error: installing packages needs root; run as root or install sudo" >&2
        exit 1
    fi
}

# Package names without comments; ":i386" packages need the i386 architecture.
wanted=()
for p in "${packages[@]}"; do wanted+=("$p"); done

if printf '%s\n' "${wanted[@]}" | grep -q ':i386$'; then
    if ! dpkg --print-foreign-architectures | grep -qx i386; then
        echo "== enabling the i386 architecture (32-bit Wine)"
        as_root dpkg --add-architecture i386
        need_update=1
    fi
fi

missing=()
for p in "${wanted[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
        missing+=("$p")
    fi
done

if [ ${#missing[@]} -eq 0 ]; then
    echo "== all packages present"
    exit 0
fi

echo "== installing: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
if [ -n "${need_update:-}" ] || [ -z "$(find /var/lib/apt/lists -maxdepth 1 -name '*Packages*' -mmin -1440 2>/dev/null | head -n1)" ]; then
    as_root apt-get update
fi
as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends "${missing[@]}"
