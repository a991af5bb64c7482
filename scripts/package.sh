#!/usr/bin/env bash
# Builds the Debian package of Qubrix and prints its path last:
#
#   scripts/package.sh [BUILD_FOLDER]    # build-package/qubrix_<version>_<arch>.deb by default
#
# On Debian 12 it installs the missing packages first (with sudo when not root). The build is
# configured for /usr with Debian's hardening flags, without tests; cpack makes the package,
# its version the FileVersion of the program's version record and its dependencies found by
# dpkg-shlibdeps. QUBRIX_JOBS sets the number of build jobs (all processors by default).
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/packages.sh
install_packages "${build_packages[@]}" "${package_packages[@]}"

build=${1:-build-package}
umask 022
export DEB_BUILD_MAINT_OPTIONS=hardening=+all
eval "$(dpkg-buildflags --export=sh)"
# CMake reads no CPPFLAGS: the preprocessor flags (_FORTIFY_SOURCE) go with the compiler's.
export CFLAGS="$CFLAGS $CPPFLAGS" CXXFLAGS="$CXXFLAGS $CPPFLAGS"
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_INSTALL_PREFIX=/usr \
    -DCMAKE_INSTALL_LIBDIR="lib/$(dpkg-architecture -qDEB_HOST_MULTIARCH)" \
    -DQUBRIX_BUILD_TESTS=OFF -DQUBRIX_BUILD_BENCH=OFF
cmake --build "$build" -j "${QUBRIX_JOBS:-$(nproc)}"

version=$("$build/src/version/qubrix_versiontool" field "$build/src/qubrix" FileVersion)
package=$build/qubrix_${version}_$(dpkg --print-architecture).deb
rm -f "$build"/qubrix_*.deb
(cd "$build" && cpack -G DEB)
if [[ ! -f $package ]]; then
    echo "package.sh: cpack made no $package (the program's version record says $version)" >&2
    exit 1
fi
realpath "$package"
