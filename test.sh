#!/usr/bin/env bash
# Installs what is missing, builds with warnings as errors and runs the whole
# suite under Xvfb; then runs it again built with the address and
# undefined-behaviour sanitizers, the device tests in a thread-sanitizer
# build, and the fuzz targets for a bounded time.
set -euo pipefail
cd "$(dirname "$0")"
. scripts/common.sh

ensure_packages

configure_and_build build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DGEARPANEL_WERROR=ON
xvfb-run -a -s "-screen 0 1280x1024x24" \
    ctest --test-dir build --output-on-failure --timeout 600

# The whole suite again with the address and undefined-behaviour sanitizers:
# the emulated keyboard, the tools the build runs and the programs the tests
# start are built with them too. Every undefined-behaviour report is fatal;
# leaks that belong to Qt and the libraries below it are suppressed by name.
# The Debian package is checked in the build above: one made from
# sanitizer-built programs is nothing anyone installs.
cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS=-O1 -DGEARPANEL_WERROR=ON \
    -DGEARPANEL_WITH_ASAN=ON -DGEARPANEL_BUILD_BENCH=OFF
cmake --build build-asan -j"$(nproc)"
ASAN_OPTIONS="detect_leaks=1:abort_on_error=0:detect_stack_use_after_return=1" \
LSAN_OPTIONS="suppressions=$PWD/tests/lsan.supp:print_suppressions=0" \
UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1" \
    xvfb-run -a -s "-screen 0 1280x1024x24" \
    ctest --test-dir build-asan --output-on-failure --timeout 900 -E '^package_deb$'

# The device link shares flags and buffers between the GUI thread and pool
# threads: its tests must also run clean under the thread sanitizer.
# Only those tests are built there.
cmake -S . -B build-tsan -DCMAKE_BUILD_TYPE=Debug -DGEARPANEL_WERROR=ON \
    -DGEARPANEL_WITH_TSAN=ON -DGEARPANEL_BUILD_BENCH=OFF
mapfile -t tsan_targets < <(ctest --test-dir build-tsan -N -L device | sed -n 's/^ *Test *#[0-9]*: //p')
cmake --build build-tsan -j"$(nproc)" --target "${tsan_targets[@]}"
TSAN_OPTIONS="halt_on_error=1 second_deadlock_stack=1 suppressions=$PWD/tests/tsan.supp" \
    ctest --test-dir build-tsan -L device --output-on-failure --timeout 900

# Every file a user can hand the programs (romwriter's image, profiles,
# macros, the definition files) and whatever the keyboard answers: each fuzz
# target runs for a bounded time under AddressSanitizer and UBSan, in a clang
# build of the fuzz targets alone.
cmake -S . -B build-fuzz -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
    -DCMAKE_BUILD_TYPE=RelWithDebInfo -DGEARPANEL_BUILD_FUZZ=ON -DGEARPANEL_BUILD_BENCH=OFF
mapfile -t fuzz_targets < <(ctest --test-dir build-fuzz -N -L fuzz | sed -n 's/^ *Test *#[0-9]*: //p')
cmake --build build-fuzz --target "${fuzz_targets[@]}" -j"$(nproc)"
ctest --test-dir build-fuzz -L fuzz --output-on-failure
