#include "sound/wave_reader.h"

#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <array>
#include <functional>
#include <memory>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

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

constexpr char16_t kTruncatedSoundText[] =
    u"Soundファイルが途中で切れています。ファイルを確認して下さい。";

void ShowError(Operator& op, int number) {
  ShowMessage(op, number, msg::kTitleError, MessageIcon::kError);
}

bool ReadWaveInfo(const QString& path, Operator& op, SoundInfo& info) {
  const FileHead head = ReadFileHead(path, kWaveHeadBytes);
  if (!head.opened) {
    ShowError(op, 2600);
    return false;
  }
  const WaveLayout layout = WalkWaveFile(path, head);
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
  const qint64 count = layout.format_body.size();
  if (count <= 0 && layout.format_size > 0 && !QFileInfo::exists(path)) {
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
  info = FormatFromChunk(layout.format_body);
  // Samples the header promises but the file does not hold: a copy that was
  // cut short. Its playing time would be wrong and the device would play
  // whatever follows it on the card.
  if (layout.data_offset && layout.data_declared_size > layout.data_size) {
    ShowText(op, QString::fromUtf16(kTruncatedSoundText), msg::kTitleError, MessageIcon::kError);
    return false;
  }
  return true;
}

}  // namespace

namespace {

// The walk over the head of the file; `read_more` serves what lies beyond it.
WaveLayout Walk(const QByteArray& head, int64_t file_size,
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
  const int64_t riff_end =
      std::min<int64_t>(8 + static_cast<int64_t>(Le32(head.constData() + 4)), file_size);
  bool format_found = false;
  int64_t position = 12;
  while (position + 8 <= riff_end && !(format_found && layout.data_offset)) {
    const QByteArray chunk = read_at(position, 8);
    if (chunk.size() != 8) {
      break;
    }
    const uint32_t size = Le32(chunk.constData() + 4);
    const int64_t body = position + 8;
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
    position = body + size + (size & 1);
  }
  layout.status = format_found ? WaveLayout::Status::kOk : WaveLayout::Status::kNoFormat;
  return layout;
}

}  // namespace

WaveLayout WalkWave(QIODevice& device) {
  if (!device.seek(0)) {
    return {};
  }
  const QByteArray head = device.read(kWaveHeadBytes);
  return Walk(head, device.size(), [&device](int64_t offset, int64_t size) {
    return device.seek(offset) ? device.read(size) : QByteArray();
  });
}

WaveLayout WalkWaveFile(const QString& path, const FileHead& head) {
  std::unique_ptr<QFile> file;
  return Walk(head.bytes, head.size, [&](int64_t offset, int64_t size) -> QByteArray {
    if (!file) {
      file = std::make_unique<QFile>(path);
      if (!file->open(QIODevice::ReadOnly | QIODevice::Unbuffered)) {
        return {};
      }
    }
    return file->seek(offset) ? file->read(size) : QByteArray();
  });
}

FileHead ReadFileHead(const QString& path, int64_t max_bytes) {
  FileHead head;
#ifdef Q_OS_UNIX
  const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) {
    return head;
  }
  struct stat status {};
  if (::fstat(fd, &status) == 0 && S_ISREG(status.st_mode)) {
    head.size = status.st_size;
    head.bytes.resize(std::min<int64_t>(max_bytes, head.size));
    qsizetype done = 0;
    while (done < head.bytes.size()) {
      const ssize_t got = ::read(fd, head.bytes.data() + done, head.bytes.size() - done);
      if (got <= 0) {
        break;
      }
      done += got;
    }
    head.bytes.resize(done);
    head.opened = true;
  }
  ::close(fd);
#else
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly | QIODevice::Unbuffered) || !QFileInfo(path).isFile()) {
    return head;
  }
  head.size = file.size();
  head.bytes = file.read(max_bytes);
  head.opened = true;
#endif
  return head;
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
  const FileHead head = ReadFileHead(path, kHeaderCheckBytes);
  if (!head.opened) {
    return std::nullopt;
  }
  return IsSupportedWaveHeaderBytes(head.bytes, add_function);
}

}  // namespace parlatone
