#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Times `parlatone levels` against sox's stats (and ffmpeg's loudness meter
# where ffmpeg is installed), one process a file as an operator would run
# them, in one interleaved hyperfine run; then the peak memory of the long
# file. Each of our runs starts with an empty cache.
#   bench/levels_bench.sh [runs]
# Needs a build and Debian's hyperfine and sox; PARLATONE_BUILD_DIR chooses
# the build folder.
set -euo pipefail
runs="${1:-5}"
needed=(sox /usr/bin/time)
# shellcheck source=bench_common.sh
source "$(dirname "${BASH_SOURCE[0]}")/bench_common.sh"

echo "Making the inputs in $work ..."
# Ten minutes of programme: 48 kHz, 16 bits, two different channels.
sox -n -r 48000 -b 16 -c 2 long.wav synth 600 pinknoise pinknoise vol 0.3
# 255 one-second voices, each a little different.
mkdir voices
for i in $(seq -w 1 255); do
  sox -n -r 22050 -b 16 -c 1 "voices/V$i.wav" synth 1 sine "$((300 + 10#$i * 3))" vol 0.4
done
fresh="rm -rf '$XDG_CACHE_HOME/parlatone-editor/Levels' &&"

cat > commands.txt << EOF2
long	$fresh $tool levels long.wav > /dev/null
long	sox long.wav -n stats 2> /dev/null
voices	$fresh $tool levels voices/*.wav > /dev/null
voices	for f in voices/*.wav; do sox "\$f" -n stats 2> /dev/null; done
EOF2
time_pairs '{"long": 1 / 2, "voices": 1 / 2}'

if command -v ffmpeg > /dev/null; then
  echo "ffmpeg's loudness meter, for comparison:"
  hyperfine --style basic --warmup 1 --runs "$runs" \
    "$fresh $tool levels long.wav > /dev/null" \
    "ffmpeg -nostats -hide_banner -i long.wav -af ebur128 -f null - 2> /dev/null" | grep -E "Time|±"
fi

echo "Peak memory of the long file (bounded whatever its length):"
rm -rf "$XDG_CACHE_HOME/parlatone-editor/Levels"
/usr/bin/time -f "  ten minutes: %M KB" "$tool" levels long.wav > /dev/null
