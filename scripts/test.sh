#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test: the unit, widget and whole-program
# tests on the normal build (build/), the same tests on the sanitizer build (build-asan/,
# scripts/sanitize.sh), and each fuzz harness of that build over its seed inputs plus a
# bounded number of new ones (scripts/fuzz.sh --ci). Each step says how long it took, since
# the whole run must stay well inside CI's time.
set -euo pipefail
cd "$(dirname "$0")/.."
step() { # name, command...
  local name=$1 start=$SECONDS; shift
  "$@"
  echo "== $name: $((SECONDS - start)) s (total $SECONDS s)"
}
step "dependencies" bash scripts/install-deps.sh
step "build" bash scripts/build.sh
step "tests" bash -c 'cd build && QT_QPA_PLATFORM=offscreen ctest --output-on-failure --parallel "$(nproc)" --timeout 300'
step "sanitizer build and tests" bash scripts/sanitize.sh
step "fuzz regression" bash scripts/fuzz.sh --ci
