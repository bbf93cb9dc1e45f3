#!/usr/bin/env bash
# Makes the Windows distribution: a folder and a .zip archive holding
# Hollyphone.exe (32-bit, no DLLs of its own), the skin folder image/ and a
# short readme. Builds the program first when needed (MinGW-w64, see
# cmake/mingw-i686.cmake).
#   scripts/dist-windows.sh [--build-dir DIR] [--output DIR]
# Defaults: --build-dir build/windows, --output dist. Prints the archive's path.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD

build_dir=build/windows
output=dist
while [ $# -gt 0 ]; do
    case "$1" in
    --build-dir) build_dir=$2; shift 2 ;;
    --output) output=$2; shift 2 ;;
    *)
        echo "usage: $0 [--build-dir DIR] [--output DIR]" >&2
        exit 2
        ;;
    esac
done

for tool in i686-w64-mingw32-g++-posix i686-w64-mingw32-strip cmake ninja; do
    if ! command -v "$tool" >/dev/null 2>&1; then
        echo "error: $tool is missing (scripts/install-deps.sh test)" >&2
        exit 1
    fi
done

if [ ! -f "$build_dir/CMakeCache.txt" ]; then
    cmake -S "$root" -B "$build_dir" -G Ninja \
        -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-i686.cmake" -DCMAKE_BUILD_TYPE=Release >/dev/null
fi
cmake --build "$build_dir" --target hollyphone >/dev/null
program=$build_dir/app/Hollyphone.exe
if [ ! -f "$program" ]; then
    echo "error: $program was not built" >&2
    exit 1
fi

version=1.00
name=Hollyphone-$version-win32
folder=$output/$name
rm -rf "$folder" "$output/$name.zip"
mkdir -p "$folder/image"

# strip writes a new time stamp into the PE header unless it is given one.
SOURCE_DATE_EPOCH=1735000000 i686-w64-mingw32-strip -o "$folder/Hollyphone.exe" "$program"
cp image/swbase1.bmp image/parts.bmp "$folder/image/"

# UTF-8 with a byte order mark and CR LF line ends: Notepad shows it right
# on a Japanese system and on any other.
{
    printf '\xef\xbb\xbf'
    sed 's/$/\r/' <<'EOF'
Hollyphone 1.00 (Windows, 32-bit)
=================================

A small music player with a Christmas skin: MP3 and MIDI files and audio-CD
tracks, a play queue, three volume gauges.

Running it
- Unpack the whole folder anywhere and start Hollyphone.exe. It needs no
  installation and no other files: the folder image\ must stay beside it.
- Start it from its own folder (double-click does that): it reads image\ and
  keeps its play queue in default.m3u of the folder it is started in. Its
  settings go to Hollyphone.ini next to Hollyphone.exe, so the folder must be
  writable (not under "Program Files").
- On the first start it asks whether to switch the graphic effect on.

Using it
- Drop MP3 or MIDI files on the window to queue them; press the play button.
- Drag the window with the left button to move it.
- Right-click for the menu: graphic effect, the mixer device behind the
  gauges, CD trays, adding audio-CD tracks, version information, quit.
- Click a gauge to step its volume, the progress bar to seek.

Under Wine (Linux)
  LC_ALL=ja_JP.UTF-8 wine Hollyphone.exe
The Japanese locale (generated on the host, e.g. with locale-gen) makes Wine
use code page 932, in which the program's texts and file names are written.

Hollyphone 1.00（Windows 32ビット版）
Hollyphone.exe をダブルクリックで起動します。image フォルダは同じ場所に置いてください。
設定は Hollyphone.ini（実行ファイルと同じフォルダ）、再生リストは default.m3u に保存されます。
EOF
} >"$folder/readme.txt"

# The same inputs give the same archive: entries in name order, one fixed
# time stamp, no extra fields (zip tools that copy a file's inode times into
# the archive can never be reproducible).
(cd "$output" && python3 - "$name" <<'PYTHON'
import os
import sys
import zipfile

folder = sys.argv[1]
paths = []
for parent, folders, files in os.walk(folder):
    folders.sort()
    paths.append(parent + "/")
    paths.extend(os.path.join(parent, name) for name in sorted(files))
with zipfile.ZipFile(folder + ".zip", "w", zipfile.ZIP_DEFLATED, compresslevel=9) as archive:
    for path in sorted(paths):
        entry = zipfile.ZipInfo(path, date_time=(2024, 12, 24, 0, 0, 0))
        if path.endswith("/"):
            entry.external_attr = (0o40755 << 16) | 0x10
            archive.writestr(entry, b"")
        else:
            entry.external_attr = 0o100644 << 16
            entry.compress_type = zipfile.ZIP_DEFLATED
            with open(path, "rb") as source:
                archive.writestr(entry, source.read())
PYTHON
)
echo "$output/$name.zip"
