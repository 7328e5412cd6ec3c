#!/usr/bin/env bash
# Builds the plug-in and hostsim, then imports the bundled sample model and
# writes the store's dump to build/sample.json.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
cmake --preset default >/dev/null
cmake --build --preset default
build/bin/hostsim --json build/sample.json samples/sample.xml
echo "Dump written to build/sample.json"
