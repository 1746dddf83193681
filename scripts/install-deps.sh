#!/usr/bin/env bash
# Installs the Debian packages the build, the tests and the simulated board need.
# Safe to run repeatedly: it only calls apt-get when something is missing.
set -euo pipefail

PACKAGES=(
  build-essential cmake ninja-build pkg-config ccache
  qtbase5-dev libqt5sql5-sqlite
  libgtest-dev libgmock-dev googletest libbenchmark-dev
  libsqlite3-dev sqlite3
  libfreetype-dev libts-dev libstb-dev fonts-ipafont-gothic
  libssl-dev
  nlohmann-json3-dev
  libcairo2-dev
)
# The reader's USB library is also built for the board's i386 processor; an amd64 host
# compiles it with the 32-bit multilib (elsewhere that build is skipped and its test says so).
if [ "$(dpkg --print-architecture)" = amd64 ]; then
  PACKAGES+=(gcc-multilib)
fi

missing=()
for p in "${PACKAGES[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if ((${#missing[@]})); then
  echo "install-deps: installing ${missing[*]}"
  SUDO=""
  if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
  export DEBIAN_FRONTEND=noninteractive
  $SUDO apt-get update -qq
  $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
