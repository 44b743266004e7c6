#!/usr/bin/env bash
# Runs every fuzz target of a sanitizer build briefly; a crash, leak or
# sanitizer report fails the run.
set -euo pipefail
build="${1:-build-san}"
root="$(cd "$(dirname "$0")/.." && pwd)"
shopt -s nullglob
status=0
for fuzzer in "$build"/fuzz/*_fuzzer; do
  name="$(basename "$fuzzer")"
  seconds="${FUZZ_SECONDS:-30}"
  [ "$name" = source_file_fuzzer ] && seconds="${SOURCE_FUZZ_SECONDS:-60}"
  corpus="$(mktemp -d)"
  if [ -d "$root/fuzz/seeds/$name" ]; then cp -r "$root/fuzz/seeds/$name/." "$corpus/"; fi
  case "$name" in
    source_file_fuzzer) cp "$root"/examples/*.ldr "$corpus/" 2>/dev/null || true ;;
  esac
  log="$(mktemp)"
  echo "fuzz: $name for ${seconds}s"
  if ASAN_OPTIONS=detect_leaks=1 "$fuzzer" -max_total_time="$seconds" -rss_limit_mb=2048 \
      -print_final_stats=1 "$corpus" >"$log" 2>&1; then
    runs="$(grep -E '^stat::number_of_executed_units' "$log" | awk '{print $2}')"
    echo "fuzz: $name clean, ${runs:-?} executions"
  else
    echo "fuzz: $name FAILED"; tail -n 60 "$log"; status=1
  fi
  rm -rf "$corpus" "$log"
done
exit $status
