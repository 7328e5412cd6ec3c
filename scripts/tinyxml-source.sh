#!/usr/bin/env bash
# Fetches Debian's tinyxml source package into DIR (unless it is there),
# with apt-get source, never committed. With --own-string, Debian's patch
# that forces TIXML_USE_STL is reverted (the library's own string class, as
# the host's build has it); its other patches, the CVE fixes among them,
# stay either way. Needs the source entries setup.sh derives.
#
#   tinyxml-source.sh DIR [--own-string]
set -euo pipefail
src="${1:?tinyxml-source.sh: DIR is required}"
own_string="${2:-}"
if [ ! -f "$src/tinyxml.cpp" ]; then
  fetch=$(mktemp -d)
  (cd "$fetch" && apt-get source -q tinyxml >/dev/null 2>&1) ||
    { echo "tinyxml-source.sh: apt-get source tinyxml failed" >&2; rm -rf "$fetch"; exit 1; }
  mkdir -p "$(dirname "$src")"
  rm -rf "$src"
  mv "$fetch"/tinyxml-*/ "$src"
  rm -rf "$fetch"
  [ "$own_string" = --own-string ] && (cd "$src" && patch -s -R -p1 < debian/patches/enforce-use-stl.patch)
fi
forced=no
grep -q '^\s*#define TIXML_USE_STL' "$src/tinyxml.h" && forced=yes
if { [ "$own_string" = --own-string ] && [ $forced = yes ]; } || { [ "$own_string" != --own-string ] && [ $forced = no ]; }; then
  echo "tinyxml-source.sh: $src does not match the build asked for (TIXML_USE_STL forced: $forced)" >&2
  exit 1
fi
