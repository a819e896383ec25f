#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QThread>

#include <ebur128.h>
#include <lame/lame.h>
#include <soxr.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cmath>
#include <condition_variable>
#include <cstring>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "core/file_io.h"
#include "core/operator.h"
#include "core/series.h"
#include "sound/pcm_source.h"
#include "sound/sound_analysis.h"
#include "sound/sound_probe.h"
#include "tools/conversion_engine.h"
#include "tools/fit_engine.h"
#include "tools/tool_runs.h"

namespace parlatone {

using namespace Qt::StringLiterals;

namespace {

constexpr int64_t kBlockFrames = kPcmBlockFrames;
constexpr double kPeakCeilingDb = -1.0;
// A RIFF size field is 32 bits: the data may not pass this.
constexpr int64_t kMaxWaveData = 0xFFFFFFFFLL - 44;

// ---------------------------------------------------------------- encoders

// Writes frames of floats in -1..1 to the output format.
class Encoder {
 public:
  virtual ~Encoder() = default;
  virtual bool Encode(const float* interleaved, int64_t frames) = 0;
  virtual bool Finish() = 0;
  bool too_long = false;
};

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

// ---------------------------------------------------------------- pipeline

// What a run of one source needs from the world: when to stop and where
// its progress goes (a share of the run's total).
struct Reporting {
  const std::atomic<bool>& stop;
  std::atomic<int64_t>& done_units;
  int64_t units = 0;  // this file's share
  int passes = 1;
  int64_t reported = 0;

  void Report(int pass, int64_t frames_read, int64_t frames_total) {
    if (frames_total <= 0) {
      return;
    }
    const double share = (pass + std::min(1.0, static_cast<double>(frames_read) /
                                                   static_cast<double>(frames_total))) /
                         passes;
    const auto now = static_cast<int64_t>(share * static_cast<double>(units));
    if (now > reported) {
      done_units += now - reported;
      reported = now;
    }
  }
  void Complete() {
    done_units += units - reported;
    reported = units;
  }
};

// Blocks of decoded frames mixed to the output's channels, made either on
// demand or, when a core would otherwise idle, by a thread of their own a
// few blocks ahead of the resampler and the encoder.
class MixedBlocks {
 public:
  MixedBlocks(PcmSource& source, int out_channels, bool ahead)
      : source_(source),
        in_channels_(source.format.channels),
        out_channels_(out_channels),
        input_(static_cast<size_t>(kBlockFrames * in_channels_)),
        blocks_(ahead ? kDepth : 1) {
    for (Block& block : blocks_) {
      block.data.resize(static_cast<size_t>(kBlockFrames * out_channels_));
    }
    if (ahead) {
      thread_ = std::thread([this] { Produce(); });
    }
  }
  ~MixedBlocks() {
    if (thread_.joinable()) {
      {
        std::lock_guard lock(mutex_);
        quit_ = true;
      }
      changed_.notify_all();
      thread_.join();
    }
  }
  MixedBlocks(const MixedBlocks&) = delete;
  MixedBlocks& operator=(const MixedBlocks&) = delete;

  // The next block's frames (0 at the end, -1 when the source cannot be
  // read); `data` stays valid until the next call.
  int64_t Next(const float** data) {
    if (!thread_.joinable()) {
      Block& block = blocks_.front();
      block.frames = Make(block.data.data());
      *data = block.data.data();
      return block.frames;
    }
    std::unique_lock lock(mutex_);
    if (taken_) {  // the block handed out last time is free again
      taken_ = false;
      --filled_;
      head_ = (head_ + 1) % kDepth;
      changed_.notify_all();
    }
    changed_.wait(lock, [this] { return filled_ > 0; });
    const Block& block = blocks_[head_];
    taken_ = block.frames > 0;
    *data = block.data.data();
    return block.frames;
  }

 private:
  static constexpr size_t kDepth = 4;
  struct Block {
    std::vector<float> data;
    int64_t frames = 0;
  };

  int64_t Make(float* out) {
    const int64_t got = source_.Read(input_.data(), kBlockFrames);
    if (got > 0) {
      Mix(input_.data(), got, out);
    }
    return got;
  }

