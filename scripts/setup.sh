#!/usr/bin/env bash
# Installs what building and testing need on Debian 12 (run as root or with sudo),
# then configures and builds into the directory given (default: build).
#   scripts/setup.sh [build-dir] [extra cmake arguments...]
#   scripts/setup.sh --packages-only     installs, nothing more
set -euo pipefail
cd "$(dirname "$0")/.."

# desktop-file-utils, appstream, dpkg-dev, file, lintian and man-db: the install and package tests.
# help2man: the manual pages, made at build time.
# cups-daemon, cups-client, cups-core-drivers (its gziptoany filter) and poppler-utils: printing
# through a print server of the test's own (scope/qt/print_server_test.sh).
# clang, its sanitizer and libFuzzer run-times (only recommended by clang, and recommends are
# not installed here) and ccache: the fuzz targets (scripts/fuzz.sh).
packages=(build-essential cmake pkg-config libgtest-dev qt6-base-dev qt6-qpa-plugins libxcb1-dev fonts-dejavu-core xauth xvfb
          desktop-file-utils appstream dpkg-dev file lintian man-db help2man
          cups-daemon cups-client cups-core-drivers poppler-utils clang libclang-rt-14-dev ccache)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  SUDO=""
  [ "$(id -u)" -eq 0 ] || SUDO="sudo"
  export DEBIAN_FRONTEND=noninteractive
  $SUDO apt-get update -q
  $SUDO apt-get install -y -q --no-install-recommends "${missing[@]}"
fi

[ "${1:-}" = "--packages-only" ] && exit 0

build="${1:-build}"
shift || true
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@"
cmake --build "$build" -j2
