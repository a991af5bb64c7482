# A pressed disc: the demo disc as an ext4 image labelled MYDISC, loop-mounted read-only. Qubrix
# shows the label in its caption, opens in menu mode, and leaves through Alt+F, x with status 1
# without asking anything and without writing a byte.

source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"

require_binary
image=$E2E_TMP/disc.img
disc=$E2E_TMP/media/disc
make_image "$QUBRIX_SOURCE_DIR/examples/demo-disc" MYDISC "$image"
image_before=$(sha256sum <"$image")
mount_image "$image" "$disc" ro
files_before=$(checksums "$disc")

start_xvfb
start_qubrix "$disc"
window=$(find_window '^Qubrix 3\.1')

caption=$(xdotool getwindowname "$window")
[[ $caption == "Qubrix 3.1  [MYDISC]" ]] || fail "caption is [$caption]"
height=$(window_height "$window")
((height < EDITOR_HEIGHT)) || fail "window is $height pixels high: not cut to menu mode"

exit_through_menu_without_question "$window"
[[ $(checksums "$disc") == "$files_before" ]] || fail "files on the disc changed"
unmount_image "$disc"
[[ $(sha256sum <"$image") == "$image_before" ]] || fail "the image changed"
echo "PASS"
