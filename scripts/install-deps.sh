#!/usr/bin/env bash
# Installs the Debian/Ubuntu packages the build and the tests need, skipping those already present.
# Safe to run again: when everything is installed it only checks and returns.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config
  qt6-base-dev qt6-base-dev-tools libxkbcommon-dev
  libturbojpeg0-dev zlib1g-dev liblzma-dev
  xvfb xauth xdg-utils libfile-mimeinfo-perl shared-mime-info desktop-file-utils
  imagemagick python3 fonts-dejavu-core
)

missing=()
for package in "${packages[@]}"; do
  status=$(dpkg-query -W -f='${Status}' "$package" 2>/dev/null || true)
  [[ "$status" == "install ok installed" ]] || missing+=("$package")
done

if ((${#missing[@]} == 0)); then
  exit 0
fi

sudo_cmd=()
if [[ $(id -u) -ne 0 ]]; then
  sudo_cmd=(sudo)
fi

echo "Installing: ${missing[*]}"
"${sudo_cmd[@]}" apt-get update -qq
DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
