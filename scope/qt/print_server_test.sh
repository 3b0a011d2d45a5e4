#!/usr/bin/env bash
# The scope report through Debian's print server, as a desktop prints it: starts a cupsd of
# its own (configuration, spool and logs in a scratch folder; it listens on a Unix socket
# there and nowhere else, so that tests running side by side never meet), adds a queue
# whose device is a file in a folder the lp user can write and whose PPD has A5 paper by
# default, and beside it a default queue on Letter paper that prints into /dev/null, presses
# the print button with the A5 queue chosen by name (CUPS_SERVER points Qt at the socket),
# waits for the job to complete and checks the file the queue wrote: A5, one page, the
# title, the PANEL ID, the comment, the panel's picture and "Page 1 of 1".
# Where no cupsd can be started (not installed, not root) it says so and is skipped (exit
# status 77); CHROMIK_REQUIRE_PRINT_SERVER=1 turns that into a failure.
#   print_server_test.sh PRINT-TEST-PROGRAM PPD
set -uo pipefail
export PATH=$PATH:/usr/sbin:/sbin  # cupsd and lpadmin
program=$1
ppd=$2
queue=CHROMIK-A5
default_queue=CHROMIK-LETTER
panel_id="LINE 3"
comment_lines=("belt speed 2 m/s" "lamp changed on Monday")
comment=$(printf '%s\n' "${comment_lines[@]}")

skip() {
  if [ "${CHROMIK_REQUIRE_PRINT_SERVER:-0}" = 1 ]; then
    echo "FAIL: no print server: $* (CHROMIK_REQUIRE_PRINT_SERVER=1 asks for one)"
    exit 1
  fi
  echo "SKIPPED: no print server: $*"
  exit 77
}
[ "$(id -u)" -eq 0 ] || skip "cupsd is started as root, and this runs as $(id -un)"
for tool in /usr/sbin/cupsd lpadmin lpstat pdfinfo pdftotext pdfimages; do
  command -v "$tool" >/dev/null || skip "$tool is not installed (scripts/setup.sh installs it)"
done
# The filter that copies a job to a file: device unchanged.
[ -x /usr/lib/cups/filter/gziptoany ] || skip "CUPS's gziptoany filter is not installed (cups-core-drivers)"
id lp >/dev/null 2>&1 || skip "there is no lp user"

dir=$(mktemp -d /tmp/chromik-cups-XXXXXX)
chmod 755 "$dir"
cupsd_pid=""
cleanup() {
  if [ -n "$cupsd_pid" ]; then
    kill "$cupsd_pid" 2>/dev/null
    wait "$cupsd_pid" 2>/dev/null
  fi
  rm -rf "$dir"
}
trap cleanup EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
show_logs() {
  echo "--- cupsd error_log"
  tail -n 40 "$dir/log/error_log" 2>/dev/null
  echo "--- cupsd output"
  cat "$dir/log/cupsd.out" 2>/dev/null
}

mkdir -p "$dir/etc/ppd" "$dir/spool/tmp" "$dir/cache" "$dir/state" "$dir/log" "$dir/out"
chown lp "$dir/out"
socket=$dir/cups.sock
output=$dir/out/report.pdf
cat >"$dir/etc/cupsd.conf" <<EOF
# The Unix socket only: no network port, no browsing, no web interface; anyone on the
# socket may do anything.
Listen $socket
Browsing No
WebInterface No
LogLevel info
ErrorPolicy abort-job
DefaultAuthType None
<Location />
  Order allow,deny
  Allow all
</Location>
<Policy default>
  <Limit All>
    Order deny,allow
  </Limit>
</Policy>
EOF
cat >"$dir/etc/cups-files.conf" <<EOF
ServerRoot $dir/etc
RequestRoot $dir/spool
TempDir $dir/spool/tmp
CacheDir $dir/cache
StateDir $dir/state
AccessLog $dir/log/access_log
ErrorLog $dir/log/error_log
PageLog $dir/log/page_log
Printcap $dir/printcap
SystemGroup root
FileDevice Yes
EOF

