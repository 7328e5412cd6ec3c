#!/usr/bin/env bash
# Checks what the host's own compiler (Microsoft C++ ABI) will see: the
# virtual slot orders of the host-facing classes under the Microsoft and
# GNU ABIs, and a syntax-only compile of the plug-in's sources for the
# Microsoft ABI. Installs clang and MinGW-w64's headers when missing; fails
# when the checks are not there to run.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh --with-host-abi
cmake --preset default >/dev/null
cmake --build --preset default --target host_abi_test
ctest --preset default -L host-abi --no-tests=error
