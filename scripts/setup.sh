#!/usr/bin/env bash
# Installs, from Debian's packages, whatever the build and the tests need
# and this machine lacks; then generates the de_DE.UTF-8 locale the
# conversion tests run under. With --run, only what building the plug-in,
# its host stand-ins and hostsim needs (no test libraries, browser or
# fonts). Safe to run again: it installs nothing twice.
set -euo pipefail

packages=(cmake ninja-build g++ pkg-config libtinyxml-dev libcli11-dev nlohmann-json3-dev)
[ "${1:-}" = --run ] || packages+=(libgtest-dev locales chromium fonts-wqy-microhei libpng-dev groff-base)
case "${1:-}" in
  --with-sanitizers) packages+=(clang libclang-rt-dev) ;;
  --with-fuzzer) packages+=(clang libclang-rt-dev dpkg-dev patch) ;;
  --with-windows) packages+=(g++-mingw-w64-x86-64 wine64 dpkg-dev patch) ;;
  --with-host-abi) packages+=(clang g++-mingw-w64-x86-64) ;;
  --with-release) packages+=(lintian dpkg-dev man-db binutils-mingw-w64-x86-64) ;;
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

# TinyXML's sources (the Windows build, the fuzz targets) come with
# apt-get source, which needs source entries: one deb-src beside each deb
# source the machine's apt already has, same archive, suites and keys.
if [ "${1:-}" = "--with-windows" ] || [ "${1:-}" = "--with-fuzzer" ]; then
  one_line=() deb822=()
  for f in /etc/apt/sources.list /etc/apt/sources.list.d/*.list; do [ -f "$f" ] && one_line+=("$f"); done
  for f in /etc/apt/sources.list.d/*.sources; do [ -f "$f" ] && deb822+=("$f"); done
  if ! cat /dev/null "${one_line[@]}" "${deb822[@]}" | grep -q '^Types:.*deb-src\|^[[:space:]]*deb-src'; then
    derived=/etc/apt/sources.list.d/dictimport-deb-src
    # One-line entries: "deb [options] URI suite components".
    cat /dev/null "${one_line[@]}" | sed -n 's/^[[:space:]]*deb[[:space:]]/deb-src /p' |
      $sudo tee "$derived.list" >/dev/null
    # deb822 stanzas: each enabled stanza whose types hold deb, as deb-src.
    cat /dev/null "${deb822[@]}" | awk 'BEGIN { RS = "" }
      /(^|\n)Types:[^\n]*[[:space:]]deb([[:space:]]|$)/ && !/(^|\n)Enabled:[[:space:]]*no/ {
        out = ""
        n = split($0, lines, "\n")
        for (i = 1; i <= n; i++) {
          if (lines[i] ~ /^Types:/) lines[i] = "Types: deb-src"
          if (lines[i] !~ /^#/) out = out lines[i] "\n"
        }
        printf "%s\n", out
      }' | $sudo tee "$derived.sources" >/dev/null
    [ -s "$derived.list" ] || $sudo rm -f "$derived.list"
    [ -s "$derived.sources" ] || $sudo rm -f "$derived.sources"
    $sudo apt-get update -q || echo "setup.sh: apt-get update reported errors; apt-get source may still work" >&2
  fi
fi

[ "${1:-}" = --run ] && exit 0

if ! locale -a 2>/dev/null | grep -qi '^de_DE\.utf-\?8$'; then
  $sudo sed -i 's/^# *de_DE.UTF-8 UTF-8/de_DE.UTF-8 UTF-8/' /etc/locale.gen
  grep -q '^de_DE.UTF-8 UTF-8' /etc/locale.gen || echo 'de_DE.UTF-8 UTF-8' | $sudo tee -a /etc/locale.gen >/dev/null
  $sudo locale-gen >/dev/null
fi
