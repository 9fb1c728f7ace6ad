#!/usr/bin/env bash
# Runs every test of the project: the native suite (g++), the same suite with
# AddressSanitizer and UndefinedBehaviorSanitizer (clang), the format
# library's tests with ThreadSanitizer, the fuzz smoke
# runs, the benchmarks at a tiny size, and the Windows builds under Wine.
# Installs what is missing first. Exits non-zero on any failure.
#
#   scripts/test.sh               everything
#   scripts/test.sh --native      only the native suite
#   scripts/test.sh --coverage    the native suite with a line-coverage report
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
jobs=$(nproc 2>/dev/null || echo 2)

only_native=0
coverage=0
for arg in "$@"; do
  case "$arg" in
    --native) only_native=1 ;;
    --coverage) coverage=1 ;;
    -h|--help) sed -n '2,10p' "$0" | sed 's/^# \{0,1\}//'; exit 0 ;;
    *) echo "test.sh: unknown option $arg (see --help)" >&2; exit 2 ;;
  esac
done

step() { printf '\n==== %s\n' "$*"; }

step "dependencies"
bash scripts/install-deps.sh

if [ "$coverage" -eq 1 ]; then
  step "native suite with line coverage (g++, gcov)"
  cmake --preset coverage >/dev/null
  cmake --build --preset coverage -j "$jobs"
  # Counts of earlier runs would mix with this one's.
  find build/coverage -name '*.gcda' -delete
  ctest --preset coverage -j "$jobs"
  bash scripts/coverage-report.sh build/coverage --fail-under 95
  exit 0
fi

step "native suite (g++)"
cmake --preset default >/dev/null
cmake --build --preset default -j "$jobs"
ctest --preset default -j "$jobs"

[ "$only_native" -eq 1 ] && exit 0

step "native suite with AddressSanitizer and UndefinedBehaviorSanitizer (clang)"
cmake --preset sanitize >/dev/null
cmake --build --preset sanitize -j "$jobs"
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
  ctest --preset sanitize -j "$jobs"

step "the format library's tests with ThreadSanitizer (clang)"
cmake --preset tsan >/dev/null
cmake --build --preset tsan -j "$jobs"
# Only the tests that start threads: the rest run in the suites above.
for program in patchio_tests reader_tests; do
  TSAN_OPTIONS=halt_on_error=1 "build/tsan/bin/$program" --gtest_brief=1 --gtest_filter='Parallel*:Threads*'
done

for extra in scripts/fuzz-smoke.sh scripts/test-windows.sh; do
  if [ -f "$extra" ]; then
    step "$extra"
    bash "$extra"
  fi
done

step "all tests passed"
