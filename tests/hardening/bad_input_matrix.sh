#!/usr/bin/env bash
# The bad-input matrix: the whole presentation plays with one data file at a time missing, empty,
# cut at half, or replaced by random bytes of the same length. Every case must play to the end
# (all its frames written), exit 0, name the damaged file on stderr and give no sanitizer report.
# Usage: bad_input_matrix.sh VELMORA DATA_DIR [FILE[=KIND]...]
#   FILE: data files relative to DATA_DIR (pict/fond.jpg); all the desktop program opens when none
#   is given.
#   KIND: only that damage for that file (pict/fond.jpg=random).
# MATRIX_KINDS="missing half" limits the kinds of damage; MATRIX_LOG=FILE appends one line a case.
set -u
velmora="$1"
data=$(cd "$2" && pwd)
shift 2
if [ $# -gt 0 ]; then
    files=("$@")
else
    # text/font.bin is the browser build's font; the desktop program builds its own and never opens it.
    mapfile -t files < <(cd "$data" && find . -type f | sed 's|^\./||' | grep -v '^text/font\.bin$' | sort)
fi
kinds=(${MATRIX_KINDS:-missing empty half random})
log="${MATRIX_LOG:-/dev/null}"
. "$(dirname "$0")/../support/shell_helpers.sh"
# --every 20 from 0 to 232 s: 0, 20, ..., 220.
expected_frames=12

for item in "${files[@]}"; do
    file="${item%%=*}"
    file_kinds=("${kinds[@]}")
    [ "$item" != "$file" ] && file_kinds=("${item#*=}")
    [ -f "$data/$file" ] || { check "$file is in $data" 1; continue; }
    size=$(stat -c %s "$data/$file")
    for kind in "${file_kinds[@]}"; do
        case_dir="$work/data"
        rm -rf "$case_dir" "$work/frames"
        # The other files are hard links to the real data where they can be (symbolic links would
        # lead out of the data folder, which the program refuses), else copies; only the damaged
        # one is a file of its own.
        cp -al "$data" "$case_dir" 2>/dev/null || { rm -rf "$case_dir"; cp -a "$data" "$case_dir"; }
        rm "$case_dir/$file"
        case "$kind" in
            missing) ;;
            empty) : >"$case_dir/$file" ;;
            half) head -c $((size / 2)) "$data/$file" >"$case_dir/$file" ;;
            random) head -c "$size" /dev/urandom >"$case_dir/$file" ;;
        esac
        started=$(date +%s)
        headless "$velmora" --data "$case_dir" --frames "$work/frames" --every 20 --fps 5 --batch \
            >"$work/out" 2>"$work/err"
        status=$?
        took=$(($(date +%s) - started))
        frames=$(find "$work/frames" -name '*.png' 2>/dev/null | wc -l)
        why=""
        [ $status -eq 0 ] || why="$why status $status;"
        [ "$frames" -eq $expected_frames ] || why="$why $frames of $expected_frames frames;"
        grep -q -F "$file" "$work/err" || why="$why $file not named on stderr;"
        clean_of_sanitizers "$work/err" || why="$why sanitizer report;"
        line="$file $kind${why:+:$why} (${took}s)"
        [ -z "$why" ]; check "$line" $?
        if [ -z "$why" ]; then echo "ok: $line" >>"$log"; else echo "FAILED: $line" >>"$log"; sed -n '1,20p' "$work/err"; fi
    done
done
echo "$pass passed, $fail failed" >>"$log"
finish
