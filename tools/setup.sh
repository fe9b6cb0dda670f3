#!/usr/bin/env bash
# Installs the Debian packages the build needs; does nothing when all are there.
set -euo pipefail
packages=(
  cmake ninja-build g++ clang-14 libclang-rt-14-dev
  libgtest-dev libbenchmark-dev
  nlohmann-json3-dev libcli11-dev libembree-dev libstb-dev libtinyobjloader-dev
  libfreetype-dev fonts-dejavu-core libsdl2-dev libopenexr-dev
)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0
sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
echo "installing: ${missing[*]}" >&2
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${missing[@]}" >/dev/null
