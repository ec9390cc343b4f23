#!/usr/bin/env bash
# Installs, with apt-get, whatever the build, the program or the tests need and is missing.
set -euo pipefail
pkgs=(build-essential cmake ninja-build pkg-config qt6-base-dev libgl-dev
      libgtest-dev googletest libical-dev tzdata fonts-liberation2 fonts-dejavu-core
      xvfb xauth xdotool x11-utils imagemagick
      clang libclang-rt-dev poppler-utils)
pkgs+=(openbox)   # a window manager for the whole-program tests that need one
missing=()
for p in "${pkgs[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  SUDO=""; [ "$(id -u)" -ne 0 ] && SUDO=sudo
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
