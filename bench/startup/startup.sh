#!/usr/bin/env bash
# Start-up bench: on one virtual X display (Xvfb), starts the editor with an
# example and a bare Qt window in turn and reports the time from the start
# of each program to its first painted main window, the median of 7, and
# their ratio; then the same for the processor time each had used by then,
# all threads and the interface thread alone, which a busy machine disturbs
# much less than the wall-clock time.
#
#   bench/startup/startup.sh [BUILD] [EXAMPLE.ldr]
#   VELMORIN=/other/velmorin bench/startup/startup.sh build    another editor
#
# The times come from a plugin Qt loads into both programs
# (build/bench/startup/plugins/generic): at the first paint it prints the
# time and ends the program. Settings go to a folder of their own.
set -euo pipefail

here="$(cd "$(dirname "$0")" && pwd)"
build="$(cd "${1:-build}" && pwd)"
example="${2:-$here/../../examples/counter.ldr}"
editor="${VELMORIN:-$build/velmorin}"
bare="$build/bench/startup/bare_window"
plugins="$build/bench/startup/plugins"
runs="${RUNS:-7}"

for needed in "$editor" "$bare" "$plugins/generic/libfirstpaintprobe.so"; do
  [ -e "$needed" ] || { echo "startup: $needed is missing (cmake --build $build --target velmorin bare_window firstpaintprobe)" >&2; exit 1; }
done
command -v Xvfb >/dev/null || { echo "startup: Xvfb is missing (Debian package xvfb)" >&2; exit 1; }

# A display nobody uses.
display=90
while [ -e "/tmp/.X11-unix/X$display" ] || [ -e "/tmp/.X$display-lock" ]; do display=$((display + 1)); done
scratch="$(mktemp -d)"
Xvfb ":$display" -screen 0 1280x1024x24 -nolisten tcp >"$scratch/xvfb.log" 2>&1 &
xvfb=$!
trap 'kill "$xvfb" 2>/dev/null; wait "$xvfb" 2>/dev/null; rm -rf "$scratch"' EXIT
for _ in $(seq 100); do
  [ -e "/tmp/.X11-unix/X$display" ] && break
  kill -0 "$xvfb" 2>/dev/null || { cat "$scratch/xvfb.log" >&2; exit 1; }
  sleep 0.05
done

export DISPLAY=":$display" QT_QPA_PLATFORM=xcb QT_PLUGIN_PATH="$plugins" QT_QPA_GENERIC_PLUGINS=firstpaintprobe
export XDG_CONFIG_HOME="$scratch/config" XDG_RUNTIME_DIR="$scratch/runtime"
mkdir -p "$XDG_CONFIG_HOME" "$XDG_RUNTIME_DIR"
chmod 700 "$XDG_RUNTIME_DIR"

# Microseconds from the start of the program to its first painted window,
# and of processor time used by then (all threads, the interface thread).
time_to_paint() {
  local start painted cpu main
  start=$(date +%s%N)
  read -r painted cpu main < <("$@" 2>/dev/null | head -n 1) || true
  [ -n "${painted:-}" ] || { echo "startup: $1 painted no window" >&2; exit 1; }
  echo "$(((painted - start) / 1000)) $((cpu / 1000)) $((main / 1000))"
}

# The median of column $1.
median() { awk -v c="$1" '{ print $c }' | sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }

# Font caches and the like are warm before anything counts.
time_to_paint "$editor" "$example" >/dev/null
time_to_paint "$bare" >/dev/null

: >"$scratch/editor"
: >"$scratch/bare"
for _ in $(seq "$runs"); do
  time_to_paint "$editor" "$example" >>"$scratch/editor"
  time_to_paint "$bare" >>"$scratch/bare"
done
report() {
  local what=$1 column=$2 e b
  e=$(median "$column" <"$scratch/editor")
  b=$(median "$column" <"$scratch/bare")
  echo "$what, editor:      $(awk -v c="$column" '{ printf "%s ", $c }' "$scratch/editor")us"
  echo "$what, bare window: $(awk -v c="$column" '{ printf "%s ", $c }' "$scratch/bare")us"
  awk -v e="$e" -v b="$b" -v w="$what" -v n="$runs" \
    'BEGIN { printf "%s, median of %d: editor %.1f ms, bare window %.1f ms, ratio %.2f\n", w, n, e / 1000, b / 1000, e / b }'
}
report "to the first painted window" 1
report "processor time by then" 2
report "interface thread's share of it" 3
