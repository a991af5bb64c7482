# Started in an empty folder, Qubrix creates a new catalogue and an empty notes file, opens in
# editor mode, and leaves through Alt+F, x at once: status 1, nothing asked, nothing rewritten.

source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"

require_binary
start_xvfb
folder=$E2E_TMP/new
mkdir "$folder"
start_qubrix "$folder"
window=$(find_window '^Qubrix 3\.1')

caption=$(xdotool getwindowname "$window")
[[ $caption =~ ^Qubrix\ 3\.1\ \ \[[^]]*\]$ ]] || fail "caption is [$caption]"

cmp -s "$folder/qubrix.dat" <(printf '[Main]\r\n110\r\n') ||
    fail "qubrix.dat is not [Main] and 110 with CR LF: $(od -c "$folder/qubrix.dat" 2>&1)"
[[ -f $folder/descript.txt && ! -s $folder/descript.txt ]] ||
    fail "descript.txt is missing or not empty"
# A save through temporary files must leave none behind.
files=$(ls -A "$folder" | tr '\n' ' ')
[[ $files == "descript.txt qubrix.dat " ]] || fail "the folder holds: $files"

height=$(window_height "$window")
((height >= EDITOR_HEIGHT)) || fail "window is $height pixels high: not in editor mode"

before=$(checksums "$folder")
exit_through_menu_without_question "$window"
[[ $(checksums "$folder") == "$before" ]] || fail "the files changed on leaving"
echo "PASS"
