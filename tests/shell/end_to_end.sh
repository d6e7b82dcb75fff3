#!/usr/bin/env bash
# End-to-end checks of the program under the test display: the window's client size, Escape,
# closing the window, the launch dialog worked from the keyboard, the exit statuses, a window that
# cannot be made, the silent audio fallback, the command line's checks, and SIGINT and SIGTERM at
# the dialog, during loading and during play.
set -u
velmora="$1"
close_window="$2"
root=$(cd "$(dirname "$0")/../.." && pwd)
. "$(dirname "$0")/../support/shell_helpers.sh"
cd "$work"

# 1. A windowed start at 640x480 has exactly that client area; Escape ends it with status 0.
"$velmora" --no-dialog --windowed --resolution 640x480 --batch 2>"$work/run1.err" &
pid=$!
id=$(wait_window '^Velmora$' 120)
check "render window appears" $?
if [ -n "$id" ]; then
    size=$(client_size "$id")
    [ "$size" = "640x480" ]; check "client area is 640x480 (got $size)" $?
    sleep 3  # most likely loading is over and the first scene is playing
    xdotool windowfocus --sync "$id" 2>/dev/null; sleep 0.3
    xdotool key Escape
    # Escape is heard at the latest when loading ends; a run that went on playing would still be
    # in its 232 s when the limit below runs out, however busy the machine.
    wait_exit $pid 120; status=$?
    [ $status -eq 0 ]; check "Escape ends the run with status 0 (got $status)" $?
else
    kill $pid 2>/dev/null
fi

# 1b. Closing the window as a window manager does ends the run with status 0. The audio driver
# cannot be opened, so the run plays in silence through the fallback driver.
SDL_AUDIODRIVER=no-such-driver "$velmora" --no-dialog --windowed --resolution 640x480 --batch 2>"$work/close.err" &
pid=$!
id=$(wait_window '^Velmora$' 120)
if [ -n "$id" ]; then
    # The sound starts at the end of loading: close once it has spoken (or after a minute).
    for _ in $(seq 300); do
        grep -q "silen" "$work/close.err" && break
        sleep 0.2
    done
    sleep 0.5
    "$close_window" "$id"
    wait_exit $pid 120; status=$?
    [ $status -eq 0 ]; check "closing the window ends the run with status 0 (got $status)" $?
    grep -q "playing in silence" "$work/close.err" && ! grep -q "cannot start silent audio" "$work/close.err"
    status=$?
    check "an audio driver that cannot open falls back to silence: $(tr '\n' ' ' <"$work/close.err")" $status
else
    kill $pid 2>/dev/null; check "render window appears for closing" 1
fi

# 2. The dialog, worked from the keyboard: 1024x768, Windowed, Launch.
"$velmora" --batch 2>"$work/run2.err" &
pid=$!
dialog=$(wait_window '^Velmora - final version$' 120)
check "launch dialog appears" $?
if [ -n "$dialog" ]; then
    press "$dialog" alt+1 alt+w alt+l
    id=$(wait_window '^Velmora$' 120)
    check "Launch opens the render window" $?
    if [ -n "$id" ]; then
        size=$(client_size "$id")
        [ "$size" = "1024x768" ]; check "dialog choice 1024x768 windowed gives a 1024x768 client area (got $size)" $?
        sleep 1
        press "$id" Escape
    fi
    wait_exit $pid 120; status=$?
    [ $status -eq 0 ]; check "dialog run ends with status 0 (got $status)" $?
else
    kill $pid 2>/dev/null
fi

# 3. Exit ends with status 0 and no render window.
"$velmora" --batch 2>"$work/run3.err" &
pid=$!
dialog=$(wait_window '^Velmora - final version$' 120)
if [ -n "$dialog" ]; then
    press "$dialog" alt+x
    # Watched while the process lives: no render window may appear before it ends.
    opened=1
    for _ in $(seq 50); do
        xdotool search --onlyvisible --name '^Velmora$' >/dev/null 2>&1 && opened=0
        kill -0 $pid 2>/dev/null || break
        sleep 0.1
    done
    wait_exit $pid 120; status=$?
    [ $status -eq 0 ]; check "Exit ends with status 0 (got $status)" $?
    [ $opened -ne 0 ]; check "Exit opens no render window" $?
else
    kill $pid 2>/dev/null; check "launch dialog appears for Exit" 1
fi

# 4. A bad option: status 2, the option named, the usage shown.
"$velmora" --frobnicate 2>"$work/bad.err"; status=$?
[ $status -eq 2 ] && grep -q -- "--frobnicate" "$work/bad.err" && grep -q "usage" "$work/bad.err"
check "bad option exits with status 2 and names it" $?
"$velmora" --resolution 123x45 2>"$work/bad2.err"; status=$?
[ $status -eq 2 ]; check "bad resolution exits with status 2" $?

