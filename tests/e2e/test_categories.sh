# An author adds a category through the "Ca&tegory" menu, drags a listing onto it with the
# mouse, sorts a category with the tool button and leaves: Qubrix asks whether to save, and the
# saved catalogue holds the new category, the moved listing and the new order.

source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"

require_binary
start_xvfb
folder=$E2E_TMP/disc
mkdir "$folder"
printf '[Main]\r\nzeta;Z.EXE;-1\r\nAlpha;A.EXE;0\r\nMove me;M.EXE;1\r\n110\r\n' >"$folder/qubrix.dat"
printf 'first\r\nsecond\r\n' >"$folder/descript.txt"
start_qubrix "$folder"
window=$(find_window '^Qubrix 3\.1')

# Rows are 13 pixels high; the first row of both lists lies at y = 82 of the window, the
# category list at x = 120 and the listing list at x = 230.
row_y() { echo $((82 + 13 * $1)); }

press "$window" alt+f t n
dialog=$(find_window '^Add Category$')
timeout 10 xdotool windowfocus --sync "$dialog" || fail "cannot focus the name dialog"
xdotool type --delay 50 "Games"
xdotool key Return
sleep 0.5

# The new category is shown; back to Main, then drag its third listing onto Games.
xdotool mousemove --window "$window" 120 "$(row_y 0)" click 1
sleep 0.5
xdotool mousemove --window "$window" 230 "$(row_y 2)" mousedown 1
for point in "235 $(row_y 2)" "200 $(row_y 1)" "150 $(row_y 1)" "121 $(row_y 1)" "120 $(row_y 1)"; do
    sleep 0.2
    # shellcheck disable=SC2086 # x and y are two words
    xdotool mousemove --window "$window" $point
done
sleep 0.2
xdotool mouseup 1
sleep 0.5

# Sort Main: the tool button right of the three action buttons.
xdotool mousemove --window "$window" 97 33 click 1
sleep 0.5

press "$window" alt+f x
box=$(find_window '^Confirm SAVE$')
timeout 10 xdotool windowfocus --sync "$box" || fail "cannot focus the save question"
xdotool key alt+y
wait_for_exit 10 || fail "qubrix still runs after the save question; visible: $(visible_windows)"
[[ $QUBRIX_STATUS == 1 ]] || fail "exit status $QUBRIX_STATUS; expected 1"

expected=$(printf '[Main]\r\nAlpha;A.EXE;0\r\nzeta;Z.EXE;-1\r\n[Games]\r\nMove me;M.EXE;1\r\n110\r\n')
[[ $(cat "$folder/qubrix.dat") == "$expected" ]] ||
    fail "qubrix.dat holds: $(od -c "$folder/qubrix.dat")"
echo "PASS"
