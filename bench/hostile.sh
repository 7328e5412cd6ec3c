#!/usr/bin/env bash
# Times hostsim on hostile inputs at two sizes each, to show that import
# time grows linearly with the file (seconds per MB stay level) and that
# refused files are refused quickly. Needs the default build.
set -eu  # no pipefail: "yes | head" ends yes with SIGPIPE
cd "$(dirname "$0")/.."
hostsim=build/bin/hostsim
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

head_of() { printf '<D><Pairs><Pair><Key>ModelDB</Key><Value><Pairs><Pair><Key>%s</Key><Value><Pairs>' "$1"; }
tail_of() { printf '</Pairs></Value></Pair></Pairs></Value></Pair></Pairs></D>\n'; }

make_input() { # kind, scale (1 or 10), file
  local n=$2 f=$3
  case "$1" in
    long-text)
      { head_of FloorTable; printf '<Pair><Key><Value>1</Value></Key><Value><StoryName>'
        head -c $((n * 10000000)) /dev/zero | tr '\0' 'a'; printf '</StoryName></Value></Pair>'; tail_of; } > "$f" ;;
    sibling-rows)
      { head_of NodeTable
        seq 1 $((n * 100000)) | sed 's|.*|<Pair><Key><Value>&</Value></Key><Value><x>&.5</x></Value></Pair>|'; tail_of; } > "$f" ;;
    long-numbers)
      local digits; digits=$(head -c 10000 /dev/zero | tr '\0' '7')
      { head_of NodeTable
        for i in $(seq 1 $((n * 100))); do printf '<Pair><Key><Value>%s</Value></Key><Value><x>%s</x><y>-%s</y></Value></Pair>' "$digits" "$digits" "$digits"; done
        tail_of; } > "$f" ;;
    children-per-row)
      { head_of NodeTable; printf '<Pair><Key><Value>1</Value></Key><Value>'
        yes '<z>1</z>' | head -n $((n * 100000)) | tr -d '\n'; printf '<x>1</x></Value></Pair>'; tail_of; } > "$f" ;;
    deep-nesting)
      yes '<a>' | head -n $((n * 1000000)) | tr -d '\n' > "$f" ;;
    hidden-nesting)
      { printf "<?xml version='1.0' standalone='>'<!--'?>"; yes '<a>' | head -n $((n * 1000000)) | tr -d '\n'
        printf -- '-->'; } > "$f" ;;
    declaration-far)
      { printf "<?xml version='1.0'"; yes '<a>' | head -n $((n * 1000000)) | tr -d '\n'; printf '?>'; } > "$f" ;;
    many-attributes)
      { printf '<r'; seq 1 $((n * 100000)) | sed 's/.*/ a&="1"/' | tr -d '\n'; printf '/>'; } > "$f" ;;
    random-bytes)
      head -c $((n * 10000000)) /dev/urandom > "$f" ;;
  esac
}

printf '%-18s %10s %10s %12s %12s\n' input "MB" seconds "s per MB" records
for kind in long-text sibling-rows long-numbers children-per-row deep-nesting hidden-nesting declaration-far \
    many-attributes random-bytes; do
  for scale in 1 10; do
    file="$work/$kind-$scale.xml"
    make_input "$kind" "$scale" "$file"
    mb=$(awk "BEGIN { printf \"%.1f\", $(stat -c %s "$file") / 1e6 }")
    start=$(date +%s.%N)
    records=$("$hostsim" "$file" 2>/dev/null | sed -n 's/^Records: .* \([0-9]*\) in all\./\1/p')
    end=$(date +%s.%N)
    awk -v k="$kind" -v mb="$mb" -v s="$start" -v e="$end" -v r="$records" \
      'BEGIN { printf "%-18s %10s %10.2f %12.4f %12s\n", k, mb, e - s, (e - s) / mb, r }'
    rm -f "$file"
  done
done
