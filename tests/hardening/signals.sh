#!/usr/bin/env bash
# Interrupts at every moment: a message box on screen, the loading, a frame export, a capture before
# and after its first frame, a benchmark while loading. Each signal is sent when the program shows
# where it is (a window, a line on stderr, a file written), and each run must end through its
# teardown with 128 + the signal's number, keeping what it wrote and nothing half-made.
# Usage: signals.sh VELMORA DATA_DIR
set -u
velmora="$1"
data="$2"
. "$(dirname "$0")/../support/shell_helpers.sh"
export SDL_AUDIODRIVER=dummy

# pict/white.jpg, the first file read, is damaged: its line says the loading has begun. room.3ds,
# read near the end, is damaged too: its line says the loading went on after the signal.
damaged_copy "$data" "$work/data" pict/white.jpg maps/room.3ds
started='^pict/white.jpg: '
late='^maps/room.3ds: '

# 1. A message box on screen (pict/fond.jpg missing, a run with a person): a signal closes it and
# ends the run at once; a SIGKILL of the program takes the box with it. LeakSanitizer's tracer can
# crash at the exit of runs under a display, so these runs leave leak checking to the others.
cp -al "$work/data" "$work/boxdata" && rm "$work/boxdata/pict/fond.jpg"
for signal in TERM KILL; do
    ASAN_OPTIONS="${ASAN_OPTIONS:-}:detect_leaks=0" "$velmora" --data "$work/boxdata" --no-dialog --windowed \
        --resolution 640x480 2>"$work/box-$signal.err" &
    pid=$!
    if wait_window '^-=\(Status\)=-$' 120 >/dev/null; then
        kill -$signal $pid
        wait_exit $pid 30; status=$?
        gone=1
        for _ in $(seq 100); do
            xdotool search --name '^-=\(Status\)=-$' >/dev/null 2>&1 || { gone=0; break; }
            sleep 0.05
        done
        if [ $signal = TERM ]; then
            [ $status -eq 143 ] && [ $gone -eq 0 ] && ! grep -qE "$late" "$work/box-TERM.err" &&
                clean_of_sanitizers "$work/box-TERM.err"
            check "SIGTERM with a message box up: box closed, status 143, loading not gone on (got $status)" $?
        else
            [ $gone -eq 0 ]; check "SIGKILL with a message box up: the box goes with the program" $?
        fi
    else
        kill -KILL $pid 2>/dev/null; check "a message box appears for SIG$signal" 1
    fi
done

# 2. SIGINT in the loading: heard at once, the rest of the loading passed over.
"$velmora" --data "$work/data" --frames "$work/load-frames" --at 100 --fps 5 2>"$work/load.err" &
pid=$!
wait_line "$work/load.err" "$started" 120
kill -INT $pid
wait_exit $pid 60; status=$?
[ $status -eq 130 ] && ! grep -qE "$late" "$work/load.err" && clean_of_sanitizers "$work/load.err"
check "SIGINT while loading: status 130, no later file read (got $status)" $?

# 3. --frames keeps the pictures it wrote when interrupted.
"$velmora" --data "$work/data" --frames "$work/frames" --every 1 --fps 5 2>"$work/frames.err" &
pid=$!
wait_file "$work/frames" '*.png' 300
kill -TERM $pid
wait_exit $pid 60; status=$?
kept=$(find "$work/frames" -name '*.png' | wc -l)
[ $status -eq 143 ] && [ "$kept" -ge 1 ] && clean_of_sanitizers "$work/frames.err"
check "SIGTERM during --frames: status 143, the $kept pictures written kept (got $status)" $?

# 4. A capture interrupted before its first frame makes nothing and keeps what was at its target.
mkdir "$work/cap1" && echo earlier >"$work/cap1/keep.mp4"
"$velmora" --data "$work/data" --capture "$work/cap1/keep.mp4" --start-at 100 --fps 5 2>"$work/cap1.err" &
pid=$!
wait_line "$work/cap1.err" "$started" 120
kill -INT $pid
wait_exit $pid 60; status=$?
[ $status -eq 130 ] && [ "$(cat "$work/cap1/keep.mp4")" = earlier ] && [ "$(ls -A "$work/cap1")" = keep.mp4 ] &&
    clean_of_sanitizers "$work/cap1.err"
check "SIGINT before a capture's first frame: status 130, the earlier file kept, nothing else (got $status)" $?

# 5. SIGHUP (the terminal closed) once a capture has frames: a playable file and nothing else left.
mkdir "$work/cap2"
"$velmora" --data "$work/data" --capture "$work/cap2/out.mkv" --size 320x240 --fps 5 2>"$work/cap2.err" &
pid=$!
wait_file "$work/cap2" '*.part' 300
kill -HUP $pid
wait_exit $pid 120; status=$?
frames=$(ffprobe -v error -count_frames -select_streams v:0 -show_entries stream=nb_read_frames -of csv=p=0 \
    "$work/cap2/out.mkv" 2>/dev/null)
[ $status -eq 129 ] && [ "${frames:-0}" -ge 1 ] && [ "$(ls -A "$work/cap2")" = out.mkv ] &&
    clean_of_sanitizers "$work/cap2.err"
check "SIGHUP during a capture: status 129, a playable file of ${frames:-0} frames and no leftovers (got $status)" $?

# 6. A benchmark interrupted while loading writes no JSON and leaves an earlier one alone.
echo earlier >"$work/bench.json"
"$velmora" --data "$work/data" --benchmark --benchmark-out "$work/bench.json" >"$work/bench.out" \
    2>"$work/bench.err" &
pid=$!
wait_line "$work/bench.err" "$started" 120
kill -INT $pid
wait_exit $pid 60; status=$?
[ $status -eq 130 ] && [ "$(cat "$work/bench.json")" = earlier ] && [ "$(ls -A "$work" | grep -c '^\.bench')" -eq 0 ] &&
    clean_of_sanitizers "$work/bench.err"
check "SIGINT while a benchmark loads: status 130, the earlier JSON kept (got $status)" $?

finish
