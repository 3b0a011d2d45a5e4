#!/usr/bin/env bash
# Builds the program and starts it together with the sensor simulator on
# 127.0.0.1:10001, connected over TCP/IP. When the program ends, the simulator ends too.
#   scripts/run.sh [simulator options...]     (see build/chromik4-sensor-sim --help)
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh build >/dev/null

settings=build/PanelSettings.cfg
if [ ! -e "$settings" ]; then
  # First start: select TCP/IP to the simulator. An existing file is never touched.
  printf '[GENERAL INFO]\r\nFILE TYPE: = "Panel Settings"\r\nSCOPE VERSION: = "CHROMIK4-ANA-Scope V1.2"\r\n\r\n[COMMUNICATION SETTINGS]\r\nCOMPROTOCOL = 1\r\nIP ADRESS = "127.0.0.1"\r\nPORT NUMBER = "10001"\r\n\r\n' > "$settings"
fi

build/chromik4-sensor-sim --address 127.0.0.1 --port 10001 "$@" &
sim=$!
trap 'kill "$sim" 2>/dev/null; wait "$sim" 2>/dev/null || true' EXIT
sleep 0.3

if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
  build/chromik4-ana-scope
else
  echo "No display found: the program runs on a virtual display (xvfb-run). Set DISPLAY to see it." >&2
  xvfb-run -a build/chromik4-ana-scope
fi
