# Sourced by the tests that start the real program: an Xvfb display with a small window
# manager, the program on it, and helpers that read its window's place and pixels.
# Needs: $program, the program to start.

x11_work=$(mktemp -d)
x11_pids=()
stop_display() {
    for pid in "${x11_pids[@]}"; do kill "$pid" 2>/dev/null || true; done
    for pid in "${x11_pids[@]}"; do wait "$pid" 2>/dev/null || true; done
    x11_pids=()
}
x11_cleanup() {
    stop_display
    rm -rf "$x11_work"
}
trap x11_cleanup EXIT
fail() { echo "FAIL: $*"; exit 1; }

# start_display <width>x<height> [dots per inch for the desktop's fonts and scale]
start_display() {
    stop_display
    rm -f "$x11_work/display"
    # Xvfb picks a free display itself and writes its number to the descriptor it is given;
    # -noreset keeps the desktop's resources while no client is connected.
    Xvfb -displayfd 3 -noreset -screen 0 "$1x24" -nolisten tcp 3>"$x11_work/display" >/dev/null 2>&1 &
    x11_pids+=($!)
    for _ in $(seq 100); do [ -s "$x11_work/display" ] && break; sleep 0.1; done
    [ -s "$x11_work/display" ] || fail "Xvfb did not start"
    export DISPLAY=:$(head -1 "$x11_work/display")
    if [ -n "${2:-}" ]; then
        echo "Xft.dpi: $2" >"$x11_work/resources"
        xrdb -nocpp -merge "$x11_work/resources"
    fi
    openbox --sm-disable >/dev/null 2>&1 &
    x11_pids+=($!)
    sleep 1
}

# start_program [environment assignments...]: starts the program, waits for its window and
# sets window, and x y w h of its client area in screen pixels.
start_program() {
    env "$@" "$program" >"$x11_work/program.log" 2>&1 &
    x11_pids+=($!)
    window=
    for _ in $(seq 100); do
        window=$(xdotool search --onlyvisible --name '^Quorvane - by Varnhollow$' 2>/dev/null | head -1 || true)
        [ -n "$window" ] && break
        sleep 0.1
    done
    [ -n "$window" ] || fail "no window titled 'Quorvane - by Varnhollow'"
    sleep 0.5
    read -r x y w h < <(xwininfo -id "$window" | awk '/Absolute upper-left X/{x=$NF}
        /Absolute upper-left Y/{y=$NF} /Width:/{w=$NF} /Height:/{h=$NF} END{print x, y, w, h}')
    xdotool windowactivate --sync "$window" >/dev/null 2>&1 || true
}

shot() { import -window root "$x11_work/$1.png"; }

# The client area of a screenshot, saved to a file.
save_client() { convert "$x11_work/$1.png" -crop "${w}x${h}+$x+$y" +repage "$2"; }

# count <shot> <fx condition> <left> <top> <width> <height>: pixels meeting the condition in
# a client rectangle.
count() {
    convert "$x11_work/$1.png" -crop "$5x$6+$((x + $3))+$((y + $4))" +repage -fx "$2 ? 1 : 0" \
        -format '%[fx:round(mean*w*h)]' info:
}

# box <shot> <fx condition> <left> <top> <width> <height>: the bounding box "left top right
# bottom", in client pixels, of the pixels meeting the condition in a client rectangle.
box() {
    convert "$x11_work/$1.png" -crop "$5x$6+$((x + $3))+$((y + $4))" +repage -fx "$2 ? 1 : 0" \
        -format '%@' info: | awk -F'[x+]' -v l="$3" -v t="$4" '{ print l + $3, t + $4, l + $3 + $1 - 1, t + $4 + $2 - 1 }'
}
