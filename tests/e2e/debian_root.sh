# The end user's machine of the medium tests, sourced after lib.sh: a Debian 13 root that has the
# desktop base and nothing more (no Qt), made with mmdebstrap into the build folder and reused
# between runs, where an unprivileged user starts a medium's autorun.sh under the root's
# xvfb-run (medium_menu.sh). Needs root and deb.debian.org; whatever cannot be had fails.

# The desktop base as Debian 13 names it (the 64-bit time transition renamed GLib's and ALSA's
# packages), and what the tests need to drive a window.
DEBIAN_BASE_PACKAGES=(libc6 libstdc++6 libgcc-s1 libx11-6 libx11-xcb1 libxcb1 libxext6 libxrender1
    libxi6 libxkbcommon0 libfontconfig1 libfreetype6 libglib2.0-0t64 libgl1 libegl1 libdbus-1-3
    libwayland-client0 libasound2t64 libpulse0 fonts-dejavu-core)
DEBIAN_DRIVER_PACKAGES=(xvfb xauth xdotool)
DEBIAN_ROOT=

# Checks what the root needs, takes the root for this test alone (another test waits for it),
# takes down mounts a killed run left in it, and makes it when it is missing or was made with
# other packages.
debian_root_prepare() {
    require_binary
    DEBIAN_ROOT=$(cd "$(dirname "$QUBRIX_BIN")/.." && pwd)/debian13-root
    [[ $(id -u) == 0 ]] || fail "needs root: mmdebstrap, mounts and chroot"
    local tool
    for tool in mmdebstrap chroot mount umount mountpoint flock; do
        command -v "$tool" >/dev/null || fail "$tool is not installed (scripts/packages.sh lists it)"
    done
    exec {DEBIAN_ROOT_LOCK}>"$DEBIAN_ROOT.lock"
    flock "$DEBIAN_ROOT_LOCK" || fail "cannot lock $DEBIAN_ROOT.lock"
    # A run killed before its trap could act may have left its mounts in the root; they go
    # first, deepest first, so that nothing below ever reaches into the machine's own /dev.
    local mountpoint
    if [[ -d $DEBIAN_ROOT ]]; then
        while read -r mountpoint; do
            # findmnt writes a blank in a mount point as \x20.
            mountpoint=$(printf '%b' "$mountpoint")
            umount -l "$mountpoint" || fail "cannot unmount $mountpoint, left by an earlier run"
        done < <(findmnt -rn -o TARGET | grep -F "$DEBIAN_ROOT/" | sort -r)
    fi

    local wanted="${DEBIAN_BASE_PACKAGES[*]} ${DEBIAN_DRIVER_PACKAGES[*]}" start=$SECONDS list
    if [[ -f $DEBIAN_ROOT/.packages && $(cat "$DEBIAN_ROOT/.packages") == "$wanted" ]]; then
        echo "reusing the Debian 13 root in $DEBIAN_ROOT"
    else
        rm -rf --one-file-system "$DEBIAN_ROOT" "$DEBIAN_ROOT.new"
        list=$(IFS=,; echo "${DEBIAN_BASE_PACKAGES[*]},${DEBIAN_DRIVER_PACKAGES[*]}")
        mmdebstrap --variant=minbase --include="$list" trixie "$DEBIAN_ROOT.new" \
            http://deb.debian.org/debian >"$E2E_TMP/mmdebstrap.log" 2>&1 ||
            fail "mmdebstrap could not make the Debian 13 root (it needs deb.debian.org):
$(tail -n 20 "$E2E_TMP/mmdebstrap.log")"
        echo "$wanted" >"$DEBIAN_ROOT.new/.packages"
        mv "$DEBIAN_ROOT.new" "$DEBIAN_ROOT"
        echo "made the Debian 13 root in $DEBIAN_ROOT in $((SECONDS - start)) s"
    fi
    ! compgen -G "$DEBIAN_ROOT/usr/lib/*/libQt6Core.so*" >/dev/null || fail "the root holds Qt"
}

# mount with the given arguments, the mount point last (made as a folder unless it exists); the
# trap of lib.sh undoes it.
mount_for_test() {
    [[ -e ${!#} ]] || mkdir -p "${!#}"
    mount "$@" 2>"$E2E_TMP/mount.log" || fail "mount $*: $(cat "$E2E_TMP/mount.log")"
    E2E_MOUNTS+=("${!#}")
}

# The root's /proc, /dev and a fresh /tmp, which holds the scripts, a home folder and the
# runtime folder of its user, nobody.
debian_root_mount() {
    mount_for_test -t proc proc "$DEBIAN_ROOT/proc"
    mount_for_test --bind /dev "$DEBIAN_ROOT/dev"
    mount_for_test -t tmpfs -o mode=1777 tmpfs "$DEBIAN_ROOT/tmp"
    mkdir -p "$DEBIAN_ROOT/tmp/e2e" "$DEBIAN_ROOT/tmp/home"
    mkdir -m 700 "$DEBIAN_ROOT/tmp/runtime"
    cp "$(dirname "${BASH_SOURCE[0]}")/lib.sh" "$(dirname "${BASH_SOURCE[0]}")/medium_menu.sh" \
        "$DEBIAN_ROOT/tmp/e2e/"
    chown 65534:65534 "$DEBIAN_ROOT/tmp/home" "$DEBIAN_ROOT/tmp/runtime"
}

# Runs medium_menu.sh in the root as nobody on the medium mounted at $1 (a path in the root),
# which must show the label $2 in the caption, with the steps of the lines that follow
# (medium_menu.sh tells their form); fails with what the menu said unless it passed.
debian_root_menu() {
    local medium=$1 label=$2 what="the menu from $1 on Debian 13"
    shift 2
    printf '%s\n' "$@" >"$DEBIAN_ROOT/tmp/e2e/steps"
    chroot --userspec=65534:65534 --groups=65534 "$DEBIAN_ROOT" /usr/bin/env -i HOME=/tmp/home \
        XDG_RUNTIME_DIR=/tmp/runtime PATH=/usr/bin:/bin LANG=C.UTF-8 \
        MEDIUM="$medium" LABEL="$label" STEPS=/tmp/e2e/steps timeout 200 xvfb-run -a \
        -s "-nolisten tcp -screen 0 1024x768x24" bash /tmp/e2e/medium_menu.sh \
        >"$E2E_TMP/menu.log" 2>&1 || fail "$what:
$(cat "$E2E_TMP/menu.log")"
    grep -q '^PASS$' "$E2E_TMP/menu.log" || fail "$what: $(cat "$E2E_TMP/menu.log")"
    echo "$what: $(tail -n 1 "$E2E_TMP/menu.log")"
}
