#!/usr/bin/env bash
# A person creates the first administrator from the command line, starts the viewer on a
# simulated board under a virtual display, presses Ctrl+T, logs in as that administrator and gets
# the tools dialog with every button an administrator may use. A screenshot is kept in the
# folder given as the second argument (or a temporary one).
set -euo pipefail
harnview="$1"
shots="${2:-}"

work="$(mktemp -d)"
xvfb=""
viewer=""
cleanup() {
    [ -n "$viewer" ] && kill "$viewer" 2>/dev/null || true
    [ -n "$xvfb" ] && kill "$xvfb" 2>/dev/null || true
    [ -n "${KEEP_WORK:-}" ] || rm -rf "$work"
}
trap cleanup EXIT
cd "$work"
export KXCX_SIM= KXCX_SIM_SOCKET=none KXCX_LOG_DIR="$work/logs" XDG_STATE_HOME="$work/state"
unset KXCX_BACKEND

fail() { echo "$1"; [ -f viewer.err ] && tail -20 viewer.err; exit 1; }

# The first administrator, password on standard input.
printf 'Sesame_42\n' | "$harnview" --add-user admin --type Admin >add.out 2>add.err ||
    fail "--add-user failed: $(cat add.err)"
grep -q 'User "admin" created successfully.' add.out || fail "no success text: $(cat add.out)"
[ "$(stat -c %a login.txt)" = 600 ] || fail "login.txt has mode $(stat -c %a login.txt)"
printf 'Sesame_42\n' | "$harnview" --add-user admin --type Admin >/dev/null 2>again.err &&
    fail "a second admin of the same name was accepted"
grep -q 'User already exists' again.err || fail "no reason for the refusal: $(cat again.err)"

# A virtual display of its own.
exec 5>"$work/display"
Xvfb -displayfd 5 -screen 0 1280x1024x24 -nolisten tcp >xvfb.log 2>&1 &
xvfb=$!
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.05; done
[ -s "$work/display" ] || fail "Xvfb did not start"
export DISPLAY=":$(head -1 "$work/display")"

"$harnview" --simulate >viewer.out 2>viewer.err &
viewer=$!

# Waits for a visible top-level window whose title matches $1 and prints its id.
window() {
    local id=""
    for _ in $(seq 600); do
        id="$(xdotool search --onlyvisible --name "$1" 2>/dev/null | head -1)" && [ -n "$id" ] && break
        kill -0 "$viewer" 2>/dev/null || fail "the viewer ended"
        sleep 0.05
    done
    [ -n "$id" ] || fail "no window \"$1\""
    echo "$id"
}

main="$(window '^ Nelvora Orlo - V1.02$')"
xdotool windowfocus --sync "$main" key ctrl+t
login="$(window '^Log in$')"
xdotool windowfocus --sync "$login" type --delay 20 admin
xdotool key Tab
xdotool type --delay 20 Sesame_42
xdotool key Return

# The tools dialog warns about the pages that are not built yet; each box is answered with OK
# until the dialog itself shows. A slow build (sanitizers) may take seconds for each step.
tools=""
for _ in $(seq 600); do
    box="$(xdotool search --onlyvisible --name '^(Tools|Setup) Dialog$' 2>/dev/null | head -1)" || true
    if [ -n "$box" ]; then
        xdotool windowfocus --sync "$box" key Return
    else
        tools="$(xdotool search --onlyvisible --name '^Tools$' 2>/dev/null | head -1)" || true
        [ -n "$tools" ] && break
    fi
    kill -0 "$viewer" 2>/dev/null || fail "the viewer ended"
    sleep 0.1
done
[ -n "$tools" ] || fail "no tools dialog after the log-in"
sleep 0.5
shot="$work/tools.png"
import -window root "$shot"
[ -n "$shots" ] && cp "$shot" "$shots/harnview-tools-admin.png"
eval "$(xdotool getwindowgeometry --shell "$tools")"
[ "$WIDTH" -gt 100 ] && [ "$HEIGHT" -gt 100 ] || fail "the tools dialog is ${WIDTH}x${HEIGHT}"
colours="$(convert "$shot" -crop "${WIDTH}x${HEIGHT}+${X}+${Y}" -unique-colors -format %w info:)"
[ "$colours" -gt 8 ] || fail "the tools dialog looks empty ($colours colours)"
kill -0 "$viewer" || fail "the viewer ended"
echo "tools dialog ${WIDTH}x${HEIGHT} at ${X},${Y} after the administrator's log-in"
