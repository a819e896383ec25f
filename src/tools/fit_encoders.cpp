// SPDX-License-Identifier: GPL-3.0-or-later
#include "tools/fit_encoders.h"

#include <QByteArray>

#include <lame/lame.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

namespace parlatone::fit_detail {
namespace {

// A RIFF size field is 32 bits: the data may not pass this.
constexpr int64_t kMaxWaveData = 0xFFFFFFFFLL - 44;

// Plain PCM WAVE, 8 bits unsigned or 16 bits signed, with triangular dither
// when the source had more bits. Samples are clamped, never wrapped.
class WaveEncoder : public Encoder {
 public:
  WaveEncoder(StreamedOutputFile& file, const FitTarget& target)
      : file_(file), target_(target), bytes_per_sample_(target.bits / 8), buffer_(kBufferBytes) {}

  bool Start() {
    const QByteArray header = Header(0);
    return file_.Write(header.constData(), header.size());
  }

  bool Encode(const float* interleaved, int64_t frames) override {
    int64_t left = frames * target_.channels;
    while (left > 0) {
      const int64_t room = static_cast<int64_t>(kBufferBytes - used_) / bytes_per_sample_;
      const int64_t count = std::min(left, room);
      char* out = buffer_.data() + used_;
      if (target_.bits == 16) {
        target_.dither ? Quantize<16, true>(interleaved, count, out)
                       : Quantize<16, false>(interleaved, count, out);
      } else {
        target_.dither ? Quantize<8, true>(interleaved, count, out)
                       : Quantize<8, false>(interleaved, count, out);
      }
      used_ += static_cast<size_t>(count * bytes_per_sample_);
      interleaved += count;
      left -= count;
      if (used_ == kBufferBytes && !Flush()) {
        return false;
      }
    }
    return true;
  }

  bool Finish() override {
    if (!Flush()) {
      return false;
    }
    if (data_bytes_ % 2 != 0) {
      const char pad = 0;
      if (!file_.Write(&pad, 1)) {
        return false;
      }
    }
    const QByteArray header = Header(data_bytes_);
    return file_.WriteAt(0, header.constData(), header.size());
  }

 private:
  static constexpr size_t kBufferBytes = 1 << 16;

  bool Flush() {
    data_bytes_ += static_cast<int64_t>(used_);
    if (data_bytes_ > kMaxWaveData) {
      too_long = true;
      return false;
    }
    const bool written = file_.Write(buffer_.data(), static_cast<qint64>(used_));
    used_ = 0;
    return written;
  }

  QByteArray Header(int64_t data_bytes) const {
    QByteArray header;
    auto put16 = [&](uint32_t v) {
      header.append(static_cast<char>(v & 0xFF)).append(static_cast<char>((v >> 8) & 0xFF));
    };
    auto put32 = [&](uint32_t v) {
      put16(v & 0xFFFF);
      put16(v >> 16);
    };
    const auto block = static_cast<uint32_t>(target_.channels * bytes_per_sample_);
    header.append("RIFF");
    put32(static_cast<uint32_t>(36 + data_bytes + data_bytes % 2));
    header.append("WAVEfmt ");
    put32(16);
    put16(1);
    put16(static_cast<uint32_t>(target_.channels));
    put32(static_cast<uint32_t>(target_.rate));
    put32(static_cast<uint32_t>(target_.rate) * block);
    put16(block);
    put16(static_cast<uint32_t>(target_.bits));
    header.append("data");
    put32(static_cast<uint32_t>(data_bytes));
    return header;
  }

  // A fixed seed: the same source gives the same file every time.
  // Triangular noise of one step either way: the difference of two uniform
  // values, taken from the two halves of one random word.
  float Tpdf() {
    state_ ^= state_ << 13;
    state_ ^= state_ >> 17;
    state_ ^= state_ << 5;
    return (static_cast<float>(state_ & 0xFFFF) - static_cast<float>(state_ >> 16)) *
           (1.0F / 65536.0F);
  }

