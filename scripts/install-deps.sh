#!/usr/bin/env bash
# Installs every Debian package the build, the tests and the viewer need.
# Safe to run again: packages already present are left alone.
set -euo pipefail

PACKAGES=(
  build-essential cmake ninja-build pkg-config
  libglfw3-dev libepoxy-dev libegl-dev libegl-mesa0 libgl1-mesa-dri libgles-dev
  libassimp-dev assimp-testmodels
  libfreetype-dev libstb-dev libpng-dev fonts-dejavu-core
  libgtest-dev googletest
  glslang-tools
  libimgui-dev
  libpotrace-dev libcairo2-dev librsvg2-bin poppler-utils libxml2-utils
  xvfb xauth xdotool imagemagick x11-utils libx11-dev libxext-dev
)

missing=()
for p in "${PACKAGES[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
