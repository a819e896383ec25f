// SPDX-License-Identifier: GPL-3.0-or-later
#include "card/card_maker.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "card/card_log.h"
#include "controlfile/control_file_writer.h"
#include "core/card_data.h"
#include "core/file_io.h"
#include "core/messages.h"
#include "core/operator.h"
#include "core/paths.h"
#include "core/project.h"
#include "core/series.h"

namespace parlatone {

using namespace Qt::StringLiterals;

namespace {

// The texts of this unit the operator reads, in the interface language.
struct CardMakerText {
  Q_DECLARE_TR_FUNCTIONS(CardMaker)
};

constexpr int kPauseAfterControlFileMs = 800;
constexpr int kPauseAfterCopyMs = 100;

void DeleteFilesIn(const QString& folder) {
  QDir dir(folder);
  for (const QString& name : dir.entryList(QDir::Files | QDir::Hidden | QDir::System)) {
    dir.remove(name);
  }
}

bool HasFiles(const QString& folder) {
  return !QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::System).isEmpty();
}

// The progress window with the busy pointer: a caption and a bar, both gone
// again before any message is shown.
class Progress {
 public:
  Progress(Operator& op, ProgressSink sink, int maximum)
      : op_(op), sink_(std::move(sink)), maximum_(maximum) {
    op_.SetBusy(true);
  }
  ~Progress() { Close(); }
  void Caption(const QString& caption) {
    caption_ = caption;
    ShowProgress(op_, sink_, caption_, value_, maximum_);
  }
  void Advance() {
    ++value_;
    ShowProgress(op_, sink_, caption_, value_, maximum_);
  }
  void Close() {
    if (open_) {
      open_ = false;
      ShowProgress(op_, sink_, QString(), 0, 0);
      op_.SetBusy(false);
    }
  }

 private:
  Operator& op_;
  ProgressSink sink_;
  bool open_ = true;
  int maximum_;
  int value_ = 0;
  QString caption_;
};

QString NameList(const QStringList& names) {
  return names.join(u"\r\n"_s);
}

CardMakeResult Run(Project& project, const QString& work_folder, bool programs_present,
                   Operator& op, const QString& next_step, const ProgressSink& sink) {
  CardMakeResult result;
  const QString card_path = project.settings.CardPath;
  if (!QFileInfo(card_path).isDir()) {
    ShowMessage(op, 2082, msg::kTitleConfirm, MessageIcon::kExclamation);
    result.outcome = CardMakeOutcome::kNoCardFolder;
    result.close_window = true;
    return result;
  }
  const int count = project.VoicesRegistered ? static_cast<int>(project.voices.size()) : 0;
  const QString target = CardTargetFolder(project);
  result.target_folder = target;

  ShowMessage(op, 2030, 2023, MessageIcon::kExclamation);

  if (QFileInfo(work_folder).isDir()) {
    DeleteFilesIn(work_folder);
  } else {
    QDir().mkpath(work_folder);
  }
  bool created_target = false;
  if (QFileInfo::exists(target)) {
    if (AskBeforeDiscarding(op, 2031) != MessageAnswer::kYes) {
      result.outcome = CardMakeOutcome::kDeclined;
      return result;
    }
  } else {
    created_target = QDir().mkdir(target);
  }

  Progress progress(op, sink, (count + 1) * 2);
  progress.Caption(GetMessage(2033));

  const QString control_name = ControlFileName(project);
  progress.Caption(GetMessage(2027, control_name));
  if (const WriteResult written =
          WriteControlFile(project, JoinPath(work_folder, control_name), programs_present);
      !written) {
    qCDebug(CardLog) << "control file" << control_name << "not written:" << written.error;
    progress.Close();
    ShowMessage(op, 2505, msg::kTitleError, MessageIcon::kError, MessageButtons::kOk,
                WithReason(written));
    result.outcome = CardMakeOutcome::kControlFileFailed;
    return result;
  }
  op.Pause(kPauseAfterControlFileMs);
  progress.Advance();

  if (project.VoicesRegistered) {
    for (const VoiceRecord& voice : project.voices) {
      // A name that is not one plain file name would be written elsewhere.
      // The gathered files are only read again, so a link to each will do
      // where the file system allows: no byte is copied twice.
      if (!IsPlainFileName(voice.NAME) ||
          !StageFile(voice.FilePath, JoinPath(work_folder, voice.NAME))) {
        qCDebug(CardLog) << "sound file" << voice.FilePath << "not gathered as" << voice.NAME;
        result.failed_files << voice.NAME;
      }
      progress.Advance();
      op.ProcessPendingEvents();
    }
  }
  if (!result.failed_files.isEmpty()) {
    // Half a card is worse than none: stop before the target is touched.
    progress.Close();
    DeleteFilesIn(work_folder);
    if (created_target) {
      QDir().rmdir(target);
    }
    ShowText(
        op,
        CardMakerText::tr(
            "次のSoundファイルを読み込めないため、カードデータを作成できませんでした。　　\r\n%1")
            .arg(NameList(result.failed_files)),
        msg::kTitleError, MessageIcon::kError);
    result.outcome = CardMakeOutcome::kGatherFailed;
    return result;
  }

  if (HasFiles(target)) {
    DeleteFilesIn(target);
  }
  QDir work(work_folder);
  for (const QString& name :
       work.entryList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name)) {
    // Each file appears under its name only once complete; all of them are
    // made durable together below, not one by one.
    if (!CopyFileUnsynced(work.filePath(name), JoinPath(target, name))) {
      result.failed_files << name;
    }
    progress.Caption(GetMessage(2034, name));
    progress.Advance();
    work.remove(name);
    op.Pause(kPauseAfterCopyMs);
    op.ProcessPendingEvents();
  }
  // The card data are announced complete only once they are on the disk.
  const bool synced = result.failed_files.isEmpty() && SyncFolder(target);
  if (result.failed_files.isEmpty() && !synced) {
    result.failed_files << control_name;
  }
  progress.Close();

