// SPDX-License-Identifier: GPL-3.0-or-later
#include "tools/conversion_engine.h"

#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>

#include <cerrno>
#include <optional>
#include <vector>

#ifdef Q_OS_UNIX
#include <sys/stat.h>

#include <cstdio>
#endif

#include "core/file_io.h"
#include "core/operator.h"
#include "tools/tools_log.h"

namespace parlatone {
namespace {

using namespace Qt::StringLiterals;

constexpr int kHeaderSearchLast = 512;    // the data chunk starts at or before this
constexpr int64_t kBlockBytes = 1 << 20;  // one reused read buffer
constexpr int kEventBudgetMs = 20;

// Header fields as the devices' tools read and write them: 32-bit fields
// must stay below 2^31, 16-bit fields below 2^15.
std::optional<int64_t> Read32(const QByteArray& buffer, int64_t at) {
  if (at < 0 || at + 4 > buffer.size()) {
    return std::nullopt;
  }
  const auto* b = reinterpret_cast<const unsigned char*>(buffer.constData() + at);
  if (b[3] >= 128) {
    return std::nullopt;
  }
  return b[0] | (b[1] << 8) | (b[2] << 16) | (static_cast<int64_t>(b[3]) << 24);
}

std::optional<int> Read16(const QByteArray& buffer, int64_t at) {
  if (at < 0 || at + 2 > buffer.size()) {
    return std::nullopt;
  }
  const auto* b = reinterpret_cast<const unsigned char*>(buffer.constData() + at);
  const int value = b[0] | (b[1] << 8);
  if (value > 32767) {
    return std::nullopt;
  }
  return value;
}

void Write32(QByteArray& buffer, qsizetype at, int64_t value) {
  for (qsizetype i = 0; i < 4; ++i) {
    buffer[at + i] = static_cast<char>((value >> (8 * i)) & (i == 3 ? 0x7F : 0xFF));
  }
}

void Write16(QByteArray& buffer, qsizetype at, int value) {
  buffer[at] = static_cast<char>(value & 0xFF);
  buffer[at + 1] = static_cast<char>((value >> 8) & 0xFF);
}

// Counts `units` units of `unit_bytes` bytes each, stepping the bar exactly
// as often as counting them one by one with StepProgress after each would.
void CountUnits(ConversionProgress& progress, int64_t units, int64_t unit_bytes) {
  if (!progress.Bar || unit_bytes <= 0) {
    progress.CountedBytes += units * unit_bytes;
    return;
  }
  while (units > 0) {
    // Units until the count exceeds StepBytes (at least one).
    const int64_t missing = progress.StepBytes - progress.CountedBytes;
    const int64_t needed = missing < 0 ? 1 : missing / unit_bytes + 1;
    if (needed > units) {
      progress.CountedBytes += units * unit_bytes;
      return;
    }
    units -= needed;
    progress.CountedBytes = 0;
    progress.Bar();
  }
}

// Cancel requests and pending events between blocks of work.
class Pacer {
 public:
  explicit Pacer(ConversionProgress& progress) : progress_(progress) { timer_.start(); }

  // True when the run is to stop; the request is then consumed. Events run
  // at the first check of every file too, so a stop pressed between two
  // files of a folder reaches the next one before its first block.
  bool Cancelled() {
    if (progress_.Events && (first_ || timer_.elapsed() >= kEventBudgetMs)) {
      first_ = false;
      progress_.Events();
      timer_.restart();
    }
    return progress_.StopRequested.exchange(false);
  }

