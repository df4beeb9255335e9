#!/usr/bin/env bash
# A person creates the first administrator from the command line, starts the viewer on a
# simulated board under a virtual display, presses Ctrl+T, logs in as that administrator and gets
# the tools dialog with every button an administrator may use. The viewer's root is the
# temporary folder (VELQUIN_ROOT). A screenshot is kept in the folder given as the second
# argument (or a temporary one).
set -euo pipefail
. "$(dirname "$0")/harnview_session.sh"
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
export VELQUIN_ROOT="$work"
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

# A root that cannot be made ends the program with the reason.
status=0
printf 'Sesame_42\n' | "$harnview" --add-user admin --type Admin --root "$work/login.txt/root" \
    >/dev/null 2>root.err || status=$?
[ "$status" = 1 ] || fail "a root under a file gave exit status $status"
grep -qx "Harnview: cannot create the folder $work/login.txt/root: Not a directory" root.err ||
    fail "no reason for the root: $(cat root.err)"

# A virtual display of its own.
start_virtual_display "$work" || fail "Xvfb did not start"

"$harnview" --simulate >viewer.out 2>viewer.err &
viewer=$!

main="$(window '^ Nelvora Orlo - V1.02$')"
# The shipped files were added to the root before the window came.
for shipped in reg_init.txt firmware/default.bit Config/Gamma/Lookup1024_0.txt "NV Logo - Help UI.png"; do
    [ -s "$shipped" ] || fail "$shipped was not added to the root"
done
grep -q "^Harnview: added to $work: reg_init.txt, " viewer.err || fail "no word of the added files"
log_in admin Sesame_42

# A box shown before the tools dialog (a setup page that could not be made) is answered with OK
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
colours="$(convert "$shot" -crop "${WIDTH}x${HEIGHT}+${X}+${Y}" -format %k info:)"
[ "$colours" -gt 8 ] || fail "the tools dialog looks empty ($colours colours)"
kill -0 "$viewer" || fail "the viewer ended"
echo "tools dialog ${WIDTH}x${HEIGHT} at ${X},${Y} after the administrator's log-in"
