#!/usr/bin/env bash
# Checks the release packages of scripts/build-release.sh as their users
# would, against the native build of scripts/test.sh:
# - the Debian package: lintian (no error; every tag shown); installed with
#   dpkg into an empty root folder, with its commands, manual pages and
#   completions used from there (no LD_LIBRARY_PATH) and their outputs
#   compared with the native build's; every library they load is in the
#   package or in a package it depends on; removed again without leftovers;
#   the same install rules into a prefix with cmake --install;
# - the Windows zip: unpacked into an empty folder, every DLL its modules
#   import inside it or Windows' own (objdump), run under wine in a fresh
#   prefix, the README's first command line included, its outputs compared
#   with the native build's.
set -uo pipefail
cd "$(dirname "$0")/.."
root=$PWD
native=$root/build/bin
[ -x "$native/dictcheck" ] || { echo "test-release.sh: run scripts/test.sh first (the native build)" >&2; exit 2; }
deb=$(ls build-release/packages/dictimport_*_amd64.deb 2>/dev/null | head -n 1)
zip=$(ls build-windows/packages/dictimport-*-win64.zip 2>/dev/null | head -n 1)
[ -n "$deb" ] && [ -n "$zip" ] ||
  { echo "test-release.sh: run scripts/build-release.sh first (no package found)" >&2; exit 2; }
version=$(dpkg-deb -f "$deb" Version)
work=$(mktemp -d)
wine=/usr/lib/wine/wine64
export WINEDEBUG=-all WINEPREFIX="$work/wineprefix" WINEDLLOVERRIDES="mscoree,mshtml="
trap '/usr/lib/wine/wineserver -k >/dev/null 2>&1; rm -rf "$work"' EXIT
unset LD_LIBRARY_PATH
source scripts/checks.sh

