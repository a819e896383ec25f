// SPDX-License-Identifier: GPL-3.0-or-later
#include "sound/pcm_source.h"

#include <QFile>
#include <QFileInfo>
#include <QStringList>

#include <vector>

#include <mpg123.h>
#include <sndfile.h>

namespace parlatone {

using namespace Qt::StringLiterals;

namespace {

// A frame count as a decoder states it, or 0 where it cannot be right: an
// Ogg file cut short states the largest count there is (libsndfile's mark
// for "not known"), and no sound runs for 2^40 frames (two months at
// 192 kHz), so a header that says so says nothing.
int64_t KnownFrames(int64_t stated) {
  constexpr int64_t kMostFrames = int64_t{1} << 40;
  return stated > 0 && stated < kMostFrames ? stated : 0;
}

class SndfileSource : public PcmSource {
 public:
  static std::unique_ptr<PcmSource> Open(const QString& path) {
    SF_INFO info{};
    SNDFILE* file = sf_open(QFile::encodeName(path).constData(), SFM_READ, &info);
    if (file == nullptr) {
      return nullptr;
    }
    if (info.channels <= 0 || info.samplerate <= 0) {
      sf_close(file);
      return nullptr;
    }
    auto source = std::unique_ptr<SndfileSource>(new SndfileSource(file));
    source->format.rate = info.samplerate;
    source->format.channels = info.channels;
    source->format.bits = BitsOf(info.format);
    source->frames = KnownFrames(info.frames);
    source->seekable_ = info.seekable != 0;
    const int container = info.format & SF_FORMAT_TYPEMASK;
    source->shorts_ = (info.format & SF_FORMAT_SUBMASK) == SF_FORMAT_PCM_16 &&
                      (container == SF_FORMAT_WAV || container == SF_FORMAT_WAVEX ||
                       container == SF_FORMAT_AIFF || container == SF_FORMAT_RAW);
    source->path_ = path;
    return source;
  }
  ~SndfileSource() override { sf_close(file_); }

  bool Rewind() override {
    if (seekable_) {
      return sf_seek(file_, 0, SEEK_SET) == 0;
    }
    SF_INFO info{};
    SNDFILE* again = sf_open(QFile::encodeName(path_).constData(), SFM_READ, &info);
    if (again == nullptr) {
      return false;
    }
    sf_close(file_);
    file_ = again;
    return true;
  }

  bool Seek(int64_t frame) override {
    return seekable_ && sf_seek(file_, frame, SEEK_SET) == frame;
  }

  int64_t Read(float* interleaved, int64_t frames) override {
    const sf_count_t got =
        shorts_ ? ReadShorts(interleaved, frames) : sf_readf_float(file_, interleaved, frames);
    if (got == 0 && sf_error(file_) != SF_ERR_NO_ERROR) {
      return -1;
    }
    return got;
  }

 private:
  explicit SndfileSource(SNDFILE* file) : file_(file) {}

  static int BitsOf(int format) {
    switch (format & SF_FORMAT_SUBMASK) {
      case SF_FORMAT_PCM_S8:
      case SF_FORMAT_PCM_U8:
        return 8;
      case SF_FORMAT_PCM_24:
        return 24;
      case SF_FORMAT_PCM_32:
      case SF_FORMAT_FLOAT:
      case SF_FORMAT_DOUBLE:
      case SF_FORMAT_VORBIS:
      case SF_FORMAT_OPUS:
        return 32;
      default:
        return 16;
    }
  }

  // 16-bit PCM, the usual recording, is read as it is stored and scaled
  // here, as libsndfile scales it (by 1/32768): the same values, in a loop
  // the compiler vectorises where libsndfile converts one sample at a time.
  sf_count_t ReadShorts(float* interleaved, sf_count_t frames) {
    const auto samples = static_cast<size_t>(frames * format.channels);
    if (scratch_.size() < samples) {
      scratch_.resize(samples);
    }
    const sf_count_t got = sf_readf_short(file_, scratch_.data(), frames);
    const sf_count_t count = got * format.channels;
    constexpr float kScale = 1.0F / 32768.0F;
    for (sf_count_t i = 0; i < count; ++i) {
      interleaved[i] = static_cast<float>(scratch_[static_cast<size_t>(i)]) * kScale;
    }
    return got;
  }

