#!/usr/bin/env bash
# Starts the real program under Xvfb with its own D-Bus session and accessibility bus, and
# reads it through AT-SPI as a screen reader would: typing "sd" must announce the new combos,
# whose first line is the exact match with its made gestures blue and the line bold, and an
# error box must be readable.
set -euo pipefail
program=$1
here=$(cd "$(dirname "$0")" && pwd)
# The system's Python, which has pyatspi; a Python of one's own may not.
read_atspi() { /usr/bin/python3 "$here/atspi_read.py" "$@"; }

# A session bus of our own, so that the desktop's bus and its screen reader stay out of it.
if [ -z "${QUORVANE_ACCESSIBILITY_SESSION:-}" ]; then
    QUORVANE_ACCESSIBILITY_SESSION=1 exec dbus-run-session -- bash "$0" "$@"
fi

source "$here/x11_session.sh"
fail() {
    echo "FAIL: $*"
    echo "--- accessible tree ---"
    read_atspi --timeout 1 tree 2>&1 | grep -v 'list item' || true
    exit 1
}

start_display 1280x1024
/usr/libexec/at-spi-bus-launcher --launch-immediately >/dev/null 2>&1 &
x11_pids+=($!)
sleep 0.5
start_program QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1
read_atspi find-text --role label --contains "Last moves" >/dev/null ||
    fail "the program is not on the accessibility bus"
unnamed=$(read_atspi unnamed)
[ "$unnamed" = "every control has a name" ] || fail "controls without a name: $unnamed"
combos=(--name Combos)
read_atspi pane-text "${combos[@]}" >/dev/null ||
    fail "the combos pane offers no multi-line text (is installAccessibility() called at start-up?)"

sleep 0.3

# Typing announces the new combos to whoever listens.
event=$(read_atspi watch "${combos[@]}" --event object:text-changed:insert \
    --contains "2: Magic Missile [SD]" --run "xdotool type --delay 80 sd") ||
    fail "no text-changed event from the combos pane announced the exact match"
echo "announced: ${event:0:80}"

first=$(read_atspi pane-text "${combos[@]}" --line 0)
[ "$first" = "2: Magic Missile [SD]" ] || fail "first combo line '$first'"
second=$(read_atspi pane-text "${combos[@]}" --line 1)
[[ "$second" == "1: "* ]] || fail "second combo line '$second'"

attribute() { grep -x "$1=.*" <<<"$2" | cut -d= -f2- || true; }

made=$(read_atspi pane-attributes "${combos[@]}" --find "SD]")
[ "$(attribute fg-color "$made")" = "0,0,255" ] || fail "the made gestures are not blue: $made"
[ "$(attribute weight "$made")" = "700" ] || fail "the made gestures are not bold: $made"
[ "$(attribute run "$made")" = "18,20" ] || fail "the blue run is not just \"SD\": $made"

plain=$(read_atspi pane-attributes "${combos[@]}" --find "$second" --plus 3)
[ "$(attribute weight "$plain")" = "400" ] || fail "the second line is not regular: $plain"
default_colour=$(attribute fg-color "$plain")
[ -n "$default_colour" ] || fail "the second line reports no colour: $plain"

name=$(read_atspi pane-attributes "${combos[@]}" --find "Magic")
[ "$(attribute weight "$name")" = "700" ] || fail "the exact match's name is not bold: $name"
[ "$(attribute fg-color "$name")" = "$default_colour" ] ||
    fail "the exact match's name is not in the pane's own colour ($default_colour): $name"
echo "combos: '$first' bold, \"SD\" blue, the name in $default_colour, '${second:0:24}...' regular"

# A double click on a word of the pane, found where assistive technology says it is on screen,
# selects the word and says so.
read -r px py < <(read_atspi char-point "${combos[@]}" --find "Magic" --plus 2) ||
    fail "no screen place for the name of the exact match"
read_atspi watch "${combos[@]}" --event object:text-selection-changed \
    --run "xdotool mousemove $px $py click --repeat 2 --delay 80 1" >/dev/null ||
    fail "no text-selection-changed event after a double click on 'Magic' at $px,$py"
selection=$(read_atspi pane-selection "${combos[@]}")
[ "$selection" = "3,8 'Magic'" ] || fail "selection after a double click on 'Magic': $selection"
echo "double click at $px,$py selects $selection"

# An error box reads like any other: its message is a label.
xdotool mousemove $((x + 300)) $((y + 60)) click 3
message=$(read_atspi find-text --role label --contains "List index") ||
    fail "no label with the error message after a right-click on the list"
[ "$message" = "List index out of bounds (-1)" ] || fail "error message '$message'"
echo "error box: '$message'"
xdotool key Return

echo "1 passed, 0 failed"
