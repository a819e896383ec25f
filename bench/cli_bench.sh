#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Times whole runs of the command-line tool against the programs an operator
# would otherwise use for the same work, in one run, interleaved by
# hyperfine, and prints each median and the ratio to its peer.
#   bench/cli_bench.sh [runs]
# Needs a build (scripts/test or scripts/run) and Debian's hyperfine, sox,
# libsox-fmt-mp3 and lame; PARLATONE_BUILD_DIR chooses the build folder.
set -euo pipefail
runs="${1:-10}"
needed=(sox soxi lame)
# shellcheck source=bench_common.sh
source "$(dirname "${BASH_SOURCE[0]}")/bench_common.sh"

echo "Making the inputs in $work ..."
sox -n -r 44100 -b 16 -c 2 stereo10min.wav synth 600 sine 440 sine 660 vol 0.3
sox -n -r 22050 -b 16 -c 1 voice.wav synth 2 sine 500 vol 0.3
lame --quiet -b 128 --add-id3v2 --tt "Announcement" --ta "Parlatone" voice.wav voice.mp3
mkdir wave mp3 card-sounds
for i in $(seq -w 1 1000); do
  cp voice.wav "wave/V$i.wav"
  cp voice.mp3 "mp3/M$i.mp3"
done
# A project of 255 voices, each on a channel of its own.
{
  printf '#2\r\n'
  for i in $(seq 0 254); do
    printf '%d,S%03d.wav\r\n' "$i" "$i"
    sox -n -r 22050 -b 16 -c 1 "card-sounds/S$(printf %03d "$i").wav" synth 2 sine $((300 + i)) vol 0.3
  done
  printf '#3\r\n'
  for i in $(seq 0 254); do printf '%d,1,1,%d\r\n' "$i" "$i"; done
  # The demo's card information, with its model line before the sections.
  sed -n '/^#1/,$p' "$root/examples/demo/DEMO.wpj"
} > card-sounds/BENCH.wpj
sed -i '1i LYR-KX3-3J\r' card-sounds/BENCH.wpj
mkdir cards cp-target

cat > commands.txt << EOF
to-mono	$tool to-mono --yes stereo10min.wav mono.wav
to-mono	sox stereo10min.wav sox-mono.wav remix 1
silence	$tool silence --yes silence.wav --seconds 3600
silence	sox -D -n -r 22050 -b 16 -c 1 sox-silence.wav trim 0 3600
info-wave	$tool --series 1 info --json wave/*.wav > /dev/null
info-wave	soxi -D wave/*.wav > /dev/null
info-mp3	$tool --series 7 info --json mp3/*.mp3 > /dev/null
info-mp3	soxi -D mp3/*.mp3 > /dev/null
make-card	$tool --series 1 --card-path cards make-card --yes card-sounds/BENCH.wpj > /dev/null
make-card	rm -rf cp-target/* && cp card-sounds/*.wav card-sounds/BENCH.wpj cp-target/ && sync -f cp-target
EOF

time_pairs '{"to-mono": 1 / 3, "silence": 1 / 10, "info-wave": 1.5, "info-mp3": 1.5, "make-card": 1.3}'