  template <int kBits, bool kDither>
  void Quantize(const float* in, int64_t count, char* out) {
    constexpr float kScale = kBits == 16 ? 32768.0F : 128.0F;
    for (int64_t i = 0; i < count; ++i) {
      float value = in[i] * kScale;
      if constexpr (kDither) {
        value += Tpdf();
      }
      const auto sample = static_cast<int>(std::lrint(std::clamp(value, -kScale, kScale - 1)));
      if constexpr (kBits == 16) {
        out[2 * i] = static_cast<char>(sample & 0xFF);
        out[2 * i + 1] = static_cast<char>((sample >> 8) & 0xFF);
      } else {
        out[i] = static_cast<char>(sample + 128);
      }
    }
  }

  StreamedOutputFile& file_;
  FitTarget target_;
  int bytes_per_sample_;
  std::vector<char> buffer_;
  size_t used_ = 0;
  int64_t data_bytes_ = 0;
  uint32_t state_ = 0x9E3779B9U;
};

// Constant bit rate MP3 with LAME's info tag, which tells decoders the
// encoder delay and padding so that the measured length is the source's.
class Mp3Encoder : public Encoder {
 public:
  Mp3Encoder(StreamedOutputFile& file, const FitTarget& target)
      : file_(file), channels_(target.channels), lame_(lame_init()) {
    if (lame_ == nullptr) {
      return;
    }
    lame_set_in_samplerate(lame_, target.rate);
    lame_set_out_samplerate(lame_, target.rate);
    lame_set_num_channels(lame_, target.channels);
    lame_set_mode(lame_, target.channels == 1 ? MONO : JOINT_STEREO);
    lame_set_VBR(lame_, vbr_off);
    lame_set_brate(lame_, target.bitrate);
    lame_set_bWriteVbrTag(lame_, 1);
    lame_set_write_id3tag_automatic(lame_, 0);
    ready_ = lame_init_params(lame_) >= 0;
  }
  ~Mp3Encoder() override {
    if (lame_ != nullptr) {
      lame_close(lame_);
    }
  }

  bool Ready() const { return ready_; }

  bool Encode(const float* interleaved, int64_t frames) override {
    const auto needed = static_cast<size_t>(frames * 5 / 4 + 7200);
    if (out_.size() < needed) {
      out_.resize(needed);
    }
    const int count = static_cast<int>(frames);
    const int bytes =
        channels_ == 1 ? lame_encode_buffer_ieee_float(lame_, interleaved, nullptr, count,
                                                       out_.data(), static_cast<int>(out_.size()))
                       : lame_encode_buffer_interleaved_ieee_float(
                             lame_, interleaved, count, out_.data(), static_cast<int>(out_.size()));
    return bytes >= 0 && Write(bytes);
  }

  bool Finish() override {
    if (out_.size() < 7200) {
      out_.resize(7200);
    }
    const int bytes = lame_encode_flush(lame_, out_.data(), static_cast<int>(out_.size()));
    if (bytes < 0 || !Write(bytes)) {
      return false;
    }
    std::array<unsigned char, 2880> tag{};
    const size_t tag_bytes = lame_get_lametag_frame(lame_, tag.data(), tag.size());
    return tag_bytes <= tag.size() &&
           (tag_bytes == 0 || file_.WriteAt(0, reinterpret_cast<const char*>(tag.data()),
                                            static_cast<qint64>(tag_bytes)));
  }

 private:
  bool Write(int bytes) {
    return bytes == 0 || file_.Write(reinterpret_cast<const char*>(out_.data()), bytes);
  }

  StreamedOutputFile& file_;
  int channels_;
  lame_t lame_;
  bool ready_ = false;
  std::vector<unsigned char> out_;
};

}  // namespace

std::unique_ptr<Encoder> StartEncoder(StreamedOutputFile& file, const FitTarget& target) {
  if (target.mp3) {
    auto mp3 = std::make_unique<Mp3Encoder>(file, target);
    return mp3->Ready() ? std::move(mp3) : nullptr;
  }
  auto wave = std::make_unique<WaveEncoder>(file, target);
  return wave->Start() ? std::move(wave) : nullptr;
}

}  // namespace parlatone::fit_detail
