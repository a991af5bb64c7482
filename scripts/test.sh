#!/usr/bin/env bash
# Builds Qubrix for Linux and, with MinGW-w64, its Windows program; runs every test: core,
# windows (offscreen) and end to end (Xvfb, and Wine for the Windows program on a prepared disc),
# the portable core's tests under Wine, then the core and window tests again under
# AddressSanitizer + UndefinedBehaviorSanitizer, then the fuzz targets for a minute each.
# Installs what is missing on Debian 12.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/packages.sh
install_packages "${build_packages[@]}" "${test_packages[@]}" "${windows_packages[@]}"

export CTEST_OUTPUT_ON_FAILURE=1
jobs=$(nproc)

cmake --preset default -DQUBRIX_WERROR=ON
cmake --build --preset default -j "$jobs"
# The Windows program comes before the tests: a prepared disc carries it, and the end-to-end
# test of the Windows menu starts it under Wine.
if [ "${QUBRIX_SKIP_WINDOWS:-0}" != 1 ]; then
  cmake --preset windows
  cmake --build --preset windows -j "$jobs"
fi
ctest --preset default -j 1 --timeout 600

# Permission cases cannot be tried as root (root writes anything): run the core tests again
# as an unprivileged user when this runs as root.
if [ "$(id -u)" -eq 0 ] && command -v setpriv >/dev/null; then
  scratch=$(mktemp -d)
  chmod 1777 "$scratch"
  (cd "$scratch" && TMPDIR=$scratch setpriv --reuid=65534 --regid=65534 --clear-groups \
    "$OLDPWD/build/tests/core_tests" --gtest_brief=1 &&
    TMPDIR=$scratch setpriv --reuid=65534 --regid=65534 --clear-groups \
    "$OLDPWD/build/tests/core_portable_tests" --gtest_brief=1)
  rm -rf "$scratch"
fi

# The portable core's tests under Wine, in a Wine prefix of their own (scripts/wine-run.sh),
# with no display.
if [ "${QUBRIX_SKIP_WINDOWS:-0}" != 1 ]; then
  ctest --preset windows -j 1 --timeout 600
fi

if [ "${QUBRIX_SKIP_SANITIZERS:-0}" != 1 ]; then
  cmake --preset asan -DQUBRIX_WERROR=ON
  cmake --build --preset asan -j "$jobs"
  ASAN_OPTIONS=detect_leaks=0 ctest --preset asan -L 'core|gui|platform' -j 1 --timeout 600
fi

if [ "${QUBRIX_SKIP_FUZZ:-0}" != 1 ]; then
  fuzz/run.sh
fi
