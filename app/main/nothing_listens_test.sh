#!/usr/bin/env bash
# The program opens no listening socket, and the simulator, started without
# --address, listens on the loopback address only. Both run as an operator runs
# them: the simulator on a free port, the program (offscreen) connected to it.
set -uo pipefail
program=$1
simulator=$2
dir=$(mktemp -d)
sim_pid=
prog_pid=
cleanup() {
  [ -n "$prog_pid" ] && kill "$prog_pid" 2>/dev/null
  [ -n "$sim_pid" ] && kill "$sim_pid" 2>/dev/null
  wait 2>/dev/null
  rm -rf "$dir"
}
trap cleanup EXIT
fail() { echo "FAIL: $*"; exit 1; }

# Socket inodes of a process, one per line.
socket_inodes() {
  for fd in /proc/"$1"/fd/*; do
    link=$(readlink "$fd" 2>/dev/null) || continue
    case $link in socket:\[*\]) link=${link#socket:[}; echo "${link%]}" ;; esac
  done
}

# Lines "table local_address state" of the process's own sockets in the kernel's tables.
own_sockets() {
  local inodes
  inodes=$(socket_inodes "$1" | sort -u | tr '\n' ' ')
  for table in tcp tcp6 udp udp6; do
    awk -v t="$table" -v inodes=" $inodes" 'NR > 1 && index(inodes, " " $10 " ") { print t, $2, $4 }' \
      /proc/"$1"/net/"$table"
  done
  # Unix sockets: flag 00010000 marks a listening one; column 7 is the inode.
  awk -v inodes=" $inodes" 'NR > 1 && index(inodes, " " $7 " ") { print "unix", $8, $4 }' /proc/"$1"/net/unix
}

"$simulator" --port 0 --verbose >"$dir/sim.out" 2>"$dir/sim.err" &
sim_pid=$!
for _ in $(seq 100); do [ -s "$dir/sim.out" ] && break; sleep 0.1; done
port=$(head -n1 "$dir/sim.out")
[ -n "$port" ] || fail "the simulator printed no port"

listening=$(own_sockets "$sim_pid" | awk '($1 ~ /^tcp/ && $3 == "0A") || $1 ~ /^udp/')
want=$(printf 'tcp 0100007F:%04X 0A' "$port")
[ "$listening" = "$want" ] || fail "the simulator listens on: $listening (expected only $want)"

# A copy of the program in a folder of its own keeps its settings there.
cp "$program" "$dir/chromik4-ana-scope"
printf '[GENERAL INFO]\r\nFILE TYPE: = "Panel Settings"\r\n\r\n[COMMUNICATION SETTINGS]\r\nCOMPROTOCOL = 1\r\nIP ADRESS = "127.0.0.1"\r\nPORT NUMBER = "%s"\r\n\r\n' \
  "$port" >"$dir/PanelSettings.cfg"
QT_QPA_PLATFORM=offscreen "$dir/chromik4-ana-scope" >"$dir/prog.out" 2>&1 &
prog_pid=$!
# Connected once the sensor has been asked for its identification (order 7) and more.
for _ in $(seq 300); do
  [ "$(grep -c 'order' "$dir/sim.err")" -ge 2 ] && break
  kill -0 "$prog_pid" 2>/dev/null || fail "the program ended: $(cat "$dir/prog.out")"
  sleep 0.1
done
[ "$(grep -c 'order' "$dir/sim.err")" -ge 2 ] || fail "the program did not talk to the simulator"

sockets=$(own_sockets "$prog_pid")
echo "$sockets" | grep -q . || fail "the program holds no socket at all (not connected?)"
bad=$(echo "$sockets" | awk '($1 ~ /^tcp/ && $3 == "0A") || ($1 ~ /^udp/) || ($1 == "unix" && $2 == "00010000")')
[ -z "$bad" ] || fail "the program listens: $bad"
echo "ok: the simulator listens on 127.0.0.1:$port only; the program holds $(echo "$sockets" | wc -l) socket(s), none listening"
