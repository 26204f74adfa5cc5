#!/usr/bin/env bash
# Installs what is missing, builds every configuration and runs every test:
# the native tests, the same under AddressSanitizer and UBSan, the fuzzers
# for a bounded number of inputs each, and both Windows programs (their
# files, and their runs under Wine).
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh test
for preset in native sanitize fuzz windows-x64 windows-x86; do
  echo "=== $preset"
  cmake --workflow --preset "$preset"
done
