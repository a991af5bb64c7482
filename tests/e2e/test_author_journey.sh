# A new author's whole journey, as the README's "Making a disc" tells it, with the real binaries
# and the keyboard alone: a folder of the home folder with the disc's files in two folders
# becomes a catalogue of three listings in two categories, Files > Prepare Medium... adds the
# medium's start, Files > Make Disc Image... masters it with a label of blanks and mixed case,
# and the image, mounted read-only in the Debian 13 root, is the end user's disc: its
# ./autorun.sh shows the menu with the label as the system reads it, and every listing's Run or
# Copy reaches its file on the disc. Needs root and deb.debian.org (debian_root.sh).

source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
source "$(dirname "${BASH_SOURCE[0]}")/debian_root.sh"

started=$SECONDS
require_binary
require_tools blkid fuseiso
debian_root_prepare

export HOME=$E2E_TMP/home
# The toolkit's file pickers keep their memory in these; the home folder holds the disc alone.
export XDG_CONFIG_HOME=$E2E_TMP/config XDG_CACHE_HOME=$E2E_TMP/cache XDG_DATA_HOME=$E2E_TMP/data
disc=$HOME/mydisc
mkdir -p "$disc/TOOLS" "$disc/DOCS"
cat >"$disc/TOOLS/viewer.sh" <<'EOF'
#!/bin/sh
echo "viewer ran as $0"
EOF
chmod 755 "$disc/TOOLS/viewer.sh"
printf 'How to use this disc.\r\nOnly its author may read this file where it was made.\r\n' \
    >"$disc/DOCS/guide.txt"
chmod 600 "$disc/DOCS/guide.txt"
head -c 70000 /dev/urandom >"$disc/DOCS/licence.txt"
disc_files=$(checksums "$disc")

# Browse, the file, then the description typed in the description box, an optional note in the
# Notes dialog, and Enter there for OK.
add_listing() {
    local path=$1 description=$2 note=${3:-} notes
    browse_to "$window" "$path"
    # "&Add Files" puts the focus into the file name, where Enter moves on to the description.
    press "$window" alt+f a Return
    xdotool type --delay 50 "$description"
    if [[ -n $note ]]; then
        press "$window" alt+n
        notes=$(find_window '^Add Notes$')
        xdotool type --delay 50 "$note"
        press "$notes" Tab space
        wait_gone "$notes"
        press "$window" alt+f a Return
    fi
    press "$window" Return
    sleep 0.5
}

new_category() {
    local dialog
    press "$window" alt+f t n
    dialog=$(find_window '^Add Category$')
    type_into "$dialog" "$1"
    press "$dialog" Return
    wait_gone "$dialog"
}

start_xvfb
start_qubrix "$disc"
window=$(find_window '^Qubrix 3\.1')

# The documents in Main, then a category of their own for the tools.
add_listing DOCS/guide.txt "User guide" "Read this first."
add_listing DOCS/licence.txt "Licence"
new_category Tools
add_listing TOOLS/viewer.sh "Disc viewer"
cmp -s "$disc/qubrix.dat" <(printf '[Main]\r\nUser guide;DOCS\\guide.txt;0\r\nLicence;DOCS\\licence.txt;-1\r\n[Tools]\r\nDisc viewer;TOOLS\\viewer.sh;-1\r\n110\r\n') ||
    fail "qubrix.dat holds: $(od -c "$disc/qubrix.dat" 2>&1)"
cmp -s "$disc/descript.txt" <(printf 'Read this first.\r\n') ||
    fail "descript.txt holds: $(od -c "$disc/descript.txt" 2>&1)"

# The author thinks better of the category's name; a rename waits for a save.
press "$window" alt+f t r
dialog=$(find_window '^Rename Category$')
press "$dialog" ctrl+a
type_into "$dialog" "Programs"
press "$dialog" Return
wait_gone "$dialog"
catalogue=$(printf '[Main]\r\nUser guide;DOCS\\guide.txt;0\r\nLicence;DOCS\\licence.txt;-1\r\n[Programs]\r\nDisc viewer;TOOLS\\viewer.sh;-1\r\n110\r\n')

