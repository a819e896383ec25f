// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/frm_record.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDate>
#include <QDialogButtonBox>
#include <QDir>
#include <QDoubleSpinBox>
#include <QFile>
#include <QFileInfo>
#include <QFormLayout>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

#include <cmath>

#include "core/operator.h"
#include "core/project.h"
#include "core/series.h"
#include "gui/waveform_view.h"
#include "sound/media.h"
#include "sound/sdl_backend.h"
#include "sound/sound_acceptance.h"
#include "tools/recorded_take.h"
#include "voices/registration.h"

namespace parlatone {

using namespace Qt::StringLiterals;

namespace {

constexpr int kTickMs = 50;
constexpr int kMeterFloorDb = -60;
// A sample this close to full scale is taken as clipped.
constexpr float kClipLevel = 0.999F;
constexpr double kDefaultTargetLufs = -18.0;

double ToDb(float level) {
  return level > 0.0F ? 20.0 * std::log10(static_cast<double>(level)) : -1000.0;
}

}  // namespace

QString FrmRecord::NoInputReason() {
  if (CaptureDeviceNames().isEmpty()) {
    return tr(
        "録音できる入力デバイスがありません。"
        "マイクをつなぎ、サウンドの設定で入力を有効にしてください。");
  }
  return QString();
}

FrmRecord::FrmRecord(Operator& op, FitSeries series, QString sound_folder,
                     const WorkingVoiceList& list, QWidget* parent)
    : QDialog(parent),
      op_(op),
      series_(series),
      sound_folder_(std::move(sound_folder)),
      list_(list) {
  setObjectName(u"FrmRecord"_s);
  setWindowTitle(tr("録音"));
  auto* layout = new QVBoxLayout(this);

  auto* form = new QFormLayout();
  device_ = new QComboBox(this);
  device_->setObjectName(u"CmbDevice"_s);
  // The system's default first: what the operator most often wants.
  device_->addItem(tr("既定の入力デバイス"), QString());
  for (const QString& name : CaptureDeviceNames()) {
    device_->addItem(name, name);
  }
  form->addRow(tr("入力デバイス"), device_);
  layout->addLayout(form);

  auto* meter = new QHBoxLayout();
  peak_meter_ = new QProgressBar(this);
  peak_meter_->setObjectName(u"PrgPeak"_s);
  peak_meter_->setRange(kMeterFloorDb, 0);
  peak_meter_->setValue(kMeterFloorDb);
  peak_meter_->setFormat(tr("ピーク"));
  meter->addWidget(peak_meter_, 1);
  loudness_ = new QLabel(this);
  loudness_->setObjectName(u"LblLoudness"_s);
  // untranslated: a width sample of the figure the label shows, never shown itself
  loudness_->setMinimumWidth(loudness_->fontMetrics().horizontalAdvance(u"−99.9 LUFS"_s));
  meter->addWidget(loudness_);
  clip_ = new QLabel(tr("クリップ"), this);
  clip_->setObjectName(u"LblClip"_s);
  clip_->setStyleSheet(u"QLabel { color: white; background: #c00000; padding: 0 4px; }"_s);
  clip_->setVisible(false);
  meter->addWidget(clip_);
  layout->addLayout(meter);

  waveform_ = new WaveformView(this);
  waveform_->setObjectName(u"Waveform"_s);
  waveform_->setMinimumHeight(80);
  waveform_->SetLevels(std::make_shared<const SoundLevels>());
  layout->addWidget(waveform_, 1);
  length_ = new QLabel(this);
  length_->setObjectName(u"LblLength"_s);
  layout->addWidget(length_);

  auto* buttons = new QHBoxLayout();
  const auto add_button = [&](QPushButton*& button, const QString& caption, const QString& name,
                              void (FrmRecord::*run)()) {
    button = new QPushButton(caption, this);
    button->setObjectName(name);
    button->setAutoDefault(false);
    connect(button, &QPushButton::clicked, this, run);
    buttons->addWidget(button);
  };
  add_button(record_, tr("録音"), u"CmdRecord"_s, &FrmRecord::StartTake);
  add_button(stop_, tr("停止"), u"CmdStop"_s, &FrmRecord::StopTake);
  add_button(retake_, tr("撮り直し"), u"CmdRetake"_s, &FrmRecord::Retake);
  add_button(listen_, tr("試聴"), u"CmdListen"_s, &FrmRecord::Listen);
  layout->addLayout(buttons);

  auto* after = new QGridLayout();
  trim_ = new QCheckBox(tr("前後の無音を削除"), this);
  trim_->setObjectName(u"ChkTrim"_s);
  trim_->setChecked(true);
  after->addWidget(trim_, 0, 0);
  normalize_ = new QCheckBox(tr("音量をそろえる"), this);
  normalize_->setObjectName(u"ChkNormalize"_s);
  after->addWidget(normalize_, 0, 1);
  target_ = new QDoubleSpinBox(this);
  target_->setObjectName(u"SpnLoudness"_s);
  target_->setRange(-70.0, 0.0);
  target_->setDecimals(1);
  target_->setValue(kDefaultTargetLufs);
  target_->setSuffix(u" LUFS"_s);
  target_->setEnabled(false);
  connect(normalize_, &QCheckBox::toggled, target_, &QWidget::setEnabled);
  after->addWidget(target_, 0, 2);
  layout->addLayout(after);

  auto* names = new QFormLayout();
  QStringList taken;
  for (int slot = 0; slot < list_.size(); ++slot) {
    if (!list_[slot].NAME.isEmpty()) {
      taken << list_[slot].NAME;
    }
  }
  name_ = new QLineEdit(ProposeRecordingName(sound_folder_, series_.mode, taken), this);
  name_->setObjectName(u"TxtName"_s);
  names->addRow(tr("ファイル名"), name_);
  comment_ = new QLineEdit(this);
  comment_->setObjectName(u"TxtComment"_s);
  names->addRow(tr("コメント"), comment_);
  layout->addLayout(names);

  auto* bottom = new QDialogButtonBox(this);
  register_ = bottom->addButton(tr("登録"), QDialogButtonBox::AcceptRole);
  register_->setObjectName(u"CmdRegister"_s);
  QPushButton* close = bottom->addButton(tr("閉じる"), QDialogButtonBox::RejectRole);
  close->setObjectName(u"CmdClose"_s);
  connect(register_, &QPushButton::clicked, this, &FrmRecord::Register);
  connect(close, &QPushButton::clicked, this, &FrmRecord::reject);
  layout->addWidget(bottom);

  timer_ = new QTimer(this);
  timer_->setInterval(kTickMs);
  connect(timer_, &QTimer::timeout, this, &FrmRecord::Tick);
  resize(560, 400);
  UpdateButtons();
  QTimer::singleShot(0, this, &FrmRecord::OfferLeftover);
}

FrmRecord::~FrmRecord() {
  playing_.reset();
  recorder_.Stop();
  DiscardTake();
}

QString FrmRecord::Comment() const {
  return comment_->text();
}

// A take a recording that died in the middle left behind becomes the
// dialog's take when the operator keeps it.
void FrmRecord::OfferLeftover() {
  for (const QString& left : LeftoverTakes(sound_folder_)) {
    if (!take_path_.isEmpty()) {
      return;
    }
    const std::optional<SoundLevels> levels = AnalyseSound(left);
    const QString text =
        tr("終了していない録音が残っています。\r\n%1（%2 秒）\r\n\r\nこの録音を残しますか？"
           "（いいえ を選ぶと削除します）")
            .arg(QFileInfo(left).fileName())
            .arg(levels ? static_cast<double>(levels->length_ms) / 1000.0 : 0.0, 0, 'f', 1);
    if (ShowText(op_, text, 2002, MessageIcon::kQuestion, MessageButtons::kYesNo) !=
        MessageAnswer::kYes) {
      QFile::remove(left);
      continue;
    }
    take_path_ = left;
    take_rate_ = 0;
    if (levels) {
      outline_ = *levels;
      waveform_->SetLevels(std::make_shared<const SoundLevels>(outline_));
      length_->setText(tr("%1 秒").arg(static_cast<double>(levels->length_ms) / 1000.0, 0, 'f', 1));
    }
  }
  UpdateButtons();
}

void FrmRecord::StartTake() {
  playing_.reset();
  DiscardTake();
  RecorderSetup setup;
  setup.device = device_->currentData().toString();
  setup.series_rates = FitRates(series_.mode);
  setup.stereo_allowed = series_.stereo;
  QDir().mkpath(sound_folder_);
  setup.path = NewTakePath(sound_folder_);
  if (const std::optional<QString> problem = recorder_.Start(setup)) {
    ShowText(op_, tr("録音を始められません。\r\n%1").arg(*problem), 2500, MessageIcon::kError);
    UpdateButtons();
    return;
  }
  take_path_ = setup.path;
  take_rate_ = recorder_.Rate();
  outline_ = SoundLevels{};
  spans_per_column_ = 1;
  span_in_column_ = 0;
  peak_hold_ = 0.0F;
  clipped_ = false;
  clip_->setVisible(false);
  waveform_->SetLevels(std::make_shared<const SoundLevels>());
  timer_->start();
  UpdateButtons();
}

void FrmRecord::StopTake() {
  if (recorder_.Running()) {
    recorder_.Stop();
    Tick();
    timer_->stop();
    const RecorderCounts counts = recorder_.Counts();
    if (counts.write_failed) {
      ShowText(op_, tr("録音を書き込めなくなりました。そこまでの録音は残っています。"), 2500,
               MessageIcon::kError);
    } else if (counts.overruns > 0) {
      ShowText(
          op_,
          tr("処理が追いつかず、録音の一部（%1 サンプル）が失われました。").arg(counts.dropped),
          2003, MessageIcon::kExclamation);
    }
  }
  if (playing_ != nullptr) {
    playing_.reset();
  }
  UpdateButtons();
}

void FrmRecord::Retake() {
  StopTake();
  StartTake();
}

void FrmRecord::Listen() {
  if (take_path_.isEmpty() || recorder_.Running()) {
    return;
  }
  if (backend_ == nullptr) {
    backend_ = MakeSdlSoundBackend();
  }
  playing_.reset();
  std::unique_ptr<SoundSource> source;
  if (backend_->Open(take_path_, DeviceType::kWaveAudio, OpenPurpose::kPlay, source) == 0 &&
      source->Play(0) == 0) {
    playing_ = std::move(source);
  }
  UpdateButtons();
}

void FrmRecord::Register() {
  StopTake();
  if (take_path_.isEmpty()) {
    return;
  }
  QString name = name_->text().trimmed();
  // The file is written in the series' format: its name says so.
  const QString suffix = IsMp3Series(series_.mode) ? u"MP3"_s : u"WAV"_s;
  if (!name.isEmpty() && QFileInfo(name).suffix().compare(suffix, Qt::CaseInsensitive) != 0) {
    name = (QFileInfo(name).suffix().isEmpty() ? name : QFileInfo(name).completeBaseName()) + u'.' +
           suffix;
    name_->setText(name);
  }
  if (name.isEmpty() || !NameIsRegistrable(name)) {
    name_->setFocus();
    name_->selectAll();
    return;
  }
  const QString output = QDir(sound_folder_).absoluteFilePath(name);
  if (QFileInfo::exists(output) &&
      AskTextBeforeDiscarding(op_, tr("%1\r\nは既にあります。置き換えますか？").arg(name)) !=
          MessageAnswer::kYes) {
    return;
  }
  TakeOptions options;
  options.trim = trim_->isChecked();
  if (normalize_->isChecked()) {
    options.normalize_lufs = target_->value();
  }
  FinishedTake finished;
  {
    BusyScope busy(op_);
    finished = FinishTake(take_path_, take_rate_, output, series_, options);
  }
  if (!finished.fit.written()) {
    ShowText(op_, name + u"\r\n"_s + finished.fit.messages.join(u"\r\n"_s), 2500,
             MessageIcon::kError);
    return;
  }
  DiscardTake();
  recorded_file_ = output;
  accept();
}

// Registration's own checks of a name, before anything is written: a file
// it would refuse is not made.
bool FrmRecord::NameIsRegistrable(const QString& name) {
  SoundInfo format;
  format.FormatTag = 1;
  format.Channels = 1;
  format.SampleRate = static_cast<uint32_t>(FitRates(series_.mode).constFirst());
  format.BitsPerSample = Series(series_.mode).max_bits_per_sample == 8 ? 8 : 16;
  AcceptanceRules rules;
  rules.mode = series_.mode;
  rules.stereo_accepted = series_.stereo;
  return ShowIfRefused(op_, CheckSoundFormat(format, QDir(sound_folder_).absoluteFilePath(name),
                                             QString(), rules)) &&
         ShowIfRefused(op_, CheckUniqueName(list_, name));
}

void FrmRecord::reject() {
  if (recorder_.Running() || !take_path_.isEmpty()) {
    if (AskTextBeforeDiscarding(op_, tr("録音は登録されていません。破棄して閉じますか？")) !=
        MessageAnswer::kYes) {
      return;
    }
  }
  playing_.reset();
  recorder_.Stop();
  timer_->stop();
  DiscardTake();
  QDialog::reject();
}

void FrmRecord::DiscardTake() {
  if (!take_path_.isEmpty() && !recorder_.Running()) {
    QFile::remove(take_path_);
    take_path_.clear();
  }
}

// The meter and the outline follow what the writer has put in the file.
void FrmRecord::Tick() {
  const std::vector<RecordedSpan> spans = recorder_.TakeSpans();
  float peak = 0.0F;
  std::optional<double> loudness;
  for (const RecordedSpan& span : spans) {
    peak = std::max({peak, -span.low, span.high});
    loudness = span.momentary_lufs;
    clipped_ |= std::max(-span.low, span.high) >= kClipLevel;
    // One column of the outline holds more spans as the take grows, so that
    // a long take stays within the columns an analysis keeps.
    if (span_in_column_ == 0) {
      outline_.outline_min.push_back(span.low);
      outline_.outline_max.push_back(span.high);
    } else {
      outline_.outline_min.back() = std::min(outline_.outline_min.back(), span.low);
      outline_.outline_max.back() = std::max(outline_.outline_max.back(), span.high);
    }
    span_in_column_ = (span_in_column_ + 1) % spans_per_column_;
    if (span_in_column_ == 0 &&
        outline_.outline_min.size() >= static_cast<size_t>(SoundLevels::kOutlineColumns)) {
      std::vector<float> low, high;
      for (size_t i = 0; i + 1 < outline_.outline_min.size(); i += 2) {
        low.push_back(std::min(outline_.outline_min[i], outline_.outline_min[i + 1]));
        high.push_back(std::max(outline_.outline_max[i], outline_.outline_max[i + 1]));
      }
      outline_.outline_min = std::move(low);
      outline_.outline_max = std::move(high);
      spans_per_column_ *= 2;
    }
  }
  if (!spans.empty()) {
    // The bar falls back slowly, so that a short peak can be read.
    peak_hold_ = std::max(peak, peak_hold_ * 0.7F);
    peak_meter_->setValue(
        static_cast<int>(std::clamp(ToDb(peak_hold_), double{kMeterFloorDb}, 0.0)));
    loudness_->setText(loudness ? u"%1 LUFS"_s.arg(*loudness, 0, 'f', 1) : tr("−∞ LUFS"));
    clip_->setVisible(clipped_);
    // A short take fills the picture from the left, as it is heard; past
    // the picture's columns it is drawn narrower and narrower.
    auto shown = std::make_shared<SoundLevels>(outline_);
    if (spans_per_column_ == 1) {
      shown->outline_min.resize(SoundLevels::kOutlineColumns, 0.0F);
      shown->outline_max.resize(SoundLevels::kOutlineColumns, 0.0F);
    }
    waveform_->SetLevels(std::move(shown));
  }
  const RecorderCounts counts = recorder_.Counts();
  if (recorder_.Rate() > 0 && recorder_.Channels() > 0) {
    length_->setText(tr("%1 秒").arg(
        static_cast<double>(counts.written) / recorder_.Channels() / recorder_.Rate(), 0, 'f', 1));
  }
  if (counts.write_failed) {
    StopTake();
  }
}

void OfferRecordingDate(Project& project, Operator& op) {
  if (!project.card.RecDate.isEmpty()) {
    return;
  }
  const QString today = QDate::currentDate().toString(u"yyyy/MM/dd"_s);
  if (ShowText(
          op,
          FrmRecord::tr("カード情報の録音日が空欄です。今日の日付（%1）を入れますか？").arg(today),
          2002, MessageIcon::kQuestion, MessageButtons::kYesNo) == MessageAnswer::kYes) {
    project.card.RecDate = today;
    project.PageEdited[static_cast<size_t>(project.CurrentPage)] = true;
  }
}

void FrmRecord::UpdateButtons() {
  const bool recording = recorder_.Running();
  const bool have_take = !take_path_.isEmpty() && !recording;
  record_->setEnabled(!recording && take_path_.isEmpty());
  stop_->setEnabled(recording || playing_ != nullptr);
  retake_->setEnabled(recording || have_take);
  listen_->setEnabled(have_take);
  register_->setEnabled(have_take);
  device_->setEnabled(!recording);
}

}  // namespace parlatone
