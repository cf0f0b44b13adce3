#!/usr/bin/env bash
# Prints how fast the four relation windows are with large vocabularies, and the local file
# window with many attachments and memos
# (see tools/bench/relation_bench.cpp), of the 64-bit build or, with --arch x86, of the 32-bit one
# under WoW64.
#   tools/bench.sh [--arch x64|x86] [--runs K] [--attachments A] [--memos M] [N ...]
#                                          default: 3 runs of 0 10000 50000, A = M = 1000
# Then a run of the random-action test with a seed taken from the clock (the test command runs a
# fixed one); a failure prints the seed that replays it (QB_MONKEY_SEED=...).
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"
arch=x64
if [ "${1:-}" = --arch ]; then arch=${2:?--arch x64 or x86}; shift 2; fi
sys=''
[ "$arch" = x86 ] && sys='C:\windows\syswow64\'
bash tools/setup.sh
mkdir -p build
{ cmake --preset "$arch" >/dev/null && cmake --build --preset "$arch"; } >build/build-bench.log 2>&1 || { tail -40 build/build-bench.log; exit 1; }
source tools/wine-env.sh
QB_XVFB=1 qb_wine_up
trap qb_wine_down EXIT
qb_wine "${sys}regsvr32.exe" /s "$(qb_winpath "build/$arch/standin/TesraSuite.dll")"
qb_wine "build/$arch/tools/bench/relation_bench.exe" "$@" </dev/null 2>&1 | tr -d '\r'
echo
echo "random actions, seed from the clock:"
QB_MONKEY_SEED=clock qb_wine "build/$arch/tests/qb_unit_tests.exe" --gtest_brief=1 --gtest_filter='MonkeyTest.*' </dev/null 2>&1 \
  | tr -d '\r' | grep -E '^monkey:|Failure|seed|FAILED|PASSED'
