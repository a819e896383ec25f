// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/frm_seting.h"

#include <QButtonGroup>
#include <QDialogButtonBox>
#include <QDir>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QUrl>
#include <QVBoxLayout>

#include <algorithm>

#include "core/messages.h"
#include "core/project.h"
#include "core/series.h"
#include "core/version.h"
#include "gui/choosers.h"
#include "gui/frm_guide.h"
#include "gui/frm_text.h"
#include "gui/window_helpers.h"
#include "settings/settings_session.h"

namespace parlatone {

using namespace Qt::StringLiterals;

namespace {

// Message texts break their lines the Windows way; a label wants plain "\n".
QString LabelText(const QString& message) {
  QString text = message;
  return text.replace(u"\r\n"_s, u"\n"_s);
}

QLabel* NoteLabel(const QString& text, QWidget* parent) {
  auto* label = new QLabel(text, parent);
  label->setWordWrap(true);
  return label;
}

}  // namespace

FrmSeting::FrmSeting(const WindowContext& context, QWidget* parent)
    : QDialog(parent),
      project_(context.project),
      paths_(context.paths),
      op_(context.op),
      choosers_(context.choosers) {
  setObjectName(u"FrmSeting"_s);
  setWindowTitle(GetMessage(1006));
  setModal(true);
  session_ = std::make_unique<SettingsSession>(project_, paths_.settings_file);

  auto* layout = new QVBoxLayout(this);
  tabs_ = new QTabWidget(this);
  tabs_->setObjectName(u"TabStrip"_s);
  tabs_->addTab(BuildSystemPage(), tr("システム"));
  tabs_->addTab(BuildModePage(), tr("モード"));
  tabs_->addTab(BuildAddFunctionPage(), tr("補助機能"));
  tabs_->addTab(BuildVersionPage(), tr("バージョン"));
  layout->addWidget(tabs_);

  auto* buttons = new QDialogButtonBox(this);
  QPushButton* ok = buttons->addButton(QDialogButtonBox::Ok);
  ok->setObjectName(u"CmdOk"_s);
  ok->setText(tr("OK"));
  ok->setDefault(true);
  QPushButton* cancel = buttons->addButton(QDialogButtonBox::Cancel);
  cancel->setObjectName(u"CmdCancel"_s);
  cancel->setText(tr("ｷｬﾝｾﾙ"));
  layout->addWidget(buttons);
  // Every label keeps its full text: the window takes the size its pages ask for.
  layout->setSizeConstraint(QLayout::SetFixedSize);

  // OK runs its checks first; the box's own accept would close at once.
  connect(buttons, &QDialogButtonBox::accepted, this, &FrmSeting::OnOk);
  connect(buttons, &QDialogButtonBox::rejected, this, &FrmSeting::reject);
  // Filled before these connections, so that opening is no change.
  connect(card_path_, &QLineEdit::textChanged, this,
          [this](const QString& text) { session_->EditCardPath(text); });
  connect(card_name_, &QLineEdit::textChanged, this,
          [this](const QString& text) { session_->EditCardName(text); });
  connect(modes_, &QButtonGroup::idToggled, this, [this](int option, bool checked) {
    if (checked) {
      session_->ChooseSeries(SettingsSession::ModeOfOption(option));
    }
  });
  connect(languages_, &QButtonGroup::idToggled, this, [this](int option, bool checked) {
    if (checked) {
      session_->ChooseLanguage(static_cast<LanguageChoice>(option));
    }
  });
  connect(add_function_, &QButtonGroup::idToggled, this, [this](int option, bool checked) {
    if (checked) {
      session_->ChooseStereo(option == 1);
      RefreshDescriptions();
    }
  });
  tabs_->setCurrentIndex(kSystemPage);
}

FrmSeting::~FrmSeting() = default;

QWidget* FrmSeting::BuildSystemPage() {
  auto* page = new QGroupBox(tabs_);
  page->setObjectName(u"FrameSystem"_s);
  auto* grid = new QGridLayout(page);
  grid->addWidget(new QLabel(tr("カードデータ保存フォルダ"), page), 0, 0, 1, 2);
  card_path_ = new QLineEdit(session_->CardPath(), page);
  card_path_->setObjectName(u"TxtCardPath"_s);
  card_path_->setMinimumWidth(420);
  SelectAllOnEntry(card_path_);
  grid->addWidget(card_path_, 1, 0);
  auto* browse = new QPushButton(tr("参照..."), page);
  browse->setObjectName(u"CmdBrowse"_s);
  grid->addWidget(browse, 1, 1);
  connect(browse, &QPushButton::clicked, this, &FrmSeting::OnBrowse);

  auto* name_label = new QLabel(GetMessage(session_->FileNameLabelMessage()), page);
  name_label->setObjectName(u"LblCardName"_s);
  grid->addWidget(name_label, 2, 0, 1, 2);
  card_name_ = new QLineEdit(session_->CardName(), page);
  card_name_->setObjectName(u"TxtCardName"_s);
  SelectAllOnEntry(card_name_);
  auto* name_row = new QHBoxLayout();
  name_row->addWidget(card_name_);
  name_row->addWidget(new QLabel(tr("（半角8文字以内）"), page));
  name_row->addStretch(1);
  grid->addLayout(name_row, 3, 0, 1, 2);

  // The windows are built in one language: a new choice holds from the next start.
  auto* language = new QGroupBox(tr("表示言語（Language）"), page);
  language->setObjectName(u"FrameLanguage"_s);
  auto* language_row = new QHBoxLayout(language);
  languages_ = new QButtonGroup(this);
  // Each language is named in its own, so that whoever cannot read the
  // current one still finds theirs.
  const QString captions[] = {tr("システムに合わせる"), u"日本語"_s,  // untranslated: named in its own language
                              u"English"_s};
  for (int option = 0; option < 3; ++option) {
    auto* button = new QRadioButton(captions[option], language);
    button->setObjectName(u"OptLanguage%1"_s.arg(option));
    languages_->addButton(button, option);  // by LanguageChoice
    language_row->addWidget(button);
  }
  languages_->button(static_cast<int>(session_->Language()))->setChecked(true);
  language_row->addStretch(1);
  auto* next_start = new QLabel(tr("次回の起動から有効になります"), language);
  next_start->setObjectName(u"LblLanguageNote"_s);
  language_row->addWidget(next_start);
  grid->addWidget(language, 4, 0, 1, 2);
  grid->setRowStretch(5, 1);
  // Wide enough for eight characters and a little more, no wider.
  card_name_->setFixedWidth(card_name_->fontMetrics().horizontalAdvance(u"WWWWWWWWWW"_s));
  return page;
}

QWidget* FrmSeting::BuildModePage() {
  auto* page = new QGroupBox(tabs_);
  page->setObjectName(u"FrameMode"_s);
  auto* grid = new QGridLayout(page);
  grid->setHorizontalSpacing(24);
  modes_ = new QButtonGroup(this);
  for (int option = 0; option < SettingsSession::kOptionCount; ++option) {
    const int mode = SettingsSession::ModeOfOption(option);
    auto* button = new QRadioButton(LabelText(SeriesLabel(mode)), page);
    button->setObjectName(u"OptMode%1"_s.arg(option));
    modes_->addButton(button, option);
    grid->addWidget(button, option, 0, Qt::AlignLeft | Qt::AlignVCenter);
    descriptions_[option] = new QLabel(page);
    descriptions_[option]->setObjectName(u"LblMode%1"_s.arg(option));
    grid->addWidget(descriptions_[option], option, 1);
  }
  // As wide as the longest description either way, so that switching the
  // auxiliary function does not resize the window under the operator's hand.
  int widest = 0;
  for (int option = 0; option < SettingsSession::kOptionCount; ++option) {
    const int mode = SettingsSession::ModeOfOption(option);
    for (bool stereo : {false, true}) {
      const QString text = LabelText(GetMessage(SeriesDescriptionMessage(mode, stereo)));
      widest = std::max(
          widest,
          descriptions_[option]->fontMetrics().boundingRect(QRect(), Qt::AlignLeft, text).width());
    }
  }
  grid->setColumnMinimumWidth(1, widest);
  modes_->button(SettingsSession::OptionOfMode(session_->SelectedMode()))->setChecked(true);
  RefreshDescriptions();
  return page;
}

QWidget* FrmSeting::BuildAddFunctionPage() {
  auto* page = new QGroupBox(tabs_);
  page->setObjectName(u"FrameAddFunction"_s);
  auto* layout = new QVBoxLayout(page);
  layout->addWidget(NoteLabel(tr("ステレオのSoundデータを登録できるようにする機能です。\n"
                                 "ステレオのデータを再生できる機種でのみ使用してください。"),
                              page));
  add_function_ = new QButtonGroup(this);
  const QString captions[] = {tr("使用しない（モノラルデータのみ登録できます）"),
                              tr("使用する（ステレオデータも登録できます）")};
  for (int option = 0; option < 2; ++option) {
    auto* button = new QRadioButton(captions[option], page);
    button->setObjectName(u"OptAddFunction%1"_s.arg(option));
    add_function_->addButton(button, option);
    layout->addWidget(button);
  }
  add_function_->button(session_->StereoAccepted() ? 1 : 0)->setChecked(true);
  layout->addStretch(1);
  return page;
}

void FrmSeting::ShowPage(Page page) {
  tabs_->setCurrentIndex(page);
}

QWidget* FrmSeting::BuildVersionPage() {
  auto* page = new QGroupBox(tabs_);
  page->setObjectName(u"FrameVersion"_s);
  auto* layout = new QVBoxLayout(page);
  auto* product = new QLabel(GetMessage(1000), page);
  QFont bigger = product->font();
  bigger.setPointSizeF(bigger.pointSizeF() * 1.5);
  bigger.setBold(true);
  product->setFont(bigger);
  layout->addWidget(product);
  auto* version_row = new QHBoxLayout();
  version_row->addWidget(new QLabel(tr("バージョン"), page));
  auto* version = new QLabel(QLatin1String(kVersion), page);
  version->setObjectName(u"LblVersion"_s);
  version_row->addWidget(version);
  version_row->addStretch(1);
  layout->addLayout(version_row);
  layout->addSpacing(12);

  auto* documents = new QHBoxLayout();
  auto* licence = new QPushButton(GetMessage(1002), page);
  licence->setObjectName(u"CmdKyodaku"_s);
  auto* release = new QPushButton(GetMessage(1003), page);
  release->setObjectName(u"CmdRelease"_s);
  for (QPushButton* button : {licence, release}) {
    button->setMinimumWidth(button->sizeHint().width() + 2 * button->fontMetrics().height());
    documents->addWidget(button);
  }
  documents->addStretch(1);
  layout->addLayout(documents);
  connect(licence, &QPushButton::clicked, this,
          [this] { ShowDocument(1002, paths_.licence_file); });
  connect(release, &QPushButton::clicked, this,
          [this] { ShowDocument(1003, paths_.release_file); });

  layout->addSpacing(12);
  // The user guide that came with the program: there is no web site.
  const QUrl guide = QUrl::fromLocalFile(paths_.guide_file);
  auto* link =
      new QLabel(tr("<a href=\"%1\">ユーザーガイド（%2）</a>")
                     .arg(guide.toString(QUrl::FullyEncoded), paths_.guide_file.toHtmlEscaped()),
                 page);
  link->setObjectName(u"LblUrl"_s);
  link->setTextFormat(Qt::RichText);
  link->setTextInteractionFlags(Qt::LinksAccessibleByMouse | Qt::LinksAccessibleByKeyboard);
  link->setOpenExternalLinks(false);
  link->setToolTip(tr("インストールされているユーザーガイドを開きます"));
  connect(link, &QLabel::linkActivated, this, [this] {
    ShowGuide(paths_.guide_file, op_, parentWidget() != nullptr ? parentWidget() : this);
  });
  layout->addWidget(link);
  layout->addStretch(1);
  return page;
}

void FrmSeting::RefreshDescriptions() {
  for (int option = 0; option < SettingsSession::kOptionCount; ++option) {
    descriptions_[option]->setText(LabelText(GetMessage(session_->DescriptionMessage(option))));
  }
}

void FrmSeting::OnBrowse() {
  const QString folder = choosers_.ChooseFolder(
      this, tr("カードデータを保存するフォルダを選択してください"), project_.settings.CardPath);
  if (!folder.isEmpty()) {
    card_path_->setText(QDir::toNativeSeparators(folder));
  }
}

void FrmSeting::OnOk() {
  const SettingsSession::OkResult result = session_->Ok(op_);
  if (result.closed) {
    accept();
    if (result.series_changed) {
      Q_EMIT SeriesChanged();
    }
    return;
  }
  QLineEdit* box = nullptr;
  switch (result.field) {
    case SettingsSession::Field::kCardName:
      box = card_name_;
      break;
    case SettingsSession::Field::kCardPath:
      box = card_path_;
      break;
    case SettingsSession::Field::kNone:
      return;  // the series change was not confirmed: stay as the operator left it
  }
  tabs_->setCurrentIndex(kSystemPage);
  box->setFocus();
  box->selectAll();
}

void FrmSeting::ShowDocument(int caption_message, const QString& path) {
  FrmText viewer(GetMessage(caption_message), path, this);
  viewer.exec();
}

void FrmSeting::reject() {
  if (session_->Cancel(op_)) {
    QDialog::reject();
  }
}

}  // namespace parlatone
