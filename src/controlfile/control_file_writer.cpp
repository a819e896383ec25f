// SPDX-License-Identifier: GPL-3.0-or-later
#include "controlfile/control_file_writer.h"

#include <QUrl>

#include <unordered_map>

#include "core/cp932.h"
#include "core/file_io.h"
#include "core/project.h"
#include "core/series.h"

namespace parlatone {

using namespace Qt::StringLiterals;

namespace {

// The fixed header every device and every earlier editor expects. The model
// line selects the current layout of the card information section when the
// file is read back.
constexpr const char16_t* kHeaderLines[] = {u"KX3", u"Parlatone Editor3J", u"Parlatone",
                                            u"LYR-KX3-3J", u"200809 PE-3J"};

int ChannelsInUse(const Project& project) {
  int in_use = 0;
  for (int channel = 0; channel < project.ChannelCount; ++channel) {
    in_use += project.ChannelInUse(channel) ? 1 : 0;
  }
  return in_use;
}

// FindVoice for every slot of every channel, answered from one pass over the
// voice list: the first record of a name wins, as FindVoice's does.
class VoiceIndex {
 public:
  explicit VoiceIndex(const Project& project) {
    index_.reserve(project.voices.size());
    for (qsizetype v = 0; v < project.voices.size(); ++v) {
      index_.try_emplace(project.voices.at(v).NAME, static_cast<int>(v));
    }
  }
  std::optional<int> Find(const QString& name) const {
    const auto found = index_.find(name);
    return found == index_.end() ? std::nullopt : std::optional<int>(found->second);
  }

 private:
  std::unordered_map<QString, int> index_;
};

QString ProgramLine(const Project& project, const VoiceIndex& voices, int channel) {
  const ProgramRecord& record = project.programs[static_cast<size_t>(channel)];
  QString line = QString::number(channel) + u',' + record.SP + u',' + record.RP;
  for (int slot = 0; slot <= MaxVoiceIndex(project.Mode()); ++slot) {
    const QString& name = record.Voice[static_cast<size_t>(slot)];
    if (name.isEmpty()) {
      break;
    }
    // A name no longer registered adds nothing; the slots after it still count.
    if (const std::optional<int> voice = voices.Find(name)) {
      line += u',' + QString::number(*voice);
    }
  }
  return line;
}

}  // namespace

bool AnyChannelInUse(const Project& project) {
  return ChannelsInUse(project) > 0;
}

QString SoundPathLine(int voice, const QString& path) {
  return u"SOUND="_s + QString::number(voice) + u',' +
         QString::fromLatin1(QUrl::toPercentEncoding(path, "/\\:"));
}

std::optional<std::pair<int, QString>> ParseSoundPathLine(const QString& line) {
  if (!line.startsWith(u"SOUND="_s)) {
    return std::nullopt;
  }
  const qsizetype comma = line.indexOf(u',');
  bool ok = false;
  const int voice = line.mid(6, comma - 6).toInt(&ok);
  if (comma < 0 || !ok || voice < 0) {
    return std::nullopt;
  }
  const QString path = QUrl::fromPercentEncoding(line.mid(comma + 1).toLatin1());
  if (path.isEmpty()) {
    return std::nullopt;
  }
  return std::make_pair(voice, path);
}

QString ControlFileText(const Project& project, bool programs_present, const QDateTime& now,
                        bool with_sound_paths) {
  QString text;
  const auto line = [&text](const QString& content) {
    text += content;
    text += u"\r\n"_s;
  };
  for (const char16_t* header : kHeaderLines) {
    line(QString::fromUtf16(header));
  }
  line(QString::fromLatin1(kControlFileIdLine));
  line(u"DATE="_s + now.toString(u"yyMMdd.HHmmss"_s));

  line(u"#2"_s);
  if (project.VoicesRegistered) {
    const qsizetype count = std::min<qsizetype>(project.voices.size(), project.ChannelCount);
    for (qsizetype v = 0; v < count; ++v) {
      line(QString::number(v) + u',' + project.voices.at(v).NAME);
    }
  }

  line(u"#3"_s);
  if (programs_present) {
    const VoiceIndex voices(project);
    const int in_use = ChannelsInUse(project);
    int written = 0;
    for (int channel = 0; channel < project.ChannelCount && written < in_use; ++channel) {
      if (!project.ChannelInUse(channel)) {
        line(QString::number(channel) + u'*');
        continue;
      }
      line(ProgramLine(project, voices, channel));
      ++written;
    }
  }

  line(u"#0"_s);
  for (const QString& detail : project.settings.UserData) {
    line(detail);
  }
  if (with_sound_paths && project.VoicesRegistered) {
    const qsizetype count = std::min<qsizetype>(project.voices.size(), project.ChannelCount);
    for (qsizetype v = 0; v < count; ++v) {
      if (!project.voices.at(v).FilePath.isEmpty()) {
        line(SoundPathLine(static_cast<int>(v), project.voices.at(v).FilePath));
      }
    }
  }
  line(u"#1"_s);
  for (int field = 0; field < CardInfo::kFieldCount; ++field) {
    line(project.card.Field(field));
  }
  line(u"#S"_s);
  for (const VoiceRecord& voice : project.voices) {
    line(voice.COMENTS);
  }
  return text;
}

WriteResult WriteTemporarySaveFile(const Project& project, const QString& path,
                                   bool programs_present, const QDateTime& now) {
  if (project.voices.isEmpty()) {
    return {false, QString()};
  }
  return WriteFileAtomically(path,
                             cp932::Encode(ControlFileText(project, programs_present, now, true)));
}

WriteResult WriteControlFile(const Project& project, const QString& path, bool programs_present,
                             const QDateTime& now) {
  // The comment section covers the whole voice list, so there must be one.
  if (project.voices.isEmpty()) {
    return {false, QString()};
  }
  const QByteArray bytes = cp932::Encode(ControlFileText(project, programs_present, now));
  return WriteFileAtomically(path, bytes);
}

}  // namespace parlatone
