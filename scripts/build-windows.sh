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
src=build-windows/tinyxml-src
if [ ! -f "$src/tinyxml.cpp" ]; then
  fetch=$(mktemp -d)
  (cd "$fetch" && apt-get source -q tinyxml >/dev/null 2>&1)
  mkdir -p build-windows
  rm -rf "$src"
  mv "$fetch"/tinyxml-*/ "$src"
  rm -rf "$fetch"
  (cd "$src" && patch -s -R -p1 < debian/patches/enforce-use-stl.patch)
fi
if grep -q '^#define TIXML_USE_STL\|^\s*#define TIXML_USE_STL' "$src/tinyxml.h"; then
  echo "build-windows.sh: $src/tinyxml.h still forces TIXML_USE_STL" >&2
  exit 1
fi
cmake --preset windows >/dev/null
cmake --build --preset windows
