#!/usr/bin/env bash
# Builds the Debian package, unpacks it into a scratch root with dpkg -x and checks
# its files, its dependencies and that the program there runs.
#   package_test.sh BUILD-DIR APP-ID
set -uo pipefail
build=$1
app_id=$2
work=$(mktemp -d /tmp/chromik-package-XXXXXX)
trap 'rm -rf "$work"' EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

if ! cpack -G DEB --config "$build/CPackConfig.cmake" -B "$work/out" >"$work/cpack.log" 2>&1; then
  cat "$work/cpack.log"
  echo "FAIL: cpack"
  exit 1
fi
deb=$(ls "$work"/out/*.deb 2>/dev/null | head -n1)
[ -n "$deb" ] || { echo "FAIL: no .deb made"; exit 1; }
echo "package: $(basename "$deb")"

[ "$(dpkg-deb -f "$deb" Package)" = chromik4-ana-scope ] || fail "package name"
depends=$(dpkg-deb -f "$deb" Depends)
echo "Depends: $depends"
# From dpkg-shlibdeps: the C library and the Qt libraries the program links.
for lib in libc6 libstdc++6 libqt6widgets6 libqt6gui6 libqt6core6 qt6-qpa-plugins; do
  [[ ",$depends" == *", $lib"* || ",$depends" == *",$lib"* ]] || fail "Depends lacks $lib"
done

root=$work/root
dpkg -x "$deb" "$root" || { echo "FAIL: dpkg -x"; exit 1; }
for f in usr/bin/chromik4-ana-scope usr/bin/chromik4-sensor-sim \
         usr/share/applications/chromik4-ana-scope.desktop \
         usr/share/icons/hicolor/scalable/apps/chromik4-ana-scope.svg \
         usr/share/icons/hicolor/256x256/apps/chromik4-ana-scope.png \
         "usr/share/metainfo/$app_id.metainfo.xml" \
         usr/share/chromik4-ana-scope/logo.png \
         usr/share/doc/chromik4-ana-scope/README.md; do
  [ -s "$root/$f" ] || fail "package lacks /$f"
done
# Only what belongs to the program: no build or test files.
stray=$(cd "$root" && find . -type f | grep -v -e '^./usr/bin/chromik4-' -e '^./usr/share/' || true)
[ -z "$stray" ] || fail "unexpected files: $stray"

version=$("$root/usr/bin/chromik4-ana-scope" --version) || fail "--version in the unpacked root failed"
[[ "$version" == "chromik4-ana-scope "* ]] || fail "--version printed: $version"
"$root/usr/bin/chromik4-sensor-sim" --help >/dev/null || fail "simulator --help in the unpacked root"

if [ "$failures" -ne 0 ]; then
  echo "$failures check(s) failed"
  exit 1
fi
echo "package checked"
