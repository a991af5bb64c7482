# The Debian package on an author's machine: scripts/package.sh builds it, lintian finds no
# error in it, and in a minimal Debian 12 root file system apt-get installs it with every
# library it needs and purge takes away every file it brought. Installed a second time, it sets
# up alone; its qubrix shows its window under Xvfb, its qubrix-medium prepares a disc from the
# installed files (and the disc's autorun.sh starts the menu), and once purged the root holds
# the files it held before. The root is made with mmdebstrap once and kept in the build folder
# as a tar archive, of which each run unpacks a fresh copy; downloaded packages are kept beside
# it. Needs root and deb.debian.org; whatever cannot be had fails the test.

source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"

started=$SECONDS
require_binary
[[ $(id -u) == 0 ]] || fail "needs root: mmdebstrap, mounts and chroot"
for tool in mmdebstrap chroot mount lintian dpkg-deb file; do
    command -v "$tool" >/dev/null || fail "$tool is not installed (scripts/packages.sh lists it)"
done
build=$(cd "$(dirname "$QUBRIX_BIN")/.." && pwd)
triplet=$(dpkg-architecture -qDEB_HOST_MULTIARCH)
app=org.qubrix.Qubrix

# The package, built from this source tree in a build folder of its own.
step=$SECONDS
"$QUBRIX_SOURCE_DIR/scripts/package.sh" "$build/package" >"$E2E_TMP/package.log" 2>&1 ||
    fail "scripts/package.sh failed:
$(tail -n 30 "$E2E_TMP/package.log")"
package=$(tail -n 1 "$E2E_TMP/package.log")
[[ $package == "$build/package/qubrix_"*"_$(dpkg --print-architecture).deb" && -f $package ]] ||
    fail "scripts/package.sh did not end with the package's path:
$(tail -n 3 "$E2E_TMP/package.log")"
echo "built $package in $((SECONDS - step)) s"

lintian --fail-on error --display-info "$package" >"$E2E_TMP/lintian.log" 2>&1 ||
    fail "lintian:
$(cat "$E2E_TMP/lintian.log")"
echo "lintian found no error:"
cat "$E2E_TMP/lintian.log"

# The package carries the version record of the program it holds, which survived stripping.
unpacked=$E2E_TMP/unpacked
dpkg-deb -x "$package" "$unpacked"
record_version=$("$build/package/src/version/qubrix_versiontool" field "$unpacked/usr/bin/qubrix" \
    FileVersion) || fail "the packaged qubrix has no version record"
[[ $(dpkg-deb -f "$package" Version) == "$record_version" ]] ||
    fail "the package's version is not the program's $record_version"
for side in 48 128 256; do
    file -b "$unpacked/usr/share/icons/hicolor/${side}x$side/apps/$app.png" |
        grep -q "^PNG image data, $side x $side," || fail "the ${side} pixel icon is not one"
done

# The Debian 12 root: the minimal one, without what the package needs.
root_archive=$build/debian12-root.tar
if [[ -f $root_archive ]]; then
    echo "reusing the Debian 12 root $root_archive"
else
    step=$SECONDS
    mmdebstrap --variant=minbase --format=tar bookworm "$root_archive.new" \
        "deb http://deb.debian.org/debian bookworm main" \
        "deb http://deb.debian.org/debian bookworm-updates main" \
        "deb http://deb.debian.org/debian-security bookworm-security main" \
        >"$E2E_TMP/mmdebstrap.log" 2>&1 ||
        fail "mmdebstrap could not make the Debian 12 root (it needs deb.debian.org):
$(tail -n 20 "$E2E_TMP/mmdebstrap.log")"
    mv "$root_archive.new" "$root_archive"
    echo "made the Debian 12 root $root_archive in $((SECONDS - step)) s"
fi
root=$E2E_TMP/root
mkdir "$root"
tar -C "$root" --numeric-owner -xf "$root_archive" || fail "cannot unpack $root_archive"
cp /etc/resolv.conf "$root/etc/resolv.conf"
! compgen -G "$root/usr/lib/*/libQt6Core.so*" >/dev/null || fail "the root holds Qt"

mount_in_root() {
    mount "$@" 2>"$E2E_TMP/mount.log" || fail "mount $*: $(cat "$E2E_TMP/mount.log")"
    E2E_MOUNTS+=("${!#}")
}
mkdir -p "$build/debian12-apt/archives/partial" "$build/debian12-apt/lists/partial"
mount_in_root -t proc proc "$root/proc"
mount_in_root --bind /dev "$root/dev"
mount_in_root -t tmpfs -o mode=1777 tmpfs "$root/tmp"
mount_in_root --bind "$build/debian12-apt/archives" "$root/var/cache/apt/archives"
mount_in_root --bind "$build/debian12-apt/lists" "$root/var/lib/apt/lists"

in_root() {
    chroot "$root" /usr/bin/env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin LANG=C.UTF-8 \
        DEBIAN_FRONTEND=noninteractive "$@"
}
# Every path of the root but the package system's own records, caches and logs, and the places
# the test works in.
root_files() {
    (cd "$root" && find . \( -path ./proc -o -path ./dev -o -path ./sys -o -path ./run -o \
        -path ./tmp -o -path ./root -o -path ./var/tmp -o -path ./var/cache -o -path ./var/log \
        -o -path ./var/lib/apt -o -path ./var/lib/dpkg \) -prune -o -print | sort)
}
apt_in_root() {
    in_root apt-get -y -o Dpkg::Use-Pty=0 "$@" >>"$E2E_TMP/apt.log" 2>&1 ||
        fail "apt-get $* in the root:
$(tail -n 30 "$E2E_TMP/apt.log")"
}

