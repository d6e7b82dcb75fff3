# Shared helpers of the end-to-end test scripts (sourced, not run). Each script counts its checks
# in pass and fail, works in $work (removed on exit, with any program still running) and ends with
# a summary line from finish.
# shellcheck shell=bash

# Leak checks. At the exit of a run that drew under an X display, LeakSanitizer's own tracer has
# crashed ("Tracer caught signal 11 ... LeakSanitizer has encountered a fatal error") and turned a
# good run into status 1, more often on a loaded machine. Runs under the test display therefore
# check windows, pictures, statuses and the other sanitizers' reports, not leaks; `headless` runs
# the program with no display (SDL's offscreen driver) and leak checks on, as the unit tests do.
leak_checks_on="${ASAN_OPTIONS:-}:detect_leaks=1"
export ASAN_OPTIONS="${ASAN_OPTIONS:-}:detect_leaks=0"
headless() {  # headless COMMAND...: runs it with no display and with leak checks
    env -u DISPLAY -u WAYLAND_DISPLAY ASAN_OPTIONS="$leak_checks_on" "$@"
}

pass=0
fail=0
work=$(mktemp -d)
trap 'rm -rf "$work"; kill $(jobs -p) 2>/dev/null' EXIT

check() {  # check NAME CONDITION-STATUS
    if [ "$2" -eq 0 ]; then pass=$((pass + 1)); echo "ok: $1"; else fail=$((fail + 1)); echo "FAILED: $1"; fi
}

finish() {  # the closing line; status 1 when any check failed
    echo "$pass passed, $fail failed"
    [ "$fail" -eq 0 ]
}

clean_of_sanitizers() {  # clean_of_sanitizers STDERR-FILE: status 0 when no sanitizer spoke
    if grep -qE "ERROR: (Address|Leak)Sanitizer|runtime error:|SUMMARY: [A-Za-z]*Sanitizer" "$1"; then
        grep -E -m 5 -A 8 "ERROR: (Address|Leak)Sanitizer|runtime error:" "$1"
        return 1
    fi
    return 0
}

client_size() {  # prints WxH of a window's client area
    xwininfo -id "$1" | awk '/Width:/ {w=$2} /Height:/ {h=$2} END {print w "x" h}'
}

wait_window() {  # wait_window NAME-REGEX SECONDS -> prints the first visible window's id
    local deadline=$((SECONDS + $2)) id=""
    while [ $SECONDS -lt $deadline ]; do
        id=$(xdotool search --onlyvisible --name "$1" 2>/dev/null | head -n 1)
        [ -n "$id" ] && { echo "$id"; return 0; }
        sleep 0.2
    done
    return 1
}

wait_exit() {  # wait_exit PID SECONDS -> status of the process, 124 if it had to be killed
    local deadline=$(($(date +%s%N) + $2 * 1000000000))
    while kill -0 "$1" 2>/dev/null; do
        [ "$(date +%s%N)" -gt "$deadline" ] && { kill -KILL "$1"; wait "$1"; return 124; }
        sleep 0.05
    done
    wait "$1"
}

press() {  # press WINDOW KEY...
    xdotool windowfocus --sync "$1" 2>/dev/null || xdotool windowfocus "$1"
    sleep 0.3
    shift
    for key in "$@"; do xdotool key "$key"; sleep 0.3; done
}

wait_line() {  # wait_line FILE REGEX SECONDS: status 0 once a line of FILE matches
    local deadline=$((SECONDS + $3))
    while [ $SECONDS -lt $deadline ]; do
        grep -qE -- "$2" "$1" 2>/dev/null && return 0
        sleep 0.05
    done
    return 1
}

wait_file() {  # wait_file FOLDER NAME-PATTERN SECONDS: status 0 once a non-empty file so named is there
    local deadline=$((SECONDS + $3))
    while [ $SECONDS -lt $deadline ]; do
        [ -n "$(find "$1" -maxdepth 1 -name "$2" -size +0 2>/dev/null | head -n 1)" ] && return 0
        sleep 0.05
    done
    return 1
}

damaged_copy() {  # damaged_copy DATA DIR FILE...: DIR holds the data (hard links), FILE... random bytes
    local data="$1" dir="$2"
    shift 2
    cp -al "$data" "$dir" 2>/dev/null || { rm -rf "$dir"; cp -a "$data" "$dir"; }
    for file in "$@"; do
        rm -f "$dir/$file"
        head -c 3000 /dev/urandom >"$dir/$file"
    done
}
