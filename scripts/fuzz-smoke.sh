#!/usr/bin/env bash
# CI's fuzz smoke: builds the fuzz targets once and runs each for a short
# bounded time (FUZZ_SECONDS, default 30; the block tokeniser's target half
# of it). Fails on any finding.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${FUZZ_SECONDS:-30}
failed=()
for target in $(bash scripts/fuzz.sh --list); do
  case "$target" in
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
