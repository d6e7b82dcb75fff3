#!/usr/bin/env bash
# Runs the presentation on copies of the generated data with files taken away: every run must
# complete with status 0, saying exactly what it could not open and nothing more; then checks
# frames of the Opening scene on the full data.
set -u
velmora="$1"
data="$2"
. "$(dirname "$0")/../support/shell_helpers.sh"

if [ ! -f "$data/maps/wood.3ds" ]; then
    echo "no generated data in $data"; exit 1
fi

# A copy of the data made of hard links where it can be, so that taking a file away costs nothing
# (symbolic links would lead out of the data folder, which the program refuses).
copy_without() {  # copy_without NAME PATH-TO-LEAVE-OUT...
    local dir="$work/$1"; shift
    mkdir -p "$dir"
    (cd "$data" && find . -type f) | while read -r f; do
        local skip=0
        for leave in "$@"; do
            case "${f#./}" in "$leave"|"$leave"/*) skip=1 ;; esac
        done
        [ $skip -eq 1 ] && continue
        mkdir -p "$dir/$(dirname "$f")"
        ln "$data/$f" "$dir/$f" 2>/dev/null || cp "$data/$f" "$dir/$f"
    done
    echo "$dir"
}

run() {  # run DATA-DIR NAME: a short fixed-step run that ends after its frame at 1 s
    headless "$velmora" --data "$1" --windowed --resolution 640x480 --fps 10 --frames "$work/frames-$2" --at 1 \
        >"$work/$2.out" 2>"$work/$2.err"
}

dir=$(copy_without nofond pict/fond.jpg)
run "$dir" nofond; status=$?
[ $status -eq 0 ]; check "without pict/fond.jpg the run completes (status $status)" $?
[ "$(grep -c -- '-=(Status)=-' "$work/nofond.err")" -eq 1 ] && grep -q -- '-=(Status)=-: pict/fond.jpg' "$work/nofond.err"
check "without pict/fond.jpg exactly one status line naming it" $?

dir=$(copy_without notext text)
run "$dir" notext; status=$?
[ $status -eq 0 ]; check "without text/ the run completes (status $status)" $?
[ "$(grep -c -- '-=(Status)=-: text/' "$work/notext.err")" -eq 4 ]
check "without text/ four status lines" $?

dir=$(copy_without nomusic music)
run "$dir" nomusic; status=$?
[ $status -eq 0 ]; check "without the music the run completes (status $status)" $?
! grep -q -- '-=(Status)=-' "$work/nomusic.err"; check "without the music no status line" $?

dir=$(copy_without nowood maps/wood.3ds)
run "$dir" nowood; status=$?
[ $status -eq 0 ]; check "without maps/wood.3ds the run completes (status $status)" $?

# The Opening scene at its edge times, on the full data.
frames="$work/opening"
headless "$velmora" --data "$data" --windowed --resolution 640x480 --fps 20 --frames "$frames" --at 0,20,43.5,44 \
    >"$work/opening.out" 2>"$work/opening.err"; status=$?
[ $status -eq 0 ]; check "Opening frames written (status $status)" $?
mean() { convert "$1" -colorspace Gray -format '%[fx:mean*255]' info: 2>/dev/null | cut -d. -f1; }
if [ -f "$frames/0000.000.png" ]; then
    load_mean=$(convert "$data/pict/load.jpg" -resize 640x480\! -colorspace Gray -format '%[fx:mean*255]' info: | cut -d. -f1)
    m0=$(mean "$frames/0000.000.png")
    [ $((m0 - load_mean)) -le 8 ] && [ $((load_mean - m0)) -le 8 ]
    check "T=0 shows the loading picture unmoved (mean $m0, picture $load_mean)" $?
    # Its top rows are the picture's top rows: it has not started to slide yet.
    convert "$frames/0000.000.png" -crop 640x40+0+0 +repage "$work/top-frame.png"
    convert "$data/pict/load.jpg" -resize 640x480\! -crop 640x40+0+0 +repage "$work/top-picture.png"
    diff_top=$(compare -metric RMSE "$work/top-frame.png" "$work/top-picture.png" null: 2>&1 | sed 's/.*(\(.*\))/\1/')
    awk -v d="$diff_top" 'BEGIN { exit !(d < 0.08) }'; check "T=0 top rows match the picture (RMSE $diff_top)" $?
fi
[ -f "$frames/0020.000.png" ] && [ "$(mean "$frames/0020.000.png")" -gt 3 ]
check "T=20 shows the wood, not black" $?
if [ -f "$frames/0043.500.png" ] && [ -f "$frames/0044.000.png" ]; then
    m435=$(mean "$frames/0043.500.png"); m44=$(mean "$frames/0044.000.png")
    [ "$m435" -gt 120 ] && [ "$m435" -lt "$m44" ]; check "T=43.5 title and half flash (mean $m435)" $?
    [ "$m44" -ge 250 ]; check "T=44 full white (mean $m44)" $?
else
    check "Opening frames 43.5 and 44 exist" 1
fi

finish
