// SPDX-License-Identifier: GPL-3.0-or-later
#include "sound/sdl_backend.h"

#include <functional>
#include <memory>
#include <vector>

#include "sound/decoders.h"
#include "sound/sdl_audio_api.h"
#include "sound/sound_log.h"

namespace parlatone {
namespace {

namespace err = media_error;

// SDL's audio part starts on first playback only: a program that never
// plays (the command-line tool measuring lengths) never touches the sound
// system. SDL must not take over SIGINT/SIGTERM, or the editor would not end
// when the session asks it to.
bool g_sdl_audio_started = false;

bool EnsureSdlAudio() {
  if (g_sdl_audio_started) {
    return true;
  }
  if (Sdl() == nullptr) {
    return false;
  }
  Sdl()->SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
  g_sdl_audio_started = Sdl()->InitSubSystem(SDL_INIT_AUDIO) == 0;
  if (!g_sdl_audio_started) {
    qCDebug(SoundLog) << "SDL audio did not start:" << Sdl()->GetError();
  }
  return g_sdl_audio_started;
}

// Opened outputs that no file uses at the moment, by format. Closing an SDL
// device waits for its audio thread (about one period: 50 ms on the dummy
// driver), which would stall the window between two voices; an idle output
// is kept paused instead and taken again by the next file of its format.
struct IdleOutput {
  SDL_AudioDeviceID device;
  int rate;
  int channels;
  int buffer_frames;
};
constexpr size_t kMaxIdleOutputs = 4;

// Owned by the backend and shared with every output it made, so that it
// lives as long as the last of them, whatever order things end in.
class OutputPool {
 public:
  ~OutputPool() { CloseAll(); }
  std::vector<IdleOutput>& Idle() { return idle_; }
  void CloseAll() {
    for (const IdleOutput& output : idle_) {
      Sdl()->CloseAudioDevice(output.device);
    }
    idle_.clear();
  }

 private:
  std::vector<IdleOutput> idle_;
};

// One audio output for one open file: opened with the file's rate and
// channels (SDL converts to what the output takes), fed the whole decoded
// sound when playing starts.
class SdlOutput {
 public:
  explicit SdlOutput(std::shared_ptr<OutputPool> pool) : pool_(std::move(pool)) {}
  ~SdlOutput() { Close(); }

  int Open(int rate, int channels) {
    Close();
    if (rate <= 0 || channels <= 0 || channels > 8) {
      return err::kInvalidFile;
    }
    auto& idle = pool_->Idle();
    for (auto it = idle.begin(); it != idle.end(); ++it) {
      if (it->rate == rate && it->channels == channels) {
        device_ = it->device;
        buffer_frames_ = it->buffer_frames;
        idle.erase(it);
        rate_ = rate;
        channels_ = channels;
        return err::kNone;
      }
    }
    if (!EnsureSdlAudio()) {
      return err::kNoOutput;
    }
    SDL_AudioSpec want{};
    want.freq = rate;
    want.format = AUDIO_S16SYS;
    want.channels = static_cast<Uint8>(channels);
    // A short period: the end of a sound is noticed soon after it is heard.
    want.samples = 512;
    SDL_AudioSpec have{};
    device_ = Sdl()->OpenAudioDevice(nullptr, 0, &want, &have, 0);
    if (device_ == 0 && !pool_->Idle().empty()) {
      // Some drivers (the dummy one among them) hold a single output: give
      // back the idle ones and try again.
      pool_->CloseAll();
      device_ = Sdl()->OpenAudioDevice(nullptr, 0, &want, &have, 0);
    }
    if (device_ == 0) {
      qCDebug(SoundLog) << "no audio output for" << rate << "Hz," << channels
                        << "channels:" << Sdl()->GetError();
      return err::kNoOutput;
    }
    rate_ = rate;
    channels_ = channels;
    buffer_frames_ = have.samples;
    return err::kNone;
  }

  int Start(const PcmSound& pcm) {
    if (device_ == 0 && Open(pcm.rate, pcm.channels) != err::kNone) {
      return err::kNoOutput;
    }
    Sdl()->PauseAudioDevice(device_, 1);
    Sdl()->ClearQueuedAudio(device_);
    const Uint32 bytes = static_cast<Uint32>(pcm.samples.size() * sizeof(int16_t));
    // A device buffer of silence after the sound, so that the queue runs dry
    // only once the last real sample has been handed to the output.
    const std::vector<int16_t> tail(static_cast<size_t>(buffer_frames_) * channels_, 0);
    if ((bytes > 0 && Sdl()->QueueAudio(device_, pcm.samples.data(), bytes) != 0) ||
        Sdl()->QueueAudio(device_, tail.data(),
                          static_cast<Uint32>(tail.size() * sizeof(int16_t))) != 0) {
      Sdl()->ClearQueuedAudio(device_);
      return err::kNoOutput;
    }
    Sdl()->PauseAudioDevice(device_, 0);
    queued_bytes_ = bytes;
    tail_bytes_ = static_cast<Uint32>(tail.size() * sizeof(int16_t));
    return err::kNone;
  }