step=$SECONDS
apt_in_root update
cp "$package" "$root/tmp/"
deb=/tmp/$(basename "$package")
apt_in_root install "$deb"
echo "apt-get set up $(grep -c '^Setting up ' "$E2E_TMP/apt.log") packages in $((SECONDS - step)) s"
in_root dpkg-query -L qubrix | sort >"$E2E_TMP/package-files"
echo "the package holds:"
dpkg-deb -c "$package" | awk '{ print "  " $1, $3, $6 }'

# Where each part must lie for the program, the desktop and the manual to find it.
sound_library=/usr/lib/$triplet/qubrix/libqubrix_sound.so
icons=/usr/share/icons/hicolor
for file in /usr/bin/qubrix /usr/bin/qubrix-medium "$sound_library" \
    /usr/share/qubrix/help/qubrix.html "/usr/share/applications/$app.desktop" \
    "/usr/share/metainfo/$app.metainfo.xml" "$icons/scalable/apps/$app.svg" \
    "$icons/48x48/apps/$app.png" "$icons/128x128/apps/$app.png" "$icons/256x256/apps/$app.png" \
    /usr/share/man/man1/qubrix.1.gz /usr/share/man/man1/qubrix-medium.1.gz \
    /usr/share/doc/qubrix/copyright /usr/share/doc/qubrix/changelog.gz; do
    grep -qxF "$file" "$E2E_TMP/package-files" || fail "the package does not install $file"
done
# Every library is there, also those of the sound library the program opens at its first sound.
for binary in /usr/bin/qubrix /usr/bin/qubrix-medium "$sound_library"; do
    ! in_root ldd "$binary" | grep 'not found' || fail "$binary misses libraries in the root"
done

# Purged, the package leaves none of its files (its folders stay only where another package
# owns them), and nothing of its name anywhere.
purge_leaves_nothing() {
    apt_in_root purge qubrix
    local path left
    while read -r path; do
        [[ -e $root$path || -L $root$path ]] || continue
        [[ -d $root$path && ! -L $root$path ]] && in_root dpkg-query -S "$path" >/dev/null 2>&1 &&
            continue
        fail "apt-get purge qubrix left $path behind"
    done <"$E2E_TMP/package-files"
    left=$(cd "$root" && find . \( -path ./proc -o -path ./dev -o -path ./tmp \) -prune -o \
        -iname '*qubrix*' -print)
    [[ -z $left ]] || fail "apt-get purge qubrix left $left"
}
# The drivers of the window come after the package, so they supply none of its libraries.
apt_in_root install --no-install-recommends xvfb xauth xdotool
purge_leaves_nothing

# The cycle again, with what the package needs in place: installing it sets up the package
# alone, and once its programs have run and it is purged, the root holds the files it held.
installed() { in_root dpkg-query -W -f '${Package}\n' | sort; }
installed >"$E2E_TMP/installed-before"
root_files >"$E2E_TMP/files-before"
apt_in_root install "$deb"
[[ $(comm -13 "$E2E_TMP/installed-before" <(installed)) == qubrix ]] ||
    fail "the first install left out what the package needs: the second one set up
$(comm -13 "$E2E_TMP/installed-before" <(installed))"

disc=$root/tmp/disc
cp -R "$QUBRIX_SOURCE_DIR/examples/demo-disc" "$disc"
mkdir -p "$root/tmp/e2e" "$root/tmp/home"
mkdir -m 700 "$root/tmp/runtime"
cp "$(dirname "${BASH_SOURCE[0]}")/lib.sh" "$(dirname "${BASH_SOURCE[0]}")/package_window.sh" \
    "$root/tmp/e2e/"
chown -R 65534:65534 "$disc" "$root/tmp/home" "$root/tmp/runtime"
as_user() {
    chroot --userspec=65534:65534 --groups=65534 "$root" /usr/bin/env -i HOME=/tmp/home \
        XDG_RUNTIME_DIR=/tmp/runtime PATH=/usr/bin:/bin LANG=C.UTF-8 "$@"
}
as_user qubrix-medium prepare /tmp/disc >"$E2E_TMP/prepare.log" 2>&1 ||
    fail "qubrix-medium prepare from the installed files: $(cat "$E2E_TMP/prepare.log")"
cat "$E2E_TMP/prepare.log"
[[ -f $disc/.qubrix/lib/$triplet/qubrix/libqubrix_sound.so ]] ||
    fail "prepare left the sound library behind"
as_user DISC=/tmp/disc timeout 200 xvfb-run -a -s "-nolisten tcp -screen 0 1024x768x24" \
    bash /tmp/e2e/package_window.sh >"$E2E_TMP/window.log" 2>&1 ||
    fail "the installed qubrix in the root:
$(cat "$E2E_TMP/window.log")"
grep -q '^PASS$' "$E2E_TMP/window.log" || fail "the window: $(cat "$E2E_TMP/window.log")"
grep -v '^PASS$' "$E2E_TMP/window.log"

purge_leaves_nothing
root_files >"$E2E_TMP/files-after"
diff "$E2E_TMP/files-before" "$E2E_TMP/files-after" >"$E2E_TMP/files.diff" ||
    fail "the root's files differ after the purge:
$(head -n 40 "$E2E_TMP/files.diff")"
echo "PASS in $((SECONDS - started)) s"
