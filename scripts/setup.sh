#!/usr/bin/env bash
# Installs what a fresh Debian machine lacks to build, run and test the program.
# Quick and silent when everything is already there.
set -euo pipefail

pkgs=(cmake ninja-build g++ clang clang-format libgtest-dev libbenchmark-dev
      qt6-base-dev xvfb xauth poppler-utils fonts-dejavu-core fonts-liberation2
      cups-daemon cups-client xdotool x11-apps x11-utils openbox desktop-file-utils imagemagick)

missing=()
for p in "${pkgs[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done

if [ ${#missing[@]} -gt 0 ]; then
  sudo_cmd=""
  [ "$(id -u)" -ne 0 ] && sudo_cmd="sudo"
  echo "setup: installing ${missing[*]}"
  $sudo_cmd apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo_cmd apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi
