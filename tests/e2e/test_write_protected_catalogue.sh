# A catalogue without any write bit on a writable disk opens in read-only menu mode; leaving
# asks nothing, ends with status 1, and leaves both files and their protection as they were.

source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"

require_binary
folder=$E2E_TMP/stage
cp -r "$QUBRIX_SOURCE_DIR/examples/demo-disc" "$folder"
chmod a-w "$folder/qubrix.dat"
before=$(checksums "$folder")
mode_before=$(stat -c %a "$folder/qubrix.dat")

start_xvfb
start_qubrix "$folder"
window=$(find_window '^Qubrix 3\.1')
height=$(window_height "$window")
((height < EDITOR_HEIGHT)) || fail "window is $height pixels high: not cut to menu mode"

exit_through_menu_without_question "$window"
[[ $(checksums "$folder") == "$before" ]] || fail "files changed"
[[ $(stat -c %a "$folder/qubrix.dat") == "$mode_before" ]] ||
    fail "qubrix.dat mode is $(stat -c %a "$folder/qubrix.dat"), was $mode_before"
echo "PASS"
