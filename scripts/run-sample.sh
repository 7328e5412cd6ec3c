#!/usr/bin/env bash
# Builds the plug-in, its host stand-ins and hostsim (nothing else: the
# tests and the other tools are the test command's), then imports the
# bundled sample model and writes the store's dump to build/sample.json.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh --run
cmake --preset run >/dev/null
cmake --build --preset run
build/bin/hostsim --json build/sample.json samples/sample.xml
echo "Dump written to build/sample.json"
