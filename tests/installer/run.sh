#!/usr/bin/env bash
# The installer packages under Wine: a package installed into a fresh prefix, used from a script
# host of its architecture against the registered stand-in suite, upgraded, removed without a
# trace; the x64 run also compares the two packages' tables. The x86 package goes into the same
# kind of 64-bit prefix, under WoW64, as on a 64-bit Windows. Expects a display (see tools/test.sh).
# Usage: run.sh BUILD_DIR PACKAGES_DIR VERSION NEXT_VERSION [x64|x86]
set -uo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
build=$(realpath "${1:?usage: run.sh BUILD_DIR PACKAGES_DIR VERSION NEXT_VERSION [x64|x86]}")
packages=$(realpath "${2:?}")
version=${3:?} next=${4:?} arch=${5:-x64}
sys='' programs='Program Files' typelib=win64 product='Quillbox (x64)'
[ "$arch" = x86 ] && sys='C:\windows\syswow64\' programs='Program Files (x86)' typelib=win32 product='Quillbox (x86)'
# The programs of the architecture under test: they see its registry view.
regsvr32() { qb_wine "${sys}regsvr32.exe" "$@"; }
cscript() { qb_wine "${sys}cscript.exe" "$@"; }
reg() { qb_wine "${sys}reg.exe" "$@"; }
# A prefix of its own, made fresh: nothing of the other tests' registrations is in it.
export WINEPREFIX=$build/wineprefix-install
rm -rf "$WINEPREFIX"
source "$here/../../tools/wine-env.sh"
passed=0 failed=0
ok()   { passed=$((passed + 1)); echo "  ok   $1"; }
bad()  { failed=$((failed + 1)); echo "  FAIL $1"; }
check() { local name=$1; shift; if "$@"; then ok "$name"; else bad "$name"; fi; }
equals() { if [ "$2" = "$3" ]; then ok "$1"; else bad "$1: expected '$2', got '$3'"; fi; }
regkey() { local o; o=$(reg query "$1" ${2:+/v "$2"} 2>/dev/null) && tr -d '\r' <<<"$o"; }
regvalue() { regkey "$1" "${2:-}" | sed -n 's/.*REG_SZ *//p' | head -1; }
absent() { ! reg query "$1" >/dev/null 2>&1; }
driver() { qb_wine "$build/tools/uidriver/uidriver.exe" "$@"; }
suitectl() { qb_wine "$build/standin/suitectl.exe" "$@" | tr -d '\r'; }
finish() {
  "$QB_WINESERVER" -k 2>/dev/null
  echo "installer$([ "$arch" = x86 ] && echo -x86): $passed passed, $failed failed"
  exit 0
}

msi_x64=$packages/Quillbox-$version-x64.msi
msi_next=$packages/Quillbox-$next-$arch.msi
msi_x86=$packages/Quillbox-$version-x86.msi
msi=$packages/Quillbox-$version-$arch.msi
for f in "$msi_x64" "$msi_next" "$msi_x86"; do [ -f "$f" ] || { bad "package $f is missing"; finish; }; done

if [ "$arch" = x64 ]; then
echo "the 32-bit package's tables"
table() { msiinfo export "$1" "$2" | tr -d '\r' | tail -n +4 | sort; }
rows64=$(table "$msi_x64" Registry | cut -f2-5 | sort)
rows86=$(table "$msi_x86" Registry | cut -f2-5 | sort)
equals "the same registry rows as the 64-bit package, but for the 32-bit type library key" \
  "$(sed 's/\\0\\win64\t/\\0\\win32\t/' <<<"$rows64")" "$rows86"
check "the rows name the class, both ProgIDs, the type library and the dispinterface" \
  grep -qE 'InprocServer32	ThreadingModel	Apartment' <<<"$rows86"
for key in 'Quillbox.Engine\\CurVer' 'Quillbox.Engine.1\\CLSID' '\\VersionIndependentProgID' \
           '\\0\\win32' '^0	Interface\\{1FB0918F-D26A-4F20-A13E-D4F5EEE33DC6}\\TypeLib	Version'; do
  check "x86 row $key" grep -qE "$key" <<<"$rows86"
done
equals "every component of the 32-bit package is a 32-bit one (registry in the 32-bit view)" "0" \
  "$(table "$msi_x86" Component | cut -f4 | sort -u | tr '\n' ' ' | sed 's/ $//')"
equals "every component of the 64-bit package is a 64-bit one" "256" \
  "$(table "$msi_x64" Component | cut -f4 | sort -u | tr '\n' ' ' | sed 's/ $//')"
check "the 32-bit package installs under Program Files (x86)" \
  grep -qE '^INSTALLDIR	ProgramFilesFolder	Quillbox$' <<<"$(table "$msi_x86" Directory)"
check "its platform is Intel" grep -q 'Intel;1033' <<<"$(msiinfo suminfo "$msi_x86")"
prop() { table "$1" Property | sed -n "s/^$2	//p"; }
equals "the two packages' upgrade codes differ (they install side by side)" 2 \
  "$(printf '%s\n%s\n' "$(prop "$msi_x64" UpgradeCode)" "$(prop "$msi_x86" UpgradeCode)" | sort -u | wc -l)"
