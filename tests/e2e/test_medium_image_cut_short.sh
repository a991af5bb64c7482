# qubrix-medium image where things go wrong around it: an output that is a pipe is refused and
# stays a pipe; what a prepare that was cut short left in the folder is warned of; and Ctrl+C
# while an image is written without reading it back keeps no image and no part of one. No
# window: the tool runs on its own.

source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"

require_binary
require_tools truncate
medium_tool=$(dirname "$QUBRIX_BIN")/qubrix-medium
[[ -x $medium_tool ]] || fail "qubrix-medium is not built beside $QUBRIX_BIN"

stage=$E2E_TMP/stage
out=$E2E_TMP/out
mkdir -p "$stage/.qubrix/bin" "$stage/.qubrix-new/lib" "$out"
printf '[Main]\r\n110\r\n' >"$stage/qubrix.dat"
printf '#!/bin/sh\n' >"$stage/autorun.sh"
# Big enough that the image takes a while to write; a sparse file takes no room here.
truncate -s 1500M "$stage/big.bin"

mkfifo "$out/pipe"
"$medium_tool" image "$stage" "$out/pipe" --no-verify >"$E2E_TMP/pipe.out" 2>"$E2E_TMP/pipe.err" &&
    fail "an image onto a pipe was reported as made: $(cat "$E2E_TMP/pipe.out")"
grep -q "is a pipe, not a file" "$E2E_TMP/pipe.err" ||
    fail "the pipe was not refused as one: $(cat "$E2E_TMP/pipe.err")"
[[ -p $out/pipe ]] || fail "the pipe was replaced"
rm "$out/pipe"

"$medium_tool" image "$stage" "$out/disc.iso" --no-verify >"$E2E_TMP/cli.out" 2>"$E2E_TMP/cli.err" &
tool=$!
deadline=$((SECONDS + 60))
until compgen -G "$out/disc.iso.part-*" >/dev/null && [[ -s $(compgen -G "$out/disc.iso.part-*") ]]; do
    kill -0 "$tool" 2>/dev/null || fail "the image ended before it could be interrupted: $(cat "$E2E_TMP/cli.err")"
    ((SECONDS < deadline)) || fail "no image was being written within 60 s"
    sleep 0.01
done
kill -INT "$tool"
wait "$tool"
status=$?
[[ $status == 130 ]] || fail "exit status $status after Ctrl+C: $(cat "$E2E_TMP/cli.out" "$E2E_TMP/cli.err")"
grep -q "warning: .qubrix-new: was left by a prepare" "$E2E_TMP/cli.err" ||
    fail "the left-over .qubrix-new was not warned of: $(cat "$E2E_TMP/cli.err")"
[[ -z $(ls -A "$out") ]] || fail "left after Ctrl+C: $(ls -A "$out")"
exit 0
