#!/usr/bin/env bash
# Builds KIVO and runs every test headless.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh g++ cmake make qt6-base-dev qt6-translations-l10n fonts-liberation python3-dbfread poppler-utils \
  xvfb xauth xdotool x11-utils python3-xlib imagemagick dbus-daemon at-spi2-core python3-pyatspi
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKIVO_WERROR=ON >/dev/null
cmake --build build -j"$(nproc)"
cd build
QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j"$(nproc)"
