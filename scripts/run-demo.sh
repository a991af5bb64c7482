#!/usr/bin/env bash
# Builds Qubrix and starts it on the demo disc, the way an end user meets it on a medium.
#
#   scripts/run-demo.sh [--autorun | --windows]
#
# On Debian 12 it installs the missing build packages first (with sudo when not root). The demo
# disc (examples/demo-disc) becomes a medium of its own: an ext4 image labelled QUBRIXDEMO,
# loop-mounted writable so the menu can also be edited. Without root or sudo it is a bind mount
# in a private mount namespace instead, which carries no label. Qubrix runs at the medium's top
# as the calling user (also when this script runs under sudo); when it ends, the medium is
# unmounted and thrown away, edits included.
#
# With --autorun the disc is first prepared with qubrix-medium, as an author makes it ready to
# be mastered, and Qubrix starts through the disc's own autorun.sh, as a desktop starts it.
#
# With --windows the Windows program is built as well (cmake --preset windows), a copy of the
# demo disc is prepared with qubrix-medium, which carries it, and it starts under Wine with the
# disc's top as its working folder, as Windows starts it from the disc's autorun.inf. Wine runs
# in a Wine prefix of its own that is removed afterwards (scripts/wine-run.sh).
#
# QUBRIX_BIN=/path/to/qubrix skips the build and runs that binary instead (and the qubrix-medium
# beside it).

set -euo pipefail

root_dir=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
demo_dir=$root_dir/examples/demo-disc
label=QUBRIXDEMO
# mkfs.ext4 and losetup live in sbin, which a user's PATH often lacks.
export PATH=$PATH:/usr/sbin:/sbin

say() { printf 'run-demo: %s\n' "$*"; }
die() {
    say "$*" >&2
    exit 1
}

# The calling user runs the build and Qubrix; root only mounts and installs.
if [[ $EUID -eq 0 && -n ${SUDO_USER:-} && $SUDO_USER != root ]]; then
    as_user() { runuser -u "$SUDO_USER" -- "$@"; }
    user_ids=$(id -u "$SUDO_USER"):$(id -g "$SUDO_USER")
else
    as_user() { "$@"; }
    user_ids=$(id -u):$(id -g)
fi
if [[ $EUID -eq 0 ]]; then
    as_root() { "$@"; }
elif command -v sudo >/dev/null; then
    as_root() { sudo "$@"; }
else
    as_root() { return 1; }
fi
# Asks for the sudo password at most once, when root is first needed.
root_answer=
can_be_root() {
    if [[ -z $root_answer ]]; then
        root_answer=no
        if [[ $EUID -eq 0 ]] || { command -v sudo >/dev/null && sudo -v; }; then
            root_answer=yes
        fi
    fi
    [[ $root_answer == yes ]]
}

check_display() {
    [[ -n ${DISPLAY:-} || -n ${WAYLAND_DISPLAY:-} ]] && return
    die "no graphical display: neither DISPLAY nor WAYLAND_DISPLAY is set.
Qubrix is a desktop program. Run this script from a terminal inside your desktop session,
or on a virtual X server:  xvfb-run -a $0   (Debian package: xvfb)"
}

build() {
    if [[ -n ${QUBRIX_BIN:-} ]]; then
        [[ -x $QUBRIX_BIN ]] || die "QUBRIX_BIN=$QUBRIX_BIN is not an executable"
        binary=$QUBRIX_BIN
        return
    fi
    say "building qubrix"
    (cd "$root_dir" && as_user cmake --preset default &&
        as_user cmake --build --preset default --target qubrix qubrix-medium)
    binary=$root_dir/build/src/qubrix
    [[ -x $binary ]] || die "the build did not produce $binary"
}

stage=
medium=
mounted=
cleanup() {
    if [[ -n $mounted ]]; then
        as_root umount "$medium" || say "could not unmount $medium; unmount it by hand"
    fi
    if [[ -n $stage ]] && ! mountpoint -q "$medium" 2>/dev/null; then
        if can_be_root; then
            as_root rm -rf --one-file-system "$stage"
        else
            rm -rf --one-file-system "$stage"
        fi
    fi
}

