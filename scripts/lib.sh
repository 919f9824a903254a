# Shared by the scripts: package installs and a private X server.
# shellcheck shell=bash

ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)

# Package groups, from the distribution.
PKGS_CORE="cmake g++ make libgtest-dev libgmock-dev libbenchmark-dev"
PKGS_GUI="libfltk1.3-dev libx11-dev libxtst-dev libx11-xcb-dev libxcb1-dev xvfb xauth openbox xdotool imagemagick x11-utils x11-xserver-utils fonts-urw-base35"
PKGS_WINDOWS="g++-mingw-w64-x86-64 wine64 googletest binutils-mingw-w64-x86-64 fonts-wine"
PKGS_FUZZ="clang libclang-rt-14-dev"

# Installs whichever of the named packages are missing.
ensure_packages() {
  local missing=()
  for pkg in "$@"; do
    dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q "install ok installed" || missing+=("$pkg")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  echo "Installing: ${missing[*]}"
  local sudo=""
  [ "$(id -u)" -ne 0 ] && sudo="sudo"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
}

# Starts Xvfb on a free display with openbox as its window manager; sets DISPLAY.
XVFB_PID=""
WM_PID=""
start_xserver() {
  local n=90
  while [ -e "/tmp/.X${n}-lock" ] || [ -e "/tmp/.X11-unix/X${n}" ]; do n=$((n + 1)); done
  Xvfb ":$n" -screen 0 1280x1024x24 -dpi 96 -nolisten tcp >/dev/null 2>&1 &
  XVFB_PID=$!
  export DISPLAY=":$n"
  for _ in $(seq 1 100); do
    xdpyinfo >/dev/null 2>&1 && break
    sleep 0.05
  done
  openbox >/dev/null 2>&1 &
  WM_PID=$!
  for _ in $(seq 1 100); do
    xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q "window id" && break  # not "no such atom on any window"
    sleep 0.05
  done
}

stop_xserver() {
  [ -n "$WM_PID" ] && kill "$WM_PID" 2>/dev/null
  [ -n "$XVFB_PID" ] && kill "$XVFB_PID" 2>/dev/null
  wait 2>/dev/null
  XVFB_PID=""
  WM_PID=""
}
