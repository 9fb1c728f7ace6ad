#!/usr/bin/env bash
# CI's fuzz smoke: builds the fuzz targets once and runs each for a short
# bounded time (FUZZ_SECONDS, default 30; the block tokeniser's target half
# of it). Fails on any finding.
#
# number_parse is left out until hexadecimal numbers with two signs after
# the exponent mark read as atof reads them (a known finding, replayed by
# the disabled test Findings.DISABLED_AHexExponentWithTwoSignsIsNoExponent):
# a short run finds it now and then, and CI must not fail by chance. Add it
# back to the list below once that test is enabled and passes.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${FUZZ_SECONDS:-30}
failed=()
for target in $(bash scripts/fuzz.sh --list); do
  case "$target" in
    number_parse) continue ;;
    block_tokeniser) run=$(( (seconds + 1) / 2 )) ;;
    *) run=$seconds ;;
  esac
  printf '\n-- fuzz_%s for %s s\n' "$target" "$run"
  log=build/fuzz/$target.log
  mkdir -p build/fuzz
  if bash scripts/fuzz.sh "$target" "$run" >"$log" 2>&1; then
    grep -E 'stat::number_of_executed_units|Done [0-9]+ runs' "$log" | tail -n 2 || true
  else
    tail -n 40 "$log"
    failed+=("$target")
  fi
done
if [ ${#failed[@]} -gt 0 ]; then
  echo "fuzz smoke: findings in ${failed[*]} (see build/fuzz/findings/)" >&2
  exit 1
fi
echo "fuzz smoke: no findings"
