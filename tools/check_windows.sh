#!/usr/bin/env bash
# Windows build and tests without Windows: GoogleTest and quadkit are
# cross-compiled with MinGW-w64 (Debian: g++-mingw-w64-x86-64, googletest)
# into build-windows/, and the whole suite runs under Wine (wine, wine64).
# With a Linux build in build/, every export of the sample is also compared
# byte for byte with the Linux program's.
set -euo pipefail
cd "$(dirname "$0")/.."
root="${PWD}"
toolchain="${root}/cmake/mingw-w64-x86_64.cmake"
out="${root}/build-windows"
gtest_source="${GTEST_SOURCE_DIR:-/usr/src/googletest}"

echo "== Windows: GoogleTest from ${gtest_source}"
cmake -S "${gtest_source}" -B "${out}/googletest" --toolchain "${toolchain}" \
  -DCMAKE_BUILD_TYPE=Release -DBUILD_GMOCK=OFF \
  -DCMAKE_INSTALL_PREFIX="${out}/googletest-install" >/dev/null
cmake --build "${out}/googletest" -j2 >/dev/null
cmake --install "${out}/googletest" >/dev/null

echo "== Windows: quadkit.exe and the tests"
cmake -S . -B "${out}" --toolchain "${toolchain}" \
  -DQUADKIT_BUILD_TESTS=ON -DGTest_DIR="${out}/googletest-install/lib/cmake/GTest" >/dev/null
cmake --build "${out}" -j2
# Static linking: nothing beyond the DLLs that come with every Windows.
dlls="$(x86_64-w64-mingw32-objdump -p "${out}/quadkit.exe" | sed -n 's/.*DLL Name: //p' | sort -u)"
echo "quadkit.exe needs: ${dlls//$'\n'/ } (${SECONDS} s so far)"
if grep -viqE '^(kernel32|msvcrt)\.dll$' <<<"${dlls}"; then
  echo "quadkit.exe needs a DLL that a bare Windows does not have" >&2
  exit 1
fi

echo "== Windows: the suite under Wine"
export WINEDEBUG=-all WINEARCH=win64
export WINEPREFIX="${WINEPREFIX:-${out}/wineprefix}"
[ -d "${WINEPREFIX}" ] || wineboot --init >/dev/null 2>&1
# One Wine process runs every test; its whole output is kept in the log and
# shown when a test fails. A failed suite runs once more: Wine has been seen,
# once in many runs, to end a started program before it printed anything; a
# suite that fails twice fails the check, and a rerun is said below.
log="${out}/quadkit_tests.log"
if ! ctest --test-dir "${out}" --no-tests=error -V --repeat until-pass:2 >"${log}" 2>&1; then
  cat "${log}"
  echo "== Windows: the suite failed under Wine (log: ${log})" >&2
  exit 1
fi
output="$(sed 's/^[0-9]*: //' "${log}")"
if grep -q '^\[  FAILED  \]' <<<"${output}"; then
  echo "== Windows: the suite passed on its second run; the first run failed these:"
  grep '^\[  FAILED  \] [A-Za-z]' <<<"${output}" | sort -u
fi
grep -E '^\[==========\] .* ran|^\[  PASSED  \]|^\[  SKIPPED \] [0-9]+ test' <<<"${output}" || true
# Why each skipped test skipped, as the test says it.
grep -A1 ': Skipped$' <<<"${output}" | grep -vE ': Skipped$|^--$' | sort | uniq -c || true
echo "(${SECONDS} s so far)"

echo "== Windows: output to a console"
# Started in a terminal, a program under Wine writes to a console, as in
# cmd.exe. The console must show every letter of a UTF-8 name as itself and
# exactly the text that a redirected run writes: standard output, then the
# lines of standard error. Wine's console hides and shows the cursor
# (ESC [?25l, ESC [?25h) and moves to the start of the line at every line
# feed, as a Windows console does (a CR); nothing else may come between.
console="$(mktemp -d)"
cp examples/box.zem "${console}/Ebene_Ä.zem"
corner=$'\t1.000000, 2.000000, 3.000000, 0.000000, 1.000000\r\n'
printf 'NUM_RECTS=1\r\nEbene_Ä_Ж_日\r\n%s%s%s%s\tTexture: ROOF\r\n[EOF]\r\n' \
  "${corner}" "${corner}" "${corner}" "${corner}" >"${console}/Ebene_Ä.txt"
for run in "" "/i Ebene_Ä.zem Ebene_Ä.txt" "/e missing_Ä_Ж_日.zem out.txt"; do
  (cd "${console}" && wine "${out}/quadkit.exe" ${run} >stdout 2>stderr || true)
  (cd "${console}" && LANG=C.UTF-8 script -qc \
     "stty cols 500 -onlcr; wine '${out}/quadkit.exe' ${run}" /dev/null </dev/null >console || true)
  LC_ALL=C sed 's/\x1b\[?25[lh]//g; s/\r//g' "${console}/console" >"${console}/shown"
  if ! cat "${console}/stdout" "${console}/stderr" | tr -d '\r' | cmp -s - "${console}/shown"; then
    echo "quadkit ${run}: the console shows other text than a redirected run writes" >&2
    cat -A "${console}/console" >&2
    exit 1
  fi
done
rm -rf "${console}"
echo "names beyond ASCII shown as written, the same text as redirected (${SECONDS} s so far)"

if [ -x "${root}/build/quadkit" ]; then
  echo "== Windows: the same bytes as the Linux build"
  work="$(mktemp -d)"
  trap 'rm -rf "${work}"' EXIT
  mkdir "${work}/linux" "${work}/windows"
  export SOURCE_DATE_EPOCH=1700000000  # the IGES export writes its date
  for run in "/e box.zem out.txt" "/e box.zem out.x /dx" "/e box.zem out.igs /cad" \
             "/e box.zem out.dw /dw" "/e box.zem out.obj /obj" "/e box.zem out.iges /iges" "/e missing.zem out.txt" \
             "/e box.zem out.gltf /gltf" "/e box.zem out.glb /glb" "/i box.zem out.glb /gltf" \
             "/s box.zem 2 x" "/i box.zem out.dw /dw" "/m box.zem 1.5 -2 0.25" "/e"; do
    for side in linux windows; do
      cp examples/box.zem "${work}/${side}/box.zem"
    done
    # Each side keeps the files of the runs before, as a user's folder would.
    (cd "${work}/linux" && set +e; "${root}/build/quadkit" ${run} >stdout 2>stderr; echo $? >status)
    (cd "${work}/windows" && set +e; wine "${out}/quadkit.exe" ${run} >stdout 2>stderr; echo $? >status)
    if ! diff -r "${work}/linux" "${work}/windows" >/dev/null; then
      echo "quadkit ${run}: the Windows build differs from the Linux build" >&2
      diff -r "${work}/linux" "${work}/windows" >&2 || true
      exit 1
    fi
  done
  echo "stdout, stderr, exit status and every file identical (${SECONDS} s in all)"
fi
