#!/usr/bin/env bash
# Builds the console and photographs its window in English and in Chinese on a virtual X
# display: docs/screenshot-en.png and docs/screenshot-zh.png. Rerun it after changing the
# window. Needs, besides the build's packages, Xvfb and ImageMagick (installed when run as
# root, otherwise the apt-get line to run is printed).
set -euo pipefail
cd "$(dirname "$0")/.."
# Runs inside the virtual display (the script calls itself with --shoot): starts the console in the language, waits for its window,
# photographs it and ends the program.
shoot() {
  local locale=$1 out=$2 program=build/app/app/corvane
  LANG=$locale LC_ALL= LC_MESSAGES= "$program" &
  local pid=$! id="" tries=0
  while [ -z "$id" ]; do
    if ! kill -0 "$pid" 2>/dev/null; then
      echo "the console ended before its window appeared" >&2
      return 1
    fi
    tries=$((tries + 1))
    if [ "$tries" -gt 300 ]; then
      echo "no console window after 30 s" >&2
      kill "$pid"
      return 1
    fi
    sleep 0.1
    id=$(xwininfo -root -tree 2>/dev/null | awk '/"Corvane V5\.8 ?"/ { print $1; exit }')
  done
  # Give the window its first complete paint before the picture is taken.
  sleep 1
  import -window "$id" "$out"
  kill "$pid"
  wait "$pid" 2>/dev/null || true
  echo "wrote $out"
}
if [ "${1:-}" = --shoot ]; then
  shoot "$2" "$3"
  exit
fi

source scripts/setup.sh
corvane_ensure_packages "${CORVANE_PACKAGES[@]}" xvfb xauth x11-utils imagemagick

cmake -S . -B build/app -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCORVANE_TESTS=OFF
cmake --build build/app -j2 --target corvane
mkdir -p docs

xvfb-run -a -s "-screen 0 1024x768x24" "$0" --shoot en_US.UTF-8 docs/screenshot-en.png
xvfb-run -a -s "-screen 0 1024x768x24" "$0" --shoot zh_CN.UTF-8 docs/screenshot-zh.png
