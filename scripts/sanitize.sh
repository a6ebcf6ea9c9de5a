#!/usr/bin/env bash
# Builds KIVO with AddressSanitizer and UndefinedBehaviorSanitizer in a build folder of its own
# (build-sanitize) and runs the unit tests headless; the X server scenario is left to test.sh.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh g++ cmake make qt6-base-dev qt6-translations-l10n fonts-liberation python3-dbfread poppler-utils
cmake -S . -B build-sanitize -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKIVO_SANITIZE=ON -DKIVO_WERROR=ON >/dev/null
cmake --build build-sanitize -j"$(nproc)"
# Leaks: see scripts/lsan.supp for the few of Qt's own start-up that are never freed.
export ASAN_OPTIONS="detect_leaks=1:abort_on_error=0:strict_string_checks=1:check_initialization_order=1"
export LSAN_OPTIONS="suppressions=$PWD/scripts/lsan.supp:print_suppressions=0"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
cd build-sanitize
QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j"$(nproc)" -LE xserver
