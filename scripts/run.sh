#!/usr/bin/env bash
# Patches a Risen 2 installation with the native build of the patcher:
#   scripts/run.sh GAME_DIR   patches GAME_DIR/data/ini/ConfigDefault.xml
#   scripts/run.sh            patches a fresh copy of the sample game in a
#                             temporary directory and shows the settings
#                             before and after
# Installs a compiler and CMake first if they are missing.
set -euo pipefail
repo=$(cd "$(dirname "$0")/.." && pwd)

"$repo/scripts/install-deps.sh" run
build="$repo/build/run"
cmake -S "$repo" -B "$build" -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF >/dev/null
cmake --build "$build" --target evenbough >/dev/null

if [ $# -gt 0 ]; then
  exec "$build/evenbough" "$@"
fi

game="$(mktemp -d)/Risen 2"
cp -r "$repo/sample-game" "$game"
config="$game/data/ini/ConfigDefault.xml"
show() { grep -a 'SpeedTree_' "$config" | tr -d '\r' | sed 's/^ */    /'; }
echo "Sample game: $game"
echo "Before:"; show
"$build/evenbough" "$game"
echo "After:"; show
