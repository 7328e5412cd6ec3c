#!/usr/bin/env bash
# Cross-builds the plug-in, the store and progress stand-ins and hostsim for
# 64-bit Windows into build-windows/bin. TinyXML is built from Debian's
# tinyxml source package, fetched here with apt-get source (never
# committed), with the library's own string class as the original build
# had it: Debian's patch that forces TIXML_USE_STL is reverted, its other
# patches (the CVE fixes among them) stay.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh --with-windows
bash scripts/tinyxml-source.sh build-windows/tinyxml-src --own-string
cmake --preset windows >/dev/null
cmake --build --preset windows
