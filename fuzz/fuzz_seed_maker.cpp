// SPDX-License-Identifier: GPL-3.0-or-later
// Writes the seeds of the fuzz targets that come from the program's own
// writers and the tests' own sound files, each file with the first byte
// its target reads before the file itself. Run by make_seeds.sh:
//   fuzz_seed_maker CORPUS_FOLDER
#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QTemporaryDir>

#include <cstdio>

#include "controlfile/control_file_writer.h"
#include "controlfile/recovery_file.h"
#include "core/cp932.h"
#include "core/project.h"
#include "core/series.h"
#include "project_json.h"
#include "support/card_project.h"
#include "support/sound_fixtures.h"

namespace {

using namespace parlatone;
using namespace Qt::StringLiterals;
using parlatone::testing::WriteBytes;

bool Seed(const QDir& corpus, const QString& target, const QString& name, const QByteArray& bytes) {
  return WriteBytes(corpus.filePath(target + u'/' + name), bytes);
}

// The byte a target reads before the file.
QByteArray With(char first, const QByteArray& bytes) {
  return QByteArray(1, first) + bytes;
}

int FirstSeries(bool mp3) {
  for (int mode = 0; mode < kSeriesCount; ++mode) {
    if (IsMp3Series(mode) == mp3) {
      return mode;
    }
  }
  return 0;
}

// A project of the given voices in the series, the first channel playing
// the first two of them with an empty slot between.
const Project& ProjectOf(Project&& project, int mode, const QStringList& names) {
  project.settings.Mode = mode;
  DeriveSeriesLimits(project);
  for (const QString& name : names) {
    VoiceRecord voice;
    voice.NAME = name;
    voice.FilePath = u"/media/sounds/"_s + name;
    voice.SEC = u"0.020"_s;
    voice.COMENTS = u"案内 "_s + name;
    project.voices.append(voice);
  }
  project.VoicesRegistered = !names.isEmpty();
  project.programs[0].Voice[0] = names.value(0);
  project.programs[0].Voice[2] = names.value(1);
  project.programs[0].SP = u"1"_s;
  project.card = testing::GoodCardForm();
  return project;
}

bool CardFolderSeeds(const QDir& corpus) {
  const QDateTime now(QDate(2026, 12, 6), QTime(9, 0));
  const auto text = [&now](const Project& project) {
    return cp932::Encode(ControlFileText(project, AnyChannelInUse(project), now));
  };
  const int wave = FirstSeries(false);
  const int mp3 = FirstSeries(true);
  // The first byte's low bit: 0 for a ".wpj" name, 1 for ".zpx".
  return Seed(corpus, u"card_folder"_s, u"whole.wpj"_s,
              With('\0', text(ProjectOf(Project(), wave, {u"A.WAV"_s, u"b.mp3"_s, u"c.wav"_s})))) &&
         Seed(corpus, u"card_folder"_s, u"one_missing.wpj"_s,
              With('\0', text(ProjectOf(Project(), wave, {u"A.WAV"_s, u"d.wav"_s})))) &&
         Seed(corpus, u"card_folder"_s, u"mp3.zpx"_s,
              With('\1', text(ProjectOf(Project(), mp3, {u"b.mp3"_s, u"A.WAV"_s, u"c.wav"_s}))));
}

bool RecoverySeeds(const QDir& corpus) {
  QTemporaryDir dir;
  bool ok = dir.isValid();
  const auto seed = [&](const QString& name, const Project& project) {
    const QString path = RecoveryFilePath(dir.filePath(name), project.Mode());
    QFile file(path);
    if (!WriteRecoveryFile(project, path, u"/home/user/駅 案内.wpj"_s) ||
        !file.open(QIODevice::ReadOnly)) {
      return false;
    }
    const QByteArray bytes = file.readAll();
    const auto mode = static_cast<char>(project.Mode());
    // As written; and without its checksum line, which the target then
    // adds (the first byte's high bit), so that changes get past it.
    const QByteArray body = bytes.left(bytes.lastIndexOf("CHECK="));
    return Seed(corpus, u"recovery_file"_s, name, With(mode, bytes)) &&
           Seed(corpus, u"recovery_file"_s, name + u"_unchecked"_s,
                With(static_cast<char>(mode | 0x80), body));
  };
  const int wave = FirstSeries(false);
  const int mp3 = FirstSeries(true);
  ok = ok && seed(u"wave"_s, ProjectOf(Project(), wave, {u"a.wav"_s, u"b.wav"_s}));
  ok = ok && seed(u"mp3"_s, ProjectOf(Project(), mp3, {u"c.mp3"_s}));
  return ok;
}

bool ProjectJsonSeeds(const QDir& corpus) {
  const auto json = [](const Project& project) {
    return QJsonDocument(cli::ProjectJson(project)).toJson(QJsonDocument::Indented);
  };
  return Seed(corpus, u"project_json"_s, u"wave.json"_s,
              json(ProjectOf(Project(), FirstSeries(false), {u"a.wav"_s, u"b.wav"_s}))) &&
         Seed(corpus, u"project_json"_s, u"mp3.json"_s,
              json(ProjectOf(Project(), FirstSeries(true), {u"c.mp3"_s}))) &&
         Seed(corpus, u"project_json"_s, u"empty.json"_s, "{}");
}

// Sound files for the decoders and the analysis; the first byte picks the
// suffix: 0 ".wav", 1 ".flac", 2 ".ogg", 3 ".aiff", 4 ".mp3".
bool SoundSeeds(const QDir& corpus) {
  using namespace parlatone::testing;
  WaveShape float_wave;
  float_wave.format_tag = 3;
  float_wave.bits = 32;
  float_wave.sample_rate = 8000;
  float_wave.data_bytes = 800;
  WaveShape adpcm_like;
  adpcm_like.format_tag = 2;
  adpcm_like.bits = 4;
  adpcm_like.format_size = 18;
  adpcm_like.data_bytes = 256;
  const QList<std::pair<QString, QByteArray>> waves = {
      {u"sine.wav"_s, SineWave(8000, 60, 0.5)},
      {u"full_scale.wav"_s, SineWave(11025, 50, 1.0)},
      {u"stereo8.wav"_s, WaveOfLength(11025, 2, 8, 50)},
      {u"mono24.wav"_s, WaveOfLength(8000, 1, 24, 40)},
      {u"float.wav"_s, WaveBytes(float_wave)},
      {u"adpcm_like.wav"_s, WaveBytes(adpcm_like)},
      {u"mp3_frames.mp3"_s, Mp3Frames(6, {64}, 24000)},
      {u"tagged_vbr.mp3"_s, TaggedMp3(6, {32, 64}, 22050)},
      {u"mpeg25.mp3"_s, Mpeg25WithStrayMpeg1Header()},
  };
  for (const auto& [name, bytes] : waves) {
    const char first = name.endsWith(u".mp3"_s) ? '\4' : '\0';
    if (!Seed(corpus, u"decoders"_s, name, With(first, bytes)) ||
        !Seed(corpus, u"levels"_s, name, With(first, bytes))) {
      return false;
    }
  }
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  if (argc != 2) {
    std::fprintf(stderr, "usage: fuzz_seed_maker CORPUS_FOLDER\n");
    return 2;
  }
  const QDir corpus(QString::fromLocal8Bit(argv[1]));
  if (!CardFolderSeeds(corpus) || !RecoverySeeds(corpus) || !ProjectJsonSeeds(corpus) ||
      !SoundSeeds(corpus)) {
    std::fprintf(stderr, "fuzz_seed_maker: could not write the seeds\n");
    return 1;
  }
  return 0;
}
