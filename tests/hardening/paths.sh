#!/usr/bin/env bash
# Paths: every data file, the music included, is opened only when it is a regular file inside the
# data folder once links are resolved; a FIFO never holds the loading and a link out is not read.
# Usage: paths.sh VELMORA DATA_DIR
set -u
velmora="$1"
data="$2"
. "$(dirname "$0")/../support/shell_helpers.sh"
export SDL_AUDIODRIVER=dummy

damaged_copy "$data" "$work/data"
# A material picture that is a link to a file outside, and a music file that is a FIFO.
rm "$work/data/maps/tex/stone.jpg" "$work/data/music/velmora.mp3"
ln -s /etc/passwd "$work/data/maps/tex/stone.jpg"
mkfifo "$work/data/music/velmora.mp3"
# A link that stays inside the folder is fine.
rm "$work/data/pict/fond.jpg"
ln -s ../pict/dorn.jpg "$work/data/pict/fond.jpg"

# The timeout only ends a run that hangs on the FIFO; it is far above the run's own time.
timeout 600 "$velmora" --data "$work/data" --frames "$work/frames" --at 1 --fps 5 2>"$work/run.err"
status=$?
[ $status -eq 0 ]; check "a run with a FIFO for music and a link out ends normally (got $status)" $?
grep -q '^maps/tex/stone.jpg: not opened (outside the data folder)$' "$work/run.err"
check "the material linked to /etc/passwd is refused, not read" $?
grep -q 'cannot play music/velmora.mp3 (not a regular file)' "$work/run.err"
check "the FIFO music is refused with one line" $?
! grep -q 'fond.jpg' "$work/run.err"; check "a link inside the data folder is read" $?
[ "$(grep -c 'stone.jpg' "$work/run.err")" -eq 1 ] && [ "$(grep -c 'velmora.mp3' "$work/run.err")" -eq 1 ]
check "one line for each file refused" $?
clean_of_sanitizers "$work/run.err"; check "no sanitizer report" $?

finish
