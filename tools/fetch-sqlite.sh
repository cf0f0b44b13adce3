#!/usr/bin/env bash
# Makes the SQLite amalgamation from Debian's source package into $1 (once).
set -euo pipefail
[ -n "${QB_TRACE:-}" ] && set -x
# The amalgamation is made with the host compiler, whatever the caller set up.
unset CC CXX CFLAGS CXXFLAGS LDFLAGS
out=${1:?usage: fetch-sqlite.sh OUTDIR}
[ -f "$out/sqlite3.c" ] && [ -f "$out/sqlite3.h" ] && exit 0
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
apt-get source -qq sqlite3 >/dev/null 2>&1 || { echo "fetch-sqlite: apt-get source sqlite3 failed (deb-src lines missing? run tools/setup.sh)" >&2; exit 1; }
src=$(find . -maxdepth 1 -type d -name 'sqlite3-*' | head -1)
mkdir -p "$src/bld" && cd "$src/bld"
../configure >configure.log 2>&1 || { tail -20 configure.log >&2; exit 1; }
make sqlite3.c >/dev/null 2>&1
mkdir -p "$out"
cp sqlite3.c sqlite3.h "$out/"
echo "fetch-sqlite: amalgamation from $(basename "$src") in $out"
