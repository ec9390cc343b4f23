#!/usr/bin/env bash
# Builds the libFuzzer harnesses of tests/fuzz (clang, with address and undefined-behaviour
# sanitizers) in the checked build build-asan/ (see scripts/sanitize.sh) and runs them.
#
#   bash scripts/fuzz.sh [SECONDS] [HARNESS...]   each harness (default: all) for SECONDS
#                                                  (default 60); new inputs are kept in
#                                                  build-asan/found/HARNESS
#   bash scripts/fuzz.sh --ci                      each harness over its seed inputs and then
#                                                  a fixed number of new ones (3000; branding
#                                                  300, ical 1500) from a fixed seed: the
#                                                  regression run of scripts/test.sh
#
# An input that takes longer than 20 s (-timeout) counts as a hang only if it does so again
# when run alone: the harnesses read the font database before the first input, but on a busy
# machine an input can still wait that long for the processor. Such an input is tried once
# more by itself, and if it then ends in time the harness's run is made once more.
#
# A crash, leak or broken promise stops the harness and leaves the input that caused it in
# build-asan/crashes/; once the fault is mended, copy that input into the harness's seed
# folder tests/fuzz/corpus/HARNESS so that every later run tries it again.
set -euo pipefail
cd "$(dirname "$0")/.."
all=(events_file branding prefs caldef ical)

mode=time seconds=60
if [ "${1:-}" = "--ci" ]; then mode=ci; shift
elif [[ "${1:-}" =~ ^[0-9]+$ ]]; then seconds=$1; shift; fi
harnesses=("$@"); [ ${#harnesses[@]} -gt 0 ] || harnesses=("${all[@]}")

cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE= -DCMAKE_CXX_COMPILER=clang++ -DLUMORA_FUZZ=ON -DLUMORA_BENCH=OFF >/dev/null
cmake --build build-asan --parallel "$(nproc)" --target $(printf 'fuzz_%s ' "${harnesses[@]}")

export LSAN_OPTIONS="suppressions=$PWD/tests/sanitizer/lsan.supp:print_suppressions=0"
export ASAN_OPTIONS="intercept_tls_get_addr=0" # see scripts/sanitize.sh
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
export QT_QPA_PLATFORM=offscreen
mkdir -p build-asan/crashes
failed=()
for h in "${harnesses[@]}"; do
  seeds="tests/fuzz/corpus/$h"
  found="build-asan/found/$h"
  if [ $mode = ci ]; then
    found=$(mktemp -d)
    # Two harnesses are slow per input: branding builds the calendar window (about a tenth
    # of a second), ical walks repeat rules through time zones. Fewer new inputs keep each
    # one's share of CI under half a minute.
    case $h in branding) runs=300 ;; ical) runs=1500 ;; *) runs=3000 ;; esac
    limit=(-runs=$runs -seed=1)
  else
    mkdir -p "$found"
    limit=(-max_total_time="$seconds")
  fi
  echo "== fuzz_$h (${limit[*]})"
  log="build-asan/fuzz_$h.log"
  run() { ./build-asan/fuzz_"$h" "${limit[@]}" -timeout=20 -max_len=8192 -print_final_stats=1 \
            -artifact_prefix=build-asan/crashes/"$h"- "$found" "$seeds" > "$log" 2>&1; }
  run && status=0 || status=$?
  slow=$(sed -n 's/^Test unit written to \(.*timeout-.*\)$/\1/p' "$log" | tail -n 1)
  if [ $status != 0 ] && grep -q 'ERROR: libFuzzer: timeout' "$log" && [ -f "$slow" ]; then
    echo "fuzz_$h: an input took longer than 20 s; it is tried again alone"
    if ./build-asan/fuzz_"$h" -timeout=20 "$slow" > "$log.alone" 2>&1; then
      echo "fuzz_$h: alone it ended in time (a busy machine, no hang): the run is made once more"
      rm -f "$slow"
      run && status=0 || status=$?
    else
      echo "fuzz_$h: alone it took longer than 20 s again"
    fi
  fi
  if [ $status = 0 ]; then
    grep -E '^stat::number_of_executed_units|^Done' "$log" || true
  else
    tail -n 60 "$log"
    failed+=("$h")
  fi
  [ $mode = ci ] && rm -rf "$found"
done
if [ ${#failed[@]} -gt 0 ]; then
  echo "Fuzzing found faults in: ${failed[*]} (inputs in build-asan/crashes/)"
  exit 1
fi
