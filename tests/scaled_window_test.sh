#!/usr/bin/env bash
# The real program on scaled screens: with a scale factor of 1.5 and 2, and on a desktop of
# 192 dots per inch, the client area scales by as much and the controls keep their places:
# the Italian and Spanish flags and the gestures coloured after typing "sd" are found where
# the unscaled window has them, times the scale. Saves the 1x and 2x screenshots.
set -euo pipefail
program=$1
shots=${2:-}
source "$(dirname "$0")/x11_session.sh"

italy_green='g>0.4 && g<0.6 && r<0.1 && b<0.1'
spain_yellow='r>0.95 && g>0.7 && g<0.8 && b<0.1'
gesture_blue='b>0.7 && r<0.3 && g<0.3'

# measure <scale> <name>: the client size and the three markers' boxes, in client pixels.
measure() {
    local s=$1
    xdotool mousemove $((x + w / 4)) $((y + h * 20 / 549))
    sleep 0.2
    xdotool type --delay 60 "sd"
    sleep 0.6
    shot "$2"
    local right=$((w * 465 / 521)) half=$((w / 2))
    echo "$w $h"
    box "$2" "$italy_green" "$right" 0 $((w - right)) "$h"
    box "$2" "$spain_yellow" "$right" 0 $((w - right)) "$h"
    box "$2" "$gesture_blue" 0 0 "$half" $((h / 2))
}

start_display 1280x1024
start_program
mapfile -t unscaled < <(measure 1 unscaled)
[ "${unscaled[0]}" = "521 549" ] || fail "unscaled client area ${unscaled[0]}"
[ -z "$shots" ] || { mkdir -p "$shots" && save_client unscaled "$shots/quorvane-1x.png"; }
echo "1x: client ${unscaled[0]}, italy ${unscaled[1]}, spain ${unscaled[2]}, gestures ${unscaled[3]}"

check() {
    local label=$1 scale=$2 name=$3
    mapfile -t scaled < <(measure "$scale" "$name")
    local expected
    expected=$(awk -v s="$scale" 'BEGIN { printf "%d %d", 521 * s + 0.5, 549 * s + 0.5 }')
    [ "${scaled[0]}" = "$expected" ] || fail "$label: client area ${scaled[0]}, expected $expected"
    for i in 1 2 3; do
        awk -v s="$scale" -v a="${unscaled[$i]}" -v b="${scaled[$i]}" 'BEGIN {
            n = split(a, u, " "); split(b, v, " ");
            for (k = 1; k <= n; k++) if (v[k] < u[k] * s - 2 * s - 1 || v[k] > u[k] * s + 2 * s + 1) exit 1
        }' || fail "$label: marker $i at ${scaled[$i]}, expected about ${unscaled[$i]} times $scale"
    done
    echo "$label: client ${scaled[0]}, italy ${scaled[1]}, spain ${scaled[2]}, gestures ${scaled[3]}"
}

start_display 2560x2048
start_program QT_SCALE_FACTOR=2
check "scale factor 2" 2 factor2
[ -z "$shots" ] || save_client factor2 "$shots/quorvane-2x.png"

start_display 2560x2048
start_program QT_SCALE_FACTOR=1.5
check "scale factor 1.5" 1.5 factor15

start_display 2560x2048 192
start_program
check "192 dots per inch" 2 dpi192

echo "1 passed, 0 failed"
