#!/usr/bin/env bash
# Line coverage of the format library, the text support and the scene walker
# from a coverage build whose tests have run, and the branch coverage of the
# reader (its error branches among them).
#   scripts/coverage-report.sh BUILD_DIR [--fail-under PERCENT]
set -euo pipefail
build=${1:?usage: coverage-report.sh BUILD_DIR [--fail-under PERCENT]}
shift
fail_under=0
if [ "${1:-}" = "--fail-under" ]; then fail_under=${2:?percent}; fi
cd "$(dirname "$0")/.."
gcovr --root . --object-directory "$build" \
  --filter 'patchio/' --filter 'text/' --filter 'scene/' \
  --exclude-unreachable-branches --print-summary \
  --txt "$build/coverage.txt" --html-details "$build/coverage.html" \
  --fail-under-line "$fail_under"
cat "$build/coverage.txt"
echo
echo "Branches of the reader (a || Fail(...) has one branch that cannot be taken: Fail answers false):"
gcovr --root . --object-directory "$build" \
  --filter 'patchio/PatchReader.cpp' --filter 'patchio/ReadFailure.cpp' \
  --exclude-unreachable-branches --exclude-throw-branches --branches
