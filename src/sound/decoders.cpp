// SPDX-License-Identifier: GPL-3.0-or-later
#include "sound/decoders.h"

#include <QFile>

#include <mpg123.h>
#include <sndfile.h>

#include <algorithm>
#include <cstring>

#include "sound/mp3_header.h"
#include "sound/sound_file.h"
#include "sound/wave_reader.h"

namespace parlatone {

namespace {
// Any series that plays WAVE files: the length rule is the same for all.
constexpr int kAnyWaveMode = 1;
}  // namespace

std::optional<WaveSummary> ReadWaveSummary(const QString& path) {
  const SoundProbe probe = ProbeWaveFile(path);
  const std::optional<int64_t> length_ms = ProbedLengthMs(probe, kAnyWaveMode);
  if (!length_ms) {
    return std::nullopt;
  }
  const SoundInfo format = FormatFromChunk(probe.layout.format_body);
  return WaveSummary{*length_ms, static_cast<int>(format.SampleRate), format.Channels};
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

// What libmpg123 reads through: the head already in memory, the rest from
// the open file.
struct Mp3Source {
  std::shared_ptr<SoundFile> file;
  QByteArray head;
  int64_t position = 0;
};

mpg123_ssize_t ReadSource(void* handle, void* buffer, size_t count) {
  auto* source = static_cast<Mp3Source*>(handle);
  auto* to = static_cast<char*>(buffer);
  int64_t done = 0;
  const int64_t wanted = static_cast<int64_t>(count);
  if (source->position < source->head.size()) {
    done = std::min<int64_t>(wanted, source->head.size() - source->position);
    memcpy(to, source->head.constData() + source->position, static_cast<size_t>(done));
  }
  if (done < wanted) {
    done += source->file->ReadInto(source->position + done, to + done, wanted - done);
  }
  source->position += done;
  return static_cast<mpg123_ssize_t>(done);
}

off_t SeekSource(void* handle, off_t offset, int whence) {
  auto* source = static_cast<Mp3Source*>(handle);
  int64_t target = offset;
  if (whence == SEEK_CUR) {
    target += source->position;
  } else if (whence == SEEK_END) {
    target += source->file->size();
  }
  if (target < 0) {
    return -1;
  }
  source->position = target;
  return static_cast<off_t>(target);
}

// True when the first MPEG audio frame of the file, after any ID3v2 tag,
// carries a Xing/Info or VBRI header.
bool HasFrameCountTag(SoundFile& file, const QByteArray& head) {
  int64_t start = 0;
  if (head.size() >= 10 && head.startsWith("ID3")) {
    const auto* p = reinterpret_cast<const unsigned char*>(head.constData());
    start = 10 + SyncSafe(p + 6) + ((p[5] & 0x10) != 0 ? 10 : 0);
  }
  constexpr int64_t kLookAhead = 4096;
  const QByteArray bytes = start + kLookAhead <= head.size() ? head.mid(start, kLookAhead)
                                                             : file.Read(start, kLookAhead);
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

bool InitialiseMpg123() {
  static const bool initialised = mpg123_init() == MPG123_OK;
  return initialised;
}

// A decoder handle that always gives 16-bit samples at the file's own rate
// and channel count.
mpg123_handle* NewDecoder() {
  if (!InitialiseMpg123()) {
    return nullptr;
  }
  int error = MPG123_OK;
  mpg123_handle* mh = mpg123_new(nullptr, &error);
  if (mh == nullptr) {
    return nullptr;
  }
  mpg123_param(mh, MPG123_ADD_FLAGS, MPG123_QUIET, 0.0);
  mpg123_format_none(mh);
  const long* rates = nullptr;
  size_t rate_count = 0;
  mpg123_rates(&rates, &rate_count);
  for (size_t i = 0; i < rate_count; ++i) {
    mpg123_format(mh, rates[i], MPG123_MONO | MPG123_STEREO, MPG123_ENC_SIGNED_16);
  }
  return mh;
}

// Whether the stream still decodes to the format it opened with.
bool SameFormat(mpg123_handle* mh, long rate, int channels) {
  long now_rate = 0;
  int now_channels = 0;
  int encoding = 0;
  return mpg123_getformat(mh, &now_rate, &now_channels, &encoding) == MPG123_OK &&
         now_rate == rate && now_channels == channels;
}

// Opens the source on the handle and reads its first frame. The stream's
// format, version, layer and length, or nothing when libmpg123 finds no
// frames it plays.
struct OpenedStream {
  long rate = 0;
  int channels = 0;
  Mp3Stream stream;
};
std::optional<OpenedStream> OpenStream(mpg123_handle* mh, Mp3Source& source) {
  if (mpg123_replace_reader_handle(mh, ReadSource, SeekSource, nullptr) != MPG123_OK ||
      mpg123_open_handle(mh, &source) != MPG123_OK) {
    return std::nullopt;
  }
  OpenedStream opened;
  int encoding = 0;
  if (mpg123_getformat(mh, &opened.rate, &opened.channels, &encoding) != MPG123_OK ||
      opened.rate <= 0) {
    return std::nullopt;
  }
  mpg123_frameinfo2 frame{};
  if (mpg123_info2(mh, &frame) != MPG123_OK) {
    return std::nullopt;
  }
  opened.stream.version = frame.version == MPG123_1_0   ? 1
                          : frame.version == MPG123_2_0 ? 2
                          : frame.version == MPG123_2_5 ? 25
                                                        : 0;
  opened.stream.layer = frame.layer;
  // A Xing/Info or VBRI tag gives the exact frame count; without one the
  // library's length is an estimate from the first frame's bit rate, wrong
  // for VBR files, so the frames are counted.
  if (!HasFrameCountTag(*source.file, source.head) && mpg123_scan(mh) != MPG123_OK) {
    return std::nullopt;
  }
  const off_t samples = mpg123_length(mh);
  if (samples < 0) {
    return std::nullopt;
  }
  opened.stream.decodable = true;
  opened.stream.length_ms = static_cast<int64_t>(samples) * 1000 / opened.rate;
  return opened;
}

}  // namespace

Mp3Stream MeasureMp3(const std::shared_ptr<SoundFile>& file, const QByteArray& head) {
  // One decoder per thread, opened again for every file measured: a folder
  // of a thousand files costs a thousand opens, not a thousand set-ups.
  thread_local std::unique_ptr<mpg123_handle, void (*)(mpg123_handle*)> decoder(NewDecoder(),
                                                                                mpg123_delete);
  if (!decoder || !file->IsOpen()) {
    return {};
  }
  Mp3Source source{file, head, 0};
  const std::optional<OpenedStream> opened = OpenStream(decoder.get(), source);
  mpg123_close(decoder.get());
  return opened ? opened->stream : Mp3Stream();
}

struct Mp3File::Handle {
  mpg123_handle* mh = nullptr;
  Mp3Source source;
  ~Handle() {
    if (mh != nullptr) {
      mpg123_close(mh);
      mpg123_delete(mh);
    }
  }
};

std::unique_ptr<Mp3File> Mp3File::Open(const QString& path) {
  auto sound_file = std::make_shared<SoundFile>(path);
  if (!sound_file->IsOpen()) {
    return nullptr;
  }
  std::unique_ptr<Mp3File> file(new Mp3File());
  file->handle_ = std::make_unique<Handle>();
  file->handle_->mh = NewDecoder();
  if (file->handle_->mh == nullptr) {
    return nullptr;
  }
  file->handle_->source = Mp3Source{sound_file, sound_file->Read(0, kMp3ScanBytes), 0};
  const std::optional<OpenedStream> opened = OpenStream(file->handle_->mh, file->handle_->source);
  if (!opened) {
    return nullptr;
  }
  file->rate_ = static_cast<int>(opened->rate);
  file->channels_ = opened->channels;
  file->length_ms_ = opened->stream.length_ms;
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
    if (result == MPG123_NEW_FORMAT && !SameFormat(mh, rate_, channels_)) {
      // Files joined end to end may change from mono to stereo or change
      // rate: the samples after that are not of this sound's format, so
      // the sound ends where its format does.
      break;
    }
    if (result != MPG123_OK && result != MPG123_NEW_FORMAT) {
      // A damaged frame ends the sound where it is; what was decoded plays.
      break;
    }
  }
  // Whole frames only, whatever a broken stream gave last.
  pcm.samples.resize(pcm.samples.size() - pcm.samples.size() % static_cast<size_t>(channels_));
  return pcm;
}

}  // namespace parlatone
