// SPDX-License-Identifier: GPL-3.0-or-later
#include "tools/tool_runs.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStringList>

#include <memory>
#include <vector>

#include "core/messages.h"
#include "core/operator.h"
#include "core/paths.h"
#include "core/text.h"
#include "sound/pcm_source.h"
#include "sound/wave_reader.h"
#include "tools/fit_rules.h"
#include "tools/time_boxes.h"
#include "tools/tools_log.h"

namespace parlatone {

Q_LOGGING_CATEGORY(ToolsLog, "parlatone.tools", QtWarningMsg)

using namespace Qt::StringLiterals;

namespace {

// The texts of this unit the operator reads, in the interface language.
struct ToolRunText {
  Q_DECLARE_TR_FUNCTIONS(ToolRuns)
};

}  // namespace

QString ToolText(const char* text) {
  return QCoreApplication::translate("ToolRuns", text);
}

namespace {

// The tools read WAVE files only; any WAVE series reads them alike.
constexpr int kWaveMode = 1;
constexpr int kBarMaximum = 100;

// A check under way: where it failed, told to the window before the message.
class Checker {
 public:
  Checker(Operator& op, ToolField* field, const FieldFocus& focus)
      : op_(op), field_(field), focus_(focus) {}

  bool Refuse(ToolField which, const QString& text) {
    Point(which);
    ShowText(op_, text, msg::kTitleConfirm, MessageIcon::kExclamation);
    return false;
  }
  bool RefuseMessage(ToolField which, int number) {
    Point(which);
    ShowMessage(op_, number, msg::kTitleConfirm, MessageIcon::kExclamation);
    return false;
  }
  // A Yes/No question; No fails the check on that field without a message.
  bool Ask(ToolField which, const QString& text) {
    if (ShowText(op_, text, msg::kTitleConfirm, MessageIcon::kExclamation,
                 MessageButtons::kYesNo) == MessageAnswer::kYes) {
      return true;
    }
    Point(which);
    return false;
  }
  // The same for replacing an existing file: No is the default answer.
  bool AskBeforeReplacing(ToolField which) {
    if (AskTextBeforeDiscarding(op_, ToolText(tool_text::kOverwrite), MessageIcon::kExclamation) ==
        MessageAnswer::kYes) {
      return true;
    }
    Point(which);
    return false;
  }

 private:
  void Point(ToolField which) {
    if (field_ != nullptr) {
      *field_ = which;
    }
    if (focus_) {
      focus_(which);
    }
  }

  Operator& op_;
  ToolField* field_;
  const FieldFocus& focus_;
};

// What to tell of a sound file the stereo-to-mono conversion does not take
// while the fit page converts it; empty when nothing reads it.
QString ForFitPageText(const QString& path) {
  const std::unique_ptr<PcmSource> source = OpenPcmSource(path);
  if (source == nullptr) {
    return {};
  }
  const int bits = source->format.bits;
  const QString form = bits == 8 || bits == 16 ? QString() : ToolRunText::tr("（%1bit）").arg(bits);
  // Said of a sound file that this page cannot convert and the fit page can.
  return ToolRunText::tr(
             "%1%2 はこのページでは変換できません。\r\n"
             "「シリーズに合わせて変換」のページで変換できます。")
      .arg(FileNameOf(path), form);
}

bool Ask(Operator& op, const QString& text) {
  return ShowText(op, text, msg::kTitleConfirm, MessageIcon::kExclamation,
                  MessageButtons::kYesNo) == MessageAnswer::kYes;
}

bool SplitsIntoFolderAndName(const QString& path) {
  QString folder;
  const QString name = FileNameOf(path, &folder);
  return !folder.isEmpty() && !name.isEmpty();
}

QStringList WaveFilesIn(const QString& folder) {
  QDir dir(folder);
  return dir.entryList({u"*.wav"_s}, QDir::Files, QDir::Name);
}

// The bar of a run: the engine's steps move it, the view (or else the
// operator) shows it.
class RunBar {
 public:
  RunBar(Operator& op, const RunView& view, ConversionProgress& progress, int64_t total_bytes)
      : op_(op), progress_(progress) {
    show_ = view.bar ? view.bar
                     : [&op](int value, int maximum) { op.SetProgress(QString(), value, maximum); };
    busy_ = view.busy ? view.busy : [&op](bool busy) { op.SetBusy(busy); };
    progress_.Bar = [this] {
      value_ = std::min(value_ + 1, kBarMaximum);
      show_(value_, kBarMaximum);
    };
    progress_.StepBytes = total_bytes / kBarMaximum;
    progress_.CountedBytes = 0;
    progress_.StopRequested = false;
    progress_.Events =
        view.between_blocks ? view.between_blocks : [&op] { op.ProcessPendingEvents(); };
    show_(0, kBarMaximum);
    busy_(true);
  }
  ~RunBar() {
    progress_.Bar = nullptr;
    progress_.Events = nullptr;
    if (still_busy_) {
      busy_(false);
    }
  }

