#!/bin/bash
# The Windows menu under Wine, on the demo disc given a drive letter and a label: the caption
# holds the label, the lists hold the catalogue, and with the keyboard alone a note is shown,
# a batch file of the disc runs in the disc's top, a file is copied into a picked folder byte
# for byte and the About box shows the version of the program's own resource. The catalogue
# files stay as they were. Screenshots of this window and of the Linux one on the same disc go
# to $QUBRIX_SCREENSHOT_DIR when it is set.
source "$(dirname "$0")/lib.sh"

require_tools wine wineboot wineserver cmp
exe=${QUBRIX_WINDOWS_EXE:-${QUBRIX_SOURCE_DIR:-}/build-windows/src/windows/qubrix.exe}
probe_exe=$(dirname "$exe")/menuprobe.exe
[[ -f $exe && -f $probe_exe ]] || skip "the Windows build (preset windows) is not there: $exe"

export WINEPREFIX=$E2E_TMP/wine WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
# The prefix's own Wine ends with the test; the test's status is kept for the cleanup.
end_wine() {
    local status=$?
    wineserver -k 2>/dev/null
    return "$status"
}
trap 'end_wine; e2e_cleanup' EXIT

label=DEMODISC
disc=$E2E_TMP/disc
cp -r "$QUBRIX_SOURCE_DIR/examples/demo-disc" "$disc"
# A listing of the author's that starts a batch file: it writes the folder it runs in.
printf '@echo off\r\ncd > C:\\where.txt\r\n' >"$disc/TOOLS/WHERE.BAT"
catalogue=$(head -n -1 "$disc/qubrix.dat"; printf '[Windows]\r\nWhere am I;TOOLS\\WHERE.BAT;-1\r\n'
    tail -n 1 "$disc/qubrix.dat")
printf '%s\n' "$catalogue" >"$disc/qubrix.dat"
# The disc prepared as an author prepares it: the program folder with qubrix.exe, and
# autorun.inf.
require_binary
"$(dirname "$QUBRIX_BIN")/qubrix-medium" prepare "$disc" >"$E2E_TMP/prepare.log" 2>&1 ||
    fail "prepare failed: $(cat "$E2E_TMP/prepare.log")"
[[ -f $disc/autorun.inf ]] || fail "prepare wrote no autorun.inf: $(cat "$E2E_TMP/prepare.log")"
cmp "$exe" "$disc/.qubrix/qubrix.exe" || fail "the disc carries another qubrix.exe than $exe"
open_line=$(tr -d '\r' <"$disc/autorun.inf" | sed -n 's/^open=//p')
[[ -n $open_line ]] || fail "autorun.inf names no program: $(cat "$disc/autorun.inf")"
# The disc is pressed: nothing on it may be written.
chmod a-w "$disc/qubrix.dat" "$disc/descript.txt"

start_xvfb
wineboot -i >"$E2E_TMP/wineboot.log" 2>&1 || fail "wineboot failed: $(cat "$E2E_TMP/wineboot.log")"
# Drive D: is the disc; Wine reads its label from .windows-label at the drive's top when it
# learns of the drive, so the prefix's server starts again after the link is there.
wineserver -k 2>/dev/null
ln -s "$disc" "$WINEPREFIX/dosdevices/d:"
printf '%s\n' "$label" >"$disc/.windows-label"
before=$(checksums "$disc" | grep -v windows-label)
mkdir -p "$WINEPREFIX/drive_c/copied"

# Prints what the window of that class (and caption) shows; fails when there is none.
probe() {
    wine "$probe_exe" "$@" 2>/dev/null | tr -d '\r'
    return "${PIPESTATUS[0]}"
}

# The field of the probe's lines for the control with this id (5: enabled, 6: text).
control_field() {
    awk -F'\t' -v id="$2" -v field="$3" '$1 == "control" && $2 == id { print $field }' <<<"$1"
}

rows_of() {
    awk -F'\t' -v id="$2" '$1 == "row" && $2 == id { print $5 }' <<<"$1"
}

# Waits up to 20 s for a probe of the window class and caption to succeed.
probe_until() {
    local deadline=$((SECONDS + 20)) out
    while ((SECONDS < deadline)); do
        out=$(probe "$@") && {
            echo "$out"
            return
        }
        sleep 0.5
    done
    fail "no window of class $1 ${2:-} within 20 s; visible: $(visible_windows)"
}

(cd "$disc" && exec wine "D:\\$open_line") >"$E2E_TMP/qubrix.log" 2>&1 &
QUBRIX_PID=$!
window=$(find_window "^Qubrix 3\\.1  \\[$label\\]\$") || exit 1

# The lists hold the catalogue: every category, and the listings of the first one.
state=$(probe_until QubrixMenu) || exit 1
[[ $(rows_of "$state" 111 | paste -sd '|') == "Main|Tools|Documents|Windows" ]] ||
    fail "categories: $(rows_of "$state" 111 | paste -sd '|')"
[[ $(rows_of "$state" 112 | paste -sd '|') == "  Read me first – what is on this disc|  Install the demo program" ]] ||
    fail "listings of Main: $(rows_of "$state" 112 | paste -sd '|')"
