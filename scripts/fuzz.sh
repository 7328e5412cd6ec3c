#!/usr/bin/env bash
# Builds the libFuzzer target (clang, ASan, UBSan) and fuzzes the whole
# import for the given number of seconds (default 60), from the committed
# seeds plus a small generated model. Extra arguments go to libFuzzer, for
# example -jobs=2 -workers=2. A crash leaves its input in build-fuzz/.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-60}"
shift || true
bash scripts/setup.sh --with-sanitizers
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz
corpus=build-fuzz/corpus
mkdir -p "$corpus"
cp fuzz/corpus/* "$corpus/"
build-fuzz/bin/modelgen --storeys 1 --bays-x 1 --bays-y 1 -o "$corpus/generated-model.xml" 2>/dev/null
cd build-fuzz
bin/import_fuzzer -max_total_time="$seconds" -max_len=65536 -dict=../fuzz/import.dict \
  -print_final_stats=1 -artifact_prefix=./ "$@" corpus
