// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/frm_tools.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpressionValidator>
#include <QStackedWidget>
#include <QTabBar>
#include <QToolButton>
#include <QVBoxLayout>

#include "core/messages.h"
#include "core/operator.h"
#include "core/series.h"
#include "gui/choosers.h"
#include "gui/fit_page.h"
#include "tools/time_boxes.h"

namespace parlatone {

using namespace Qt::StringLiterals;

namespace {

constexpr int kBarMaximum = 100;

// Unit captions: the two labels in file unit, then in folder unit.
constexpr const char* kBoxCaptions[2][2] = {
    {QT_TRANSLATE_NOOP("parlatone::FrmTools", "変換するファイル"),
     QT_TRANSLATE_NOOP("parlatone::FrmTools", "出力ファイル名")},
    {QT_TRANSLATE_NOOP("parlatone::FrmTools", "変換対象フォルダ"),
     QT_TRANSLATE_NOOP("parlatone::FrmTools", "出力フォルダ")}};

QProgressBar* FullBar(const QString& name, QWidget* parent) {
  auto* bar = new QProgressBar(parent);
  bar->setObjectName(name);
  bar->setRange(0, kBarMaximum);
  bar->setValue(kBarMaximum);
  bar->setTextVisible(false);
  return bar;
}

// The up and down buttons beside a time box. They take no focus: from the
// keyboard the arrow keys in the box do the same.
QWidget* Spinner(const QString& name, QWidget* parent, QToolButton** up, QToolButton** down) {
  auto* spinner = new QWidget(parent);
  spinner->setObjectName(name);
  auto* layout = new QVBoxLayout(spinner);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  const auto arrow = [spinner, layout](Qt::ArrowType type, const QString& object_name) {
    auto* button = new QToolButton(spinner);
    button->setObjectName(object_name);
    button->setArrowType(type);
    button->setAutoRepeat(true);
    button->setFocusPolicy(Qt::NoFocus);
    button->setFixedSize(18, 12);
    layout->addWidget(button);
    return button;
  };
  *up = arrow(Qt::UpArrow, u"Up"_s);
  *down = arrow(Qt::DownArrow, u"Down"_s);
  return spinner;
}

QLineEdit* TimeBox(const QString& name, QWidget* parent) {
  auto* box = new QLineEdit(parent);
  box->setObjectName(name);
  // Pasted text must be digits too; typed keys are filtered before this.
  box->setValidator(new QRegularExpressionValidator(QRegularExpression(u"[0-9]*"_s), box));
  box->setInputMethodHints(Qt::ImhDigitsOnly);
  box->setAttribute(Qt::WA_InputMethodEnabled, false);
  box->setAlignment(Qt::AlignRight);
  box->setFixedWidth(box->fontMetrics().horizontalAdvance(u"0000"_s) + 16);
  return box;
}

}  // namespace

FrmTools::FrmTools(Operator& op, Choosers& choosers, const FitSeries& series, QWidget* parent)
    : QDialog(parent), op_(op), choosers_(choosers) {
  setObjectName(u"FrmTools"_s);
  setWindowTitle(tr("変換ﾂｰﾙ"));
  setModal(true);
  session_ = std::make_unique<ToolsSession>(op, *this);

  auto* layout = new QVBoxLayout(this);
  tabs_ = new QTabBar(this);
  tabs_->setObjectName(u"TabStrip1"_s);
  // The first two pages make WAVE files; the MP3 series has only the page
  // that makes its files. Each tab holds the index of its page.
  const bool wave_pages = !IsMp3Series(series.mode);
  if (wave_pages) {
    tabs_->setTabData(tabs_->addTab(tr("ステレオ/モノラル変換")), 0);
    tabs_->setTabData(tabs_->addTab(tr("無音データの作成")), 1);
  }
  tabs_->setTabData(tabs_->addTab(tr("シリーズに合わせて変換")), 2);
  tabs_->setExpanding(false);
  layout->addWidget(tabs_);
  // The tab strip is apart from the pages, so that a run can disable it
  // while the run button on the page stays usable.
  pages_ = new QStackedWidget(this);
  pages_->addWidget(BuildConversionPage());
  pages_->addWidget(BuildSilentPage());
  fit_page_ = new FitPage(
      series, op, choosers,
      [this](bool busy) {
        tabs_->setEnabled(!busy);
        findChild<QWidget*>(u"CmdExit"_s)->setEnabled(!busy);
      },
      this);
  pages_->addWidget(fit_page_);
  layout->addWidget(pages_, 1);
  connect(tabs_, &QTabBar::currentChanged, this,
          [this](int tab) { pages_->setCurrentIndex(tabs_->tabData(tab).toInt()); });
  pages_->setCurrentIndex(tabs_->tabData(0).toInt());

  auto* bottom = new QHBoxLayout();
  bottom->addStretch(1);
  auto* exit = new QPushButton(tr("閉じる(&C)"), this);
  exit->setObjectName(u"CmdExit"_s);
  connect(exit, &QPushButton::clicked, this, &FrmTools::reject);
  bottom->addWidget(exit);
  layout->addLayout(bottom);

  if (wave_pages) {
    units_[0]->setFocus();
  }
}

FrmTools::~FrmTools() = default;

QWidget* FrmTools::BuildConversionPage() {
  auto* page = new QFrame(this);
  page->setObjectName(u"FrameConv"_s);
  page->setFrameShape(QFrame::StyledPanel);
  auto* layout = new QVBoxLayout(page);
  layout->addWidget(new QLabel(tr("ステレオからモノラルへ変換します。"), page));

  auto* group = new QGroupBox(tr("対象のファイルまたはフォルダを選択してください"), page);
  auto* grid = new QGridLayout(group);
  auto* units = new QHBoxLayout();
  const QString unit_texts[2] = {tr("ファイル単位で変換する"), tr("フォルダ単位で変換する")};
  for (int i = 0; i < 2; ++i) {
    units_[i] = new QRadioButton(unit_texts[i], group);
    units_[i]->setObjectName(u"OptConvMode%1"_s.arg(i));
    units->addWidget(units_[i]);
    connect(units_[i], &QRadioButton::toggled, this, [this, i](bool on) {
      if (on) {
        ChooseUnit(i == 1);
      }
    });
  }
  units->addStretch(1);
  grid->addLayout(units, 0, 0, 1, 3);
  for (int i = 0; i < 2; ++i) {
    box_labels_[i] = new QLabel(tr(kBoxCaptions[0][i]), group);
    box_labels_[i]->setObjectName(u"LabelConv01%1"_s.arg(i));
    boxes_[i] = new QLineEdit(group);
    boxes_[i]->setObjectName(u"TxtConv01%1"_s.arg(i));
    boxes_[i]->setMinimumWidth(380);
    box_labels_[i]->setBuddy(boxes_[i]);
    auto* browse = new QPushButton(tr("参照..."), group);
    browse->setObjectName(u"CmdConv01%1"_s.arg(i));
    connect(browse, &QPushButton::clicked, this, [this, i] { Browse(i); });
    grid->addWidget(box_labels_[i], i + 1, 0);
    grid->addWidget(boxes_[i], i + 1, 1);
    grid->addWidget(browse, i + 1, 2);
  }
  // Wide enough for the longer caption of either unit, so that switching
  // units does not move the boxes.
  int label_width = 0;
  for (const auto& captions : kBoxCaptions) {
    for (const char* caption : captions) {
      label_width =
          std::max(label_width, box_labels_[0]->fontMetrics().horizontalAdvance(tr(caption)));
    }
  }
  box_labels_[0]->setMinimumWidth(label_width + 4);
  units_[0]->setChecked(true);
  layout->addWidget(group);
  layout->addStretch(1);

  auto* run = new QHBoxLayout();
  convert_bar_ = FullBar(u"PrgBar"_s, page);
  run->addWidget(convert_bar_, 1);
  convert_ = new QPushButton(RunButtonCaption(ToolRun::kConversion, true), page);
  convert_->setObjectName(u"CmdExec"_s);
  connect(convert_, &QPushButton::clicked, this, &FrmTools::OnConvert);
  run->addWidget(convert_);
  layout->addLayout(run);
  return page;
}

QWidget* FrmTools::BuildSilentPage() {
  auto* page = new QFrame(this);
  page->setObjectName(u"FrameSirent"_s);
  page->setFrameShape(QFrame::StyledPanel);
  auto* layout = new QVBoxLayout(page);

  auto* time = new QGroupBox(tr("①時間指定"), page);
  auto* time_layout = new QHBoxLayout(time);
  const auto time_box = [this, time, time_layout](QLineEdit*& box, const QString& name,
                                                  const QString& spinner_name,
                                                  const QString& unit) {
    box = TimeBox(name, time);
    box->installEventFilter(this);
    QToolButton* up = nullptr;
    QToolButton* down = nullptr;
    QWidget* spinner = Spinner(spinner_name, time, &up, &down);
    QLineEdit* edit = box;
    connect(up, &QToolButton::clicked, this, [this, edit] { StepTime(edit, 1); });
    connect(down, &QToolButton::clicked, this, [this, edit] { StepTime(edit, -1); });
    time_layout->addWidget(box);
    time_layout->addWidget(spinner);
    auto* label = new QLabel(unit, time);
    label->setBuddy(box);
    time_layout->addWidget(label);
    time_layout->addSpacing(12);
  };
  time_box(minutes_, u"TxtMM"_s, u"UpDownMM"_s, tr("分（0～60）"));
  time_box(seconds_, u"TxtSS"_s, u"UpDown1"_s, tr("秒（0～59）"));
  time_layout->addStretch(1);
  layout->addWidget(time);

  auto* format = new QGroupBox(tr("②ＢＩＴ／サンプリングレートの指定"), page);
  auto* format_layout = new QHBoxLayout(format);
  bits_ = new QComboBox(format);
  bits_->setObjectName(u"CmbBit"_s);
  bits_->addItems({u"8Bit"_s, u"16Bit"_s});
  bits_->setCurrentIndex(1);
  rate_ = new QComboBox(format);
  rate_->setObjectName(u"CmbSample"_s);
  rate_->addItems({u"22.05KHz"_s, u"44.1KHz"_s});
  rate_->setCurrentIndex(0);
  format_layout->addWidget(bits_);
  format_layout->addWidget(rate_);
  format_layout->addStretch(1);
  layout->addWidget(format);

  auto* file = new QGroupBox(tr("③作成するファイル名の指定"), page);
  auto* file_layout = new QHBoxLayout(file);
  silent_file_ = new QLineEdit(file);
  silent_file_->setObjectName(u"TxtSirent"_s);
  silent_file_->setMinimumWidth(380);
  auto* browse = new QPushButton(tr("参照..."), file);
  browse->setObjectName(u"CmdSrt"_s);
  connect(browse, &QPushButton::clicked, this, &FrmTools::BrowseSilentFile);
  file_layout->addWidget(silent_file_, 1);
  file_layout->addWidget(browse);
  layout->addWidget(file);
  layout->addStretch(1);

  auto* run = new QHBoxLayout();
  silent_bar_ = FullBar(u"PrgBar2"_s, page);
  run->addWidget(silent_bar_, 1);
  make_silent_ = new QPushButton(RunButtonCaption(ToolRun::kSilentFile, true), page);
  make_silent_->setObjectName(u"CmdSirentExec"_s);
  connect(make_silent_, &QPushButton::clicked, this, &FrmTools::OnSilentFile);
  run->addWidget(make_silent_);
  layout->addLayout(run);
  return page;
}

void FrmTools::ChooseUnit(bool folder_unit) {
  for (int i = 0; i < 2; ++i) {
    box_labels_[i]->setText(tr(kBoxCaptions[folder_unit ? 1 : 0][i]));
    boxes_[i]->clear();
  }
}

void FrmTools::Browse(int index) {
  if (units_[1]->isChecked()) {
    const QString folder =
        choosers_.ChooseFolder(this, box_labels_[index]->text(), session_->last_folder);
    if (!folder.isEmpty()) {
      boxes_[index]->setText(folder);
      session_->last_folder = folder;
    }
    return;
  }
  QString chosen = choosers_.ChooseFileName(this, FileFilter{tr("WAVE ファイル"), u"*.wav"_s},
                                            session_->last_file, tr("ファイルを開く"));
  chosen.remove(QChar(u'\0'));
  if (!chosen.isEmpty()) {
    boxes_[index]->setText(chosen);
    session_->last_file = chosen;
  }
}

void FrmTools::BrowseSilentFile() {
  QString chosen = choosers_.ChooseFileName(this, FileFilter{tr("WAVE ファイル"), u"*.wav"_s},
                                            session_->last_file, tr("ファイルを開く"));
  chosen.remove(QChar(u'\0'));
  if (!chosen.isEmpty()) {
    silent_file_->setText(chosen);
  }
}

int FrmTools::MaximumOf(const QLineEdit* box) const {
  return box == minutes_ ? kMaxMinutes : kMaxSeconds;
}

void FrmTools::StepTime(QLineEdit* box, int step) {
  box->setText(StepTimeBox(box->text(), MaximumOf(box), step));
  QLineEdit* other = box == minutes_ ? seconds_ : minutes_;
  other->setText(FillTimeBox(other->text()));
}

void FrmTools::OnConvert() {
  if (!session_->Idle()) {
    session_->RequestStop();
    return;
  }
  const ConversionRequest request{units_[1]->isChecked(), boxes_[0]->text(), boxes_[1]->text()};
  const ToolRunResult result = session_->Convert(request);
  // The bars are full before a run as after it: the window says what happened.
  if (result.converted > 0 && !result.cancelled && !result.failed && isVisible()) {
    QString done = tr("%1 個のファイルをモノラルに変換しました。").arg(result.converted);
    if (result.skipped > 0) {
      done += u"\r\n"_s +
              tr("%1 個のファイルはステレオではないため変換しませんでした。").arg(result.skipped);
    }
    if (result.for_fit_page > 0) {
      done +=
          u"\r\n"_s + tr("%1 個のファイルは「シリーズに合わせて変換」のページで変換してください。")
                          .arg(result.for_fit_page);
    }
    ShowText(op_, tr("%1\r\n\r\n出力先：\r\n%2").arg(done, request.output), msg::kTitleConfirm,
             MessageIcon::kInformation);
  }
}

void FrmTools::OnSilentFile() {
  if (!session_->Idle()) {
    session_->RequestStop();
    return;
  }
  const QString typed = silent_file_->text();
  const ToolRunResult result = session_->MakeSilentFile(
      {minutes_->text(), seconds_->text(), bits_->currentIndex() == 1 ? 16 : 8,
       rate_->currentIndex() == 1 ? 44100 : 22050, typed});
  if (result.converted == 1 && isVisible()) {
    // The box shows the file as written, its ".wav" added.
    const QString output = SilentFilePath(typed);
    silent_file_->setText(output);
    ShowText(op_, tr("無音データを作成しました。\r\n\r\n%1").arg(output), msg::kTitleConfirm,
             MessageIcon::kInformation);
  }
}

void FrmTools::ShowBusy(bool busy) {
  for (const QString& name : IdleOnlyControls()) {
    if (auto* control = findChild<QWidget*>(name)) {
      control->setEnabled(!busy);
    }
  }
  convert_->setText(RunButtonCaption(ToolRun::kConversion, !busy));
  make_silent_->setText(RunButtonCaption(ToolRun::kSilentFile, !busy));
}

void FrmTools::ShowBar(ToolRun run, int value, int maximum) {
  QProgressBar* bar = run == ToolRun::kConversion ? convert_bar_ : silent_bar_;
  bar->setMaximum(maximum);
  bar->setValue(std::min(value, maximum));
}

void FrmTools::SelectField(ToolField field) {
  QLineEdit* box = nullptr;
  switch (field) {
    case ToolField::kSource:
      box = boxes_[0];
      break;
    case ToolField::kOutput:
      box = boxes_[1];
      break;
    case ToolField::kMinutes:
      box = minutes_;
      break;
    case ToolField::kSeconds:
      box = seconds_;
      break;
    case ToolField::kSilentFile:
      box = silent_file_;
      break;
    case ToolField::kNone:
      return;
  }
  box->setFocus(Qt::OtherFocusReason);
  box->selectAll();
}

void FrmTools::CloseWindow() {
  QDialog::reject();
}

// The close box, Escape and 閉じる all come here: an idle window closes, a
// busy one first asks whether to stop its run.
void FrmTools::reject() {
  if (fit_page_->Running()) {
    fit_page_->RequestStop();  // the window stays until the run has ended
    return;
  }
  if (session_->RequestClose()) {
    QDialog::reject();
  }
}

void FrmTools::keyPressEvent(QKeyEvent* event) {
  // Return in a text box does nothing: no button is this window's default,
  // least of all one that starts a run.
  if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) &&
      qobject_cast<QPushButton*>(focusWidget()) == nullptr) {
    event->accept();
    return;
  }
  QDialog::keyPressEvent(event);
}

bool FrmTools::eventFilter(QObject* watched, QEvent* event) {
  auto* box = qobject_cast<QLineEdit*>(watched);
  if (box == nullptr || (box != minutes_ && box != seconds_)) {
    return QDialog::eventFilter(watched, event);
  }
  if (event->type() == QEvent::KeyPress) {
    auto* key = static_cast<QKeyEvent*>(event);
    if (key->modifiers() == Qt::NoModifier &&
        (key->key() == Qt::Key_Up || key->key() == Qt::Key_Down)) {
      StepTime(box, key->key() == Qt::Key_Up ? 1 : -1);
      return true;
    }
    return TimeBoxDiscardsKey(key->key(), key->modifiers(), key->text());
  }
  if (event->type() == QEvent::FocusOut) {
    box->setText(LeaveTimeBox(box->text(), MaximumOf(box)));
  }
  return QDialog::eventFilter(watched, event);
}

}  // namespace parlatone
