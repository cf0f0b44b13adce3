#!/usr/bin/env bash
# Runs every test: builds both architectures, checks the binaries, then runs the unit tests and the
# end-to-end tests of both builds under Wine on a private display (the 32-bit ones under WoW64, as
# 32-bit hosts run them), and builds the installer packages and tries them. Sets up what is missing.
set -uo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"
# What a caller's environment could slip into the test programs (a filter, a shuffle, a seed)
# is not ours: every run counts the same tests.
for v in $(compgen -e); do case $v in GTEST_* | QB_*) unset "$v" ;; esac; done

bash tools/setup.sh || exit 1
mkdir -p build
for preset in x64 x86; do
  log=build/build-$preset.log
  { cmake --preset "$preset" >/dev/null && cmake --build --preset "$preset"; } >"$log" 2>&1 \
    || { tail -40 "$log"; echo "build of $preset failed"; exit 1; }
  grep -E 'warning:' "$log" | grep -v '/third_party/' | sort -u | head -20
done

# The installer test upgrades to a package of the next version: the DLL built once more with it.
version=$(sed -n 's/^#define QB_VERSION_TEXT "\(.*\)"$/\1/p' build/x64/src/version.h)
next=$(awk -F. '{ printf "%d.%d.%d", $1, $2, $3 + 1 }' <<<"$version")
for preset in x64 x86; do
  log=build/build-$preset-next.log
  { cmake --preset "$preset" -B "build/$preset-next" -DQB_VERSION="$next" -DQB_BUILD_TESTS=OFF >/dev/null &&
    cmake --build "build/$preset-next" --target Quillbox $([ "$preset" = x64 ] && echo qb_regrows); } >"$log" 2>&1 \
    || { tail -40 "$log"; echo "build of $next ($preset) failed"; exit 1; }
done

total_pass=0 total_fail=0
tally() {  # adds the counts of a "name: N passed, N failed" line
  local line; line=$(grep -E '^[a-z0-9.-]+: [0-9]+ passed, [0-9]+ failed' <<<"$1" | tail -1)
  if [ -z "$line" ]; then total_fail=$((total_fail + 1)); echo "no summary line: counted as a failure"; return; fi
  total_pass=$((total_pass + $(sed -E 's/.*: ([0-9]+) passed.*/\1/' <<<"$line")))
  total_fail=$((total_fail + $(sed -E 's/.*passed, ([0-9]+) failed.*/\1/' <<<"$line")))
  # A test script's own fault (a helper called before it is defined, a syntax error) leaves the
  # check it was in with an empty answer, which can pass: the layer fails instead.
  if grep -qE '\.sh: line [0-9]+: ' <<<"$1"; then
    total_fail=$((total_fail + 1)); echo "a test script failed in its own code: counted as a failure"
  fi
}

echo "== binaries"
out=$(bash tests/binaries.sh build/x64 build/x86 2>&1); echo "$out"; tally "$out"

source tools/wine-env.sh
QB_XVFB=1 qb_wine_up
trap qb_wine_down EXIT

echo "== unit tests (x64, Wine)"
logs=$root/build/test-logs; mkdir -p "$logs"
# A program's run passes only when every test it holds ran and passed and it then ended cleanly:
# a crash after the summary (at exit, in static teardown) or a failure outside any test fails it.
unit_run() {  # ARCH EXE
  local exe="build/$1/tests/$2.exe" log="$logs/$2-$1.log" listed ran passed rc unit bad
  listed=$(timeout 120 "$QB_WINE" "$exe" --gtest_list_tests </dev/null 2>/dev/null | tr -d '\r' | grep -c '^  ')
  timeout 900 "$QB_WINE" "$exe" --gtest_brief=1 >"$log" 2>&1 </dev/null; rc=$?
  unit=$(tr -d '\r' <"$log")
  ran=$(grep -Eo '^\[==========\] [0-9]+ tests? from' <<<"$unit" | grep -Eo '[0-9]+' | head -1)
  passed=$(grep -Eo '^\[  PASSED  \] [0-9]+' <<<"$unit" | grep -Eo '[0-9]+$')
  bad=$(( ${ran:-0} - ${passed:-0} ))
  grep '^\[  FAILED  \] [A-Za-z]' <<<"$unit"
  grep '^x86: ' <<<"$unit" | sort -u  # what a 32-bit run cannot check, and why
  if [ -z "$ran" ] || [ "$ran" -ne "$listed" ]; then
    echo "$2 ($1): ran ${ran:-no} tests of the $listed it holds"; tail -20 <<<"$unit"; bad=$((bad + 1))
  elif [ "$rc" -ne 0 ] && [ "$bad" -eq 0 ]; then
    echo "$2 ($1): every test passed, but the program ended with status $rc"; tail -5 <<<"$unit"; bad=1
  fi
  echo "$2 ($1): ${passed:-0} passed, $bad failed"
  tally "unit: ${passed:-0} passed, $bad failed"
}
unit_run x64 qb_unit_tests
echo "== unit tests (x86, Wine WoW64)"
unit_run x86 qb_unit_tests

for arch in x64 x86; do
  echo "== end to end ($arch, Wine)"
  timeout 1200 bash tests/e2e/run.sh "build/$arch" "$arch" >"$logs/e2e-$arch.log" 2>&1 </dev/null
  out=$(cat "$logs/e2e-$arch.log"); echo "$out"; tally "$out"
done

echo "== installer packages (each installed, upgraded and removed under Wine; x86 under WoW64)"
# Packages of an earlier run must never stand in for the ones this run failed to make.
rm -rf build/packages
if { bash tools/package.sh && bash tools/package.sh x64 build/x64-next build/packages &&
     bash tools/package.sh x86 build/x86-next build/packages; } >"$logs/package.log" 2>&1; then
  for arch in x64 x86; do
    timeout 900 bash tests/installer/run.sh "build/$arch" build/packages "$version" "$next" "$arch" \
      >"$logs/installer-$arch.log" 2>&1 </dev/null
    out=$(cat "$logs/installer-$arch.log"); echo "$out"; tally "$out"
  done
else
  tail -20 "$logs/package.log"; echo "packaging failed"
  tally "packaging: 0 passed, 1 failed"
fi

echo
echo "all: $total_pass passed, $total_fail failed"
[ "$total_fail" -eq 0 ]
