#!/usr/bin/env bash
# A program watches a register of a simulated board; from another process a person presses a
# handle button and then pulls the board out through the control channel. The watcher must see
# the button, then fail cleanly: an error line, a module record in the log folder (not on standard
# error), exit code 1, no hang, no crash.
set -euo pipefail
kxcxctl="$1"

work="$(mktemp -d)"
trap 'kill "$watcher" 2>/dev/null || true; rm -rf "$work"' EXIT
cd "$work"
export KXCX_BACKEND=sim KXCX_SIM= KXCX_SIM_SOCKET="$work/sim.sock" KXCX_LOG_DIR="$work/logs"

"$kxcxctl" reg read 0x3C 0x04 --repeat 100000 --interval 5 >watch.out 2>watch.err &
watcher=$!

for _ in $(seq 100); do [ -S "$work/sim.sock" ] && break; sleep 0.05; done
[ -S "$work/sim.sock" ] || { echo "no control socket"; cat watch.err; exit 1; }

# (Outputs are read whole before grep -q looks at them: with pipefail, a writer cut off by an early
# match would fail the pipeline.)
listing="$("$kxcxctl" sim list)"
grep -q 'sim:RT4207-x6B6B:0 .*plugged' <<<"$listing" || { echo "sim list: $listing"; exit 1; }
"$kxcxctl" sim press photo
# A button held: the status reads 0x00 to 0x0E (0x0F is none held).
for _ in $(seq 100); do grep -q -x -E '0x0[0-9A-E]' watch.out && break; sleep 0.05; done
"$kxcxctl" sim release photo
"$kxcxctl" sim unplug sim:RT4207-x6B6B:0

status=0
for _ in $(seq 100); do kill -0 "$watcher" 2>/dev/null || break; sleep 0.05; done
if kill -0 "$watcher" 2>/dev/null; then echo "the watcher hangs after the unplug"; exit 1; fi
wait "$watcher" || status=$?

fail() { echo "$1"; echo "--- stdout"; tail -5 watch.out; echo "--- stderr"; tail -20 watch.err; exit 1; }
[ "$status" -eq 1 ] || fail "exit code $status, expected 1"
grep -q '^0x0F$' watch.out || fail "no idle button state before the press"
grep -q -x -E '0x0[0-9A-E]' watch.out || fail "the button press was not seen"
grep -q 'kxcxctl reg: reading the register failed' watch.err || fail "no error line"
grep -q 'CamDevice::ioctlCamDevice 00000013' logs/kxCxModLog.txt || fail "no module record of the failure"
if grep -q '^\[e\]' watch.err; then fail "module records on standard error without -v"; fi
echo "watcher saw $(wc -l <watch.out) reads, the button and a clean failure after the unplug"
