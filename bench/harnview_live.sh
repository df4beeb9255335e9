#!/usr/bin/env bash
# The whole viewer at 30 frames/s: Harnview on a simulated board under a virtual display for a
# while (20 s by default), after a few seconds to settle. Prints the process's CPU use in percent
# of one core over that time and the latency from the frame callback to the end of the canvas's
# paint of that frame (p50, p99, max, in ms). Given kxcxctl, it records all the while (pressing
# the scope's record button) and prints the frames the recording got and those dropped waiting
# for the encoder.
#   bench/harnview_live.sh HARNVIEW [SECONDS [KXCXCTL]]
set -euo pipefail
. "$(dirname "$0")/../scripts/virtual-display.sh"
harnview="$(realpath "$1")"
seconds="${2:-20}"
kxcxctl="${3:+$(realpath "$3")}"

work="$(mktemp -d)"
xvfb=""
viewer=""
cleanup() {
    [ -z "$viewer" ] || kill -9 "$viewer" 2>/dev/null || true
    [ -z "$xvfb" ] || kill "$xvfb" 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT
export KXCX_BACKEND=sim KXCX_SIM= KXCX_SIM_SOCKET="$work/sim.sock" KXCX_LOG_DIR="$work/logs"
export HARNVIEW_LATENCY_LOG="$work/latency.txt" XDG_CONFIG_HOME="$work/config"

start_virtual_display "$work" || { echo "Xvfb did not start" >&2; exit 1; }

"$harnview" --simulate --root "$work/root" >"$work/viewer.log" 2>&1 &
viewer=$!
sleep 3
kill -0 "$viewer" 2>/dev/null || { echo "Harnview ended early" >&2; tail "$work/viewer.log" >&2; exit 1; }

press() {
    "$kxcxctl" sim press record >/dev/null
    sleep 0.2
    "$kxcxctl" sim release record >/dev/null
}
[ -z "$kxcxctl" ] || press

# utime + stime of the process, in clock ticks.
ticks() { awk '{ print $14 + $15 }' "/proc/$viewer/stat"; }
hz="$(getconf CLK_TCK)"
start_ticks="$(ticks)"
start_ns="$(date +%s%N)"
sleep "$seconds"
end_ticks="$(ticks)"
end_ns="$(date +%s%N)"
[ -z "$kxcxctl" ] || { press; sleep 1; }
kill -TERM "$viewer"
for _ in $(seq 100); do kill -0 "$viewer" 2>/dev/null || break; sleep 0.1; done
wait "$viewer" 2>/dev/null || true
viewer=""

awk -v t="$((end_ticks - start_ticks))" -v hz="$hz" -v ns="$((end_ns - start_ns))" \
    'BEGIN { printf "cpu: %.1f%% of one core over %.1f s at 30 frames/s\n", 100 * t / hz / (ns / 1e9), ns / 1e9 }'
fps="$(grep -ao 'FPS=[0-9]*' "$work"/logs/kxCxLog*.txt | cut -d= -f2 | tail -n "$seconds" | tr '\n' ' ')"
echo "FPS lines: $fps"
if [ -n "$kxcxctl" ]; then
    grep -ao 'Recording .*' "$work"/logs/kxCxLog*.txt | tail -1
fi
[ -s "$work/latency.txt" ] || { echo "no latencies were written" >&2; exit 1; }
sort -n "$work/latency.txt" | awk '{ v[NR] = $1 } END {
    p50 = v[int((NR - 1) * 0.50) + 1]; p99 = v[int((NR - 1) * 0.99) + 1]
    printf "callback to painted: p50 %.2f ms, p99 %.2f ms, max %.2f ms over %d frames\n",
           p50 / 1000, p99 / 1000, v[NR] / 1000, NR }'
