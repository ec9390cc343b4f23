#!/usr/bin/env bash
# Builds the calendar and its tests with AddressSanitizer and UndefinedBehaviorSanitizer
# (clang) into build-asan/ and runs the unit, widget and whole-program tests there, leak
# detection on. The same build holds the fuzz harnesses that scripts/fuzz.sh runs.
# Any sanitizer report fails the run: the first report ends the process that made it, and
# every report is also written under build-asan/sanitizer-reports/, so that a report from a
# program whose exit status a test does not look at is not missed either.
set -euo pipefail
cd "$(dirname "$0")/.."
cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE= -DCMAKE_CXX_COMPILER=clang++ -DLUMORA_FUZZ=ON -DLUMORA_BENCH=OFF >/dev/null
cmake --build build-asan --parallel "$(nproc)"

reports="$PWD/build-asan/sanitizer-reports"
rm -rf "$reports" && mkdir -p "$reports"
# Leaks outside our code (libdbus, fontconfig, Qt D-Bus) are listed in the suppression file.
export LSAN_OPTIONS="suppressions=$PWD/tests/sanitizer/lsan.supp:print_suppressions=0"
# intercept_tls_get_addr=0: clang 14's runtime takes a thread-local block of a library loaded at
# run time that malloc placed 16 bytes past a page boundary for an old glibc's block, reads the
# allocator's chunk header before it as that block's place and size, and the leak check at
# exit then faults reading there ("Tracer caught signal 11", status 1). Threads of the
# calendar get such blocks of 16 bytes, and where one lands is the allocator's luck. Leaks are
# found as before: the blocks are heap chunks that glibc's own tables reach.
export ASAN_OPTIONS="detect_leaks=1:abort_on_error=0:intercept_tls_get_addr=0:log_path=$reports/asan"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1:log_path=$reports/ubsan"
export QT_QPA_PLATFORM=offscreen
# A session bus for the whole run, as a desktop has: without a bus address, libdbus launches
# one through the display, forking first, and its child opens a folder before it runs the
# launcher. The sanitizer's allocator is not made ready for a fork, so a child forked while
# another thread of the program was allocating waits for good on the allocator's lock, and
# the program, reading from the child, with it (a start now and then never showed its
# window). The calendar itself now launches none (framework SessionBus); the test programs'
# own application objects still may. Tests that want no bus, or a bus of their own, set
# their own address.
status=0
(cd build-asan && dbus-run-session -- ctest --output-on-failure --parallel "$(nproc)" --timeout 600) || status=$?
if compgen -G "$reports/*" >/dev/null; then
  for report in "$reports"/*; do echo "==== $report"; cat "$report"; done
  echo "Sanitizer reports were written (above)."
  status=1
fi
exit $status
