#!/usr/bin/env bash
# Draws a .glb as a web page shows it: three.js's glTF loader in headless
# Chromium (software WebGL), a three-quarter view from the front right and
# above in glTF's +y-up space. Needs the chromium package and npm.
#   render.sh IN.glb OUT.png [WIDTHxHEIGHT]
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
size=${3:-640x480}
[ -d "$here/node_modules/three" ] || (cd "$here" && npm ci --no-audit --no-fund --loglevel=error)
cp "$1" "$here/model.glb"
port_file=$(mktemp)
node "$here/serve.js" >"$port_file" &
server=$!
trap 'kill $server; rm -f "$port_file" "$here/model.glb"' EXIT
while [ ! -s "$port_file" ]; do sleep 0.1; done
chromium --headless=new --no-sandbox --disable-gpu --use-angle=swiftshader --enable-unsafe-swiftshader \
  --window-size="${size/x/,}" --virtual-time-budget=15000 --screenshot="$(realpath -m "$2")" \
  "http://127.0.0.1:$(cat "$port_file")/view.html?file=/model.glb" 2>/dev/null
