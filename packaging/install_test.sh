#!/usr/bin/env bash
# Installs the build into a scratch prefix and checks what a desktop finds there:
# every file in place, a valid desktop entry and metainfo, programs that run.
#   install_test.sh BUILD-DIR APP-ID
set -uo pipefail
build=$1
app_id=$2
prefix=$(mktemp -d /tmp/chromik-install-XXXXXX)
trap 'rm -rf "$prefix"' EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

cmake --install "$build" --prefix "$prefix" >/dev/null || { echo "FAIL: cmake --install"; exit 1; }

for f in bin/chromik4-ana-scope bin/chromik4-ana-cli bin/chromik4-sensor-sim \
         share/applications/chromik4-ana-scope.desktop \
         share/icons/hicolor/scalable/apps/chromik4-ana-scope.svg \
         share/icons/hicolor/256x256/apps/chromik4-ana-scope.png \
         "share/metainfo/$app_id.metainfo.xml" \
         share/chromik4-ana-scope/logo.png \
         share/doc/chromik4-ana-scope/README.md \
         share/doc/chromik4-ana-scope/copyright \
         share/doc/chromik4-ana-scope/changelog.gz \
         share/man/man1/chromik4-ana-scope.1.gz \
         share/man/man1/chromik4-ana-cli.1.gz \
         share/man/man1/chromik4-sensor-sim.1.gz; do
  [ -s "$prefix/$f" ] || fail "missing $f"
done
for f in bin/chromik4-ana-scope bin/chromik4-ana-cli bin/chromik4-sensor-sim; do
  [ -x "$prefix/$f" ] || fail "$f is not executable"
done
# Nothing of the build's own (tests, gallery, benchmarks) goes along.
extra=$(cd "$prefix/bin" && ls | grep -v -x -e chromik4-ana-scope -e chromik4-ana-cli -e chromik4-sensor-sim)
[ -z "$extra" ] || fail "unexpected programs in bin: $extra"

# The icon really is 256 x 256 pixels (PNG header: width and height after "IHDR").
size=$(od -An -tx1 -j16 -N8 "$prefix/share/icons/hicolor/256x256/apps/chromik4-ana-scope.png" | tr -d ' \n')
[ "$size" = "0000010000000100" ] || fail "icon PNG is not 256x256 ($size)"
grep -q '<svg' "$prefix/share/icons/hicolor/scalable/apps/chromik4-ana-scope.svg" || fail "icon SVG is no SVG"

desktop=$prefix/share/applications/chromik4-ana-scope.desktop
out=$(desktop-file-validate "$desktop" 2>&1) && [ -z "$out" ] || fail "desktop-file-validate: $out"
grep -qx 'Exec=chromik4-ana-scope' "$desktop" || fail "desktop entry does not start chromik4-ana-scope"
grep -qx 'Icon=chromik4-ana-scope' "$desktop" || fail "desktop entry names another icon"
grep -q '^Categories=.*Science;' "$desktop" || fail "desktop entry is not in Science"

metainfo=$prefix/share/metainfo/$app_id.metainfo.xml
appstreamcli validate --no-net "$metainfo" >/tmp/chromik-appstream.$$ 2>&1 || {
  fail "appstreamcli validate: $(cat /tmp/chromik-appstream.$$)"
}
rm -f /tmp/chromik-appstream.$$
grep -q '<launchable type="desktop-id">chromik4-ana-scope.desktop</launchable>' "$metainfo" ||
  fail "metainfo does not launch the desktop entry"

# The installed programs run from there; the data folder lies where the program looks.
version=$("$prefix/bin/chromik4-ana-scope" --version) || fail "installed --version failed"
[[ "$version" == "chromik4-ana-scope "* ]] || fail "installed --version printed: $version"
"$prefix/bin/chromik4-sensor-sim" --help | grep -q -- '--wire-timing' || fail "installed simulator --help"
cli=$("$prefix/bin/chromik4-ana-cli" --version) || fail "installed chromik4-ana-cli --version failed"
[[ "$cli" == "chromik4-ana-cli "* ]] || fail "installed chromik4-ana-cli --version printed: $cli"
MANPATH=$prefix/share/man man -w chromik4-ana-cli >/dev/null 2>&1 || fail "man does not find chromik4-ana-cli(1)"
# man finds the pages under the prefix by name.
MANPATH=$prefix/share/man man -w chromik4-sensor-sim >/dev/null 2>&1 || fail "man does not find chromik4-sensor-sim(1)"
[ -s "$prefix/bin/../share/chromik4-ana-scope/logo.png" ] || fail "logo not in bin/../share/chromik4-ana-scope"

if [ "$failures" -ne 0 ]; then
  echo "$failures check(s) failed"
  exit 1
fi
echo "installed and checked under $prefix"
