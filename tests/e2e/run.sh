#!/usr/bin/env bash
# End-to-end tests under Wine: registration, the engine from VBScript, dialogs driven from another
# process, data checked from a third. Expects tools/wine-env.sh to be up (see tools/test.sh).
# Usage: run.sh BUILD_DIR [x64|x86]: x86 registers with the 32-bit regsvr32 (the 32-bit registry
# view) and runs the scripts in the 32-bit script host, under WoW64.
set -uo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
source "$here/../../tools/wine-env.sh"
build=$(realpath "${1:?usage: run.sh BUILD_DIR [x64|x86]}")
arch=${2:-x64}
sys=''
[ "$arch" = x86 ] && sys='C:\windows\syswow64\'
# The programs of the architecture under test: they see its registry view.
regsvr32() { qb_wine "${sys}regsvr32.exe" "$@"; }
cscript() { qb_wine "${sys}cscript.exe" "$@"; }
reg() { qb_wine "${sys}reg.exe" "$@"; }
passed=0 failed=0
ok()   { passed=$((passed + 1)); echo "  ok   $1"; }
bad()  { failed=$((failed + 1)); echo "  FAIL $1"; }
check() { local name=$1; shift; if "$@"; then ok "$name"; else bad "$name"; fi; }
summary() { echo "e2e$([ "$arch" = x86 ] && echo -x86): $passed passed, $failed failed"; }
# Stopped by the caller's time limit: what ran still counts, and the stop is a failure.
trap 'bad "stopped by the time limit"; summary; exit 1' TERM
equals() { if [ "$2" = "$3" ]; then ok "$1"; else bad "$1: expected '$2', got '$3'"; fi; }

