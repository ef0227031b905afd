#!/usr/bin/env bash
# Installs the Debian packages the build, the tests and the program need, when missing.
set -euo pipefail
packages=(g++ cmake ninja-build pkg-config ccache libgtest-dev libgmock-dev libbenchmark-dev
          qt6-base-dev qt6-base-dev-tools qt6-charts-dev libqt6opengl6-dev libqt6sql6-sqlite
          libsqlite3-dev
          libpulse-dev portaudio19-dev
          pulseaudio pulseaudio-utils libasound2-plugins xvfb xauth x11-apps xdotool
          qt6-l10n-tools qt6-tools-dev
          orca speech-dispatcher openbox
          dpkg-dev file desktop-file-utils appstream lintian librsvg2-bin x11-utils
          clang-14 libclang-rt-14-dev llvm-14)
missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0
echo "Installing: ${missing[*]}"
sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y --no-install-recommends "${missing[@]}"
