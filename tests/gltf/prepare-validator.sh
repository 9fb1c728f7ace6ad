#!/usr/bin/env bash
# Installs the pinned Khronos glTF validator from the npm registry into
# VALIDATOR_DIR (which holds package.json and package-lock.json), unless the
# locked version is there already.
#   prepare-validator.sh VALIDATOR_DIR
set -euo pipefail
cd "$1"
wanted=$(node -p 'require("./package-lock.json").packages["node_modules/gltf-validator"].version')
have=$(node -p 'try { require("./node_modules/gltf-validator/package.json").version } catch (e) { "" }')
if [ "$have" != "$wanted" ]; then
  npm ci --no-audit --no-fund --loglevel=error
fi
node -e 'require("gltf-validator")' && echo "gltf-validator $wanted ready in $1"
