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
    if command -v zenity >/dev/null 2>&1 &&
        zenity --error --title=Qubrix --text="$1" >/dev/null 2>&1; then
        return
    fi
    if command -v kdialog >/dev/null 2>&1 &&
        kdialog --title Qubrix --error "$1" >/dev/null 2>&1; then
        return
    fi
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
missing=$(LD_TRACE_LOADED_OBJECTS=1 "$program" 2>&1 |
    sed -n 's/^[[:space:]]*\([^[:space:]]*\) => not found.*/\1/p' | sort -u | tr '\n' ' ')
if [ -n "$missing" ]; then
    tell "The Qubrix on this medium needs libraries that every Linux desktop has, and this computer lacks: ${missing% }. Nothing was started."
    exit 1
fi
exec "$program"
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
    return script + std::string(kScriptBody);
}

} // namespace qubrix
