#!/usr/bin/env bash
# Builds the decoder fuzz targets with clang (libFuzzer, AddressSanitizer, UndefinedBehaviorSanitizer)
# and runs each one briefly: scripts/fuzz.sh [SECONDS_PER_TARGET]
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-30}
bash scripts/install-deps.sh
if ! command -v clang++ > /dev/null; then
  SUDO=""
  if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends clang
fi
dir=build-fuzz
mkdir -p "$dir"
CC=clang CXX=clang++ cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DBRUMELEAF_FUZZ=ON -DBRUMELEAF_SANITIZE=ON -DBRUMELEAF_BUILD_APP=OFF -DBRUMELEAF_BUILD_BENCH=OFF \
  > "$dir/configure.log" 2>&1 || { cat "$dir/configure.log"; exit 1; }
targets=(DecodeJpegFuzz DecodePngFuzz DecodeGifFuzz DecodeBmpFuzz MetadataFuzz)
cmake --build "$dir" --target "${targets[@]}" -- -j"${JOBS:-2}"
# Seeds: one tiny picture of every format, made by our own encoders (and giflib for GIF).
seeds=fuzz/seeds
for target in "${targets[@]}"; do
  corpus="$dir/corpus/$target"
  mkdir -p "$corpus"
  # Pictures up to 1.5 GB are legal; the limit keeps a run inside the machine's memory.
  "$dir/fuzz/$target" "$corpus" "$seeds" -max_total_time="$seconds" -max_len=65536 \
    -rss_limit_mb=4096 -malloc_limit_mb=2048 -print_final_stats=1 2>&1 | tail -n 3
done
