#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The BREVOLD developers
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs what building, running and testing BREVOLD needs on Debian,
# skipping what is already there. Uses sudo when not run as root.
set -euo pipefail

packages=(
  g++ cmake ninja-build pkg-config
  qt6-base-dev qt6-multimedia-dev qt6-svg-dev libgl-dev
  libgtest-dev libgmock-dev libbenchmark-dev nlohmann-json3-dev libnlopt-cxx-dev
  fonts-dejavu-core fonts-liberation2
  desktop-file-utils appstream shared-mime-info bash-completion
  locales
)
if [ "${1:-}" = "--with-display" ]; then
  packages+=(xvfb xauth)
fi

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
sudo=""
if [ "$(id -u)" -ne 0 ]; then sudo="sudo"; fi
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

# A decimal-comma locale, so that the tests can run under it too.
if ! locale -a 2>/dev/null | grep -qi '^de_DE\.utf-\?8$'; then
  $sudo sed -i 's/^# *\(de_DE.UTF-8 UTF-8\)/\1/' /etc/locale.gen
  grep -q '^de_DE.UTF-8 UTF-8' /etc/locale.gen || echo 'de_DE.UTF-8 UTF-8' | $sudo tee -a /etc/locale.gen >/dev/null
  $sudo locale-gen >/dev/null
fi
