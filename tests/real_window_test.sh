#!/usr/bin/env bash
# Starts the real program under Xvfb with a small window manager and uses it as a person
# would: reads the title, the client size and the place, types "sd" and looks at the combos
# pane's colours and weights, right-clicks a list at start and reads the error box, clicks the Italian
# flag and sees the reference change.
set -euo pipefail
program=$1
screenshot=${2:-}
source "$(dirname "$0")/x11_session.sh"

start_display 1280x1024
start_program
echo "window $w x $h at $x,$y"

# Client size and place: centred on the 1280 x 1024 screen, the frame counted in.
[ "$w" = 521 ] && [ "$h" = 549 ] || fail "client area ${w}x${h}, expected 521x549"
centre_x=$((x + w / 2)); centre_y=$((y + h / 2))
[ $((centre_x - 640)) -ge -4 ] && [ $((centre_x - 640)) -le 4 ] || fail "client centre x $centre_x, screen centre 640"
[ $((centre_y - 512)) -ge -4 ] && [ $((centre_y - 512)) -le 40 ] || fail "client centre y $centre_y, screen centre 512"

# How bold a client rectangle's text is: the share of its dark pixels that have a dark right
# neighbour, about 0.5 for bold strokes two pixels wide and about 0.3 for regular ones.
boldness() {
    convert "$x11_work/$1.png" -crop "$4x$5+$((x + $2))+$((y + $3))" +repage -colorspace gray -threshold 30% -negate \
        \( +clone -morphology Erode Rectangle:2x1 \) -format '%[fx:mean*w*h] ' info: |
        awk '{ printf "%.2f", ($1 > 0 ? $2 / $1 : 0) }'
}

# A right-button press on the gesture list right after start: nothing is selected.
xdotool mousemove $((x + 300)) $((y + 60)) click 3
error_box=
for _ in $(seq 50); do
    error_box=$(xdotool search --onlyvisible --name "^Quorvane$" 2>/dev/null | head -1 || true)
    [ -n "$error_box" ] && break
    sleep 0.1
done
[ -n "$error_box" ] || fail "no error box captioned 'Quorvane' after a right-click on the list"
xdotool windowactivate --sync "$error_box" >/dev/null 2>&1 || true
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
blue=$(count typed 'b>0.7 && r<0.3 && g<0.3' 8 56 257 20)
[ "$blue" -gt 10 ] || fail "no blue gestures on the first combo line ($blue pixels)"
echo "first combo line: $blue blue pixels"
# "sd" spells Magic Missile exactly: the first line is bold, the second is not.
first=$(boldness typed 10 56 245 13)
second=$(boldness typed 10 69 245 13)
awk -v a="$first" -v b="$second" 'BEGIN { exit !(a > 1.4 * b) }' ||
    fail "the first combo line is not bold (boldness $first against $second for the second line)"
echo "boldness: first line $first, second line $second"
[ -z "$screenshot" ] || { mkdir -p "$(dirname "$screenshot")" && save_client typed "$screenshot"; }

# The Italian flag replaces the reference text.
shot before
xdotool mousemove $((x + 494)) $((y + 444)) click 1
sleep 0.5
shot after
changed=$(compare -metric AE -crop "465x161+$((x + 8))+$((y + 384))" "$x11_work/before.png" "$x11_work/after.png" null: 2>&1 || true)
[ "${changed%%.*}" -gt 100 ] || fail "the reference pane did not change after the Italian flag ($changed pixels)"
echo "reference pane: $changed pixels changed"

echo "1 passed, 0 failed"
