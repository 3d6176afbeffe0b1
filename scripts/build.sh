#!/usr/bin/env bash
# Configures and builds the program and its tests with the cross compiler.
# BUILD_DIR picks the build folder (default: build).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
BUILD_DIR=${BUILD_DIR:-build}
if [ ! -f "$BUILD_DIR/CMakeCache.txt" ]; then
  cmake -S . -B "$BUILD_DIR" -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake \
    -DCMAKE_BUILD_TYPE=Release >/dev/null
fi
# BUILD_TARGETS (space-separated) builds only those targets.
if [ -n "${BUILD_TARGETS:-}" ]; then
  for target in $BUILD_TARGETS; do cmake --build "$BUILD_DIR" -j2 --target "$target"; done
else
  cmake --build "$BUILD_DIR" -j2
  # The release zip, which the package test unpacks.
  cmake --build "$BUILD_DIR" --target package
fi
