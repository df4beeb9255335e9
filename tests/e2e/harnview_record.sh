#!/usr/bin/env bash
# The operator records with the scope's record button; the cable is pulled mid-recording, the
# board plugged back, and later the program is killed while it records:
# - the unplug closes the file, which plays for about as long as it recorded, with the alerts;
# - the board plugged back brings the live picture back without a restart;
# - the next start repairs the recording the kill left unfinished, says so, and it plays.
# A screenshot of the live picture after the replug is kept in the folder given as the third
# argument (or none).
set -euo pipefail
. "$(dirname "$0")/harnview_session.sh"
session_begin "$1" "$2"
shots="${3:-}"

viewer_start
wait_live
began=$(date +%s%N)
press record
for _ in $(seq 100); do [ -n "$(recordings)" ] && break; sleep 0.1; done
first="$(recordings | tail -1)"
[ -n "$first" ] || fail "the record button made no recording"
sleep 5
"$kxcxctl" sim unplug "$board" >/dev/null
ended=$(date +%s%N)
wait_said "ALERT::The camera device has been removed" 1
[ "$(said "WARNING::")" -eq 0 ] || fail "a warning at the unplug"
count="$(frames "$first")"
expected=$(((ended - began) * 25 / 1000000000))
[ "$count" -ge $((expected * 8 / 10)) ] && [ "$count" -le $((expected + 25)) ] ||
    fail "the unplugged recording holds $count frames for about $expected"
ls -a "$(dirname "$first")" | grep -q '\.recording$' && fail "a marker stayed after the unplug"
echo "unplug: $(basename "$first") plays $count frames of about $expected"

"$kxcxctl" sim plug "$board" >/dev/null
wait_said "ALERT::A camera device has been inserted" 1 20
wait_live
eval "$(xdotool getwindowgeometry --shell "$main")"
import -window root replugged.png
colours="$(convert replugged.png -crop "640x640+$((X + 30))+$((Y + 30))" -format %k info:)"
[ "$colours" -gt 500 ] || fail "no live picture after the replug ($colours colours)"
[ -n "$shots" ] && cp replugged.png "$shots/harnview-replugged.png"
echo "replug: live picture of $colours colours"

press record
for _ in $(seq 100); do [ "$(recordings | wc -l)" -ge 2 ] && break; sleep 0.1; done
second="$(recordings | tail -1)"
[ "$second" != "$first" ] || fail "the second recording did not start"
sleep 3
kill -KILL "$viewer"
wait "$viewer" 2>/dev/null || true
ls -a "$(dirname "$second")" | grep -q '\.recording$' || fail "no marker beside the killed recording"

viewer_start
wait_said "INFO::These recordings were not finished" 1
grep -q -F "$(basename "$second")" viewer.err || fail "the repaired recording was not named"
count="$(frames "$second")"
[ "$count" -ge 40 ] || fail "the repaired recording holds $count frames"
ls -a "$(dirname "$second")" | grep -q '\.recording$' && fail "the marker stayed after the repair"
echo "kill: $(basename "$second") repaired, $count frames"
viewer_stop
