#!/usr/bin/env bash
# Installs everything the build, the tests and the screenshots need, from Debian's packages.
# Idempotent: packages already present are left as they are.
set -euo pipefail

PACKAGES=(
  g++ cmake ninja-build ccache pkg-config
  qt6-base-dev qt6-tools-dev qt6-l10n-tools
  libjpeg62-turbo-dev libpng-dev libgif-dev libcurl4-openssl-dev zlib1g-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  xvfb xauth
  desktop-file-utils appstream
  fonts-dejavu-core fonts-noto-core fonts-droid-fallback fonts-nanum fonts-noto-cjk
  qt6-translations-l10n
)

missing=()
for p in "${PACKAGES[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -gt 0 ]; then
  SUDO=""
  if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
  echo "Installing: ${missing[*]}"
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
