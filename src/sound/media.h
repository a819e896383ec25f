// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include <map>
#include <memory>

namespace parlatone {

// Error codes of the command layer. The numbers follow the command-string
// audio interface the devices' tools were written against, so that codes in
// old support notes still mean the same.
namespace media_error {
inline constexpr int kNone = 0;
inline constexpr int kUnrecognizedKeyword = 259;
inline constexpr int kUnrecognizedCommand = 261;
inline constexpr int kDeviceNotOpen = 263;  // unknown alias
inline constexpr int kMissingParameter = 273;
inline constexpr int kFileNotFound = 275;
inline constexpr int kUnknownDeviceType = 277;
inline constexpr int kDuplicateAlias = 289;
inline constexpr int kBadQuotes = 293;
inline constexpr int kInvalidFile = 304;   // not a sound file the device type plays
inline constexpr int kNoOutput = 320;      // no audio output could be opened
inline constexpr int kCannotDecode = 321;  // the file broke off while it was decoded
}  // namespace media_error

enum class DeviceType { kWaveAudio, kMpegVideo };

// Why a file is opened. The length query's alias "*4" only ever measures,
// so its files never need (nor open) an audio output; a file opened under
// any other alias is to be played, and its open fails at once when there is
// no output to play it on.
enum class OpenPurpose { kPlay, kMeasure };
inline constexpr QStringView kLengthQueryAlias = u"*4";
// The players' aliases: one each, so that the program table's audition and
// the registration window's player never close each other's file.
inline constexpr QStringView kAuditionAlias = u"*1";
inline constexpr QStringView kPlayerAlias = u"*2";

// One file opened under an alias.
class SoundSource {
 public:
  virtual ~SoundSource() = default;
  virtual qint64 LengthMs() const = 0;
  // Starts playing from the given position; returns an error code.
  virtual int Play(qint64 from_ms) = 0;
  // True while sound is still to be heard.
  virtual bool IsPlaying() = 0;
  // Where playing has reached, in milliseconds from the start of the file.
  virtual qint64 PositionMs() { return 0; }
};

// What plays the files: SDL2 with libsndfile and libmpg123 in the programs,
// a scripted one in tests of the windows.
class SoundBackend {
 public:
  virtual ~SoundBackend() = default;
  // Opens an existing file; returns an error code and, on 0, the source.
  virtual int Open(const QString& path, DeviceType type, OpenPurpose purpose,
                   std::unique_ptr<SoundSource>& source) = 0;
};

struct MediaReply {
  int code = media_error::kNone;
  QString text;  // the reply, or the error text when code is not 0
};

// The command-string layer: "open \"path\" type waveaudio alias *1 notify",
// "play *1 from 0", "status *1 mode", "status *4 length", "status *1 position",
// "close *1". Verbs,
// keywords and aliases are case-insensitive; paths are quoted. At most one
// file is open under an alias.
class MediaLayer {
 public:
  explicit MediaLayer(std::unique_ptr<SoundBackend> backend);
  ~MediaLayer();

  MediaReply Send(const QString& command);

  // Number of aliases with a file open.
  int OpenCount() const { return static_cast<int>(open_.size()); }

 private:
  MediaReply Open(const QStringList& tokens);
  MediaReply Play(const QStringList& tokens);
  MediaReply Status(const QStringList& tokens);
  MediaReply Close(const QStringList& tokens);

  std::unique_ptr<SoundBackend> backend_;
  std::map<QString, std::unique_ptr<SoundSource>> open_;  // by alias, lower case
};

// The process-wide layer every window and procedure talks to. It starts
// with the real audio backend on first use; tests may put their own in.
MediaLayer& TheMediaLayer();
void UseSoundBackend(std::unique_ptr<SoundBackend> backend);

// A path as a command names it: in double quotes, a double quote inside it
// doubled (file and folder names may hold one on some systems).
QString QuotedPath(const QString& path);

// Sends one command through the process-wide layer.
MediaReply SendMediaCommand(const QString& command);

// The text for an error code, in the interface's own words.
QString MediaErrorText(int code);

// Playing length of a file in milliseconds as the series' device type
// measures it, through alias "*4"; -1 when it cannot be measured.
qint64 GetSoundLength(const QString& path, int mode);

}  // namespace parlatone
