#!/usr/bin/env bash
# Starts the editor when it is built, else shows an example in the terminal.
set -euo pipefail
build="${1:-build}"; shift || true
root="$(cd "$(dirname "$0")/.." && pwd)"
if [ -x "$build/velmorin" ]; then
  exec "$build/velmorin" "$@"
fi
exec "$build/velmorin-cli" show "$root/examples/latch.ldr"
