# The end user's part of test_medium_runs_elsewhere.sh, run inside its Debian 13 root as an
# unprivileged user under xvfb-run: ./autorun.sh started at the top of the medium (MEDIUM, the
# mount point, labelled LABEL) shows the demo catalogue as a menu, and Run starts the disc's
# TOOLS/hello.sh. The catalogue's bytes are checked by the caller.

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

# The Tools category, then its listing "Say hello" (TOOLS\hello.sh), then R&un in the Files menu.
click_at "$window" 120 "$(row_y 1)"
click_at "$window" 230 "$(row_y 0)"
press "$window" alt+f u
box=$(find_window '^Confirm installation$')
timeout 10 xdotool windowfocus --sync "$box" || fail "cannot focus the question before Run"
xdotool key alt+y
deadline=$((SECONDS + 20))
until grep -q '^Goodbye\.$' "$E2E_TMP/qubrix.log"; do
    ((SECONDS < deadline)) || fail "TOOLS/hello.sh did not run to its end within 20 s"
    sleep 0.2
done
grep -q "^Hello from the Qubrix demo disc (started from $MEDIUM/TOOLS)\.$" "$E2E_TMP/qubrix.log" ||
    fail "hello.sh did not start from the medium"
sleep 1

exit_through_menu_without_question "$window"
echo "PASS"