# The demo disc with autorun.sh and the program folder that qubrix-medium adds.
prepare_disc() {
    local prepared=$stage/prepared
    cp -R "$demo_dir" "$prepared"
    say "preparing the demo disc with qubrix-medium"
    "$(dirname "$binary")/qubrix-medium" prepare "$prepared" || die "qubrix-medium failed"
    demo_dir=$prepared
    image_size=160M
    start=./autorun.sh
}

# The demo disc as a labelled ext4 image, loop-mounted writable; false when that cannot be done.
mount_labelled_image() {
    can_be_root && [[ -e /dev/loop-control ]] && command -v mkfs.ext4 >/dev/null || return 1
    local image=$stage/$label.img
    mkfs.ext4 -q -L "$label" -d "$demo_dir" "$image" "$image_size" >/dev/null || return 1
    mkdir "$medium"
    as_root mount -o loop "$image" "$medium" || return 1
    mounted=yes
    # The image copies the owners of the checkout; the user edits the menu.
    as_root chown -R "$user_ids" "$medium"
}

run_on_image() {
    say "the demo disc is mounted at $medium with the label $label"
    (cd "$medium" && as_user "$start")
}

# Without root: a copy of the disc, bind-mounted onto itself in a mount namespace of our own,
# is a file system of its own to Qubrix.
run_on_bind_mount() {
    mkdir -p "$medium"
    cp -R "$demo_dir/." "$medium"
    local namespace=(unshare --mount --propagation private)
    [[ $EUID -eq 0 ]] || namespace+=(--map-root-user)
    say "no loop mount here: the demo disc is a bind mount at $medium, without a label"
    if ! "${namespace[@]}" true 2>/dev/null; then
        say "mount namespaces are not available either: running Qubrix in $medium as it is"
        (cd "$medium" && "$start")
        return
    fi
    "${namespace[@]}" sh -c 'mount --bind "$1" "$1" && cd "$1" && exec "$2"' sh "$medium" "$start"
}

# The demo disc prepared with the Windows program, which Wine starts at the disc's top.
run_windows() {
    install_packages "${windows_packages[@]}"
    say "building the Windows program"
    (cd "$root_dir" && as_user cmake --preset windows &&
        as_user cmake --build --preset windows --target qubrix_exe) ||
        die "the Windows build failed"
    local exe=$root_dir/build-windows/src/windows/qubrix.exe
    [[ -f $exe ]] || die "the Windows build did not produce $exe"
    trap cleanup EXIT
    stage=$(mktemp -d "${TMPDIR:-/tmp}/qubrix-demo.XXXXXX")
    chmod 755 "$stage"
    prepare_disc
    chown -R "$user_ids" "$demo_dir" 2>/dev/null || true
    [[ -f $demo_dir/.qubrix/qubrix.exe && -f $demo_dir/autorun.inf ]] ||
        die "qubrix-medium did not carry the Windows program onto the disc"
    say "starting .qubrix\\qubrix.exe under Wine in $demo_dir"
    (cd "$demo_dir" && as_user "$root_dir/scripts/wine-run.sh" .qubrix/qubrix.exe)
}

main() {
    local autorun= windows=
    case ${1:-} in
    --autorun) autorun=yes ;;
    --windows) windows=yes ;;
    "") ;;
    *) die "usage: $0 [--autorun | --windows]" ;;
    esac
    check_display
    # shellcheck source=packages.sh
    source "$root_dir/scripts/packages.sh"
    install_packages "${build_packages[@]}" "${run_packages[@]}"
    build
    if [[ -n $windows ]]; then
        run_windows
        return
    fi
    trap cleanup EXIT
    stage=$(mktemp -d "${TMPDIR:-/tmp}/qubrix-demo.XXXXXX")
    chmod 755 "$stage"
    image_size=16M
    start=$binary
    [[ -z $autorun ]] || prepare_disc
    medium=$stage/$label
    local status=0
    if mount_labelled_image; then
        run_on_image || status=$?
    else
        [[ -n $mounted ]] && as_root umount "$medium" && mounted=
        run_on_bind_mount || status=$?
    fi
    # Qubrix always leaves with status 1 after Exit or closing its window.
    if ((status == 0 || status == 1)); then
        say "Qubrix ended; the demo medium is removed"
        return 0
    fi
    say "Qubrix ended with status $status"
    return "$status"
}

main "$@"
