#!/usr/bin/env bash
# Checks that each library reaches only the headers of the libraries it
# links. The build enforces it (every library has an include root of its
# own); this checks that the enforcement itself holds: no CMakeLists.txt
# adds the repository's root as an include directory again, and the
# layering probes (tests/layering) find what each target uses and miss
# what it does not link. Needs a configured build only, not a built one.
set -euo pipefail
cd "$(dirname "$0")/.."

# The host-ABI syntax check compiles by hand with the root on purpose.
roots=$(grep -rnE --include=CMakeLists.txt --include='*.cmake' \
          'include_directories\([^)]*(PROJECT_SOURCE_DIR|CMAKE_SOURCE_DIR)' \
          --exclude-dir='build*' --exclude-dir=.git . || true)
if [ -n "$roots" ]; then
  echo "check-includes: the repository's root is an include directory again, so any file reaches any header:" >&2
  echo "$roots" >&2
  exit 1
fi

cmake --preset default >/dev/null
if ! ctest --preset default -L layering -j "$(nproc)"; then
  echo "check-includes: a target reaches a header of a library it does not link, or misses one it uses" >&2
  echo "  (see the failed layering:<target>:<found|missing>:<header> probes above and tests/layering/CMakeLists.txt)" >&2
  exit 1
fi
echo "check-includes: every library reaches only what it links"
