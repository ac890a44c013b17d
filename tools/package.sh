#!/usr/bin/env bash
# Release packages, built from the sources alone into one folder
# (default build-release/):
#   quadkit-VERSION-windows-x86_64.zip  quadkit.exe (MinGW-w64, static,
#                                       stripped), README.txt, quadkit-manual.txt
#   quadkit_VERSION_amd64.deb           /usr/bin/quadkit and its man page
#   quadkit-blender-VERSION.zip         the Blender add-on (blender/quadkit_zem)
#                                       with quadkit.exe and a statically
#                                       linked Linux quadkit in bin/, and the
#                                       notices of both in licenses/
# Every package carries the licences of what it holds.
# Needs CMake, g++, MinGW-w64 (g++-mingw-w64-x86-64), dpkg-dev, groff-base
# and Python 3.
# SOURCE_DATE_EPOCH, when set, is the time of every file in the packages; it
# defaults to the time of the last commit, so that two runs on one checkout
# give packages of the same bytes.
set -euo pipefail
cd "$(dirname "$0")/.."
out="$(mkdir -p "${1:-build-release}" && cd "${1:-build-release}" && pwd)"
if [ -z "${SOURCE_DATE_EPOCH:-}" ]; then
  SOURCE_DATE_EPOCH="$(git log -1 --format=%ct 2>/dev/null || true)"
  [ -n "${SOURCE_DATE_EPOCH}" ] || unset SOURCE_DATE_EPOCH
fi
export SOURCE_DATE_EPOCH
# Paths of the checkout and of the build folder stay out of the programs.
prefix_map="-ffile-prefix-map=${PWD}=. -ffile-prefix-map=${out}=."

build() {  # build folder, then extra CMake arguments
  local dir="$1"
  shift
  rm -rf "${dir}"  # a clean build: nothing left over from an earlier one
  cmake -S . -B "${dir}" -DCMAKE_BUILD_TYPE=Release -DQUADKIT_BUILD_TESTS=OFF \
    -DCMAKE_CXX_FLAGS="${prefix_map}" "$@" >/dev/null
  cmake --build "${dir}" -j2 --target ${targets:-quadkit}
}
package() {  # build folder
  (cd "$1" && cpack -B "${out}" >/dev/null)
}

echo "== Linux: quadkit_*.deb"
targets="quadkit quadkit_static" build "${out}/linux"  # static/quadkit: the add-on's
package "${out}/linux"
echo "== Windows: quadkit-*-windows-x86_64.zip"
build "${out}/windows" --toolchain cmake/mingw-w64-x86_64.cmake
package "${out}/windows"

echo "== Blender add-on: quadkit-blender-*.zip"
version="$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "${out}/linux/CMakeCache.txt")"
addon="${out}/addon/quadkit_zem"
rm -rf "${out}/addon"
mkdir -p "${addon}/bin" "${addon}/licenses"
cp blender/quadkit_zem/__init__.py blender/quadkit_zem/blender_manifest.toml blender/quadkit_zem/COPYING \
  blender/quadkit_zem/README.md "${addon}/"
strip -o "${addon}/bin/quadkit" "${out}/linux/static/quadkit"
cp "${out}/windows/quadkit.exe" "${addon}/bin/"
x86_64-w64-mingw32-strip "${addon}/bin/quadkit.exe"
for notice in GNU-C-library.txt GCC-runtime-Linux.txt; do
  if [ ! -f "${out}/linux/licenses/${notice}" ]; then
    echo "${out}/linux/licenses/${notice} is missing: the notice of the runtime in static/quadkit comes from" \
         "/usr/share/doc/libc6/copyright and /usr/share/doc/libstdc++6/copyright (Debian)" >&2
    exit 1
  fi
done
cp LICENSE licenses/nlohmann-json.txt "${out}/linux/licenses/"* "${out}/windows/licenses/"* \
  "${addon}/licenses/"
# One order, one time and fixed modes for every entry, so that two runs give
# the same bytes; Blender's own unpacking drops the execute bit of bin/quadkit
# anyway, and the add-on sets it again.
python3 - "${out}/addon" "${out}/quadkit-blender-${version}.zip" "${SOURCE_DATE_EPOCH:-315532800}" <<'PYTHON'
import os, sys, time, zipfile
root, target, epoch = sys.argv[1], sys.argv[2], max(int(sys.argv[3]), 315532800)
stamp = time.gmtime(epoch)[:6]
paths = sorted(os.path.relpath(os.path.join(d, f), root).replace(os.sep, "/")
               for d, _, files in os.walk(root) for f in files)
with zipfile.ZipFile(target, "w", zipfile.ZIP_DEFLATED) as archive:
    for path in paths:
        entry = zipfile.ZipInfo(path, stamp)
        entry.compress_type = zipfile.ZIP_DEFLATED
        entry.external_attr = (0o100755 if path.startswith("quadkit_zem/bin/") else 0o100644) << 16
        with open(os.path.join(root, path), "rb") as data:
            archive.writestr(entry, data.read())
PYTHON

rm -rf "${out}/_CPack_Packages"
rm -rf "${out}/addon"
ls -l "${out}"/*.deb "${out}"/*.zip
