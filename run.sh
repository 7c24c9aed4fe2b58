#!/usr/bin/env bash
# Sets up and starts the console: installs missing packages, builds into build/app and
# starts the program.
set -euo pipefail
cd "$(dirname "$0")"
source scripts/setup.sh
corvane_ensure_packages "${CORVANE_PACKAGES[@]}"

cmake -S . -B build/app -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCORVANE_TESTS=OFF
cmake --build build/app -j2

program=build/app/app/corvane
if [ ! -x "$program" ]; then
  echo "The build made no $program; see the build output above." >&2
  exit 1
fi
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "No display: start it from a desktop session, or without one with: xvfb-run -a ./run.sh"
  exit 1
fi
exec "$program"
