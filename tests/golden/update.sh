#!/bin/sh
# Rewrites tests/golden/frames.txt from the current build: the md5 of the raw frame at each
# listed show time in both pixel layouts, each frame gzipped into tests/golden/frames/ under
# its sum (the reference a failing test compares against, pixel by pixel), and a PNG of each
# for review in $REVIEW (look at every PNG whose checksum changed before committing the new
# list and frames).
# Usage: tests/golden/update.sh [BUILD_DIR]
set -eu
cd "$(dirname "$0")/../.."
build=${1:-build}
list=tests/golden/frames.txt
refs=tests/golden/frames
review=${REVIEW:-/tmp/zelk6-golden-review}
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
mkdir -p "$review" "$refs"

out=$(mktemp)
while IFS= read -r line; do
    case "$line" in
        "#"* | "") echo "$line" >>"$out"; continue ;;
    esac
    set -- $line
    time=$1 layout=$2
    name=$(printf '%06d' "$time")
    rm -rf "$scratch/f"
    "$build/zelk6-capture" --from "$time" --to "$time" --pixel-format "$layout" --out "$scratch/f" >/dev/null 2>&1 || true
    sum=$(md5sum "$scratch/f/$name.raw" | cut -d' ' -f1)
    # -n: no name or time inside, so an unchanged frame gives the same file.
    gzip -9 -n -c "$scratch/f/$name.raw" >"$refs/$sum.raw.gz"
    "$build/zelk6-capture" --from "$time" --to "$time" --pixel-format "$layout" --format png \
        --out "$scratch/p" >/dev/null 2>&1 || true
    cp "$scratch/p/$name.png" "$review/$name-$layout.png"
    [ "${3:-}" = "$sum" ] || echo "changed: $time $layout" >&2
    echo "$time $layout $sum" >>"$out"
done <"$list"
mv "$out" "$list"
# Frames no longer listed go.
for ref in "$refs"/*.raw.gz; do
    grep -q " $(basename "$ref" .raw.gz)\$" "$list" || rm -f "$ref"
done
echo "PNGs for review in $review" >&2
