#!/usr/bin/env bash
# The player keys in a windowed run on the fixed-step clock, under the test display:
#  - Space holds the picture (two grabs a second apart are the same) and the music (its position
#    when paused and when resumed is the same);
#  - Tab while paused lays the time overlay over the held frame and takes it off again;
#  - Right (forward, caught up), Left (back, played again from 0 s unseen) and Page Down (the next
#    scene) each land on the very frame that --frames shows for the time the player says it
#    landed on, paused still (a clock that moved while paused, or a replay that did not put back
#    the state a run starts from, shows as another frame);
#  - F12 writes that frame, named by its time, into the folder the program was started in.
# Usage: player.sh VELMORA DATA-DIR
set -u
velmora="$1"
data="$2"
. "$(dirname "$0")/../support/shell_helpers.sh"
cd "$work"
export SDL_AUDIODRIVER=dummy

grab() {  # grab WINDOW NAME: the window's picture as NAME.png
    import -window "$1" "$work/$2.png"
}
differing() {  # differing A B -> how many pixels differ
    compare -metric AE "$1" "$2" null: 2>&1
}
nth_line() {  # nth_line N REGEX: waits for the Nth line of the run's stderr that matches, prints it
    local deadline=$((SECONDS + 120)) line
    while [ $SECONDS -lt $deadline ]; do
        line=$(grep -E -- "$2" "$work/run.err" | sed -n "${1}p")
        [ -n "$line" ] && { echo "$line"; return 0; }
        sleep 0.05
    done
    return 1
}
field() {  # field LINE-REGEX: the time and the music position of the last such line, "T M"
    sed -n "s/^velmora: $1 \([0-9.]*\) s (music at \([0-9.]*\) s)/\1 \2/p" "$work/run.err" | tail -n 1
}

"$velmora" --no-dialog --windowed --batch --fps 5 --start-at 40 --data "$data" 2>"$work/run.err" &
pid=$!
id=$(wait_window '^Velmora$' 120)
check "the window appears" $?
[ -n "$id" ] || { kill $pid; finish; exit; }

# Pause, two grabs a second apart, resume: nothing moved.
press "$id" space
nth_line 1 "^velmora: paused at" >/dev/null
check "Space pauses (the line on stderr)" $?
grab "$id" held1
sleep 1
grab "$id" held2
n=$(differing "$work/held1.png" "$work/held2.png")
[ "$n" = 0 ]; check "paused: two grabs a second apart are the same (got $n pixels apart)" $?
# The time overlay on and off again, drawn over the held frame (the clock must not move for it).
press "$id" Tab
grab "$id" overlay
press "$id" Tab
grab "$id" held3
n=$(differing "$work/held1.png" "$work/overlay.png")
[ "$n" != 0 ]; check "paused: Tab shows the time overlay ($n pixels changed)" $?
n=$(differing "$work/held1.png" "$work/held3.png")
[ "$n" = 0 ]; check "paused: Tab again gives back the held frame (got $n pixels apart)" $?
press "$id" space
nth_line 1 "^velmora: resumed at" >/dev/null
check "Space again resumes" $?
paused=$(field "paused at")
resumed=$(field "resumed at")
[ -n "$paused" ] && [ "$paused" = "$resumed" ]
check "paused: the time and the music position did not move (paused at $paused, resumed at $resumed)" $?

# Paused again, then the seeks; each lands paused on one frame, grabbed.
press "$id" space
nth_line 2 "^velmora: paused at" >/dev/null
times=()
n=0
for key in Right Left Next; do
    n=$((n + 1))
    press "$id" "$key"
    at=$(nth_line $n "^velmora: playing from" | sed 's/^velmora: playing from \([0-9.]*\) s.*/\1/')
    [ -n "$at" ]; check "$key lands (at ${at:-nothing})" $?
    times+=("$at")
    grab "$id" "seek$n"
done
press "$id" F12
wait_line "$work/run.err" "^velmora: the frame at .* is in " 60
check "F12 says where it wrote the frame" $?
press "$id" Escape
wait_exit $pid 120; status=$?
[ $status -eq 0 ]; check "Escape ends the run with status 0 (got $status)" $?

# The same moments from --frames (the seek back lands earliest).
at_list=$(printf '%s\n' "${times[@]}" | sort -n | paste -sd, -)
"$velmora" --frames "$work/ref" --fps 5 --start-at "${times[1]}" --at "$at_list" --data "$data" 2>"$work/ref.err"
check "reference frames at $at_list" $?
n=0
for at in "${times[@]}"; do
    n=$((n + 1))
    ref="$work/ref/$(printf '%04d.%s' "${at%.*}" "${at#*.}").png"
    d=$(differing "$work/seek$n.png" "$ref")
    [ "$d" = 0 ]; check "seek $n: the window holds the frame --frames shows at $at s (got $d pixels apart)" $?
done
last="${times[2]}"
picture="$work/velmora-$(printf '%04d.%s' "${last%.*}" "${last#*.}").png"
d=$(differing "$picture" "$work/seek3.png")
[ "$d" = 0 ]; check "F12: $(basename "$picture") in the starting folder is the frame on screen (got $d pixels apart)" $?
clean_of_sanitizers "$work/run.err"
check "no sanitizer report" $?
finish
