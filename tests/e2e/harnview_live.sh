#!/usr/bin/env bash
# A person starts the viewer on a simulated board under a virtual display and watches the live
# picture: the live area shows the board's scene (not the colour bars that stand in before the
# first frame), the daily log gets an FPS line near 30 every second, and the scope's light-up
# button raises the illumination shown beside the picture. A screenshot is kept in the folder
# given as the third argument (or a temporary one).
#
# The viewer shows fewer frames when the machine cannot keep up (frames are dropped, never
# queued): MIN_FPS (default 20) is the least median of the last three lines that passes;
# sanitizer builds run with a lower one.
set -euo pipefail
. "$(dirname "$0")/harnview_session.sh"
session_begin "$1" "$2"
shots="${3:-}"

viewer_start
eval "$(xdotool getwindowgeometry --shell "$main")"
wx=$X
wy=$Y

# Some seconds of live picture.
sleep 4
kill -0 "$viewer" || fail "the viewer ended"
import -window root before.png

# The live area (640 x 640 at 30,30 in the window) shows a scene of many colours; the colour
# bars have a handful.
colours="$(convert before.png -crop "640x640+$((wx + 30))+$((wy + 30))" -format %k info:)"
[ "$colours" -gt 500 ] || fail "the live area shows $colours colours: no live picture"

# The scope's light-up button: the illumination level beside the picture changes.
label="80x24+$((wx + 890))+$((wy + 222))"
"$kxcxctl" sim press light-up >/dev/null
sleep 0.5
"$kxcxctl" sim release light-up >/dev/null
sleep 0.5
import -window root after.png
convert before.png -crop "$label" +repage label-before.png
convert after.png -crop "$label" +repage label-after.png
changed="$(compare -metric AE label-before.png label-after.png null: 2>&1 || true)"
[ "${changed%% *}" -gt 0 ] 2>/dev/null || fail "the illumination label did not change ($changed)"

[ -n "$shots" ] && cp after.png "$shots/harnview-live.png"

# One FPS line a second in the daily log, near 30.
log="$(ls logs/kxCxLog*.txt 2>/dev/null | head -1)"
[ -n "$log" ] || fail "no daily log in $work/logs"
fps="$(grep -o 'FPS=[0-9]*' "$log" | tail -4 | head -3 | cut -d= -f2)"
[ "$(echo "$fps" | wc -w)" -eq 3 ] || fail "fewer than three FPS lines: $(grep FPS "$log")"
median="$(echo "$fps" | sort -n | sed -n 2p)"
highest="$(echo "$fps" | sort -n | tail -1)"
[ "$median" -ge "${MIN_FPS:-20}" ] && [ "$highest" -le 36 ] ||
    fail "FPS lines not near 30: $(echo $fps)"
echo "live picture of $colours colours, FPS $(echo $fps), illumination label changed"
