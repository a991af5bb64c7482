#include "medium/autorun.h"

#include "medium/bundle.h"

namespace qubrix {
namespace {

// The part of the script that does not depend on the machine. The mount point may hold blanks
// or any other character: it is only ever used quoted, and reached through "$0".
constexpr std::string_view kScriptBody = R"SCRIPT(
# A desktop runs this with the medium's top as the current directory; so does a start by hand.
unset CDPATH
case $0 in
*/*) cd -- "${0%/*}" || exit 1 ;;
esac

tell() {
    printf 'Qubrix: %s\n' "$1" >&2
    # zenity and kdialog wrap the text themselves; xmessage and gxmessage show each line whole.
    if command -v zenity >/dev/null 2>&1; then
        zenity --error --title=Qubrix --width=520 --no-markup --text="$1" >/dev/null 2>&1
        # 1: closed without OK, which is seen all the same.
        case $? in 0 | 1) return ;; esac
    fi
    if command -v kdialog >/dev/null 2>&1 &&
        kdialog --title Qubrix --error "$1" >/dev/null 2>&1; then
        return
    fi
    lines=$(printf '%s\n' "$1" | fold -s -w 72)
    for dialog in xmessage gxmessage; do
        if command -v "$dialog" >/dev/null 2>&1 &&
            "$dialog" -center -title Qubrix -buttons OK:0 -default OK "$lines" >/dev/null 2>&1; then
            return
        fi
    done
    if command -v notify-send >/dev/null 2>&1; then
        notify-send -- Qubrix "$1" >/dev/null 2>&1
    fi
}

# True when version $1 is at least $2, both MAJOR.MINOR.
at_least() {
    case $1 in
    *.*) ;;
    *) return 1 ;;
    esac
    have_major=${1%%.*}
    have_minor=${1#*.}
    have_minor=${have_minor%%[!0-9]*}
    case $have_major in '' | *[!0-9]*) return 1 ;; esac
    case $have_minor in '') return 1 ;; esac
    [ "$have_major" -gt "${2%%.*}" ] ||
        { [ "$have_major" -eq "${2%%.*}" ] && [ "$have_minor" -ge "${2#*.}" ]; }
}

found_machine=$(uname -m)
if [ "$found_machine" != "$machine" ]; then
    tell "The Qubrix on this medium runs on $machine processors; this computer has $found_machine. Nothing was started."
    exit 1
fi
if [ ! -e "$loader" ]; then
    tell "The Qubrix on this medium needs the GNU C library ($loader), which this computer lacks. Nothing was started."
    exit 1
fi
found_libc=$(getconf GNU_LIBC_VERSION 2>/dev/null)
found_libc=${found_libc##* }
if [ -n "$found_libc" ] && ! at_least "$found_libc" "$libc"; then
    tell "The Qubrix on this medium needs the GNU C library $libc or newer; this computer has $found_libc. Nothing was started."
    exit 1
fi
if [ ! -x "$program" ]; then
    tell "Cannot start $program: the medium does not allow programs to be run from it. Nothing was started."
    exit 1
fi
# The platform plugin is loaded only once the program runs, and Qt aborts without a word
# in a window when a library of it is missing (libX11-xcb.so.1, say).
missing=$({
    LD_TRACE_LOADED_OBJECTS=1 "$program" 2>&1
    if [ -f "$platform" ]; then LD_TRACE_LOADED_OBJECTS=1 "$loader" "$platform" 2>&1; fi
} | sed -n 's/^[[:space:]]*\([^[:space:]]*\) => not found.*/\1/p' | sort -u | tr '\n' ' ')
if [ -n "$missing" ]; then
    tell "The Qubrix on this medium needs libraries that every Linux desktop has, and this computer lacks: ${missing% }. Nothing was started."
    exit 1
fi

# What the loader or Qt says on stderr when the program cannot start goes into the dialog
# as well; the program's stderr is shown as it comes all the same.
errors=$(mktemp "${TMPDIR:-/tmp}/qubrix-start.XXXXXX" 2>/dev/null) || exec "$program"
exec 3>&1
status=$({ { "$program" 4>&-; echo $? >&4; } 2>&1 >&3 3>&- | tee "$errors" >&2 3>&- 4>&-; } 4>&1)
exec 3>&-
said=$(tail -n 4 "$errors")
rm -f "$errors"
case $status in
# The loader could not load it, or it crashed or aborted (Qt without a display, say); a stop
# by the user or the session (SIGINT, SIGTERM, SIGKILL, SIGHUP) is not told.
126 | 127 | 132 | 133 | 134 | 135 | 136 | 139)
    tell "Qubrix could not start or stopped unexpectedly (exit status $status): ${said:-it said nothing}"
    ;;
esac
exit "$status"
)SCRIPT";

} // namespace

std::string shellQuoted(std::string_view text) {
    std::string quoted = "'";
    for (char c : text) {
        if (c == '\'')
            quoted += "'\\''";
        else
            quoted += c;
    }
    return quoted + "'";
}

std::string autorunScript(const BundleNeeds& needs) {
    std::string script = "#!/bin/sh\n"
                         "# Starts Qubrix from this medium. Written by qubrix-medium prepare.\n";
    script += "program=" +
              shellQuoted("./" + std::string(kBundleFolder) + "/" + std::string(kProgramTarget)) +
              "\n";
    script += "machine=" + shellQuoted(needs.machine) + "\n";
    script += "libc=" + shellQuoted(needs.libcVersion) + "\n";
    script += "loader=" + shellQuoted(needs.loader) + "\n";
    script += "platform=" +
              shellQuoted("./" + std::string(kBundleFolder) + "/" + std::string(kPlatformPlugin)) +
              "\n";
    return script + std::string(kScriptBody);
}

} // namespace qubrix
