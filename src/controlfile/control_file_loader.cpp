// SPDX-License-Identifier: GPL-3.0-or-later
#include "controlfile/control_file_loader.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>

#include <map>
#include <memory>

#include <cmath>

#include "controlfile/control_file_writer.h"
#include "core/cp932.h"
#include "core/messages.h"
#include "core/operator.h"
#include "core/paths.h"
#include "core/project.h"
#include "core/series.h"
#include "core/text.h"
#include "sound/sound_acceptance.h"
#include "sound/sound_probe.h"
#include "sound/voice_record_text.h"
#include "sound/wave_reader.h"

namespace parlatone {

using namespace Qt::StringLiterals;

namespace {

// The texts of this unit the operator reads, in the interface language.
struct LoaderText {
  Q_DECLARE_TR_FUNCTIONS(ControlFileLoader)
};

// Model lines whose card information section has the current layout.
constexpr const char16_t* kCurrentLayoutModels[] = {u"LYR-KX3-5J", u"LYR-KX3-4J", u"LYR-KX3-3J",
                                                    u"LYR-KX3-J-3"};

// Thrown for a malformed file: the load ends with message 2507 and the reason.
struct MalformedFile {
  QString reason;
};
// Thrown when a sound file cannot be used: the load ends silently, the
// reader or the checker has spoken.
struct AbandonedLoad {};

enum class Section { kHeader, kOwner, kCard, kVoices, kPrograms, kComments };

std::optional<Section> MarkerSection(const QString& key) {
  if (key == u"#0"_s)
    return Section::kOwner;
  if (key == u"#1"_s)
    return Section::kCard;
  if (key == u"#2"_s)
    return Section::kVoices;
  if (key == u"#3"_s)
    return Section::kPrograms;
  if (key == u"#S"_s)
    return Section::kComments;
  return std::nullopt;
}

// Lines end at CR LF or a lone CR, as the devices' tools write them; a lone
// LF ends one too, so a file saved by a Unix editor still reads line by line.
QStringList SplitLines(const QString& text) {
  QStringList lines;
  qsizetype start = 0;
  for (qsizetype i = 0; i < text.size(); ++i) {
    const QChar c = text.at(i);
    if (c != u'\r' && c != u'\n') {
      continue;
    }
    lines << text.mid(start, i - start);
    if (c == u'\r' && i + 1 < text.size() && text.at(i + 1) == u'\n') {
      ++i;
    }
    start = i + 1;
  }
  if (start < text.size()) {
    lines << text.mid(start);
  }
  return lines;
}

int Number(const QString& text) {
  const std::optional<int> number = ToWholeNumber(text);
  if (!number) {
    throw MalformedFile{LoaderText::tr("数値でない値「%1」").arg(text)};
  }
  return *number;
}

// The full paths a temporary save recorded after its owner details.
std::map<int, QString> RecordedSoundPaths(const QStringList& lines) {
  std::map<int, QString> paths;
  bool in_owner_section = false;
  for (const QString& line : lines) {
    if (line.startsWith(u'#')) {
      in_owner_section = line.left(2) == u"#0"_s;
      continue;
    }
    if (in_owner_section) {
      if (const auto recorded = ParseSoundPathLine(line)) {
        paths[recorded->first] = recorded->second;
      }
    }
  }
  return paths;
}

class Loader {
 public:
  // `sound_folder` is where the series looks for the sound files; a
  // temporary save also finds them where they were registered from and
  // beside itself.
  Loader(Project& project, QString sound_folder, QString file_folder,
         std::map<int, QString> recorded_paths, Operator& op)
      : project_(project),
        sound_folder_(std::move(sound_folder)),
        file_folder_(std::move(file_folder)),
        recorded_paths_(std::move(recorded_paths)),
        op_(op),
        rules_(AcceptanceRules::From(project)),
        capacity_limit_(CapacityLimit(project.Mode(), project.settings.FileCapacity)) {}

  bool SawMarker() const { return saw_marker_; }
  const QStringList& Missing() const { return missing_; }

