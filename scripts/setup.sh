#!/usr/bin/env bash
# Installs the Debian packages that building, running and testing need (only what is missing).
set -euo pipefail
packages=(g++ cmake ninja-build libncurses-dev libgtest-dev libgmock-dev libbenchmark-dev
          tmux python3-dbf libdbd-xbase-perl)
missing=()
for p in "${packages[@]}"; do
  dpkg -s "$p" >/dev/null 2>&1 || missing+=("$p")
done
if ((${#missing[@]})); then
  sudo=""; [ "$(id -u)" = 0 ] || sudo=sudo
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${missing[@]}"
fi