# Files > Prepare Medium...: Yes to the offer to save, Yes to the question before it writes,
# then its report.
press "$window" alt+f m
offer=$(find_window '^Prepare Medium$')
press "$offer" alt+y
wait_gone "$offer"
[[ $(cat "$disc/qubrix.dat") == "$catalogue" ]] ||
    fail "after Yes to the save qubrix.dat holds: $(od -c "$disc/qubrix.dat" 2>&1)"
question=$(find_window '^Prepare Medium$')
press "$question" alt+y
wait_gone "$question"
report=$(find_window '^Prepare Medium$')
press "$report" Return
wait_gone "$report"
program=$(sed -n "s/^program='\(.*\)'$/\1/p" "$disc/autorun.sh" 2>/dev/null)
[[ -x $disc/autorun.sh && $program == ./.qubrix/* && -x $disc/$program ]] ||
    fail "after Prepare Medium the folder holds: $(ls -A "$disc"), autorun.sh starts [$program]"
[[ $(checksums "$disc" | grep -v -e ' \./\.qubrix/' -e ' \./autorun\.sh$' -e ' \./autorun\.inf$' \
    -e ' \./qubrix\.dat$' -e ' \./descript\.txt$') == "$disc_files" ]] ||
    fail "Prepare Medium changed the disc's own files"

# Files > Make Disc Image...: the image's path typed into the picker, a label of 24 characters
# with blanks and mixed case, Yes to the check's warning (guide.txt could only be read by its
# owner), and the report after the image was written and read back.
mkdir "$HOME/images"
iso=$HOME/images/journey.iso
make_image_from_window "$window" "$iso" "My Journey Disc Of Tools"
deadline=$((SECONDS + 180))
until report=$(xdotool search --onlyvisible --name '^Make Disc Image$' 2>/dev/null | head -n 1) &&
    [[ -n $report ]]; do
    ((SECONDS < deadline)) || fail "no report within 180 s; visible: $(visible_windows)"
    kill -0 "$QUBRIX_PID" 2>/dev/null || fail "qubrix ended while it made the image"
    sleep 0.5
done
press "$report" Return
wait_gone "$report"
exit_through_menu_without_question "$window"
[[ -f $iso ]] || fail "no image at $iso; the images folder holds: $(ls -A "$HOME/images")"
label=$(blkid -s LABEL -o value "$iso")
# The ISO 9660 label takes the name in capitals, the Joliet label its first 16 characters as
# typed; blkid joins the two.
[[ $label == "My Journey Disc"* ]] || fail "the image's label is [$label]"
[[ $(cat "$disc/qubrix.dat") == "$catalogue" ]] || fail "making the image changed qubrix.dat"

# The end user's machine: the image file can be read in the root as /tmp/images/journey.iso,
# and fuseiso mounts it read-only at /media/mydisc naming it as its source, as the label is
# found through it.
debian_root_mount
mkdir "$DEBIAN_ROOT/tmp/images"
touch "$DEBIAN_ROOT/tmp/images/journey.iso"
mount_for_test --bind "$iso" "$DEBIAN_ROOT/tmp/images/journey.iso"
medium=$DEBIAN_ROOT/media/mydisc
mkdir -p "$medium"
fuseiso "$iso" "$medium" -o ro,allow_other,fsname=/tmp/images/journey.iso \
    2>"$E2E_TMP/fuseiso.log" || fail "fuseiso: $(cat "$E2E_TMP/fuseiso.log")"
E2E_MOUNTS+=("$medium")
for file in qubrix.dat descript.txt; do
    cmp -s "$medium/$file" "$disc/$file" || fail "the image's $file differs from the author's"
done
medium_files=$(checksums "$medium")

# Main: the guide (row 0) and the licence (row 1); Programs: the viewer.
copies=/tmp/home/copies
debian_root_menu /media/mydisc "$label" \
    "run|1|0|viewer ran as /media/mydisc/TOOLS/viewer.sh" \
    "copy|0|0|$copies|DOCS/guide.txt" \
    "copy|0|1|$copies|DOCS/licence.txt"
for file in guide.txt licence.txt; do
    cmp -s "$disc/DOCS/$file" "$DEBIAN_ROOT$copies/$file" || fail "$file was not copied whole"
done
[[ $(checksums "$medium") == "$medium_files" ]] || fail "files on the disc changed"

for ((i = ${#E2E_MOUNTS[@]} - 1; i >= 0; i--)); do
    unmount_image "${E2E_MOUNTS[i]}"
done
echo "PASS in $((SECONDS - started)) s"
