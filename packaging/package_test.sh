#!/usr/bin/env bash
# Builds the Debian package, unpacks it into a scratch root with dpkg -x and checks
# it as a distribution would: lintian, the control fields apt shows, the copyright
# file and changelog, a manual page with our own description for every program,
# the files, the dependencies, and that the program there runs.
#   package_test.sh BUILD-DIR APP-ID
set -uo pipefail
build=$1
app_id=$2
here=$(cd "$(dirname "$0")" && pwd)
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
# From dpkg-shlibdeps: the C library and the Qt libraries the program links;
# libqt6printsupport6 also brings Qt's CUPS plugin, through which a desktop prints.
for lib in libc6 libstdc++6 libqt6widgets6 libqt6gui6 libqt6core6 libqt6printsupport6 qt6-qpa-plugins; do
  [[ ",$depends" == *", $lib"* || ",$depends" == *",$lib"* ]] || fail "Depends lacks $lib"
done

# Debian's own check: no error and no warning (informational tags may stay).
if ! command -v lintian >/dev/null; then
  fail "lintian is not installed (scripts/setup.sh installs it)"
else
  lintian "$deb" >"$work/lintian.txt" 2>&1
  bad=$(grep -E '^(E|W): ' "$work/lintian.txt")
  if [ -n "$bad" ]; then
    fail "lintian:"$'\n'"$bad"
  else
    echo "lintian: $(grep -cE '^[A-Z]: ' "$work/lintian.txt") tag(s), none an error or a warning"
  fi
fi

# The description as apt shows it: the summary, then lines of at most 80 columns that
# start with one blank, paragraphs parted by " ." and nothing of CMake's list syntax.
description=$(dpkg-deb -f "$deb" Description)
[ "$(head -n1 <<<"$description")" = "operator and configuration program for the CHROMIK4 ANA colour sensor" ] ||
  fail "description summary: $(head -n1 <<<"$description")"
while IFS= read -r line; do
  [[ "$line" == " "[^\ ]* ]] || fail "description line does not start with one blank: '$line'"
  [[ "$line" == " ;"* ]] && fail "description line starts with a list separator: '$line'"
  [ ${#line} -le 80 ] || fail "description line over 80 columns: '$line'"
done < <(tail -n +2 <<<"$description")

root=$work/root
dpkg -x "$deb" "$root" || { echo "FAIL: dpkg -x"; exit 1; }
for f in usr/bin/chromik4-ana-scope usr/bin/chromik4-ana-cli usr/bin/chromik4-sensor-sim \
         usr/share/applications/chromik4-ana-scope.desktop \
         usr/share/icons/hicolor/scalable/apps/chromik4-ana-scope.svg \
         usr/share/icons/hicolor/256x256/apps/chromik4-ana-scope.png \
         "usr/share/metainfo/$app_id.metainfo.xml" \
         usr/share/chromik4-ana-scope/logo.png \
         usr/share/doc/chromik4-ana-scope/README.md; do
  [ -s "$root/$f" ] || fail "package lacks /$f"
done
doc=$root/usr/share/doc/chromik4-ana-scope
# The machine-readable copyright file states the licence the metainfo and LICENSE declare.
copyright=$doc/copyright
if [ -s "$copyright" ]; then
  head -n1 "$copyright" | grep -qx 'Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/' ||
    fail "copyright file is not in the machine-readable format"
  licence=$(sed -n 's:.*<project_license>\(.*\)</project_license>.*:\1:p' "$root/usr/share/metainfo/$app_id.metainfo.xml")
  grep -qx "License: $licence" "$copyright" || fail "copyright file does not state the licence $licence"
  grep -q "SPDX-License-Identifier: $licence" "$here/../LICENSE" || fail "LICENSE does not state the licence $licence"
else
  fail "package lacks /usr/share/doc/chromik4-ana-scope/copyright"
fi
# A native package's changelog, gzip-compressed, its latest entry the package's version.
if [ -s "$doc/changelog.gz" ]; then
  zcat "$doc/changelog.gz" >"$work/changelog" || fail "changelog.gz is no gzip file"
  changelog_version=$(dpkg-parsechangelog -l "$work/changelog" -S Version 2>/dev/null)
  [ "$changelog_version" = "$(dpkg-deb -f "$deb" Version)" ] ||
    fail "changelog's latest entry is $changelog_version, the package $(dpkg-deb -f "$deb" Version)"
else
  fail "package lacks /usr/share/doc/chromik4-ana-scope/changelog.gz"
fi

# A manual page for every program, clean for man, with the DESCRIPTION of our own from
# the program's include file (its first sentence, as man sets it).
for program in "$root"/usr/bin/*; do
  name=$(basename "$program")
  page=$root/usr/share/man/man1/$name.1.gz
  include=$here/man/$name.h2m
  if [ ! -s "$page" ]; then
    fail "no manual page for $name"
    continue
  fi
  warnings=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -E UTF-8 -l "$page" 2>&1 >/dev/null)
  [ -z "$warnings" ] || fail "man --warnings on $name.1:"$'\n'"$warnings"
  if [ ! -s "$include" ]; then
    fail "no include file packaging/man/$name.h2m"
    continue
  fi
  # The include file's DESCRIPTION up to its first full stop, roff requests taken out.
  ours=$(sed -n '/^\[DESCRIPTION\]/,/^\[/{/^\[/d;p}' "$include" | sed -e '/^\.[BI]R /{s/^\.[BI]R *//;s/ //g}' -e 's/^\.[A-Z]* *//' -e 's/\\-/-/g' |
         tr -s ' \n' '  ' | sed 's/\. .*/./')
  # The rendered DESCRIPTION section, unhyphenated and unjustified, on one line.
  shown=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --nh --nj -l "$page" 2>/dev/null |
          sed -n '/^DESCRIPTION/,/^[A-Z]/{/^[A-Z]/d;p}' | tr -s ' \n' '  ')
  [ -n "$ours" ] && [[ "$shown" == *"$ours"* ]] || fail "$name.1 lacks our DESCRIPTION: '$ours'"
done

# Only what belongs to the program: no build or test files.
stray=$(cd "$root" && find . -type f | grep -v -e '^./usr/bin/chromik4-' -e '^./usr/share/' || true)
[ -z "$stray" ] || fail "unexpected files: $stray"

version=$("$root/usr/bin/chromik4-ana-scope" --version) || fail "--version in the unpacked root failed"
[[ "$version" == "chromik4-ana-scope "* ]] || fail "--version printed: $version"
"$root/usr/bin/chromik4-sensor-sim" --help >/dev/null || fail "simulator --help in the unpacked root"
"$root/usr/bin/chromik4-ana-cli" --help | grep -q '^  verify FILE' || fail "chromik4-ana-cli --help in the unpacked root"

if [ "$failures" -ne 0 ]; then
  echo "$failures check(s) failed"
  exit 1
fi
echo "package checked"
