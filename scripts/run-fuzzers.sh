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
  options=()
  case "$name" in
    source_file_fuzzer) seconds="${SOURCE_FUZZ_SECONDS:-60}" ;;
    # A whole grid drawn cell by cell, or a source file of 873 records with
    # their names, takes up to about 36 KB.
    compile_fuzzer) seconds="${COMPILE_FUZZ_SECONDS:-60}"; options=(-max_len=40960) ;;
  esac
  corpus="$(mktemp -d)"
  if [ -d "$root/fuzz/seeds/$name" ]; then cp -r "$root/fuzz/seeds/$name/." "$corpus/"; fi
  case "$name" in
    source_file_fuzzer) cp "$root"/examples/*.ldr "$corpus/" 2>/dev/null || true ;;
  esac
  log="$(mktemp)"
  echo "fuzz: $name for ${seconds}s ${options[*]}"
  if ASAN_OPTIONS=detect_leaks=1 "$fuzzer" -max_total_time="$seconds" -rss_limit_mb=2048 \
      -print_final_stats=1 "${options[@]}" "$corpus" >"$log" 2>&1; then
    runs="$(grep -E '^stat::number_of_executed_units' "$log" | awk '{print $2}')"
    coverage="$(grep -E '[[:space:]](DONE|pulse|NEW|REDUCE)[[:space:]]' "$log" | tail -n 1 | grep -oE 'cov: [0-9]+ ft: [0-9]+' || true)"
    echo "fuzz: $name clean, ${runs:-?} executions, ${coverage:-coverage ?}"
  else
    echo "fuzz: $name FAILED"; tail -n 60 "$log"; status=1
  fi
  rm -rf "$corpus" "$log"
done
exit $status
