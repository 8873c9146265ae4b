#!/usr/bin/env bash
# Starts the real program under Xvfb with its own D-Bus session and accessibility bus, and
# reads it through AT-SPI as a screen reader would: typing "sd" must announce the new combos,
# whose first line is the exact match with its made gestures blue and the line bold, an error
# box must be readable, and every control must be reachable from the keyboard.
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

# Everything without the mouse: Tab goes through the controls in the window's order, the
# arrow keys pick a spellbook row (which looks it up), and Alt+S and Alt+I open the menus,
# after which the focus is back in the move history.
focus_is() { read_atspi focused --expect "$1" >/dev/null || fail "$2: $(read_atspi --timeout 1 focused)"; }
# The pointer rests over the combos pane, which takes no focus; the right-click left the
# focus on the gesture list the pointer crossed.
xdotool mousemove $((x + 130)) $((y + 250))
focus_is "Spell gestures" "after the right-click on the gesture list"
xdotool key shift+Tab
focus_is "Last moves" "Shift+Tab from the gesture list"
xdotool key Tab
focus_is "Spell gestures" "Tab from the move history"
xdotool key Down Down
focus_is "Spell gestures" "the arrow keys"
history=$(read_atspi pane-text --name "Last moves")
[ "$history" = "CSWWS" ] || fail "the second row's gestures are not in the move history: '$history'"
for next in "Spell names" "Combos" "Spell reference" "Info" "Change Spellbook"; do
    xdotool key Tab
    focus_is "$next" "Tab to $next"
done
# Popup menus are not on the bus; that a menu opened shows in its button's handler moving the
# focus to the move history when the menu closes, and in the item chosen by its access keys.
xdotool key alt+s
sleep 0.5
xdotool key Escape
focus_is "Last moves" "after Alt+S and Esc"
xdotool key alt+i
sleep 0.5
xdotool key t a
about=$(read_atspi find-text --role label --contains "varnhollow@") || fail "Alt+I, T, A showed no About box"
xdotool key Return
focus_is "Last moves" "after the About box"
echo "keyboard: Tab order, a row from the arrow keys, Alt+S, Alt+I and the About box ('${about:0:40}...'), focus back in the move history"

echo "1 passed, 0 failed"
