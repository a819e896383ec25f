#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Shared by the whole-run benchmarks: finds the tool, checks the programs
# named, makes a work folder (removed at exit) with the tool's own user
# folders inside it and changes into it. Sourced after `set -euo pipefail`
# with the programs in `needed` and the run count in `runs`.
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
root="$(cd "$here/.." && pwd)"
tool="${PARLATONE_BUILD_DIR:-$root/build}/bin/parlatone"
for program in hyperfine python3 "${needed[@]}"; do
  command -v "$program" > /dev/null || { echo "${0##*/}: $program is missing" >&2; exit 2; }
done
[ -x "$tool" ] || { echo "${0##*/}: build first ($tool is missing)" >&2; exit 2; }

work="$(mktemp -d "${TMPDIR:-/tmp}/parlatone-bench.XXXXXX")"
trap 'rm -rf "$work"' EXIT
export HOME="$work/home" XDG_CONFIG_HOME="$work/home/config" XDG_CACHE_HOME="$work/home/cache"
mkdir -p "$HOME"
cd "$work"

# Times the pairs of commands.txt (case TAB command, ours first, then the
# peer) interleaved in one hyperfine run and prints each ratio against its
# target from the Python dict literal given.
time_pairs() {
  local targets="$1"
  echo "Timing ($runs runs each) ..."
  local commands=() command
  while IFS=$'\t' read -r _ command; do
    commands+=("$command")
  done < commands.txt
  hyperfine --style none --warmup 1 --runs "$runs" --export-json times.json "${commands[@]}" > /dev/null
  python3 - "$work/commands.txt" "$work/times.json" "$targets" << 'PYTHON'

import json
import sys

groups = [line.rstrip("\n").split("\t") for line in open(sys.argv[1]) if line.strip()]
results = json.load(open(sys.argv[2]))["results"]
targets = eval(sys.argv[3], {"__builtins__": {}})  # our own dict of ratios, fractions allowed
print(f"{'case':<10} {'parlatone':>12} {'peer':>12} {'ratio':>8} {'target':>8}")
for i in range(0, len(groups), 2):
    name = groups[i][0]
    ours = results[i]["median"] * 1000
    peer = results[i + 1]["median"] * 1000
    ratio = ours / peer
    verdict = "ok" if ratio <= targets[name] else "MISSED"
    print(f"{name:<10} {ours:10.1f}ms {peer:10.1f}ms {ratio:8.2f} {targets[name]:8.2f} {verdict}")
PYTHON
}
