#!/usr/bin/env bash
# Builds and runs every test: the suite in a plain build, the same suite
# built with AddressSanitizer and UndefinedBehaviorSanitizer, and each fuzz
# target for a bounded time (QUADKIT_FUZZ_SECONDS, default 60 per target).
set -euo pipefail
cd "$(dirname "$0")/.."

echo "== plain build and tests"
cmake -S . -B build >/dev/null
cmake --build build -j2
ctest --test-dir build --output-on-failure --no-tests=error

echo "== tests under AddressSanitizer and UndefinedBehaviorSanitizer"
cmake -S . -B build-asan -DQUADKIT_SANITIZE=ON >/dev/null
cmake --build build-asan -j2
ctest --test-dir build-asan --output-on-failure --no-tests=error

echo "== fuzz targets"
bash tools/fuzz.sh "${QUADKIT_FUZZ_SECONDS:-60}"

echo "== all checks passed"
