# Debian 12 packages the project needs, and a function that installs the missing ones.
build_packages=(build-essential cmake ninja-build pkg-config qt6-base-dev qt6-multimedia-dev qt6-qpa-plugins
                libsndfile1-dev libblkid-dev)
test_packages=(libgtest-dev libgmock-dev xvfb xauth xdotool e2fsprogs util-linux clang-14
               libclang-rt-14-dev)

install_packages() {
  local missing=()
  for package in "$@"; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q '^install ok installed' ||
      missing+=("$package")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  local sudo=()
  [ "$(id -u)" -eq 0 ] || sudo=(sudo)
  echo "Installing: ${missing[*]}"
  "${sudo[@]}" apt-get update -qq
  DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq "${missing[@]}"
}
