# Memory runs out while Qubrix loads a catalogue (63 MB of short listings, in a process allowed
# little more address space than the window itself takes): the user is told in a box, and the
# run ends with status 1 once it is closed, with both files as they were.

source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"

require_binary
start_xvfb
folder=$E2E_TMP/big
mkdir "$folder"
{
    printf '[Main]\r\n'
    yes $'A;A.TXT;-1\r' | head -n 5400000
    printf '110\r\n'
} >"$folder/qubrix.dat"
: >"$folder/descript.txt"
before=$(checksums "$folder")

(cd "$folder" && ulimit -v 600000 && exec "$QUBRIX_BIN") >"$E2E_TMP/qubrix.log" 2>&1 &
QUBRIX_PID=$!
box=$(find_window '^Out of memory$')
press "$box" Return
wait_for_exit 10 || fail "qubrix still runs after the box was closed"
[[ $QUBRIX_STATUS == 1 ]] || fail "exit status $QUBRIX_STATUS; expected 1"
grep -q 'Not enough memory to go on' "$E2E_TMP/qubrix.log" || fail "nothing said on stderr"
[[ $(checksums "$folder") == "$before" ]] || fail "the files changed"
echo "PASS"
