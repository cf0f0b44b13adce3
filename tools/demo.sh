#!/usr/bin/env bash
# The demo: builds the component, registers it with the stand-in suite in a private Wine prefix,
# seeds sample data and opens the relation window on a sample local file through the command-line host.
# With a DISPLAY the dialog is yours to use; without one it runs on Xvfb and two screenshots are
# saved: the window as it opens (the Keywords tab) and its Themes tab.
#   tools/demo.sh [OPERATION [ARG...]]    default: ShowRelation "C:\Quillbox Demo\Quarterly report.txt"
#   tools/demo.sh --gallery               every window and dialog at 96 and 144 dpi and in high
#                                         contrast, on Xvfb, into one contact sheet: docs/gallery.png
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"
bash tools/setup.sh
{ cmake --preset x64 >/dev/null && cmake --build --preset x64; } >build-demo.log 2>&1 || { tail -40 build-demo.log; exit 1; }
rm -f build-demo.log

headless=no
[ -z "${DISPLAY:-}" ] && headless=yes
# The gallery is always made on a screen of its own, of a known size.
[ "${1:-}" = --gallery ] && export QB_XVFB=1
source tools/wine-env.sh
qb_wine_up
trap qb_wine_down EXIT

qb_wine regsvr32.exe /s "$(qb_winpath build/x64/src/Quillbox.dll)"
qb_wine regsvr32.exe /s "$(qb_winpath build/x64/standin/TesraSuite.dll)"
qb_wine regsvr32.exe /s "$(qb_winpath build/x64/standin/MailClient.dll)"
mkdir -p build/demo "$WINEPREFIX/drive_c/Quillbox Demo"
printf 'Sales rose in every region.\r\n' >"$WINEPREFIX/drive_c/Quillbox Demo/Quarterly report.txt"
export TESRA_SUITE_DB; TESRA_SUITE_DB=$(qb_winpath build/demo/suite.db)
qb_wine build/x64/standin/suitectl.exe seed "$(qb_winpath standin/fixtures/sample.sql)"

qb_wine reg.exe add 'HKCU\Software\VB and VBA Program Settings\Vellumdex\Selected View Shell' /v ID /d 1 /f >/dev/null 2>&1
if [ "${1:-}" = --gallery ]; then
  qb_wine regsvr32.exe /s "$(qb_winpath build/x64/standin/PlatformStandIns.dll)"
  source tools/gallery.sh
  exit
fi
if [ $# -eq 0 ]; then set -- ShowRelation 'C:\Quillbox Demo\Quarterly report.txt'; fi
# The mail item window saves through the mail client, which must be running.
if [ "$1" = ShowRelationOutlook ]; then qb_wine build/x64/standin/OUTLOOK.exe 3600 >/dev/null 2>&1 & fi
echo "demo: quillhost $*"
if [ "$headless" = no ]; then
  qb_wine build/x64/host/quillhost.exe "$@"
  exit
fi
qb_wine build/x64/host/quillhost.exe "$@" &
host=$!
if qb_wine build/x64/tools/uidriver/uidriver.exe wait 'Relations*' 2>/dev/null; then
  sleep 0.5
  shot="$root/build/demo/quillbox-demo.png"
  import -display "$DISPLAY" -window root "$shot"
  echo "demo: screenshot $shot"
  # The memos of the item, on the Themes tab.
  qb_wine build/x64/tools/uidriver/uidriver.exe tab 'Relations*' SysTabControl32#1 2 >/dev/null
  sleep 0.5
  shot="$root/build/demo/quillbox-demo-themes.png"
  import -display "$DISPLAY" -window root "$shot"
  echo "demo: screenshot $shot"
  qb_wine build/x64/tools/uidriver/uidriver.exe close 'Relations*'
fi
wait $host