  // What the series left out: lines beyond its channel count, which it
  // ignores as the devices do, but not without a word.
  QString LeftOutText() const {
    const QString count = QString::number(project_.ChannelCount);
    if (dropped_channels_ > 0 && dropped_voices_ > 0) {
      return LoaderText::tr(
                 "このシリーズのチャンネル数（%1）を超える %2 チャンネルと %3 個のSoundは"
                 "読み込みませんでした。")
          .arg(count, QString::number(dropped_channels_), QString::number(dropped_voices_));
    }
    if (dropped_channels_ > 0) {
      return LoaderText::tr(
                 "このシリーズのチャンネル数（%1）を超える %2 チャンネルは読み込みませんでした。")
          .arg(count, QString::number(dropped_channels_));
    }
    if (dropped_voices_ > 0) {
      return LoaderText::tr(
                 "このシリーズのチャンネル数（%1）を超える %2 個のSoundは読み込みませんでした。")
          .arg(count, QString::number(dropped_voices_));
    }
    return {};
  }

  void Line(const QString& line) {
    const QString key = line.startsWith(u'#') ? line.left(2) : line;
    if (const std::optional<Section> marker = MarkerSection(key)) {
      section_ = *marker;
      counter_ = 0;
      saw_marker_ = true;
      return;
    }
    switch (section_) {
      case Section::kHeader:
        if (line.left(7).compare(u"LYR-KX3"_s, Qt::CaseInsensitive) == 0) {
          model_line_ = line;
        }
        break;
      case Section::kOwner:
        break;
      case Section::kCard:
        CardLine(line);
        ++counter_;
        break;
      case Section::kVoices:
        VoiceLine(line);
        break;
      case Section::kPrograms:
        ChannelLine(line);
        break;
      case Section::kComments:
        if (project_.voices.isEmpty()) {
          throw MalformedFile{LoaderText::tr("Soundのないコメント行")};
        }
        if (counter_ < project_.voices.size()) {
          project_.voices[counter_].COMENTS = line;
        }
        ++counter_;
        break;
    }
  }

 private:
  bool CurrentLayout() const {
    const QString model = model_line_.left(11);
    for (const char16_t* current : kCurrentLayoutModels) {
      if (model == QString::fromUtf16(current)) {
        return true;
      }
    }
    return false;
  }

  void CardLine(const QString& line) {
    CardInfo& card = project_.card;
    if (CurrentLayout()) {
      if (counter_ < CardInfo::kFieldCount) {
        card.Field(counter_) = line;
      }
      return;
    }
    // The layout of the first editors: fewer fields, the rest folded into
    // the first comment.
    switch (counter_) {
      case 0:
        card.Forder = line;
        break;
      case 1:
        card.CardSize = QString::number(Number(line));
        break;
      case 2:
        card.CardCom = line;
        break;
      case 3:
        card.CardPerson = line;
        break;
      case 4:
        card.CardDate = line;
        break;
      case 5:
        card.CardName = line;
        break;
      case 6:
        card.RecStdio = line;
        break;
      case 7:
        card.RecAna = line;
        break;
      case 8:
        card.RecDate = line;
        break;
      case 11:
        card.Memo[0] = line;
        break;
      default:
        card.Memo[0] += u"\r\n"_s + line;
        break;
    }
  }