[[ $(control_field "$state" 107 6) == 'D:\' ]] || fail "lblCWD: $(control_field "$state" 107 6)"
[[ $(control_field "$state" 109 4) == hidden ]] || fail "Run... shown with nothing selected"
screenshot=$E2E_TMP/windows-menu.png

# Down in the category list shows Tools; Tab and Home select its listing; Enter shows its note.
press "$window" Down
state=$(probe QubrixMenu)
[[ $(rows_of "$state" 112) == "  Say hello" ]] || fail "listings of Tools: $(rows_of "$state" 112)"
press "$window" Tab Home Return
state=$(probe QubrixMenu)
[[ $(control_field "$state" 113 4) == shown ]] || fail "no note after Enter"
expected_note=$(sed -n 3p "$disc/descript.txt" | tr -d '\r')
[[ $(control_field "$state" 113 6) == "$expected_note" ]] ||
    fail "note: $(control_field "$state" 113 6)"
[[ $(control_field "$state" 108 6) == 'TOOLS\hello.sh' ]] ||
    fail "quick editor: $(control_field "$state" 108 6)"
[[ $(control_field "$state" 109 4) == shown ]] || fail "Run... hidden with one listing selected"
! command -v import >/dev/null || import -window root "$screenshot"
press "$window" Escape
state=$(probe QubrixMenu)
[[ $(control_field "$state" 113 4) == hidden ]] || fail "the note stayed after Escape"

# Run: the batch file of the category Windows, confirmed with Yes, runs in the disc's top.
press "$window" shift+Tab End Tab Home alt+f u
box=$(probe_until '#32770' 'Confirm installation') || exit 1
grep -qP '\tD:\\TOOLS\\WHERE\.BAT$' <<<"$box" || fail "confirmation: $box"
confirm=$(find_window '^Confirm installation$') || exit 1
press "$confirm" y
deadline=$((SECONDS + 30))
until [[ -s $WINEPREFIX/drive_c/where.txt ]]; do
    ((SECONDS < deadline)) || fail "the batch file did not run; visible: $(visible_windows)"
    sleep 0.5
done
sleep 1
[[ $(tr -d '\r\n' <"$WINEPREFIX/drive_c/where.txt") == 'D:\' ]] ||
    fail "the batch file ran in $(cat "$WINEPREFIX/drive_c/where.txt")"
deadline=$((SECONDS + 20))
until probe QubrixMenu | grep -qP '^window\t.*\tnormal\t'; do
    ((SECONDS < deadline)) || fail "the menu did not come back after the program ended"
    sleep 0.5
done

# Copy: README.TXT of the category Main into C:\copied, typed into the folder picker.
press "$window" shift+Tab Home Tab Home alt+f c f
probe_until '#32770' Qubrix >/dev/null || exit 1
picker=$(find_window '^Qubrix$') || exit 1
type_into "$picker" 'C:\copied'
press "$picker" Return
deadline=$((SECONDS + 20))
until [[ -f $WINEPREFIX/drive_c/copied/README.TXT ]]; do
    ((SECONDS < deadline)) || fail "nothing copied; visible: $(visible_windows)"
    sleep 0.5
done
sleep 1
cmp "$disc/README.TXT" "$WINEPREFIX/drive_c/copied/README.TXT" || fail "the copy differs"
[[ $(ls "$WINEPREFIX/drive_c/copied") == README.TXT ]] ||
    fail "more than the file was copied: $(ls "$WINEPREFIX/drive_c/copied")"

# Copying it again asks before replacing it; No keeps the copy there.
printf 'kept\r\n' >"$WINEPREFIX/drive_c/copied/README.TXT"
press "$window" alt+f c f
probe_until '#32770' Qubrix >/dev/null || exit 1
picker=$(find_window '^Qubrix$') || exit 1
type_into "$picker" 'C:\copied'
press "$picker" Return
question=$(find_window '^Confirm file overwrite$') || exit 1
press "$question" n
wait_gone "$question"
[[ $(cat "$WINEPREFIX/drive_c/copied/README.TXT") == $'kept\r' ]] || fail "the file was replaced"

# About: the version of the program's own version resource.
press "$window" alt+h a
about=$(probe_until QubrixAbout) || exit 1
grep -qP '^control\t301\tStatic\tshown\tenabled\t3\.1\.2\.9$' <<<"$about" ||
    fail "About box: $about"
about_window=$(find_window '^Qubrix$') || exit 1
press "$about_window" Return
deadline=$((SECONDS + 10))
while probe QubrixAbout >/dev/null; do
    ((SECONDS < deadline)) || fail "the About box stayed open"
    sleep 0.5
done

exit_through_menu_without_question "$window"
[[ $(checksums "$disc" | grep -v windows-label) == "$before" ]] || fail "the disc was written"

# The Linux window on the same disc, for a look side by side.
if [[ -n ${QUBRIX_SCREENSHOT_DIR:-} && -f $screenshot ]]; then
    mkdir -p "$QUBRIX_SCREENSHOT_DIR"
    cp "$screenshot" "$QUBRIX_SCREENSHOT_DIR/windows-menu.png"
    if [[ -n ${QUBRIX_BIN:-} && -x $QUBRIX_BIN ]]; then
        start_qubrix "$disc"
        linux_window=$(find_window "^Qubrix 3\\.1  \\[") || exit 1
        press "$linux_window" Down Tab Home Return
        import -window root "$QUBRIX_SCREENSHOT_DIR/linux-menu.png"
    fi
    echo "screenshots: $(ls "$QUBRIX_SCREENSHOT_DIR"/*-menu.png | paste -sd ' ')"
fi
echo PASS
