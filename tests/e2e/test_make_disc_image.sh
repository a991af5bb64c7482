# The author masters the demo disc from the window: Files > Make Disc Image... asks for the image
# file, then the volume label, writes and reads the image back behind its progress dialog and
# ends with a box (its words are the window tests' to check). The image carries the label as
# typed and every file of the disc, as xorriso extracts them, with its mode opened to everyone
# (read, and execute where anyone could), and the disc is untouched.

source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"

require_binary
require_tools xorriso blkid
stage=$E2E_TMP/stage
cp -r "$QUBRIX_SOURCE_DIR/examples/demo-disc" "$stage"
# Modes the image changes without a word: others could read these already.
chmod 744 "$stage/TOOLS/hello.sh"
chmod 604 "$stage/README.TXT"
files_before=$(checksums "$stage")
mkdir "$E2E_TMP/images"
iso=$E2E_TMP/images/demo.iso

start_xvfb
start_qubrix "$stage"
window=$(find_window '^Qubrix 3\.1')
# The demo disc was never prepared: the check says so, and the author goes on.
make_image_from_window "$window" "$iso" "Author's Demo"

deadline=$((SECONDS + 60))
until [[ -f $iso ]]; do
    ((SECONDS < deadline)) || fail "no image within 60 s; visible: $(visible_windows)"
    sleep 0.2
done
box=$(find_window '^Make Disc Image$')
press "$box" Return
wait_gone "$box"
exit_through_menu_without_question "$window"

[[ $(blkid -s LABEL -o value "$iso") == "Author's Demo" ]] ||
    fail "the image's label is $(blkid -s LABEL -o value "$iso")"
xorriso -osirrox on -indev "$iso" -extract / "$E2E_TMP/extracted" >"$E2E_TMP/xorriso.log" 2>&1 ||
    fail "xorriso cannot extract the image: $(tail -n 5 "$E2E_TMP/xorriso.log")"
modes() { (cd "$1" && find . -mindepth 1 -printf '%m %y %p\n' | sort); }
# The staging folder's modes as the image holds them: read for all, execute for all on folders
# and where anyone had it, no set-user or set-group bit; links as they are.
mastered_modes() {
    modes "$1" | while read -r mode type path; do
        ((mode = 8#$mode))
        if [[ $type != l ]]; then
            if [[ $type == d ]] || ((mode & 8#111)); then ((mode |= 8#111)); fi
            ((mode = (mode | 8#444) & ~8#6000))
        fi
        printf '%o %s %s\n' "$mode" "$type" "$path"
    done | sort
}
[[ $(modes "$E2E_TMP/extracted") == "$(mastered_modes "$stage")" ]] ||
    fail "the image's tree differs: $(diff <(mastered_modes "$stage") <(modes "$E2E_TMP/extracted"))"
[[ $(checksums "$E2E_TMP/extracted") == "$files_before" ]] || fail "the image's files differ"
[[ $(checksums "$stage") == "$files_before" ]] || fail "the disc changed"
[[ $(ls -A "$E2E_TMP/images") == demo.iso ]] ||
    fail "left beside the image: $(ls -A "$E2E_TMP/images")"
echo PASS