  void VoiceLine(const QString& line) {
    if (line.isEmpty() || line.endsWith(u'*')) {
      return;
    }
    if (counter_ >= project_.ChannelCount) {
      ++dropped_voices_;
      return;
    }
    project_.VoicesRegistered = true;
    const QStringList fields = CutAtNul(line).split(u',');
    if (fields.size() < 2) {
      throw MalformedFile{LoaderText::tr("Soundファイル名のない行")};
    }
    const int v = Number(fields.at(0));
    const QString name = fields.at(1);
    // A voice number names a slot of the series' list and a name names a file
    // in the sound folder: nothing else may come from a file.
    if (v < 0 || v >= project_.ChannelCount) {
      throw MalformedFile{LoaderText::tr("範囲外のSound番号 %1").arg(v)};
    }
    if (!IsPlainFileName(name)) {
      throw MalformedFile{LoaderText::tr("Soundファイル名でない名前「%1」").arg(name)};
    }
    // Voice numbers count up from 0 without gaps: a gap would leave a voice
    // without a file, which no card can be made of.
    if (v > project_.voices.size()) {
      throw MalformedFile{LoaderText::tr("Sound番号 %1 の前の欠番").arg(v)};
    }
    project_.voices.resize(v + 1);
    VoiceRecord& voice = project_.voices[v];
    voice = VoiceRecord();
    voice.NAME = name;
    QStringList folders;
    voice.FilePath = FindSound(v, name, folders);
    if (voice.FilePath.isEmpty()) {
      KeepMissing(voice, folders);
      ++counter_;
      return;
    }

    // One read of the file serves its format, its size and its length.
    const SoundProbe probe = ProbeSoundFile(voice.FilePath, project_.Mode());
    SoundInfo info;
    if (!ShowIfRefused(op_, ReadSoundInfo(probe, project_.Mode(), info)) ||
        !ShowIfRefused(op_, CheckSoundFormat(info, QString(), GetMessage(2039), rules_))) {
      throw AbandonedLoad{};
    }
    const qint64 bytes = probe.size;
    const qint64 length_ms = ProbedLengthMs(probe, project_.Mode()).value_or(-1);
    VoiceRecord filled = MakeVoiceRecord(voice.FilePath, info, length_ms, bytes, project_.Mode());
    filled.NAME = name;
    voice = filled;

    if (IsMp3Series(project_.Mode())) {
      loaded_bytes_ += bytes;
      if (loaded_bytes_ > capacity_limit_) {
        ShowMessage(op_, 2517, msg::kTitleConfirm, MessageIcon::kExclamation);
        throw AbandonedLoad{};
      }
    }
    ++counter_;
  }

  void ChannelLine(const QString& line) {
    if (counter_ >= project_.ChannelCount) {
      if (!line.isEmpty() && !line.endsWith(u'*')) {
        ++dropped_channels_;
      }
      return;
    }
    ++counter_;
    if (line.isEmpty() || line.endsWith(u'*')) {
      return;
    }
    const QStringList fields = CutAtNul(line).split(u',');
    const int channel = Number(fields.at(0));
    if (channel < 0 || channel >= kProgramRecordCount) {
      throw MalformedFile{LoaderText::tr("範囲外のチャンネル番号 %1").arg(channel)};
    }
    if (channel >= project_.ChannelCount) {
      ++dropped_channels_;  // read for its checks, then left out with the others
    }
    ProgramRecord& record = project_.programs[static_cast<size_t>(channel)];
    qint64 tenths = 0;
    for (qsizetype k = 1; k < fields.size(); ++k) {
      const QString& field = fields.at(k);
      if (field.isEmpty()) {
        continue;
      }
      if (k == 1) {
        record.SP = field;
        continue;
      }
      if (k == 2) {
        record.RP = field;
        continue;
      }
      const qsizetype slot = k - 3;
      const int v = Number(field);
      if (slot >= kVoiceSlotCount) {
        throw MalformedFile{LoaderText::tr("%1 個を超えるSound").arg(kVoiceSlotCount)};
      }
      if (v < 0 || v >= project_.voices.size()) {
        throw MalformedFile{LoaderText::tr("登録のないSound番号 %1").arg(v)};
      }
      const VoiceRecord& voice = project_.voices.at(v);
      record.Voice[static_cast<size_t>(slot)] = voice.NAME;
      tenths += SecondsTextToTenths(voice.SEC);
    }
    record.Time = ChannelTenths{Number(record.RP) * tenths}.PlainText();
  }

  // The sound file of voice `v`: in the series' sound folder, else where a
  // temporary save recorded it, else beside the loaded file. Empty when it
  // is found nowhere; `folders` then holds every folder looked in.
  QString FindSound(int v, const QString& name, QStringList& folders) const {
    QStringList candidates = {JoinPath(sound_folder_, name)};
    const auto recorded = recorded_paths_.find(v);
    if (recorded != recorded_paths_.end() && FileNameOf(recorded->second) == name) {
      candidates << recorded->second;
    }
    candidates << JoinPath(file_folder_, name);
    for (const QString& candidate : candidates) {
      if (QFileInfo(candidate).isFile()) {
        return candidate;
      }
      folders << FolderOf(candidate);
    }
    folders.removeDuplicates();
    return {};
  }

