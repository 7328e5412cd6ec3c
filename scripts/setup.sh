#!/usr/bin/env bash
# Installs, from Debian's packages, whatever the build and the tests need
# and this machine lacks; then generates the de_DE.UTF-8 locale the
# conversion tests run under. Safe to run again: it installs nothing twice.
set -euo pipefail

packages=(cmake ninja-build g++ pkg-config libtinyxml-dev libcli11-dev nlohmann-json3-dev
          libgtest-dev locales)
case "${1:-}" in
  --with-sanitizers) packages+=(clang libclang-rt-dev) ;;
  --with-windows) packages+=(g++-mingw-w64-x86-64 wine64 dpkg-dev patch) ;;
  --with-host-abi) packages+=(clang g++-mingw-w64-x86-64) ;;
esac

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done

sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  $sudo apt-get update -q
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -q --no-install-recommends "${missing[@]}"
fi

# The Windows build takes TinyXML's sources with apt-get source, which
# needs Debian's source lists.
if [ "${1:-}" = "--with-windows" ] && ! grep -rqs '^Types:.*deb-src\|^deb-src' /etc/apt/sources.list /etc/apt/sources.list.d/; then
  $sudo tee /etc/apt/sources.list.d/debian-src.sources >/dev/null <<'SOURCES'
Types: deb-src
URIs: http://deb.debian.org/debian
Suites: bookworm bookworm-updates
Components: main

Types: deb-src
URIs: http://deb.debian.org/debian-security
Suites: bookworm-security
Components: main
SOURCES
  $sudo apt-get update -q
fi

if ! locale -a 2>/dev/null | grep -qi '^de_DE\.utf-\?8$'; then
  $sudo sed -i 's/^# *de_DE.UTF-8 UTF-8/de_DE.UTF-8 UTF-8/' /etc/locale.gen
  grep -q '^de_DE.UTF-8 UTF-8' /etc/locale.gen || echo 'de_DE.UTF-8 UTF-8' | $sudo tee -a /etc/locale.gen >/dev/null
  $sudo locale-gen >/dev/null
fi
