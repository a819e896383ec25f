// SPDX-License-Identifier: GPL-3.0-or-later
#include "sound/media.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QStringList>

#include "core/series.h"
#include "sound/sdl_backend.h"

namespace parlatone {
namespace {

using namespace Qt::StringLiterals;
namespace err = media_error;

// The texts of this unit the operator reads, in the interface language.
struct MediaText {
  Q_DECLARE_TR_FUNCTIONS(Media)
};

MediaReply Error(int code) {
  return {code, MediaErrorText(code)};
}

// Splits a command at blanks; a token that starts with a double quote runs
// to the closing one and may hold blanks (and doubled quotes). Nothing when a
// quote is left open.
std::optional<QStringList> Tokenize(const QString& command) {
  QStringList tokens;
  qsizetype i = 0;
  const qsizetype n = command.size();
  while (i < n) {
    while (i < n && command.at(i).isSpace()) {
      ++i;
    }
    if (i >= n) {
      break;
    }
    if (command.at(i) == u'"') {
      QString token;
      for (++i;; ++i) {
        if (i >= n) {
          return std::nullopt;
        }
        if (command.at(i) == u'"') {
          if (i + 1 < n && command.at(i + 1) == u'"') {
            token += u'"';  // a doubled quote stands for one
            ++i;
            continue;
          }
          break;
        }
        token += command.at(i);
      }
      tokens << token;
      ++i;
      continue;
    }
    const qsizetype start = i;
    while (i < n && !command.at(i).isSpace()) {
      ++i;
    }
    tokens << command.mid(start, i - start);
  }
  return tokens;
}

bool Is(const QString& token, QLatin1String word) {
  return token.compare(word, Qt::CaseInsensitive) == 0;
}

bool IsFlag(const QString& token) {
  return Is(token, "notify"_L1) || Is(token, "wait"_L1) || Is(token, "shareable"_L1);
}

std::unique_ptr<SoundBackend>& PendingBackend() {
  static std::unique_ptr<SoundBackend> backend;
  return backend;
}

std::unique_ptr<MediaLayer>& LayerInstance() {
  static std::unique_ptr<MediaLayer> layer;
  return layer;
}

}  // namespace

MediaLayer::MediaLayer(std::unique_ptr<SoundBackend> backend) : backend_(std::move(backend)) {}

// Sources close (and stop sounding) before the backend that made them goes.
MediaLayer::~MediaLayer() {
  open_.clear();
}

MediaReply MediaLayer::Send(const QString& command) {
  const std::optional<QStringList> tokens = Tokenize(command);
  if (!tokens) {
    return Error(err::kBadQuotes);
  }
  if (tokens->isEmpty()) {
    return Error(err::kUnrecognizedCommand);
  }
  const QString& verb = tokens->front();
  if (Is(verb, "open"_L1)) {
    return Open(*tokens);
  }
  if (Is(verb, "play"_L1)) {
    return Play(*tokens);
  }
  if (Is(verb, "status"_L1)) {
    return Status(*tokens);
  }
  if (Is(verb, "close"_L1)) {
    return Close(*tokens);
  }
  return Error(err::kUnrecognizedCommand);
}

MediaReply MediaLayer::Open(const QStringList& tokens) {
  if (tokens.size() < 2) {
    return Error(err::kMissingParameter);
  }
  const QString& path = tokens.at(1);
  std::optional<DeviceType> type;
  QString alias = path;
  for (qsizetype i = 2; i < tokens.size(); ++i) {
    const QString& token = tokens.at(i);
    if (IsFlag(token)) {
      continue;
    }
    if (!Is(token, "type"_L1) && !Is(token, "alias"_L1)) {
      return Error(err::kUnrecognizedKeyword);
    }
    if (i + 1 >= tokens.size()) {
      return Error(err::kMissingParameter);
    }
    if (Is(token, "type"_L1)) {
      const QString& name = tokens.at(++i);
      if (Is(name, "waveaudio"_L1)) {
        type = DeviceType::kWaveAudio;
      } else if (Is(name, "mpegvideo"_L1)) {
        type = DeviceType::kMpegVideo;
      } else {
        return Error(err::kUnknownDeviceType);
      }
    } else {
      alias = tokens.at(++i);
    }
  }
  if (!type) {
    // As the interface does, an open without a type goes by the extension.
    const QString suffix = QFileInfo(path).suffix();
    if (Is(suffix, "wav"_L1)) {
      type = DeviceType::kWaveAudio;
    } else if (Is(suffix, "mp3"_L1)) {
      type = DeviceType::kMpegVideo;
    } else {
      return Error(err::kUnknownDeviceType);
    }
  }
  const QString key = alias.toLower();
  if (open_.count(key) != 0) {
    return Error(err::kDuplicateAlias);
  }
  const OpenPurpose purpose =
      key == QStringView(kLengthQueryAlias) ? OpenPurpose::kMeasure : OpenPurpose::kPlay;
  std::unique_ptr<SoundSource> source;
  const int code = backend_->Open(path, *type, purpose, source);
  if (code != err::kNone || source == nullptr) {
    // Only a failed open asks why, so that measuring costs no extra look-up.
    if (!QFileInfo(path).isFile()) {
      return Error(err::kFileNotFound);
    }
    return Error(code != err::kNone ? code : err::kInvalidFile);
  }
  open_.emplace(key, std::move(source));
  return {};
}

MediaReply MediaLayer::Play(const QStringList& tokens) {
  if (tokens.size() < 2) {
    return Error(err::kMissingParameter);
  }
  const auto found = open_.find(tokens.at(1).toLower());
  if (found == open_.end()) {
    return Error(err::kDeviceNotOpen);
  }
  qint64 from_ms = 0;
  for (qsizetype i = 2; i < tokens.size(); ++i) {
    const QString& token = tokens.at(i);
    if (IsFlag(token)) {
      continue;
    }
    if (!Is(token, "from"_L1)) {
      return Error(err::kUnrecognizedKeyword);
    }
    bool ok = false;
    from_ms = i + 1 < tokens.size() ? tokens.at(++i).toLongLong(&ok) : 0;
    if (!ok || from_ms < 0) {
      return Error(err::kMissingParameter);
    }
  }
  const int code = found->second->Play(from_ms);
  return code == err::kNone ? MediaReply{} : Error(code);
}

MediaReply MediaLayer::Status(const QStringList& tokens) {
  if (tokens.size() < 3) {
    return Error(err::kMissingParameter);
  }
  const auto found = open_.find(tokens.at(1).toLower());
  if (found == open_.end()) {
    return Error(err::kDeviceNotOpen);
  }
  const QString& item = tokens.at(2);
  if (Is(item, "mode"_L1)) {
    return {err::kNone, found->second->IsPlaying() ? u"playing"_s : u"stopped"_s};
  }
  if (Is(item, "length"_L1)) {
    return {err::kNone, QString::number(found->second->LengthMs())};
  }
  if (Is(item, "position"_L1)) {
    return {err::kNone, QString::number(found->second->PositionMs())};
  }
  return Error(err::kUnrecognizedKeyword);
}

MediaReply MediaLayer::Close(const QStringList& tokens) {
  if (tokens.size() < 2) {
    return Error(err::kMissingParameter);
  }
  const QString key = tokens.at(1).toLower();
  if (key == u"all"_s) {
    open_.clear();
    return {};
  }
  const auto found = open_.find(key);
  if (found == open_.end()) {
    return Error(err::kDeviceNotOpen);
  }
  open_.erase(found);
  return {};
}

MediaLayer& TheMediaLayer() {
  std::unique_ptr<MediaLayer>& layer = LayerInstance();
  if (!layer) {
    std::unique_ptr<SoundBackend> backend = std::move(PendingBackend());
    if (!backend) {
      backend = MakeSdlSoundBackend();
    }
    layer = std::make_unique<MediaLayer>(std::move(backend));
  }
  return *layer;
}

void UseSoundBackend(std::unique_ptr<SoundBackend> backend) {
  LayerInstance().reset();
  PendingBackend() = std::move(backend);
}

MediaReply SendMediaCommand(const QString& command) {
  return TheMediaLayer().Send(command);
}

QString MediaErrorText(int code) {
  switch (code) {
    case err::kNone:
      return {};
    case err::kUnrecognizedKeyword:
      return MediaText::tr("コマンドに不明なキーワードがあります。");
    case err::kUnrecognizedCommand:
      return MediaText::tr("不明なコマンドです。");
    case err::kDeviceNotOpen:
      return MediaText::tr("指定されたデバイスは開かれていません。");
    case err::kMissingParameter:
      return MediaText::tr("コマンドに必要なパラメータがありません。");
    case err::kFileNotFound:
      return MediaText::tr("指定されたファイルが見つかりません。");
    case err::kUnknownDeviceType:
      return MediaText::tr("不明なデバイスの種類です。");
    case err::kDuplicateAlias:
      return MediaText::tr("その別名は既に使用されています。");
    case err::kBadQuotes:
      return MediaText::tr("引用符が閉じられていません。");
    case err::kInvalidFile:
      return MediaText::tr("このデバイスでは再生できないファイルです。");
    case err::kNoOutput:
      return MediaText::tr("音声出力デバイスを開けません。");
    case err::kCannotDecode:
      return MediaText::tr("ファイルを最後まで読み込めません。");
    default:
      return MediaText::tr("不明なエラーです（%1）。").arg(code);
  }
}

QString QuotedPath(const QString& path) {
  return u'"' + QString(path).replace(u"\""_s, u"\"\""_s) + u'"';
}

qint64 GetSoundLength(const QString& path, int mode) {
  const QString open = u"open "_s + QuotedPath(path) + u" type "_s + PlaybackDeviceType(mode) +
                       u" alias %1"_s.arg(kLengthQueryAlias);
  SendMediaCommand(open);
  const MediaReply length = SendMediaCommand(u"status %1 length"_s.arg(kLengthQueryAlias));
  const MediaReply close = SendMediaCommand(u"Close %1"_s.arg(kLengthQueryAlias));
  if (close.code != media_error::kNone || length.code != media_error::kNone) {
    return -1;
  }
  bool ok = false;
  const qint64 milliseconds = length.text.toLongLong(&ok);
  return ok ? milliseconds : -1;
}

}  // namespace parlatone
