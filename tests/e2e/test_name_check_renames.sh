# With ISO 9660 on, an author on a writable medium (an ext4 image, loop-mounted) adds a listing
# for a file whose folder and name are too long. The name dialog renames the folder on disk, then
# refuses a new file name that already exists ("File error", the other file untouched) and asks
# again, then renames the file. The listing is stored with the new names, and the listing that
# already ran through the renamed folder follows it.

source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"

require_binary
stage=$E2E_TMP/stage
mkdir -p "$stage/STAGE/LONG_FOLDER_NAME"
printf 'mine' >"$stage/STAGE/LONG_FOLDER_NAME/LONGNAME1.TXT"
printf 'theirs' >"$stage/STAGE/LONG_FOLDER_NAME/EXISTING.TXT"
printf 'other' >"$stage/STAGE/LONG_FOLDER_NAME/OTHER.TXT"
# The disc is staged in STAGE, one folder below the top of the medium. Auto-Save and ISO 9660
# on, Include Parent folder off: paths leave STAGE out.
printf '[Main]\r\nOther;LONG_FOLDER_NAME\\OTHER.TXT;-1\r\n110\r\n' >"$stage/STAGE/qubrix.dat"
: >"$stage/STAGE/descript.txt"
image=$E2E_TMP/disc.img
disc=$E2E_TMP/media/names
make_image "$stage" NAMES "$image"
mount_image "$image" "$disc" rw

start_xvfb
start_qubrix "$disc/STAGE"
window=$(find_window '^Qubrix 3\.1')

browse_to "$window" LONG_FOLDER_NAME/LONGNAME1.TXT
press "$window" alt+f a Return
xdotool type --delay 50 "Mine"
press "$window" Return

# The name dialog: its caption is the product name alone; it opens with the name selected.
answer_name_dialog() {
    local dialog
    sleep 0.5
    dialog=$(find_window '^Qubrix$')
    press "$dialog" ctrl+a
    xdotool type --delay 50 "$1"
    press "$dialog" alt+c
}
answer_name_dialog LONGFOLD
answer_name_dialog EXISTING.TXT
press "$(find_window '^Error!$')" Return
answer_name_dialog LONGNAME.TXT
sleep 1

[[ $(LC_ALL=C ls -A "$disc/STAGE" | tr '\n' ' ') == "LONGFOLD descript.txt qubrix.dat " ]] ||
    fail "STAGE holds: $(ls -A "$disc/STAGE")"
[[ $(cat "$disc/STAGE/LONGFOLD/LONGNAME.TXT") == mine ]] || fail "the file was not renamed"
[[ $(cat "$disc/STAGE/LONGFOLD/EXISTING.TXT") == theirs ]] || fail "the existing file changed"
[[ $(ls "$disc/STAGE/LONGFOLD" | tr '\n' ' ') == "EXISTING.TXT LONGNAME.TXT OTHER.TXT " ]] ||
    fail "LONGFOLD holds: $(ls -A "$disc/STAGE/LONGFOLD")"
cmp -s "$disc/STAGE/qubrix.dat" <(printf '[Main]\r\nOther;LONGFOLD\\OTHER.TXT;-1\r\nMine;LONGFOLD\\LONGNAME.TXT;-1\r\n110\r\n') ||
    fail "qubrix.dat holds: $(od -c "$disc/STAGE/qubrix.dat" 2>&1)"

press "$window" alt+f x
press "$(find_window '^Confirm SAVE$')" n
wait_for_exit 10 || fail "qubrix still runs after No; visible: $(visible_windows)"
echo "PASS"
