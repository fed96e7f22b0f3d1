#!/usr/bin/env bash
# Installs every package that building, running and testing Vossik needs.
# Idempotent and quick when everything is already there: apt-get runs only
# for packages that are missing. Needs root (or sudo) for apt-get.
set -euo pipefail

packages=(
  cmake ninja-build g++ pkg-config
  libexpat1-dev zlib1g-dev libcrypto++-dev libcurl4-openssl-dev
  libmicrohttpd-dev libsystemd-dev
  googletest libgtest-dev libgmock-dev
  qt6-base-dev qt6-base-dev-tools libgl-dev
  chromium fonts-dejavu-core
  clang-format clang-tidy clang
  imagemagick desktop-file-utils man-db dpkg-dev lintian
)
# Node.js may come from another source than Debian; only install it when absent.
command -v node >/dev/null 2>&1 || packages+=(nodejs)
command -v npm >/dev/null 2>&1 || packages+=(npm)
# Extra packages asked for by the caller (the benchmarks want python3.11-doc).
packages+=("$@")

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q '^install ok installed$'; then
    missing+=("$p")
  fi
done

if ((${#missing[@]})); then
  echo "Installing: ${missing[*]}"
  sudo_cmd=()
  [ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)
  "${sudo_cmd[@]}" apt-get update -qq
  DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
