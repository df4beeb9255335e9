#!/usr/bin/env bash
# Support staff open the setup pages: an administrator logs in with Ctrl+T, presses SETUP in the
# tools dialog and goes through the six hardware pages by their tabs. Each page shows a form of
# its own (no page is empty or the same as another), the live picture goes on behind the dialog,
# the FPGA/MCU page's register fields switch the FPGA's colour bars on and off, the LED page's
# duty cycle darkens and lights the scene, and closing the dialog leaves the viewer running. The
# pages are kept as screenshots in the folder given as the third argument (or a temporary one).
set -euo pipefail
. "$(dirname "$0")/harnview_session.sh"
session_begin "$1" "$2"
shots="${3:-}"

printf 'Sesame_42\n' | "$harnview" --add-user admin --type Admin --root "$work/root" >/dev/null ||
    fail "the administrator was not created"
viewer_start

# Evaluates the test $1 until it holds, for up to 15 s (a sanitizer build shows a few frames a
# second).
settle() {
    for _ in $(seq 30); do
        eval "$1" && return 0
        sleep 0.5
    done
    return 1
}

# The dialog's area of a fresh screenshot, as FILE.
dialog_shot() {
    import -window root "$work/screen.png"
    eval "$(xdotool getwindowgeometry --shell "$setup")"
    convert "$work/screen.png" -crop "${WIDTH}x${HEIGHT}+${X}+${Y}" +repage "$1"
}

log_in admin Sesame_42
tools="$(window '^Tools$')"
sleep 0.5
# SETUP: the first button of the grid's third row.
xdotool mousemove --window "$tools" 105 192 click 1
setup="$(window '^Setup$')"
sleep 1
[ "$(said 'WARNING::Fail to get')" = 0 ] || fail "a setup page is missing"

# Each page's tab, clicked in turn: the page shows a form of many colours, unlike the ones before.
pages=("I2C" "AEC+AGC" "FPGA-MCU" "AWB" "LED" "Board-info")
tabs=(33 97 182 252 302 371)
declare -A seen=()
new_page() {
    dialog_shot "$shot"
    colours="$(convert "$shot" -format %k info:)"
    sum="$(convert "$shot" rgb:- | md5sum | cut -d' ' -f1)"
    [ "$colours" -gt 12 ] && [ -z "${seen[$sum]:-}" ]
}
for i in "${!pages[@]}"; do
    shot="$work/setup-$i.png"
    xdotool mousemove --window "$setup" "${tabs[$i]}" 24 click 1
    settle new_page ||
        fail "the ${pages[$i]} page looks empty ($colours colours) or like the ${seen[$sum]:-} page"
    seen[$sum]="${pages[$i]}"
    [ -n "$shots" ] && cp "$shot" "$shots/harnview-setup-${pages[$i]}.png"
done

# The live picture went on behind the dialog.
wait_live 30

# Of a fresh screenshot, the part of the live area (640 x 640 at 30,30 in the main window) that
# neither the tools dialog nor the setup dialog covers, with convert's options $@ after the crop.
live_area() {
    import -window root "$work/screen.png"
    eval "$(xdotool getwindowgeometry --shell "$main")"
    convert "$work/screen.png" -crop "260x240+$((X + 405))+$((Y + 30))" "$@" info:
}
# How many colours it shows, and its mean level, 0..255.
live_colours() { live_area -format %k; }
live_level() { live_area -colorspace Gray -format '%[fx:int(mean * 255)]'; }
# Writes $2 to FPGA register $1 through the FPGA/MCU page's register fields.
fpga_write() {
    xdotool mousemove --window "$setup" 333 252 click 1 key ctrl+a type "$1"
    xdotool mousemove --window "$setup" 333 280 click 1 key ctrl+a type "$2"
    xdotool mousemove --window "$setup" 333 308 click 1
}
# The scope's light starts off. Turned on at half, and back to the FPGA/MCU page, where the FPGA's colour bars replace the scene and give way to it again.
dark="$(live_level)"
for _ in 1 2 3 4 5; do
    press light-up
done
xdotool mousemove --window "$setup" 182 24 click 1
settle '[ "$(live_colours)" -gt 500 ]' || fail "the live area shows $(live_colours) colours"
fpga_write 1A 1
settle '[ "$(live_colours)" -lt 100 ]' ||
    fail "the FPGA's colour bars did not replace the scene ($(live_colours) colours)"
[ -n "$shots" ] && cp "$work/screen.png" "$shots/harnview-setup-colour-bars.png"
fpga_write 1A 0
settle '[ "$(live_colours)" -gt 500 ]' ||
    fail "the scene did not come back after the bars ($(live_colours) colours)"

# The LEDs' duty cycle lights the scene: the picture in the light is far brighter than it was in
# the dark at the start.
settle '[ "$(live_level)" -gt $((dark * 2 + 10)) ]' ||
    fail "the light on left the picture at $(live_level) (dark $dark)"
lit="$(live_level)"

# The LED page's duty cycle: 0 % turns the light off, 90 % on again.
led_duty() {
    xdotool mousemove --window "$setup" 338 168 click 1 key ctrl+a type "$1"
    xdotool mousemove --window "$setup" 338 252 click 1
}
xdotool mousemove --window "$setup" 302 24 click 1
sleep 0.5
led_duty 0
settle '[ "$(live_level)" -lt $((lit / 2)) ]' ||
    fail "the LED page's 0 % left the picture at $(live_level) (lit $lit)"
off="$(live_level)"
led_duty 90
settle '[ "$(live_level)" -gt $((off * 2 + 10)) ]' ||
    fail "the LED page's 90 % left the picture at $(live_level) (off $off)"
on="$(live_level)"
[ -n "$shots" ] && cp "$work/screen.png" "$shots/harnview-setup-led-on.png"

xdotool windowfocus --sync "$setup" key Escape
for _ in $(seq 100); do
    xdotool search --onlyvisible --name '^Setup$' >/dev/null 2>&1 || break
    sleep 0.1
done
xdotool search --onlyvisible --name '^Setup$' >/dev/null 2>&1 && fail "Escape left the dialog open"
kill -0 "$viewer" || fail "the viewer ended with the dialog"
viewer_stop
echo "six setup pages of their own (${pages[*]}), the live picture on behind them;" \
    "the FPGA's colour bars through the register fields; mean level $dark in the dark, $lit" \
    "in the handle's light, $off at the LED page's 0 %, $on at its 90 %"
