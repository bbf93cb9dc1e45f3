#!/usr/bin/env bash
# Builds the skin generator and paints the skin into the source tree:
# image/swbase1.bmp, image/parts.bmp, resources/hollyphone.ico and
# resources/hollyphone.png. Commit what it changes.
#
#   scripts/make-skin.sh             regenerate the skin files
#   scripts/make-skin.sh --preview   also write docs/skin-preview.png and the
#                                    previews in build/skin-preview/
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${HP_SKIN_BUILD_DIR:-$root/build/skin}"

cmake -S "$root" -B "$build" -G Ninja -DHOLLYPHONE_TESTS=OFF -DHOLLYPHONE_BENCH=OFF >/dev/null
ninja -C "$build" skin_generator

out="$(mktemp -d)"
trap 'rm -rf "$out"' EXIT
"$build/tools/skin/skin_generator" "$out"
mkdir -p "$root/image" "$root/resources"
cp "$out/swbase1.bmp" "$out/parts.bmp" "$root/image/"
cp "$out/hollyphone.ico" "$out/hollyphone.png" "$root/resources/"
echo "skin written to image/ and resources/"

if [[ "${1:-}" == "--preview" ]]; then
    previews="$root/build/skin-preview"
    mkdir -p "$previews" "$root/docs"
    "$build/tools/skin/skin_generator" --preview "$previews"
    # The generator stores its PNGs uncompressed; squeeze the one we commit.
    if command -v convert >/dev/null; then
        convert "$previews/preview-lit.png" -strip -define png:compression-level=9 \
            "$root/docs/skin-preview.png"
    else
        cp "$previews/preview-lit.png" "$root/docs/skin-preview.png"
    fi
    echo "previews in $previews, docs/skin-preview.png updated"
fi
