#!/usr/bin/env bash
# Installs what is missing, builds everything and runs the whole test suite:
# in a normal build, again there under a German locale and system language,
# and once more with AddressSanitizer, UBSan and the leak checker.
# Warnings are errors, and nothing optional may drop out of the build.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
"$here/scripts/install-deps.sh"

export QT_QPA_PLATFORM=offscreen
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export LSAN_OPTIONS=suppressions=$here/tests/lsan.supp:print_suppressions=0
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
strict=(-DCMAKE_COMPILE_WARNING_AS_ERROR=ON -DBITONIX_STRICT=ON)

phase() { echo "== $1 (at ${SECONDS}s)"; }

phase "build"
"$here/scripts/build.sh" "$here/build-test" -DCMAKE_BUILD_TYPE=RelWithDebInfo "${strict[@]}"
phase "tests"
ctest --test-dir "$here/build-test" --output-on-failure -j "$(nproc)"
phase "tests under de_DE.UTF-8"
LC_ALL=de_DE.UTF-8 LANG=de_DE.UTF-8 LANGUAGE=de \
  ctest --test-dir "$here/build-test" --output-on-failure -j "$(nproc)"
phase "package check"
"$here/scripts/package-check.sh" "$here/build-test"

if [ "${BITONIX_SKIP_SANITIZE:-0}" != 1 ]; then
  phase "sanitizer build"
  "$here/scripts/build.sh" "$here/build-asan" -DCMAKE_BUILD_TYPE=Debug -DBITONIX_SANITIZE=ON \
    -DBITONIX_BENCH=OFF "${strict[@]}"
  phase "tests under ASan/UBSan"
  ctest --test-dir "$here/build-asan" --output-on-failure -j "$(nproc)"
fi
phase "done"
