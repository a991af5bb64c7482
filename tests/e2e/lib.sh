# Shared helpers of the end-to-end tests, sourced by each tests/e2e/test_*.sh.
#
# Each test drives the real binary ($QUBRIX_BIN) on an Xvfb of its own: it starts Qubrix in a
# folder, finds its window with xdotool and sends keys to it. Every wait has a deadline, and
# whatever a test started or mounted is taken down when it ends, however it ends.
# Exit status: 0 passed, 1 failed, 77 skipped.

set -u

E2E_TMP=$(mktemp -d "${TMPDIR:-/tmp}/qubrix-e2e.XXXXXX")
E2E_MOUNTS=()
XVFB_PID=
QUBRIX_PID=
QUBRIX_STATUS=
# The editor-mode window is 433 pixels high at creation; menu mode cuts it to its upper part.
EDITOR_HEIGHT=433

skip() {
    echo "SKIP: $*"
    exit 77
}

fail() {
    echo "FAIL: $*" >&2
    if [[ -s $E2E_TMP/qubrix.log ]]; then
        echo "--- output of qubrix:" >&2
        cat "$E2E_TMP/qubrix.log" >&2
    fi
    exit 1
}

e2e_cleanup() {
    local status=$?
    if [[ -n $QUBRIX_PID ]]; then
        kill "$QUBRIX_PID" 2>/dev/null
        sleep 0.5
        kill -KILL "$QUBRIX_PID" 2>/dev/null
        wait "$QUBRIX_PID" 2>/dev/null
    fi
    [[ -n $XVFB_PID ]] && kill "$XVFB_PID" 2>/dev/null && wait "$XVFB_PID" 2>/dev/null
    local i
    for ((i = ${#E2E_MOUNTS[@]} - 1; i >= 0; i--)); do
        umount "${E2E_MOUNTS[i]}" 2>/dev/null || umount -l "${E2E_MOUNTS[i]}"
    done
    # Never across into a file system that failed to unmount.
    rm -rf --one-file-system "$E2E_TMP"
    exit "$status"
}
trap e2e_cleanup EXIT
trap 'exit 130' INT TERM

require_tools() {
    local tool
    for tool; do
        command -v "$tool" >/dev/null || fail "$tool is not installed: scripts/packages.sh lists it"
    done
}

require_binary() {
    [[ -n ${QUBRIX_BIN:-} && -x $QUBRIX_BIN ]] || fail "QUBRIX_BIN does not name the built qubrix"
}

# Starts Xvfb on a free display number that it picks itself and points DISPLAY at it; the
# screen is 1024x768 unless E2E_SCREEN gives another size.
start_xvfb() {
    require_tools Xvfb xdotool
    local number=$E2E_TMP/display i
    : >"$number"
    # -noreset: a server that resets when its last client leaves refuses the next one for a
    # moment, and a test that starts a program again right after stopping it would lose it.
    Xvfb -displayfd 3 -nolisten tcp -noreset -screen 0 "${E2E_SCREEN:-1024x768}x24" 3>"$number" \
        2>"$E2E_TMP/xvfb.log" &
    XVFB_PID=$!
    for ((i = 0; i < 100; i++)); do
        [[ $(wc -l <"$number") -ge 1 ]] && break
        kill -0 "$XVFB_PID" 2>/dev/null || fail "Xvfb did not start: $(cat "$E2E_TMP/xvfb.log")"
        sleep 0.1
    done
    [[ -s $number ]] || fail "Xvfb gave no display number within 10 s"
    export DISPLAY=":$(head -n 1 "$number")"
    export QT_QPA_PLATFORM=xcb
    export XDG_RUNTIME_DIR=$E2E_TMP/runtime
    mkdir -m 700 "$XDG_RUNTIME_DIR"
    unset WAYLAND_DISPLAY
}

# Starts Qubrix with the folder as its current directory, as a user starts it from a disc, and
# the arguments that follow the folder.
start_qubrix() {
    local folder=$1
    shift
    (cd "$folder" && exec "$QUBRIX_BIN" "$@") >"$E2E_TMP/qubrix.log" 2>&1 &
    QUBRIX_PID=$!
}

visible_windows() {
    local id
    for id in $(xdotool search --onlyvisible --name '.' 2>/dev/null); do
        printf '[%s] ' "$(xdotool getwindowname "$id")"
    done
}

# Whether the test's Xvfb still runs, and what it said, for a failure to show.
xvfb_state() {
    [[ -n ${XVFB_PID:-} ]] || return 0
    kill -0 "$XVFB_PID" 2>/dev/null && echo " (Xvfb runs)" && return
    printf ' (Xvfb has ended: %s)' "$(tail -n 5 "$E2E_TMP/xvfb.log" 2>/dev/null)"
}

# Prints the id of the visible window whose name matches the extended regular expression,
# waiting up to 20 s for it to appear.
find_window() {
    local pattern=$1 deadline=$((SECONDS + 20)) id
    while ((SECONDS < deadline)); do
        id=$(xdotool search --onlyvisible --name "$pattern" 2>/dev/null | head -n 1)
        if [[ -n $id ]]; then
            echo "$id"
            return
        fi
        kill -0 "$QUBRIX_PID" 2>/dev/null || fail "qubrix ended before showing a window$(xvfb_state)"
        sleep 0.2
    done
    fail "no window named /$pattern/ within 20 s; visible: $(visible_windows)"
}

window_height() {
    local HEIGHT=
    eval "$(xdotool getwindowgeometry --shell "$1")"
    echo "$HEIGHT"
}

# Gives the window the keyboard focus and types each key in turn, as a user would.
press() {
    local window=$1 key
    shift
    timeout 10 xdotool windowfocus --sync "$window" || fail "cannot focus window $window"
    for key; do
        xdotool key --clearmodifiers "$key"
        sleep 0.3
    done
}

# "&Browse..." in the window, then the path (relative to the folder the picker opens in) typed
# into the file picker and accepted.
browse_to() {
    local window=$1 path=$2 picker
    press "$window" alt+b
    picker=$(find_window '^Open$')
    press "$picker"
    xdotool type --delay 50 "$path"
    press "$picker" Return
    sleep 0.5
}

# Waits up to $1 seconds for Qubrix to end; its exit status goes to QUBRIX_STATUS.
wait_for_exit() {
    local deadline=$((SECONDS + $1))
    while kill -0 "$QUBRIX_PID" 2>/dev/null; do
        ((SECONDS < deadline)) || return 1
        sleep 0.1
    done
    wait "$QUBRIX_PID"
    QUBRIX_STATUS=$?
    QUBRIX_PID=
}

# "E&xit" of the "&Files" menu by its access keys; the process must end at once, with status 1
# and without asking anything.
exit_through_menu_without_question() {
    press "$1" alt+f x
    wait_for_exit 10 || fail "qubrix still runs 10 s after Alt+F, x; visible: $(visible_windows)"
    [[ $QUBRIX_STATUS == 1 ]] || fail "exit status $QUBRIX_STATUS after Alt+F, x; expected 1"
}

# One line per file below the folder: its checksum and its path.
checksums() {
    (cd "$1" && find . -type f -print0 | sort -z | xargs -0 -r sha256sum)
}

# Makes an ext4 image of the folder labelled $2 at $3; skips where that cannot be done.
make_image() {
    local folder=$1 label=$2 image=$3
    [[ $(id -u) == 0 ]] || skip "loop mounts need root"
    require_tools mkfs.ext4 mount umount
    [[ -e /dev/loop-control ]] || skip "no loop devices on this machine"
    mkfs.ext4 -q -L "$label" -d "$folder" "$image" 8M >"$E2E_TMP/mkfs.log" 2>&1 ||
        fail "mkfs.ext4 failed: $(cat "$E2E_TMP/mkfs.log")"
}

# Loop-mounts the image at the mount point with the given options (ro or rw).
mount_image() {
    local image=$1 mountpoint=$2 options=$3
    mkdir -p "$mountpoint"
    mount -o "loop,$options" "$image" "$mountpoint" 2>"$E2E_TMP/mount.log" ||
        skip "loop mount unavailable here: $(cat "$E2E_TMP/mount.log")"
    E2E_MOUNTS+=("$mountpoint")
}

unmount_image() {
    umount "$1" || fail "cannot unmount $1"
    local kept=() mountpoint
    for mountpoint in "${E2E_MOUNTS[@]}"; do
        [[ $mountpoint == "$1" ]] || kept+=("$mountpoint")
    done
    E2E_MOUNTS=("${kept[@]}")
}

# Clicks the left button at x, y inside the window.
click_at() {
    xdotool mousemove --window "$1" "$2" "$3" click 1
    sleep 0.3
}

# Types the text into the window that has the focus, as a user would.
type_into() {
    timeout 10 xdotool windowfocus --sync "$1" || fail "cannot focus window $1"
    xdotool type --delay 20 "$2"
    sleep 0.3
}

# Waits up to 20 s until the window is no longer shown.
wait_gone() {
    local deadline=$((SECONDS + 20))
    while xdotool search --onlyvisible --name '.' 2>/dev/null | grep -qx "$1"; do
        ((SECONDS < deadline)) || fail "window $1 stayed open"
        sleep 0.2
    done
}

# Files > Make Disc Image... in the window: the image's path typed into the picker, the label
# into its question, and Yes to the check's warnings (a box with OK alone would stay).
make_image_from_window() {
    local window=$1 iso=$2 label=$3 dialog answer
    press "$window" alt+f i
    for answer in "$iso" "$label"; do
        dialog=$(find_window '^Make Disc Image$')
        press "$dialog" ctrl+a
        type_into "$dialog" "$answer"
        press "$dialog" Return
        wait_gone "$dialog"
    done
    dialog=$(find_window '^Make Disc Image$')
    press "$dialog" alt+y
    wait_gone "$dialog"
}
