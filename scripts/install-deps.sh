#!/usr/bin/env bash
# Installs the Debian packages the build needs and the machine lacks.
#   scripts/install-deps.sh run    the native program: compiler and CMake
#   scripts/install-deps.sh test   everything the test command uses: GoogleTest,
#                                  Google Benchmark, clang's fuzzer and sanitizer
#                                  runtimes, the mingw-w64 cross compilers and Wine
# Needs root (or sudo) only when something is missing.
set -euo pipefail

run_packages=(cmake make g++)
test_packages=(
  "${run_packages[@]}" libgtest-dev libbenchmark-dev clang libclang-rt-14-dev
  g++-mingw-w64-i686 g++-mingw-w64-x86-64 binutils-mingw-w64-i686 binutils-mingw-w64-x86-64
  wine wine64 wine32:i386 python3
)

case "${1:-}" in
  run) wanted=("${run_packages[@]}") ;;
  test) wanted=("${test_packages[@]}") ;;
  *) echo "usage: $0 run|test" >&2; exit 2 ;;
esac

installed() { dpkg-query -W -f='${db:Status-Status}' "$1" 2>/dev/null | grep -qx installed; }

missing=()
for package in "${wanted[@]}"; do
  installed "$package" || missing+=("$package")
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=()
[ "$(id -u)" -eq 0 ] || sudo=(sudo)
echo "Installing: ${missing[*]}"
for package in "${missing[@]}"; do
  if [[ "$package" == *:i386 ]] && ! dpkg --print-foreign-architectures | grep -qx i386; then
    "${sudo[@]}" dpkg --add-architecture i386
  fi
done
export DEBIAN_FRONTEND=noninteractive
"${sudo[@]}" apt-get update -qq
"${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}" </dev/null
