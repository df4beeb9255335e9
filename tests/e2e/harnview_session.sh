# Sourced by the end-to-end scripts that run Harnview on a simulated board under a virtual
# display and drive it as an operator would: through the board's control channel (kxcxctl sim)
# and the message boxes. Every message the viewer shows is also written to its standard error,
# which is how the scripts read them.
#   session_begin HARNVIEW KXCX_CTL   working folder, environment, display (sets work, board)
#   viewer_start                      starts the viewer and waits for its main window
#   viewer_stop                       ends it as a session ends it (SIGTERM); fails unless it
#                                     closes cleanly within 20 s
#   said TEXT                         how many times the viewer has shown TEXT
#   wait_said TEXT COUNT [SECONDS]    waits until TEXT has been shown COUNT times, answering boxes
#   answer_boxes                      presses Return on every message box that is open
#   log_in USER PASSWORD              Ctrl+T on the main window and the log-in it asks for
#   window TITLE                      waits for a visible window whose title matches TITLE (a
#                                     regular expression) and prints its id
#   wait_live [SECONDS]               waits until the viewer shows frames again (two more
#                                     one-second log lines with frames in them)
#   press BUTTON                      presses and releases a handle button
#   frames FILE                       the video frames of FILE that ffprobe decodes
#   recordings                        the recordings of the default data folder (the viewer works
#                                     in its root, "$work/root"), oldest first
. "$(dirname "${BASH_SOURCE[0]}")/../../scripts/virtual-display.sh"

session_begin() {
    harnview="$1"
    kxcxctl="$2"
    work="$(mktemp -d)"
    xvfb=""
    viewer=""
    main=""
    board="sim:RT4207-x6B6B:0"
    trap session_end EXIT
    cd "$work"
    export KXCX_BACKEND=sim KXCX_SIM= KXCX_SIM_SOCKET="$work/sim.sock" KXCX_LOG_DIR="$work/logs"
    export XDG_CONFIG_HOME="$work/config"
    mkdir -p logs
    start_virtual_display "$work" 1400x800 || fail "Xvfb did not start"
}

# The viewer goes before its display: a viewer whose display went first would end in the
# middle of closing its board.
session_end() {
    if [ -n "$viewer" ]; then
        kill "$viewer" 2>/dev/null || true
        for _ in $(seq 200); do
            kill -0 "$viewer" 2>/dev/null || break
            sleep 0.1
        done
        kill -KILL "$viewer" 2>/dev/null || true
    fi
    [ -n "$xvfb" ] && kill "$xvfb" 2>/dev/null || true
    [ -n "${KEEP_WORK:-}" ] || rm -rf "$work"
}

fail() {
    echo "$1"
    [ -f "$work/viewer.err" ] && grep -v '^LOG' "$work/viewer.err" | tail -20
    exit 1
}

viewer_start() {
    "$harnview" --simulate --root "$work/root" >>"$work/viewer.out" 2>>"$work/viewer.err" &
    viewer=$!
    main=""
    local id
    for _ in $(seq 600); do
        # Message boxes share the main window's title; the main window is the wide one. Boxes
        # shown before it (start-up's messages) are answered.
        for id in $(xdotool search --onlyvisible --name '^ Nelvora Orlo - V1.02$' 2>/dev/null); do
            eval "$(xdotool getwindowgeometry --shell "$id" 2>/dev/null)" || continue
            [ "${WIDTH:-0}" -ge 1000 ] && main="$id"
        done
        [ -n "$main" ] && break
        kill -0 "$viewer" 2>/dev/null || fail "the viewer ended"
        answer_boxes
        sleep 0.05
    done
    [ -n "$main" ] || fail "no main window"
}

viewer_stop() {
    kill -TERM "$viewer"
    local status=0
    for _ in $(seq 200); do
        kill -0 "$viewer" 2>/dev/null || break
        sleep 0.1
    done
    kill -0 "$viewer" 2>/dev/null && fail "the viewer did not end within 20 s of SIGTERM"
    wait "$viewer" || status=$?
    viewer=""
    [ "$status" -eq 0 ] || fail "the viewer ended with status $status at SIGTERM"
}

said() {
    grep -c -F -- "Harnview: $1" "$work/viewer.err" || true
}

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

log_in() {
    xdotool windowfocus --sync "$main" key ctrl+t
    local login
    login="$(window '^Log in$')"
    xdotool windowfocus --sync "$login" type --delay 20 "$1"
    xdotool key Tab
    xdotool type --delay 20 "$2"
    xdotool key Return
}

answer_boxes() {
    local id
    for id in $(xdotool search --onlyvisible --name '^ Nelvora Orlo - V1.02$' 2>/dev/null); do
        [ "$id" = "$main" ] && continue
        xdotool windowfocus --sync "$id" key Return 2>/dev/null || true
    done
}

wait_said() {
    local text="$1" count="$2" seconds="${3:-20}"
    for _ in $(seq $((seconds * 10))); do
        [ "$(said "$text")" -ge "$count" ] && { sleep 0.2; answer_boxes; return 0; }
        kill -0 "$viewer" 2>/dev/null || fail "the viewer ended waiting for \"$text\""
        answer_boxes
        sleep 0.1
    done
    fail "the viewer did not say \"$text\" within $seconds s"
}

live_lines() {
    cat "$work"/logs/kxCxLog*.txt 2>/dev/null | grep -a -c 'FPS=[1-9]' || true
}

wait_live() {
    local seconds="${1:-60}" before
    before="$(live_lines)"
    for _ in $(seq $((seconds * 10))); do
        [ "$(live_lines)" -ge $((before + 2)) ] && return 0
        kill -0 "$viewer" 2>/dev/null || fail "the viewer ended waiting for frames"
        answer_boxes
        sleep 0.1
    done
    fail "no frames within $seconds s"
}

# Held for a second and let go for a moment: the library reads the buttons once a frame, and a
# sanitizer build under load may show only a few frames a second. A press that follows a release
# within one frame is no press.
press() {
    "$kxcxctl" sim press "$1" >/dev/null
    sleep 1
    "$kxcxctl" sim release "$1" >/dev/null
    sleep 0.3
}

frames() {
    ffprobe -v error -count_frames -select_streams v:0 -show_entries stream=nb_read_frames \
        -of csv=p=0 "$1" 2>/dev/null || echo 0
}

recordings() {
    ls -tr "$work"/root/ImageData/default/Vid*.avi 2>/dev/null || true
}
