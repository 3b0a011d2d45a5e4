#!/usr/bin/env bash
# Builds the program and starts it together with the sensor simulator on
# 127.0.0.1:10001, connected over TCP/IP. When the program ends, the simulator ends too.
#   scripts/run.sh [--unthrottled] [simulator options...]     (see build/chromik4-sensor-sim --help)
# The simulator answers at the pace of a real sensor behind a 115200 baud line
# (each answer held back by the serial line time of its order and answer), so GO
# shows a sensor's frame rate; --unthrottled lets it answer at once, as the benchmarks do.
set -euo pipefail
cd "$(dirname "$0")/.."

pacing=(--wire-timing)
if [ "${1:-}" = "--unthrottled" ]; then
  pacing=()
  shift
fi

scripts/setup.sh build >/dev/null

settings=build/PanelSettings.cfg
if [ ! -e "$settings" ]; then
  # First start: select TCP/IP to the simulator. An existing file is never touched.
  printf '[GENERAL INFO]\r\nFILE TYPE: = "Panel Settings"\r\nSCOPE VERSION: = "CHROMIK4-ANA-Scope V1.2"\r\n\r\n[COMMUNICATION SETTINGS]\r\nCOMPROTOCOL = 1\r\nIP ADRESS = "127.0.0.1"\r\nPORT NUMBER = "10001"\r\n\r\n' > "$settings"
fi

build/chromik4-sensor-sim --address 127.0.0.1 --port 10001 "${pacing[@]}" "$@" &
sim=$!
trap 'kill "$sim" 2>/dev/null; wait "$sim" 2>/dev/null || true' EXIT
# The program connects once at start: wait (at most 5 s) until the simulator listens.
for _ in $(seq 50); do
  if (exec 3<>/dev/tcp/127.0.0.1/10001) 2>/dev/null; then break; fi
  kill -0 "$sim" 2>/dev/null || { echo "The simulator did not start." >&2; exit 1; }
  sleep 0.1
done

if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
  build/chromik4-ana-scope
else
  echo "No display found: the program runs on a virtual display (xvfb-run). Set DISPLAY to see it." >&2
  xvfb-run -a build/chromik4-ana-scope
fi