  void Produce() {
    size_t tail = 0;
    for (;;) {
      {
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [this] { return quit_ || filled_ < kDepth; });
        if (quit_) {
          return;
        }
      }
      Block& block = blocks_[tail];
      block.frames = Make(block.data.data());
      {
        std::lock_guard lock(mutex_);
        ++filled_;
      }
      changed_.notify_all();
      if (block.frames <= 0) {
        return;
      }
      tail = (tail + 1) % kDepth;
    }
  }

  // Mono is the mean of every channel: a stereo recording keeps both sides
  // (a channel dropped could be the one that carries the voice).
  void Mix(const float* input, int64_t frames, float* output) const {
    if (in_channels_ == out_channels_) {
      std::memcpy(output, input, static_cast<size_t>(frames * in_channels_) * sizeof(float));
      return;
    }
    const float weight = 1.0F / static_cast<float>(in_channels_);
    for (int64_t f = 0; f < frames; ++f) {
      float sum = 0.0F;
      for (int c = 0; c < in_channels_; ++c) {
        sum += input[f * in_channels_ + c];
      }
      output[f] = sum * weight;
    }
  }

  PcmSource& source_;
  int in_channels_;
  int out_channels_;
  std::vector<float> input_;
  std::vector<Block> blocks_;
  std::thread thread_;
  std::mutex mutex_;
  std::condition_variable changed_;
  size_t filled_ = 0;
  size_t head_ = 0;
  bool taken_ = false;
  bool quit_ = false;
};

// Decode, mix to the output's channels and resample, handing blocks of
// output frames to a sink. Run once to measure, once more to write.
class Pipeline {
 public:
  Pipeline(PcmSource& source, const FitTarget& target, bool read_ahead)
      : source_(source), target_(target), read_ahead_(read_ahead) {}

  enum class Outcome { kDone, kUnreadable, kStopped, kSinkFailed };

  template <typename Sink>
  Outcome Run(Sink& sink, Reporting& reporting, int pass) {
    if (pass > 0 && !source_.Rewind()) {
      return Outcome::kUnreadable;
    }
    const int out_channels = target_.channels;
    std::unique_ptr<soxr, decltype(&soxr_delete)> resampler(nullptr, soxr_delete);
    std::vector<float> resampled;
    const bool resampling = source_.format.rate != target_.rate;
    if (resampling) {
      soxr_error_t error = nullptr;
      const soxr_quality_spec_t quality = soxr_quality_spec(SOXR_HQ, 0);
      const soxr_io_spec_t io = soxr_io_spec(SOXR_FLOAT32_I, SOXR_FLOAT32_I);
      resampler.reset(soxr_create(source_.format.rate, target_.rate,
                                  static_cast<unsigned>(out_channels), &error, &io, &quality,
                                  nullptr));
      if (resampler == nullptr || error != nullptr) {
        return Outcome::kUnreadable;
      }
      resampled.resize(static_cast<size_t>(
          (kBlockFrames * static_cast<int64_t>(target_.rate) / source_.format.rate + 256) *
          out_channels));
    }
    const size_t resampled_frames = resampled.size() / static_cast<size_t>(out_channels);
    MixedBlocks blocks(source_, out_channels, read_ahead_);
    int64_t frames_read = 0;
    for (;;) {
      if (reporting.stop.load(std::memory_order_relaxed)) {
        return Outcome::kStopped;
      }
      const float* mixed = nullptr;
      const int64_t got = blocks.Next(&mixed);
      if (got < 0) {
        return Outcome::kUnreadable;
      }
      if (got == 0) {
        break;
      }
      frames_read += got;
      if (!resampling) {
        if (!sink(mixed, got)) {
          return Outcome::kSinkFailed;
        }
      } else {
        size_t offset = 0;
        while (offset < static_cast<size_t>(got)) {
          size_t used = 0;
          size_t made = 0;
          soxr_process(resampler.get(), mixed + offset * out_channels,
                       static_cast<size_t>(got) - offset, &used, resampled.data(), resampled_frames,
                       &made);
          if (made > 0 && !sink(resampled.data(), static_cast<int64_t>(made))) {
            return Outcome::kSinkFailed;
          }
          if (used == 0 && made == 0) {
            break;
          }
          offset += used;
        }
      }
      reporting.Report(pass, frames_read, source_.frames);
    }
    if (resampling) {
      size_t made = 0;
      do {
        soxr_process(resampler.get(), nullptr, 0, nullptr, resampled.data(), resampled_frames,
                     &made);
        if (made > 0 && !sink(resampled.data(), static_cast<int64_t>(made))) {
          return Outcome::kSinkFailed;
        }
      } while (made > 0);
    }
    return Outcome::kDone;
  }

