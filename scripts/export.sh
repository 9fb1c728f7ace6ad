#!/usr/bin/env bash
# Builds the plug-in and the host program if needed, then exports the
# embedded default scene through the plug-in, as the host application would.
#   scripts/export.sh [ferrule-host export options...]
# With no options it writes gantline_scene.txt in the current folder.
set -euo pipefail
here=$(pwd)
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
cmake --preset default >/dev/null
cmake --build --preset default -j "$(nproc 2>/dev/null || echo 2)" --target ferrule-host Ferrule >/dev/null
host=$(pwd)/build/default/bin/ferrule-host
cd "$here"
if [ $# -eq 0 ]; then
  set -- -o gantline_scene.txt
fi
exec "$host" export "$@"
