#!/usr/bin/env bash
# Outputs: a run never deletes a file it did not make, fails before loading when its output cannot
# be made, ends at once when ffmpeg dies while it loads, and reports a closed output.
# Usage: outputs.sh VELMORA DATA_DIR
set -u
velmora="$1"
data="$2"
. "$(dirname "$0")/../support/shell_helpers.sh"
export SDL_AUDIODRIVER=dummy

# pict/white.jpg, the first file read, is damaged: its line says the loading has begun.
damaged_copy "$data" "$work/data" pict/white.jpg maps/room.3ds
started='^pict/white.jpg: '
late='^maps/room.3ds: '

# 1. ffmpeg refusing its arguments while the loading frames go to it: the run ends at once with
# its message, and the earlier file at the target is still there.
mkdir -p "$work/bin" "$work/cap"
printf '#!/bin/sh\necho "Unknown encoder '"'"'libx264'"'"'" >&2\nexit 1\n' >"$work/bin/ffmpeg"
chmod +x "$work/bin/ffmpeg"
echo earlier >"$work/cap/keep.mp4"
PATH="$work/bin:$PATH" "$velmora" --data "$work/data" --capture "$work/cap/keep.mp4" --fps 5 2>"$work/cap.err"
status=$?
[ $status -eq 1 ] && grep -q "Unknown encoder" "$work/cap.err" && ! grep -qE "$late" "$work/cap.err" &&
    [ "$(cat "$work/cap/keep.mp4")" = earlier ] && [ "$(ls -A "$work/cap")" = keep.mp4 ] &&
    clean_of_sanitizers "$work/cap.err"
check "ffmpeg dying in the loading: status 1 at once with its message, keep.mp4 kept (got $status)" $?

# 2. A --frames target that is a file, and a capture name the folder cannot hold, are refused
# before anything is loaded.
echo notes >"$work/notes.txt"
"$velmora" --data "$work/data" --frames "$work/notes.txt" --at 200 2>"$work/file.err"; status=$?
[ $status -eq 1 ] && grep -q "is a file" "$work/file.err" && ! grep -qE "$started" "$work/file.err" &&
    [ "$(cat "$work/notes.txt")" = notes ]
check "--frames into a file: status 1 before loading, the file untouched (got $status)" $?
long=$(printf 'v%.0s' $(seq 300)).mp4
"$velmora" --data "$work/data" --capture "$work/cap/$long" --fps 5 2>"$work/long.err"; status=$?
[ $status -eq 1 ] && grep -q "too long" "$work/long.err" && ! grep -qE "$started" "$work/long.err"
check "a 300-character capture name: status 1 before loading (got $status)" $?

# 3. The current folder deleted: a relative output has nowhere to go, and nothing lands in the data.
mkdir "$work/gone"
(cd "$work/gone" && rmdir "$work/gone" && "$velmora" --data "$work/data" --frames fr --at 1 2>"$work/gone.err")
status=$?
[ $status -eq 1 ] && grep -q "current folder" "$work/gone.err" && [ ! -e "$work/data/fr" ]
check "deleted current folder: status 1 with the reason, nothing written in the data (got $status)" $?

# 4. The benchmark's table into a closed pipe: reported, status 1, and the JSON written whole.
echo earlier >"$work/bench.json"
"$velmora" --data "$data" --benchmark --end-at 1 --benchmark-out "$work/bench.json" 2>"$work/bench.err" | true
status=${PIPESTATUS[0]}
[ $status -eq 1 ] && grep -q "standard output" "$work/bench.err" &&
    python3 -c 'import json,sys; json.load(open(sys.argv[1]))' "$work/bench.json" && clean_of_sanitizers "$work/bench.err"
check "benchmark into a closed pipe: status 1, reported, the JSON whole (got $status)" $?

finish
