# The user's part of test_package_cycle.sh, run inside its Debian 12 root as an unprivileged user
# under xvfb-run: the installed qubrix, started in the folder DISC, shows its window, and so does
# the copy that qubrix-medium prepare put on that disc, started through the disc's autorun.sh.

source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"

for QUBRIX_BIN in /usr/bin/qubrix ./autorun.sh; do
    start_qubrix "$DISC"
    window=$(find_window '^Qubrix 3\.1')
    echo "$QUBRIX_BIN in $DISC shows the window [$(xdotool getwindowname "$window")]"
    exit_through_menu_without_question "$window"
done
echo "PASS"