  // Frames handed to the output since Start, of the sound's own.
  int64_t PlayedFrames() const {
    if (device_ == 0 || channels_ <= 0) {
      return 0;
    }
    const Uint32 waiting = Sdl()->GetQueuedAudioSize(device_);
    const Uint32 sound_waiting = waiting > tail_bytes_ ? waiting - tail_bytes_ : 0;
    const Uint32 played = queued_bytes_ > sound_waiting ? queued_bytes_ - sound_waiting : 0;
    return static_cast<int64_t>(played / sizeof(int16_t)) / channels_;
  }
  int Rate() const { return rate_; }

  bool IsPlaying() const { return device_ != 0 && Sdl()->GetQueuedAudioSize(device_) > 0; }

  // Silences the output and keeps it for the next file of its format.
  void Close() {
    if (device_ == 0) {
      return;
    }
    Sdl()->PauseAudioDevice(device_, 1);
    Sdl()->ClearQueuedAudio(device_);
    auto& idle = pool_->Idle();
    if (idle.size() >= kMaxIdleOutputs) {
      Sdl()->CloseAudioDevice(idle.front().device);
      idle.erase(idle.begin());
    }
    idle.push_back({device_, rate_, channels_, buffer_frames_});
    device_ = 0;
  }

 private:
  std::shared_ptr<OutputPool> pool_;
  SDL_AudioDeviceID device_ = 0;
  int rate_ = 0;
  int channels_ = 0;
  int buffer_frames_ = 0;
  Uint32 queued_bytes_ = 0;
  Uint32 tail_bytes_ = 0;
};

// Either kind of file: decoding waits until playing starts, so opening costs
// a header read (WAVE) or a frame scan (MP3) and the output.
class DecodedSource : public SoundSource {
 public:
  using Decoder = std::function<std::optional<PcmSound>(int64_t from_ms)>;
  DecodedSource(int64_t length_ms, Decoder decode, std::shared_ptr<OutputPool> pool)
      : length_ms_(length_ms), decode_(std::move(decode)), output_(std::move(pool)) {}

  int OpenOutput(int rate, int channels) { return output_.Open(rate, channels); }

  qint64 LengthMs() const override { return length_ms_; }

  int Play(qint64 from_ms) override {
    const std::optional<PcmSound> pcm = decode_(from_ms);
    if (!pcm) {
      return err::kCannotDecode;
    }
    from_ms_ = std::clamp<qint64>(from_ms, 0, length_ms_);
    return output_.Start(*pcm);
  }

  qint64 PositionMs() override {
    const int rate = output_.Rate();
    if (rate <= 0) {
      return from_ms_;
    }
    return std::min(length_ms_, from_ms_ + output_.PlayedFrames() * 1000 / rate);
  }

  bool IsPlaying() override { return output_.IsPlaying(); }

 private:
  int64_t length_ms_;
  int64_t from_ms_ = 0;
  Decoder decode_;
  SdlOutput output_;
};

class SdlSoundBackend : public SoundBackend {
 public:
  ~SdlSoundBackend() override {
    pool_->CloseAll();
    if (g_sdl_audio_started) {
      Sdl()->QuitSubSystem(SDL_INIT_AUDIO);
      g_sdl_audio_started = false;
    }
  }

  int Open(const QString& path, DeviceType type, OpenPurpose purpose,
           std::unique_ptr<SoundSource>& source) override {
    std::unique_ptr<DecodedSource> opened;
    int rate = 0;
    int channels = 0;
    if (type == DeviceType::kWaveAudio) {
      const std::optional<WaveSummary> wave = ReadWaveSummary(path);
      if (!wave) {
        return err::kInvalidFile;
      }
      rate = wave->rate;
      channels = wave->channels;
      opened = std::make_unique<DecodedSource>(
          wave->length_ms, [path](int64_t from_ms) { return DecodeWave(path, from_ms); }, pool_);
    } else {
      std::shared_ptr<Mp3File> file = Mp3File::Open(path);
      if (!file) {
        return err::kInvalidFile;
      }
      rate = file->Rate();
      channels = file->Channels();
      opened = std::make_unique<DecodedSource>(
          file->LengthMs(), [file](int64_t from_ms) { return file->Decode(from_ms); }, pool_);
    }
    if (purpose == OpenPurpose::kPlay) {
      const int code = opened->OpenOutput(rate, channels);
      if (code != err::kNone) {
        return code;
      }
    }
    source = std::move(opened);
    return err::kNone;
  }

 private:
  std::shared_ptr<OutputPool> pool_ = std::make_shared<OutputPool>();
};

}  // namespace

std::unique_ptr<SoundBackend> MakeSdlSoundBackend() {
  return std::make_unique<SdlSoundBackend>();
}

}  // namespace parlatone
