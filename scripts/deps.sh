#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs the Debian 12 packages the build and the tests need, when missing.
# Sourced by scripts/run and scripts/test; asks for sudo only when not root.
set -euo pipefail

PARLATONE_PACKAGES=(
  g++ cmake ninja-build pkg-config
  qt6-base-dev qt6-base-dev-tools
  qt6-l10n-tools qt6-tools-dev qt6-translations-l10n  # lupdate, lrelease; Qt's own Japanese texts
  python3  # the text checks of the tests
  libsndfile1-dev libmpg123-dev libsdl2-dev
  libsoxr-dev libmp3lame-dev
  libebur128-dev  # the tests' loudness reference only
  libgtest-dev libgmock-dev libbenchmark-dev
  fonts-noto-cjk poppler-utils
  desktop-file-utils appstream help2man
  dosfstools mtools fusefat
)

parlatone_install_deps() {
  local missing=()
  local package
  for package in "${PARLATONE_PACKAGES[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
      missing+=("$package")
    fi
  done
  if [ ${#missing[@]} -eq 0 ]; then
    return 0
  fi
  echo "Installing: ${missing[*]}"
  local sudo=()
  if [ "$(id -u)" -ne 0 ]; then
    sudo=(sudo)
  fi
  "${sudo[@]}" apt-get update
  DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y --no-install-recommends "${missing[@]}"
}

# Configures and builds into build/ (or $PARLATONE_BUILD_DIR): everything, or
# only the targets named. CI sets PARLATONE_WERROR=ON so that a new warning
# fails the run.
parlatone_build() {
  local source_dir build_dir
  source_dir="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
  build_dir="${PARLATONE_BUILD_DIR:-$source_dir/build}"
  cmake -S "$source_dir" -B "$build_dir" -G Ninja \
    -DCMAKE_BUILD_TYPE="${CMAKE_BUILD_TYPE:-RelWithDebInfo}" \
    -DPARLATONE_WERROR="${PARLATONE_WERROR:-OFF}"
  local targets=()
  if [ $# -gt 0 ]; then
    targets=(--target "$@")
  fi
  cmake --build "$build_dir" --parallel "$(nproc)" "${targets[@]}"
}
