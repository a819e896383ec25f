#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The peak memory and the accounting of a ten-minute recording: SDL's disk
# driver reads a 1 kHz sine (then silence) as fast as the delay lets it,
# `parlatone record` streams it into the take and writes the series' file.
# The memory must stay bounded (under 32 MB) whatever the length; with the
# delay at 0 the driver delivers far faster than any microphone, and samples
# the writer cannot keep up with show as overruns.
#   bench/record_bench.sh [delay-ms]     (default 2: about 20 times real time)
# PARLATONE_BUILD_DIR chooses the build folder.
set -euo pipefail
delay="${1:-2}"
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
tool="${PARLATONE_BUILD_DIR:-$root/build}/bin/parlatone"
[ -x "$tool" ] || { echo "${0##*/}: build first ($tool is missing)" >&2; exit 2; }
work="$(mktemp -d "${TMPDIR:-/tmp}/parlatone-bench.XXXXXX")"
trap 'rm -rf "$work"' EXIT
export HOME="$work/home" XDG_CONFIG_HOME="$work/home/config" XDG_CACHE_HOME="$work/home/cache"
mkdir -p "$HOME"
cd "$work"
python3 - << 'PYTHON'
import math, struct
rate, amplitude = 22050, 32767 * 10 ** (-12 / 20)
with open("sine.raw", "wb") as out:
    out.write(b"".join(struct.pack("<h", round(amplitude * math.sin(2 * math.pi * 1000 * i / rate)))
                       for i in range(10 * rate)))
PYTHON
SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILEIN=sine.raw SDL_DISKAUDIODELAY="$delay" \
  /usr/bin/time -f "peak memory: %M KB, %e s" \
  "$tool" --series 1 record --seconds 600 --json take.wav 2>&1 | grep -v CRITICAL