dll=$(qb_winpath "$build/src/Quillbox.dll")
suite=$(qb_winpath "$build/standin/TesraSuite.dll")
mailclient=$(qb_winpath "$build/standin/MailClient.dll")
platform=$(qb_winpath "$build/standin/PlatformStandIns.dll")
work="$build/e2e"; rm -rf "$work"; mkdir -p "$work"
export TESRA_SUITE_DB; TESRA_SUITE_DB=$(qb_winpath "$work/suite.db")
suitectl() { qb_wine "$build/standin/suitectl.exe" "$@" | tr -d '\r'; }
# Where the hosts' threads are (the log shows why one hangs).
hang_report() {
  timeout 60 "$QB_WINE" winedbg --command "bt all" 2>/dev/null | awk '
    /^Backtracing for thread/ { keep = ($0 ~ /quillhost\.exe|cscript\.exe/); if (keep) print "    " $0; next }
    keep && /^ *=?>?[0-9]+ 0x/ {
      if ($3 == "in") { print "      " $4 " " $5; next }
      f = $3; sub(/\(.*/, "", f); m = $0; sub(/.* in /, "", m); sub(/ .*/, "", m); print "      " f " in " m
    }' >&2
}
# uidriver gives up on a window that does not answer within a minute (status 3); the time limit
# here is for Wine itself.
driver() {
  local rc; timeout 90 "$QB_WINE" "$build/tools/uidriver/uidriver.exe" "$@"; rc=$?
  case $rc in 3 | 124) echo "    uidriver $1 '$2': no answer (status $rc)" >&2; hang_report ;; esac
  return $rc
}
# Waits for a program started in the background and gives its status, for 90 s at most: one still
# running then is hung, a failure, and is killed (with every host and script host), so a hang
# costs the run a minute and a half, not the rest of it.
finish() {
  local i
  for ((i = 0; i < 900; i++)); do
    kill -0 "$1" 2>/dev/null || { wait "$1"; return; }
    sleep 0.1
  done
  bad "a program still running after 90 s: killed"
  hang_report
  qb_wine taskkill.exe /f /im quillhost.exe >/dev/null 2>&1
  qb_wine taskkill.exe /f /im cscript.exe >/dev/null 2>&1
  kill "$1" 2>/dev/null; wait "$1" 2>/dev/null
  return 124
}
# Runs a test script with Wine's cscript and adds its counts; a script that printed no summary line
# failed, whatever its exit code (Wine's cscript exits 0 on a script error).
vbs() {
  local out rc summary
  out=$(timeout 600 "$QB_WINE" "${sys}cscript.exe" //nologo "$(qb_winpath "$1")" "${@:2}" 2>&1 </dev/null); rc=$?
  out=$(tr -d '\r' <<<"$out")
  printf '%s\n' "$out" | sed 's/^/    /'
  summary=$(grep -E '^[a-z.-]+: [0-9]+ passed, [0-9]+ failed$' <<<"$out" | tail -1)
  if [ -z "$summary" ]; then bad "$(basename "$1"): no summary line (script error?)"; return; fi
  passed=$((passed + $(sed -E 's/.*: ([0-9]+) passed.*/\1/' <<<"$summary")))
  failed=$((failed + $(sed -E 's/.*passed, ([0-9]+) failed/\1/' <<<"$summary")))
  [ $rc -eq 0 ] || bad "$(basename "$1") exit code $rc"
}
regkey() { local o; o=$(reg query "$1" ${2:+/v "$2"} 2>/dev/null) && tr -d '\r' <<<"$o"; }

# Answers the next message box titled $2 (default "Quillbox") that says $1; prints what it said.
answered() { answer_box "$@" >/dev/null; }
answer_box() {
  local said title=${2:-Quillbox} until=$((SECONDS + 40))
  while [ "$SECONDS" -lt "$until" ]; do
    said=$(driver texts "$title" Static 2>/dev/null | tr -d '\r')
    if grep -qF -- "$1" <<<"$said"; then driver click "$title" OK; printf '%s' "$said"; return 0; fi
    sleep 0.1
  done
  # Not said: the run's log shows what is open instead, and the component's last log block; a
  # box that stays would leave the window under it to the next checks, so it is answered.
  local box
  while IFS= read -r box; do
    echo "    shown instead: $box" >&2
    driver click "${box%%:*}" OK 2>/dev/null
  done < <(driver boxes - 2>/dev/null | tr -d '\r')
  [ -n "$(find "$build/src/Quillbox.Log" -newermt '-2 minutes' 2>/dev/null)" ] &&
    tail -n 6 "$build/src/Quillbox.Log" | tr -d '\r' | sed 's/^/    log: /' >&2
  return 1
}
# Relates the first keyword of the first group ("2025" under "Year", opened) with Enter in the
# tree of the window shown; prints how many relations of it to item $1 are stored once it is.
relate_first_keyword() {
  local stored='SELECT COUNT(*) FROM keyword_items WHERE KeyId = 121 AND FileId = '"$1"
  driver treeselect 'Relations*' 'SysTreeView32#1' 0 0 && driver keys 'Relations*' 'SysTreeView32#1' 13
  for _ in $(seq 1 50); do [ "$(suitectl query "$stored")" = 1 ] && break; sleep 0.1; done
  suitectl query "$stored"
}
# Every control the keyboard reaches now, as a screen reader in another process reads it
# ("class|name|role|value|items"); the tab strip is named by its tabs.
read_aloud() { driver accall "$1" | tr -d '\r'; }
# A window that does not answer, or has nothing to read, is a fault too: the checks take an empty
# answer for "no fault".
unnamed() {
  local spoken; spoken=$(read_aloud "$1") && [ -n "$spoken" ] || { echo "no answer from the window"; return; }
  awk -F'|' '$1 != "SysTabControl32" && $2 == ""' <<<"$spoken" | tr '\n' ' '
}
# As a keyboard user meets the window shown, from another process: Tab pressed round it from the
# focus ("round: A > B > ..." from the first stop in reading order), then the faults found
# (duplicate access keys, stops never reached or out of reading order, no default button).
keyboard() { driver keyboard "$1" | tr -d '\r'; }
# Checks that window $2 went after a key; one that stays is closed with its button $3 (Ok), so
# that the host's call returns and the run goes on.
went() { if driver gone "$2"; then ok "$1"; else bad "$1"; driver click "$2" "${3:-Ok}"; driver gone "$2"; fi; }
keyboard_faults() {
  local met; met=$(keyboard "$1") && grep -q '^round:' <<<"$met" || { echo "no answer from the window"; return; }
  grep '^fault:' <<<"$met" | tr '\n' ' '
}
# Each of the tabs given, in turn, as a screen reader and a keyboard user meet it ($1: the window
# as the checks name it).
every_tab() {
  local what=$1 t; shift
  for t in "$@"; do
    # Tab onto the page shown before the change: the change must not leave the focus hidden.
    for _ in 1 2 3; do driver press 'Relations*' 9; sleep 0.1; done
    driver tab 'Relations*' 'SysTabControl32#1' "$t" >/dev/null
    equals "$what, tab $t: a screen reader hears a name for every control" '' "$(unnamed 'Relations*')"
    equals "$what, tab $t: one access key per letter, Tab round in reading order, a default button" '' \
      "$(keyboard_faults 'Relations*')"
  done
}

echo "registration"
check "Quillbox.dll registers" regsvr32 /s "$dll"
check "stand-in suite registers" regsvr32 /s "$suite"
check "mail client stand-in registers" regsvr32 /s "$mailclient"
check "platform stand-ins register" regsvr32 /s "$platform"
clsid=$(regkey 'HKCR\Quillbox.Engine\CLSID' | grep -o '{[^}]*}')
check "ProgID Quillbox.Engine names a CLSID" test -n "$clsid"
model=$(regkey "HKCR\\CLSID\\$clsid\\InprocServer32" ThreadingModel | grep -o 'Apartment')
equals "in-process server is apartment threaded" Apartment "$model"

ops=$(qb_wine "$build/host/quillhost.exe" --describe | tr -d '\r'); rc=$?
equals "type information describes the nine operations with the ids Engine answers" \
  "0 1 ShowEditName 2 ShowEditComment 3 ShowEditPath 4 ShowRelation 5 ShowAllItemsRelation 6 ShowRelationOutlook 7 ShowRelationWeb 8 ShowRelationWebEdition 9 UploadXXX" \
  "$rc $(tr '\n' ' ' <<<"$ops" | sed 's/ $//')"
check "type library registered" test -n "$(regkey 'HKCR\TypeLib\{A4D276E6-B98B-41EA-B1BA-23735BCE3513}')"

echo "engine from VBScript"
mkdir -p "$WINEPREFIX/drive_c/qbtest"
suitectl seed "$(qb_winpath "$here/fixture.sql")"
vbs "$here/engine.vbs"

echo "browser opener"
# The shell's http handler is pointed at the recorder for the time of the test.
export QB_RECORDER_LOG; QB_RECORDER_LOG=$(qb_winpath "$work/recorder.log")
http_before=$(regkey 'HKCR\http\shell\open\command' | sed -n 's/.*REG_SZ *//p')
reg add 'HKCR\http\shell\open\command' /ve /d "\"$(qb_winpath "$build/tests/recorder.exe")\" \"%1\"" /f >/dev/null 2>&1
vbs "$here/webopen.vbs"
for _ in $(seq 1 50); do [ -s "$work/recorder.log" ] && break; sleep 0.1; done
check "the address reaches the browser" grep -qF 'http://127.0.0.1/suite/page.html?a=1' "$work/recorder.log"
[ -n "$http_before" ] && reg add 'HKCR\http\shell\open\command' /ve /d "$http_before" /f >/dev/null 2>&1

echo "edit dialogs driven from another process"
# Name: new text typed, "Ok" clicked.
cscript //nologo "$(qb_winpath "$here/call.vbs")" ShowEditName 'C:\qbtest\report.txt' >"$work/name.out" 2>&1 &
host=$!
check "name dialog shows" driver wait Relations
equals "field shown" 'Quarterly report' "$(driver gettext Relations 'Edit#1' | tr -d '\r')"
equals "the name dialog: one access key per letter, Tab round in reading order, a default button" '' "$(keyboard_faults Relations)"
driver settext Relations 'Edit#1' '  Annual report ' && driver click Relations Ok
finish $host; check "host returns after Ok" grep -q '1 passed, 0 failed' "$work/name.out"
equals "name stored as typed, seen by another process" '  Annual report ' \
  "$(suitectl query 'SELECT FileName FROM items WHERE FileId = 1')"

echo "relation window driven from another process"
suitectl seed "$(qb_winpath "$here/../../standin/fixtures/sample.sql")"
mkdir -p "$WINEPREFIX/drive_c/Quillbox Demo"
printf 'numbers\r\n' >"$WINEPREFIX/drive_c/Quillbox Demo/Quarterly report.txt"
reg add 'HKCU\Software\VB and VBA Program Settings\Vellumdex\Selected View Shell' /v ID /d 1 /f >/dev/null 2>&1
qb_wine "$build/host/quillhost.exe" ShowRelation 'C:\Quillbox Demo\Quarterly report.txt' >"$work/relation.out" 2>&1 &
host=$!
check "relation window shows" driver wait 'Relations*'
equals "a screen reader walking the window finds the controls of the tabs not shown yet" '&Create &Upload' \
  "$(read_aloud 'Relations*' >/dev/null; driver texts 'Relations*' Button | tr -d '\r' | grep -Fx -e '&Create' -e '&Upload' | paste -sd' ')"
equals "the view in use is on its button" Projects "$(driver texts 'Relations*' Button | tr -d '\r' | sed -n 's/^Projects$/Projects/p')"
equals "for a local file while connected, the Server tab can be chosen" 4 "$(driver tab 'Relations*' 'SysTabControl32#1' 4 | tr -d '\r')"
every_tab "local file window" 4 3 2 0 1
equals "Tab goes through the Keywords tab in reading order, the page before Ok" \
  'round: SysTabControl32 > Filter keywords > All Keywords > Related keywords > Keyword view: Projects > Add/Edit keywords > Ok' \
  "$(keyboard 'Relations*' | grep '^round:')"
equals "the view button says which view it shows" 'Button|Keyword view: Projects|43||0' "$(read_aloud 'Relations*' | grep '^Button|Keyword view' | cut -d'|' -f1-5)"
equals "the tree is an outline of its shown nodes, the related keywords a list of its rows" 'SysTreeView32|All Keywords|35|6 SysListView32|Related keywords|33|3' \
  "$(read_aloud 'Relations*' | grep -E '^Sys(Tree|List)View32' | cut -d'|' -f1-3,5 | paste -sd' ')"
equals "a keyword related from the keyboard is stored" 1 "$(relate_first_keyword 1)"
driver tab 'Relations*' 'SysTabControl32#1' 0 >/dev/null
driver keys 'Relations*' 'Edit#1' 13
went "Enter in the name box presses the default button, Ok" 'Relations*'
finish $host; equals "the host returns after Ok" 0 "$?"
# A change of the connection state closes the window with a message.
suitectl set StateConnection 1
qb_wine "$build/host/quillhost.exe" ShowRelation 'C:\Quillbox Demo\Quarterly report.txt' >"$work/relation2.out" 2>&1 &
host=$!
driver wait 'Relations*' >/dev/null && sleep 0.5
suitectl set StateConnection 0
check "the connection message shows" answered "Your connection with Vellumdex Server to changed state" Vellumdex
check "and the window closes" driver gone 'Relations*'
finish $host; equals "the host returns" 0 "$?"
suitectl set StateConnection 1
# Any kind of item: a mail item found by its entry id opens the same window, without the Server tab.
qb_wine "$build/host/quillhost.exe" ShowAllItemsRelation '00000000A1B2C3D4E5F60718293A4B5C6D7E8F9001' >"$work/relation3.out" 2>&1 &
host=$!
check "the window shows for a mail item" driver wait 'Relations*'
equals "its record is in the name box" 'Re: delivery dates' "$(driver gettext 'Relations*' 'Edit#1' | tr -d '\r')"
equals "the Server tab cannot be chosen" 1 "$(driver tab 'Relations*' 'SysTabControl32#1' 4 | tr -d '\r')"
equals "a keyword related to the mail item is stored" 1 "$(relate_first_keyword 5)"
driver press 'Relations*' 27
went "Esc closes the window, as its close box does" 'Relations*'
finish $host; equals "the host returns" 0 "$?"
equals "and what was related stays stored" 1 "$(suitectl query 'SELECT COUNT(*) FROM keyword_items WHERE KeyId = 121 AND FileId = 5')"
# Under a high-contrast theme a window opened takes the system's colours; every keyword readable.
driver highcontrast on >/dev/null
qb_wine "$build/host/quillhost.exe" ShowRelation 'C:\Quillbox Demo\Quarterly report.txt' >"$work/contrast.out" 2>&1 &
host=$!
driver wait 'Relations*' >/dev/null
driver tab 'Relations*' 'SysTabControl32#1' 1 >/dev/null
sleep 0.3
for part in - SysTreeView32#1 SysListView32#1 Static#1 Static#2; do
  read -r back ink ratio <<<"$(driver colors 'Relations*' "$part" | tr -d '\r')"
  check "with High Contrast Black colours, $part is white on the window colour, black (read off the screen: $back $ink $ratio)" \
    test "$back $ink" = '#000000 #FFFFFF'
done
driver highcontrast off >/dev/null
driver click 'Relations*' Ok
finish $host

echo "attachments on the Files tab, through the real file-open dialog"
suitectl seed "$(qb_winpath "$here/../../standin/fixtures/sample.sql")"
printf 'minutes\r\n' >"$WINEPREFIX/drive_c/Quillbox Demo/Minutes of May.txt"
attached="SELECT group_concat(n, '|') FROM (SELECT i.FileName n FROM attachments a JOIN items i ON i.FileId = a.Attach2 WHERE a.Attach1 = 1 ORDER BY a.AttachId)"
qb_wine "$build/host/quillhost.exe" ShowRelation 'C:\Quillbox Demo\Quarterly report.txt' >"$work/files.out" 2>&1 &
host=$!
win='Relations - Quarterly report'
check "the window's caption names the item" driver wait "$win"
equals "the Files tab is chosen" 3 "$(driver tab "$win" 'SysTabControl32#1' 3 | tr -d '\r')"
equals "the stored attachment is listed, unticked" 0 "$(driver listchecks "$win" 'SysListView32#2' | tr -d '\r' | tr '\n' ' ' | sed 's/ $//')"
driver click "$win" '&Add'
check "Add opens the file-open dialog" driver wait 'Attach a file'
driver settext 'Attach a file' 'Edit#1' 'C:\Quillbox Demo\Minutes of May.txt' && driver click 'Attach a file' '&Open'
check "the dialog closes" driver gone 'Attach a file'
for _ in $(seq 1 50); do [ "$(suitectl query "$attached")" = 'Contract draft|Minutes of May.txt' ] && break; sleep 0.1; done
equals "the chosen file is stored as an attachment" 'Contract draft|Minutes of May.txt' "$(suitectl query "$attached")"
equals "and listed" '0 0' "$(driver listchecks "$win" 'SysListView32#2' | tr -d '\r' | tr '\n' ' ' | sed 's/ $//')"
driver listclick "$win" 'SysListView32#2' 1
equals "a click on its row ticks it" '0 1' "$(driver listchecks "$win" 'SysListView32#2' | tr -d '\r' | tr '\n' ' ' | sed 's/ $//')"
driver click "$win" 'Re&move'
for _ in $(seq 1 50); do [ "$(suitectl query "$attached")" = 'Contract draft' ] && break; sleep 0.1; done
equals "Remove deletes the ticked attachment only" 'Contract draft' "$(suitectl query "$attached")"
equals "and the list shows what is stored" '0' "$(driver listchecks "$win" 'SysListView32#2' | tr -d '\r' | tr '\n' ' ' | sed 's/ $//')"
equals "the attached file itself stays" 'minutes' "$(tr -d '\r' <"$WINEPREFIX/drive_c/Quillbox Demo/Minutes of May.txt")"
driver click "$win" Ok
finish $host; equals "the host returns after Ok" 0 "$?"

echo "a memo written in the memo dialog, filed in a category chosen in the suite's hosted tree"
suitectl seed "$(qb_winpath "$here/../../standin/fixtures/sample.sql")"
suitectl sql "DELETE FROM memos WHERE FileId = 1 AND MemoTheme = '4'" >/dev/null
blue() {  # pixels of the blue theme's text colour on the screen
  import -display "$DISPLAY" -window root "$work/$1.png" && convert "$work/$1.png" txt:- | grep -c '#0000C0'
}
cscript //nologo "$(qb_winpath "$here/call.vbs")" ShowRelation 'C:\Quillbox Demo\Quarterly report.txt' >"$work/memo.out" 2>&1 &
host=$!
win='Relations - Quarterly report'
driver wait "$win" >/dev/null
equals "the Themes tab is chosen" 2 "$(driver tab "$win" 'SysTabControl32#1' 2 | tr -d '\r')"
sleep 0.3
before=$(blue themes-before)
driver click "$win" '&Create'
check "Create opens the memo dialog" driver wait Theme
equals "a screen reader hears a name for every control of the memo dialog" '' "$(unnamed Theme)"
equals "the memo dialog: one access key per letter, Tab round in reading order, a default button" '' "$(keyboard_faults Theme)"
driver settext Theme 'Edit#1' 'Call the auditors'
driver keys Theme 'ComboBox#1' 40 40 40
check "the category tree of the suite is hosted in the dialog" driver treeselect Theme 'SysTreeView32#1' 0 0 1 0
sleep 0.3
import -display "$DISPLAY" -window root "$work/memo-dialog.png" && echo "    screenshot of the memo dialog: $work/memo-dialog.png"
driver click Theme Ok
check "Ok closes the memo dialog" driver gone Theme
memo="SELECT m.MemoText || '/' || m.MemoTheme || '/' || m.MemoFlag || '/' || c.CatId FROM memos m JOIN memo_categories c ON c.MemoId = m.MemoId WHERE m.FileId = 1 AND m.MemoText LIKE 'Call%'"
equals "the memo and its filing are stored, read by another process" 'Call the auditors/4/NO/112' "$(suitectl query "$memo")"
sleep 0.3
after=$(blue themes-after)
check "the grid shows the new memo in the blue theme's colour (screenshots $work/themes-before.png, $work/themes-after.png)" \
  test "$after" -gt "$((before + 20))"
memo_rows=$(suitectl query "SELECT count(*) FROM memos WHERE FileId = 1 AND ViewId = 1")
first_memo=$(suitectl query "SELECT coalesce(CASE MemoTheme WHEN '1' THEN 'Green' WHEN '2' THEN 'Red' WHEN '3' THEN 'Ochre' WHEN '4' THEN 'Blue' END || ' theme, ', '') || '...' || MemoText || '...' FROM memos WHERE FileId = 1 AND ViewId = 1 ORDER BY MemoId LIMIT 1")
equals "a screen reader in another process reads the memo grid: one item per memo, its theme said" \
  "Theme Relations|$memo_rows|$first_memo" "$(driver acc "$win" 'QuillboxGrid#1' | tr -d '\r')"
echo "    screenshot of the Themes tab with the new memo: $work/themes-after.png"
driver click "$win" Ok
finish $host; equals "the script host returns after Ok" 0 "$?"
equals "and its call succeeded" 'call.vbs: 1 passed, 0 failed' "$(tr -d '\r' <"$work/memo.out" | tail -1)"

echo "upload to the file server, a name clash resolved by Rename in the driven dialog"
suitectl seed "$(qb_winpath "$here/../../standin/fixtures/sample.sql")"
mkdir -p "$work/server"
suitectl set ServerFolder "$(qb_winpath "$work/server")"
printf 'older numbers\r\n' >"$work/server/Quarterly report.txt"
qb_wine "$build/host/quillhost.exe" ShowRelation 'C:\Quillbox Demo\Quarterly report.txt' >"$work/upload.out" 2>&1 &
host=$!
win='Relations - Quarterly report'
driver wait "$win" >/dev/null
equals "the Server tab is chosen" 4 "$(driver tab "$win" 'SysTabControl32#1' 4 | tr -d '\r')"
driver click "$win" '&Upload'
check "the name clash dialog shows" driver wait Relations
equals "its title names the file" "The file's server already contains a file name \"Quarterly report.txt.\"" \
  "$(driver texts Relations Static | tr -d '\r' | grep -F "already contains")"
equals "the name clash dialog: one access key per letter, Tab round in reading order, a default button" '' "$(keyboard_faults Relations)"
driver click Relations 'Rename the file before uploading to the server.'
driver settext Relations 'Edit#1' 'Board copy' && driver click Relations Ok
server_item="SELECT FileCurrentPath FROM items WHERE FileType = 'Server' AND FileName = 'Board copy.txt'"
# The window shows the server item once the upload and what follows it are done (reading the
# database before would meet the suite's write under way, which answers busy).
for _ in $(seq 1 100); do [ "$(driver gettext "$win" 'Edit#1' | tr -d '\r')" = 'Board copy.txt' ] && break; sleep 0.1; done
equals "the suite holds the new server item under the new name and the server's type" '/Board copy.txt' "$(suitectl query "$server_item")"
equals "the server folder holds the file under the new name" 'numbers' "$(tr -d '\r' <"$work/server/Board copy.txt" 2>/dev/null)"
equals "the server's own file is untouched" 'older numbers' "$(tr -d '\r' <"$work/server/Quarterly report.txt")"
equals "the name box shows the server item" 'Board copy.txt' "$(driver gettext "$win" 'Edit#1' | tr -d '\r')"
driver click "$win" Ok
finish $host; equals "the host returns after Ok" 0 "$?"
suitectl sql "DELETE FROM settings WHERE Name = 'ServerFolder'"

echo "the server item window: a keyword related, local copies made by the suite's downloader"
suitectl seed "$(qb_winpath "$here/../../standin/fixtures/sample.sql")"
mkdir -p "$work/srv" "$work/downloads" "$work/chosen"
printf 'prices\r\nbolts 4\r\n' >"$work/srv/Price list.xls"
# The file server's address is a local HTTP server over its folder; the downloader stand-in goes
# beside the component for the time of the test.
port=$(python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
python3 -m http.server "$port" --bind 127.0.0.1 --directory "$work/srv" >"$work/http.log" 2>&1 &
http=$!
cp "$build/standin/Pagefetch.exe" "$build/src/Pagefetch.exe"
suitectl set ServerAddress "http://127.0.0.1:$port/"
suitectl set DownloadFolder "$(qb_winpath "$work/downloads")"
suitectl set DownloaderLog "$(qb_winpath "$work/pagefetch.log")"
for _ in $(seq 1 50); do curl -s -o /dev/null "http://127.0.0.1:$port/" 2>/dev/null && break; python3 -c 'import urllib.request,sys; urllib.request.urlopen(sys.argv[1])' "http://127.0.0.1:$port/" 2>/dev/null && break; sleep 0.1; done
# Opens the server window on the sample's server item, makes a copy with the option given, and
# waits for the downloader's log to say what it saved ($2 more lines than before).
# How many copies the downloader's log says it saved (0 before its first line).
saved_count() { local n; n=$(grep -c '^saved:' "$work/pagefetch.log" 2>/dev/null); echo "${n:-0}"; }
copy_with() {
  local option=$1 before
  before=$(saved_count)
  cscript //nologo "$(qb_winpath "$here/call.vbs")" ShowRelationWeb '/Price list.xls' >"$work/server.out" 2>&1 &
  host=$!
  driver wait 'Relations*' >/dev/null
  [ -n "${3:-}" ] && "$3"
  check "$option is chosen" driver click 'Relations*' "$option"
  check "Ok is pressed" driver click 'Relations*' Ok
  [ -n "${2:-}" ] && "$2"
  finish $host
  equals "the downloader saved the copy before the window closed" $((before + 1)) "$(saved_count)"
}
relate_globex() {
  every_tab "server window" 0 2 3 1
  equals "the server window shows the keyword tree" 1 "$(relate_first_keyword 4)"
  equals "the chosen way to keep it reads as checked" 'Button|Link|45||0|100010' "$(read_aloud 'Relations*' | grep '|45|')"
}
copy_with 'Local Copy in &default path' '' relate_globex
equals "the script host's call returned" 'call.vbs: 1 passed, 0 failed' "$(tr -d '\r' <"$work/server.out" | tail -1)"
target="$(qb_winpath "$work/downloads")\\Price list.xls"
equals "the downloader fetched the server's file into the download folder" "$(cat "$work/srv/Price list.xls")" \
  "$(cat "$work/downloads/Price list.xls" 2>/dev/null)"
equals "and was handed the full address, the target and the related keywords in list order" \
  "received: http://127.0.0.1:$port/Price list.xls | $target | $(suitectl query "SELECT group_concat(KeyId, ' | ') FROM (SELECT KeyId FROM keyword_items WHERE FileId = 4 ORDER BY rowid)")" \
  "$(tr -d '\r' <"$work/pagefetch.log" | grep '^received:' | head -1)"
equals "the suite holds the local copy, related to the keyword" 'File|1' \
  "$(suitectl query "SELECT FileType || '|' || (SELECT count(*) FROM keyword_items k WHERE k.FileId = i.FileId AND k.KeyId = 121) FROM items i WHERE FileCurrentPath = '$target'")"
# Esc is Cancel: the window closes and nothing is copied.
before_esc=$(saved_count)
cscript //nologo "$(qb_winpath "$here/call.vbs")" ShowRelationWeb '/Price list.xls' >"$work/server-esc.out" 2>&1 &
host=$!
driver wait 'Relations*' >/dev/null
driver click 'Relations*' 'Local Copy in &default path' && sleep 0.2 && driver press 'Relations*' 27
went "Esc cancels the server window" 'Relations*' Cancel
finish $host
equals "and no copy is made" "$before_esc" "$(saved_count)"
copy_with 'Local Copy in &default path'
equals "a second copy is numbered" "$(cat "$work/srv/Price list.xls")" "$(cat "$work/downloads/Copy (1) of Price list.xls" 2>/dev/null)"
save_as() {
  check "the Save As dialog shows" driver wait 'Save As'
  driver settext 'Save As' 'Edit#1' "$(qb_winpath "$work/chosen")\\Prices for Ann" && driver click 'Save As' '&Save'
}
copy_with 'Local Copy in o&ther path' save_as
equals "a copy in a chosen folder takes the chosen name with .htm" "$(cat "$work/srv/Price list.xls")" \
  "$(cat "$work/chosen/Prices for Ann.htm" 2>/dev/null)"
# The downloader itself: what it cannot do, it logs and answers with a non-zero exit.
fetch() { qb_wine "$build/standin/Pagefetch.exe" "$@" >/dev/null 2>&1; echo $?; }
printf 'plain\r\n' >"$work/srv/plain.txt"
failed_before=$(grep -c '^failed:' "$work/pagefetch.log" || true)
equals "the downloader refuses a command line without a target" 1 "$(fetch "http://127.0.0.1:$port/plain.txt")"
equals "and a keyword id that is no number" 1 \
  "$(fetch "http://127.0.0.1:$port/plain.txt" '|' "$(qb_winpath "$work/downloads")\\p1.txt" '|' x1)"
equals "and a target folder that is missing" 1 \
  "$(fetch "http://127.0.0.1:$port/plain.txt" '|' "$(qb_winpath "$work/nowhere")\\p2.txt")"
equals "and an address the server refuses" 1 \
  "$(fetch "http://127.0.0.1:$port/missing.txt" '|' "$(qb_winpath "$work/downloads")\\p3.txt")"
equals "each time saying why in its log" 4 "$(( $(grep -c '^failed:' "$work/pagefetch.log" || true) - failed_before ))"
check "and recording nothing" test "$(suitectl query "SELECT count(*) FROM items WHERE FileCurrentPath LIKE '%\\p_.txt'")" = 0
echo "the web page window: recommended keywords, a memo in a new category, a local copy of the page"
printf '<html><body>news of the day</body></html>\r\n' >"$work/srv/news.html"
page="http://127.0.0.1:$port/news.html"
page_item="(SELECT FileId FROM items WHERE FileCurrentPath = '$page' AND FileType = 'Web')"
saved_before=$(saved_count)
cscript //nologo "$(qb_winpath "$here/call.vbs")" ShowRelationWebMemo "$page" "News of the day" \
  "Globex wants the final offer" >"$work/web.out" 2>&1 &
host=$!
check "the web page window shows" driver wait 'Relations*'
sleep 0.5
equals "the keywords the suite recommends for the proposed memo are related" '102 112' \
  "$(suitectl query "SELECT group_concat(KeyId, ' ') FROM (SELECT KeyId FROM keyword_items WHERE FileId = $page_item ORDER BY KeyId)")"
every_tab "web page window" 0 1
equals "the Themes tab is chosen" 2 "$(driver tab 'Relations*' 'SysTabControl32#1' 2 | tr -d '\r')"
driver click 'Relations*' '&Enable'
equals "a screen reader hears the theme and category combos by their labels, with their items" \
  'ComboBox|Theme:|46|Green|4 ComboBox|Category:|46|Engineering|' "$(read_aloud 'Relations*' | grep '^ComboBox' | cut -d'|' -f1-5 | paste -sd' ' | sed 's/|[0-9]*$/|/')"
equals "and every other control of the tab" '' "$(unnamed 'Relations*')"
equals "the web window's Themes tab: one access key per letter, Tab round in reading order, a default button" '' \
  "$(keyboard_faults 'Relations*')"
driver keys 'Relations*' 'ComboBox#2' 40  # from the first category to the next: Sales
driver click 'Relations*' '&New Category'
check "New Category opens the suite's dialog" driver wait 'New category'
driver settext 'New category' 'Edit#1' 'Press' && driver click 'New category' Ok
check "the dialog closes" driver gone 'New category'
equals "the new category is made under the one chosen" 'Sales' \
  "$(suitectl query "SELECT p.CatName FROM categories c JOIN categories p ON p.CatId = c.ParentCategoryId WHERE c.CatName = 'Press'")"
driver click 'Relations*' 'Local Copy in &default path' && driver click 'Relations*' Ok
finish $host
equals "the script host's call returned" 'call.vbs: 1 passed, 0 failed' "$(tr -d '\r' <"$work/web.out" | tail -1)"
memo_row="SELECT m.MemoText || '/' || c.CatName FROM memos m JOIN memo_categories mc ON mc.MemoId = m.MemoId JOIN categories c ON c.CatId = mc.CatId WHERE m.FileId = $page_item"
equals "the memo is filed in the new category, read by another process" 'Globex wants the final offer/Press' "$(suitectl query "$memo_row")"
equals "the downloader saved the page's copy before the window closed" $((saved_before + 1)) "$(saved_count)"
equals "the page's bytes are in the download folder" "$(cat "$work/srv/news.html")" "$(cat "$work/downloads/news.html" 2>/dev/null)"
equals "the downloader got the address, the target and the related keywords in list order" \
  "received: $page | $(qb_winpath "$work/downloads")\\news.html | $(suitectl query "SELECT group_concat(KeyId, ' | ') FROM (SELECT KeyId FROM keyword_items WHERE FileId = $page_item ORDER BY rowid)")" \
  "$(tr -d '\r' <"$work/pagefetch.log" | grep '^received:' | tail -1)"
# The edition shows that memo; Ok updates it (trimmed).
cscript //nologo "$(qb_winpath "$here/call.vbs")" ShowRelationWebEdition "$page" >"$work/web2.out" 2>&1 &
host=$!
driver wait 'Relations*' >/dev/null && sleep 0.5
equals "the edition shows the page's memo" 'Globex wants the final offer' "$(driver gettext 'Relations*' 'Edit#5' | tr -d '\r')"
driver settext 'Relations*' 'Edit#5' '  Globex signed  ' && driver click 'Relations*' Ok
finish $host
equals "Ok updates it, trimmed, in its category" 'Globex signed/Press' "$(suitectl query "$memo_row")"
rm -f "$build/src/Pagefetch.exe"
kill $http 2>/dev/null; wait $http 2>/dev/null
suitectl seed "$(qb_winpath "$here/fixture.sql")"

echo "the mail item window: a keyword related, the item saved as a message file"
suitectl seed "$(qb_winpath "$here/../../standin/fixtures/sample.sql")"
rm -rf "$work/maildl"; mkdir -p "$work/maildl"
suitectl set DownloadFolder "$(qb_winpath "$work/maildl")"
mail_id=00000000A1B2C3D4E5F60718293A4B5C6D7E8F9001
mail_row="SELECT FileType || '|' || FileName || '|' || FileCurrentPath FROM items WHERE FileId = 5"
mail_before=$(suitectl query "$mail_row")
# The mail client stand-in ends with its process, not only with the launcher that started it (a
# 32-bit program's launcher under WoW64 is another process).
stop_outlook() { kill $outlook 2>/dev/null; qb_wine taskkill.exe /f /im OUTLOOK.exe >/dev/null 2>&1; wait $outlook 2>/dev/null; }
# Ok with a local copy chosen: opens the window on the sample's mail, relates a keyword when told,
# chooses the default folder and clicks Ok.
mail_copy() {
  cscript //nologo "$(qb_winpath "$here/call.vbs")" ShowRelationOutlook "$mail_id" 'Re: delivery dates' OutlookMail \
    >"$work/$1.out" 2>&1 &
  host=$!
  check "the mail item window shows ($1)" driver wait 'Relations*'
  [ "$1" = mail1 ] && every_tab "mail window" 0 2 3 4 1
  [ -n "${2:-}" ] && equals "a keyword related to the mail item is stored" 1 "$(relate_first_keyword 5)"
  { driver click 'Relations*' 'Local Copy in &default path' && driver click 'Relations*' Ok; } ||
    bad "Ok with a local copy chosen could not be pressed"
}
mail_copy mail1
check "without the mail client running the user is told" answered "Outlook is not running. If you want" 'Outlook needed'
equals "after the box the keyboard is back in the window, in its Tab round" '' "$(keyboard_faults 'Relations*')"
equals "and the record is as it was" "$mail_before" "$(suitectl query "$mail_row")"
equals "no file is left of the refused copy" "" "$(ls -A "$work/maildl" 2>/dev/null)"
# The window stays for another try: the user starts the mail client and presses Ok again.
qb_wine "$build/standin/OUTLOOK.exe" 60 >/dev/null 2>&1 &
outlook=$!
equals "a keyword related to the mail item is stored" 1 "$(relate_first_keyword 5)"
check "Ok again, with the mail client running" driver click 'Relations*' Ok
finish $host
stop_outlook
equals "the script host's call returned" 'call.vbs: 1 passed, 0 failed' "$(tr -d '\r' <"$work/mail1.out" | tail -1)"
saved='Re delivery dates.msg'
equals "another process reads a message file with the item's subject" 'Re: delivery dates|IPM.Note' \
  "$(/usr/bin/python3 - "$work/maildl/$saved" <<'PY'
import sys, olefile
ole = olefile.OleFileIO(sys.argv[1])
read = lambda name: ole.openstream(name).read().decode("utf-16-le").rstrip("\0")
print(read("__substg1.0_0037001F") + "|" + read("__substg1.0_001A001F"))
PY
)"
equals "the record is the saved file's now, its keyword still related" \
  "File|$saved|$(qb_winpath "$work/maildl")\\$saved|1" \
  "$(suitectl query "SELECT FileType || '|' || FileName || '|' || FileCurrentPath || '|' || (SELECT count(*) FROM keyword_items k WHERE k.FileId = 5 AND k.KeyId = 121) FROM items WHERE FileId = 5")"
suitectl seed "$(qb_winpath "$here/fixture.sql")"

echo "a host that binds early, with a window of its own"
suitectl seed "$(qb_winpath "$here/../../standin/fixtures/sample.sql")"
qb_wine "$build/tests/earlyhost.exe" 'C:\Quillbox Demo\Quarterly report.txt' 'http://intranet/minutes' >"$work/early.out" 2>&1 &
host=$!
check "the named call opens the web page window" driver wait 'Relations'
driver click 'Relations' Cancel
check "the relation window shows" driver wait 'Relations - *'
for _ in $(seq 1 60); do grep -q '^nested:' "$work/early.out" && break; sleep 0.1; done
equals "a relation made after the refused second call is stored" 1 "$(relate_first_keyword 1)"
driver click 'Relations*' Ok
finish $host
early=$(tr -d '\r' <"$work/early.out")
equals "the default dispinterface answers" 'early binding: ok' "$(sed -n 1p <<<"$early")"
equals "ISupportErrorInfo for it" 'error info supported: yes' "$(sed -n 2p <<<"$early")"
equals "IErrorInfo after a raised error" 'errorinfo: Quillbox Engine.ShowRelation() ' \
  "$(grep '^errorinfo:' <<<"$early" | cut -d'|' -f1)"
equals "named arguments in another order reach the loader" 'Minutes of the board' \
  "$(suitectl query "SELECT FileName FROM items WHERE FileCurrentPath = 'http://intranet/minutes'")"
equals "ShowRelation again under its own window is refused" 'nested: error 400|Quillbox Engine.ShowRelation() ' \
  "$(grep '^nested:' <<<"$early")"
equals "the first window went on and returned" 'first: ok' "$(grep '^first:' <<<"$early")"
equals "the host's window is in front again" 'foreground: Early host' "$(grep '^foreground:' <<<"$early")"
equals "the host ends normally" 'earlyhost: done' "$(tail -1 <<<"$early")"
suitectl seed "$(qb_winpath "$here/fixture.sql")"

echo "command-line host"
# A suite whose database cannot be opened fails the operation's first call.
out=$(TESRA_SUITE_DB='C:\windows' qb_wine "$build/host/quillhost.exe" ShowRelationOutlook 00AA 'A mail' OutlookMail); rc=$?
out=$(tr -d '\r' <<<"$out")
equals "host exits non-zero on a raised error" 1 "$rc"
check "host prints the number" grep -Eq '^error -?[0-9]+$' <<<"$(head -1 <<<"$out")"
equals "host prints the source" 'Engine.ShowRelationOutlook() ' "$(sed -n 2p <<<"$out" | grep -o 'Engine.ShowRelationOutlook() $')"

echo "screen DPI"
client_size() {  # opens the name dialog, measures it, closes it; one that never shows: what the call said
  cscript //nologo "$(qb_winpath "$here/call.vbs")" ShowEditName 'C:\qbtest\report.txt' >"$work/size.out" 2>&1 &
  local h=$!
  if driver wait Relations; then
    driver clientsize Relations | tr -d '\r'
    driver close Relations; finish $h
  else
    finish $h; tr -d '\r' <"$work/size.out" | sed 's/^/    the call said: /' >&2
  fi
}
equals "twips at 96 DPI" 358x62 "$(client_size)"
reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d 144 /f >/dev/null 2>&1
equals "twips at 144 DPI" 537x93 "$(client_size)"
# The keyword tree's rows are as tall as its pictures, drawn for 144 dpi: 24 px (22 with 16-px ones).
tree_rows() {
  suitectl seed "$(qb_winpath "$here/../../standin/fixtures/sample.sql")" >/dev/null
  qb_wine "$build/host/quillhost.exe" ShowRelation 'C:\Quillbox Demo\Quarterly report.txt' >/dev/null 2>&1 &
  local h=$!
  driver wait 'Relations*' >/dev/null && driver itemheight 'Relations*' 'SysTreeView32#1' | tr -d '\r'
  driver close 'Relations*'; finish $h
  suitectl seed "$(qb_winpath "$here/fixture.sql")" >/dev/null
}
rows=$(tree_rows)
check "at 144 DPI the tree's pictures are drawn for it (rows of $rows px)" test "${rows:-0}" -ge 24
reg delete 'HKCU\Control Panel\Desktop' /v LogPixels /f >/dev/null 2>&1

echo "diagnostic upload"
mkdir -p "$work/server"
suitectl set ServerFolder "$(qb_winpath "$work/server")"
qb_wine "$build/host/quillhost.exe" UploadXXX >"$work/upload.out" 2>&1 &
host=$!
check "announces itself" answered "UploadXXX entered."
check "names its test file" answered "UploadXXX.txt"
check "shows the server path" answered "/UploadXXX.txt"
finish $host; equals "host sees no error" 0 "$?"
check "file is on the server" test -f "$work/server/UploadXXX.txt"

echo "suite missing"
log="$build/src/Quillbox.Log"; rm -f "$log"
regsvr32 /s /u "$suite"
qb_wine "$build/host/quillhost.exe" UploadXXX >"$work/upload2.out" 2>&1 &
host=$!
answer_box "UploadXXX entered." >/dev/null && answer_box "UploadXXX.txt" >/dev/null
said=$(answer_box "Error.")
equals "critical box text" $'Error.\nDesc: ActiveX component can\'t create object\nSource: Quillbox' "$(tr -s '\n' <<<"$said")"
finish $host; equals "the failure is reported, not raised" 0 "$?"
check "log block beside the DLL names the handler" grep -q $'\tSOURCE : Quillbox  Engine.UploadXXX() \r$' "$log"
equals "log block is six lines" 6 "$(wc -l <"$log")"
regsvr32 /s "$suite"

echo "related-keywords viewer, opened by the host by hand"
suitectl seed "$(qb_winpath "$here/../../standin/fixtures/sample.sql")"
mkdir -p "$WINEPREFIX/drive_c/Quillbox Demo" && printf 'x' >"$WINEPREFIX/drive_c/Quillbox Demo/Quarterly report.txt"
qb_wine "$build/host/quillhost.exe" --keywords 'C:\Quillbox Demo\Quarterly report.txt' 1 >"$work/viewer.out" 2>&1 </dev/null &
viewer=$!
check "the viewer shows" driver wait Relations
equals "its panel" 'Related keywords' "$(driver texts Relations Static | tr -d '\r')"
equals "the viewer: Tab round in reading order, a default button" '' "$(keyboard_faults Relations)"
driver click Relations Ok
finish $viewer; equals "Ok closes it and the host's call returns" 0 "$?"
suitectl seed "$(qb_winpath "$here/fixture.sql")"

echo "unregistration"
check "Quillbox.dll unregisters" regsvr32 /s /u "$dll"
equals "ProgID key removed" '' "$(regkey 'HKCR\Quillbox.Engine')"
equals "CLSID key removed" '' "$(regkey "HKCR\\CLSID\\$clsid")"
equals "type library removed" '' "$(regkey 'HKCR\TypeLib\{A4D276E6-B98B-41EA-B1BA-23735BCE3513}')"
regsvr32 /s "$dll"

summary
[ "$failed" -eq 0 ]
