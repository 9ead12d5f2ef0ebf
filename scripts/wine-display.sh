# Sourced by scripts/test-win32 and scripts/stress-e2e: a virtual display of our own and one Wine
# server on it, with the project's prefix (build/wineprefix). The caller sets a trap that calls
# wine_display_stop.
export WINEPREFIX=$PWD/build/wineprefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
wine_display_xvfb=""

# Xvfb picks a free display number and writes it once it accepts connections. -noreset: else the
# server resets, refusing connections, each time its last client leaves.
wine_display_start() {
  local fifo
  fifo=$(mktemp -u)
  mkfifo "$fifo"
  Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp -noreset 3>"$fifo" >/dev/null 2>&1 &
  wine_display_xvfb=$!
  read -r display <"$fifo"
  rm -f "$fifo"
  export DISPLAY=:$display
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    wineboot -i >/dev/null 2>&1 </dev/null
    # No window manager here: windows that Wine does not hand to one open and close at once.
    wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1 </dev/null
  fi
}

# wine_server_start DPI: one server for every test program, kept until the screen resolution
# changes, with its services started here so that none of them holds on to a test's output.
wine_server_start() {
  wineserver -k 2>/dev/null || true  # a server left by an earlier run
  wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$1" /f >/dev/null 2>&1 </dev/null
  wineserver -k 2>/dev/null || true
  wineserver -p
  wineboot >/dev/null 2>&1 </dev/null
}

wine_display_stop() {
  wineserver -k 2>/dev/null || true
  if [ -n "$wine_display_xvfb" ]; then kill "$wine_display_xvfb" 2>/dev/null || true; fi
}
