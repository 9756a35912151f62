#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The BREVOLD developers
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds the Debian package brevold_VERSION_ARCH.deb: installs what is
# missing, builds a Release tree in build-deb/ for /usr with Debian's
# hardening flags, runs cpack (the dependencies come from dpkg-shlibdeps,
# the programs are stripped) and checks the package with lintian, which must
# report no error. Uses sudo when not run as root.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
sudo=""
if [ "$(id -u)" -ne 0 ]; then sudo="sudo"; fi
missing=()
for p in dpkg-dev file lintian; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

# Debian's hardening flags, all of them (bindnow too), given to CMake
# outright so that a build folder configured before takes them too; CMake
# has no place for CPPFLAGS (the fortified functions), so they go with the
# compiler's flags.
export DEB_BUILD_MAINT_OPTIONS=hardening=+all
cxxflags="$(dpkg-buildflags --get CXXFLAGS) $(dpkg-buildflags --get CPPFLAGS)"
ldflags="$(dpkg-buildflags --get LDFLAGS)"
bash scripts/build.sh build-deb -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX=/usr \
  -DBREVOLD_TESTS=OFF -DBREVOLD_BENCH=OFF \
  -DCMAKE_CXX_FLAGS="$cxxflags" -DCMAKE_EXE_LINKER_FLAGS="$ldflags"
rm -f build-deb/brevold_*.deb
(cd build-deb && cpack -G DEB)
deb="$(ls build-deb/brevold_*.deb)"
echo "== lintian $deb"
lintian --fail-on error "$deb"
echo "== $deb"
