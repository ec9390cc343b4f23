#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test: the unit, widget and whole-program
# tests on the normal build (build/), the same tests on the sanitizer build (build-asan/,
# scripts/sanitize.sh), and each fuzz harness of that build over its seed inputs plus a
# bounded number of new ones (scripts/fuzz.sh --ci). Each step says how long it took, since
# the whole run must stay well inside CI's time.
#
# The three test steps run whatever the earlier ones gave, so that one failure does not hide
# what the checked build would have found; each prints one line with its result, and the run
# fails at the end if any of them failed. Without the dependencies or the build nothing can
# run, so a failure there ends the run at once.
set -uo pipefail
cd "$(dirname "$0")/.."
results=()
failed=0
step() { # name, command...
  local name=$1 start=$SECONDS status; shift
  "$@"; status=$?
  local line="$name: $( [ $status = 0 ] && echo passed || echo "FAILED (status $status)" ), $((SECONDS - start)) s"
  echo "== $line (total $SECONDS s)"
  results+=("$line")
  [ $status = 0 ] || failed=$((failed + 1))
  return $status
}
step "dependencies" bash scripts/install-deps.sh || exit 1
step "build" bash scripts/build.sh || exit 1
step "tests" bash -c 'cd build && QT_QPA_PLATFORM=offscreen ctest --output-on-failure --parallel "$(nproc)" --timeout 600'
step "sanitizer build and tests" bash scripts/sanitize.sh
step "fuzz regression" bash scripts/fuzz.sh --ci
echo "== Summary"
printf '  %s\n' "${results[@]}"
if [ $failed -gt 0 ]; then
  echo "$failed of the test steps failed."
  exit 1
fi
echo "Every step passed."
