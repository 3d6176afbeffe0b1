#!/usr/bin/env bash
# Builds the fuzz targets natively with clang (libFuzzer, AddressSanitizer,
# UndefinedBehaviorSanitizer) and runs each for FUZZ_SECONDS (default 20)
# on a seed corpus made by code. Any crash, leak or sanitizer report fails.
set -euo pipefail
cd "$(dirname "$0")/.."
FUZZ_SECONDS=${FUZZ_SECONDS:-20}
OUT=${FUZZ_DIR:-build-fuzz}
mkdir -p "$OUT"
CXX=${FUZZ_CXX:-clang++}
FLAGS=(-std=c++17 -O1 -g -I. -fsanitize=address,undefined -fno-sanitize-recover=all)
CODEC=(convert/dib_picture.cpp convert/bmp_writer.cpp convert/packed_decoder.cpp
       convert/packed_picture.cpp packer/g24a_packer.cpp)

"$CXX" "${FLAGS[@]}" fuzz/make_seeds.cpp "${CODEC[@]}" -o "$OUT/make_seeds"
rm -rf "$OUT/seeds"
mkdir -p "$OUT/seeds/packed" "$OUT/seeds/writer" "$OUT/seeds/round_trip" "$OUT/seeds/bitmap" \
  "$OUT/seeds/command_line" "$OUT/seeds/paths"
"$OUT/make_seeds" "$OUT/seeds"

# run_target target seeds [sources...]: the codec sources when none are named.
run_target() {
  local target=$1 seeds=$2
  shift 2
  local sources=("$@")
  [ ${#sources[@]} -gt 0 ] || sources=("${CODEC[@]}")
  "$CXX" "${FLAGS[@]}" -fsanitize=fuzzer "fuzz/$target.cpp" "${sources[@]}" -o "$OUT/$target"
  rm -rf "$OUT/corpus-$target"
  mkdir -p "$OUT/corpus-$target"
  echo "fuzzing $target for $FUZZ_SECONDS s"
  (cd "$OUT" && "./$target" -max_total_time="$FUZZ_SECONDS" -timeout=10 -rss_limit_mb=2048 \
     -print_final_stats=1 "corpus-$target" "seeds/$seeds" 2>"$target.log") || {
    tail -n 40 "$OUT/$target.log"
    echo "fuzz target $target failed" >&2
    return 1
  }
  grep -E '^stat::number_of_executed_units' "$OUT/$target.log" || true
}

run_target packed_reader_fuzzer packed
run_target bmp_writer_fuzzer writer
run_target packer_round_trip_fuzzer round_trip
# The packing tool's reader, the command-line splitter and the path
# functions: shorter runs, their inputs are small.
NEW_SECONDS=${FUZZ_NEW_SECONDS:-15}
FUZZ_SECONDS=$NEW_SECONDS run_target bitmap_source_fuzzer bitmap "${CODEC[@]}" packer/bitmap_source.cpp
FUZZ_SECONDS=$NEW_SECONDS run_target command_line_fuzzer command_line app/command_line.cpp TOOLS/sjis_text.cpp
FUZZ_SECONDS=$NEW_SECONDS run_target path_text_fuzzer paths TOOLS/path_text.cpp TOOLS/sjis_text.cpp
echo "fuzzing found nothing"
