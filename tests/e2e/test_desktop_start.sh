# Started in the home folder, which holds no catalogue, Qubrix asks for the disc's folder: a new
# folder's name typed into the picker is made and gets the catalogue, and the home folder none.
# Started as the desktop entry starts it, Cancel ends the run with status 0 and the home folder
# as it was.

source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"

require_binary
home=$E2E_TMP/home
mkdir "$home"
export HOME=$home
# The desktop's own folders lie outside the home folder here: the toolkit's file picker keeps
# its memory in the configuration folder, and whatever Qubrix itself leaves in the home folder
# must show.
export XDG_CONFIG_HOME=$E2E_TMP/config XDG_CACHE_HOME=$E2E_TMP/cache XDG_DATA_HOME=$E2E_TMP/data
start_xvfb

title="^Qubrix: choose the disc's folder$"
start_qubrix "$home"
picker=$(find_window "$title") || exit 1
type_into "$picker" "My Disc"
press "$picker" Return
window=$(find_window '^Qubrix 3\.1') || exit 1

cmp -s "$home/My Disc/qubrix.dat" <(printf '[Main]\r\n110\r\n') ||
    fail "the chosen folder holds no new catalogue: $(ls -AR "$home" 2>&1)"
[[ -f "$home/My Disc/descript.txt" ]] || fail "the chosen folder holds no descript.txt"
entries=$(ls -A "$home")
[[ $entries == "My Disc" ]] || fail "the home folder holds: $entries"
exit_through_menu_without_question "$window"

# Everything below the home folder, folders and links included, with the files' contents and
# the times they last changed.
snapshot() {
    (cd "$home" && find . -printf '%y %m %T@ %p -> %l\n' | sort && checksums .)
}
before=$(snapshot)
start_qubrix "$home" --choose-folder
picker=$(find_window "$title") || exit 1
press "$picker" Escape
wait_for_exit 10 || fail "qubrix still runs 10 s after Cancel; visible: $(visible_windows)"
[[ $QUBRIX_STATUS == 0 ]] || fail "exit status $QUBRIX_STATUS after Cancel; expected 0"
after=$(snapshot)
[[ $after == "$before" ]] ||
    fail "Cancel changed the home folder: $(diff <(echo "$before") <(echo "$after"))"
echo "PASS"
