# An author on a writable medium (an ext4 image, loop-mounted) adds a listing with a note by
# keyboard alone: Browse picks the file, "&Add Files" puts the focus into the file name, where
# Enter moves on to the description; the notes dialog takes a note typed on two lines, Enter in
# the description accepts. Auto-Save
# writes both files at once, byte for byte; leaving then asks to save and No keeps them.

source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"

require_binary
stage=$E2E_TMP/stage
mkdir -p "$stage/TOOLS"
printf 'MZ' >"$stage/TOOLS/VIEW.EXE"
# Auto-Save, ISO 9660 and Include Parent folder on.
printf '[Main]\r\n111\r\n' >"$stage/qubrix.dat"
: >"$stage/descript.txt"
image=$E2E_TMP/disc.img
disc=$E2E_TMP/media/author
make_image "$stage" AUTHOR "$image"
mount_image "$image" "$disc" rw

start_xvfb
start_qubrix "$disc"
window=$(find_window '^Qubrix 3\.1')

browse_to "$window" TOOLS/VIEW.EXE
# "&Add Files" puts the focus into the file name, whichever control had it before.
press "$window" alt+f a Return
xdotool type --delay 50 "Disk viewer"
press "$window" alt+n
notes=$(find_window '^Add Notes$')
xdotool type --delay 50 "A viewer"
press "$notes" Return
xdotool type --delay 50 " for this disc."
press "$notes" Tab space
sleep 0.5
press "$window" alt+f a Return Return
sleep 1

cmp -s "$disc/qubrix.dat" <(printf '[Main]\r\nDisk viewer;TOOLS\\VIEW.EXE;0\r\n111\r\n') ||
    fail "qubrix.dat holds: $(od -c "$disc/qubrix.dat" 2>&1)"
cmp -s "$disc/descript.txt" <(printf 'A viewer for this disc.\r\n') ||
    fail "descript.txt holds: $(od -c "$disc/descript.txt" 2>&1)"
files=$(ls -A "$disc" | tr '\n' ' ')
[[ $files == "TOOLS descript.txt lost+found qubrix.dat " ]] || fail "the medium holds: $files"

before=$(checksums "$disc")
press "$window" alt+f x
find_window '^Confirm SAVE$' >/dev/null
press "$(find_window '^Confirm SAVE$')" n
wait_for_exit 10 || fail "qubrix still runs after No; visible: $(visible_windows)"
[[ $QUBRIX_STATUS == 1 ]] || fail "exit status $QUBRIX_STATUS; expected 1"
[[ $(checksums "$disc") == "$before" ]] || fail "the files changed on leaving"
echo "PASS"
