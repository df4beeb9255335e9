#!/usr/bin/env bash
# kxcxctl through kxcx-usbmock, as a person tries the real-board path without a board: the board
# is listed, its firmware versions read and its FPGA loaded over libusb; a stream ends cleanly when
# the board is pulled out through the control channel; a board whose device node may not be opened
# is named with the sentence the README's troubleshooting gives; the launcher passes on the exit
# status.
set -euo pipefail
usbmock="$1"
kxcxctl="$2"
data="$3"

work="$(mktemp -d)"
trap 'kill "$streamer" 2>/dev/null || true; rm -rf "$work"' EXIT
streamer=""
cd "$work"
export KXCX_SIM= KXCX_SIM_SOCKET="$work/sim.sock" KXCX_LOG_DIR="$work/logs"

fail() { echo "$1"; for f in "$work"/*.out "$work"/*.err; do echo "--- $f"; tail -20 "$f"; done; exit 1; }

"$usbmock" -- "$kxcxctl" list >list.out 2>list.err || fail "list failed"
grep -q '^RT4207-x6B6B_00 .*rtCamDevice' list.out || fail "the board was not listed"
grep -q 'sim:RT4207-x6B6B:0 at usb:1-1' list.err || fail "the launcher did not say where the board is"

# A board the device map names whose node the command may not open: the node in the test bed's
# folder is made mode 0000, and as root the command runs without the capabilities that override
# file modes.
printf 'RT4207-x6B6B 04b4:8613\n' >map.txt
drop=""
if [ "$(id -u)" -eq 0 ]; then
    command -v setpriv >/dev/null || fail "setpriv is needed to run a command as root without CAP_DAC_OVERRIDE"
    drop="setpriv --bounding-set=-dac_override,-dac_read_search --"
fi
status=0
KXCX_DEVICE_MAP="$work/map.txt" "$usbmock" --os-descriptors none -- sh -c \
    'chmod 000 "$UMOCKDEV_DIR/dev/bus/usb/001/002" && exec '"$drop"' "$0" versions' "$kxcxctl" \
    >perm.out 2>perm.err || status=$?
[ "$status" -eq 1 ] || fail "versions on a refused node ended with $status, expected 1"
sentence='no permission on /dev/bus/usb/001/002; see the README on udev rules'
grep -qF "RT4207-x6B6B_00 could not be opened: $sentence" perm.err ||
    fail "kxcxctl did not say it has no permission on the node"
[ "$(cat logs/kxCxLog*.txt | grep -cF "$sentence")" -eq 1 ] ||
    fail "the library's log does not name the refused node once"

"$usbmock" "RT4207,fpga=1.20" -- sh -c \
    "'$kxcxctl' versions && '$kxcxctl' fpga load '$data/firmware/default.bit' && '$kxcxctl' versions" \
    >load.out 2>load.err || fail "the FPGA load failed"
grep -q 'FPGA done' load.out || fail "the FPGA did not report done"
[ "$(grep -c 'FPGA  *1.20' load.out)" -eq 1 ] && [ "$(grep -c 'FPGA  *1.30' load.out)" -eq 1 ] ||
    fail "the versions before and after the load are not 1.20 and 1.30"

"$usbmock" -- "$kxcxctl" stream 30 >stream.out 2>stream.err &
streamer=$!
for _ in $(seq 100); do grep -q 'frames/s' stream.out 2>/dev/null && break; sleep 0.1; done
grep -q 'frames/s' stream.out || fail "no frames within 10 s"
"$kxcxctl" sim unplug sim:RT4207-x6B6B:0 >/dev/null
status=0
for _ in $(seq 100); do kill -0 "$streamer" 2>/dev/null || break; sleep 0.1; done
kill -0 "$streamer" 2>/dev/null && fail "the stream hangs after the unplug"
wait "$streamer" || status=$?
streamer=""
[ "$status" -eq 1 ] || fail "the stream ended with $status after the unplug, expected 1"
grep -q 'the board was removed' stream.err || fail "the stream did not say the board was removed"

status=0
"$usbmock" -- sh -c 'exit 7' 2>/dev/null || status=$?
[ "$status" -eq 7 ] || fail "the launcher ended with $status for a command's 7"
status=0
"$usbmock" 2>/dev/null || status=$?
[ "$status" -eq 2 ] || fail "the launcher ended with $status without a command, expected 2"
echo "listed, refused node named, loaded 1.20 -> 1.30 over libusb, stream ended by the unplug, statuses passed on"
