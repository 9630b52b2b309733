#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need, once.
# As root it uses apt-get; otherwise it prints the line to run and fails.
set -euo pipefail

packages=(
  cmake ninja-build g++ clang libclang-rt-14-dev make
  g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64
  googletest libgtest-dev libbenchmark-dev libjpeg-dev libjpeg-turbo-progs
  wine wine64 xvfb x11-utils xdotool xclip
  fonts-wqy-microhei fonts-wine imagemagick
)

missing=()
for p in "${packages[@]}"; do
  status=$(dpkg-query -W -f='${Status}' "$p" 2>/dev/null || true)
  [[ "$status" == "install ok installed" ]] || missing+=("$p")
done
[[ ${#missing[@]} -eq 0 ]] && exit 0

if [[ $(id -u) -ne 0 ]]; then
  echo "Missing packages. Run: sudo apt-get install -y --no-install-recommends ${missing[*]}" >&2
  exit 1
fi
echo "Installing: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
apt-get update -q
apt-get install -y -q --no-install-recommends "${missing[@]}"
