#!/usr/bin/env bash
# Installs every package the build, the tests and the sample run need on Debian 12.
# Idempotent: packages already present are not fetched again. Run as root (or via sudo).
set -euo pipefail

packages=(
  cmake ninja-build g++ make pkg-config ccache
  g++-mingw-w64-i686-posix binutils-mingw-w64-i686
  g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64
  libgtest-dev libgmock-dev googletest
  clang libclang-rt-14-dev
  wine wine32:i386 wine64
  trans-de-en
  xvfb xauth x11-utils
  imagemagick file
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if ((${#missing[@]})); then
  if [ "$(id -u)" -ne 0 ]; then
    echo "install-deps: missing packages (${missing[*]}); run as root or with sudo" >&2
    exit 1
  fi
  # wine32 needs the i386 architecture.
  if ! dpkg --print-foreign-architectures | grep -qx i386; then
    dpkg --add-architecture i386
  fi
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
