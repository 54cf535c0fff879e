#!/bin/bash
# run_dialog_probe.sh - one screenshot test of the real Windows dialogs:
# runs dialog_probe under Wine on an X server (Xvfb when there is no display)
# in a Wine virtual desktop, which draws window frames and captions, then
# turns its capture into a PNG. Passes only on the probe's pass line.
#
#   run_dialog_probe.sh MODE PROBE.exe OUT_DIR WINEPREFIX SOURCE_DIR
set -u
mode="$1" probe="$2" out="$3" prefix="$4" src="$5"
mkdir -p "$out"
log="$out/$mode.log" bmp="$out/$mode.bmp" png="$out/$mode.png"
rm -f "$log" "$bmp" "$png"

winpath() { echo "Z:$1" | tr '/' '\\'; }

run_probe() {
  ORB_WINE_KEEP_DISPLAY=1 timeout -k 10 120 "$src/tools/wine/wine-run" --prefix "$prefix" \
    explorer "/desktop=orbdl-probe-$mode,800x600" "$(winpath "$probe")" "$mode" "$(winpath "$log")" "$(winpath "$bmp")"
  # explorer returns before the program ends: wait for the log.
  for _ in $(seq 1 600); do
    [ -s "$log" ] && grep -q '^PROBE ' "$log" && return 0
    sleep 0.2
  done
  return 1
}
# Inside the X server: run the probe and stop.
if [ "${ORB_PROBE_INSIDE_X:-0}" = 1 ]; then
  run_probe
  exit $?
fi
ORB_PROBE_INSIDE_X=1 xvfb-run -a -s '-screen 0 1024x768x24' "$0" "$@"
cat "$log" 2>/dev/null || echo "no log from the probe"
if [ -f "$bmp" ]; then
  convert "$bmp" "$png" && echo "screenshot: $png"
fi
grep -qx "PROBE PASS $mode" "$log" 2>/dev/null
