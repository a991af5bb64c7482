# The end user's part of the medium tests, run inside their Debian 13 root as an unprivileged
# user under xvfb-run (debian_root.sh): ./autorun.sh started at the top of the medium (MEDIUM,
# the mount point, labelled LABEL) shows the catalogue as a menu, cut to menu mode with the label
# in its caption, and each line of the file STEPS picks a listing and runs or copies it. Fields
# are separated by "|":
#   run|CATEGORY ROW|LISTING ROW|LINE|...    R&un, Yes to its question, and the program's output
#                                            holds each LINE whole within 20 s
#   copy|CATEGORY ROW|LISTING ROW|FOLDER|PATH  Copy > &File into FOLDER, typed into the picker;
#                                            PATH (from the medium's top) arrives byte for byte
# The catalogue's bytes are checked by the caller.

source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"

# Rows are 13 pixels high; the first row of both lists lies at y = 82 of the window, the
# category list at x = 120 and the listing list at x = 230.
row_y() { echo $((82 + 13 * $1)); }

# Like a desktop: the current directory is the medium's top, and it runs autorun.sh there.
QUBRIX_BIN=./autorun.sh
start_qubrix "$MEDIUM"
window=$(find_window '^Qubrix 3\.1')

caption=$(xdotool getwindowname "$window")
[[ $caption == "Qubrix 3.1  [$LABEL]" ]] || fail "caption is [$caption]"
height=$(window_height "$window")
((height < EDITOR_HEIGHT)) || fail "window is $height pixels high: not cut to menu mode"

pick_listing() {
    click_at "$window" 120 "$(row_y "$1")"
    click_at "$window" 230 "$(row_y "$2")"
}

# Waits up to 20 s for a test to hold; fails with the message otherwise.
wait_until() {
    local message=$1 deadline=$((SECONDS + 20))
    shift
    until "$@"; do
        ((SECONDS < deadline)) || fail "$message within 20 s; visible: $(visible_windows)"
        sleep 0.2
    done
}

ran=0
while IFS='|' read -r -a step; do
    case ${step[0]} in
    run)
        pick_listing "${step[1]}" "${step[2]}"
        press "$window" alt+f u
        box=$(find_window '^Confirm installation$')
        timeout 10 xdotool windowfocus --sync "$box" || fail "cannot focus the question before Run"
        xdotool key alt+y
        for line in "${step[@]:3}"; do
            wait_until "the program's output did not show [$line]" \
                grep -qxF -- "$line" "$E2E_TMP/qubrix.log"
        done
        # The menu waits for the program before it takes keys again.
        sleep 1
        ;;
    copy)
        pick_listing "${step[1]}" "${step[2]}"
        press "$window" alt+f c f
        picker=$(find_window '^Qubrix$')
        type_into "$picker" "${step[3]}"
        press "$picker" Return
        wait_until "${step[4]} did not arrive whole in ${step[3]}" \
            cmp -s "$MEDIUM/${step[4]}" "${step[3]}/$(basename "${step[4]}")"
        ;;
    *) fail "no such step: ${step[*]}" ;;
    esac
    ((++ran))
done <"$STEPS"
((ran > 0)) || fail "no step in $STEPS"

exit_through_menu_without_question "$window"
echo "PASS"
