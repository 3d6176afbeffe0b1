#!/usr/bin/env bash
# Builds the decoder benchmark and runs it once under Wine: decoder speed
# against the reference decoder, the whole conversion's time and its peak
# memory. BUILD_DIR picks the build folder (default: build).
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD_DIR=${BUILD_DIR:-build}
BUILD_TARGETS=decode_benchmark BUILD_DIR="$BUILD_DIR" bash scripts/build.sh
source scripts/wine-session.sh
trap stop_wine_session EXIT
start_wine_session
wine "$BUILD_DIR/bench/decode_benchmark.exe"
