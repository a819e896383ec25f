// SPDX-License-Identifier: GPL-3.0-or-later
#include "sound/wave_reader.h"

#include <QCoreApplication>
#include <QIODevice>

#include <algorithm>
#include <array>

#include "core/messages.h"
#include "core/operator.h"
#include "core/series.h"
#include "sound/mp3_header.h"
#include "sound/sound_file.h"
#include "sound/sound_probe.h"

namespace parlatone {
namespace {

using namespace Qt::StringLiterals;

// The texts of this unit the operator reads, in the interface language.
struct WaveReaderText {
  Q_DECLARE_TR_FUNCTIONS(WaveReader)
};

uint32_t Le32(const char* p) {
  const auto* b = reinterpret_cast<const unsigned char*>(p);
  return b[0] | (b[1] << 8) | (b[2] << 16) | (static_cast<uint32_t>(b[3]) << 24);
}

uint16_t Le16(const char* p) {
  const auto* b = reinterpret_cast<const unsigned char*>(p);
  return static_cast<uint16_t>(b[0] | (b[1] << 8));
}

// The largest format chunk the devices' files carry: the 16 standard bytes
// and the extra-size field.
constexpr uint32_t kMaxFormatSize = 18;

constexpr uint16_t kPcmFormatTag = 1;

constexpr int kHeaderCheckBytes = 512;
// A "fmt " or "data" id must start at or before this offset of the file.
constexpr int kLastIdOffset = 254;

bool IsAcceptedHeaderRate(uint32_t rate) {
  constexpr std::array<uint32_t, 7> kRates = {8000, 11025, 12800, 16000, 22050, 32000, 44100};
  return std::find(kRates.begin(), kRates.end(), rate) != kRates.end();
}

int FindId(const QByteArray& buffer, const char* id, int from) {
  for (int at = from; at <= kLastIdOffset; ++at) {
    if (buffer.mid(at, 4) == QByteArrayView(id, 4)) {
      return at;
    }
  }
  return -1;
}

CheckResult ReadError(int number) {
  return Refused(NumberedMessage(number, msg::kTitleError, MessageIcon::kError));
}

CheckResult Truncated() {
  return Refused(TextMessage(TruncatedSoundText(), msg::kTitleError, MessageIcon::kError));
}

// A chunk id is four printable ASCII characters.
bool IsChunkId(const QByteArray& bytes) {
  return bytes.size() == 4 &&
         std::all_of(bytes.begin(), bytes.end(), [](char c) { return c >= 0x20 && c <= 0x7E; });
}

CheckResult ReadWaveInfo(const SoundProbe& probe, SoundInfo& info) {
  if (!probe.IsOpen()) {
    return ReadError(2600);
  }
  const WaveLayout& layout = probe.layout;
  if (layout.status == WaveLayout::Status::kNotRiffWave) {
    return ReadError(2601);
  }
  if (layout.status == WaveLayout::Status::kNoFormat) {
    return ReadError(2602);
  }
  if (layout.format_size > kMaxFormatSize) {
    return ReadError(2603);
  }
  const qint64 count = layout.format_body.size();
  if (count <= 0) {
    // An empty or cut-off format chunk: the low-level read delivered nothing.
    MessageRequest request;
    request.text = u"mmioRead failed - "_s + QString::number(count);
    request.title = GetMessage(1000);
    request.title_number = 1000;
    return Refused(request);
  }
  info = FormatFromChunk(layout.format_body);
  // The devices play plain PCM of one or two channels. Anything else (A-law,
  // µ-law, ADPCM, float, the extensible format, a channel count of 0 or 6)
  // would be played as noise or not at all.
  if (info.FormatTag != kPcmFormatTag || (info.Channels != 1 && info.Channels != 2)) {
    return ReadError(2603);
  }
  // Samples the header promises but the file does not hold: a copy that was
  // cut short. Its playing time would be wrong and the device would play
  // whatever follows it on the card.
  if (layout.data_offset && layout.data_declared_size > layout.data_size) {
    return Truncated();
  }
  // Without a data chunk, or without a byte rate, the file has no playing
  // time: a voice is never registered or loaded with a length that could
  // not be measured.
  if (!layout.data_offset) {
    if (layout.cut_short) {
      return Truncated();
    }
    return ReadError(2602);
  }
  if (info.ByteRate == 0) {
    return ReadError(2603);
  }
  return {};
}

}  // namespace

WaveLayout WalkWave(const QByteArray& head, int64_t file_size,
                    const std::function<QByteArray(int64_t, int64_t)>& read_more) {
  WaveLayout layout;
  const auto read_at = [&](int64_t offset, int64_t size) -> QByteArray {
    if (offset + size <= head.size()) {
      return head.mid(offset, size);
    }
    return read_more(offset, size);
  };
  if (head.size() < 12 || !head.startsWith("RIFF") || head.mid(8, 4) != "WAVE") {
    layout.status = WaveLayout::Status::kNotRiffWave;
    return layout;
  }
  const int64_t declared_end = 8 + static_cast<int64_t>(Le32(head.constData() + 4));
  const int64_t riff_end = std::min<int64_t>(declared_end, file_size);
  layout.cut_short = declared_end > file_size;
  bool format_found = false;
  int64_t position = 12;
  while (position < riff_end && !(format_found && layout.data_offset)) {
    const QByteArray chunk = read_at(position, 8);
    if (chunk.size() != 8 || position + 8 > riff_end) {
      layout.cut_short = layout.cut_short || position + 8 > file_size;
      break;  // a chunk header cut off
    }
    const uint32_t size = Le32(chunk.constData() + 4);
    const int64_t body = position + 8;
    if (body + size > file_size) {
      layout.cut_short = true;
    }
    if (!format_found && chunk.startsWith("fmt ")) {
      format_found = true;
      layout.format_offset = body;
      layout.format_size = size;
      layout.format_body = read_at(body, std::min(size, kMaxFormatSize));
    } else if (!layout.data_offset && chunk.startsWith("data")) {
      layout.data_offset = body;
      layout.data_size = std::clamp<int64_t>(file_size - body, 0, size);
      layout.data_declared_size = size;
    }
    position = body + size;
    if ((size & 1) != 0) {
      // An odd body is followed by a pad byte, but some writers leave it
      // out; the next chunk then starts one byte earlier. Readers that
      // search for the ids (as the devices do) find it there.
      const QByteArray next = read_at(position, 5);
      if (next.size() == 5 && !IsChunkId(next.mid(1, 4)) && IsChunkId(next.left(4))) {
        continue;
      }
      ++position;
    }
  }
  layout.status = format_found ? WaveLayout::Status::kOk : WaveLayout::Status::kNoFormat;
  return layout;
}

WaveLayout WalkWave(QIODevice& device) {
  if (!device.seek(0)) {
    return {};
  }
  const QByteArray head = device.read(kWaveHeadBytes);
  return WalkWave(head, device.size(), [&device](int64_t offset, int64_t size) {
    return device.seek(offset) ? device.read(size) : QByteArray();
  });
}

SoundInfo FormatFromChunk(const QByteArray& body) {
  QByteArray bytes = body.left(kMaxFormatSize);
  bytes.resize(kMaxFormatSize, '\0');
  const char* p = bytes.constData();
  SoundInfo info;
  info.FormatTag = Le16(p);
  info.Channels = Le16(p + 2);
  info.SampleRate = Le32(p + 4);
  info.ByteRate = Le32(p + 8);
  info.BlockAlign = Le16(p + 12);
  info.BitsPerSample = Le16(p + 14);
  info.ExtraSize = Le16(p + 16);
  return info;
}

CheckResult ReadSoundInfo(const SoundProbe& probe, int mode, SoundInfo& info) {
  info = SoundInfo();
  if (IsMp3Series(mode)) {
    return ReadMp3Header(probe, info);
  }
  return ReadWaveInfo(probe, info);
}

CheckResult ReadSoundInfo(const QString& path, int mode, SoundInfo& info) {
  return ReadSoundInfo(ProbeSoundFile(path, mode), mode, info);
}

QString TruncatedSoundText() {
  return WaveReaderText::tr("Soundファイルが途中で切れています。ファイルを確認して下さい。");
}

bool IsSupportedWaveHeaderBytes(const QByteArray& first_bytes, bool stereo_accepted) {
  QByteArray buffer = first_bytes.left(kHeaderCheckBytes);
  buffer.resize(kHeaderCheckBytes, '\0');
  if (!buffer.startsWith("RIFF")) {
    return false;
  }
  const int f = FindId(buffer, "fmt ", 12);
  if (f < 0) {
    return false;
  }
  const char* p = buffer.constData();
  if (Le16(p + f + 10) != 1 && !stereo_accepted) {
    return false;
  }
  if (!IsAcceptedHeaderRate(Le32(p + f + 12))) {
    return false;
  }
  const uint16_t bits = Le16(p + f + 22);
  if (bits != 8 && bits != 16) {
    return false;
  }
  return FindId(buffer, "data", f + 24) >= 0;
}

bool IsSupportedWaveFormat(const SoundInfo& info, bool stereo_accepted) {
  return (info.Channels == 1 || stereo_accepted) && IsAcceptedHeaderRate(info.SampleRate) &&
         (info.BitsPerSample == 8 || info.BitsPerSample == 16);
}

std::optional<bool> IsSupportedWaveHeader(const QString& path, bool stereo_accepted) {
  SoundFile file(path);
  if (!file.IsOpen()) {
    return std::nullopt;
  }
  return IsSupportedWaveHeaderBytes(file.Read(0, kHeaderCheckBytes), stereo_accepted);
}

}  // namespace parlatone