 private:
  PcmSource& source_;
  FitTarget target_;
  bool read_ahead_;
};

// The measuring pass: loudness, peak, and where the sound starts and ends.
struct Measure {
  explicit Measure(const FitTarget& target, bool loudness) : channels(target.channels) {
    if (loudness) {
      meter = ebur128_init(static_cast<unsigned>(target.channels),
                           static_cast<unsigned long>(target.rate), EBUR128_MODE_I);
    }
  }
  ~Measure() {
    if (meter != nullptr) {
      ebur128_destroy(&meter);
    }
  }
  Measure(const Measure&) = delete;
  Measure& operator=(const Measure&) = delete;

  bool operator()(const float* frames, int64_t count) {
    if (meter != nullptr &&
        ebur128_add_frames_float(meter, frames, static_cast<size_t>(count)) != EBUR128_SUCCESS) {
      return false;
    }
    for (int64_t f = 0; f < count; ++f) {
      for (int c = 0; c < channels; ++c) {
        const float magnitude = std::fabs(frames[f * channels + c]);
        peak = std::max(peak, magnitude);
        if (magnitude >= kSilenceThreshold) {
          if (first_loud < 0) {
            first_loud = position + f;
          }
          last_loud = position + f;
        }
      }
    }
    position += count;
    return true;
  }

  int channels;
  ebur128_state* meter = nullptr;
  float peak = 0.0F;
  int64_t first_loud = -1;
  int64_t last_loud = -1;
  int64_t position = 0;
};

// The writing pass: the kept stretch, the gain, the encoder.
struct Write {
  int channels = 1;
  int64_t begin = 0;
  int64_t end = INT64_MAX;
  float gain = 1.0F;
  Encoder* encoder = nullptr;
  int64_t position = 0;
  std::vector<float> scratch;

