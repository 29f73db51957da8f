# Sourced by scripts/test and scripts/demo: one virtual display and one Wine
# server for a whole run, stopped again when the script exits.
start_display() {
  exec 3< <(Xvfb -displayfd 1 -screen 0 1024x768x24 -nolisten tcp 2>/dev/null)
  xvfb_pid=$!
  local display_number
  read -r -t 30 display_number <&3 || { echo "Xvfb did not start"; return 1; }
  export DISPLAY=":$display_number"
  export WINEPREFIX=${WINEPREFIX:-$root/build/wineprefix}
  trap stop_display EXIT
}

stop_display() {
  /usr/lib/wine/wineserver -k 2>/dev/null || true
  if [ -n "${xvfb_pid:-}" ]; then kill "$xvfb_pid" 2>/dev/null || true; fi
}
