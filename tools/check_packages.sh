#!/usr/bin/env bash
# The release packages as a user gets them (tools/package.sh): built twice,
# in two folders, into the same bytes; the zip unpacked and its quadkit.exe
# run under Wine on the sample scene, the notices of what it contains beside
# it; the Debian package checked by lintian, installed (as root,
# when no quadkit package is installed yet; otherwise unpacked), its quadkit
# and man quadkit run, and removed again.
set -euo pipefail
cd "$(dirname "$0")/.."
root="${PWD}"
release="${root}/build-release"
work="$(mktemp -d)"
trap 'rm -rf "${work}"' EXIT

echo "== packages: built twice, in two folders"
bash tools/package.sh "${release}" >/dev/null
bash tools/package.sh "${work}/again" >/dev/null
version="$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "${release}/linux/CMakeCache.txt")"
zip="quadkit-${version}-windows-x86_64.zip"
deb="quadkit_${version}_amd64.deb"
addon="quadkit-blender-${version}.zip"
for package in "${zip}" "${deb}" "${addon}"; do
  if ! cmp "${release}/${package}" "${work}/again/${package}"; then
    echo "${package}: two builds of one checkout differ" >&2
    exit 1
  fi
done
echo "${zip} ($(stat -c %s "${release}/${zip}") bytes), ${deb} ($(stat -c %s "${release}/${deb}") bytes)" \
     "and ${addon} ($(stat -c %s "${release}/${addon}") bytes),"  \
     "the same bytes both times (${SECONDS} s so far)"

# What a run of the sample's export prints and writes, kept by the tests.
golden="${root}/tests/golden/box_listing"
expect_sample_export() {  # folder of the run, what ran
  if ! cmp -s "$1/stdout" "${golden}/stdout" || ! cmp -s "$1/out.txt" "${golden}/out.txt"; then
    echo "$2: the sample's export differs from tests/golden/box_listing" >&2
    exit 1
  fi
}
expect_version_line() {  # standard error of a run without arguments, what ran
  if ! grep -qx "quadkit: version ${version}" "$1"; then
    echo "$2 without arguments: no version line on standard error" >&2
    exit 1
  fi
}

echo "== packages: the Windows zip under Wine"
cmake -E chdir "${work}" cmake -E tar xf "${release}/${zip}"
folder="${work}/quadkit-${version}-windows-x86_64"
listing="$(cd "${folder}" && LC_ALL=C ls)"
if [ "${listing//$'\n'/ }" != "README.txt licenses quadkit-manual.txt quadkit.exe" ]; then
  echo "${zip} holds ${listing//$'\n'/ }, not quadkit.exe, README.txt, quadkit-manual.txt and licenses" >&2
  exit 1
fi
notices="$(cd "${folder}/licenses" && LC_ALL=C ls)"
if [ "${notices//$'\n'/ }" != "GCC-runtime.txt LICENSE MinGW-w64-runtime.txt nlohmann-json.txt" ]; then
  echo "${zip}: licenses/ holds ${notices//$'\n'/ }, not the notices of quadkit, nlohmann/json and the runtime" >&2
  exit 1
fi
exe="${folder}/quadkit.exe"
if x86_64-w64-mingw32-objdump -h "${exe}" | grep -q '\.debug'; then
  echo "${zip}: quadkit.exe is not stripped" >&2
  exit 1
fi
resource="$(strings -el "${exe}")"
for value in FileVersion ProductName FileDescription "${version}" "quadkit - ZEM scene converter"; do
  if ! grep -qxF "${value}" <<<"${resource}"; then
    echo "${zip}: the version resource of quadkit.exe lacks '${value}'" >&2
    exit 1
  fi
done
export WINEDEBUG=-all WINEARCH=win64
if [ -z "${WINEPREFIX:-}" ]; then
  WINEPREFIX="${root}/build-windows/wineprefix"  # made by tools/check_windows.sh
  [ -d "${WINEPREFIX}" ] || WINEPREFIX="${release}/wineprefix"
fi
export WINEPREFIX
[ -d "${WINEPREFIX}" ] || wineboot --init >/dev/null 2>&1
mkdir "${work}/windows"
cp examples/box.zem "${work}/windows/"
(cd "${work}/windows" && wine "${exe}" /e box.zem out.txt >stdout && wine "${exe}" 2>stderr >/dev/null || true)
expect_sample_export "${work}/windows" "quadkit.exe from ${zip}"
expect_version_line "${work}/windows/stderr" "quadkit.exe from ${zip}"
echo "quadkit.exe: stripped, version resource ${version}, exports the sample (${SECONDS} s so far)"

