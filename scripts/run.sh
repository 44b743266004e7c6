#!/usr/bin/env bash
# make run: the editor with a simulated controller on Com2 (velmorin-sim on a
# pseudo-terminal), so that compiling, sending, reading back and running a
# program all work without hardware. The simulator stops when the editor ends.
#   VELMORIN_SIM=0 make run    the editor alone, with the real serial ports
# Without the editor (a build without Qt) it shows an example in the terminal.
set -euo pipefail
build="${1:-build}"; shift || true
root="$(cd "$(dirname "$0")/.." && pwd)"
# Absolute, so that the command lines printed below work from any folder.
build="$(cd "$build" && pwd)"
if [ ! -x "$build/velmorin" ]; then
  exec "$build/velmorin-cli" show "$root/examples/latch.ldr"
fi
if [ "${VELMORIN_SIM:-1}" = 0 ]; then
  exec "$build/velmorin" "$@"
fi

dir="${XDG_RUNTIME_DIR:-$build}/velmorin-sim"
mkdir -p "$dir"
link="$dir/com2"
commands="$dir/commands"
log="$dir/sim.log"

# A link that leads somewhere is the line of a simulator that runs (that of
# another make run): its editor keeps it, and its log is left alone.
if [ -e "$link" ]; then
  echo "run: a simulator already runs on $link -> $(readlink "$link") (another make run?)" >&2
  echo "     end that one first, or reach it with: $build/velmorin-cli rom --port $link" >&2
  exit 1
fi

"$build/velmorin-sim" --link "$link" --fifo "$commands" --verbose </dev/null >"$log" 2>&1 &
sim=$!
stop_sim() {
  kill "$sim" 2>/dev/null || true
  wait "$sim" 2>/dev/null || true
}
trap stop_sim EXIT

# The simulator says where it is once its link is in place.
started() { grep -q "^velmorin-sim: controller" "$log" 2>/dev/null; }
for _ in $(seq 50); do
  started && break
  if ! kill -0 "$sim" 2>/dev/null; then
    echo "run: velmorin-sim did not start:" >&2; cat "$log" >&2; exit 1
  fi
  sleep 0.1
done
started || { echo "run: velmorin-sim did not start" >&2; exit 1; }

# Only the editor is told where the simulator is (VELMORIN_COM2): another
# terminal needs the path spelled out.
cat <<INFO
Simulated controller (identifier 1) on Com2: $link -> $(readlink "$link")
From another terminal, while the editor runs:
  $build/velmorin-cli watch --port $link E1 S1
  VELMORIN_COM2=$link $build/velmorin-cli rom --port COM2
  switch an input:  echo "on E1" > $commands   (off E1, toggle E1, set V01 42, fault silent, ...)
  see its state:    echo show > $commands; tail $log
INFO

status=0
VELMORIN_COM2="$link" "$build/velmorin" "$@" || status=$?
exit "$status"
