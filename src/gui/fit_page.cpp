// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/fit_page.h"

#include <QCheckBox>
#include <QColor>
#include <QComboBox>
#include <QDir>
#include <QDoubleSpinBox>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

#include <iterator>

#include "core/messages.h"
#include "core/operator.h"
#include "core/series.h"
#include "gui/choosers.h"
#include "gui/gui_operator.h"
#include "tools/tool_runs.h"

namespace parlatone {

using namespace Qt::StringLiterals;

namespace {

constexpr int kBarMaximum = 1000;
constexpr double kDefaultLufs = -16.0;

// The series as a sentence names it, a text of its own per series: the
// settings' labels name a choice ("ZPXシリーズ用") and break their line, and a
// sentence wants neither, in any language. In the order of the series.
constexpr const char* kSeriesNames[] = {
    QT_TRANSLATE_NOOP("parlatone::FitPage", "LYRシリーズ（8bitデータ専用）"),
    QT_TRANSLATE_NOOP("parlatone::FitPage", "QDXシリーズ 255CH"),
    QT_TRANSLATE_NOOP("parlatone::FitPage", "LYR500シリーズ"),
    QT_TRANSLATE_NOOP("parlatone::FitPage", "LYRシリーズ拡張"),
    QT_TRANSLATE_NOOP("parlatone::FitPage", "QDXシリーズ 1000CH"),
    QT_TRANSLATE_NOOP("parlatone::FitPage", "LYR-5シリーズ"),
    QT_TRANSLATE_NOOP("parlatone::FitPage", "LYR-4シリーズ"),
    QT_TRANSLATE_NOOP("parlatone::FitPage", "ZPXシリーズ"),
};
static_assert(std::size(kSeriesNames) == kSeriesCount);

QString SeriesName(int mode) {
  return FitPage::tr(kSeriesNames[Series(mode).mode]);
}

// One line of the results list: where a file went and the loudness it
// reached, or why it was not written.
QString ResultLine(const FitFileResult& file) {
  QString line = QFileInfo(file.source).fileName();
  if (!file.written()) {
    return FitPage::tr("%1：書き込みませんでした。%2").arg(line, file.messages.join(u' '));
  }
  line = FitPage::tr("%1 → %2").arg(line, file.name);
  if (const QString loudness = FitLoudnessText(file); !loudness.isEmpty()) {
    line = FitPage::tr("%1　%2").arg(line, loudness);
  }
  if (!file.messages.isEmpty()) {
    line = FitPage::tr("%1　%2").arg(line, file.messages.join(u' '));
  }
  return line;
}

}  // namespace

FitPage::FitPage(const FitSeries& series, Operator& op, Choosers& choosers,
                 std::function<void(bool)> busy, QWidget* parent)
    : QFrame(parent), series_(series), op_(op), choosers_(choosers), busy_(std::move(busy)) {
  setObjectName(u"FrameFit"_s);
  setFrameShape(QFrame::StyledPanel);
  const bool mp3 = IsMp3Series(series_.mode);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(new QLabel(tr("どんな音声ファイルも、%1で登録できる形式と名前に変換します。")
                                   .arg(SeriesName(series_.mode)),
                               this));

  auto* sources_box = new QGroupBox(tr("変換するファイル"), this);
  auto* sources_layout = new QHBoxLayout(sources_box);
  sources_ = new QListWidget(sources_box);
  sources_->setObjectName(u"LstFitSources"_s);
  sources_->setMinimumHeight(90);
  sources_layout->addWidget(sources_, 1);
  auto* source_buttons = new QVBoxLayout();
  const auto button = [&](const QString& text, const QString& name, auto slot) {
    auto* b = new QPushButton(text, sources_box);
    b->setObjectName(name);
    connect(b, &QPushButton::clicked, this, slot);
    source_buttons->addWidget(b);
    idle_only_ << b;
    return b;
  };
  button(tr("ファイル追加..."), u"CmdFitFiles"_s, &FitPage::AddFiles);
  button(tr("フォルダ追加..."), u"CmdFitFolder"_s, &FitPage::AddFolder);
  button(tr("クリア"), u"CmdFitClear"_s, [this] { sources_->clear(); });
  source_buttons->addStretch(1);
  sources_layout->addLayout(source_buttons);
  layout->addWidget(sources_box, 1);

  auto* options = new QGroupBox(tr("変換の設定"), this);
  auto* grid = new QGridLayout(options);
  rate_ = new QComboBox(options);
  rate_->setObjectName(u"CmbFitRate"_s);
  if (!mp3) {
    rate_->addItem(tr("自動（元の周波数に近いもの）"), 0);
  }
  for (const int rate : FitRates(series_.mode)) {
    rate_->addItem(u"%1 Hz"_s.arg(rate), rate);
  }
  auto* rate_label = new QLabel(tr("周波数(&R)"), options);
  rate_label->setBuddy(rate_);
  grid->addWidget(rate_label, 0, 0);
  grid->addWidget(rate_, 0, 1);
  bitrate_ = new QComboBox(options);
  bitrate_->setObjectName(u"CmbFitBitrate"_s);
  for (const int kbps : {64, 96, 128, 160}) {
    bitrate_->addItem(u"%1 kbit/s"_s.arg(kbps), kbps);
  }
  bitrate_->setCurrentIndex(2);
  bitrate_->setEnabled(mp3);
  auto* bitrate_label = new QLabel(tr("ビットレート(&B)"), options);
  bitrate_label->setBuddy(bitrate_);
  grid->addWidget(bitrate_label, 1, 0);
  grid->addWidget(bitrate_, 1, 1);
  normalize_ = new QCheckBox(tr("音量をそろえる(&L)"), options);
  normalize_->setObjectName(u"ChkFitNormalize"_s);
  lufs_ = new QDoubleSpinBox(options);
  lufs_->setObjectName(u"SpnFitLufs"_s);
  lufs_->setRange(-40.0, -6.0);
  lufs_->setDecimals(1);
  lufs_->setSuffix(u" LUFS"_s);
  lufs_->setValue(kDefaultLufs);
  lufs_->setEnabled(false);
  connect(normalize_, &QCheckBox::toggled, lufs_, &QWidget::setEnabled);
  grid->addWidget(normalize_, 2, 0);
  grid->addWidget(lufs_, 2, 1);
  trim_ = new QCheckBox(tr("前後の無音を取り除く(&T)"), options);
  trim_->setObjectName(u"ChkFitTrim"_s);
  grid->addWidget(trim_, 3, 0, 1, 2);
  grid->setColumnStretch(2, 1);
  layout->addWidget(options);
  idle_only_ << rate_ << bitrate_ << normalize_ << lufs_ << trim_;

  auto* output_row = new QHBoxLayout();
  auto* output_label = new QLabel(tr("出力フォルダ(&O)"), this);
  output_ = new QLineEdit(this);
  output_->setObjectName(u"TxtFitOutput"_s);
  output_label->setBuddy(output_);
  auto* browse = new QPushButton(tr("参照..."), this);
  browse->setObjectName(u"CmdFitOutput"_s);
  connect(browse, &QPushButton::clicked, this, &FitPage::ChooseOutput);
  output_row->addWidget(output_label);
  output_row->addWidget(output_, 1);
  output_row->addWidget(browse);
  layout->addLayout(output_row);
  idle_only_ << output_ << browse;

  auto* run_row = new QHBoxLayout();
  bar_ = new QProgressBar(this);
  bar_->setObjectName(u"PrgFitBar"_s);
  bar_->setRange(0, kBarMaximum);
  bar_->setValue(0);
  bar_->setTextVisible(false);
  run_row->addWidget(bar_, 1);
  run_ = new QPushButton(tr("変換実行"), this);
  run_->setObjectName(u"CmdFitExec"_s);
  connect(run_, &QPushButton::clicked, this, [this] {
    if (running_) {
      RequestStop();
    } else {
      Run();
    }
  });
  run_row->addWidget(run_);
  layout->addLayout(run_row);

  // What the last run made of each file stays in view after its summary
  // closes: the loudness reached, and why a file fell short of the target.
  results_ = new QListWidget(this);
  results_->setObjectName(u"LstFitResults"_s);
  results_->setMaximumHeight(results_->fontMetrics().lineSpacing() * 5 + 8);
  results_->setSelectionMode(QAbstractItemView::NoSelection);
  results_->setFocusPolicy(Qt::NoFocus);
  results_->hide();  // until there is a run to tell of
  layout->addWidget(results_);
}

void FitPage::AddFiles() {
  const FileFilter filter{tr("音声ファイル"), FitSourcePatterns().join(u';')};
  for (const QString& file :
       choosers_.ChooseOpenFiles(this, filter, last_folder_, tr("変換するファイル"))) {
    sources_->addItem(QDir::toNativeSeparators(file));
    last_folder_ = QFileInfo(file).absolutePath();
  }
}

void FitPage::AddFolder() {
  const QString folder = choosers_.ChooseFolder(this, tr("変換するフォルダ"), last_folder_);
  if (folder.isEmpty()) {
    return;
  }
  last_folder_ = folder;
  const QDir dir(folder);
  for (const QString& name : dir.entryList(FitSourcePatterns(), QDir::Files, QDir::Name)) {
    sources_->addItem(QDir::toNativeSeparators(dir.filePath(name)));
  }
}

void FitPage::ChooseOutput() {
  const QString folder = choosers_.ChooseFolder(this, tr("出力フォルダ"), output_->text());
  if (!folder.isEmpty()) {
    output_->setText(QDir::toNativeSeparators(folder));
  }
}

FitOptions FitPage::Options() const {
  FitOptions options;
  options.rate = rate_->currentData().toInt();
  options.bitrate = bitrate_->currentData().toInt();
  if (normalize_->isChecked()) {
    options.normalize_lufs = lufs_->value();
  }
  options.trim = trim_->isChecked();
  return options;
}

void FitPage::SetRunning(bool running) {
  running_ = running;
  for (QWidget* control : idle_only_) {
    control->setEnabled(!running);
  }
  bitrate_->setEnabled(!running && IsMp3Series(series_.mode));
  lufs_->setEnabled(!running && normalize_->isChecked());
  run_->setText(running ? tr("変換停止") : tr("変換実行"));
  busy_(running);
}

FitRunResult FitPage::Run() {
  if (sources_->count() == 0) {
    ShowText(op_, tr("変換するファイルを追加してください。"), msg::kTitleConfirm,
             MessageIcon::kExclamation);
    sources_->setFocus();
    return {};
  }
  if (output_->text().trimmed().isEmpty()) {
    ShowText(op_, tr("出力フォルダを指定してください。"), msg::kTitleConfirm,
             MessageIcon::kExclamation);
    output_->setFocus();
    return {};
  }
  QStringList sources;
  for (int i = 0; i < sources_->count(); ++i) {
    sources << QDir::fromNativeSeparators(sources_->item(i)->text());
  }
  const QString folder = QDir::fromNativeSeparators(output_->text().trimmed());
  if (QDir::isRelativePath(folder)) {
    ShowText(op_, FitText(fit_text::kNotFullPath), msg::kTitleConfirm, MessageIcon::kExclamation);
    output_->setFocus();
    return {};
  }
  stop_ = false;
  SetRunning(true);
  const FitRunResult run =
      FitFiles(sources, folder, series_, Options(), op_, &stop_, BarSink(*bar_));
  SetRunning(false);
  results_->clear();
  results_->show();
  for (const FitFileResult& file : run.files) {
    auto* item = new QListWidgetItem(ResultLine(file), results_);
    if (!file.written() || file.limited_by_peak) {
      item->setForeground(QColor(190, 0, 0));
    }
  }
  ShowText(
      op_,
      run.cancelled ? FitSummaryText(run) + u"\r\n"_s + ToolText(tool_text::kCancelled)
                    : FitSummaryText(run),
      msg::kTitleConfirm,
      run.Written() == run.files.size() ? MessageIcon::kInformation : MessageIcon::kExclamation);
  return run;
}

}  // namespace parlatone
