# What the tests that read Qubrix through at-spi share, sourced by them in place of lib.sh.
#
# The script runs again inside a private session bus of its own, which ends with it together
# with the accessibility bus it started; Qubrix starts with its accessibility bridge on.

if [[ -z ${QUBRIX_E2E_BUS:-} ]]; then
    command -v dbus-run-session >/dev/null || {
        echo "SKIP: dbus-run-session is not installed"
        exit 77
    }
    QUBRIX_E2E_BUS=1 exec dbus-run-session -- bash "$0" "$@"
fi

source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"

ATSPI_WALKER="$(dirname "${BASH_SOURCE[0]}")/accessible_tree.py"
# The system's Python, where the at-spi bindings are installed.
ATSPI_PYTHON=/usr/bin/python3
"$ATSPI_PYTHON" -c "import pyatspi" 2>/dev/null || skip "python3-pyatspi is not installed"
[[ -x /usr/libexec/at-spi-bus-launcher ]] || skip "at-spi2-core is not installed"
export QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 QT_ACCESSIBILITY=1

# start_xvfb, then the accessibility bus on the display.
start_xvfb_with_atspi() {
    start_xvfb
    # The services the bus starts see the display and keep their files in our folder.
    export XDG_CACHE_HOME=$E2E_TMP/cache GSETTINGS_BACKEND=memory
    dbus-update-activation-environment DISPLAY XDG_RUNTIME_DIR XDG_CACHE_HOME GSETTINGS_BACKEND ||
        fail "cannot pass the display to the session bus"
    # Qt joins the accessibility bus only when it is there as Qubrix starts.
    dbus-send --session --dest=org.a11y.Bus --print-reply /org/a11y/bus org.a11y.Bus.GetAddress \
        >/dev/null || fail "the session bus cannot start the accessibility bus"
}

# The walker's command and arguments, run with a deadline; its output goes to stdout.
atspi() {
    timeout 60 "$ATSPI_PYTHON" "$ATSPI_WALKER" "$@"
}