  if (!result.failed_files.isEmpty()) {
    // A folder with a control file looks like a finished card: without all
    // its sound files it must not.
    QFile::remove(JoinPath(target, control_name));
    ShowText(op,
             CardMakerText::tr("次のファイルを作成フォルダにコピーできませんでした。カードデータは"
                               "完成していません。　　\r\n%1\r\n%2")
                 .arg(NameList(result.failed_files), target),
             msg::kTitleError, MessageIcon::kError);
    result.outcome = CardMakeOutcome::kCopyFailed;
    return result;
  }
  ShowMessage(
      op, SeriesMessage(SeriesText::kCardMadeNotice, project.Mode()),
      SeriesMessage(SeriesText::kCardMadeTitle, project.Mode()), MessageIcon::kExclamation,
      MessageButtons::kOk,
      u"\r\n\r\n"_s + target + (next_step.isEmpty() ? QString() : u"\r\n\r\n"_s + next_step));
  result.outcome = CardMakeOutcome::kMade;
  return result;
}

}  // namespace

// A channel counts as programmed when its first slot holds a name; a single
// blank is what an emptied grid cell leaves behind.
bool AnyChannelProgrammed(const Project& project) {
  for (int channel = 0; channel < project.ChannelCount; ++channel) {
    const QString& first = project.programs[static_cast<size_t>(channel)].Voice[0];
    if (!first.isEmpty() && first != u" "_s) {
      return true;
    }
  }
  return false;
}

FileFilter TemporarySaveFilter(int mode) {
  const QString extension = TemporaryFileExtension(mode);
  return {CardMakerText::tr("ParlatoneEditorファイル(*.%1)").arg(extension), u"*."_s + extension};
}

bool TemporarySave(Project& project, const QString& path, Operator& op) {
  WriteResult written;
  {
    BusyScope busy(op);
    written = WriteTemporarySaveFile(project, path, AnyChannelProgrammed(project));
    if (written) {
      op.Pause(kPauseAfterControlFileMs);
    }
  }
  op.ProcessPendingEvents();
  if (!written) {
    ShowMessage(op, 2511, msg::kTitleError, MessageIcon::kError, MessageButtons::kOk,
                WithReason(written));
    return false;
  }
  ShowMessage(op, 2051, msg::kTitleConfirm, MessageIcon::kInformation);
  project.ClearPageEdited();
  return true;
}

CardMakeResult MakeCardData(Project& project, const QString& work_folder, Operator& op,
                            const QString& next_step, const ProgressSink& progress) {
  CardMakeResult result;
  if (!project.VoicesRegistered) {
    ShowText(op,
             GetMessage(SeriesMessage(SeriesText::kNoSoundRegistered, project.Mode())) + u"\r\n"_s +
                 GetMessage(2504),
             msg::kTitleConfirm, MessageIcon::kExclamation);
    result.outcome = CardMakeOutcome::kNoSound;
    return result;
  }
  if (RefuseMissingVoices(MissingVoiceNames(project), CardMakerText::tr("カードデータを作成"),
                          op)) {
    result.outcome = CardMakeOutcome::kMissingSound;
    return result;
  }
  const bool programs_present = AnyChannelProgrammed(project);
  if (!programs_present) {
    ShowMessage(op, 2081, msg::kTitleConfirm, MessageIcon::kExclamation);
    result.outcome = CardMakeOutcome::kNoPrograms;
    result.close_window = true;
    return result;
  }
  if (!CheckCardInfo(project.card, op, &result.failure)) {
    result.outcome = CardMakeOutcome::kCheckFailed;
    return result;
  }
  result = Run(project, work_folder, programs_present, op, next_step, progress);
  project.ClearPageEdited();
  return result;
}

}  // namespace parlatone