equals "the next version keeps the upgrade code" "$(prop "$msi_x64" UpgradeCode)" "$(prop "$msi_next" UpgradeCode)"
equals "ProductVersion is the build's version" "$version" "$(prop "$msi_x86" ProductVersion)"
files86=$(table "$msi_x86" File | cut -f3 | sed 's/.*|//' | sort | tr '\n' ' ')
equals "what goes in: the DLL and the files read beside it, nothing else" \
  "Build.avi Quillbox.dll UploadXXX.txt mac.skn updateprogress.avi " "$files86"
fi

echo "install into a fresh prefix"
qb_make_prefix
"$QB_WINESERVER" -p >/dev/null 2>&1 </dev/null
qb_wine cmd.exe /c exit >/dev/null 2>&1 </dev/null
for dll in TesraSuite MailClient PlatformStandIns; do
  check "stand-in $dll registers" regsvr32 /s "$(qb_winpath "$build/standin/$dll.dll")"
done
export TESRA_SUITE_DB; TESRA_SUITE_DB=$(qb_winpath "$build/installer-suite.db"); rm -f "$build/installer-suite.db"
mkdir -p "$WINEPREFIX/drive_c/qbtest"
suitectl seed "$(qb_winpath "$here/../e2e/fixture.sql")"
check "Quillbox.Engine is not known before the install" absent 'HKCR\Quillbox.Engine'
check "msiexec /i /qn succeeds" qb_wine msiexec.exe /i "$(qb_winpath "$msi")" /qn
dir="$WINEPREFIX/drive_c/$programs/Quillbox"
for f in Quillbox.dll UploadXXX.txt skin/mac.skn Avi/Build.avi Avi/updateprogress.avi; do check "installed: $f" test -f "$dir/$f"; done
clsid=$(regvalue 'HKCR\Quillbox.Engine\CLSID')
equals "the ProgID names Engine's class" '{78C64B61-7F52-4480-9836-377A6590397B}' "$clsid"
equals "the class is served by the installed DLL" "C:\\$programs\\Quillbox\\Quillbox.dll" \
  "$(regvalue "HKCR\\CLSID\\$clsid\\InprocServer32")"
equals "the version-independent ProgID points at the current one" 'Quillbox.Engine.1' "$(regvalue 'HKCR\Quillbox.Engine\CurVer')"
equals "the type library is registered for the installed DLL" "C:\\$programs\\Quillbox\\Quillbox.dll" \
  "$(regvalue "HKCR\\TypeLib\\{A4D276E6-B98B-41EA-B1BA-23735BCE3513}\\1.0\\0\\$typelib")"

# What the package wrote is what the DLL's own registration writes: registering the installed DLL
# by hand changes nothing.
dump() {
  local k
  for k in "HKCR\\CLSID\\$clsid" 'HKCR\Quillbox.Engine' 'HKCR\Quillbox.Engine.1' \
           'HKCR\TypeLib\{A4D276E6-B98B-41EA-B1BA-23735BCE3513}' 'HKCR\Interface\{1FB0918F-D26A-4F20-A13E-D4F5EEE33DC6}'; do
    reg query "$k" /s 2>/dev/null | tr -d '\r'
  done
}
installed=$(dump)
regsvr32 /s "C:\\$programs\\Quillbox\\Quillbox.dll"
equals "DllRegisterServer writes exactly what the package wrote" "$installed" "$(dump)"

# Used: a script host creates the engine; the name dialog shows the stand-in suite's data.
use() {  # VERSION-TEXT
  local out call
  cscript //nologo "$(qb_winpath "$here/../e2e/call.vbs")" ShowEditName 'C:\qbtest\report.txt' \
    >"$build/installer-call.out" 2>&1 </dev/null &
  call=$!
  if driver wait Relations >/dev/null; then
    equals "$1: the dialog shows the item's name from the suite" 'Quarterly report' "$(driver gettext Relations 'Edit#1' | tr -d '\r')"
    driver close Relations
  else
    bad "$1: the name dialog did not show"
  fi
  wait $call
  check "$1: the call returns cleanly" grep -q 'call.vbs: 1 passed, 0 failed' "$build/installer-call.out"
  out=$(cscript //nologo "$(qb_winpath "$here/version.vbs")" "C:\\$programs\\Quillbox\\Quillbox.dll" 2>&1 | tr -d '\r')
  equals "$1: the installed DLL's file version" "$1.0" "$out"
}
use "$version"

echo "upgrade"
check "msiexec /i of the next version succeeds" qb_wine msiexec.exe /i "$(qb_winpath "$msi_next")" /qn
use "$next"
products() { reg query 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall' /s 2>/dev/null | tr -d '\r' | grep -c "DisplayName.*REG_SZ *$product\$"; }
equals "one product is installed after the upgrade" 1 "$(products)"

echo "removal"
# A failure reported by the component leaves its log beside the DLL.
printf ' -- ERROR --\r\n' >"$dir/Quillbox.Log"
check "msiexec /x /qn succeeds" qb_wine msiexec.exe /x "$(qb_winpath "$msi_next")" /qn
check "no file and no folder is left" test ! -e "$dir"
for k in 'HKCR\Quillbox.Engine' 'HKCR\Quillbox.Engine.1' "HKCR\\CLSID\\$clsid" \
         'HKCR\TypeLib\{A4D276E6-B98B-41EA-B1BA-23735BCE3513}' 'HKCR\Interface\{1FB0918F-D26A-4F20-A13E-D4F5EEE33DC6}' \
         'HKLM\Software\Classes\Quillbox.Engine'; do
  check "no key left: $k" absent "$k"
done
equals "no product is installed" 0 "$(products)"
finish
