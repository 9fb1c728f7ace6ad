#!/usr/bin/env bash
# Writes glTF files with patchtext to-gltf, as .glb and as .gltf, from the
# default scene and the teapot as ferrule-host exports them, from the
# writer's golden files (no objects, objects without surfaces, a triangle
# and a camera) and the writer's own golden files, from a camera whose target is its position and with indices
# past 16 bits; then has the Khronos validator check every one of them.
# Any error or warning fails.
#   validate-outputs.sh BIN_DIR VALIDATOR_DIR SOURCE_DIR
set -euo pipefail
bin=$1
validator=$2
source=$3
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"

"$bin/ferrule-host" export --no-open -o default_scene.txt >/dev/null
"$bin/ferrule-host" export "$source/data/teapot.bpt" --no-open -o teapot.txt >/dev/null
for name in empty_set mixed_objects worked_example; do
  cp "$source/tests/data/golden/$name.txt" .
done
# The worked example's camera, moved onto its target.
sed 's/^CAMERA 0\t.*$/CAMERA 0\t0.000000 0.000000 0.000000\t0.000000 0.000000 0.000000/' worked_example.txt \
  > camera_on_target.txt
grep -q '^CAMERA 0	0.000000 0.000000 0.000000	' camera_on_target.txt

files=()
convert() {  # input steps
  for extension in glb gltf; do
    local output="${1%.txt}_$2.$extension"
    "$bin/patchtext" to-gltf "$1" -o "$output" --steps "$2" >/dev/null 2>>warnings.txt
    files+=("$output")
  done
}
convert default_scene.txt 8
convert teapot.txt 8
convert teapot.txt 1       # poles collapse, rims meet
convert teapot.txt 64      # more than 65535 vertices: 32-bit indices
convert empty_set.txt 8
convert mixed_objects.txt 8
convert worked_example.txt 1
convert camera_on_target.txt 3
# And the golden files of the writer's tests.
files+=("$source"/tests/data/golden/*.glb "$source"/tests/data/golden/*.gltf)
node "$validator/validate.js" "${files[@]}"
