# The windows as the eye sees them at scale factors 1, 1.5 and 2: the main window in editor mode
# on a writable copy of the demo disc and in menu mode on a read-only one, and the About box.
# In each, no two controls share room and none reaches past the window's edge, as at-spi gives
# their places. A screenshot of each goes to QUBRIX_SCREENSHOTS (by default the folder
# screenshots beside the folder of the binary, in the build tree).

source "$(dirname "${BASH_SOURCE[0]}")/atspi.sh"

require_binary
require_tools import
shots=${QUBRIX_SCREENSHOTS:-$(dirname "$QUBRIX_BIN")/../screenshots}
mkdir -p "$shots" || fail "cannot make $shots"
shots=$(cd "$shots" && pwd)
# Room for the window at twice its size.
export E2E_SCREEN=1400x1100
start_xvfb_with_atspi

writable=$E2E_TMP/writable
cp -r "$QUBRIX_SOURCE_DIR/examples/demo-disc" "$writable"
pressed=$E2E_TMP/pressed
cp -r "$QUBRIX_SOURCE_DIR/examples/demo-disc" "$pressed"
find "$pressed" -type f -exec chmod a-w {} +

# Checks the window of that id and keeps its picture as the named PNG.
check_window() {
    local window=$1 shot=$2 title
    title=$(xdotool getwindowname "$window")
    atspi layout "$title" 20 >"$E2E_TMP/layout" 2>&1 ||
        fail "$shot: $(grep -v ' | ' "$E2E_TMP/layout")"
    import -window "$window" "$shots/$shot.png" 2>"$E2E_TMP/import.log" ||
        fail "no screenshot of $shot: $(cat "$E2E_TMP/import.log")"
    echo "$shots/$shot.png"
}

stop_qubrix() {
    kill "$QUBRIX_PID"
    wait "$QUBRIX_PID" 2>/dev/null
    QUBRIX_PID=
}

for scale in 1 1.5 2; do
    export QT_SCALE_FACTOR=$scale
    start_qubrix "$writable"
    window=$(find_window '^Qubrix 3\.1')
    editor_height=$(window_height "$window")
    check_window "$window" "main-editor-x$scale"
    press "$window" alt+h a
    check_window "$(find_window '^Qubrix$')" "about-x$scale"
    stop_qubrix

    start_qubrix "$pressed"
    window=$(find_window '^Qubrix 3\.1')
    (($(window_height "$window") < editor_height)) || fail "the read-only disc opened in editor mode"
    check_window "$window" "main-menu-x$scale"
    stop_qubrix
done
echo "PASS"