  bool operator()(const float* frames, int64_t count) {
    const int64_t first = std::max<int64_t>(begin - position, 0);
    const int64_t last = std::min<int64_t>(end - position, count);
    position += count;
    if (first >= last) {
      return true;
    }
    const int64_t kept = last - first;
    const float* from = frames + first * channels;
    scratch.resize(static_cast<size_t>(kept * channels));
    for (int64_t i = 0; i < kept * channels; ++i) {
      scratch[static_cast<size_t>(i)] = std::clamp(from[i] * gain, -1.0F, 1.0F);
    }
    return encoder->Encode(scratch.data(), kept);
  }
};

// ---------------------------------------------------------------- one file

struct Job {
  QString source;
  QString output;
  bool go = false;  // the checks before the run let it be written
};

void FitOne(const Job& job, const FitSeries& series, const FitOptions& options, bool read_ahead,
            Reporting& reporting, FitFileResult& result) {
  std::unique_ptr<PcmSource> source = OpenPcmSource(job.source);
  if (source == nullptr) {
    result.messages << QString::fromUtf16(fit_text::kUnreadable);
    return;
  }
  result.target = PlanFit(series, source->format, options);
  const FitTarget& target = result.target;
  Pipeline pipeline(*source, target, read_ahead);
  const bool measuring = options.normalize_lufs.has_value() || options.trim;
  reporting.passes = measuring ? 2 : 1;

  auto failed = [&](Pipeline::Outcome outcome) {
    if (outcome == Pipeline::Outcome::kStopped) {
      result.messages << QString::fromUtf16(fit_text::kCancelled);
    } else if (outcome == Pipeline::Outcome::kUnreadable) {
      result.messages << QString::fromUtf16(fit_text::kUnreadable);
    }
    return outcome != Pipeline::Outcome::kDone;
  };

  Write write;
  write.channels = target.channels;
  if (measuring) {
    Measure measure(target, options.normalize_lufs.has_value());
    if (failed(pipeline.Run(measure, reporting, 0))) {
      return;
    }
    if (options.trim) {
      if (measure.first_loud < 0) {
        result.messages << QString::fromUtf16(fit_text::kSilentNotTrimmed);
      } else {
        const auto margin =
            static_cast<int64_t>(std::lround(options.trim_margin_ms / 1000.0 * target.rate));
        write.begin = std::max<int64_t>(0, measure.first_loud - margin);
        write.end = std::min(measure.position, measure.last_loud + 1 + margin);
        result.trimmed_lead_ms = write.begin * 1000 / target.rate;
        result.trimmed_tail_ms = (measure.position - write.end) * 1000 / target.rate;
      }
    }
    if (options.normalize_lufs) {
      double loudness = 0.0;
      if (measure.meter == nullptr ||
          ebur128_loudness_global(measure.meter, &loudness) != EBUR128_SUCCESS ||
          !std::isfinite(loudness) || measure.peak <= 0.0F) {
        result.messages << QString::fromUtf16(fit_text::kSilentNoGain);
      } else {
        const double peak_db = 20.0 * std::log10(static_cast<double>(measure.peak));
        const double wanted_db = *options.normalize_lufs - loudness;
        const double allowed_db = kPeakCeilingDb - peak_db;
        result.limited_by_peak = allowed_db < wanted_db;
        result.gain_db = std::min(wanted_db, allowed_db);
        // A gain moves the integrated loudness by as many dB; the peak
        // ceiling keeps every sample below full scale, so nothing clips.
        result.loudness_lufs = loudness + result.gain_db;
        write.gain = static_cast<float>(std::pow(10.0, result.gain_db / 20.0));
      }
    }
  }

  StreamedOutputFile file(job.output);
  if (!file.Open()) {
    result.messages << QString::fromUtf16(fit_text::kWriteFailed);
    return;
  }
  std::unique_ptr<Encoder> encoder;
  if (target.mp3) {
    auto mp3 = std::make_unique<Mp3Encoder>(file, target);
    if (!mp3->Ready()) {
      result.messages << QString::fromUtf16(fit_text::kWriteFailed);
      return;
    }
    encoder = std::move(mp3);
  } else {
    auto wave = std::make_unique<WaveEncoder>(file, target);
    if (!wave->Start()) {
      result.messages << QString::fromUtf16(fit_text::kWriteFailed);
      return;
    }
    encoder = std::move(wave);
  }
  write.encoder = encoder.get();
  const Pipeline::Outcome outcome = pipeline.Run(write, reporting, measuring ? 1 : 0);
  if (outcome == Pipeline::Outcome::kSinkFailed) {
    result.messages << QString::fromUtf16(encoder->too_long ? fit_text::kTooLong
                                                            : fit_text::kWriteFailed);
    return;
  }
  if (failed(outcome)) {
    return;
  }
  if (!encoder->Finish() || !file.Commit()) {
    result.messages << QString::fromUtf16(encoder->too_long ? fit_text::kTooLong
                                                            : fit_text::kWriteFailed);
    return;
  }
  result.output = job.output;
  // The MP3 encoder moves the level by a few tenths of a dB: what an MP3
  // reached is measured on the file written, as the registration grid
  // measures it. A WAVE file holds what the gain made.
  if (result.loudness_lufs && target.mp3) {
    const std::optional<SoundLevels> written = AnalyseSound(job.output, &reporting.stop);
    if (written && written->loudness_lufs) {
      result.loudness_lufs = written->loudness_lufs;
    }
  }
  const std::optional<int64_t> length =
      ProbedLengthMs(ProbeSoundFile(job.output, series.mode), series.mode);
  result.length_ms = length.value_or(-1);
}

}  // namespace

FitFileResult FitFileTo(const QString& source, const QString& output, const FitSeries& series,
                        const FitOptions& options, const std::atomic<bool>* cancel) {
  FitFileResult result;
  result.source = source;
  result.name = QFileInfo(output).fileName();
  if (IsSameFile(source, output)) {
    result.messages << QString::fromUtf16(fit_text::kSameAsSource);
    return result;
  }
  const std::atomic<bool> never = false;
  const std::atomic<bool>& stop = cancel != nullptr ? *cancel : never;
  std::atomic<int64_t> done_units = 0;
  Reporting reporting{stop, done_units, 1};
  FitOne(Job{source, output, true}, series, options, false, reporting, result);
  return result;
}

