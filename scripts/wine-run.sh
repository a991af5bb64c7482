#!/bin/bash
# Runs a Windows program of the build under Wine, in a Wine prefix of its own in a temporary
# folder: the tests never touch the user's ~/.wine, and the prefix's wineserver is ended and
# the prefix removed when the program ends. Usage: wine-run.sh PROGRAM.exe [ARGS...]
set -u
if ! command -v wine >/dev/null; then
    echo "wine-run.sh: wine is not installed" >&2
    exit 127
fi
prefix=$(mktemp -d "${TMPDIR:-/tmp}/qubrix-wine-XXXXXX")
export WINEPREFIX=$prefix WINEDEBUG=-all WINEARCH=win64
# No Mono or Gecko installer dialog when the prefix is made; no display is needed.
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
cleanup() {
    wineserver -k 2>/dev/null
    wineserver -w 2>/dev/null
    rm -rf "$prefix"
}
trap cleanup EXIT
trap 'exit 130' INT TERM
# Making the prefix tells of a 32-bit part that wine64 alone lacks; the program's own output
# stays apart from that.
wine wineboot --init >/dev/null 2>&1
wine "$@"
