#!/usr/bin/env bash
# The whole presentation end to end under the test display, on the generated data:
#  1. a plain unattended run (--no-dialog --windowed --fps 10 --batch) plays to its end, tears down
#     and exits with status 0 and no sanitizer report;
#  2. frames taken inside each of the eight scenes, headless and leak-checked, are all drawn, none
#     black, no two alike, so every scene really played;
#  3. Escape at a random moment of a run ends it with status 0 and no sanitizer report.
# Usage: whole_presentation.sh VELMORA DATA-DIR
set -u
velmora="$1"
data="$2"
here=$(cd "$(dirname "$0")" && pwd)
export ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=1}"
export LSAN_OPTIONS="${LSAN_OPTIONS:-suppressions=$here/../lsan.supp:print_suppressions=0}"
export SDL_AUDIODRIVER="${SDL_AUDIODRIVER:-dummy}"
. "$here/../support/shell_helpers.sh"
cd "$work"

if [ ! -d "$data/pict" ] || [ ! -d "$data/maps" ] || [ -z "$(ls "$data/maps" 2>/dev/null)" ]; then
    echo "FAILED: no generated data in $data (build the target velmora_data first)"
    exit 1
fi

# 1. The plain run, start to end.
started=$SECONDS
"$velmora" --no-dialog --windowed --fps 10 --batch --data "$data" >"$work/full.out" 2>"$work/full.err" &
pid=$!
wait_exit $pid 1500; status=$?
wall=$((SECONDS - started))
echo "the whole presentation took ${wall} s of wall time"
[ $status -eq 0 ]; check "the whole presentation ends with status 0 (got $status)" $?
clean_of_sanitizers "$work/full.err"; check "no sanitizer report in the whole run" $?
! grep -q "Status" "$work/full.err"; check "every picture of the data loads" $?

# 2. One frame inside each scene, away from its flashes and fades: each was drawn and shows
# something of its own. Scenes start at 0, 44, 69, 103.5, 122, 138, 155 and 172 s.
times="20,56.5,86,112,130,146.5,163.5,200"
headless "$velmora" --no-dialog --windowed --fps 10 --batch --data "$data" --frames "$work/frames" --at "$times" \
    >"$work/frames.out" 2>"$work/frames.err" &
pid=$!
wait_exit $pid 1500; status=$?
[ $status -eq 0 ]; check "the frames run ends with status 0 (got $status)" $?
clean_of_sanitizers "$work/frames.err"; check "no sanitizer report in the frames run" $?
shots=()
for t in ${times//,/ }; do
    shots+=("$work/frames/$(printf '%08.3f' "$t").png")
done
for shot in "${shots[@]}"; do
    name=$(basename "$shot")
    if [ -f "$shot" ]; then
        mean=$(convert "$shot" -colorspace gray -format "%[fx:mean]" info:)
        awk -v m="$mean" 'BEGIN { exit !(m > 0.02) }'; check "frame $name is drawn (mean brightness $mean)" $?
    else
        check "frame $name was written" 1
    fi
done
for ((i = 0; i + 1 < ${#shots[@]}; ++i)); do
    a="${shots[$i]}" b="${shots[$((i + 1))]}"
    [ -f "$a" ] && [ -f "$b" ] || continue
    differing=$(compare -metric AE -fuzz 5% "$a" "$b" null: 2>&1 | cut -d' ' -f1)
    # More than 5 % of an 800 x 600 frame differs from the previous scene's.
    awk -v d="$differing" 'BEGIN { exit !(d > 24000) }'
    check "$(basename "$b") differs from $(basename "$a") ($differing pixels)" $?
done

# 3. Escape at a random moment of the run (loading included), then teardown.
delay=$((RANDOM % (wall > 4 ? wall - 2 : 2) + 1))
echo "Escape after ${delay} s"
"$velmora" --no-dialog --windowed --fps 10 --batch --data "$data" >"$work/escape.out" 2>"$work/escape.err" &
pid=$!
id=$(wait_window '^Velmora$' 120)
check "render window appears" $?
if [ -n "$id" ]; then
    sleep "$delay"
    xdotool windowfocus --sync "$id" 2>/dev/null || xdotool windowfocus "$id" 2>/dev/null
    sleep 0.3
    xdotool key Escape
fi
wait_exit $pid 300; status=$?
[ $status -eq 0 ]; check "Escape after ${delay} s ends the run with status 0 (got $status)" $?
clean_of_sanitizers "$work/escape.err"; check "no sanitizer report after Escape" $?

finish