FitRunResult FitFiles(const QStringList& sources, const QString& out_folder,
                      const FitSeries& series, const FitOptions& options, Operator& op,
                      const std::atomic<bool>* cancel) {
  std::vector<FitFileResult> results;
  FitNamer namer(IsMp3Series(series.mode) ? u"mp3"_s : u"wav"_s);
  const bool folder_ready = QDir().mkpath(out_folder);
  QSet<QString> source_files;
  for (const QString& source : sources) {
    source_files.insert(QFileInfo(source).canonicalFilePath());
  }
  std::vector<Job> jobs;
  jobs.reserve(static_cast<size_t>(sources.size()));
  results.reserve(static_cast<size_t>(sources.size()));
  for (const QString& source : sources) {
    FitFileResult result;
    result.source = source;
    const FitNamer::Name name = namer.NameFor(source);
    result.name = name.file;
    result.comment = name.comment;
    Job job;
    job.source = source;
    job.output = QDir(out_folder).absoluteFilePath(name.file);
    if (!folder_ready) {
      result.messages << QString::fromUtf16(fit_text::kFolderFailed);
    } else if (QFileInfo::exists(job.output)) {
      const QString canonical = QFileInfo(job.output).canonicalFilePath();
      // Replacing a source of this run would change it while it is read.
      if (IsSameFile(source, job.output) || source_files.contains(canonical)) {
        result.messages << QString::fromUtf16(fit_text::kSameAsSource);
      } else if (AskTextBeforeDiscarding(
                     op, name.file + u"\r\n"_s + QString::fromUtf16(tool_text::kOverwrite)) ==
                 MessageAnswer::kYes) {
        job.go = true;
      } else {
        result.messages << QString::fromUtf16(fit_text::kNotReplaced);
      }
    } else {
      job.go = true;
    }
    results.push_back(result);
    jobs.push_back(job);
  }

  // Each file's share of the bar is its size: a long file moves it more.
  std::vector<int64_t> units(jobs.size(), 0);
  int64_t total_units = 0;
  for (size_t i = 0; i < jobs.size(); ++i) {
    if (jobs[i].go) {
      units[i] = std::max<int64_t>(1, QFileInfo(jobs[i].source).size());
      total_units += units[i];
    }
  }

  std::atomic<bool> stop = cancel != nullptr && cancel->load();
  std::atomic<int64_t> done_units = 0;
  std::atomic<size_t> next = 0;
  std::mutex mutex;
  std::condition_variable finished_cv;
  size_t finished_workers = 0;
  const size_t worker_count =
      std::clamp<size_t>(static_cast<size_t>(std::max(1, QThread::idealThreadCount())), 1,
                         std::max<size_t>(1, jobs.size()));

  // Fewer files than cores: each file's decoding gets a core of its own.
  const int cores = std::max(1, QThread::idealThreadCount());
  const bool read_ahead = static_cast<int>(jobs.size()) < cores;
  auto work = [&] {
    for (size_t i = next++; i < jobs.size(); i = next++) {
      if (!jobs[i].go) {
        continue;
      }
      Reporting reporting{stop, done_units, units[i]};
      FitOne(jobs[i], series, options, read_ahead, reporting, results[i]);
      reporting.Complete();
    }
    std::lock_guard lock(mutex);
    ++finished_workers;
    finished_cv.notify_all();
  };

  const QString caption = QString::fromUtf16(fit_text::kCaption);
  BusyScope busy(op);
  op.SetProgress(caption, 0, 1000);
  std::vector<std::thread> workers;
  for (size_t w = 0; w < worker_count; ++w) {
    workers.emplace_back(work);
  }
  for (;;) {
    {
      std::unique_lock lock(mutex);
      finished_cv.wait_for(lock, std::chrono::milliseconds(50),
                           [&] { return finished_workers == worker_count; });
      if (finished_workers == worker_count) {
        break;
      }
    }
    const int64_t value = total_units > 0 ? done_units.load() * 1000 / total_units : 0;
    op.SetProgress(caption, static_cast<int>(std::min<int64_t>(value, 1000)), 1000);
    op.ProcessPendingEvents();
    if (cancel != nullptr && cancel->load()) {
      stop = true;
    }
  }
  for (std::thread& worker : workers) {
    worker.join();
  }
  op.SetProgress(caption, 1000, 1000);
  op.SetProgress(QString(), 0, 0);
  FitRunResult run;
  run.files = QList<FitFileResult>(results.begin(), results.end());
  run.cancelled = stop.load();
  return run;
}

}  // namespace parlatone
