# A screen reader's view of the real window: Qubrix runs under Xvfb with its accessibility bridge
# on a private session bus, and a walker reads its tree over at-spi, in editor mode on a writable
# copy of the demo disc and in menu mode on a read-only one. Every control a reader stops at or
# reads out must carry a name; the walker prints each role and name it saw.

source "$(dirname "${BASH_SOURCE[0]}")/atspi.sh"

require_binary
start_xvfb_with_atspi

# Starts Qubrix in the folder and walks its tree; the mode names the rows of the table.
walk_window() {
    local folder=$1 mode=$2
    start_qubrix "$folder"
    window=$(find_window '^Qubrix 3\.1')
    atspi walk "$mode" 30 >"$E2E_TMP/$mode.table" 2>"$E2E_TMP/$mode.err" ||
        fail "the walk in $mode mode failed: $(cat "$E2E_TMP/$mode.table" "$E2E_TMP/$mode.err")"
}

stop_qubrix() {
    kill "$QUBRIX_PID"
    wait "$QUBRIX_PID" 2>/dev/null
    QUBRIX_PID=
}

writable=$E2E_TMP/writable
cp -r "$QUBRIX_SOURCE_DIR/examples/demo-disc" "$writable"
walk_window "$writable" editor
grep -q '^editor .*| push button *| Browse' "$E2E_TMP/editor.table" ||
    fail "editor mode shows readers no Browse button: $(cat "$E2E_TMP/editor.table")"
stop_qubrix

# A pressed disc: no file may be written, so Qubrix opens as the end user's menu.
pressed=$E2E_TMP/pressed
cp -r "$QUBRIX_SOURCE_DIR/examples/demo-disc" "$pressed"
find "$pressed" -type f -exec chmod a-w {} +
walk_window "$pressed" menu
(($(window_height "$window") < EDITOR_HEIGHT)) || fail "the read-only disc opened in editor mode"
grep -q '^menu .*| push button *| Browse' "$E2E_TMP/menu.table" &&
    fail "menu mode shows readers the editing band's Browse button"
stop_qubrix

echo "role and name of every control a reader reaches:"
cat "$E2E_TMP/editor.table" "$E2E_TMP/menu.table"
echo "PASS"
