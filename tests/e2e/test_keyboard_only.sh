# The whole of an author's round without the mouse: on a writable copy of the demo disc, with
# Auto-Save off, a new listing goes in through Browse and the editing band, a listing's note opens
# with Enter and closes with Escape, the new listing runs from the Files menu and Ctrl+S saves.
# Not one click; at-spi tells what a reader would hear of the note.

source "$(dirname "${BASH_SOURCE[0]}")/atspi.sh"

require_binary
disc=$E2E_TMP/disc
cp -r "$QUBRIX_SOURCE_DIR/examples/demo-disc" "$disc"
# Auto-Save off, so that only Ctrl+S writes the catalogue, and no parent folder: the copy is no
# mount point.
sed -i 's/^111\r$/010\r/' "$disc/qubrix.dat"
grep -q $'^010\r$' "$disc/qubrix.dat" || fail "the demo catalogue no longer ends with 111"
marker=$E2E_TMP/marked
printf '#!/bin/sh\necho run >"%s"\n' "$marker" >"$disc/TOOLS/mark.sh"
chmod +x "$disc/TOOLS/mark.sh"

start_xvfb_with_atspi
start_qubrix "$disc"
window=$(find_window '^Qubrix 3\.1')

# Browse leads on to the description, where Enter stores the listing, adds it last to the shown
# category and gives the listings the focus.
browse_to "$window" TOOLS/mark.sh
type_into "$window" "Leave a mark"
press "$window" Return
atspi shown "Leave a mark" 10 >/dev/null || fail "the listings do not show the new one"
grep -q 'Leave a mark' "$disc/qubrix.dat" && fail "the listing was saved before Ctrl+S"

# The first listing's note, by Enter in the listings (Home alone keeps the current row unselected).
press "$window" End Home Return
note=$(atspi shown Note 10) || fail "Enter showed no note: $note"
[[ $note == "What is on this disc and how to use this menu. Start here." ]] ||
    fail "the note reads [$note]"
press "$window" Escape
atspi shown Note 1 >/dev/null && fail "Escape left the note open"

# The new listing runs from the Files menu, once Yes answers the question that names it.
press "$window" End alt+f u
question=$(find_window '^Confirm installation$')
press "$question" alt+y
deadline=$((SECONDS + 20))
until [[ -s $marker ]]; do
    ((SECONDS < deadline)) || fail "the new listing did not run; visible: $(visible_windows)"
    sleep 0.2
done

window=$(find_window '^Qubrix 3\.1')
press "$window" ctrl+s
deadline=$((SECONDS + 10))
until grep -q $'^Leave a mark;TOOLS\\\\mark.sh;-1\r$' "$disc/qubrix.dat"; do
    ((SECONDS < deadline)) || fail "Ctrl+S did not save the listing: $(od -c "$disc/qubrix.dat")"
    sleep 0.2
done
exit_through_menu_without_question "$window"
echo "PASS"
