#!/usr/bin/env bash
# The program's command line: --help and --version print and exit without a display;
# Qt's common options are left to Qt; anything else is refused with one line and exit status 2.
#   command_line_test.sh PROGRAM
set -uo pipefail
program=$1
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
# No display at all: none of this may need one.
unset DISPLAY WAYLAND_DISPLAY
export QT_QPA_PLATFORM=xcb

out=$("$program" --help 2>&1); status=$?
[ $status -eq 0 ] || fail "--help exit status $status"
[[ "$out" == "Usage: chromik4-ana-scope [--help | --version]"* ]] || fail "--help printed: $out"
for key in F9 F10 F11 F12; do [[ "$out" == *"$key"* ]] || fail "--help does not name $key"; done

out=$("$program" --version 2>&1); status=$?
[ $status -eq 0 ] || fail "--version exit status $status"
[ "$(printf '%s\n' "$out" | wc -l)" -eq 1 ] || fail "--version printed more than one line: $out"
[[ "$out" =~ ^chromik4-ana-scope\ [0-9]+\.[0-9]+ ]] || fail "--version printed: $out"

check_refused() {
  local what=$1; shift
  local stdout stderr status
  stdout=$("$program" "$@" 2>/tmp/chromik-cli.$$); status=$?
  stderr=$(cat /tmp/chromik-cli.$$); rm -f /tmp/chromik-cli.$$
  [ $status -eq 2 ] || fail "$what: exit status $status"
  [ -z "$stdout" ] || fail "$what: printed on standard output: $stdout"
  [ "$(printf '%s\n' "$stderr" | wc -l)" -eq 1 ] || fail "$what: not one line: $stderr"
  [[ "$stderr" == "chromik4-ana-scope: "*"'$what'"* ]] || fail "$what: message: $stderr"
}
# Qt's own options pass, with their values, in either form.
for qt in "-platform offscreen" "--platform offscreen" "-style=Fusion" "-reverse" "-qwindowtitle file.cfg"; do
  # shellcheck disable=SC2086
  out=$("$program" $qt --version 2>&1); status=$?
  [ $status -eq 0 ] || fail "$qt --version: exit status $status ($out)"
  [[ "$out" =~ ^chromik4-ana-scope\ [0-9]+\.[0-9]+ ]] || fail "$qt --version printed: $out"
done

check_refused --verbose --verbose
check_refused -platformx -platformx offscreen
check_refused -reverse=1 -reverse=1
check_refused --bogus -platform offscreen --bogus
check_refused file.cfg file.cfg
check_refused --helpme --helpme
check_refused --bogus --version --bogus  # refused although --version came first

[ "$failures" -eq 0 ] || { echo "$failures check(s) failed"; exit 1; }
echo "command line checked"
