#!/usr/bin/env bash
# Installs the Debian 12 packages Velmorin builds and tests with.
# Does nothing when every package is already present.
set -euo pipefail

PACKAGES=(
  build-essential cmake make pkg-config git
  qt6-base-dev qt6-base-dev-tools qt6-svg-dev
  libgl1-mesa-dev libglx-dev
  libgtest-dev libgmock-dev googletest libbenchmark-dev nlohmann-json3-dev
  clang libclang-rt-dev
  qt6-translations-l10n
  poppler-utils
  xvfb xauth fonts-liberation fonts-dejavu-core locales
  libcli11-dev bash-completion
  desktop-file-utils shared-mime-info libglib2.0-bin man-db bsdextrautils dpkg-dev lintian
)

missing=()
for p in "${PACKAGES[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

echo "install-deps: installing ${missing[*]}"
SUDO=""
if [ "$(id -u)" -ne 0 ]; then
  if command -v sudo >/dev/null 2>&1; then SUDO="sudo"; else
    echo "install-deps: need root or sudo to install: ${missing[*]}" >&2; exit 1
  fi
fi
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
