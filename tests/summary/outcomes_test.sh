#!/usr/bin/env bash
# tools/ctest-summary over a CTest run with every outcome: tests that never
# ran count as not run, a test that skipped itself as skipped, and the run
# fails.
#
#   outcomes_test.sh WORK
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
work=$1
rm -rf "$work"
cmake -S "$here" -B "$work" >/dev/null || exit 1
(cd "$work" && ctest --output-junit outcomes.xml >/dev/null 2>&1)
summary=$("$here/../../tools/ctest-summary" "$work/outcomes.xml")
status=$?
expected="1 passed, 2 failed, 3 not run, 1 skipped
failed: fails
failed: setup_fails
not run: needs_setup (Fixture dependency failed)
skipped: skips_itself (SKIP_REGULAR_EXPRESSION_MATCHED)
not run: disabled (Disabled)
not run: missing (Unable to find executable)"
if [[ $summary != "$expected" || $status -ne 1 ]]; then
    printf 'got (exit %d):\n%s\nexpected (exit 1):\n%s\n' "$status" "$summary" "$expected"
    exit 1
fi
