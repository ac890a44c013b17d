#!/usr/bin/env bash
# Builds the libFuzzer targets with clang and runs each for a bounded time:
#   tools/fuzz.sh [SECONDS_PER_TARGET]   (default 60)
# QUADKIT_FUZZ_TARGETS picks targets (default: scene listing design_workshop obj gltf).
# New inputs go to a scratch corpus under build-fuzz/; a crashing input is
# left as build-fuzz/artifacts/<target>-crash-*: copy it into
# fuzz/regressions/<target>/ under a name that says what it broke.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}

CXX=clang++ cmake -S . -B build-fuzz -DQUADKIT_FUZZ=ON -DQUADKIT_BUILD_TESTS=OFF \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build-fuzz -j2 --target fuzz_scene fuzz_listing fuzz_design_workshop fuzz_obj fuzz_gltf

mkdir -p build-fuzz/artifacts
for target in ${QUADKIT_FUZZ_TARGETS:-scene listing design_workshop obj gltf}; do
  scratch="build-fuzz/corpus/${target}"
  mkdir -p "${scratch}"
  echo "fuzzing ${target} for ${seconds} s"
  # -rss_limit_mb keeps a runaway allocation a finding rather than a hang.
  log="build-fuzz/${target}.log"
  status=0
  "build-fuzz/fuzz_${target}" "${scratch}" "fuzz/corpus/${target}" \
    $( [ -d "fuzz/regressions/${target}" ] && echo "fuzz/regressions/${target}" ) \
    -max_total_time="${seconds}" -rss_limit_mb=2048 -timeout=30 \
    -artifact_prefix="build-fuzz/artifacts/${target}-" -print_final_stats=1 >"${log}" 2>&1 ||
    status=$?
  grep -E '^(stat::number_of_executed_units|stat::peak_rss_mb)' "${log}" || true
  if [ "${status}" -ne 0 ]; then
    grep -E '(ERROR|SUMMARY|runtime error|Test unit written)' "${log}" | head -20 >&2 || true
    echo "fuzz target ${target} found a failure (exit ${status}); see ${log} and build-fuzz/artifacts/" >&2
    exit 1
  fi
done
