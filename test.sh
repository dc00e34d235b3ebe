#!/usr/bin/env bash
# Installs what is missing, builds everything and runs the whole test suite:
# once in a normal build, once with AddressSanitizer and UBSan.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
"$here/scripts/install-deps.sh"

export QT_QPA_PLATFORM=offscreen
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export LSAN_OPTIONS=suppressions=$here/tests/lsan.supp:print_suppressions=0
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1

"$here/scripts/build.sh" "$here/build-test" -DCMAKE_BUILD_TYPE=RelWithDebInfo
ctest --test-dir "$here/build-test" --output-on-failure -j "$(nproc)"
"$here/scripts/package-check.sh" "$here/build-test"

if [ "${BITONIX_SKIP_SANITIZE:-0}" != 1 ]; then
  "$here/scripts/build.sh" "$here/build-asan" -DCMAKE_BUILD_TYPE=Debug -DBITONIX_SANITIZE=ON -DBITONIX_BENCH=OFF
  ctest --test-dir "$here/build-asan" --output-on-failure -j "$(nproc)"
fi
