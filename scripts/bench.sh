#!/usr/bin/env bash
# Builds the benchmarks and runs them under Wine: the packed decoder against
# the reference decoder, the whole conversion's time and its peak memory;
# then pictures only the system's imaging component reads (a photo-like
# 3840 x 2160 picture as JPEG and PNG), each converted by the program under
# Wine against ImageMagick's own conversion natively, in the same run.
# BUILD_DIR picks the build folder (default: build).
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD_DIR=${BUILD_DIR:-build}
BUILD_TARGETS="decode_benchmark system_picture_benchmark" BUILD_DIR="$BUILD_DIR" bash scripts/build.sh
PICTURES=$(mktemp -d /tmp/brovane-bench.XXXXXX)
source scripts/wine-session.sh
trap 'stop_wine_session; rm -rf "$PICTURES"' EXIT
start_wine_session
wine "$BUILD_DIR/bench/decode_benchmark.exe"

# Smooth shapes with fine detail, the same every run.
convert -size 3840x2160 -seed 16 plasma:fractal -blur 0x1 -depth 8 -strip "$PICTURES/photo.png"
convert "$PICTURES/photo.png" -strip -quality 90 "$PICTURES/photo.jpg"

# Best of three, in seconds.
time_imagemagick() {
  local best=0 start elapsed
  for _ in 1 2 3; do
    start=$(date +%s%N)
    convert "$1" "$PICTURES/imagemagick.bmp"
    elapsed=$(($(date +%s%N) - start))
    if [ "$best" = 0 ] || [ "$elapsed" -lt "$best" ]; then best=$elapsed; fi
  done
  printf '%d.%09d\n' $((best / 1000000000)) $((best % 1000000000))
}

status=0
# JPEG decoders may round differently: a few steps of difference are allowed.
for row in "photo.jpg 6" "photo.png 0"; do
  set -- $row
  picture="$PICTURES/$1"
  theirs=$(time_imagemagick "$picture")
  convert "$picture" -depth 8 "rgb:$PICTURES/reference.rgb"
  echo "system imaging component, $1 ($(stat -c %s "$picture") bytes):"
  wine "$BUILD_DIR/bench/system_picture_benchmark.exe" "$(winepath -w "$picture")" \
    "$(winepath -w "$PICTURES/reference.rgb")" "$2" "$theirs" || status=1
done
exit $status
