#!/usr/bin/env bash
# The main job: installs what is needed, builds a Release build and renders the bundled sample
# photograph with every available effect into out/.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
mkdir -p build out
bash scripts/build.sh build/release
CLI=build/release/cli/brumeleaf-cli
SAMPLE=resources/samples/sample.jpg
"$CLI" info "$SAMPLE"
"$CLI" convert "$SAMPLE" out/sample.png
if "$CLI" effects > out/effects.txt 2>/dev/null; then
  "$CLI" render-all "$SAMPLE" out/ || true
fi
echo "Results are in out/"
