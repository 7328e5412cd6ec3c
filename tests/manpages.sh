#!/usr/bin/env bash
# Checks each command's manual page against the command itself:
# groff formats it without a warning; it has the sections a reader looks
# for, in order; its OPTIONS name every option the command's --help lists,
# and no other; it has three examples or more, each calling commands of
# this project with options they take; its EXIT STATUS gives 0, 1 and 2.
#
# manpages.sh MAN_SOURCE_DIR BIN_DIR COMMAND...
set -uo pipefail
src=$1 bin=$2
shift 2
commands=("$@")
failures=0
fail() { echo "$page: $*"; failures=$((failures + 1)); }

# The long options a command's --help lists ("  -o,--output TEXT ...").
help_options() {
  "$bin/$1" --help | grep -E '^  +-' | grep -oE -- '--[a-z][a-z-]*' | sort -u
}
declare -A known
for command in "${commands[@]}"; do
  known[$command]=$(help_options "$command") ||
    { echo "$command --help failed"; exit 1; }
  [ -n "${known[$command]}" ] || { echo "$command --help lists no option"; exit 1; }
done

for command in "${commands[@]}"; do
  page=$src/$command.1.in
  [ -f "$page" ] || { fail "missing"; continue; }
  roff=$(sed 's/@[A-Z_]*@/X/g' "$page")

  warnings=$(groff -man -Tutf8 -ww -z <<<"$roff" 2>&1)
  [ -z "$warnings" ] || fail "groff warns: $warnings"
  text=$(groff -man -Tutf8 -P-cbou -rLL=200n <<<"$roff" 2>/dev/null)

  expected="NAME SYNOPSIS DESCRIPTION OPTIONS EXIT STATUS"
  headings=$(grep -E '^[A-Z][A-Z ]+$' <<<"$text" | tr '\n' ' ')
  for section in NAME SYNOPSIS DESCRIPTION OPTIONS "EXIT STATUS" EXAMPLES "SEE ALSO"; do
    grep -qx "$section" <<<"$text" || fail "no section $section"
  done
  order=$(grep -oE 'NAME|SYNOPSIS|DESCRIPTION|OPTIONS|EXIT STATUS|EXAMPLES|SEE ALSO' <<<"$headings" | tr '\n' ' ')
  [ "$order" = "$expected EXAMPLES SEE ALSO " ] || fail "sections out of order: $headings"

  # The options the page describes: the headings of its OPTIONS section.
  described=$(awk '/^OPTIONS$/ {on=1; next} /^[A-Z]/ {on=0} on && /^       -/' <<<"$text" |
              grep -oE -- '--[a-z][a-z-]*' | sort -u)
  missing=$(comm -23 <(echo "${known[$command]}") <(echo "$described"))
  stale=$(comm -13 <(echo "${known[$command]}") <(echo "$described"))
  [ -z "$missing" ] || fail "OPTIONS lacks" $missing
  [ -z "$stale" ] || fail "OPTIONS describes what --help does not list:" $stale
  grep -qE 'TEXT REQUIRED|-h,--help|INT:INT' <<<"$text" && fail "holds --help's notation"

  # Examples: the lines between .EX and .EE.
  examples=$(awk '/^\.SH EXAMPLES/ {on=1; next} /^\.SH/ {on=0} on && /^\.EX/ {ex=1; next} /^\.EE/ {ex=0} on && ex' <<<"$roff" |
             sed 's/\\-/-/g')
  count=$(grep -c . <<<"$examples")
  [ "$count" -ge 3 ] || fail "$count examples"
  grep -qw -- "$command" <<<"$examples" || fail "no example calls $command"
  # Each call of a command of ours uses options it takes.
  while IFS= read -r line; do
    open='<(' close=')'
    line=${line//"$open"/;}
    line=${line//"$close"/;}
    while IFS= read -r part; do
      read -ra words <<<"$part"
      i=0
      while [ $i -lt ${#words[@]} ] && [[ ${words[$i]} == *=* ]]; do i=$((i + 1)); done
      name=${words[$i]:-}
      [ -n "$name" ] && [ -n "${known[$name]:-}" ] || continue
      for word in "${words[@]:$((i + 1))}"; do
        [[ $word == --* ]] || continue
        grep -qx -- "$word" <<<"${known[$name]}" || fail "example \"$line\": $name takes no $word"
      done
    done < <(sed 's/&&\|||\||\|;/\n/g' <<<"$line")
  done <<<"$examples"

  status=$(awk '/^\.SH EXIT STATUS/ {on=1; next} /^\.SH/ {on=0} on && /^\.B [0-9]$/ {print $2}' <<<"$roff" | tr '\n' ' ')
  [ "$status" = "0 1 2 " ] || fail "EXIT STATUS gives \"$status\", not 0 1 2"
done

[ "$failures" -eq 0 ] && echo "manual pages: ${#commands[@]} checked"
exit $((failures > 0))