# The sample and the test models, and the native build's outputs on them,
# in a folder of their own: dictcheck reports on all of them, hostsim
# imports the sample, dictdiff compares it with a model of another seed.
data=$work/data
mkdir -p "$data"
cp samples/sample.xml tests/data/*.xml "$data/"
models=(sample.xml $(cd tests/data && ls -- *.xml))
(cd "$data" && "$native/dictcheck" --json native-report.json "${models[@]}" >native-check.txt 2>&1
 echo $? >native-check.status
 PROGRESS_LOG=native-progress.log "$native/hostsim" --json native-dump.json sample.xml >/dev/null 2>&1
 "$native/modelgen" --storeys 6 --bays-x 4 --bays-y 3 --seed 2027 -o revised.xml 2>/dev/null
 "$native/dictdiff" --json native-diff.json --html native-diff.html sample.xml revised.xml >native-diff.txt 2>&1
 echo $? >native-diff.status)

same() { # label, expected file, actual file
  cmp -s "$2" "$3" || { echo "$1: $3 differs from $2"; diff "$2" "$3" | head -n 5; return 1; }
}

# --- The Debian package ---------------------------------------------------

lint() {
  lintian --pedantic --display-info --fail-on error "$deb" 2>&1 | grep -v '^running with root privileges' |
    sed 's/^/  lintian: /'
  return "${PIPESTATUS[0]}"
}
check "lintian finds no error" lint

# An empty root folder with its own dpkg database; the dependencies are
# the build machine's (checked below), so dpkg is told not to look for them.
sysroot=$work/root
mkdir -p "$sysroot/var/lib/dpkg/info" "$sysroot/var/lib/dpkg/updates" "$sysroot/var/lib/dpkg/triggers"
touch "$sysroot/var/lib/dpkg/status" "$sysroot/var/lib/dpkg/available"
dpkg_root() { dpkg --root="$sysroot" --log=/dev/null --force-not-root "$@"; }
installed() {
  dpkg_root --force-depends -i "$deb" >"$work/dpkg.txt" 2>&1 || { cat "$work/dpkg.txt"; return 1; }
  dpkg_root -s dictimport | grep -q '^Status: install ok installed'
}
check "dpkg installs the package into an empty root" installed
bin=$sysroot/usr/bin

versions() {
  local command
  for command in "$bin"/*; do
    [ "$("$command" --version)" = "$(basename "$command") $version" ] ||
      { echo "$command --version: $("$command" --version 2>&1)"; return 1; }
  done
}
check "each installed command prints its version" versions

# Every command has its manual page, which man finds and shows.
manuals() {
  local command name
  for command in "$bin"/*; do
    name=$(basename "$command")
    MANPATH="$sysroot/usr/share/man" MANWIDTH=80 man -P cat "$name" >"$work/man.txt" 2>"$work/man-errors.txt" ||
      { echo "man $name: $(cat "$work/man-errors.txt")"; return 1; }
    grep -q "^NAME" "$work/man.txt" && grep -q -- "--version" "$work/man.txt" && grep -q "$name - " "$work/man.txt" &&
      grep -q "^EXIT STATUS" "$work/man.txt" && grep -q "^EXAMPLES" "$work/man.txt" ||
      { echo "man $name:"; head -n 12 "$work/man.txt"; return 1; }
  done
  MANPATH="$sysroot/usr/share/man" MANWIDTH=80 man -P cat dictcheck | grep -q -- "--examples"
}
check "man shows each command's manual page" manuals

# The installed modelgen writes the bundled sample again, byte for byte.
check "installed modelgen writes the sample" bash -c "cd '$work' &&
  '$bin/modelgen' --storeys 6 --bays-x 4 --bays-y 3 --seed 2026 -o installed-sample.xml 2>/dev/null &&
  cmp -s installed-sample.xml '$root/samples/sample.xml'"

installed_check() { # dictcheck
  (cd "$data" && "$1" --json installed-report.json "${models[@]}" >installed-check.txt 2>&1
   [ $? -eq "$(cat native-check.status)" ]) || { echo "exit status differs"; return 1; }
  same "report" "$data/native-check.txt" "$data/installed-check.txt" &&
    same "JSON report" "$data/native-report.json" "$data/installed-report.json"
}
check "installed dictcheck reports on the models as the native one" installed_check "$bin/dictcheck"

installed_import() { # hostsim
  rm -f "$data/installed-progress.log"
  (cd "$data" && PROGRESS_LOG=installed-progress.log "$1" --json installed-dump.json sample.xml >/dev/null) &&
    same "dump" "$data/native-dump.json" "$data/installed-dump.json" &&
    same "progress log" "$data/native-progress.log" "$data/installed-progress.log"
}
check "installed hostsim imports the sample as the native one" installed_import "$bin/hostsim"

compared() { # dictdiff, the name of its outputs, then how to run it
  local outputs=$2
  (cd "$data" && "${@:3}" "$1" --json "$outputs-diff.json" --html "$outputs-diff.html" sample.xml revised.xml \
     >"$outputs-diff.crlf" 2>&1
   [ $? -eq "$(cat native-diff.status)" ]) || { echo "exit status differs"; return 1; }
  tr -d '\r' <"$data/$outputs-diff.crlf" >"$data/$outputs-diff.txt"
  same "comparison" "$data/native-diff.txt" "$data/$outputs-diff.txt" &&
    same "JSON comparison" "$data/native-diff.json" "$data/$outputs-diff.json" &&
    same "comparison page" "$data/native-diff.html" "$data/$outputs-diff.html"
}
check "installed dictdiff compares two models as the native one" compared "$bin/dictdiff" installed

# Each library the installed modules load is the package's own, from its
# folder, or a file of a package it depends on (dpkg-shlibdeps found them).
libraries() {
  local depends module line library owner
  depends=$(dpkg-deb -f "$deb" Depends)
  for module in "$sysroot"/usr/lib/*/dictimport/*; do
    ldd "$module" >"$work/ldd.txt" 2>&1 || { echo "ldd $module: $(cat "$work/ldd.txt")"; return 1; }
    while read -r line; do
      case "$line" in
        *"not found"*) echo "$module: $line"; return 1 ;;
        *"=> $sysroot/"*) continue ;;
        *"=> /"*) library=$(echo "$line" | sed 's/.*=> \([^ ]*\) .*/\1/') ;;
        *) continue ;;
      esac
      owner=$(dpkg -S "$library" 2>/dev/null || dpkg -S "$(readlink -f "$library")" 2>/dev/null)
      owner=$(echo "$owner" | head -n 1 | cut -d: -f1)
      [ -n "$owner" ] && [[ ", $depends" == *", $owner "* || ", $depends," == *", $owner,"* ]] ||
        { echo "$module: $library is from '$owner', not among the dependencies: $depends"; return 1; }
    done <"$work/ldd.txt"
  done
}
check "every library the installed modules load is theirs or a dependency's" libraries

