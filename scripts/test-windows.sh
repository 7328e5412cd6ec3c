#!/usr/bin/env bash
# Runs hostsim.exe under wine64 on every test model and checks that its
# JSON dumps and progress logs are byte-identical to the native build's,
# with the full progress stand-in, each variant lacking an entry point and
# no progress library at all; checks the DLL's export table. Needs the
# native build (scripts/test.sh) and the Windows build (build-windows.sh).
set -uo pipefail
cd "$(dirname "$0")/.."
root=$PWD
wine=/usr/lib/wine/wine64
export WINEDEBUG=-all WINEPREFIX="$root/build-windows/wineprefix" WINEDLLOVERRIDES="mscoree,mshtml="
work=$(mktemp -d)
trap 'rm -rf "$work"; /usr/lib/wine/wineserver -k >/dev/null 2>&1 || true' EXIT
source scripts/checks.sh

# App folders: the native one holds a copy of the plug-in, the Windows one
# hostsim.exe with its DLLs, as the host keeps them; each gets the given
# progress library (a variant's folder name, "full", or "none").
app() { # kind, variant
  local dir="$work/app-$1-$2"
  if [ ! -d "$dir" ]; then
    mkdir -p "$dir"
    if [ "$1" = native ]; then
      cp build/bin/libDictImport.so "$dir/"
    else
      cp build-windows/bin/hostsim.exe build-windows/bin/hoststore.dll build-windows/bin/hostframework.dll \
         build-windows/bin/DictImport.dll "$dir/"
    fi
    local bin=build/bin
    [ "$1" = windows ] && bin=build-windows/bin
    case "$2" in
      none) ;;
      full) cp "$bin/UlmarB_UI_Progressu.dll" "$dir/" ;;
      *) cp "${bin%/bin}/variants/$2/UlmarB_UI_Progressu.dll" "$dir/" ;;
    esac
  fi
  echo "$dir"
}

same() { # label, variant, model files...
  local label=$1 variant=$2
  shift 2
  local native windows
  native=$(app native "$variant")
  windows=$(app windows "$variant")
  local out="$work/$label"
  PROGRESS_LOG="$out.native.log" build/bin/hostsim --plugin "$native/libDictImport.so" --json "$out.native.json" "$@" \
    >/dev/null 2>&1
  (cd "$windows" && PROGRESS_LOG="$out.windows.log" "$wine" hostsim.exe --json "$out.windows.json" "$@" >/dev/null 2>&1)
  [ -s "$out.native.json" ] && cmp -s "$out.native.json" "$out.windows.json" || { echo "dumps differ: $label"; return 1; }
  if [ -e "$out.native.log" ] || [ -e "$out.windows.log" ]; then
    cmp -s "$out.native.log" "$out.windows.log" || { echo "progress logs differ: $label"; return 1; }
  fi
}

models=("$root/samples/sample.xml" "$root"/tests/data/*.xml)
build/bin/modelgen --storeys 1 --bays-x 1 --bays-y 1 --seed 3 -o "$work/generated-small.xml" 2>/dev/null
build/bin/modelgen --storeys 3 --bays-x 2 --bays-y 2 --seed 99 -o "$work/generated-medium.xml" 2>/dev/null
models+=("$work/generated-small.xml" "$work/generated-medium.xml")

"$wine" wineboot -i >/dev/null 2>&1
for model in "${models[@]}"; do
  check "$(basename "$model")" same "$(basename "$model" .xml)" full "$model"
done
check "two files in one run" same two-files full "$root/tests/data/one-section.xml" "$root/samples/sample.xml"
for variant in no-registe no-delay no-message none; do
  check "progress library: $variant" same "progress-$variant" "$variant" "$root/tests/data/one-section.xml" \
    "$root/tests/data/one-section.xml"
done

# Hostile files, 60 KB and more: each nests past the bound in a way an
# earlier guard missed, and would overflow the host thread's 1 MB stack.
# Both builds must refuse each with the same message and exit 1.
repeat() { # count, text
  yes "$2" | head -n "$1" | tr -d '\n'
}
hostile() { # name, text before, repeated piece, count, text after
  printf '%s' "$2" >"$work/$1.xml"
  repeat "$4" "$3" >>"$work/$1.xml"
  printf '%s' "$5" >>"$work/$1.xml"
  echo "$work/$1.xml"
}
refused() { # file
  local native windows
  native=$(app native full)
  windows=$(app windows full)
  build/bin/hostsim --plugin "$native/libDictImport.so" "$1" >/dev/null 2>"$work/refused.native.txt"
  local native_status=$?
  (cd "$windows" && "$wine" hostsim.exe "$1" >/dev/null 2>"$work/refused.windows.txt")
  local windows_status=$?
  [ "$native_status" -eq 1 ] && [ "$windows_status" -eq 1 ] || { echo "exit $native_status, $windows_status: $1"; return 1; }
  grep -q '嵌套超过 256 层' "$work/refused.native.txt" || { echo "native: $(cat "$work/refused.native.txt")"; return 1; }
  tr -d '\r' <"$work/refused.windows.txt" | cmp -s - "$work/refused.native.txt" ||
    { echo "windows: $(cat "$work/refused.windows.txt")"; return 1; }
}
check "hostile: quoted '>' in a declaration" refused \
  "$(hostile quote "<?xml version='1.0' standalone='>'<!--'?>" '<a>' 20000 '-->')"
check "hostile: a declaration that ends far away" refused "$(hostile far "<?xml version='1.0'" '<a>' 20000 '?>')"
check "hostile: a lead byte that swallows a quote" refused \
  "$(hostile lead "$(printf '<?xml version="1.0" encoding="UTF-8"?><r a="\xC3" b=">')" '<a>' 20000 '"/>')"
check "hostile: a reference that hides end tags" refused "$(hostile reference '<r>' '<a>&#x</a>x;' 6000 '')"

# A device and an empty path are refused at once, as natively.
told() { # path, message
  local windows
  windows=$(app windows full)
  (cd "$windows" && "$wine" hostsim.exe "$1" >/dev/null 2>"$work/told.txt")
  local status=$?
  [ "$status" -eq 1 ] && [ "$(tr -d '\r' <"$work/told.txt")" = "无法导入文件“$1”：$2" ] ||
    { echo "exit $status: $(cat "$work/told.txt")"; return 1; }
}
check "the console device NUL is refused" told NUL '这是一个设备，不是文件。'
check "an empty path is refused" told '' '没有给出文件路径。'

exports() {
  local names
  names=$(x86_64-w64-mingw32-objdump -p build-windows/bin/DictImport.dll |
          sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/p' | grep -o '^\s*\[ *[0-9]*\] .*' | sed 's/.*\] //')
  [ "$names" = "EventDispatcher" ] || { echo "exports: $names"; return 1; }
}
check "DictImport.dll exports EventDispatcher alone" exports

checks_summary windows
