#!/usr/bin/env bash
# Builds the libFuzzer targets (clang, ASan, UBSan; TinyXML from Debian's
# source package, built as Debian builds it but instrumented alike) and
# fuzzes one for the
# given number of seconds (default 60). Extra arguments go to libFuzzer,
# for example -jobs=2 -workers=2. A crash leaves its input in build-fuzz/.
#
#   fuzz.sh [--target import|rows|bounds|tools] [SECONDS] [libFuzzer options]
#
# import (the default): the whole import, from the committed seeds, the
#   test models and a small generated model.
# rows: the import read one row at a time against the import of the whole
#   document (store, messages, report with its lines), from the import's
#   seeds.
# tools: dictcheck's report with its text, JSON, page and plans, and
#   dictdiff's comparison with a mutated copy, with its text, JSON, CSV
#   and page, from the import's seeds.
# bounds: the guard against TinyXML itself, from its own seeds and the
#   import's, on inputs of up to 8 KB (TinyXML's parse of deep nesting
#   takes time quadratic in the depth, and 8 KB nest far past the bound).
set -euo pipefail
cd "$(dirname "$0")/.."
target=import
if [ "${1:-}" = "--target" ]; then
  target="${2:?fuzz.sh: --target needs import, rows, bounds or tools}"
  shift 2
fi
seconds="${1:-60}"
shift || true
case "$target" in
  import) dict=fuzz/import.dict; max_len=65536 ;;
  rows) dict=fuzz/import.dict; max_len=65536 ;;
  bounds) dict=fuzz/bounds.dict; max_len=8192 ;;
  tools) dict=fuzz/import.dict; max_len=65536 ;;
  *) echo "fuzz.sh: unknown target $target (import, rows, bounds or tools)" >&2; exit 2 ;;
esac
bash scripts/setup.sh --with-fuzzer
# TinyXML built from Debian's sources with the same instrumentation, so
# that the fuzzer is guided by TinyXML's branches as well as the plug-in's,
# and ASan checks TinyXML's every access too.
bash scripts/tinyxml-source.sh build-fuzz/tinyxml-src
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz
corpus="build-fuzz/corpus-$target"
mkdir -p "$corpus"
cp fuzz/corpus/* tests/data/*.xml "$corpus/"
[ "$target" = bounds ] && cp fuzz/bounds-corpus/* "$corpus/"
rm -f "$corpus/generated-model.xml"
build-fuzz/bin/modelgen --storeys 1 --bays-x 1 --bays-y 1 -o "$corpus/generated-model.xml" 2>/dev/null
cd build-fuzz
"bin/${target}_fuzzer" -max_total_time="$seconds" -max_len="$max_len" -dict="../$dict" \
  -print_final_stats=1 -artifact_prefix=./ "$@" "corpus-$target"
