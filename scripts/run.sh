#!/usr/bin/env bash
# make run: the editor with a simulated controller on Com2 (velmorin-sim on a
# pseudo-terminal), so that compiling, sending, reading back and running a
# program all work without hardware. The simulator stops when the editor ends.
#   VELMORIN_SIM=0 make run    the editor alone, with the real serial ports
# Without the editor (a build without Qt) it shows an example in the terminal.
set -euo pipefail
build="${1:-build}"; shift || true
root="$(cd "$(dirname "$0")/.." && pwd)"
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

"$build/velmorin-sim" --link "$link" --fifo "$commands" --verbose </dev/null >"$log" 2>&1 &
sim=$!
stop_sim() {
  kill "$sim" 2>/dev/null || true
  wait "$sim" 2>/dev/null || true
}
trap stop_sim EXIT

for _ in $(seq 50); do
  [ -L "$link" ] && break
  if ! kill -0 "$sim" 2>/dev/null; then
    echo "run: velmorin-sim did not start:" >&2; cat "$log" >&2; exit 1
  fi
  sleep 0.1
done
[ -L "$link" ] || { echo "run: velmorin-sim did not start" >&2; exit 1; }

cat <<INFO
Simulated controller (identifier 1) on Com2: $link
  switch an input:  echo "on E1" > $commands   (off E1, toggle E1, set V01 42, fault silent, ...)
  see its state:    echo show > $commands; tail $log
  from a terminal:  $build/velmorin-cli rom --port $link
INFO

status=0
VELMORIN_COM2="$link" "$build/velmorin" "$@" || status=$?
exit "$status"
