#include "sound/sdl_backend.h"

#include <SDL.h>

#include "sound/decoders.h"

namespace parlatone {
namespace {

namespace err = media_error;

// SDL's audio part starts on first playback only: a program that never
// plays (the command-line tool measuring lengths) never touches the sound
// system. SDL must not take over SIGINT/SIGTERM, or the editor would not end
// when the session asks it to.
bool EnsureSdlAudio() {
  if (SDL_WasInit(SDL_INIT_AUDIO) != 0) {
    return true;
  }
  SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
  return SDL_InitSubSystem(SDL_INIT_AUDIO) == 0;
}

// One opened output playing one queued sound.
class SdlOutput {
 public:
  ~SdlOutput() { Close(); }

  int Start(const PcmSound& pcm) {
    Close();
    if (!EnsureSdlAudio()) {
      return err::kNoOutput;
    }
    SDL_AudioSpec want{};
    want.freq = pcm.rate;
    want.format = AUDIO_S16SYS;
    want.channels = static_cast<Uint8>(pcm.channels);
    want.samples = 2048;
    SDL_AudioSpec have{};
    // No changes allowed: SDL converts to whatever the output really takes.
    device_ = SDL_OpenAudioDevice(nullptr, 0, &want, &have, 0);
    if (device_ == 0) {
      return err::kNoOutput;
    }
    const Uint32 bytes = static_cast<Uint32>(pcm.samples.size() * sizeof(int16_t));
    // A device buffer of silence after the sound, so that the queue runs dry
    // only once the last real sample has been handed to the output.
    const std::vector<int16_t> tail(static_cast<size_t>(have.samples) * pcm.channels, 0);
    if ((bytes > 0 && SDL_QueueAudio(device_, pcm.samples.data(), bytes) != 0) ||
        SDL_QueueAudio(device_, tail.data(), static_cast<Uint32>(tail.size() * sizeof(int16_t))) !=
            0) {
      Close();
      return err::kNoOutput;
    }
    SDL_PauseAudioDevice(device_, 0);
    return err::kNone;
  }

  bool IsPlaying() const { return device_ != 0 && SDL_GetQueuedAudioSize(device_) > 0; }

  void Close() {
    if (device_ != 0) {
      SDL_CloseAudioDevice(device_);
      device_ = 0;
    }
  }

 private:
  SDL_AudioDeviceID device_ = 0;
};

class WaveSource : public SoundSource {
 public:
  WaveSource(QString path, int64_t length_ms) : path_(std::move(path)), length_ms_(length_ms) {}

  qint64 LengthMs() const override { return length_ms_; }

  int Play(qint64 from_ms) override {
    const std::optional<PcmSound> pcm = DecodeWave(path_, from_ms);
    if (!pcm) {
      output_.Close();
      return err::kInvalidFile;
    }
    return output_.Start(*pcm);
  }

  bool IsPlaying() override { return output_.IsPlaying(); }

 private:
  QString path_;
  int64_t length_ms_;
  SdlOutput output_;
};

class Mp3Source : public SoundSource {
 public:
  explicit Mp3Source(std::unique_ptr<Mp3File> file) : file_(std::move(file)) {}

  qint64 LengthMs() const override { return file_->LengthMs(); }

  int Play(qint64 from_ms) override {
    const std::optional<PcmSound> pcm = file_->Decode(from_ms);
    if (!pcm) {
      output_.Close();
      return err::kCannotDecode;
    }
    return output_.Start(*pcm);
  }

  bool IsPlaying() override { return output_.IsPlaying(); }

 private:
  std::unique_ptr<Mp3File> file_;
  SdlOutput output_;
};

class SdlSoundBackend : public SoundBackend {
 public:
  ~SdlSoundBackend() override {
    if (SDL_WasInit(SDL_INIT_AUDIO) != 0) {
      SDL_QuitSubSystem(SDL_INIT_AUDIO);
    }
  }

  int Open(const QString& path, DeviceType type, std::unique_ptr<SoundSource>& source) override {
    if (type == DeviceType::kWaveAudio) {
      // The length comes from the header; decoding waits until playing.
      const std::optional<int64_t> length = WaveLengthMs(path);
      if (!length) {
        return err::kInvalidFile;
      }
      source = std::make_unique<WaveSource>(path, *length);
      return err::kNone;
    }
    std::unique_ptr<Mp3File> file = Mp3File::Open(path);
    if (!file) {
      return err::kInvalidFile;
    }
    source = std::make_unique<Mp3Source>(std::move(file));
    return err::kNone;
  }
};

}  // namespace

std::unique_ptr<SoundBackend> MakeSdlSoundBackend() {
  return std::make_unique<SdlSoundBackend>();
}

}  // namespace parlatone
