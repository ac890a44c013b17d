#!/usr/bin/env bash
# What tools/check.sh needs, by Debian package; with the argument "build",
# only what building quadkit needs (CMake, g++, make and nlohmann/json, the
# README's first command). Missing packages are installed when this runs as
# root on Debian (or a system derived from it); elsewhere they are named in
# one line and the script fails.
set -euo pipefail
only_build=false
what="tools/check.sh"
if [ "${1:-}" = build ]; then
  only_build=true
  what="Building quadkit"
fi

missing=()  # installed with the packages they recommend
lean=()     # installed without them
# Building and the test suite.
command -v cmake >/dev/null 2>&1 || missing+=(cmake)
command -v g++ >/dev/null 2>&1 || missing+=(g++)
command -v make >/dev/null 2>&1 || missing+=(make)
# nlohmann/json, header-only: the JSON of the glTF import.
[ -f /usr/include/nlohmann/json.hpp ] || missing+=(nlohmann-json3-dev)
if ! ${only_build}; then
  [ -f /usr/include/gtest/gtest.h ] || missing+=(libgtest-dev)
  # Node and npm, to run the Khronos glTF-Validator on the glTF export.
  command -v node >/dev/null 2>&1 || missing+=(nodejs)
  command -v npm >/dev/null 2>&1 || missing+=(npm)
  # An independent DirectX and OBJ reader, so the exports are checked against
  # a real consumer.
  command -v assimp >/dev/null 2>&1 || missing+=(assimp-utils)
  # OpenCASCADE's IGES reader, so the IGES export is checked as CAD programs read it.
  [ -f /usr/include/opencascade/IGESControl_Reader.hxx ] || missing+=(libocct-data-exchange-dev)
  # clang with libFuzzer and the sanitizer runtimes, for the fuzz targets.
  command -v clang++ >/dev/null 2>&1 || missing+=(clang)
  ls /usr/lib/llvm-*/lib/clang/*/lib/linux/libclang_rt.fuzzer-x86_64.a >/dev/null 2>&1 ||
    missing+=(libclang-rt-dev)
  # The Windows build: MinGW-w64, GoogleTest's sources for it, and Wine to run it.
  command -v x86_64-w64-mingw32-g++-posix >/dev/null 2>&1 || lean+=(g++-mingw-w64-x86-64)
  [ -f /usr/src/googletest/CMakeLists.txt ] || lean+=(googletest)
  command -v wine >/dev/null 2>&1 || lean+=(wine)
  [ -x /usr/lib/wine/wine64 ] || lean+=(wine64)
  # Blender, the real editor that the OBJ and glTF round trips are proven
  # against, and numpy, which its glTF add-on needs and Debian's Blender only
  # recommends.
  command -v blender >/dev/null 2>&1 || lean+=(blender)
  [ -f /usr/lib/python3/dist-packages/numpy/__init__.py ] || lean+=(python3-numpy)
  # The release packages: the Debian package's dependencies, the manual as
  # text for the Windows zip, and man to read the installed man page.
  command -v dpkg-shlibdeps >/dev/null 2>&1 || lean+=(dpkg-dev)
  command -v groff >/dev/null 2>&1 || lean+=(groff-base)
  command -v man >/dev/null 2>&1 || lean+=(man-db)
  command -v lintian >/dev/null 2>&1 || lean+=(lintian)
  # unzip and file: the Blender add-on unpacked as users do, its quadkit
  # checked to be static.
  command -v unzip >/dev/null 2>&1 || lean+=(unzip)
  command -v file >/dev/null 2>&1 || lean+=(file)
fi

# The Khronos glTF-Validator, from the npm registry, where the glTF tests look
# for it.
validator=/opt/gltf-validator
validator_package=gltf-validator@2.0.0-dev.3.10
npm_missing=()
${only_build} ||
  [ -f "${validator}/node_modules/gltf-validator/package.json" ] ||
  npm_missing+=("${validator_package} (npm, in ${validator})")

if [ ${#missing[@]} -eq 0 ] && [ ${#lean[@]} -eq 0 ] && [ ${#npm_missing[@]} -eq 0 ]; then
  exit 0
fi
if [ "$(id -u)" != 0 ] || [ ! -f /etc/debian_version ] || ! command -v apt-get >/dev/null 2>&1; then
  all=("${missing[@]}" "${lean[@]}" "${npm_missing[@]}")
  echo "${what} needs these packages (as root on Debian it installs them itself): ${all[*]}" >&2
  exit 1
fi
export DEBIAN_FRONTEND=noninteractive
if [ ${#missing[@]} -gt 0 ] || [ ${#lean[@]} -gt 0 ]; then
  apt-get update
fi
if [ ${#missing[@]} -gt 0 ]; then
  apt-get install -y "${missing[@]}"
fi
if [ ${#lean[@]} -gt 0 ]; then
  apt-get install -y --no-install-recommends "${lean[@]}"
fi
if [ ${#npm_missing[@]} -gt 0 ]; then
  npm install --prefix "${validator}" --no-audit --no-fund "${validator_package}" >/dev/null
fi
