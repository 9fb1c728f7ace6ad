#!/usr/bin/env bash
# Installs what the native build, its tests and tools need on Debian.
# As root it installs missing packages with apt; otherwise it names them and fails.
set -euo pipefail

packages=(
  cmake ninja-build g++ clang libclang-rt-14-dev llvm
  googletest libgtest-dev libgmock-dev libbenchmark-dev
  nlohmann-json3-dev libtinyobjloader-dev libcli11-dev libpng-dev libassimp-dev assimp-testmodels
  locales gcovr python3
  pybind11-dev python3-dev python3-numpy python3-pytest python3-mypy
  valgrind  # runs the python module's tests once more to catch reads of freed memory
  nodejs  # runs the Khronos glTF validator in the tests
  libjs-three  # three.js and its orbit controls, built into the page of patchtext view
  chromium  # loads patchtext view's pages in the tests (headless, software WebGL) and draws the README's pictures
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "ok installed" || missing+=("$p")
done

# npm fetches the validator; a Node.js from elsewhere may bring its own npm.
command -v npm >/dev/null 2>&1 || missing+=(npm)

if [ ${#missing[@]} -gt 0 ]; then
  if [ "$(id -u)" -ne 0 ]; then
    echo "missing Debian packages: ${missing[*]}" >&2
    echo "install them as root: apt-get install ${missing[*]}" >&2
    exit 1
  fi
  echo "installing: ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi

# A comma-decimal locale, so that the tests can prove the file format does
# not follow the process locale.
if ! locale -a 2>/dev/null | grep -qi '^de_DE\.utf-\?8$'; then
  if [ "$(id -u)" -eq 0 ]; then
    localedef -i de_DE -f UTF-8 de_DE.UTF-8 || echo "could not generate de_DE.UTF-8; locale tests will skip" >&2
  else
    echo "no de_DE.UTF-8 locale; locale tests will skip (as root: localedef -i de_DE -f UTF-8 de_DE.UTF-8)" >&2
  fi
fi
