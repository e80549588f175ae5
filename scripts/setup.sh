#!/usr/bin/env bash
# Installs the Debian packages that building and testing Vorbix needs. Runs
# apt only when something is missing; needs root (or sudo) then.
set -euo pipefail
packages=(
  cmake ninja-build g++ clang libclang-rt-14-dev
  libgtest-dev googletest libbenchmark-dev libsimpleini-dev
  g++-mingw-w64-x86-64 wine wine64 xvfb x11-utils imagemagick fonts-dejavu-core python3
  libsdl2-dev chromium pulseaudio
)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0
echo "Installing: ${missing[*]}"
sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
