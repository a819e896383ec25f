#include "sound/decoders.h"

#include <QFile>

#include <mpg123.h>
#include <sndfile.h>

#include "sound/wave_reader.h"

namespace parlatone {

std::optional<WaveSummary> ReadWaveSummary(const QString& path) {
  const FileHead head = ReadFileHead(path, kWaveHeadBytes);
  if (!head.opened) {
    return std::nullopt;
  }
  const WaveLayout layout = WalkWaveFile(path, head);
  if (layout.status != WaveLayout::Status::kOk || !layout.data_offset) {
    return std::nullopt;
  }
  const SoundInfo format = FormatFromChunk(layout.format_body);
  if (format.ByteRate == 0) {
    return std::nullopt;
  }
  return WaveSummary{layout.data_size * 1000 / format.ByteRate, static_cast<int>(format.SampleRate),
                     format.Channels};
}

std::optional<PcmSound> DecodeWave(const QString& path, int64_t from_ms) {
  SF_INFO info{};
  SNDFILE* file = sf_open(QFile::encodeName(path).constData(), SFM_READ, &info);
  if (file == nullptr) {
    return std::nullopt;
  }
  PcmSound pcm;
  pcm.rate = info.samplerate;
  pcm.channels = info.channels;
  if (pcm.rate <= 0 || pcm.channels <= 0 || pcm.channels > 8) {
    sf_close(file);
    return std::nullopt;
  }
  const sf_count_t start = from_ms * pcm.rate / 1000;
  if (start > 0 && sf_seek(file, std::min<sf_count_t>(start, info.frames), SEEK_SET) < 0) {
    sf_close(file);
    return std::nullopt;
  }
  // Read in blocks rather than trusting the header's frame count, which a
  // cut-off file overstates.
  constexpr sf_count_t kBlockFrames = 16384;
  std::vector<int16_t> block(static_cast<size_t>(kBlockFrames * pcm.channels));
  for (;;) {
    const sf_count_t frames = sf_readf_short(file, block.data(), kBlockFrames);
    if (frames <= 0) {
      break;
    }
    pcm.samples.insert(pcm.samples.end(), block.begin(), block.begin() + frames * pcm.channels);
  }
  sf_close(file);
  return pcm;
}

namespace {

uint32_t SyncSafe(const unsigned char* p) {
  return (p[0] & 0x7F) << 21 | (p[1] & 0x7F) << 14 | (p[2] & 0x7F) << 7 | (p[3] & 0x7F);
}

// True when the first MPEG audio frame of the file, after any ID3v2 tag,
// carries a Xing/Info or VBRI header.
bool HasFrameCountTag(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) {
    return false;
  }
  QByteArray head = file.read(10);
  qint64 start = 0;
  if (head.size() == 10 && head.startsWith("ID3")) {
    const auto* p = reinterpret_cast<const unsigned char*>(head.constData());
    start = 10 + SyncSafe(p + 6) + ((p[5] & 0x10) != 0 ? 10 : 0);
  }
  constexpr qint64 kLookAhead = 4096;
  if (!file.seek(start)) {
    return false;
  }
  const QByteArray bytes = file.read(kLookAhead);
  const auto* b = reinterpret_cast<const unsigned char*>(bytes.constData());
  for (qsizetype i = 0; i + 4 <= bytes.size(); ++i) {
    if (b[i] != 0xFF || (b[i + 1] & 0xE0) != 0xE0) {
      continue;
    }
    const bool mpeg1 = (b[i + 1] & 0x18) == 0x18;
    const bool mono = (b[i + 3] & 0xC0) == 0xC0;
    const qsizetype side_info = mpeg1 ? (mono ? 17 : 32) : (mono ? 9 : 17);
    const QByteArray xing = bytes.mid(i + 4 + side_info, 4);
    return xing == "Xing" || xing == "Info" || bytes.mid(i + 36, 4) == "VBRI";
  }
  return false;
}

}  // namespace

struct Mp3File::Handle {
  mpg123_handle* mh = nullptr;
  ~Handle() {
    if (mh != nullptr) {
      mpg123_close(mh);
      mpg123_delete(mh);
    }
  }
};

std::unique_ptr<Mp3File> Mp3File::Open(const QString& path) {
  static const bool initialised = mpg123_init() == MPG123_OK;
  if (!initialised) {
    return nullptr;
  }
  std::unique_ptr<Mp3File> file(new Mp3File());
  file->handle_ = std::make_unique<Handle>();
  int error = MPG123_OK;
  mpg123_handle* mh = mpg123_new(nullptr, &error);
  if (mh == nullptr) {
    return nullptr;
  }
  file->handle_->mh = mh;
  mpg123_param(mh, MPG123_ADD_FLAGS, MPG123_QUIET, 0.0);
  // Always 16-bit output, at the file's own rate and channel count.
  mpg123_format_none(mh);
  const long* rates = nullptr;
  size_t rate_count = 0;
  mpg123_rates(&rates, &rate_count);
  for (size_t i = 0; i < rate_count; ++i) {
    mpg123_format(mh, rates[i], MPG123_MONO | MPG123_STEREO, MPG123_ENC_SIGNED_16);
  }
  if (mpg123_open(mh, QFile::encodeName(path).constData()) != MPG123_OK) {
    return nullptr;
  }
  long rate = 0;
  int channels = 0;
  int encoding = 0;
  if (mpg123_getformat(mh, &rate, &channels, &encoding) != MPG123_OK || rate <= 0) {
    return nullptr;
  }
  // A Xing/Info or VBRI tag gives the exact frame count; without one the
  // library's length is an estimate from the first frame's bit rate, wrong
  // for VBR files, so the frames are counted.
  if (!HasFrameCountTag(path)) {
    if (mpg123_scan(mh) != MPG123_OK) {
      return nullptr;
    }
  }
  const off_t samples = mpg123_length(mh);
  if (samples < 0) {
    return nullptr;
  }
  file->rate_ = static_cast<int>(rate);
  file->channels_ = channels;
  file->length_ms_ = static_cast<int64_t>(samples) * 1000 / rate;
  return file;
}

Mp3File::~Mp3File() = default;

std::optional<PcmSound> Mp3File::Decode(int64_t from_ms) {
  mpg123_handle* mh = handle_->mh;
  if (mpg123_seek(mh, static_cast<off_t>(from_ms * rate_ / 1000), SEEK_SET) < 0) {
    return std::nullopt;
  }
  PcmSound pcm;
  pcm.rate = rate_;
  pcm.channels = channels_;
  std::vector<unsigned char> buffer(65536);
  for (;;) {
    size_t done = 0;
    const int result = mpg123_read(mh, buffer.data(), buffer.size(), &done);
    const auto* samples = reinterpret_cast<const int16_t*>(buffer.data());
    pcm.samples.insert(pcm.samples.end(), samples, samples + done / sizeof(int16_t));
    if (result == MPG123_DONE) {
      break;
    }
    if (result != MPG123_OK && result != MPG123_NEW_FORMAT) {
      // A damaged frame ends the sound where it is; what was decoded plays.
      break;
    }
  }
  return pcm;
}

}  // namespace parlatone
