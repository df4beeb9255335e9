#!/usr/bin/env bash
# Pulls the scope's cable while it records and plugs it back, CYCLES times (default 100):
# no crash, no hang, every recording plays, and the resident memory after the last cycle is
# within 10% of the tenth (checked from cycle 10 on). Prints the memory at cycles 1, 10 and the
# last. CI runs a few cycles; the full soak runs by hand:
#   tests/e2e/harnview_soak.sh build/viewer/Harnview build/tools/kxcxctl/kxcxctl 100
set -euo pipefail
. "$(dirname "$0")/harnview_session.sh"
session_begin "$1" "$2"
cycles="${3:-100}"

rss() { ps -o rss= -p "$viewer" | tr -d ' '; }

viewer_start
wait_live
at10=""
for cycle in $(seq "$cycles"); do
    before="$(recordings | wc -l)"
    press record
    for _ in $(seq 50); do [ "$(recordings | wc -l)" -gt "$before" ] && break; sleep 0.1; done
    [ "$(recordings | wc -l)" -gt "$before" ] || fail "cycle $cycle: no recording started"
    sleep 2
    "$kxcxctl" sim unplug "$board" >/dev/null
    wait_said "ALERT::The camera device has been removed" "$cycle"
    file="$(recordings | tail -1)"
    count="$(frames "$file")"
    [ "$count" -ge 25 ] || fail "cycle $cycle: $(basename "$file") plays $count frames"
    "$kxcxctl" sim plug "$board" >/dev/null
    wait_said "ALERT::A camera device has been inserted" "$cycle" 30
    wait_live
    memory="$(rss)"
    [ "$cycle" -eq 1 ] && echo "cycle 1: resident ${memory} kB"
    [ "$cycle" -eq 10 ] && at10="$memory" && echo "cycle 10: resident ${memory} kB"
done
[ "$(said "WARNING::")" -eq 0 ] || fail "warnings during the soak: $(grep -F 'Harnview: WARNING' viewer.err | head -3)"
echo "cycle $cycles: resident ${memory} kB, $(recordings | wc -l) recordings, every one plays"
if [ -n "$at10" ]; then
    [ "$memory" -le $((at10 * 11 / 10)) ] || fail "resident memory grew from ${at10} kB to ${memory} kB"
fi
viewer_stop
