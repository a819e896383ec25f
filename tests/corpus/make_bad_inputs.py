#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Writes the bad-input corpus: malformed sound, control, settings and element
files that operators receive from others. Run from anywhere; the files land in
tests/corpus/bad/. The outcome each must have is in tests/corpus/manifest.tsv,
kept by hand: this script only makes the bytes."""
import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))
OUT = os.path.join(HERE, "bad")


def le16(v):
    return struct.pack("<H", v & 0xFFFF)


def le32(v):
    return struct.pack("<I", v & 0xFFFFFFFF)


def chunk(cid, body, size=None):
    data = cid + le32(len(body) if size is None else size) + body
    return data + (b"\0" if len(body) % 2 else b"")


def fmt(tag=1, channels=1, rate=22050, bits=16, size=16, extra=b""):
    align = channels * bits // 8
    body = le16(tag) + le16(channels) + le32(rate) + le32(rate * align) + le16(align) + le16(bits)
    return chunk(b"fmt ", (body + extra)[:size] if size < 16 else body + extra, size)


def riff(*chunks, form=b"WAVE", size=None, magic=b"RIFF"):
    body = form + b"".join(chunks)
    return magic + le32(len(body) if size is None else size) + body


def samples(n=2000):
    return bytes((i * 37) & 0xFF for i in range(n))


def good_wave(channels=1, rate=22050, bits=16):
    return riff(fmt(channels=channels, rate=rate, bits=bits), chunk(b"data", samples()))


def mp3_frame(b1=0xFB, b2=0x90, b3=0xC4, length=417):
    return bytes([0xFF, b1, b2, b3]) + bytes(length - 4)


def control_file(voice_lines, program_lines=("0,1,1,0",), name_line=None, extra=b""):
    lines = [
        "#0", "Parlatone Editor", "Ver3.0.1", "2026/12/06", "12:00:00", "PTEDIT3J-KX3-01",
    ]
    text = "\r\n".join(lines) + "\r\n"
    text += "#2\r\n" + "".join(l + "\r\n" for l in voice_lines)
    text += "#3\r\n" + "".join(l + "\r\n" for l in program_lines)
    return text.encode("cp932", errors="replace") + extra


FILES = {}

# WAVE files that cannot be registered. Names stay within 12 bytes, so the
# file name rule lets them through to the sound format checks.
FILES["w_empty.wav"] = b""
FILES["w_text.wav"] = b"This is not a sound file.\r\n"
FILES["w_riff4.wav"] = b"RIFF"
FILES["w_rbig.wav"] = riff(fmt(), chunk(b"data", samples()), size=0xFFFFFFF0)
FILES["w_rifx.wav"] = riff(fmt(), chunk(b"data", samples()), magic=b"RIFX")
FILES["w_avi.wav"] = riff(fmt(), chunk(b"data", samples()), form=b"AVI ")
FILES["w_nofmt.wav"] = riff(chunk(b"data", samples()))
FILES["w_nodat.wav"] = riff(fmt())
FILES["w_order.wav"] = riff(chunk(b"data", samples()), fmt())
FILES["w_fmt8.wav"] = riff(fmt(size=8))
FILES["w_fmtbg.wav"] = riff(chunk(b"fmt ", fmt()[8:], size=0x7FFFFFFF))
FILES["w_ch0.wav"] = riff(fmt(channels=0), chunk(b"data", samples()))
FILES["w_rate0.wav"] = riff(fmt(rate=0), chunk(b"data", samples()))
FILES["w_bit24.wav"] = riff(fmt(bits=24), chunk(b"data", samples()))
FILES["w_bit0.wav"] = riff(fmt(bits=0), chunk(b"data", samples()))
FILES["w_float.wav"] = riff(fmt(tag=3, bits=32), chunk(b"data", samples()))
FILES["w_adpcm.wav"] = riff(fmt(tag=2, bits=4), chunk(b"data", samples()))
FILES["w_r1234.wav"] = riff(fmt(rate=12345), chunk(b"data", samples()))
FILES["w_stero.wav"] = good_wave(channels=2)
FILES["w_ch6.wav"] = riff(fmt(channels=6), chunk(b"data", samples()))
FILES["w_dbig.wav"] = riff(fmt(), chunk(b"data", samples(100), size=0x10000000))
FILES["w_junk.wav"] = riff(fmt(), b"junk" + le32(0xFFFFFFFF) + samples(10))
FILES["w_cut30.wav"] = good_wave()[:30]
FILES["w_listb.wav"] = riff(chunk(b"LIST", b"INFO", size=0xFFFFFF00), fmt(),
                                   chunk(b"data", samples()))
# Shapes found in a public collection of real and broken WAVE files: each is
# refused by the reader, or measured where the reader finds the data after all.
FILES["w_dnosz.wav"] = riff(fmt(), b"data")
FILES["w_dsz2.wav"] = riff(fmt(), b"data\x10\x00")
FILES["w_extcut.wav"] = riff(b"fmt " + le32(40) + fmt(tag=0xFFFE)[8:] + b"\x16")
FILES["w_ext18.wav"] = riff(fmt(tag=0xFFFE, size=18, extra=le16(22)), chunk(b"data", samples()))
FILES["w_alaw.wav"] = riff(fmt(tag=6, rate=8000, bits=8), chunk(b"data", samples()))
FILES["w_ulaw.wav"] = riff(fmt(tag=7, rate=8000, bits=8), chunk(b"data", samples()))
FILES["w_ch3.wav"] = riff(fmt(channels=3), chunk(b"data", samples(1800)))
FILES["w_odd17.wav"] = riff(b"fmt " + le32(17) + fmt(rate=44100, bits=8)[8:] + b"\x00",
                            chunk(b"data", bytes(2240)))

# MP3 files that cannot be registered (series 7).
FILES["m_empty.mp3"] = b""
FILES["m_rand.mp3"] = bytes((i * 131 + 7) & 0xFF for i in range(3000)).replace(b"\xff", b"\x00")
FILES["m_id3.mp3"] = b"ID3\x03\x00\x00\x00\x00\x01\x00" + bytes(128)
FILES["m_id3bg.mp3"] = b"ID3\x03\x00\x00\x7f\x7f\x7f\x7f" + mp3_frame() * 3
FILES["m_lay2.mp3"] = mp3_frame(b1=0xFD) * 5
FILES["m_free.mp3"] = mp3_frame(b2=0x00) * 5
FILES["m_rate3.mp3"] = mp3_frame(b2=0x9C) * 5
FILES["m_sync.mp3"] = b"\xff\xfb" + b"not really a frame" * 20
FILES["m_wave.mp3"] = good_wave()
# MPEG-2.5 frames (8 kHz, 64 kbit/s, mono) behind an Info frame, with the
# bytes of an MPEG-1 Layer III header inside the audio data of an early
# frame: the header scan takes them, the decoder knows better.
mp25 = mp3_frame(b1=0xE3, b2=0x88, b3=0xC4, length=576)
mp25_info = mp25[:4 + 9] + b"Info" + struct.pack(">II", 1, 7) + mp25[4 + 9 + 12:]
FILES["m_mp25.mp3"] = (mp25_info + mp25 + mp25[:100] + b"\xff\xfb\x90\xc4" + mp25[104:]
                       + mp25 * 5)

# Control files that must not load (series 1, sound folder = this folder).
OK_VOICE = "0,good.wav"
FILES["good.wav"] = good_wave()
FILES["cf_empty.wpj"] = b""
FILES["cf_binary.wpj"] = bytes(range(256)) * 4
FILES["cf_voice_missing_file.wpj"] = control_file(["0,absent.wav"])
FILES["cf_voice_path_escape.wpj"] = control_file(["0,../good.wav"])
FILES["cf_voice_absolute.wpj"] = control_file(["0,/etc/passwd"])
FILES["cf_voice_gap.wpj"] = control_file([OK_VOICE, "5,good.wav"])
FILES["cf_voice_negative.wpj"] = control_file(["-1,good.wav"])
FILES["cf_voice_number_text.wpj"] = control_file(["x,good.wav"])
FILES["cf_voice_no_comma.wpj"] = control_file(["0good.wav"])
FILES["cf_voice_beyond_series.wpj"] = control_file([OK_VOICE, "255,good.wav"])
FILES["cf_voice_bad_sound.wpj"] = control_file(["0,w_text.wav"])
FILES["cf_invalid_sjis.wpj"] = control_file([OK_VOICE], extra=b"#1\r\n\x81\x00\xff\xfe\r\n")
FILES["cf_cr_only.wpj"] = control_file([OK_VOICE]).replace(b"\r\n", b"\r")
FILES["cf_program_number_huge.wpj"] = control_file([OK_VOICE], ["99999999999999999999,1,1,0"])
FILES["cf_nul_in_name.wpj"] = control_file(["0,good.wav\0../x"])

# Settings files: every one still starts the program.
FILES["settings_mode_text.ini"] = b"[SYSTEM]\r\nMode=abc\r\nFileCapacity=2\r\n"
FILES["settings_mode_99.ini"] = b"[SYSTEM]\r\nMode=99\r\n"
FILES["settings_mode_negative.ini"] = b"[SYSTEM]\r\nMode=-3\r\nAddFunction=7\r\n"
FILES["settings_mode_overflow.ini"] = b"[SYSTEM]\r\nMode=4294967297\r\n"
FILES["settings_binary.ini"] = bytes((i * 53) & 0xFF for i in range(2048))
FILES["settings_no_section.ini"] = b"Mode=4\r\nCardPath=/tmp\r\n"
FILES["settings_sjis_path.ini"] = "[SYSTEM]\r\nMode=7\r\nCardPath=/データ/カード\r\n".encode("cp932")
FILES["settings_duplicate.ini"] = b"[SYSTEM]\r\nMode=3\r\nMode=4\r\n[system]\r\nMode=5\r\n"

# Element files.
FILES["element_empty.elm"] = b""
FILES["element_no_card.elm"] = b"[Element]\r\nTape=MD,DAT\r\n"
FILES["element_nuls.elm"] = b"[Element]\r\nCard=8MB\0\0,16MB\0,\0\r\n"
FILES["element_long_list.elm"] = b"[Element]\r\nCard=" + b",".join(b"%dMB" % i for i in range(500)) + b"\r\n"

# Conversion engine sources.
FILES["conv_stereo_truncated.wav"] = good_wave(channels=2)[:-700]
FILES["conv_stereo_bits24.wav"] = riff(fmt(channels=2, bits=24), chunk(b"data", samples(600)))
FILES["conv_stereo_bext_first.wav"] = riff(chunk(b"bext", bytes(64)), fmt(channels=2),
                                           chunk(b"data", samples()))
FILES["conv_stereo_data_odd.wav"] = riff(fmt(channels=2), chunk(b"data", samples(1001)))
FILES["conv_stereo_rate0.wav"] = riff(fmt(channels=2, rate=0), chunk(b"data", samples()))


def main():
    os.makedirs(OUT, exist_ok=True)
    for name, data in sorted(FILES.items()):
        with open(os.path.join(OUT, name), "wb") as f:
            f.write(data)
    print(f"{len(FILES)} files in {OUT}")


if __name__ == "__main__":
    main()
