# Sourced by the scripts that run Windows programs: one Wine prefix inside the
# build folder, an X display for windows, and one persistent wineserver that is
# always stopped when the calling script ends, failure included.
#
# Needs: build_root set by the caller.

export WINEDEBUG=-all
export WINEARCH=win32
export WINEDLLOVERRIDES="mscoree,mshtml="
export WINEPREFIX="$build_root/wineprefix"

scrivo_xvfb_pid=
scrivo_session_stop() {
  wineserver -k >/dev/null 2>&1 || true
  wineserver -w >/dev/null 2>&1 || true
  if [ -n "$scrivo_xvfb_pid" ]; then kill "$scrivo_xvfb_pid" 2>/dev/null || true; fi
}
trap scrivo_session_stop EXIT

scrivo_session_start() {
  # A display of our own, so that windows and message boxes can be created.
  # Xvfb picks a free display number itself and writes it once it accepts
  # connections: a number that only looks free here (another server on the
  # same abstract socket, a lock file in another /tmp) is never taken, and
  # nothing starts before the display answers.
  if [ -z "${SCRIVO_KEEP_DISPLAY:-}" ]; then
    mkdir -p "$build_root"
    local dfile="$build_root/xvfb-display"
    rm -f "$dfile"
    Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$dfile" >/dev/null 2>&1 &
    scrivo_xvfb_pid=$!
    local i
    for i in $(seq 1 600); do
      [ -s "$dfile" ] && break
      kill -0 "$scrivo_xvfb_pid" 2>/dev/null || break
      sleep 0.1
    done
    if [ ! -s "$dfile" ]; then
      echo "wine-session: the X display (Xvfb) did not start" >&2
      return 1
    fi
    export DISPLAY=":$(tr -dc 0-9 <"$dfile")"
  fi

  mkdir -p "$WINEPREFIX"
  wineserver -p
  if [ ! -f "$WINEPREFIX/.scrivo-ready" ]; then
    wineboot -i >/dev/null 2>&1 || true
    # Windows are unmanaged: without a window manager every hide or destroy
    # would otherwise wait for an answer that never comes.
    wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f >/dev/null 2>&1
    # Fonts applications name map to their metric-compatible free faces.
    local pair
    for pair in "Arial=Liberation Sans" "Times New Roman=Liberation Serif" \
                "Courier New=Liberation Mono" "Helvetica=Liberation Sans" \
                "Times=Liberation Serif" "Courier=Liberation Mono" \
                "Calibri=Carlito" "Cambria=Caladea"; do
      wine reg add 'HKCU\Software\Wine\Fonts\Replacements' /v "${pair%%=*}" /t REG_SZ \
        /d "${pair#*=}" /f >/dev/null 2>&1
    done
    touch "$WINEPREFIX/.scrivo-ready"
  fi
  # Wine's own symbol faces: Symbol, Wingdings and Webdings, which documents
  # name and which must keep their glyphs, and Marlett, which draws the
  # caption buttons and check marks. Debian ships them; the prefix does not
  # list them.
  local face
  for face in symbol.ttf wingding.ttf webdings.ttf marlett.ttf; do
    if [ -f "/usr/share/wine/fonts/$face" ] && [ ! -e "$WINEPREFIX/drive_c/windows/Fonts/$face" ]; then
      mkdir -p "$WINEPREFIX/drive_c/windows/Fonts"
      cp "/usr/share/wine/fonts/$face" "$WINEPREFIX/drive_c/windows/Fonts/$face"
    fi
  done
  # Start the prefix's background services now, with no pipe of ours as their
  # output: otherwise the first test program started later hands its output
  # pipe to them and whoever reads that pipe (ctest) waits until they end.
  wineboot >/dev/null 2>&1 </dev/null || true
  # One desktop for the whole session, held by a hidden window (see
  # testkit/tools/desktophold.cpp); started with no pipe of ours.
  local hold="$build_root/win/bin/desktophold.exe"
  if [ -f "$hold" ]; then
    wine "$hold" </dev/null >/dev/null 2>&1 &
    local i
    for i in $(seq 1 600); do
      pgrep -f 'explorer.exe /desktop' >/dev/null && break
      sleep 0.1
    done
  fi
}
