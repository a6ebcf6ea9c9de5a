#!/usr/bin/env bash
# Builds KIVO and starts it on the data folder ($KIVO_DATA_DIR, or ~/KIVO, filled on first start).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh g++ cmake make qt6-base-dev qt6-translations-l10n fonts-liberation
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j"$(nproc)" --target kivo pack9 kivo_data
exec build/bin/kivo "$@"
