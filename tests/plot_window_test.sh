#!/bin/sh
# Draws a plot of the example data in a real X11 window: starts its own
# virtual display, runs the program on the examples, takes a screenshot of
# the window, checks that both panels hold a drawing, dismisses the window
# and expects the run to end normally.
#   plot_window_test.sh <program> <examples folder> <work folder> <answers file>
# The screenshot stays in the work folder as window.png.
set -eu

program=$1
examples=$2
work=$3
answers=$4

fail() {
    echo "plot_window_test: $*" >&2
    exit 1
}

rm -rf "$work"
mkdir -p "$work"
cp -R "$examples"/. "$work"/

# Xvfb picks a free display number itself and tells it through -displayfd.
: >"$work/display"
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log" &
xvfb=$!
program_pid=""
# Under set -e a failing command in the trap would end it before Xvfb is
# killed, and ctest would wait for the display to its time limit: every
# command here is allowed to fail.
cleanup() {
    if [ -n "$program_pid" ]; then kill "$program_pid" 2>/dev/null || true; fi
    kill "$xvfb" 2>/dev/null || true
    return 0
}
trap cleanup EXIT

tries=0
until [ -s "$work/display" ]; do
    tries=$((tries + 1))
    [ $tries -le 100 ] || fail "Xvfb did not start: $(cat "$work/xvfb.log")"
    sleep 0.1
done
DISPLAY=:$(cat "$work/display")
export DISPLAY
unset RUVELA_DEVICE

cd "$work"
"$program" <"$answers" >"$work/console.txt" 2>"$work/stderr.txt" &
program_pid=$!

# The window of the plot, once it is shown.
window=""
tries=0
while [ -z "$window" ]; do
    tries=$((tries + 1))
    [ $tries -le 300 ] || fail "no plot window appeared; console: $(tail -5 "$work/console.txt")"
    kill -0 "$program_pid" 2>/dev/null || fail "the program ended before drawing: $(tail -5 "$work/console.txt")"
    window=$(xdotool search --onlyvisible --name . 2>/dev/null | head -n 1 || true)
    sleep 0.1
done
sleep 2

eval "$(xdotool getwindowgeometry --shell "$window")"
xwd -root -silent | convert xwd:- -crop "${WIDTH}x${HEIGHT}+${X}+${Y}" +repage "$work/window.png"

# A blank panel has one colour; a drawn one has at least the background, the
# curves and the frame. The top panel also has the increment scale in red.
half=$((HEIGHT / 2))
top=$(convert "$work/window.png" -crop "${WIDTH}x${half}+0+0" +repage -format "%k" info:)
bottom=$(convert "$work/window.png" -crop "${WIDTH}x${half}+0+${half}" +repage -format "%k" info:)
[ "$top" -ge 3 ] || fail "the top panel looks blank ($top colours), see $work/window.png"
[ "$bottom" -ge 2 ] || fail "the bottom panel looks blank ($bottom colours), see $work/window.png"
red=$(convert "$work/window.png" -crop "${WIDTH}x${half}+0+0" +repage -fill black -fuzz 30% +opaque red \
      -fill white -opaque red -format "%[fx:mean*w*h]" info:)
[ "${red%.*}" -gt 50 ] || fail "the top panel has no red increment curve, see $work/window.png"

# The screen device waits for a key or a click at the end of the page.
tries=0
while xdotool search --onlyvisible --name . >/dev/null 2>&1; do
    tries=$((tries + 1))
    [ $tries -le 50 ] || fail "the plot window could not be dismissed"
    xdotool mousemove --sync $((X + WIDTH / 2)) $((Y + HEIGHT / 2)) click 1 2>/dev/null || true
    xdotool key --window "$window" Return 2>/dev/null || true
    sleep 0.2
done

tries=0
while kill -0 "$program_pid" 2>/dev/null; do
    tries=$((tries + 1))
    [ $tries -le 300 ] || fail "the run did not end after the window was closed: $(tail -5 "$work/console.txt")"
    sleep 0.1
done
wait "$program_pid" || fail "the program ended with status $?"
program_pid=""
grep -q "^ Normal Termination of Program" "$work/console.txt" || fail "no normal termination: $(tail -5 "$work/console.txt")"
echo "plot_window_test: both panels drawn (top $top, bottom $bottom colours); screenshot $work/window.png"