# 5. No display: a clear word and a non-zero status, never a silent success; the hint names what
# works without one.
env -u DISPLAY -u WAYLAND_DISPLAY "$velmora" 2>"$work/nodisplay.err"; status=$?
[ $status -ne 0 ] && grep -q -- "--capture" "$work/nodisplay.err" && grep -q -- "--frames" "$work/nodisplay.err" \
    && ! grep -q -- "--no-dialog" "$work/nodisplay.err"
check "no display for the dialog: non-zero status, the hint names --capture and --frames (got $status)" $?
env -u DISPLAY -u WAYLAND_DISPLAY "$velmora" --no-dialog --windowed 2>"$work/nodisplay2.err"; status=$?
[ $status -ne 0 ] && [ -s "$work/nodisplay2.err" ]
check "no display for the window: non-zero status with a reason (got $status)" $?

# 6. The command line's small print: --data must hold the data; --version is the project's version.
mkdir -p "$work/nodata/other"
"$velmora" --no-dialog --windowed --data "$work/nodata" 2>"$work/nodata.err"; status=$?
[ $status -eq 1 ] && grep -q "$work/nodata" "$work/nodata.err" && grep -q "pict/" "$work/nodata.err"
check "--data without pict/ or maps/ exits with status 1 naming the folder (got $status)" $?
# In a git checkout it also names the commit, and says when the tree differs from it.
project=$(sed -n 's/^project(velmora VERSION \([0-9.]*\).*/\1/p' "$root/CMakeLists.txt")
expected="velmora $project"
if [ "$(git -C "$root" rev-parse --show-toplevel 2>/dev/null)" = "$root" ]; then
    expected="$expected (commit $(git -C "$root" rev-parse --short=12 HEAD)"
    [ -z "$(git -C "$root" status --porcelain)" ] && expected="$expected)" || expected="$expected, with uncommitted changes)"
fi
version=$("$velmora" --version)
[ -n "$project" ] && [ "$version" = "$expected" ]
check "--version prints \"$expected\" (got \"$version\")" $?

# 7. Signals: Ctrl+C or kill at any moment ends the run through its teardown with 130 or 143,
# leaving no window and nothing leaked.
no_window_left() { ! xdotool search --name '^Velmora' >/dev/null 2>&1; }
"$velmora" --batch 2>"$work/int-dialog.err" &
pid=$!
if wait_window '^Velmora - final version$' 120 >/dev/null; then
    kill -INT $pid
    wait_exit $pid 120; status=$?
    [ $status -eq 130 ] && no_window_left && clean_of_sanitizers "$work/int-dialog.err"
    check "SIGINT with the dialog open: status 130, no window (got $status)" $?
else
    kill $pid 2>/dev/null; check "launch dialog appears for SIGINT" 1
fi
# A background job of a script starts with SIGINT ignored until the program sets its handler, so
# the signal goes when the window shows the loading screen, not after a guessed delay.
"$velmora" --no-dialog --windowed --batch 2>"$work/int-load.err" &
pid=$!
wait_window '^Velmora$' 120 >/dev/null
kill -INT $pid
wait_exit $pid 120; status=$?
[ $status -eq 130 ] && no_window_left && clean_of_sanitizers "$work/int-load.err"
check "SIGINT while loading: status 130 after loading, no window (got $status)" $?
"$velmora" --no-dialog --windowed --batch 2>"$work/term-play.err" &
pid=$!
if wait_window '^Velmora$' 120 >/dev/null; then
    sleep 3  # loading is over and the first scene is playing
    kill -TERM $pid
    wait_exit $pid 120; status=$?
    [ $status -eq 143 ] && no_window_left && clean_of_sanitizers "$work/term-play.err"
    check "SIGTERM during play: status 143, no window (got $status)" $?
else
    kill $pid 2>/dev/null; check "render window appears for SIGTERM" 1
fi

# 8. A window that cannot be made (no GL library to make it with): status 1 and the reason.
SDL_OPENGL_LIBRARY=/nonexistent/libGL.so.1 "$velmora" --no-dialog --windowed --resolution 640x480 --batch \
    2>"$work/nowindow.err"; status=$?
reason=$(head -c 200 "$work/nowindow.err")
[ $status -eq 1 ] && grep -q "nonexistent" "$work/nowindow.err"
check "a window that cannot be created: status 1 with the reason (got $status: $reason)" $?

finish
