# Sourced by the scripts that run checks outside CTest (test-windows.sh,
# test-release.sh): `check NAME COMMAND...` runs one check, counts it and
# names it when it fails; `checks_summary LABEL` prints the closing line
# ("LABEL: N passed, N failed") and fails when a check did.
passed=0
failed=0

check() { # name, command...
  local name=$1
  shift
  if "$@"; then
    passed=$((passed + 1))
  else
    failed=$((failed + 1))
    echo "FAILED: $name"
  fi
}

checks_summary() { # label
  echo "$1: $passed passed, $failed failed"
  [ "$failed" -eq 0 ]
}
