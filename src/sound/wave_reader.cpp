#include "sound/wave_reader.h"

#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <array>

#include "core/messages.h"
#include "core/operator.h"
#include "core/series.h"
#include "sound/mp3_header.h"

namespace parlatone {
namespace {

using namespace Qt::StringLiterals;

uint32_t Le32(const char* p) {
  const auto* b = reinterpret_cast<const unsigned char*>(p);
  return b[0] | (b[1] << 8) | (b[2] << 16) | (static_cast<uint32_t>(b[3]) << 24);
}

uint16_t Le16(const char* p) {
  const auto* b = reinterpret_cast<const unsigned char*>(p);
  return static_cast<uint16_t>(b[0] | (b[1] << 8));
}

bool ReadAt(QIODevice& device, int64_t offset, char* buffer, int64_t size) {
  return device.seek(offset) && device.read(buffer, size) == size;
}

// The largest format chunk the devices' files carry: the 16 standard bytes
// and the extra-size field.
constexpr uint32_t kMaxFormatSize = 18;

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

void ShowError(Operator& op, int number) {
  ShowMessage(op, number, msg::kTitleError, MessageIcon::kError);
}

bool ReadWaveInfo(const QString& path, Operator& op, SoundInfo& info) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) {
    ShowError(op, 2600);
    return false;
  }
  const WaveLayout layout = WalkWave(file);
  if (layout.status == WaveLayout::Status::kNotRiffWave) {
    ShowError(op, 2601);
    return false;
  }
  if (layout.status == WaveLayout::Status::kNoFormat) {
    ShowError(op, 2602);
    return false;
  }
  if (layout.format_size > kMaxFormatSize) {
    ShowError(op, 2603);
    return false;
  }
  QByteArray body;
  qint64 count = 0;
  if (file.seek(layout.format_offset)) {
    body = file.read(layout.format_size);
    count = body.size();
  } else {
    count = -1;
  }
  if (file.error() != QFileDevice::NoError && !QFileInfo::exists(path)) {
    ShowError(op, 2604);  // the file went away while it was read
    return false;
  }
  if (count <= 0) {
    // An empty or cut-off format chunk: the low-level read delivered nothing.
    MessageRequest request;
    request.text = u"mmioRead failed - "_s + QString::number(count);
    request.title = GetMessage(1000);
    request.title_number = 1000;
    op.ShowMessage(request);
    return false;
  }
  info = FormatFromChunk(body);
  return true;
}

}  // namespace

WaveLayout WalkWave(QIODevice& device) {
  WaveLayout layout;
  const int64_t file_size = device.size();
  char header[12];
  if (!ReadAt(device, 0, header, 12) || memcmp(header, "RIFF", 4) != 0 ||
      memcmp(header + 8, "WAVE", 4) != 0) {
    layout.status = WaveLayout::Status::kNotRiffWave;
    return layout;
  }
  const int64_t riff_end = std::min<int64_t>(8 + static_cast<int64_t>(Le32(header + 4)), file_size);
  bool format_found = false;
  int64_t position = 12;
  while (position + 8 <= riff_end && !(format_found && layout.data_offset)) {
    char chunk[8];
    if (!ReadAt(device, position, chunk, 8)) {
      break;
    }
    const uint32_t size = Le32(chunk + 4);
    const int64_t body = position + 8;
    if (!format_found && memcmp(chunk, "fmt ", 4) == 0) {
      format_found = true;
      layout.format_offset = body;
      layout.format_size = size;
    } else if (!layout.data_offset && memcmp(chunk, "data", 4) == 0) {
      layout.data_offset = body;
      layout.data_size = std::clamp<int64_t>(file_size - body, 0, size);
    }
    position = body + size + (size & 1);
  }
  layout.status = format_found ? WaveLayout::Status::kOk : WaveLayout::Status::kNoFormat;
  return layout;
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

bool ReadSoundInfo(const QString& path, int mode, Operator& op, SoundInfo& info) {
  info = SoundInfo();
  if (IsMp3Series(mode)) {
    return ReadMp3Header(path, op, info);
  }
  return ReadWaveInfo(path, op, info);
}

bool IsSupportedWaveHeaderBytes(const QByteArray& first_bytes, int add_function) {
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
  if (Le16(p + f + 10) != 1 && add_function != 1) {
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

std::optional<bool> IsSupportedWaveHeader(const QString& path, int add_function) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) {
    return std::nullopt;
  }
  const QByteArray first_bytes = file.read(kHeaderCheckBytes);
  if (file.error() != QFileDevice::NoError) {
    return std::nullopt;
  }
  return IsSupportedWaveHeaderBytes(first_bytes, add_function);
}

}  // namespace parlatone
