# Sourced by the demo and test commands: a private Wine prefix under build/,
# a display (Xvfb when none is given or when QB_XVFB=1) and a persistent wineserver.
# Call qb_wine_up first and qb_wine_down at the end.

QB_ROOT=${QB_ROOT:-$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)}
export WINEPREFIX=${WINEPREFIX:-$QB_ROOT/build/wineprefix}
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES="mscoree,mshtml="
export WINEARCH=win64
QB_WINE=/usr/lib/wine/wine64
QB_WINESERVER=/usr/lib/wine/wineserver64
[ -x "$QB_WINESERVER" ] || QB_WINESERVER=$(command -v wineserver || echo /usr/lib/wine/wineserver)

qb_wine() { "$QB_WINE" "$@"; }

qb_start_xvfb() {
  local fdfile; fdfile=$(mktemp)
  Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$fdfile" >/dev/null 2>&1 &
  QB_XVFB_PID=$!
  for _ in $(seq 1 100); do [ -s "$fdfile" ] && break; sleep 0.05; done
  export DISPLAY=":$(tr -d '\n' <"$fdfile")"
  rm -f "$fdfile"
}

qb_make_prefix() {
  # Ready, and made with Wine's 32-bit half there (32-bit hosts run in it under WoW64).
  [ -f "$WINEPREFIX/.qb-ready" ] && [ -f "$WINEPREFIX/drive_c/windows/syswow64/cscript.exe" ] && return 0
  rm -rf "$WINEPREFIX"; mkdir -p "$WINEPREFIX"
  qb_wine wineboot -i >/dev/null 2>&1 || true
  local reg="$WINEPREFIX/qb-settings.reg"
  printf '%s\r\n' 'REGEDIT4' '' \
    '[HKEY_CURRENT_USER\Software\Wine\Explorer]' '"Desktop"="Default"' '' \
    '[HKEY_CURRENT_USER\Software\Wine\Explorer\Desktops]' '"Default"="1024x768"' '' \
    '[HKEY_LOCAL_MACHINE\Software\Microsoft\Windows NT\CurrentVersion\AeDebug]' '"Debugger"=""' '"Auto"="0"' '' >"$reg"
  qb_wine regedit.exe /S "$(qb_winpath "$reg")" >/dev/null 2>&1
  mkdir -p "$WINEPREFIX/drive_c/windows/Fonts"
  cp /usr/share/wine/fonts/*.ttf "$WINEPREFIX/drive_c/windows/Fonts/" 2>/dev/null || true
  "$QB_WINESERVER" -w
  touch "$WINEPREFIX/.qb-ready"
}

qb_winpath() { printf 'Z:%s' "$(realpath -m "$1" | tr / '\\')"; }

qb_wine_up() {
  if [ -z "${DISPLAY:-}" ] || [ "${QB_XVFB:-0}" = 1 ]; then qb_start_xvfb; fi
  qb_make_prefix
  "$QB_WINESERVER" -p >/dev/null 2>&1 </dev/null
  # Start the prefix's own services now, detached from our output: started later by a command
  # whose output is captured, they would hold that pipe open for as long as the server runs.
  qb_wine cmd.exe /c exit >/dev/null 2>&1 </dev/null
}

qb_wine_down() {
  "$QB_WINESERVER" -k 2>/dev/null || true
  [ -n "${QB_XVFB_PID:-}" ] && kill "$QB_XVFB_PID" 2>/dev/null || true
}
