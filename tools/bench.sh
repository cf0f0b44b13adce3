#!/usr/bin/env bash
# Prints how fast the four relation windows are with large vocabularies, and the local file
# window with many attachments and memos
# (see tests/bench/relation_bench.cpp).
#   tools/bench.sh [--runs K] [--attachments A] [--memos M] [N ...]
#                                          default: 3 runs of 0 10000 50000, A = M = 1000
# Then a run of the random-action test with a seed taken from the clock (the test command runs a
# fixed one); a failure prints the seed that replays it (QB_MONKEY_SEED=...).
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"
bash tools/setup.sh
mkdir -p build
{ cmake --preset x64 >/dev/null && cmake --build --preset x64; } >build/build-bench.log 2>&1 || { tail -40 build/build-bench.log; exit 1; }
source tools/wine-env.sh
QB_XVFB=1 qb_wine_up
trap qb_wine_down EXIT
qb_wine regsvr32.exe /s "$(qb_winpath build/x64/standin/TesraSuite.dll)"
qb_wine build/x64/tests/relation_bench.exe "$@" </dev/null 2>&1 | tr -d '\r'
echo
echo "random actions, seed from the clock:"
QB_MONKEY_SEED=clock qb_wine build/x64/tests/qb_unit_tests.exe --gtest_brief=1 --gtest_filter='MonkeyTest.*' </dev/null 2>&1 \
  | tr -d '\r' | grep -E '^monkey:|Failure|seed|FAILED|PASSED'