/usr/sbin/cupsd -f -c "$dir/etc/cupsd.conf" -s "$dir/etc/cups-files.conf" >"$dir/log/cupsd.out" 2>&1 &
cupsd_pid=$!
for _ in $(seq 100); do
  [ -S "$socket" ] && break
  kill -0 "$cupsd_pid" 2>/dev/null || break
  sleep 0.1
done
if [ ! -S "$socket" ]; then
  reason="cupsd did not start: $(tail -n 3 "$dir/log/cupsd.out" "$dir/log/error_log" 2>/dev/null | tr '\n' ' ')"
  skip "$reason"
fi

# The desktop's default printer, on other paper: the report must not go there.
sed -e 's/^\*Default\(PageSize\|PageRegion\|ImageableArea\|PaperDimension\): A5$/*Default\1: Letter/' \
  "$ppd" >"$dir/letter.ppd"
if ! { lpadmin -h "$socket" -p "$queue" -E -v "file://$output" -P "$ppd" &&
       lpadmin -h "$socket" -p "$default_queue" -E -v file:///dev/null -P "$dir/letter.ppd" &&
       lpadmin -h "$socket" -d "$default_queue"; } >"$dir/log/lpadmin.out" 2>&1; then
  cat "$dir/log/lpadmin.out"
  show_logs
  echo "FAIL: lpadmin could not add the queues"
  exit 1
fi

echo "printing on $queue through cupsd at $socket"
if ! CUPS_SERVER=$socket CHROMIK_PRINT_QUEUE=$queue CHROMIK_PRINT_PANEL_ID=$panel_id CHROMIK_PRINT_COMMENT=$comment \
     QT_QPA_PLATFORM=offscreen "$program" --gtest_brief=1; then
  fail "the print button did not print"
fi

# The job: queued, processed and completed within seconds.
completed=""
for _ in $(seq 300); do
  if [ -z "$(lpstat -h "$socket" -o "$queue" 2>/dev/null)" ]; then
    completed=$(lpstat -h "$socket" -W completed -o "$queue" 2>/dev/null)
    [ -n "$completed" ] && break
  fi
  sleep 0.1
done
echo "jobs: ${completed:-none}"
jobs=$(grep -c . <<<"$completed")
[ "$jobs" -eq 1 ] || fail "$jobs job(s) completed on $queue, not one"
elsewhere=$(lpstat -h "$socket" -W all -o "$default_queue" 2>/dev/null)
[ -z "$elsewhere" ] || fail "the default queue got a job: $elsewhere"
grep -q '\[Job [0-9]*\] Job completed\.' "$dir/log/error_log" ||
  fail "the job did not complete: $(grep '\[Job ' "$dir/log/error_log" | tail -n 3)"

if [ ! -s "$output" ]; then
  fail "the queue wrote no file"
else
  info=$(pdfinfo "$output" 2>&1)
  pages=$(sed -n 's/^Pages: *//p' <<<"$info")
  size=$(sed -n 's/^Page size: *//p' <<<"$info")
  echo "pdfinfo: Pages: $pages, Page size: $size"
  [ "$pages" = 1 ] || fail "$pages page(s), not 1"
  [[ "$size" == *"(A5)" ]] || fail "page size $size, not the queue's A5"
  pictures=$(pdfimages -list "$output" 2>/dev/null | tail -n +3 | grep -c .)
  [ "$pictures" -ge 1 ] || fail "no picture of the panel"
  # Every line of the report once, in print order, and the page text at the foot.
  text=$(pdftotext "$output" - 2>&1)
  echo "pdftotext:"
  sed 's/^/  /' <<<"$text"
  previous=0
  for want in "Scope Screen Shot" "CHROMIK4-ANA-Scope V1.2" "PANEL ID: $panel_id" "COMMENT:" \
              "${comment_lines[@]}" "Page 1 of 1"; do
    at=$(grep -n -x -F -m1 -- "$want" <<<"$text" | cut -d: -f1)
    if [ -z "$at" ]; then
      fail "the print-out lacks the line '$want'"
    elif [ "$at" -le "$previous" ]; then
      fail "'$want' is out of order (line $at)"
    else
      previous=$at
    fi
  done
fi

if [ "$failures" -ne 0 ]; then
  show_logs
  echo "$failures check(s) failed"
  exit 1
fi
echo "printed through cupsd and checked"
