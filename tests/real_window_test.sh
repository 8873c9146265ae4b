#!/usr/bin/env bash
# Starts the real program under Xvfb with a small window manager and uses it as a person
# would: reads the title, the client size and the place, types "sd" and looks at the combos
# pane's colours and weights, right-clicks a list at start and reads the error box, clicks the Italian
# flag and sees the reference change.
set -euo pipefail
program=$1
work=$(mktemp -d)
pids=()
cleanup() {
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
    rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "FAIL: $*"; exit 1; }

# Xvfb picks a free display itself and writes its number to the descriptor it is given.
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$work/display" >/dev/null 2>&1 & pids+=($!)
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
[ -s "$work/display" ] || fail "Xvfb did not start"
export DISPLAY=:$(head -1 "$work/display")
openbox --sm-disable >/dev/null 2>&1 & pids+=($!)
sleep 1
"$program" >"$work/program.log" 2>&1 & pids+=($!)

window=
for _ in $(seq 100); do
    window=$(xdotool search --onlyvisible --name '^Quorvane - by Varnhollow$' 2>/dev/null | head -1 || true)
    [ -n "$window" ] && break
    sleep 0.1
done
[ -n "$window" ] || fail "no window titled 'Quorvane - by Varnhollow'"
sleep 0.5

# Client size and place: centred on the 1280 x 1024 screen, the frame counted in.
read -r x y w h < <(xwininfo -id "$window" | awk '/Absolute upper-left X/{x=$NF} /Absolute upper-left Y/{y=$NF}
    /Width:/{w=$NF} /Height:/{h=$NF} END{print x, y, w, h}')
[ "$w" = 521 ] && [ "$h" = 549 ] || fail "client area ${w}x${h}, expected 521x549"
centre_x=$((x + w / 2)); centre_y=$((y + h / 2))
[ $((centre_x - 640)) -ge -4 ] && [ $((centre_x - 640)) -le 4 ] || fail "client centre x $centre_x, screen centre 640"
[ $((centre_y - 512)) -ge -4 ] && [ $((centre_y - 512)) -le 40 ] || fail "client centre y $centre_y, screen centre 512"
echo "window $w x $h at $x,$y"

shot() { import -window root "$work/$1.png"; }
# Counts pixels of a colour family in a client rectangle: blue = strong blue, little red/green.
count_blue() {
    convert "$work/$1.png" -crop "$4x$5+$((x + $2))+$((y + $3))" +repage -fx 'b>0.7 && r<0.3 && g<0.3 ? 1 : 0' \
        -format '%[fx:round(mean*w*h)]' info:
}

# How bold a client rectangle's text is: the share of its dark pixels that have a dark right
# neighbour, about 0.5 for bold strokes two pixels wide and about 0.3 for regular ones.
boldness() {
    convert "$work/$1.png" -crop "$4x$5+$((x + $2))+$((y + $3))" +repage -colorspace gray -threshold 30% -negate \
        \( +clone -morphology Erode Rectangle:2x1 \) -format '%[fx:mean*w*h] ' info: |
        awk '{ printf "%.2f", ($1 > 0 ? $2 / $1 : 0) }'
}

xdotool windowactivate --sync "$window" >/dev/null 2>&1 || true

# A right-button press on the gesture list right after start: nothing is selected.
xdotool mousemove $((x + 300)) $((y + 60)) click 3
box=
for _ in $(seq 50); do
    box=$(xdotool search --onlyvisible --name '^Quorvane$' 2>/dev/null | head -1 || true)
    [ -n "$box" ] && break
    sleep 0.1
done
[ -n "$box" ] || fail "no error box captioned 'Quorvane' after a right-click on the list"
xdotool windowactivate --sync "$box" >/dev/null 2>&1 || true
sleep 0.3
xdotool key Return
sleep 0.5
xdotool search --onlyvisible --name '^Quorvane$' >/dev/null 2>&1 && fail "the error box did not close"

# Typing into the move history as a person would.
xdotool mousemove $((x + 150)) $((y + 20))
sleep 0.2
xdotool type --delay 80 "sd"
sleep 0.5
shot typed
blue=$(count_blue typed 8 56 257 20)
[ "$blue" -gt 10 ] || fail "no blue gestures on the first combo line ($blue pixels)"
echo "first combo line: $blue blue pixels"
# "sd" spells Magic Missile exactly: the first line is bold, the second is not.
first=$(boldness typed 10 56 245 13)
second=$(boldness typed 10 69 245 13)
awk -v a="$first" -v b="$second" 'BEGIN { exit !(a > 1.4 * b) }' ||
    fail "the first combo line is not bold (boldness $first against $second for the second line)"
echo "boldness: first line $first, second line $second"

# The Italian flag replaces the reference text.
shot before
xdotool mousemove $((x + 494)) $((y + 444)) click 1
sleep 0.5
shot after
changed=$(compare -metric AE -crop "465x161+$((x + 8))+$((y + 384))" "$work/before.png" "$work/after.png" null: 2>&1 || true)
[ "${changed%%.*}" -gt 100 ] || fail "the reference pane did not change after the Italian flag ($changed pixels)"
echo "reference pane: $changed pixels changed"

echo "1 passed, 0 failed"
