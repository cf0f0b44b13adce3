#!/usr/bin/env bash
# The gallery (tools/demo.sh --gallery): every window of the component on the sample data, each
# tab, the dialogs they open and the stand-in suite's own, at 96 and 144 dpi and under the High
# Contrast Black theme; one contact sheet with a caption under each picture: docs/gallery.png.
# Sourced by tools/demo.sh once the x64 build is made, Wine is up and the sample is seeded.
set +e -uo pipefail  # a window that does not show is told and left out; the rest go on
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"
b=build/x64
shots=build/gallery
rm -rf "$shots"; mkdir -p "$shots"
driver() { qb_wine "$b/tools/uidriver/uidriver.exe" "$@"; }
host() { qb_wine "$b/host/quillhost.exe" "$@" >/dev/null 2>&1 & hostpid=$!; }
n=0
# Saves the window with that caption as the next picture, captioned $2.
shot() {
  local rect; rect=$(driver rect "$1" | tr -d '\r') || { echo "gallery: no window '$1' for '$2'" >&2; return 1; }
  sleep 0.4
  n=$((n + 1))
  import -display "$DISPLAY" -window root -crop "$rect" +repage "$shots/$(printf %02d $n).png"
  printf '%s' "$2" >"$shots/$(printf %02d $n).txt"
}
seed() { qb_wine "$b/standin/suitectl.exe" seed "$(qb_winpath standin/fixtures/sample.sql)" >/dev/null; }
suite() { qb_wine "$b/standin/suitectl.exe" "$@" >/dev/null; }
# A file server that answers only after a while, and the suite's downloader beside the component
# (for the time of the gallery), so that the copy progress window stays up to be seen.
slow_port=$(python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
python3 - "$slow_port" <<'PY' >/dev/null 2>&1 &
import http.server, sys, time
class Late(http.server.BaseHTTPRequestHandler):
    def do_GET(self):
        time.sleep(15)
        self.send_error(404)
    def log_message(self, *args):
        pass
http.server.ThreadingHTTPServer(("127.0.0.1", int(sys.argv[1])), Late).serve_forever()
PY
slow_server=$!
cp "$b/standin/Pagefetch.exe" "$b/src/Pagefetch.exe"
local_file='C:\Quillbox Demo\Quarterly report.txt'

# One round of pictures, each caption ending in $1 ("96 dpi"...); $2 = all: every window.
round() {
  local at=$1 all=$2
  seed
  host ShowRelation "$local_file"
  driver wait 'Relations*' >/dev/null
  local t
  for t in 0 1 2 3 4; do
    local name; name=$(sed -n "$((t + 1))p" <<<$'Info\nKeywords\nThemes\nFiles\nServer')
    [ "$all" = all ] || [ "$t" = 1 ] || [ "$t" = 2 ] || continue
    driver tab 'Relations*' 'SysTabControl32#1' "$t" >/dev/null
    shot 'Relations*' "Local file window, $name tab ($at)"
  done
  driver tab 'Relations*' 'SysTabControl32#1' 2 >/dev/null
  driver click 'Relations*' '&Create'
  driver wait Theme >/dev/null && shot Theme "Memo dialog ($at)"
  driver click Theme Cancel; driver gone Theme
  if [ "$all" = all ]; then
    driver tab 'Relations*' 'SysTabControl32#1' 1 >/dev/null
    driver click 'Relations*' 'Projects'
    driver wait 'Choose a view' >/dev/null && shot 'Choose a view' "Suite's view chooser ($at)"
    driver click 'Choose a view' Cancel; driver gone 'Choose a view' || true
    driver click 'Relations*' 'Add/&Edit keywords'
    driver wait 'Keywords' >/dev/null && shot 'Keywords' "Suite's keyword editor ($at)"
    driver close 'Keywords'; driver gone 'Keywords' || true
    # The name clash dialog: the server holds a file of the same name.
    mkdir -p "$shots/server"; printf 'older\r\n' >"$shots/server/Quarterly report.txt"
    qb_wine "$b/standin/suitectl.exe" set ServerFolder "$(qb_winpath "$shots/server")" >/dev/null
    driver tab 'Relations*' 'SysTabControl32#1' 4 >/dev/null
    driver click 'Relations*' '&Upload'
    sleep 1
    shot Relations "Name clash dialog ($at)" || true
    driver close Relations >/dev/null 2>&1  # the close box: nothing is sent
    sleep 0.5
  fi
  driver click 'Relations*' Ok; driver gone 'Relations*'
  wait $hostpid

  host ShowRelationWebEdition '/Price list.xls'
  driver wait 'Relations*' >/dev/null && shot 'Relations*' "Server item window ($at)"
  if [ "$all" = all ]; then
    # The copy progress window, while the suite's downloader waits on a server that answers late;
    # Cancel gives up the copy and the server window stays.
    suite set ServerAddress "http://127.0.0.1:$slow_port/" && suite set DownloadFolder "$(qb_winpath "$shots")"
    driver click 'Relations*' 'Local Copy in &default path' && driver click 'Relations*' Ok
    driver wait 'Local Copy' >/dev/null && shot 'Local Copy' "Copy progress window ($at)"
    driver click 'Local Copy' Cancel; driver gone 'Local Copy' || true
  fi
  driver click 'Relations*' Cancel; driver gone 'Relations*'; wait $hostpid
  if [ "$all" = all ]; then
    qb_wine "$b/standin/OUTLOOK.exe" 60 >/dev/null 2>&1 & local outlook=$!
    host ShowRelationOutlook '00000000A1B2C3D4E5F60718293A4B5C6D7E8F9001' 'Re: delivery dates' OutlookMail
    driver wait 'Relations*' >/dev/null && shot 'Relations*' "Mail item window ($at)"
    driver click 'Relations*' Cancel; driver gone 'Relations*'
    kill $outlook 2>/dev/null; qb_wine taskkill.exe /f /im OUTLOOK.exe >/dev/null 2>&1 || true
    wait $hostpid
  fi
  host ShowRelationWeb 'http://intranet/minutes' 'Minutes of the board'
  driver wait 'Relations*' >/dev/null
  driver tab 'Relations*' 'SysTabControl32#1' 2 >/dev/null
  driver click 'Relations*' '&Enable'
  shot 'Relations*' "Web page window, Themes tab ($at)"
  if [ "$all" = all ]; then
    driver click 'Relations*' '&New Category'
    driver wait 'New category' >/dev/null && shot 'New category' "Suite's new category dialog ($at)"
    driver click 'New category' Cancel; driver gone 'New category' || true
  fi
  driver click 'Relations*' Cancel; driver gone 'Relations*'; wait $hostpid

  if [ "$all" = all ]; then
    host ShowEditName "$local_file"
    driver wait Relations >/dev/null && shot Relations "Name dialog ($at)"
    driver close Relations; driver gone Relations; wait $hostpid
    host ShowEditComment "$local_file"
    driver wait Relations >/dev/null && shot Relations "Comment dialog ($at)"
    driver close Relations; driver gone Relations; wait $hostpid
    qb_wine "$b/host/quillhost.exe" --keywords "$local_file" 1 >/dev/null 2>&1 & hostpid=$!
    driver wait 'Relations*' >/dev/null && shot 'Relations*' "Related keywords viewer ($at)"
    driver close 'Relations*'; driver gone 'Relations*' || true; wait $hostpid
  fi
}

round "96 dpi" all
qb_wine reg.exe add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d 144 /f >/dev/null 2>&1
round "144 dpi" all
qb_wine reg.exe delete 'HKCU\Control Panel\Desktop' /v LogPixels /f >/dev/null 2>&1
said=$(driver highcontrast on | tr -d '\r')
[ "$said" = on ] || echo "gallery: the system does not report high contrast on; its colours are set all the same" >&2
round "high contrast" some
driver highcontrast off >/dev/null
kill "$slow_server" 2>/dev/null
rm -f "$b/src/Pagefetch.exe"

# Each picture with its caption under it, then all of them four to a row.
tiles=()
# Wine's Tahoma, which the prefix holds: ImageMagick's default font need not be on the machine.
font=()
for f in "$WINEPREFIX/drive_c/windows/Fonts/tahoma.ttf" /usr/share/wine/fonts/tahoma.ttf; do
  [ -f "$f" ] && { font=(-font "$f"); break; }
done
for png in "$shots"/[0-9]*.png; do
  convert "$png" -background '#f4f4f4' -fill black "${font[@]}" -pointsize 14 \
    label:"$(cat "${png%.png}.txt")" -gravity center -append -bordercolor '#f4f4f4' -border 8 "${png%.png}-tile.png"
  tiles+=("${png%.png}-tile.png")
done
mkdir -p docs
montage "${tiles[@]}" -tile 4x -geometry '+6+6' -gravity north -background '#f4f4f4' -depth 8 docs/gallery.png
echo "gallery: $n pictures in docs/gallery.png"
