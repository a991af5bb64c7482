# The demo disc, prepared with qubrix-medium, runs on a Debian 13 machine that has the desktop
# base and nothing more: no Qt. The machine is a minimal root file system made with mmdebstrap
# and kept in the build folder between runs (debian_root.sh). The prepared disc becomes an ext4 image labelled
# "QUBRIX DEMO", loop-mounted read-only at a path with a blank and bound into the root, where an
# unprivileged user starts its ./autorun.sh under the root's xvfb-run (medium_menu.sh): the menu
# shows the catalogue in menu mode and Run starts TOOLS/hello.sh from the disc. Not a byte of the
# disc changes. Then qubrix-medium image masters the same disc into an ISO 9660 image, which
# fuseiso mounts and whose autorun.sh runs the menu the same way. Needs root and deb.debian.org;
# whatever cannot be had fails the test.

source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
source "$(dirname "${BASH_SOURCE[0]}")/debian_root.sh"

started=$SECONDS
require_binary
medium_tool=$(dirname "$QUBRIX_BIN")/qubrix-medium
[[ -x $medium_tool ]] || fail "qubrix-medium is not built beside $QUBRIX_BIN"

# Runs qubrix-medium with the arguments after status, stdout and stderr, and checks its exit
# status and the first line of each stream against a pattern ("" for an empty stream).
expect_cli() {
    local status=$1 out=$2 err=$3 got
    shift 3
    "$medium_tool" "$@" >"$E2E_TMP/cli.out" 2>"$E2E_TMP/cli.err"
    got=$?
    [[ $got == "$status" && $(head -n 1 "$E2E_TMP/cli.out") =~ ^${out}$ &&
        $(head -n 1 "$E2E_TMP/cli.err") =~ ^${err}$ ]] ||
        fail "qubrix-medium $*: exit status $got, stdout: $(cat "$E2E_TMP/cli.out")," \
            "stderr: $(cat "$E2E_TMP/cli.err")"
}
version=$(sed -n 's/^FileVersion=//p' "$QUBRIX_SOURCE_DIR/src/core/version/versioninfo.txt")
usage='usage: qubrix-medium prepare FOLDER'
expect_cli 0 "$usage" '' --help
expect_cli 0 "$usage" '' -h
expect_cli 0 "qubrix-medium \\(Qubrix\\) ${version//./\\.}" '' --version
for wrong in "" "--frobnicate" "prepare" "prepare --force" "image only-a-folder"; do
    # shellcheck disable=SC2086 # the words of the wrong command line
    expect_cli 2 '' "$usage" $wrong
done

for tool in mkfs.ext4 losetup fuseiso blkid; do
    command -v "$tool" >/dev/null || fail "$tool is not installed (scripts/packages.sh lists it)"
done
debian_root_prepare
losetup -f >/dev/null 2>&1 || fail "no free loop device (losetup -f found none)"
label="QUBRIX DEMO"
medium_in_root=$DEBIAN_ROOT/media/$label

# Prepare the demo disc; it gains autorun.sh and .qubrix and nothing else changes.
stage=$E2E_TMP/stage
cp -R "$QUBRIX_SOURCE_DIR/examples/demo-disc" "$stage"
files_before=$(checksums "$stage")
names_before=$(ls -A "$stage" | sort)
# Refused, and left as they were: a folder without qubrix.dat, one with a file where the program
# folder goes, and one its user cannot write.
mkdir -p "$E2E_TMP/no catalogue" "$E2E_TMP/file in the way" "$E2E_TMP/not writable"
touch "$E2E_TMP/file in the way/qubrix.dat" "$E2E_TMP/file in the way/.qubrix" \
    "$E2E_TMP/not writable/qubrix.dat"
chmod 755 "$E2E_TMP"
declare -A refusals=(["no catalogue"]="holds no qubrix.dat" ["file in the way"]="is in the way"
    ["not writable"]="cannot be written")
