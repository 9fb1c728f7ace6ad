#!/usr/bin/env bash
# Builds the fuzz targets (clang, libFuzzer, with AddressSanitizer and
# UndefinedBehaviorSanitizer) in build/fuzz and runs one of them.
#
#   scripts/fuzz.sh TARGET [SECONDS] [libFuzzer options...]
#   scripts/fuzz.sh --list
#
# TARGET is one of: tokeniser block_tokeniser number_parse reader roundtrip
# bpt_loader obj_loader scene_file scene_import.
# SECONDS defaults to 60. The corpus grows in build/fuzz/corpus/TARGET
# (seeded from the writer's outputs and the test files); a finding is saved
# as build/fuzz/findings/TARGET/crash-* (or leak-, timeout-, oom-) and the
# script exits non-zero. Extra options go to libFuzzer, e.g. -jobs=1 or
# -max_len=65536. Reproduce a finding with: build/fuzz/bin/fuzz_TARGET FILE
set -euo pipefail
cd "$(dirname "$0")/.."
build=build/fuzz
targets=(tokeniser block_tokeniser number_parse reader roundtrip bpt_loader obj_loader scene_file scene_import)

if [ "${1:-}" = "--list" ]; then printf '%s\n' "${targets[@]}"; exit 0; fi
target=${1:?usage: scripts/fuzz.sh TARGET [SECONDS] [libFuzzer options...] (see --list)}
seconds=${2:-60}
shift $(( $# >= 2 ? 2 : 1 ))
case " ${targets[*]} " in *" $target "*) ;; *) echo "fuzz.sh: unknown target $target (see --list)" >&2; exit 2 ;; esac

# One clang build folder serves every target; only the fuzz targets are built.
if [ ! -f "$build/build.ninja" ]; then
  cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
    -DGANTLINE_FUZZ=ON -DGANTLINE_TESTS=OFF -DGANTLINE_BENCHMARKS=OFF >/dev/null
fi
if ! cmake --build "$build" --target fuzzers -j "$(nproc 2>/dev/null || echo 2)" >"$build/build.log" 2>&1; then
  tail -n 40 "$build/build.log" >&2
  echo "fuzz.sh: the fuzz targets do not build" >&2
  exit 1
fi

corpus=$build/corpus/$target
findings=$build/findings/$target
mkdir -p "$corpus" "$findings"
# Seeds are added afresh on every run: the corpus keeps what the fuzzer found.
seeds=$(mktemp -d)
trap 'rm -rf "$seeds"' EXIT
"$build/bin/gantline_fuzz_seeds" "$(pwd)" "$seeds"
dict=()
case "$target" in
  reader|tokeniser|block_tokeniser) dict=(-dict=fuzz/patchtext.dict) ;;
  number_parse) dict=(-dict=fuzz/numbers.dict) ;;
  scene_file) dict=(-dict=fuzz/scene.dict) ;;
  obj_loader) dict=(-dict=fuzz/obj.dict) ;;
esac
lsan=()
[ "$target" = scene_import ] && lsan=(LSAN_OPTIONS=suppressions=fuzz/scene_import.lsan:print_suppressions=0)

# A run of one input past 10 s is a hang; no input may take 256 MB (the
# inputs are a few kilobytes: memory must follow what a file holds, not
# what it declares).
env "${lsan[@]}" ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1} \
UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1} \
"$build/bin/fuzz_$target" "$corpus" "$seeds/$target" "${dict[@]}" \
  -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -malloc_limit_mb=256 \
  -artifact_prefix="$findings/" -print_final_stats=1 "$@"
