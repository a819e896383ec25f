// SPDX-License-Identifier: GPL-3.0-or-later
#include "sound/recorder.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QtEndian>

#include <algorithm>
#include <bit>
#include <chrono>
#include <cmath>
#include <cstring>

#include "sound/loudness.h"
#include "sound/sdl_audio_api.h"
#include "sound/sound_analysis.h"
#include "sound/sound_log.h"

namespace parlatone {

using namespace Qt::StringLiterals;

namespace {

// What the device hands over at a time: about 46 ms at 22.05 kHz, short
// enough for a lively meter.
constexpr int kDeviceFrames = 1024;
// Room between the device and the file: enough for the writer to fall
// behind by a stalled disk for several seconds before samples are dropped.
constexpr int64_t kRingSeconds = 8;
constexpr auto kHeaderInterval = std::chrono::seconds(1);
constexpr auto kWriterWake = std::chrono::milliseconds(10);
// The meter's stretches kept when nobody collects them: one minute.
constexpr size_t kMaxSpans = 60 * Recorder::kSpansPerSecond;
constexpr auto kTakeSuffix = ".take"_L1;
// A take not written to for this long belongs to no running recording.
constexpr int kLeftoverQuietSeconds = 5;
// SDL's own choice when a device does not say its rate.
constexpr int kSdlDefaultRate = 22050;

// SDL's audio part is counted: each user starts and ends its own share.
bool StartSdlAudio() {
  if (Sdl() == nullptr) {
    return false;
  }
  Sdl()->SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
  return Sdl()->InitSubSystem(SDL_INIT_AUDIO) == 0;
}

void EndSdlAudio() {
  Sdl()->QuitSubSystem(SDL_INIT_AUDIO);
}

// What the device says it gives; zeros where it does not say (the disk and
// dummy drivers, and SDL before 2.24 for the default device).
SDL_AudioSpec DeviceFormat(const QString& device) {
  SDL_AudioSpec offered{};
  if (device.isEmpty()) {
    char* name = nullptr;
    if (Sdl()->GetDefaultAudioInfo != nullptr &&
        Sdl()->GetDefaultAudioInfo(&name, &offered, 1) == 0) {
      Sdl()->Free(name);
      return offered;
    }
    return SDL_AudioSpec{};
  }
  const int count = Sdl()->GetNumAudioDevices(1);
  for (int i = 0; i < count; ++i) {
    const char* name = Sdl()->GetAudioDeviceName(i, 1);
    if (name != nullptr && QString::fromUtf8(name) == device) {
      if (Sdl()->GetAudioDeviceSpec(i, 1, &offered) != 0) {
        offered = SDL_AudioSpec{};
      }
      break;
    }
  }
  return offered;
}

int SdlFallbackRate() {
  const int rate = qEnvironmentVariableIntValue("SDL_AUDIO_FREQUENCY");
  return rate > 0 ? rate : kSdlDefaultRate;
}

QByteArray WaveHeader(const RecordingFormat& format, int64_t data_bytes) {
  QByteArray header(44, '\0');
  char* h = header.data();
  const auto block = static_cast<uint16_t>(format.channels * 2);
  std::memcpy(h, "RIFF", 4);
  qToLittleEndian<uint32_t>(static_cast<uint32_t>(36 + data_bytes), h + 4);
  std::memcpy(h + 8, "WAVEfmt ", 8);
  qToLittleEndian<uint32_t>(16, h + 16);
  qToLittleEndian<uint16_t>(1, h + 20);
  qToLittleEndian<uint16_t>(static_cast<uint16_t>(format.channels), h + 22);
  qToLittleEndian<uint32_t>(static_cast<uint32_t>(format.rate), h + 24);
  qToLittleEndian<uint32_t>(static_cast<uint32_t>(format.rate) * block, h + 28);
  qToLittleEndian<uint16_t>(block, h + 32);
  qToLittleEndian<uint16_t>(16, h + 34);
  std::memcpy(h + 36, "data", 4);
  qToLittleEndian<uint32_t>(static_cast<uint32_t>(data_bytes), h + 40);
  return header;
}

// A RIFF size is 32 bits: a take ends before its data would pass it.
constexpr int64_t kMaxDataBytes = 0xFFFFFFFFLL - 36;

}  // namespace

QString NewTakePath(const QString& folder) {
  const QDir dir(folder);
  const QString stamp = QDateTime::currentDateTime().toString(u"yyyyMMdd-HHmmss"_s);
  QString path = dir.absoluteFilePath(u"take-"_s + stamp + kTakeSuffix);
  for (int n = 2; QFileInfo::exists(path); ++n) {
    path = dir.absoluteFilePath(u"take-"_s + stamp + u'-' + QString::number(n) + kTakeSuffix);
  }
  return path;
}

QStringList LeftoverTakes(const QString& folder) {
  QStringList found;
  const QDateTime quiet_since = QDateTime::currentDateTime().addSecs(-kLeftoverQuietSeconds);
  const QFileInfoList entries = QDir(folder).entryInfoList({u"take-*"_s + kTakeSuffix}, QDir::Files,
                                                           QDir::Time | QDir::Reversed);
  for (const QFileInfo& entry : entries) {
    // A live take's header is rewritten every second.
    if (entry.lastModified() < quiet_since) {
      found << entry.absoluteFilePath();
    }
  }
  return found;
}

QStringList CaptureDeviceNames() {
  QStringList names;
  if (!StartSdlAudio()) {
    return names;
  }
  const int count = Sdl()->GetNumAudioDevices(1);
  for (int i = 0; i < count; ++i) {
    if (const char* name = Sdl()->GetAudioDeviceName(i, 1)) {
      names << QString::fromUtf8(name);
    }
  }
  EndSdlAudio();
  return names;
}

RecordingFormat ChooseRecordingFormat(const QList<int>& series_rates, bool stereo_allowed,
                                      int device_rate, int device_channels) {
  RecordingFormat format;
  QList<int> rates = series_rates;
  std::sort(rates.begin(), rates.end());
  if (!rates.isEmpty()) {
    format.rate = rates.front();
    for (const int rate : rates) {
      if (rate <= device_rate) {
        format.rate = rate;
      }
    }
  }
  format.channels = stereo_allowed && device_channels >= 2 ? 2 : 1;
  return format;
}

struct Recorder::Output {
  QFile file;
  std::chrono::steady_clock::time_point header_written;
  std::unique_ptr<MomentaryLoudness> loudness;
  std::vector<int16_t> chunk;
  std::vector<float> scratch;
  // The stretch being filled.
  int64_t span_frames = 0;
  int64_t span_filled = 0;
  float low = 0.0F;
  float high = 0.0F;
};

Recorder::Recorder() = default;

Recorder::~Recorder() {
  Stop();
}

std::optional<QString> Recorder::Start(const RecorderSetup& setup) {
  Stop();
  if (!StartSdlAudio()) {
    return u"no sound system to record from"_s;
  }
  sdl_started_ = true;
  const SDL_AudioSpec offered = DeviceFormat(setup.device);
  format_ =
      ChooseRecordingFormat(setup.series_rates, setup.stereo_allowed,
                            offered.freq > 0 ? offered.freq : SdlFallbackRate(), offered.channels);
  if (format_.rate <= 0) {
    Stop();
    return u"the series takes no rate"_s;
  }

  output_ = std::make_unique<Output>();
  output_->file.setFileName(setup.path);
  if (!output_->file.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
      output_->file.write(WaveHeader(format_, 0)) != 44 || !output_->file.flush()) {
    const QString problem = output_->file.errorString();
    Stop();
    return u"cannot make %1: %2"_s.arg(setup.path, problem);
  }
  output_->header_written = std::chrono::steady_clock::now();
  output_->loudness = std::make_unique<MomentaryLoudness>(format_.rate, format_.channels);
  output_->span_frames = std::max(1, format_.rate / kSpansPerSecond);

  ring_.assign(static_cast<size_t>(std::bit_ceil(
                   static_cast<uint64_t>(kRingSeconds * format_.rate * format_.channels))),
               0);
  head_ = 0;
  tail_ = 0;
  delivered_ = 0;
  written_ = 0;
  dropped_ = 0;
  overruns_ = 0;
  complete_ = false;
  write_failed_ = false;
  stopping_ = false;
  max_samples_ = std::llround(setup.max_seconds * format_.rate) * format_.channels;
  {
    std::lock_guard lock(spans_mutex_);
    spans_.clear();
  }

  SDL_AudioSpec want{};
  want.freq = format_.rate;
  want.format = AUDIO_S16SYS;
  want.channels = static_cast<Uint8>(format_.channels);
  want.samples = kDeviceFrames;
  want.callback = &Recorder::OnAudio;
  want.userdata = this;
  SDL_AudioSpec have{};
  const QByteArray device_name = setup.device.toUtf8();
  // No changes allowed: SDL converts whatever the device gives into exactly
  // this format.
  device_ = Sdl()->OpenAudioDevice(setup.device.isEmpty() ? nullptr : device_name.constData(), 1,
                                   &want, &have, 0);
  if (device_ == 0) {
    const QString problem = QString::fromUtf8(Sdl()->GetError());
    output_->file.close();
    output_->file.remove();
    Stop();
    return u"cannot open the input device: %1"_s.arg(problem);
  }
  writer_ = std::thread([this] { WriteLoop(); });
  Sdl()->PauseAudioDevice(device_, 0);
  return std::nullopt;
}

void Recorder::Stop() {
  if (device_ != 0) {
    // Closing waits for the device's thread: no sample comes after it.
    Sdl()->CloseAudioDevice(device_);
    device_ = 0;
  }
  if (writer_.joinable()) {
    stopping_ = true;
    wake_.notify_one();
    writer_.join();
  }
  if (output_ != nullptr && output_->file.isOpen()) {
    Drain();
    WriteHeader();
    output_->file.close();
  }
  if (sdl_started_) {
    EndSdlAudio();
    sdl_started_ = false;
  }
}

RecorderCounts Recorder::Counts() const {
  RecorderCounts counts;
  counts.delivered = delivered_.load();
  counts.written = written_.load();
  counts.dropped = dropped_.load();
  counts.overruns = overruns_.load();
  counts.write_failed = write_failed_.load();
  return counts;
}

std::vector<RecordedSpan> Recorder::TakeSpans() {
  std::lock_guard lock(spans_mutex_);
  std::vector<RecordedSpan> taken;
  taken.swap(spans_);
  return taken;
}

void Recorder::OnAudio(void* self, unsigned char* stream, int length) {
  static_cast<Recorder*>(self)->Deliver(reinterpret_cast<const int16_t*>(stream),
                                        length / static_cast<int>(sizeof(int16_t)));
}

// On the device's thread: never waits, never allocates.
void Recorder::Deliver(const int16_t* samples, int64_t count) {
  if (max_samples_ > 0) {
    const int64_t left = max_samples_ - delivered_.load(std::memory_order_relaxed);
    if (left <= 0) {
      complete_ = true;
      return;
    }
    count = std::min(count, left);
  }
  delivered_.fetch_add(count, std::memory_order_relaxed);
  const uint64_t head = head_.load(std::memory_order_relaxed);
  const uint64_t tail = tail_.load(std::memory_order_acquire);
  const auto capacity = static_cast<int64_t>(ring_.size());
  const int64_t room = capacity - static_cast<int64_t>(head - tail);
  int64_t kept = count;
  if (kept > room) {
    // Whole frames only, so that the channels stay in step.
    kept = room - room % format_.channels;
    dropped_.fetch_add(count - kept, std::memory_order_relaxed);
    overruns_.fetch_add(1, std::memory_order_relaxed);
  }
  const uint64_t mask = ring_.size() - 1;
  const auto at = static_cast<size_t>(head & mask);
  const auto first =
      static_cast<size_t>(std::min<int64_t>(kept, capacity - static_cast<int64_t>(at)));
  std::memcpy(ring_.data() + at, samples, first * sizeof(int16_t));
  std::memcpy(ring_.data(), samples + first, (static_cast<size_t>(kept) - first) * sizeof(int16_t));
  head_.store(head + static_cast<uint64_t>(kept), std::memory_order_release);
  if (max_samples_ > 0 && delivered_.load(std::memory_order_relaxed) >= max_samples_) {
    complete_ = true;
  }
  wake_.notify_one();
}

void Recorder::WriteLoop() {
  while (!stopping_.load()) {
    {
      std::unique_lock lock(wake_mutex_);
      wake_.wait_for(lock, kWriterWake);
    }
    Drain();
    if (std::chrono::steady_clock::now() - output_->header_written >= kHeaderInterval) {
      WriteHeader();
    }
  }
}

// Moves what the ring holds into the file.
bool Recorder::Drain() {
  const uint64_t head = head_.load(std::memory_order_acquire);
  uint64_t tail = tail_.load(std::memory_order_relaxed);
  const uint64_t mask = ring_.size() - 1;
  while (tail != head) {
    const auto at = static_cast<size_t>(tail & mask);
    const auto count = static_cast<size_t>(std::min<uint64_t>(head - tail, ring_.size() - at));
    const int16_t* samples = ring_.data() + at;
    Measure(samples, static_cast<int64_t>(count));
    const auto bytes = static_cast<qint64>(count * sizeof(int16_t));
    const qint64 data_bytes = written_.load() * static_cast<qint64>(sizeof(int16_t));
    if (!write_failed_.load()) {
      bool ok = data_bytes + bytes <= kMaxDataBytes;
      if (ok) {
        if constexpr (Q_BYTE_ORDER == Q_LITTLE_ENDIAN) {
          ok = output_->file.write(reinterpret_cast<const char*>(samples), bytes) == bytes;
        } else {
          output_->chunk.resize(count);
          qToLittleEndian<int16_t>(samples, static_cast<qsizetype>(count), output_->chunk.data());
          ok = output_->file.write(reinterpret_cast<const char*>(output_->chunk.data()), bytes) ==
               bytes;
        }
      }
      if (ok) {
        written_.fetch_add(static_cast<int64_t>(count));
      } else {
        write_failed_ = true;
        qCDebug(SoundLog) << "recording stopped being written to" << output_->file.fileName()
                          << "after" << data_bytes << "bytes:" << output_->file.errorString();
      }
    }
    tail += count;
    tail_.store(tail, std::memory_order_release);
  }
  return !write_failed_.load();
}

// The sizes in the header follow the data written so far; the data reach
// the system first, so that a header never counts more than the file holds.
bool Recorder::WriteHeader() {
  QFile& file = output_->file;
  output_->header_written = std::chrono::steady_clock::now();
  const qint64 data_bytes = written_.load() * static_cast<qint64>(sizeof(int16_t));
  const qint64 end = file.pos();
  return file.flush() && file.seek(0) && file.write(WaveHeader(format_, data_bytes)) == 44 &&
         file.seek(end) && file.flush();
}

// The meter's stretches and loudness, from the samples on their way out.
void Recorder::Measure(const int16_t* samples, int64_t count) {
  Output& out = *output_;
  const int channels = format_.channels;
  const int64_t frames = count / channels;
  out.scratch.resize(static_cast<size_t>(count));
  for (int64_t i = 0; i < count; ++i) {
    out.scratch[static_cast<size_t>(i)] = static_cast<float>(samples[i]) / 32768.0F;
  }
  std::vector<RecordedSpan> made;
  for (int64_t f = 0; f < frames;) {
    const int64_t run = std::min(frames - f, out.span_frames - out.span_filled);
    const float* from = out.scratch.data() + f * channels;
    for (int64_t i = 0; i < run * channels; ++i) {
      out.low = std::min(out.low, from[i]);
      out.high = std::max(out.high, from[i]);
    }
    out.loudness->Add(from, run);
    out.span_filled += run;
    f += run;
    if (out.span_filled == out.span_frames) {
      made.push_back({out.low, out.high, out.loudness->Value()});
      out.low = out.high = 0.0F;
      out.span_filled = 0;
    }
  }
  if (!made.empty()) {
    std::lock_guard lock(spans_mutex_);
    spans_.insert(spans_.end(), made.begin(), made.end());
    if (spans_.size() > kMaxSpans) {
      spans_.erase(spans_.begin(), spans_.end() - static_cast<std::ptrdiff_t>(kMaxSpans));
    }
  }
}

}  // namespace parlatone