# The completions, as bash uses them: options and their choices from the
# command's own --help.
completes() { # expected words, command line words...
  local expected=$1
  shift
  local got
  got=$(PATH="$bin:$PATH" bash -c 'source "$1"; shift; COMP_WORDS=("$@"); COMP_CWORD=$(($# - 1))
                                   _dictimport_complete "$1"; echo "${COMPREPLY[*]}"' \
        completion "$sysroot/usr/share/bash-completion/completions/$1" "$@")
  [ "$got" = "$expected" ] || { echo "completing '$*': '$got', expected '$expected'"; return 1; }
}
check "completion: hostsim's options" completes "--json --json-layout" hostsim --js
check "completion: hostsim's layouts" completes "compact lines" hostsim --json-layout ""
check "completion: a file after --json" completes "" hostsim --json ""
check "completion: dictcheck's options" completes "--examples" dictcheck --ex
check "completion: modelgen's options" completes "--bays-x --bays-y" modelgen --ba

removed() {
  dpkg_root -P dictimport >"$work/dpkg.txt" 2>&1 || { cat "$work/dpkg.txt"; return 1; }
  local left
  left=$(find "$sysroot" -mindepth 1 -not -path "$sysroot/var*" -not -type d)
  [ -z "$left" ] || { echo "left after removal: $left"; return 1; }
}
check "dpkg removes the package without leftovers" removed

# The same install rules into a prefix, without a package.
prefix_install() {
  cmake --install build-release --prefix "$work/prefix" >/dev/null &&
    installed_check "$work/prefix/bin/dictcheck" && installed_import "$work/prefix/bin/hostsim"
}
check "cmake --install into a prefix: dictcheck and hostsim work from there" prefix_install

# --- The Windows zip ------------------------------------------------------

unpacked=$work/unpacked
mkdir -p "$unpacked"
(cd "$unpacked" && cmake -E tar xf "$root/$zip")
app=$(ls -d "$unpacked"/*/)
app=${app%/}
dlls() { cmake -DDIR="$1" -DOBJDUMP=x86_64-w64-mingw32-objdump -P cmake/WindowsDlls.cmake >"$work/dlls.txt" 2>&1; }
check "every DLL the zip's modules import is in it or Windows' own" dlls "$app"
refused() {
  cp -r "$app" "$work/lacking" && rm "$work/lacking/hoststore.dll"
  ! dlls "$work/lacking" && grep -q "needs hoststore.dll" "$work/dlls.txt" ||
    { echo "a folder without hoststore.dll passed: $(cat "$work/dlls.txt")"; return 1; }
}
check "the DLL check refuses a folder that lacks hoststore.dll" refused

contents() {
  local file
  for file in DictImport.dll hoststore.dll hostframework.dll UlmarB_UI_Progressu.dll dictcheck.exe hostsim.exe \
              dictdiff.exe \
              README.txt INTEGRATING.txt docs/format.txt docs/reliability.txt; do
    [ -s "$app/$file" ] || { echo "missing from the zip: $file"; return 1; }
  done
  grep -q "^## Building with the host's compiler" "$app/INTEGRATING.txt" &&
    ! grep -q "^## hostsim" "$app/INTEGRATING.txt" || { echo "INTEGRATING.txt is not that section alone"; return 1; }
  # Texts for Notepad: every line ends in CRLF.
  for file in README.txt INTEGRATING.txt docs/format.txt; do
    ! grep -q $'[^\r]$' "$app/$file" || { echo "$file has lines without CR"; return 1; }
  done
}
check "the zip holds the plug-in, the stand-ins, the commands and their texts" contents

"$wine" wineboot -i >/dev/null 2>&1
wine_versions() {
  local command
  for command in "$app"/*.exe; do
    [ "$("$wine" "$command" --version | tr -d '\r')" = "$(basename "$command" .exe) $version" ] ||
      { echo "$command --version: $("$wine" "$command" --version 2>&1)"; return 1; }
  done
}
check "each command of the zip prints its version under wine" wine_versions

check "modelgen.exe writes the sample under wine" bash -c "cd '$work' &&
  '$wine' '$app/modelgen.exe' --storeys 6 --bays-x 4 --bays-y 3 --seed 2026 -o wine-sample.xml 2>/dev/null &&
  cmp -s wine-sample.xml '$root/samples/sample.xml'"

wine_check() {
  (cd "$data" && "$wine" "$app/dictcheck.exe" --json wine-report.json "${models[@]}" >wine-check.crlf 2>&1
   [ $? -eq "$(cat native-check.status)" ]) || { echo "exit status differs"; return 1; }
  tr -d '\r' <"$data/wine-check.crlf" >"$data/wine-check.txt"
  same "report" "$data/native-check.txt" "$data/wine-check.txt" &&
    same "JSON report" "$data/native-report.json" "$data/wine-report.json"
}
check "dictcheck.exe reports on the models as the native dictcheck" wine_check

wine_import() {
  rm -f "$data/wine-progress.log"
  (cd "$data" && PROGRESS_LOG=wine-progress.log "$wine" "$app/hostsim.exe" --json wine-dump.json sample.xml \
     >/dev/null 2>&1) &&
    same "dump" "$data/native-dump.json" "$data/wine-dump.json" &&
    same "progress log" "$data/native-progress.log" "$data/wine-progress.log"
}
check "hostsim.exe imports the sample as the native hostsim" wine_import
check "dictdiff.exe compares two models as the native dictdiff" compared "$app/dictdiff.exe" wine "$wine"

# The README's first line, run as written, with the sample for its file.
readme_line() {
  local line program argument
  line=$(head -n 1 "$app/README.txt" | tr -d '\r')
  read -r program argument <<<"$line"
  [ -x "$app/$program" ] && [ -n "$argument" ] || { echo "README's first line: '$line'"; return 1; }
  (cd "$data" && "$wine" "$app/$program" sample.xml >readme.crlf 2>&1
   "$native/dictcheck" sample.xml >readme.txt 2>&1)
  tr -d '\r' <"$data/readme.crlf" | cmp -s - "$data/readme.txt" ||
    { echo "'$program sample.xml' under wine:"; head -n 3 "$data/readme.crlf"; return 1; }
}
check "the README's first command line checks a file under wine" readme_line

checks_summary release
