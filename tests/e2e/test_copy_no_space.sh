# A folder copy from a pressed disc onto a small, nearly full file system: the copy stops with
# one box that reports no space and names the files it did not get to, every file that arrived
# is whole, no partial file is left, and the disc is untouched.

source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"

require_binary
require_tools xclip
stage=$E2E_TMP/stage
cp -r "$QUBRIX_SOURCE_DIR/examples/demo-disc" "$stage"
head -c $((3 * 1024 * 1024)) /dev/urandom >"$stage/DOCS/VIDEO.BIN"
echo "After the video." >"$stage/DOCS/WORDS.TXT"
image=$E2E_TMP/disc.img
disc=$E2E_TMP/media/disc
make_image "$stage" MYDISC "$image"
mount_image "$image" "$disc" ro
files_before=$(checksums "$disc")
full=$E2E_TMP/full
mkdir -p "$full"
mount -t tmpfs -o size=1m tmpfs "$full" 2>"$E2E_TMP/mount.log" ||
    skip "tmpfs mount unavailable here: $(cat "$E2E_TMP/mount.log")"
E2E_MOUNTS+=("$full")

start_xvfb
start_qubrix "$disc"
window=$(find_window '^Qubrix 3\.1')

# The category "Documents", then its first listing, DOCS\GUIDE.TXT.
click_at "$window" 137 108
click_at "$window" 290 82
press "$window" alt+f c o
picker=$(find_window '^Qubrix$')
type_into "$picker" "$full"
press "$picker" Return

report=$(find_window '^Copy$')
# The box's text can be selected: select it all and copy it.
click_at "$report" 150 25
press "$report" ctrl+a ctrl+c
text=$(xclip -selection clipboard -o)
[[ $text == *"The copy stopped: there is no space left in \"$full\"."* ]] ||
    fail "the box says: $text"
[[ $text == *"$disc/DOCS/WORDS.TXT"* ]] || fail "the box does not name WORDS.TXT: $text"
press "$report" Return

# What arrived is whole; nothing else is there.
for copied in "$full"/* "$full"/.[!.]*; do
    [[ -e $copied ]] || continue
    cmp -s "$copied" "$disc/DOCS/$(basename "$copied")" ||
        fail "$(basename "$copied") arrived damaged or is not a file of the disc"
done
[[ ! -e $full/VIDEO.BIN && ! -e $full/WORDS.TXT ]] ||
    fail "the file that did not fit, or one after it, is there"
[[ -e $full/GUIDE.TXT ]] || fail "the files before the full one did not arrive"

exit_through_menu_without_question "$window"
[[ $(checksums "$disc") == "$files_before" ]] || fail "files on the disc changed"
echo "PASS"
