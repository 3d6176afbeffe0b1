#!/usr/bin/env bash
# Builds everything and runs the whole test suite under Wine. Extra arguments
# go to ctest (for instance -R TextTest).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/build.sh
BUILD_DIR=${BUILD_DIR:-build}
# The decoder and the BMP writer under libFuzzer, natively; a crash fails the run.
[ -n "${SKIP_FUZZ:-}" ] || FUZZ_DIR="$BUILD_DIR/fuzz" bash scripts/fuzz.sh
source scripts/wine-session.sh
trap stop_wine_session EXIT
start_wine_session
# The GUI tests drive real windows with the real pointer in Wine's virtual
# desktop, whose pointer and activation updates arrive asynchronously; a
# test that fails is run again, up to three times in all, before it counts.
ctest --test-dir "$BUILD_DIR" --output-on-failure --repeat until-pass:3 "$@"