echo "== packages: the Blender add-on"
mkdir "${work}/addon"
unzip -q "${release}/${addon}" -d "${work}/addon"
listing="$(cd "${work}/addon" && LC_ALL=C find . -type f | LC_ALL=C sort | tr '\n' ' ')"
expected="./quadkit_zem/COPYING ./quadkit_zem/README.md ./quadkit_zem/__init__.py ./quadkit_zem/bin/quadkit"
expected+=" ./quadkit_zem/bin/quadkit.exe ./quadkit_zem/blender_manifest.toml ./quadkit_zem/licenses/GCC-runtime-Linux.txt"
expected+=" ./quadkit_zem/licenses/GCC-runtime.txt ./quadkit_zem/licenses/GNU-C-library.txt"
expected+=" ./quadkit_zem/licenses/LICENSE ./quadkit_zem/licenses/MinGW-w64-runtime.txt"
expected+=" ./quadkit_zem/licenses/nlohmann-json.txt "
if [ "${listing}" != "${expected}" ]; then
  echo "${addon} holds ${listing}, not ${expected}" >&2
  exit 1
fi
bin="${work}/addon/quadkit_zem/bin"
if ! file "${bin}/quadkit" | grep -q 'statically linked'; then
  echo "${addon}: bin/quadkit is not linked statically: $(file "${bin}/quadkit")" >&2
  exit 1
fi
chmod +x "${bin}/quadkit"
mkdir "${work}/addon-run"
cp examples/box.zem "${work}/addon-run/"
(cd "${work}/addon-run" && "${bin}/quadkit" /e box.zem out.txt >stdout)
expect_sample_export "${work}/addon-run" "bin/quadkit from ${addon}"
(cd "${work}/addon-run" && wine "${bin}/quadkit.exe" /e box.zem out.txt >stdout)
expect_sample_export "${work}/addon-run" "bin/quadkit.exe from ${addon} under Wine"
# In Blender: installed from the zip, a textured import, edits, the export.
tests="${root}/build/tests/quadkit_tests"
if [ ! -x "${tests}" ]; then
  cmake -S . -B build -DQUADKIT_BUILD_TESTS=ON >/dev/null
  cmake --build build -j2 --target quadkit_tests >/dev/null
fi
# It must run here, not skip.
if ! QUADKIT_ADDON_ZIP="${release}/${addon}" "${tests}" --gtest_filter='GltfInteropTest.BlenderAddon*' \
    >"${work}/addon-test.log" 2>&1 || ! grep -q '^\[       OK \]' "${work}/addon-test.log"; then
  cat "${work}/addon-test.log" >&2
  echo "${addon}: the test of the add-on in Blender failed or did not run" >&2
  exit 1
fi
echo "${addon}: its quadkit (static) and quadkit.exe (Wine) export the sample; in Blender it imports," \
     "exports exactly the edits, keeps the .bak and reports a modifier's error (${SECONDS} s so far)"

echo "== packages: the Debian package"
# lintian, Debian's package checker: no error and no warning.
if ! lintian --fail-on error,warning "${release}/${deb}"; then
  echo "${deb}: lintian finds the problems above" >&2
  exit 1
fi
mkdir "${work}/linux"
cp examples/box.zem "${work}/linux/"
if [ "$(id -u)" = 0 ] && ! dpkg-query -W quadkit >/dev/null 2>&1; then
  trap 'apt-get remove -y quadkit >/dev/null 2>&1 || true; rm -rf "${work}"' EXIT
  DEBIAN_FRONTEND=noninteractive apt-get install -y "${release}/${deb}" >/dev/null
  quadkit=/usr/bin/quadkit
  how="installed with apt-get"
  man_page=(man quadkit)
else
  dpkg-deb -x "${release}/${deb}" "${work}/unpacked"
  quadkit="${work}/unpacked/usr/bin/quadkit"
  how="unpacked (not root, or a quadkit package is installed already)"
  man_page=(man -l "${work}/unpacked/usr/share/man/man1/quadkit.1.gz")
fi
(cd "${work}/linux" && "${quadkit}" /e box.zem out.txt >stdout && "${quadkit}" 2>stderr >/dev/null || true)
expect_sample_export "${work}/linux" "quadkit from ${deb}"
expect_version_line "${work}/linux/stderr" "quadkit from ${deb}"
if ! MANPAGER=cat MANWIDTH=80 "${man_page[@]}" 2>&1 | grep -q "quadkit ${version}"; then
  echo "${deb}: '${man_page[*]}' does not show the manual of quadkit ${version}" >&2
  grep -ls 'path-exclude.*/usr/share/man' /etc/dpkg/dpkg.cfg.d/* >&2 &&
    echo "(dpkg is told there, as in slim container images, not to install man pages)" >&2
  exit 1
fi
if [ "${man_page[1]}" = quadkit ]; then
  DEBIAN_FRONTEND=noninteractive apt-get remove -y quadkit >/dev/null
fi
echo "${deb}: ${how}; quadkit exports the sample, ${man_page[*]} shows the manual (${SECONDS} s in all)"