  // A sound file found nowhere refuses the load, naming it and every place
  // looked in. The operator may still open the project with such voices kept
  // by name (asked once, No being the safe answer), so that one lost file
  // does not lock the whole project away.
  void KeepMissing(VoiceRecord& voice, const QStringList& folders) {
    if (!keep_missing_) {
      ShowText(op_,
               LoaderText::tr(
                   "次のSoundファイルが見つかりません。\r\n%1\r\n\r\n探した場所：\r\n%2\r\n\r\n")
                       .arg(voice.NAME, folders.join(u"\r\n"_s)) +
                   GetMessage(2039),
               msg::kTitleError, MessageIcon::kError);
      MessageRequest offer;
      offer.text = LoaderText::tr(
          "見つからないSoundファイルを、ファイルなしのまま残してプロジェクトを開きますか？\r\n"
          "残したSoundはSound登録の一覧に赤で示されます。差し替えるか削除するまで、"
          "カードデータの作成、Sound登録情報の印刷、そのSoundの試聴はできません。\r\n"
          "「いいえ」を選ぶと読込みを中止し、編集中の内容はそのまま残ります。");
      offer.title_number = msg::kTitleConfirm;
      offer.title = GetMessage(msg::kTitleConfirm);
      offer.icon = MessageIcon::kQuestion;
      offer.buttons = MessageButtons::kYesNo;
      offer.default_answer = MessageAnswer::kNo;
      if (op_.ShowMessage(offer) != MessageAnswer::kYes) {
        throw AbandonedLoad{};
      }
      keep_missing_ = true;
    }
    voice.FilePath = JoinPath(sound_folder_, voice.NAME);
    voice.missing_from = folders;
    missing_ << voice.NAME;
  }