  // The window's closing steps: a full bar, a short look at it, the pointer back.
  void Finish() {
    if (value_ < kBarMaximum) {
      value_ = kBarMaximum;
      show_(value_, kBarMaximum);
      op_.Pause(100);
      // Input held back during the pause arrives while the window still
      // counts as busy: a late click on the stop button stops nothing rather
      // than start the next run.
      op_.ProcessPendingEvents();
    }
    Abort();
  }
  void Abort() {
    busy_(false);
    still_busy_ = false;
  }

 private:
  Operator& op_;
  ConversionProgress& progress_;
  std::function<void(int, int)> show_;
  std::function<void(bool)> busy_;
  int value_ = 0;
  bool still_busy_ = true;
};

}  // namespace

bool CheckConversion(const ConversionRequest& request, Operator& op, ToolField* field,
                     const FieldFocus& focus) {
  Checker check(op, field, focus);
  const QString& source = request.source;
  const QString& output = request.output;
  if (!request.folder_unit) {
    if (source.isEmpty()) {
      return check.Refuse(ToolField::kSource,
                          ToolRunText::tr("変換対象のファイルが指定されていません。"));
    }
    if (!QFileInfo(source).isFile()) {
      return check.Refuse(ToolField::kSource,
                          ToolRunText::tr("指定されたファイルが存在しません。"));
    }
    if (output.isEmpty()) {
      return check.Refuse(ToolField::kOutput,
                          ToolRunText::tr("出力ファイル名が指定されていません。"));
    }
    if (QDir::isRelativePath(output)) {
      return check.Refuse(ToolField::kOutput, FitText(fit_text::kNotFullPath));
    }
    if (source == output) {
      return check.Refuse(
          ToolField::kOutput,
          ToolRunText::tr("変換するファイルと出力ファイル名が同じです。\r\n"
                          "出力ファイル名は異なる場所または名前を指定してください。　　"));
    }
    if (!SplitsIntoFolderAndName(output)) {
      return check.Refuse(ToolField::kOutput,
                          ToolRunText::tr("出力ファイル名が正しくありません。"));
    }
    if (QFileInfo::exists(output) && !check.AskBeforeReplacing(ToolField::kOutput)) {
      return false;
    }
    return true;
  }

  if (source.isEmpty()) {
    return check.Refuse(ToolField::kSource,
                        ToolRunText::tr("変換対象のフォルダが指定されていません。"));
  }
  if (!QFileInfo(source).isDir()) {
    return check.Refuse(ToolField::kSource, ToolRunText::tr("指定されたフォルダが存在しません。"));
  }
  if (output.isEmpty()) {
    return check.Refuse(ToolField::kOutput, ToolRunText::tr("出力フォルダが指定されていません。"));
  }
  if (QDir::isRelativePath(output)) {
    return check.Refuse(ToolField::kOutput, FitText(fit_text::kNotFullPath));
  }
  if (!QFileInfo(output).isDir()) {
    if (!check.Ask(ToolField::kOutput, GetMessage(2045) + u"\r\n"_s + GetMessage(2046))) {
      return false;
    }
    // mkpath makes each missing level from the top down.
    if (!QDir().mkpath(output)) {
      return check.RefuseMessage(ToolField::kOutput, 2047);
    }
  }
  if (source == output) {
    return check.Refuse(ToolField::kOutput,
                        ToolRunText::tr("変換対象フォルダと出力先フォルダが同じです。\r\n"
                                        "出力先フォルダは異なる場所を指定してください。　　"));
  }
  if (WaveFilesIn(source).isEmpty()) {
    return check.Refuse(ToolField::kSource,
                        ToolRunText::tr("フォルダ内に変換できるファイルがありません。"));
  }
  return true;
}

ToolRunResult RunConversion(const ConversionRequest& request, Operator& op,
                            ConversionProgress& progress, const FieldFocus& focus,
                            const RunView& view) {
  ToolRunResult result;
  if (!CheckConversion(request, op, &result.field, focus)) {
    return result;
  }
  result.checked = true;

  struct Item {
    QString source;
    QString output;
  };
  std::vector<Item> sources;
  if (request.folder_unit) {
    for (const QString& name : WaveFilesIn(request.source)) {
      sources.push_back({JoinPath(request.source, name), JoinPath(request.output, name)});
    }
  } else {
    sources.push_back({request.source, request.output});
  }

  std::vector<Item> work;
  int64_t total_bytes = 0;
  const QString skip_question = u"\r\n"_s + ToolText(tool_text::kSkipQuestion);
  for (const Item& item : sources) {
    SoundInfo info;
    // The reader's word is told only when nothing else explains the file.
    const CheckResult read = ReadSoundInfo(item.source, kWaveMode, info);
    if (read.passed && info.Channels == 1) {
      const QString not_stereo = ToolText(tool_text::kNotStereo).arg(FileNameOf(item.source));
      if (!request.folder_unit) {
        ShowText(op, not_stereo, msg::kTitleConfirm, MessageIcon::kInformation);
        result.failed = true;
        return result;
      }
      if (!Ask(op, not_stereo + skip_question)) {
        return result;
      }
      ++result.skipped;
      continue;
    }
    if (!read.passed || !TakesStereoToMono(item.source)) {
      // A sound file of another depth or form (24 bits, float, the
      // extensible header) is one message that names it and the page that
      // converts it; a file nothing reads gets the reader's word.
      const QString other_page = ForFitPageText(item.source);
      if (other_page.isEmpty()) {
        ShowIfRefused(op, read);
        ShowText(op, ToolRunText::tr("情報の取得に失敗しました。処理を中止します。"),
                 msg::kTitleConfirm, MessageIcon::kExclamation);
        result.failed = true;
        return result;
      }
      if (!request.folder_unit) {
        ShowText(op, other_page, msg::kTitleConfirm, MessageIcon::kExclamation);
        result.failed = true;
        return result;
      }
      if (!Ask(op, other_page + skip_question)) {
        return result;
      }
      ++result.for_fit_page;
      continue;
    }
    work.push_back(item);
    total_bytes += QFileInfo(item.source).size();
  }
  if (work.empty()) {
    ShowText(op, ToolRunText::tr("変換対象のファイルが見つかりません。処理を終了します。　"),
             msg::kTitleConfirm, MessageIcon::kInformation);
    result.stereo_missing = true;
    return result;
  }

  RunBar bar(op, view, progress, total_bytes);
  for (const Item& item : work) {
    const ConversionResult converted = ConvertStereoToMono(item.source, item.output, progress);
    if (converted == ConversionResult::kCancelled) {
      ShowText(op, ToolText(tool_text::kCancelled), msg::kTitleConfirm, MessageIcon::kExclamation);
      result.cancelled = true;
      break;
    }
    if (converted == ConversionResult::kFailed) {
      bar.Abort();
      ShowText(op, ToolText(tool_text::kEngineFailed), msg::kTitleConfirm,
               MessageIcon::kExclamation);
      result.failed = true;
      return result;
    }
    ++result.converted;
  }
  bar.Finish();
  return result;
}

QString SilentFilePath(const QString& typed) {
  return typed.endsWith(u".wav"_s, Qt::CaseInsensitive) ? typed : typed + u".wav"_s;
}

bool CheckSilentFile(const SilentFileRequest& request, Operator& op, ToolField* field,
                     const FieldFocus& focus) {
  Checker check(op, field, focus);
  // An empty time box counts 0: "5" minutes with nothing typed for the
  // seconds is five minutes.
  if (TimeBoxValue(request.minutes, kMaxMinutes) == 0 &&
      TimeBoxValue(request.seconds, kMaxSeconds) == 0) {
    return check.Refuse(ToolField::kMinutes, ToolRunText::tr("０秒以上の時間を指定してください。"));
  }
  if (request.output.isEmpty()) {
    return check.Refuse(ToolField::kSilentFile,
                        ToolRunText::tr("出力ファイル名が指定されていません。"));
  }
  if (QDir::isRelativePath(request.output)) {
    return check.Refuse(ToolField::kSilentFile, FitText(fit_text::kNotFullPath));
  }
  if (!SplitsIntoFolderAndName(request.output)) {
    return check.Refuse(ToolField::kSilentFile,
                        ToolRunText::tr("出力ファイル名が正しくありません。"));
  }
  if (QFileInfo::exists(SilentFilePath(request.output)) &&
      !check.AskBeforeReplacing(ToolField::kSilentFile)) {
    return false;
  }
  return true;
}

ToolRunResult RunSilentFile(const SilentFileRequest& request, Operator& op,
                            ConversionProgress& progress, const FieldFocus& focus,
                            const RunView& view) {
  ToolRunResult result;
  if (!CheckSilentFile(request, op, &result.field, focus)) {
    return result;
  }
  result.checked = true;
  // Within the boxes' ranges whatever was typed: at most 60:59, which keeps
  // the file far below the 2 GB that WAVE sizes allow.
  const int seconds =
      TimeBoxValue(request.minutes, kMaxMinutes) * 60 + TimeBoxValue(request.seconds, kMaxSeconds);
  const int bits = request.bits == 16 ? 16 : 8;
  const int rate = request.sample_rate == 44100 ? 44100 : 22050;
  RunBar bar(op, view, progress, static_cast<int64_t>(seconds) * rate * (bits / 8) + 44);
  const ConversionResult made =
      CreateSilentWave(SilentFilePath(request.output), seconds, rate, bits, progress);
  if (made == ConversionResult::kCancelled) {
    ShowText(op, ToolText(tool_text::kCancelled), msg::kTitleConfirm, MessageIcon::kExclamation);
    result.cancelled = true;
  } else if (made == ConversionResult::kFailed) {
    bar.Abort();
    ShowText(op, ToolText(tool_text::kEngineFailed), msg::kTitleConfirm, MessageIcon::kExclamation);
    result.failed = true;
    return result;
  } else {
    result.converted = 1;
  }
  bar.Finish();
  return result;
}

}  // namespace parlatone
