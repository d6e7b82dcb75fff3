#!/usr/bin/env bash
# A recording made in three pieces and joined holds the very frames of a single capture of the
# same range, with the same sound (no gap or click at the joins); a piece that fails fails the
# whole and leaves no file.
# Usage: capture_parts.sh VELMORA DATA-DIR
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source "$here/../support/shell_helpers.sh"
export VELMORA=$1
data=$2
# Every run draws headless (SDL's offscreen driver), with leak checks on.
unset DISPLAY WAYLAND_DISPLAY
export ASAN_OPTIONS="$leak_checks_on"
parts="$here/../../scripts/capture-parts"

# Small frames over a short range: pieces of [39.7, 41), [41, 42) and [42, 42.6).
options=(--data "$data" --size 320x240 --fps 10 --start-at 39.7 --end-at 42.6)
"$VELMORA" --capture "$work/single.mkv" "${options[@]}" 2>"$work/single.err"
check "a single capture is written" $?
"$parts" 3 "$work/joined.mkv" "${options[@]}" 2>"$work/parts.err"
status=$?
check "three pieces are recorded and joined" $status
[ $status -eq 0 ] || cat "$work/parts.err"

framemd5() {  # framemd5 FILE STREAM: one line per decoded frame (time and hash), headers left out
    ffmpeg -v error -i "$1" -map "0:$2" -f framemd5 - | grep -v '^#'
}
framemd5 "$work/single.mkv" v >"$work/single.v"
framemd5 "$work/joined.mkv" v >"$work/joined.v"
[ "$(wc -l <"$work/single.v")" -eq 29 ]
check "the single capture holds the 29 frames of [39.7, 42.6)" $?
cmp -s "$work/single.v" "$work/joined.v"
check "the joined pictures are the single capture's, frame for frame" $?
framemd5 "$work/single.mkv" a >"$work/single.a"
framemd5 "$work/joined.mkv" a >"$work/joined.a"
[ -s "$work/single.a" ] && cmp -s "$work/single.a" "$work/joined.a"
check "the joined sound is the single capture's, sample for sample" $?

"$parts" 3 "$work/broken.mp4" "${options[@]}" --resolution 1x1 2>"$work/broken.err"
[ $? -ne 0 ] && [ ! -e "$work/broken.mp4" ] && grep -q "resolution" "$work/broken.err"
check "a piece that fails fails the whole, says why and leaves no file" $?
finish