  Project& project_;
  QString sound_folder_;
  QString file_folder_;
  std::map<int, QString> recorded_paths_;
  Operator& op_;
  AcceptanceRules rules_;
  qint64 capacity_limit_;
  Section section_ = Section::kHeader;
  bool saw_marker_ = false;
  int counter_ = 0;
  QString model_line_;
  qint64 loaded_bytes_ = 0;
  bool keep_missing_ = false;  // the operator chose to open without the missing files
  QStringList missing_;
  int dropped_channels_ = 0;
  int dropped_voices_ = 0;
};

// Where and why a load failed, after message 2507's own text.
QString FailureDetail(const QString& path, const LoadResult& result) {
  QString detail = u"\r\n"_s + QDir::toNativeSeparators(path);
  if (result.line > 0) {
    detail += LoaderText::tr("\r\n%1 行目：%2").arg(result.line).arg(result.reason);
  } else if (!result.reason.isEmpty()) {
    detail += u"\r\n"_s + result.reason;
  }
  return detail;
}

}  // namespace

std::optional<int> ToWholeNumber(const QString& text) {
  bool ok = false;
  const double value = QLocale::c().toDouble(text.trimmed(), &ok);
  if (!ok || !std::isfinite(value)) {
    return std::nullopt;
  }
  const double rounded = std::nearbyint(value);  // the default rounding: halves to even
  if (rounded < -32768 || rounded > 32767) {
    return std::nullopt;
  }
  return static_cast<int>(rounded);
}

std::optional<QString> SoundFolderFor(const Project& project, const QString& path) {
  const QString extension = RightBytes(path, 3);
  const int mode = project.Mode();
  if (extension.compare(ControlFileExtension(mode), Qt::CaseInsensitive) == 0) {
    return FolderOf(path);
  }
  if (extension.compare(TemporaryFileExtension(mode), Qt::CaseInsensitive) == 0) {
    return project.settings.WavePath;
  }
  return std::nullopt;
}

QString ExtensionRefusalText(int mode) {
  return LoaderText::tr("%1で読み込めるのは、拡張子が %2 と %3 のファイルです。")
      .arg(SeriesLabel(mode).simplified(), ControlFileExtension(mode),
           TemporaryFileExtension(mode));
}

LoadResult LoadControlFile(Project& project, const QString& path, Operator& op) {
  LoadResult result;
  const std::optional<QString> sound_folder = SoundFolderFor(project, path);
  if (!sound_folder) {
    return result;
  }
  // Read apart: the project being edited is replaced only by a whole file.
  // (On the heap: a thousand program records are too big for a stack.)
  const auto loaded = std::make_unique<Project>();
  loaded->settings = project.settings;
  loaded->ChannelCount = project.ChannelCount;
  loaded->ChannelsPerPage = project.ChannelsPerPage;
  loaded->GridColumns = project.GridColumns;
  QString left_out;
  {
    BusyScope busy(op);
    qsizetype line_number = 0;
    try {
      QFile file(path);
      if (!file.open(QIODevice::ReadOnly)) {
        throw MalformedFile{LoaderText::tr("ファイルを開けません（%1）").arg(file.errorString())};
      }
      const QByteArray bytes = file.readAll();
      if (file.error() != QFileDevice::NoError) {
        throw MalformedFile{
            LoaderText::tr("ファイルを読み取れません（%1）").arg(file.errorString())};
      }
      if (bytes.isEmpty()) {
        throw MalformedFile{LoaderText::tr("ファイルが空です")};
      }
      const QStringList lines = SplitLines(cp932::Decode(bytes));
      Loader loader(*loaded, *sound_folder, FolderOf(path), RecordedSoundPaths(lines), op);
      for (const QString& line : lines) {
        ++line_number;
        loader.Line(line);
      }
      line_number = 0;
      // Every control file has sections; a file without a single one (some
      // other file under this name) is not one, and loading it as an empty
      // project would report success for nothing.
      if (!loader.SawMarker()) {
        throw MalformedFile{
            LoaderText::tr("コントロールファイルの区切り行（#0～#3、#S）がありません")};
      }
      result.missing = loader.Missing();
      left_out = loader.LeftOutText();
    } catch (const AbandonedLoad&) {
      return result;
    } catch (const MalformedFile& failure) {
      result.reason = failure.reason;
      result.line = static_cast<int>(line_number);
      ShowMessage(op, 2507, msg::kTitleError, MessageIcon::kError, MessageButtons::kOk,
                  FailureDetail(path, result));
      return result;
    }
  }
  project.ReplaceContent(std::move(*loaded));
  project.CurrentPage = 0;
  result.loaded = true;
  if (!left_out.isEmpty()) {
    result.warnings << left_out;
  }
  if (!result.missing.isEmpty()) {
    result.warnings << LoaderText::tr(
                           "次のSoundファイルは見つからないまま、名前だけを読み込みました。"
                           "Sound登録で差し替えるか、削除してください。\r\n%1")
                           .arg(result.missing.join(u"\r\n"_s));
  }
  if (!result.warnings.isEmpty()) {
    ShowText(op, result.warnings.join(u"\r\n\r\n"_s), msg::kTitleConfirm,
             MessageIcon::kExclamation);
  }
  return result;
}

bool LoadWpjFile(Project& project, const QString& path, Operator& op) {
  return LoadControlFile(project, path, op).loaded;
}

std::optional<QStringList> ControlFileSoundNames(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) {
    return std::nullopt;
  }
  const QByteArray bytes = file.readAll();
  if (file.error() != QFileDevice::NoError) {
    return std::nullopt;
  }
  QStringList names;
  bool in_voices = false;
  for (const QString& line : SplitLines(cp932::Decode(bytes))) {
    if (line.startsWith(u'#')) {
      in_voices = line.left(2) == u"#2"_s;
      continue;
    }
    if (!in_voices || line.isEmpty() || line.endsWith(u'*')) {
      continue;
    }
    const QStringList fields = CutAtNul(line).split(u',');
    if (fields.size() < 2 || !IsPlainFileName(fields.at(1))) {
      return std::nullopt;
    }
    names << fields.at(1);
  }
  return names;
}

}  // namespace parlatone
