#!/usr/bin/env bash
# chromik4-ana-cli links no Qt library (nor any library of a display server) and runs where
# there is no display.
#   no_qt_test.sh PROGRAM
set -uo pipefail
program=$1
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

libraries=$(ldd "$program") || { echo "FAIL: ldd $program"; exit 1; }
display=$(grep -i -E 'libQt|libxcb|libX11|libwayland|libGL|libEGL|libfontconfig' <<<"$libraries")
[ -z "$display" ] || fail "$program links:"$'\n'"$display"

out=$(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$program" --version 2>&1); status=$?
[ $status -eq 0 ] || fail "--version without a display: exit status $status ($out)"
[[ "$out" == "chromik4-ana-cli "* ]] || fail "--version printed: $out"

[ "$failures" -eq 0 ] || exit 1
echo "$(basename "$program") links no Qt: $(wc -l <<<"$libraries") libraries"
