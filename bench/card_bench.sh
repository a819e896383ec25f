#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Times `parlatone write-card` (write in name order, each file flushed,
# sync, read back and compare) of a 255-voice card folder onto a FAT16 image
# mounted through FUSE, against cp + sync + cmp of the same files onto the
# same card, in one interleaved hyperfine run.
#   bench/card_bench.sh [runs]
# Needs root (FUSE), a build, and Debian's hyperfine, sox, dosfstools and
# fusefat; PARLATONE_BUILD_DIR chooses the build folder.
set -euo pipefail
runs="${1:-5}"
needed=(sox mkfs.fat fusefat fusermount)
# shellcheck source=bench_common.sh
source "$(dirname "${BASH_SOURCE[0]}")/bench_common.sh"
trap 'fusermount -u "$work/card" 2> /dev/null || true; rm -rf "$work"' EXIT

echo "Making the inputs in $work ..."
mkdir folder card
{
  printf '#2\r\n'
  for i in $(seq 0 254); do
    name="S$(printf %03d "$i").wav"
    printf '%d,%s\r\n' "$i" "$name"
    sox -n -r 22050 -b 16 -c 1 "folder/$name" synth 2 sine $((300 + i)) vol 0.3
  done
} > folder/BENCH.wpj
mkfs.fat -F 16 -C card.img 65536 > /dev/null
fusefat -o "rw+,fsname=$work/card.img,subtype=fusefat" card.img card

cat > commands.txt << EOF2
write	$tool write-card --yes folder card > /dev/null
write	rm -f card/* && cp folder/* card/ && sync -f card && for f in folder/*; do cmp "\$f" "card/\${f##*/}"; done
EOF2
time_pairs '{"write": 1.3}'
