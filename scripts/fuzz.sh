#!/usr/bin/env bash
# Builds the fuzz targets with clang (libFuzzer, AddressSanitizer, UndefinedBehaviorSanitizer)
# and runs each one in turn: scripts/fuzz.sh [SECONDS_PER_TARGET] [TARGET...]
# The normal build needs no clang: only this script installs it.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-600}
shift || true
bash scripts/install-deps.sh
if ! command -v clang++ > /dev/null || ! ls /usr/lib/llvm-*/lib/clang/*/lib/linux/libclang_rt.fuzzer-x86_64.a > /dev/null 2>&1; then
  SUDO=""
  if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends clang libclang-rt-14-dev
fi
dir=build-fuzz
mkdir -p "$dir"
CC=clang CXX=clang++ cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DBRUMELEAF_FUZZ=ON -DBRUMELEAF_SANITIZE=ON -DBRUMELEAF_BUILD_APP=OFF -DBRUMELEAF_BUILD_BENCH=OFF \
  > "$dir/configure.log" 2>&1 || { cat "$dir/configure.log"; exit 1; }
targets=(DecodeJpegFuzz DecodePngFuzz DecodeGifFuzz DecodeBmpFuzz MetadataFuzz
         ParameterFileFuzz SettingsFileFuzz ApplyOptionsFuzz)
if [ $# -gt 0 ]; then targets=("$@"); fi
cmake --build "$dir" --target "${targets[@]}" -- -j"${JOBS:-2}"
# Seeds live in the repository: tiny pictures of every format (made by our own encoders, and
# giflib for GIF) for the picture readers, and a few files or argument lists for each other
# target in fuzz/seeds/TARGET. What a run adds stays in build-fuzz/corpus for the next run.
for target in "${targets[@]}"; do
  seeds=fuzz/seeds/$target
  [ -d "$seeds" ] || seeds=fuzz/seeds/pictures
  corpus="$dir/corpus/$target"
  mkdir -p "$corpus" "$dir/findings/$target"
  echo "== $target ($seconds s)"
  # Pictures up to 1.5 GB are legal; the limits keep a run inside the machine's memory.
  "$dir/fuzz/$target" "$corpus" "$seeds" -max_total_time="$seconds" -max_len=65536 \
    -rss_limit_mb=4096 -malloc_limit_mb=2048 -timeout=30 -print_final_stats=1 \
    -artifact_prefix="$dir/findings/$target/" 2>&1 | grep -E "^stat::number_of_executed_units|^stat::peak_rss|ERROR|SUMMARY|Done [0-9]+ runs" || true
done
