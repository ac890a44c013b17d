#!/usr/bin/env bash
# Builds and runs every test: the suite in a plain build, the Windows build
# and its suite under Wine (tools/check_windows.sh), the release packages
# (tools/check_packages.sh), the same suite built with AddressSanitizer and
# UndefinedBehaviorSanitizer, and each fuzz target for a bounded time
# (QUADKIT_FUZZ_SECONDS, default 60 per target). First it installs what it
# needs (tools/dependencies.sh), or names what is missing and stops.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/dependencies.sh

echo "== plain build and tests"
cmake -S . -B build -DQUADKIT_BUILD_TESTS=ON >/dev/null
cmake --build build -j2
ctest --test-dir build --output-on-failure --no-tests=error

echo "== installation"
prefix="$(mktemp -d)"
cmake --install build --prefix "${prefix}" >/dev/null
test -x "${prefix}/bin/quadkit"
test -f "${prefix}/share/man/man1/quadkit.1.gz"
"${prefix}/bin/quadkit" /e examples/box.zem "${prefix}/box.txt" >/dev/null
rm -rf "${prefix}"
echo "installs bin/quadkit and share/man/man1/quadkit.1.gz"

bash tools/check_windows.sh
bash tools/check_packages.sh

echo "== tests under AddressSanitizer and UndefinedBehaviorSanitizer"
cmake -S . -B build-asan -DQUADKIT_SANITIZE=ON >/dev/null
cmake --build build-asan -j2
ctest --test-dir build-asan --output-on-failure --no-tests=error

echo "== fuzz targets"
bash tools/fuzz.sh "${QUADKIT_FUZZ_SECONDS:-60}"

echo "== all checks passed"
