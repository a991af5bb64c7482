# A screen reader's view of the real window: Qubrix runs under Xvfb with its accessibility bridge
# on a private session bus, and a walker reads its tree over at-spi, in editor mode on a writable
# copy of the demo disc and in menu mode on a read-only one. Every control a reader stops at or
# reads out must carry a name; the walker prints each role and name it saw.

# The session bus and the accessibility bus it starts end with this shell.
if [[ -z ${QUBRIX_E2E_BUS:-} ]]; then
    command -v dbus-run-session >/dev/null || {
        echo "SKIP: dbus-run-session is not installed"
        exit 77
    }
    QUBRIX_E2E_BUS=1 exec dbus-run-session -- bash "${BASH_SOURCE[0]}" "$@"
fi

source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"

require_binary
walker="$(dirname "${BASH_SOURCE[0]}")/accessible_tree.py"
# The system's Python, where the at-spi bindings are installed.
python=/usr/bin/python3
"$python" -c "import pyatspi" 2>/dev/null || skip "python3-pyatspi is not installed"
[[ -x /usr/libexec/at-spi-bus-launcher ]] || skip "at-spi2-core is not installed"
export QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 QT_ACCESSIBILITY=1

start_xvfb
# The services the bus starts see the display and keep their files in our folder.
export XDG_CACHE_HOME=$E2E_TMP/cache GSETTINGS_BACKEND=memory
dbus-update-activation-environment DISPLAY XDG_RUNTIME_DIR XDG_CACHE_HOME GSETTINGS_BACKEND ||
    fail "cannot pass the display to the session bus"
# Qt joins the accessibility bus only when it is there as Qubrix starts.
dbus-send --session --dest=org.a11y.Bus --print-reply /org/a11y/bus org.a11y.Bus.GetAddress \
    >/dev/null || fail "the session bus cannot start the accessibility bus"

# Starts Qubrix in the folder and walks its tree; the mode names the rows of the table.
walk_window() {
    local folder=$1 mode=$2
    start_qubrix "$folder"
    window=$(find_window '^Qubrix 3\.1')
    timeout 60 "$python" "$walker" "$mode" 30 >"$E2E_TMP/$mode.table" 2>"$E2E_TMP/$mode.err" ||
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
