# Sourced by the scripts that run the viewer without a display (scripts/try, the end-to-end tests,
# the live benchmark). start_virtual_display FOLDER [SIZE] starts an Xvfb of its own on a free
# display number, sets DISPLAY and xvfb (its process id, for the caller's clean-up) and returns 1
# when it did not start (its output is in FOLDER/xvfb.log). The server keeps running when its
# last client goes (-noreset), so a viewer started again after a kill finds it ready.
start_virtual_display() {
    local folder="$1" size="${2:-1280x1024}"
    exec 5>"$folder/display"
    Xvfb -displayfd 5 -screen 0 "${size}x24" -nolisten tcp -noreset >"$folder/xvfb.log" 2>&1 &
    xvfb=$!
    exec 5>&-
    for _ in $(seq 100); do
        [ -s "$folder/display" ] && break
        kill -0 "$xvfb" 2>/dev/null || break
        sleep 0.05
    done
    [ -s "$folder/display" ] || return 1
    export DISPLAY=":$(head -1 "$folder/display")"
}
