#!/usr/bin/env bash
# Installs the build into a scratch prefix and builds and runs a consumer
# that finds it with find_package(Gantline). Checks that the package holds
# only the libraries meant for use outside the project, each with its public
# headers only, and that an engine linking the format library gets the
# host's interface layer and nothing of the in-memory host, the loaders or
# the desktop model.
#   check-package.sh BUILD_DIR SOURCE_DIR
set -euo pipefail
build=$1
source=$2
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
prefix=$scratch/prefix
cmake --install "$build" --prefix "$prefix" >/dev/null

fail() { echo "check-package: $*" >&2; exit 1; }

# Header folders: the rooms of the package, no others.
rooms=$(cd "$prefix/include" && ls | sort | tr '\n' ' ')
[ "$rooms" = "gltf host patchio surface text " ] || fail "installed header folders: $rooms"
# No private header: every installed header is reachable from the public
# ones' includes or is public itself, and each compiles on its own.
for header in $(cd "$prefix/include" && find . -name '*.h' | sort); do
  echo "#include \"${header#./}\"" > "$scratch/one.cpp"
  c++ -std=c++17 -fsyntax-only -Wall -Werror -I"$prefix/include" "$scratch/one.cpp" \
    || fail "$header does not compile on its own against the installed headers"
done
grep -rq "memhost/\|loaders/\|desktop/\|os/\|nlohmann\|tiny_obj" "$prefix/include" \
  && fail "an installed header includes a private room or reader"

cmake -S "$source/tests/package" -B "$scratch/consumer" -G Ninja -DCMAKE_PREFIX_PATH="$prefix" >/dev/null
cmake --build "$scratch/consumer" >/dev/null
LD_LIBRARY_PATH="$prefix/lib:${LD_LIBRARY_PATH:-}" "$scratch/consumer/consumer" "$scratch/out.txt"
# The consumer's shared libraries of ours: the host's interface layer only.
ours=$(LD_LIBRARY_PATH="$prefix/lib" ldd "$scratch/consumer/consumer" | grep -o 'libgantline[a-z_]*' | sort -u | tr '\n' ' ')
[ "$ours" = "libgantline_host " ] || fail "the consumer loads $ours"
# And the host library carries no symbol of the in-memory host or the desktop.
if nm -D --defined-only "$prefix/lib/libgantline_host.so" | grep -E -q 'Memory|desktop|Scene(File|Load)'; then
  fail "libgantline_host.so exports more than the host's interface layer"
fi

# The Python module, when the build has it: installed in the prefix's
# Python package folder, it imports with that folder on the path alone and
# finds the host's library through its run path.
python_dir=$(sed -n 's/^GANTLINE_PYTHON_INSTALL_DIR:[A-Z]*=//p' "$build/CMakeCache.txt")
if [ -n "$python_dir" ]; then
  python=$(sed -n 's/^Python3_EXECUTABLE:[A-Z]*=//p' "$build/CMakeCache.txt")
  ls "$prefix/$python_dir"/gantline.*.so >/dev/null 2>&1 || fail "no gantline module in $prefix/$python_dir"
  PYTHONPATH="$prefix/$python_dir" "$python" -c \
    'import gantline, sys; s = gantline.read(sys.argv[1]); assert len(s.patch_objects) == 3' \
    "$source/tests/data/golden/mixed_objects.txt" || fail "the installed gantline module does not import and read"
fi
echo "package found, linked and ran"