for refused in "${!refusals[@]}"; do
    before=$(ls -lA "$E2E_TMP/$refused")
    as=()
    [[ $refused != "not writable" ]] || as=(setpriv --reuid=65534 --regid=65534 --clear-groups)
    "${as[@]}" "$medium_tool" prepare "$E2E_TMP/$refused" 2>"$E2E_TMP/refusal.log" &&
        fail "prepare went ahead in the folder: $refused"
    [[ $(ls -lA "$E2E_TMP/$refused") == "$before" ]] || fail "prepare changed the folder: $refused"
    grep -q "${refusals[$refused]}" "$E2E_TMP/refusal.log" ||
        fail "prepare in the folder ($refused) said: $(cat "$E2E_TMP/refusal.log")"
done
"$medium_tool" prepare "$stage" >"$E2E_TMP/prepare.log" 2>&1 ||
    fail "prepare failed: $(cat "$E2E_TMP/prepare.log")"
cat "$E2E_TMP/prepare.log"
# With a Windows build, autorun.inf comes along for the program folder's qubrix.exe.
added=(.qubrix autorun.sh)
[[ ! -e $stage/.qubrix/qubrix.exe ]] || added+=(autorun.inf)
[[ $(ls -A "$stage" | sort) == "$(printf '%s\n' "$names_before" "${added[@]}" | sort)" ]] ||
    fail "the top of the disc holds: $(ls -A "$stage")"
[[ $(checksums "$stage" | grep -v -e ' \./\.qubrix/' -e ' \./autorun\.sh$' -e ' \./autorun\.inf$') == \
    "$files_before" ]] ||
    fail "prepare changed the disc's own files"
[[ $(stat -c %a "$stage/autorun.sh") == 755 ]] || fail "autorun.sh is not mode 0755"
bundle=$(checksums "$stage/.qubrix")
size=$(du -sb "$stage/.qubrix" | cut -f 1)
((size < 100 * 1000 * 1000)) || fail "the program folder takes $size bytes, over 100 MB"
# What the end user's menu never loads stays behind: the disc-image library and what it needs,
# sound codecs, Qt Multimedia with Qt Network and theirs, and the Wayland shells other than
# xdg-shell.
left_out=$(find "$stage/.qubrix/lib" "$stage/.qubrix/plugins/wayland-shell-integration" \
    -type f -printf '%f\n' |
    grep -E '^lib(isofs|jte|acl|bz2|sndfile|FLAC|vorbis|opus|ogg|mpg123|mp3lame|Qt6Multimedia|Qt6Network|krb5|gssapi|k5crypto|proxy|brotli)|-shell' |
    grep -vx 'libxdg-shell.so')
[[ -z $left_out ]] || fail "the program folder carries what the menu never loads: $left_out"
# A LD_LIBRARY_PATH that names another Qt does not lead the loader away from the folder's own.
command -v gcc >/dev/null || fail "gcc is not installed (scripts/packages.sh lists build-essential)"
mkdir "$E2E_TMP/other-qt"
gcc -shared -Wl,-soname,libQt6Core.so.6 -o "$E2E_TMP/other-qt/libQt6Core.so.6" -x c /dev/null ||
    fail "cannot build a stand-in libQt6Core.so.6"
loader=$(patchelf --print-interpreter "$stage/.qubrix/bin/qubrix")
for file in bin/qubrix plugins/platforms/libqxcb.so; do
    found=$(LD_LIBRARY_PATH=$E2E_TMP/other-qt LD_TRACE_LOADED_OBJECTS=1 "$loader" "$stage/.qubrix/$file" |
        sed -n 's/^[[:space:]]*libQt6Core\.so\.6 => \(.*\) (0x.*/\1/p')
    [[ $(realpath -m "$found") == "$(realpath "$stage/.qubrix/lib/libQt6Core.so.6")" ]] ||
        fail "with LD_LIBRARY_PATH set, $file loads libQt6Core.so.6 from ${found:-nowhere}"
done

