#!/usr/bin/env bash
# Release packages, built from the sources alone into one folder
# (default build-release/):
#   quadkit-VERSION-windows-x86_64.zip  quadkit.exe (MinGW-w64, static,
#                                       stripped), README.txt, quadkit-manual.txt
#   quadkit_VERSION_amd64.deb           /usr/bin/quadkit and its man page
# Needs CMake, g++, MinGW-w64 (g++-mingw-w64-x86-64), dpkg-dev and groff-base.
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
  cmake --build "${dir}" -j2 --target quadkit
  (cd "${dir}" && cpack -B "${out}" >/dev/null)
}

echo "== Linux: quadkit_*.deb"
build "${out}/linux"
echo "== Windows: quadkit-*-windows-x86_64.zip"
build "${out}/windows" --toolchain cmake/mingw-w64-x86_64.cmake

rm -rf "${out}/_CPack_Packages"
ls -l "${out}"/*.deb "${out}"/*.zip
