#!/usr/bin/env bash
# End-to-end tests under Wine: registration, the engine from VBScript, dialogs driven from another
# process, data checked from a third. Expects tools/wine-env.sh to be up (see tools/test.sh).
# Usage: run.sh BUILD_DIR
set -u
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
source "$here/../../tools/wine-env.sh"
build=$(realpath "${1:?usage: run.sh BUILD_DIR}")
passed=0 failed=0
ok()   { passed=$((passed + 1)); echo "  ok   $1"; }
bad()  { failed=$((failed + 1)); echo "  FAIL $1"; }
check() { local name=$1; shift; if "$@"; then ok "$name"; else bad "$name"; fi; }
equals() { if [ "$2" = "$3" ]; then ok "$1"; else bad "$1: expected '$2', got '$3'"; fi; }

dll=$(qb_winpath "$build/src/Quillbox.dll")
suite=$(qb_winpath "$build/standin/TesraSuite.dll")
work="$build/e2e"; rm -rf "$work"; mkdir -p "$work"
export TESRA_SUITE_DB; TESRA_SUITE_DB=$(qb_winpath "$work/suite.db")
suitectl() { qb_wine "$build/standin/suitectl.exe" "$@" | tr -d '\r'; }
driver()   { qb_wine "$build/tests/uidriver.exe" "$@"; }
# Runs a script with Wine's cscript; a script that printed no summary line failed, whatever its exit code.
vbs() {
  local out; out=$(qb_wine cscript //nologo "$(qb_winpath "$1")" "${@:2}" 2>&1 | tr -d '\r')
  local rc=$?
  printf '%s\n' "$out" | sed 's/^/    /'
  printf '%s\n' "$out" | grep -Eq '^[a-z.-]+: [0-9]+ passed, 0 failed$' && [ $rc -eq 0 ]
}
regkey() { local o; o=$(qb_wine reg.exe query "$1" ${2:+/v "$2"} 2>/dev/null) && tr -d '\r' <<<"$o"; }

echo "registration"
check "Quillbox.dll registers" qb_wine regsvr32.exe /s "$dll"
check "stand-in suite registers" qb_wine regsvr32.exe /s "$suite"
clsid=$(regkey 'HKCR\Quillbox.Engine\CLSID' | grep -o '{[^}]*}')
check "ProgID Quillbox.Engine names a CLSID" test -n "$clsid"
model=$(regkey "HKCR\\CLSID\\$clsid\\InprocServer32" ThreadingModel | grep -o 'Apartment')
equals "in-process server is apartment threaded" Apartment "$model"

echo "engine from VBScript"
mkdir -p "$WINEPREFIX/drive_c/qbtest"
suitectl seed "$(qb_winpath "$here/fixture.sql")"
check "engine.vbs" vbs "$here/engine.vbs"

echo "edit dialogs driven from another process"
# Name: new text typed, "Ok" clicked.
qb_wine cscript //nologo "$(qb_winpath "$here/call.vbs")" ShowEditName 'C:\qbtest\report.txt' >"$work/name.out" 2>&1 &
host=$!
check "name dialog shows" driver wait Relations
equals "field shown" 'Quarterly report' "$(driver gettext Relations 'Edit#1' | tr -d '\r')"
driver settext Relations 'Edit#1' '  Annual report ' && driver click Relations Ok
wait $host; check "host returns after Ok" grep -q '1 passed, 0 failed' "$work/name.out"
equals "name stored as typed, seen by another process" '  Annual report ' \
  "$(suitectl query 'SELECT FileName FROM items WHERE FileId = 1')"

# Comment: Enter in the multi-line box confirms.
qb_wine cscript //nologo "$(qb_winpath "$here/call.vbs")" ShowEditComment 'C:\qbtest\report.txt' >"$work/comment.out" 2>&1 &
host=$!
driver wait Relations && driver settext Relations 'Edit#1' 'Checked by audit' && driver char Relations 'Edit#1' 13
wait $host; check "Enter confirms the comment" grep -q '1 passed, 0 failed' "$work/comment.out"
equals "comment stored" 'Checked by audit' "$(suitectl query 'SELECT FileComment FROM items WHERE FileId = 1')"

# Path: the close box leaves without a change.
qb_wine cscript //nologo "$(qb_winpath "$here/call.vbs")" ShowEditPath 'C:\qbtest\contract.doc' >"$work/path.out" 2>&1 &
host=$!
driver wait Relations && driver settext Relations 'Edit#1' 'D:\elsewhere.doc' && driver close Relations
wait $host; check "close box returns to the host" grep -q '1 passed, 0 failed' "$work/path.out"
equals "path unchanged after the close box" 'C:\qbtest\contract.doc' \
  "$(suitectl query 'SELECT FileCurrentPath FROM items WHERE FileId = 3')"

echo "command-line host"
out=$(qb_wine "$build/host/quillhost.exe" ShowRelation 'C:\qbtest\report.txt'); rc=$?
out=$(tr -d '\r' <<<"$out")
equals "host exits non-zero on a raised error" 1 "$rc"
equals "host prints the number" 'error 445' "$(head -1 <<<"$out")"
equals "host prints the source" 'source: Quillbox Engine.ShowRelation() ' "$(sed -n 2p <<<"$out")"

echo "suite missing"
qb_wine regsvr32.exe /s /u "$suite"
check "missing-suite.vbs" vbs "$here/missing-suite.vbs"
qb_wine regsvr32.exe /s "$suite"

echo "unregistration"
check "Quillbox.dll unregisters" qb_wine regsvr32.exe /s /u "$dll"
equals "ProgID key removed" '' "$(regkey 'HKCR\Quillbox.Engine')"
equals "CLSID key removed" '' "$(regkey "HKCR\\CLSID\\$clsid")"
qb_wine regsvr32.exe /s "$dll"

echo "e2e: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
