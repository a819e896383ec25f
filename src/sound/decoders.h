#pragma once

#include <QString>

#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

namespace parlatone {

// Decoded sound, 16-bit signed samples interleaved by channel.
struct PcmSound {
  int rate = 0;
  int channels = 0;
  std::vector<int16_t> samples;
};

// Playing length of a WAVE file from its header alone: the data chunk's
// size (cut to what the file holds) divided by the byte rate. Nothing when
// the file is not a RIFF WAVE file with a format and a data chunk.
std::optional<int64_t> WaveLengthMs(const QString& path);

// Decodes a WAVE file (any encoding libsndfile reads) from a position on.
std::optional<PcmSound> DecodeWave(const QString& path, int64_t from_ms);

// An MP3 file opened with libmpg123: its exact decoded length (a frame scan
// where no tag gives the frame count, so untagged VBR files measure right)
// and, on demand, its samples.
class Mp3File {
 public:
  static std::unique_ptr<Mp3File> Open(const QString& path);
  ~Mp3File();
  Mp3File(const Mp3File&) = delete;
  Mp3File& operator=(const Mp3File&) = delete;

  int64_t LengthMs() const { return length_ms_; }
  std::optional<PcmSound> Decode(int64_t from_ms);

 private:
  Mp3File() = default;
  struct Handle;
  std::unique_ptr<Handle> handle_;
  int rate_ = 0;
  int channels_ = 0;
  int64_t length_ms_ = 0;
};

}  // namespace parlatone
