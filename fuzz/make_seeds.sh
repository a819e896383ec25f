#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Writes the seed corpora of the fuzz targets that read card volumes, card
# folders, recovery files, JSON projects and sound files:
#   fuzz/make_seeds.sh [build-dir]
# The build dir (default build-fuzz) must hold fuzz_seed_maker, which writes
# the seeds that come from the program's own writers. Boot sectors come from
# mkfs.fat; FLAC, Ogg, AIFF and MP3 seeds from sox and lame (Debian packages
# dosfstools, sox, libsox-fmt-mp3 and lame). Every sound is a fraction of a
# second, to keep the corpora small and the runs fast.
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
build_dir="${1:-$here/../build-fuzz}"
corpus="$here/corpus"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

# Files named found_* are inputs the fuzzers once failed on: they stay.
for target in boot_sector card_folder recovery_file project_json decoders levels; do
  mkdir -p "$corpus/$target"
done

"$build_dir/bin/fuzz_seed_maker" "$corpus"

# The first 512 bytes of freshly made volumes: each FAT type, near the
# cluster counts where one type gives way to the next, and a few cluster
# sizes.
boot() {  # name, mkfs.fat options..., size in KiB last
  local name="$1"
  shift
  local args=("$@")
  local kib="${args[-1]}"
  unset 'args[-1]'
  rm -f "$work/volume.img"
  mkfs.fat -C -i 12345678 -n CARD "${args[@]}" "$work/volume.img" "$kib" >/dev/null
  head -c 512 "$work/volume.img" >"$corpus/boot_sector/$name"
}
boot fat12_1m -F 12 1024
boot fat12_4m_s8 -F 12 -s 8 4096
boot fat16_16m -F 16 16384
boot fat16_64m_s4 -F 16 -s 4 65536
boot fat16_128m_s64 -F 16 -s 64 131072
boot fat32_64m -F 32 65536
boot fat32_300m_s1 -F 32 -s 1 307200
boot fat16_4k_sectors -F 16 -S 4096 65536

# Short sounds through sox and lame; the first byte picks the suffix the
# targets give the file: 1 ".flac", 2 ".ogg", 3 ".aiff", 4 ".mp3".
sound() {  # name, suffix byte, file suffix, channels, sox effects...
  local name="$1" first="$2" suffix="$3" channels="$4"
  shift 4
  sox -n -r 22050 -c "$channels" "$work/$name.$suffix" "$@"
  for target in decoders levels; do
    { printf "\\x0$first"; cat "$work/$name.$suffix"; } >"$corpus/$target/$name.$suffix"
  done
}
sound tone 1 flac 1 synth 0.1 sine 440 vol 0.5
sound stereo 1 flac 2 synth 0.05 sine 300 sine 900
sound tone 2 ogg 1 synth 0.1 sine 440 vol 0.5
sound stereo 2 ogg 2 synth 0.05 sine 300 sine 900
sound tone 3 aiff 1 synth 0.08 sine 440 vol 0.5
sound silence 3 aiff 1 trim 0 0.05
sox -n -r 22050 -c 1 -b 16 "$work/tone.wav" synth 0.1 sine 440 vol 0.5
for bitrate in 32 64; do
  lame --quiet -b "$bitrate" "$work/tone.wav" "$work/lame$bitrate.mp3"
done
lame --quiet -V 5 "$work/tone.wav" "$work/lame_vbr.mp3"
for name in lame32 lame64 lame_vbr; do
  for target in decoders levels; do
    { printf '\x04'; cat "$work/$name.mp3"; } >"$corpus/$target/$name.mp3"
  done
done
du -sh "$corpus"/{boot_sector,card_folder,recovery_file,project_json,decoders,levels}
