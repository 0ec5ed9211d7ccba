#!/usr/bin/env bash
# Installs what is missing, builds with warnings as errors and runs the whole
# suite under Xvfb; then runs the device tests again in a thread-sanitizer
# build.
set -euo pipefail
cd "$(dirname "$0")"
. scripts/common.sh

ensure_packages

configure_and_build build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DGEARPANEL_WERROR=ON
xvfb-run -a -s "-screen 0 1280x1024x24" \
    ctest --test-dir build --output-on-failure --timeout 600

# The device link shares flags and buffers between the GUI thread and pool
# threads: its tests must also run clean under the thread sanitizer.
# Only those tests are built there.
cmake -S . -B build-tsan -DCMAKE_BUILD_TYPE=Debug -DGEARPANEL_WERROR=ON \
    -DGEARPANEL_WITH_TSAN=ON -DGEARPANEL_BUILD_BENCH=OFF
mapfile -t tsan_targets < <(ctest --test-dir build-tsan -N -L device | sed -n 's/^ *Test *#[0-9]*: //p')
cmake --build build-tsan -j"$(nproc)" --target "${tsan_targets[@]}"
TSAN_OPTIONS="halt_on_error=1 second_deadlock_stack=1 suppressions=$PWD/tests/tsan.supp" \
    ctest --test-dir build-tsan -L device --output-on-failure --timeout 900

# romwriter reads whatever file lies beside it: fuzz its image reader for a
# bounded time under AddressSanitizer, in a clang build of that target alone.
cmake -S . -B build-fuzz -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
    -DCMAKE_BUILD_TYPE=RelWithDebInfo -DGEARPANEL_BUILD_FUZZ=ON -DGEARPANEL_BUILD_BENCH=OFF
cmake --build build-fuzz --target fuzz_imagefile -j"$(nproc)"
ctest --test-dir build-fuzz -L fuzz --output-on-failure
