#!/usr/bin/env bash
# Rewrites the generated part of docs/format.md (between its BEGIN TABLES
# and END TABLES lines) with what `dictcheck --format` prints now.
set -euo pipefail
cd "$(dirname "$0")/.."
dictcheck="${1:-build/bin/dictcheck}"
tables="$(mktemp)"
trap 'rm -f "$tables" "$tables.md"' EXIT
"$dictcheck" --format >"$tables"
awk -v tables="$tables" '
    /^<!-- END TABLES/ { while ((getline line < tables) > 0) print line; skip = 0 }
    !skip { print }
    /^<!-- BEGIN TABLES/ { print ""; skip = 1 }
' docs/format.md >"$tables.md"
mv "$tables.md" docs/format.md
echo "docs/format.md: tables rewritten"
