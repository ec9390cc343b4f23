#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test: the unit, widget and whole-program
# tests on the normal build (build/), the same tests on the sanitizer build (build-asan/,
# scripts/sanitize.sh), and each fuzz harness of that build over its seed inputs plus a
# bounded number of new ones (scripts/fuzz.sh --ci).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
bash scripts/build.sh
(cd build && QT_QPA_PLATFORM=offscreen ctest --output-on-failure --parallel "$(nproc)" --timeout 300)
bash scripts/sanitize.sh
bash scripts/fuzz.sh --ci
