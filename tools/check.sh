#!/usr/bin/env bash
# Builds and runs every test: the suite in a plain build, the Windows build
# and its suite under Wine (tools/check_windows.sh), the same suite built
# with AddressSanitizer and UndefinedBehaviorSanitizer, and each fuzz target
# for a bounded time (QUADKIT_FUZZ_SECONDS, default 60 per target).
# Without MinGW-w64 or Wine the Windows step is skipped, unless
# QUADKIT_WINDOWS=required (as in CI) makes that a failure.
set -euo pipefail
cd "$(dirname "$0")/.."

echo "== plain build and tests"
cmake -S . -B build >/dev/null
cmake --build build -j2
ctest --test-dir build --output-on-failure --no-tests=error

echo "== installation"
prefix="$(mktemp -d)"
cmake --install build --prefix "${prefix}" >/dev/null
test -x "${prefix}/bin/quadkit"
test -f "${prefix}/share/man/man1/quadkit.1"
"${prefix}/bin/quadkit" /e examples/box.zem "${prefix}/box.txt" >/dev/null
rm -rf "${prefix}"
echo "installs bin/quadkit and share/man/man1/quadkit.1"

if command -v x86_64-w64-mingw32-g++-posix >/dev/null 2>&1 && command -v wine >/dev/null 2>&1; then
  bash tools/check_windows.sh
elif [ "${QUADKIT_WINDOWS:-}" = required ]; then
  echo "== Windows: MinGW-w64 or Wine is missing" >&2
  exit 1
else
  echo "== Windows: skipped, MinGW-w64 (g++-mingw-w64-x86-64) or Wine (wine, wine64) is missing"
fi

echo "== tests under AddressSanitizer and UndefinedBehaviorSanitizer"
cmake -S . -B build-asan -DQUADKIT_SANITIZE=ON >/dev/null
cmake --build build-asan -j2
ctest --test-dir build-asan --output-on-failure --no-tests=error

echo "== fuzz targets"
bash tools/fuzz.sh "${QUADKIT_FUZZ_SECONDS:-60}"

echo "== all checks passed"
