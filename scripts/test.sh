#!/usr/bin/env bash
# Installs what is needed, builds and runs the whole test suite.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
mkdir -p build
bash scripts/build.sh build/release
ctest --test-dir build/release --output-on-failure
