#!/usr/bin/env bash
# Runs every fuzzer for SECONDS seconds (default 600) from its seed corpus;
# what a fuzzer finds new is kept in build/fuzz/fuzz/<name>-found/, a crash
# as build/fuzz/fuzz/crash-* (add it to fuzz/corpus/<name>/ once fixed).
#   scripts/fuzz.sh [SECONDS]
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-600}

scripts/install-deps.sh test
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz
for corpus in fuzz/corpus/*/; do
  name=$(basename "$corpus")
  found="build/fuzz/fuzz/$name-found"
  mkdir -p "$found"
  dict=()
  [ -f "fuzz/$name.dict" ] && dict=("-dict=../../../fuzz/$name.dict")
  echo "=== ${name}_fuzz for $seconds s"
  (cd build/fuzz/fuzz && "./${name}_fuzz" -max_total_time="$seconds" -print_final_stats=1 "${dict[@]}" \
    "$name-found" "../../../$corpus")
done
