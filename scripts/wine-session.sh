# Sourced by the run scripts: a fresh Wine prefix in a Japanese locale, a
# persistent wineserver, and Xvfb with a Wine virtual desktop of 800 x 600.
# start_wine_session sets WINEPREFIX, DISPLAY and the rest; stop_wine_session
# ends it all and removes the prefix.

start_wine_session() {
  WINE_SESSION_DIR=$(mktemp -d /tmp/brovane-wine.XXXXXX)
  export WINEPREFIX="$WINE_SESSION_DIR/pfx"
  export WINEDEBUG=-all
  export LC_ALL=ja_JP.UTF-8
  # No crash debugger: a test program that crashes ends at once instead of
  # waiting for a debugger nobody reads.
  export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d;winedbg.exe=d"
  # Where 32-bit code runs under the emulator (scripts/setup.sh), Wine needs
  # the trap numbers the emulator leaves out. $LIB is the dynamic loader's own
  # token, so each word size picks its build of the shim.
  if [ -f /usr/local/lib/brovane/lib/i386-linux-gnu/trap-number-shim.so ]; then
    export LD_PRELOAD='/usr/local/lib/brovane/$LIB/trap-number-shim.so'
  fi
  # Xvfb takes the first free display itself and names it once it listens,
  # so sessions started side by side never share a screen and a pointer.
  local n=""
  Xvfb -displayfd 3 -screen 0 800x600x24 -nolisten tcp \
    3>"$WINE_SESSION_DIR/display" >"$WINE_SESSION_DIR/xvfb.log" 2>&1 &
  XVFB_PID=$!
  for _ in $(seq 1 100); do
    n=$(cat "$WINE_SESSION_DIR/display" 2>/dev/null || true)
    [ -n "$n" ] && break
    sleep 0.1
  done
  export DISPLAY=":$n"
  wineboot -i >"$WINE_SESSION_DIR/wineboot.log" 2>&1 || true
  wine reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f >/dev/null 2>&1
  wine reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d 800x600 /f >/dev/null 2>&1
  # The dialogs ask for the Japanese system fonts by their Japanese names.
  # Without a substitute Wine falls back to the fixed-pitch IPA font, whose
  # wider text overflows controls laid out for the proportional one. Wine's
  # own setup names no class for ".exe", so the shell would hand out a
  # generic icon instead of a program's own. A UTF-16 .reg file keeps the
  # names intact.
  printf '%s\r\n' 'Windows Registry Editor Version 5.00' '' \
    '[HKEY_LOCAL_MACHINE\Software\Microsoft\Windows NT\CurrentVersion\FontSubstitutes]' \
    '"ＭＳ Ｐゴシック"="IPAPGothic"' '"ＭＳ ゴシック"="IPAGothic"' '' \
    '[HKEY_CLASSES_ROOT\.exe]' '@="exefile"' |
    iconv -f UTF-8 -t UTF-16 >"$WINE_SESSION_DIR/fonts.reg"
  wine reg import "$(winepath -w "$WINE_SESSION_DIR/fonts.reg")" >/dev/null 2>&1
  # Files named under Linux, which the session test finds by their names
  # through Wine: only a generated ja_JP.UTF-8 maps them right.
  mkdir -p "$WINE_SESSION_DIR/names"
  : >"$WINE_SESSION_DIR/names/日本.bmp"
  : >"$WINE_SESSION_DIR/names/café.bmp"
  export BROVANE_SESSION_NAMES
  BROVANE_SESSION_NAMES=$(winepath -w "$WINE_SESSION_DIR/names")
  # A folder the programs may not write to, as "Program Files" is for a
  # standard user: Wine running as root ignores file modes, but not a
  # read-only mount. A read-only view of a folder the tests fill; only root
  # may mount, and without it the variables stay unset and the test that
  # needs them fails.
  mkdir -p "$WINE_SESSION_DIR/closed-source" "$WINE_SESSION_DIR/closed"
  if mount --bind "$WINE_SESSION_DIR/closed-source" "$WINE_SESSION_DIR/closed" 2>/dev/null; then
    if mount -o remount,bind,ro "$WINE_SESSION_DIR/closed" 2>/dev/null; then
      export BROVANE_CLOSED_FOLDER BROVANE_CLOSED_SOURCE
      BROVANE_CLOSED_FOLDER=$(winepath -w "$WINE_SESSION_DIR/closed")
      BROVANE_CLOSED_SOURCE=$(winepath -w "$WINE_SESSION_DIR/closed-source")
    fi
  fi
  wineserver -w
  wineserver -k 2>/dev/null || true
  wineserver -p
  # The first program brings up the virtual desktop; later ones start fast.
  wine cmd /c exit >/dev/null 2>&1 || true
}

stop_wine_session() {
  [ -n "${WINEPREFIX:-}" ] && wineserver -k 2>/dev/null || true
  [ -n "${XVFB_PID:-}" ] && kill "$XVFB_PID" 2>/dev/null || true
  [ -n "${WINE_SESSION_DIR:-}" ] && mountpoint -q "$WINE_SESSION_DIR/closed" &&
    umount "$WINE_SESSION_DIR/closed" 2>/dev/null || true
  [ -n "${WINE_SESSION_DIR:-}" ] && rm -rf "$WINE_SESSION_DIR"
  return 0
}