 private:
  ConversionProgress& progress_;
  QElapsedTimer timer_;
  bool first_ = true;
};

// What the conversion needs of a header, when the header is one it takes.
struct StereoHeader {
  int64_t rate = 0;
  int bits = 0;
  int data_tag = 0;  // where "data" stands
  int64_t data_size = 0;
};

// The fields are patched where a canonical header has them. A file whose
// format chunk lies elsewhere (a recorder's "bext" or "JUNK" chunk first),
// that is not plain PCM, or whose frames are not two 8- or 16-bit samples
// would come out with a garbled header or samples, so it is not taken.
std::optional<StereoHeader> ExamineStereoHeader(const QByteArray& header, int64_t file_size) {
  const std::optional<int64_t> rate = Read32(header, 24);
  const std::optional<int> bits = Read16(header, 34);
  if (!rate || !bits || header.size() < 36) {
    return std::nullopt;
  }
  if (!header.startsWith("RIFF") || header.mid(8, 8) != "WAVEfmt " ||
      Read16(header, 20) != std::optional<int>(1) || Read16(header, 22) != std::optional<int>(2) ||
      (*bits != 8 && *bits != 16)) {
    return std::nullopt;
  }
  // A rate of 0 (or one whose byte rate does not fit the field) would be
  // carried into an output that no reader opens.
  if (*rate <= 0 || *rate * 2 > 0x7FFFFFFF) {
    return std::nullopt;
  }
  const std::optional<int> pos = FindTag(header, kHeaderSearchLast, "data");
  const std::optional<int64_t> data_size = pos ? Read32(header, *pos + 4) : std::nullopt;
  if (!data_size || *pos + 8 + *data_size > file_size) {
    return std::nullopt;  // no data chunk where the devices' files have it
  }
  return StereoHeader{*rate, *bits, *pos, *data_size};
}

}  // namespace

void StepProgress(ConversionProgress& progress) {
  if (progress.Bar && progress.CountedBytes > progress.StepBytes) {
    progress.Bar();
    progress.CountedBytes = 0;
  }
}

std::optional<int> FindTag(const QByteArray& buffer, int last, const char* tag) {
  const int limit = std::min<int64_t>(last, buffer.size() - 4);
  for (int p = 0; p <= limit; ++p) {
    if (memcmp(buffer.constData() + p, tag, 4) == 0) {
      return p;
    }
  }
  return std::nullopt;
}

bool IsSameFile(const QString& a, const QString& b) {
#ifdef Q_OS_UNIX
  struct stat first {};
  struct stat second {};
  if (::stat(QFile::encodeName(a).constData(), &first) != 0 ||
      ::stat(QFile::encodeName(b).constData(), &second) != 0) {
    return false;
  }
  return first.st_dev == second.st_dev && first.st_ino == second.st_ino;
#else
  const QString canonical_a = QFileInfo(a).canonicalFilePath();
  return !canonical_a.isEmpty() &&
         canonical_a.compare(QFileInfo(b).canonicalFilePath(), Qt::CaseInsensitive) == 0;
#endif
}

bool TakesStereoToMono(const QString& input) {
  QFile source(input);
  if (!source.open(QIODevice::ReadOnly)) {
    return false;
  }
  return ExamineStereoHeader(source.read(kHeaderSearchLast + 8), source.size()).has_value();
}

ConversionResult ConvertStereoToMono(const QString& input, const QString& output,
                                     ConversionProgress& progress) {
  if (IsSameFile(input, output)) {
    return ConversionResult::kFailed;
  }
  QFile source(input);
  if (!source.open(QIODevice::ReadOnly | QIODevice::Unbuffered)) {
    qCDebug(ToolsLog) << "cannot read" << input << source.errorString();
    return ConversionResult::kFailed;
  }
  const int64_t file_size = source.size();
  QByteArray header = source.read(kHeaderSearchLast + 8);
  const std::optional<StereoHeader> found = ExamineStereoHeader(header, file_size);
  if (!found) {
    return ConversionResult::kFailed;
  }
  const int64_t rate = found->rate;
  const bool eight_bit = found->bits == 8;
  Write32(header, 28, eight_bit ? rate : rate * 2);
  Write16(header, 32, eight_bit ? 1 : 2);
  Write16(header, 22, 1);
  const int pos = found->data_tag;
  const int64_t data_size = found->data_size;
  const int64_t base = pos + 8;
  // Whole stereo frames only: a partial last frame is dropped.
  const int64_t frame_bytes = eight_bit ? 2 : 4;
  const int64_t output_frame_bytes = frame_bytes / 2;
  const int64_t frames = data_size / frame_bytes;
  const int64_t n = frames * output_frame_bytes;
  Write32(header, pos + 4, n);
  Write32(header, 4, pos + n);

  StreamedOutputFile target(output);
  if (!target.Open() || !target.Write(header.constData(), base)) {
    qCDebug(ToolsLog) << "cannot write" << output << target.Error();
    return ConversionResult::kFailed;
  }
  progress.CountedBytes += base;
  if (!source.seek(base)) {
    return ConversionResult::kFailed;
  }

  Pacer pacer(progress);
  const int64_t frames_per_block = kBlockBytes / frame_bytes;
  std::vector<char> in(static_cast<size_t>(frames_per_block * frame_bytes));
  std::vector<char> out(static_cast<size_t>(frames_per_block * output_frame_bytes));
  int64_t done = 0;
  while (done < frames) {
    if (pacer.Cancelled()) {
      return ConversionResult::kCancelled;
    }
    const int64_t block_frames = std::min(frames_per_block, frames - done);
    const int64_t want = block_frames * frame_bytes;
    if (source.read(in.data(), want) != want) {
      qCDebug(ToolsLog) << input << "ends early or cannot be read:" << source.errorString();
      return ConversionResult::kFailed;
    }
    const char* from = in.data();
    char* to = out.data();
    if (eight_bit) {
      for (int64_t f = 0; f < block_frames; ++f) {
        to[f] = from[2 * f + 1];  // right channel
      }
    } else {
      for (int64_t f = 0; f < block_frames; ++f) {
        to[2 * f] = from[4 * f];  // left channel
        to[2 * f + 1] = from[4 * f + 1];
      }
    }
    if (!target.Write(out.data(), block_frames * output_frame_bytes)) {
      qCDebug(ToolsLog) << "writing" << output << "stopped:" << target.Error();
      return ConversionResult::kFailed;
    }
    CountUnits(progress, block_frames, frame_bytes);
    done += block_frames;
  }
  if (pacer.Cancelled()) {
    return ConversionResult::kCancelled;
  }
  if (!target.Commit()) {
    qCDebug(ToolsLog) << output << "not put in place:" << qt_error_string(errno);
    return ConversionResult::kFailed;
  }
  return ConversionResult::kCompleted;
}

ConversionResult CreateSilentWave(const QString& output, int seconds, int sample_rate,
                                  int bits_per_sample, ConversionProgress& progress) {
  const int64_t rate = sample_rate == 44100 ? 44100 : 22050;
  const bool sixteen = bits_per_sample == 16;
  const int64_t byte_rate = sixteen ? rate * 2 : rate;
  const int64_t d = static_cast<int64_t>(seconds) * byte_rate;
  if (seconds < 0 || d + 36 > 0x7FFFFFFF) {
    return ConversionResult::kFailed;
  }
  QByteArray header(44, '\0');
  header.replace(0, 4, "RIFF");
  Write32(header, 4, d + 36);
  header.replace(8, 8, "WAVEfmt ");
  Write32(header, 16, 16);
  Write16(header, 20, 1);
  Write16(header, 22, 1);
  Write32(header, 24, rate);
  Write32(header, 28, byte_rate);
  Write16(header, 32, sixteen ? 2 : 1);
  Write16(header, 34, sixteen ? 16 : 8);
  header.replace(36, 4, "data");
  Write32(header, 40, d);

  StreamedOutputFile target(output);
  if (!target.Open() || !target.Write(header.constData(), 44)) {
    qCDebug(ToolsLog) << "cannot write" << output << target.Error();
    return ConversionResult::kFailed;
  }
  progress.CountedBytes += 44;
  Pacer pacer(progress);
  // 16-bit silence is all zero bytes: the file system makes them.
  const bool zeros = sixteen;
  const std::vector<char> silence(
      zeros ? 0 : static_cast<size_t>(std::min<int64_t>(kBlockBytes, std::max<int64_t>(d, 1))),
      static_cast<char>(128));
  const int64_t block_bytes = zeros ? kBlockBytes * 64 : static_cast<int64_t>(silence.size());
  int64_t written = 0;
  while (written < d) {
    if (pacer.Cancelled()) {
      return ConversionResult::kCancelled;
    }
    const int64_t block = std::min<int64_t>(block_bytes, d - written);
    if (!(zeros ? target.ExtendWithZeros(block) : target.Write(silence.data(), block))) {
      qCDebug(ToolsLog) << "writing" << output << "stopped:" << target.Error();
      return ConversionResult::kFailed;
    }
    CountUnits(progress, block, 1);
    written += block;
  }
  if (pacer.Cancelled()) {
    return ConversionResult::kCancelled;
  }
  if (!target.Commit()) {
    qCDebug(ToolsLog) << output << "not put in place:" << qt_error_string(errno);
    return ConversionResult::kFailed;
  }
  return ConversionResult::kCompleted;
}

}  // namespace parlatone
