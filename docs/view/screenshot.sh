#!/usr/bin/env bash
# Takes a picture of the page that patchtext view writes for a patch text
# file, as a browser shows it: headless Chromium with software WebGL and no
# network. The README's pictures of the page come from here.
#   screenshot.sh PATCHTEXT FILE.txt OUT.png [WIDTHxHEIGHT] [#ADDRESS]
# ADDRESS is what follows the page's name, e.g. "#spread" or "#camera=1".
set -euo pipefail
patchtext=$1 file=$2 out=$3 size=${4:-1024x640} address=${5:-}
page=$(mktemp --suffix=.html)
profile=$(mktemp -d)
trap 'rm -rf "$page" "$profile"' EXIT
"$patchtext" view "$file" -o "$page" --no-open >/dev/null
chromium --headless=new --no-sandbox --disable-gpu --use-angle=swiftshader --enable-unsafe-swiftshader \
  --host-resolver-rules="MAP * ~NOTFOUND" --hide-scrollbars --user-data-dir="$profile" \
  --window-size="${size/x/,}" --virtual-time-budget=60000 --screenshot="$(realpath -m "$out")" \
  "file://$page$address" 2>/dev/null
