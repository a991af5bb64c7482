# Debian 12 packages the project needs, and a function that installs the missing ones.
build_packages=(build-essential cmake ninja-build pkg-config qt6-base-dev libpulse-dev
                qt6-qpa-plugins libblkid-dev libisofs-dev libgtest-dev
                libgmock-dev patchelf qt6-wayland qt6-svg-dev)
test_packages=(xvfb xauth xdotool xclip e2fsprogs util-linux clang-14 libclang-rt-14-dev
               dbus-daemon dbus-bin at-spi2-core python3-pyatspi mmdebstrap xorriso fuseiso
               desktop-file-utils appstream lintian imagemagick)
# The Windows program and the portable core's tests under Wine (the windows preset).
windows_packages=(g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 wine wine64)
# What scripts/package.sh needs beyond the build packages.
package_packages=(dpkg-dev file)
run_packages=(qt6-wayland e2fsprogs util-linux)

install_packages() {
  if ! command -v dpkg-query >/dev/null; then
    echo "Not a Debian system: make sure the equivalents of these are installed: $*"
    return 0
  fi
  local missing=() package
  for package in "$@"; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q '^install ok installed' ||
      missing+=("$package")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  local sudo=()
  if [ "$(id -u)" -ne 0 ]; then
    if ! command -v sudo >/dev/null; then
      echo "Cannot install without root or sudo; as root run: apt-get install ${missing[*]}" >&2
      return 1
    fi
    sudo=(sudo)
  fi
  echo "Installing: ${missing[*]}"
  "${sudo[@]}" apt-get update -qq
  "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "${missing[@]}"
}
