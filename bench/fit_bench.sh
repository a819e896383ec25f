#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Times `parlatone fit` against sox and lame doing the same work, in one
# interleaved hyperfine run, and checks the peak memory of the long runs.
#   bench/fit_bench.sh [runs]
# Needs a build and Debian's hyperfine, sox and lame; PARLATONE_BUILD_DIR
# chooses the build folder. The inputs take about 2.5 GB of disk for the
# run's length.
set -euo pipefail
runs="${1:-3}"
needed=(sox lame /usr/bin/time)
# shellcheck source=bench_common.sh
source "$(dirname "${BASH_SOURCE[0]}")/bench_common.sh"

echo "Making the inputs in $work ..."
# Ten minutes of studio sound: 48 kHz, 24 bits, two different channels.
sox -n -r 48000 -b 24 -c 2 long.wav synth 600 pinknoise pinknoise vol 0.3
# The same audio as a plain 16-bit WAVE, for lame, which takes no 24 bits.
sox long.wav -b 16 long16.wav
sox -n -r 48000 -b 16 -c 2 minute.wav synth 60 sine 440 sine 660 vol 0.3
mkdir many out-ours out-sox
for i in $(seq -w 1 200); do
  ln minute.wav "many/M$i.wav"
done

cat > commands.txt << EOF2
long	$tool --series 1 fit --yes out-ours long.wav > /dev/null
long	sox long.wav -r 44100 -b 16 -c 1 out-sox/long.wav
many	$tool --series 1 fit --yes out-ours many/*.wav > /dev/null
many	for f in many/*.wav; do sox "\$f" -r 44100 -b 16 -c 1 "out-sox/\${f##*/}"; done
mp3	$tool --series 7 fit --yes out-ours long.wav > /dev/null
mp3	lame --quiet -m m -b 128 long16.wav out-sox/long.mp3
EOF2
time_pairs '{"long": 1 / 2, "many": 1 / 3, "mp3": 1.1}'

echo "Peak memory (target under 64 MB):"
for series in 1 7; do
  /usr/bin/time -f "  series $series, ten minutes: %M KB" "$tool" --series "$series" fit --yes \
    out-ours long.wav > /dev/null
done
