#!/usr/bin/env bash
# Configures and builds one build folder: scripts/build.sh DIR [cmake options...]
set -euo pipefail
cd "$(dirname "$0")/.."
dir=${1:-build/release}
shift || true
# Paths relative to the checkout, so that clones and work trees share one compiler cache.
export CCACHE_BASEDIR="${CCACHE_BASEDIR:-$(pwd)}"
cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=Release "$@" > "$dir.configure.log" 2>&1 || {
  mkdir -p "$(dirname "$dir")"; cat "$dir.configure.log"; exit 1; }
cmake --build "$dir"
