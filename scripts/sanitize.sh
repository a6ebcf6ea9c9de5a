#!/usr/bin/env bash
# Builds KIVO with AddressSanitizer and UndefinedBehaviorSanitizer in a build folder of its own
# (build-sanitize) and runs the unit tests headless. The end-to-end tests (label e2e: the X server
# scenario and the kill test, minutes under the sanitizers) are left to test.sh.
# Unoptimised, so that it compiles sooner; the unit tests take seconds either way.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh g++ cmake make qt6-base-dev qt6-translations-l10n fonts-liberation python3-dbfread poppler-utils
cmake -S . -B build-sanitize -DCMAKE_BUILD_TYPE=Debug -DKIVO_SANITIZE=ON -DKIVO_WERROR=ON >/dev/null
cmake --build build-sanitize -j"$(nproc)"
# Leak detection stays on: with the offscreen platform Qt frees what it allocates, so any leak
# reported is ours.
export ASAN_OPTIONS="detect_leaks=1:strict_string_checks=1:check_initialization_order=1"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
cd build-sanitize
QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j"$(nproc)" -LE e2e
