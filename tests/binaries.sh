#!/usr/bin/env bash
# Checks the built DLLs of each architecture: exactly the four COM entry points exported, only
# system DLLs imported (no compiler runtime DLLs to ship), a version resource present.
# Usage: binaries.sh BUILD_DIR...
set -u
passed=0 failed=0
ok()  { passed=$((passed + 1)); echo "  ok   $1"; }
bad() { failed=$((failed + 1)); echo "  FAIL $1"; }
system_dlls='^(advapi32|comctl32|gdi32|kernel32|msvcrt|ole32|oleacc|oleaut32|user32|shell32|shlwapi|version|comdlg32|ucrtbase|api-ms-win-.*)\.dll$'

for build in "$@"; do
  arch=$(basename "$build")
  objdump=x86_64-w64-mingw32-objdump
  for dll in "$build/src/Quillbox.dll" "$build/standin/TesraSuite.dll" "$build/standin/MailClient.dll" "$build/standin/PlatformStandIns.dll"; do
    name="$arch/$(basename "$dll")"
    if [ ! -f "$dll" ]; then bad "$name: not built"; continue; fi
    dump=$($objdump -p "$dll")
    exports=$(sed -n '\#Ordinal/Name Pointer#,/^$/p' <<<"$dump" | grep -o '\[ *[0-9]*\] .*' | sed 's/^[^]]*] //' | sort | tr '\n' ' ')
    if [ "$exports" = "DllCanUnloadNow DllGetClassObject DllRegisterServer DllUnregisterServer " ]; then
      ok "$name exports exactly the four entry points"
    else
      bad "$name exports: $exports"
    fi
    foreign=$(grep 'DLL Name:' <<<"$dump" | awk '{print tolower($3)}' | grep -Ev "$system_dlls" | tr '\n' ' ')
    if [ -z "$foreign" ]; then ok "$name imports system DLLs only"; else bad "$name imports $foreign"; fi
  done
  if x86_64-w64-mingw32-strings -el "$build/src/Quillbox.dll" | grep -q '^OriginalFilename$'; then
    ok "$arch/Quillbox.dll carries a version resource"
  else
    bad "$arch/Quillbox.dll has no version resource"
  fi
done
echo "binaries: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