# Preparing again restores a damaged file and removes a stray one.
echo damaged >"$stage/.qubrix/lib/libQt6Core.so.6"
: >"$stage/.qubrix/stray"
"$medium_tool" prepare "$stage" >/dev/null || fail "the second prepare failed"
[[ $(checksums "$stage/.qubrix") == "$bundle" ]] || fail "the second prepare left another bundle"

image=$E2E_TMP/disc.img
mkfs.ext4 -q -L "$label" -d "$stage" "$image" 160M >"$E2E_TMP/mkfs.log" 2>&1 ||
    fail "mkfs.ext4 failed: $(cat "$E2E_TMP/mkfs.log")"
image_before=$(sha256sum <"$image")
disc=$E2E_TMP/media/$label
hello=("Hello from the Qubrix demo disc (started from /media/$label/TOOLS)." "Goodbye.")
mount_for_test -o loop,ro "$image" "$disc"
mount_for_test --bind "$disc" "$medium_in_root"
debian_root_mount
# The Tools category, then its listing "Say hello" (TOOLS\hello.sh).
debian_root_menu "/media/$label" "$label" "$(IFS='|'; echo "run|1|0|${hello[*]}")"

[[ $(checksums "$disc") == "$(checksums "$stage")" ]] || fail "files on the disc changed"

# The same disc mastered by qubrix-medium image into an ISO 9660 image, mounted through fuseiso
# read-only, as a pressed disc is (no ISO 9660 module is needed): every file, mode, link and long
# name is there, the label is the folder's as ISO 9660 allows it, and the menu runs from the
# image's autorun.sh. fuseiso shows no device, so the program sees no label there.
iso=$E2E_TMP/demo.iso
"$medium_tool" image "$stage" "$stage/demo.iso" 2>"$E2E_TMP/image.log" &&
    fail "image wrote into the folder it was made of"
grep -q "lies inside" "$E2E_TMP/image.log" ||
    fail "image inside the folder said: $(cat "$E2E_TMP/image.log")"
"$medium_tool" image "$stage" "$iso" --label "$label" >"$E2E_TMP/image.log" 2>&1 ||
    fail "image failed: $(cat "$E2E_TMP/image.log")"
grep -q "read back and found equal" "$E2E_TMP/image.log" ||
    fail "image said: $(cat "$E2E_TMP/image.log")"
# ISO 9660 holds QUBRIX_DEMO; blkid reads the Joliet label, as typed.
[[ $(blkid -s LABEL -o value "$iso") == "$label" ]] ||
    fail "the image's label is $(blkid -s LABEL -o value "$iso")"
iso_disc=$E2E_TMP/media/iso
mkdir -p "$iso_disc"
fuseiso "$iso" "$iso_disc" -o ro,allow_other 2>"$E2E_TMP/fuseiso.log" ||
    fail "fuseiso: $(cat "$E2E_TMP/fuseiso.log")"
E2E_MOUNTS+=("$iso_disc")
listing() { (cd "$1" && find . -mindepth 1 -printf '%m %y %p %l\n' | sort); }
[[ $(listing "$iso_disc") == "$(listing "$stage")" ]] ||
    fail "the image's tree differs: $(diff <(listing "$stage") <(listing "$iso_disc") | head -n 20)"
[[ $(checksums "$iso_disc") == "$(checksums "$stage")" ]] || fail "the image's files differ"
mount_for_test --bind "$iso_disc" "$DEBIAN_ROOT/media/iso"
hello[0]="Hello from the Qubrix demo disc (started from /media/iso/TOOLS)."
debian_root_menu /media/iso "" "$(IFS='|'; echo "run|1|0|${hello[*]}")"

for ((i = ${#E2E_MOUNTS[@]} - 1; i >= 0; i--)); do
    unmount_image "${E2E_MOUNTS[i]}"
done
[[ $(sha256sum <"$image") == "$image_before" ]] || fail "the image changed"
echo "PASS in $((SECONDS - started)) s"
