#!/usr/bin/env bash
# Builds the Debian package of the Linux program from this source tree:
#   scripts/package-deb.sh      -> dist/hollyphone_<version>_<arch>.deb
# Install it with: apt install ./dist/hollyphone_<version>_<arch>.deb
#
# The program is built on its own (build/package: Release, Debian's
# hardening flags, no tests), installed into a staging root with what
# packaging/CMakeLists.txt lists, and packed with dpkg-deb. Its
# dependencies are the libraries dpkg-shlibdeps finds in the executable plus
# what it loads at run time: GStreamer's plug-ins for MP3 (good) and MIDI
# (bad, FluidSynth), a General MIDI soundfont at
# /usr/share/sounds/sf2/default-GM.sf2, and the Japanese fonts its texts
# are drawn in. The file dates are the last commit's, so two builds of one
# commit give the same package.
#
# Environment: HOLLYPHONE_JOBS (parallel jobs, default: number of cores).
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
jobs=${HOLLYPHONE_JOBS:-$(nproc)}
build=build/package
# dpkg-shlibdeps reads debian/control, and looks for the files it checks in
# debian/<package>: the staging root is laid out that way.
debian=$build/debian
stage=$debian/hollyphone
umask 022

scripts/install-deps.sh run

maintainer="Hollyphone maintainers <maintainers@hollyphone.example.org>"
depends_at_run_time=(
    "gstreamer1.0-plugins-base"        # decodebin, audioconvert, volume
    "gstreamer1.0-plugins-good"        # MP3 (mpg123, ID3), pulsesink
    "gstreamer1.0-plugins-bad"         # MIDI: midiparse, fluiddec
    "fluid-soundfont-gm | sf2-soundfont-gm"
    "fonts-ipafont-mincho | fonts-japanese-mincho"
    "fonts-ipafont-gothic | fonts-japanese-gothic"
)
recommends=(
    "gstreamer1.0-plugins-ugly"        # audio CDs: cdiocddasrc
    "libasound2-plugins"               # the sound server's mixer through ALSA
    "pulseaudio | pipewire-pulse"
)

if git rev-parse --git-dir >/dev/null 2>&1; then
    SOURCE_DATE_EPOCH=$(git log -1 --format=%ct)
else
    SOURCE_DATE_EPOCH=$(date +%s)
fi
export SOURCE_DATE_EPOCH

# Debian's hardening flags, all of them (stack protector, fortified
# functions, full RELRO with immediate binding); read by CMake when it
# configures the build folder.
export DEB_BUILD_MAINT_OPTIONS=hardening=+all
CFLAGS="$(dpkg-buildflags --get CFLAGS) $(dpkg-buildflags --get CPPFLAGS)"
CXXFLAGS="$(dpkg-buildflags --get CXXFLAGS) $(dpkg-buildflags --get CPPFLAGS)"
LDFLAGS="$(dpkg-buildflags --get LDFLAGS)"
export CFLAGS CXXFLAGS LDFLAGS

mkdir -p build
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX=/usr \
    -DHOLLYPHONE_TESTS=OFF -DHOLLYPHONE_BENCH=OFF >"$build.configure.log" 2>&1 || {
    cat "$build.configure.log"
    exit 1
}
cmake --build "$build" -j"$jobs"

rm -rf "$debian"
DESTDIR="$root/$stage" cmake --install "$build" >/dev/null
# Stripped as Debian strips: no symbols, no compiler notes.
strip --remove-section=.comment --remove-section=.note --strip-unneeded \
    "$stage/usr/bin/hollyphone"
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
homepage=$(sed -n 's/^HOLLYPHONE_HOMEPAGE:STRING=//p' "$build/CMakeCache.txt")
architecture=$(dpkg --print-architecture)

# The documentation Debian asks of every package.
doc=$stage/usr/share/doc/hollyphone
install -d "$doc"
install -m 644 packaging/copyright "$doc/copyright"
{
    echo "hollyphone ($version) unstable; urgency=medium"
    echo
    echo "  * Hollyphone $version."
    echo
    echo " -- $maintainer  $(date -u -R -d "@$SOURCE_DATE_EPOCH")"
} | gzip -9n >"$doc/changelog.gz"

# The libraries the executable links, as dpkg-shlibdeps names their
# packages.
install -d "$stage/DEBIAN"
printf 'Source: hollyphone\n\nPackage: hollyphone\nArchitecture: any\n' >"$debian/control"
shlibs=$(cd "$build" && dpkg-shlibdeps -O -e"debian/hollyphone/usr/bin/hollyphone" |
    sed -n 's/^shlibs:Depends=//p')

join() {
    local separator=$1 joined=
    shift
    for item in "$@"; do joined+=${joined:+$separator}$item; done
    echo "$joined"
}

installed_size=$(du -s -k --apparent-size --exclude=DEBIAN "$stage" | cut -f1)
cat >"$stage/DEBIAN/control" <<EOF
Package: hollyphone
Version: $version
Architecture: $architecture
Maintainer: $maintainer
Installed-Size: $installed_size
Depends: $(join ", " "$shlibs" "${depends_at_run_time[@]}")
Recommends: $(join ", " "${recommends[@]}")
Section: sound
Priority: optional
Homepage: $homepage
Description: small skinned music player for MP3, MIDI and audio CDs
 Hollyphone is a small desktop music player in a fixed-size, borderless,
 Christmas-themed window. It plays a queue of MP3 and MIDI files and
 audio-CD tracks, shows the title, the artist and the play time, and sets
 the Wave, MIDI and CD volumes from three gauges on its skin.
 .
 Files join the queue when they are dropped on the window, named on the
 command line or opened with Hollyphone from the file manager. Its texts
 are Japanese.
EOF
# No file is newer than the last commit.
find "$stage" -newermt "@$SOURCE_DATE_EPOCH" -print0 |
    xargs -0r touch --no-dereference --date="@$SOURCE_DATE_EPOCH"
(cd "$stage" && find usr -type f -print0 | LC_ALL=C sort -z | xargs -0 md5sum >DEBIAN/md5sums)
chmod 644 "$stage/DEBIAN/control" "$stage/DEBIAN/md5sums"

mkdir -p dist
package=dist/hollyphone_${version}_${architecture}.deb
dpkg-deb --root-owner-group -Zxz --build "$stage" "$package" >/dev/null
echo "$package"