  SNDFILE* file_;
  QString path_;
  bool seekable_ = true;
  bool shorts_ = false;
  std::vector<short> scratch_;
};

class Mpg123Source : public PcmSource {
 public:
  static std::unique_ptr<PcmSource> Open(const QString& path) {
    static const bool initialised = mpg123_init() == MPG123_OK;
    if (!initialised) {
      return nullptr;
    }
    int error = MPG123_OK;
    mpg123_handle* mh = mpg123_new(nullptr, &error);
    if (mh == nullptr) {
      return nullptr;
    }
    auto source = std::unique_ptr<Mpg123Source>(new Mpg123Source(mh));
    mpg123_param(mh, MPG123_ADD_FLAGS, MPG123_QUIET | MPG123_GAPLESS, 0.0);
    mpg123_format_none(mh);
    const long* rates = nullptr;
    size_t rate_count = 0;
    mpg123_rates(&rates, &rate_count);
    for (size_t i = 0; i < rate_count; ++i) {
      mpg123_format(mh, rates[i], MPG123_MONO | MPG123_STEREO, MPG123_ENC_FLOAT_32);
    }
    long rate = 0;
    int channels = 0;
    int encoding = 0;
    if (mpg123_open(mh, QFile::encodeName(path).constData()) != MPG123_OK ||
        mpg123_scan(mh) != MPG123_OK ||
        mpg123_getformat(mh, &rate, &channels, &encoding) != MPG123_OK || rate <= 0 ||
        channels <= 0) {
      return nullptr;
    }
    source->format.rate = static_cast<int>(rate);
    source->format.channels = channels;
    // The decoder's floats carry more than 16 bits.
    source->format.bits = 32;
    const off_t length = mpg123_length(mh);
    source->frames = KnownFrames(length);
    return source;
  }
  ~Mpg123Source() override {
    mpg123_close(mh_);
    mpg123_delete(mh_);
  }

  bool Rewind() override { return Seek(0); }
  bool Seek(int64_t frame) override {
    changed_format_ = false;
    return mpg123_seek(mh_, static_cast<off_t>(frame), SEEK_SET) == static_cast<off_t>(frame);
  }

  int64_t Read(float* interleaved, int64_t frames) override {
    const size_t wanted = static_cast<size_t>(frames * format.channels) * sizeof(float);
    size_t done = 0;
    while (done < wanted && !changed_format_) {
      size_t got = 0;
      const int status = mpg123_read(mh_, reinterpret_cast<unsigned char*>(interleaved) + done,
                                     wanted - done, &got);
      done += got;
      if (status == MPG123_DONE) {
        break;
      }
      if (status == MPG123_NEW_FORMAT && !SameFormat()) {
        // Files joined end to end may change from mono to stereo or change
        // rate: what follows is not of this source's format, so the source
        // ends there.
        changed_format_ = true;
        break;
      }
      if (status != MPG123_OK && status != MPG123_NEW_FORMAT) {
        return done > 0 ? static_cast<int64_t>(done / sizeof(float)) / format.channels : -1;
      }
      if (got == 0 && status == MPG123_OK) {
        break;
      }
    }
    return static_cast<int64_t>(done / sizeof(float)) / format.channels;
  }

 private:
  explicit Mpg123Source(mpg123_handle* mh) : mh_(mh) {}
  bool SameFormat() const {
    long rate = 0;
    int channels = 0;
    int encoding = 0;
    return mpg123_getformat(mh_, &rate, &channels, &encoding) == MPG123_OK && rate == format.rate &&
           channels == format.channels;
  }

  mpg123_handle* mh_;
  bool changed_format_ = false;
};

}  // namespace

std::unique_ptr<PcmSource> OpenPcmSource(const QString& path) {
  static const QStringList kMpegSuffixes = {u"mp3"_s, u"mp2"_s, u"mpa"_s, u"mpga"_s};
  if (kMpegSuffixes.contains(QFileInfo(path).suffix().toLower())) {
    return Mpg123Source::Open(path);
  }
  return SndfileSource::Open(path);
}

}  // namespace parlatone
