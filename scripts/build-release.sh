#!/usr/bin/env bash
# Builds the two release packages (README, Releases):
# - build-release/packages/dictimport_<version>_amd64.deb, from a native
#   build with Debian's build flags (hardening included), its dependencies
#   found by dpkg-shlibdeps;
# - build-windows/packages/dictimport-<version>-win64.zip, from the
#   MinGW-w64 build (scripts/build-windows.sh).
# scripts/test-release.sh then checks both as a user would.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh --with-release

# The flags a Debian package's own build takes, given here explicitly so
# that they apply to an existing build folder too.
export DEB_BUILD_MAINT_OPTIONS=hardening=+all
cxxflags="$(dpkg-buildflags --get CXXFLAGS) $(dpkg-buildflags --get CPPFLAGS)"
ldflags=$(dpkg-buildflags --get LDFLAGS)
cmake --preset release -DCMAKE_CXX_FLAGS="$cxxflags" -DCMAKE_EXE_LINKER_FLAGS="$ldflags" \
  -DCMAKE_SHARED_LINKER_FLAGS="$ldflags" -DCMAKE_MODULE_LINKER_FLAGS="$ldflags" >/dev/null
cmake --build --preset release
(cd build-release && cpack)

bash scripts/build-windows.sh
(cd build-windows && cpack)
