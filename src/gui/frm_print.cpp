// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/frm_print.h"

#include <QCheckBox>
#include <QDateTime>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "core/messages.h"
#include "core/operator.h"
#include "core/project.h"
#include "core/settings.h"
#include "gui/choosers.h"
#include "print/sheet_painter.h"

namespace parlatone {

using namespace Qt::StringLiterals;

FrmPrint::FrmPrint(const WindowContext& context, QWidget* parent)
    : QDialog(parent),
      project_(context.project),
      paths_(context.paths),
      op_(context.op),
      choosers_(context.choosers) {
  setObjectName(u"FrmPrint"_s);
  setWindowTitle(GetMessage(1008));
  setModal(true);
  preview_ = [this](const PrintDocument& document) { ShowPreview(document); };

  auto* layout = new QVBoxLayout(this);
  auto* frame = new QGroupBox(tr("印刷する情報を選択してください"), this);
  frame->setObjectName(u"FramePrint"_s);
  auto* frame_layout = new QVBoxLayout(frame);
  const SheetChoices stored = ParsePrtSheet(project_.settings.PrtSheet);
  for (int i = 0; i < kSheetChoiceCount; ++i) {
    checks_[i] = new QCheckBox(SheetChoiceCaption(static_cast<SheetChoice>(i)), frame);
    checks_[i]->setObjectName(u"ChkPrint%1"_s.arg(i));
    checks_[i]->setChecked(stored[static_cast<size_t>(i)]);
    frame_layout->addWidget(checks_[i]);
  }
  // The channel range belongs to the editor sheet and sits under its box.
  auto* range = new QWidget(frame);
  auto* range_layout = new QHBoxLayout(range);
  range_layout->setContentsMargins(24, 0, 0, 0);
  selected_range_ = new QRadioButton(tr("選択シート"), range);
  selected_range_->setObjectName(u"OptSheet0"_s);
  all_range_ = new QRadioButton(tr("すべてのシート"), range);
  all_range_->setObjectName(u"OptSheet1"_s);
  all_range_->setChecked(true);
  range_layout->addWidget(selected_range_);
  range_layout->addWidget(all_range_);
  range_layout->addStretch(1);
  frame_layout->addWidget(range);
  layout->addWidget(frame);
  // The sheets come out in an order of their own, not the boxes' order.
  auto* order = new QLabel(PrintOrderNote(), this);
  order->setObjectName(u"LblPrintOrder"_s);
  layout->addWidget(order);

  auto* buttons = new QHBoxLayout();
  auto* print = new QPushButton(tr("印刷(&P)"), this);
  print->setObjectName(u"CmdPrint"_s);
  print->setDefault(true);
  auto* pdf = new QPushButton(tr("PDF保存"), this);
  pdf->setObjectName(u"CmdPdf"_s);
  auto* close = new QPushButton(tr("閉じる(&C)"), this);
  close->setObjectName(u"CmdClose"_s);
  buttons->addStretch(1);
  buttons->addWidget(print);
  buttons->addWidget(pdf);
  buttons->addWidget(close);
  layout->addLayout(buttons);

  connect(print, &QPushButton::clicked, this, &FrmPrint::OnPrint);
  connect(pdf, &QPushButton::clicked, this, &FrmPrint::SavePdf);
  connect(close, &QPushButton::clicked, this, &QDialog::reject);
  connect(checks_[static_cast<int>(SheetChoice::kEditor)], &QCheckBox::toggled, this,
          &FrmPrint::UpdateRangeOptions);
  UpdateRangeOptions();
  checks_[0]->setFocus();
}

FrmPrint::~FrmPrint() = default;

SheetChoices FrmPrint::Choices() const {
  SheetChoices choices{};
  for (int i = 0; i < kSheetChoiceCount; ++i) {
    choices[static_cast<size_t>(i)] = checks_[i]->isChecked();
  }
  return choices;
}

bool FrmPrint::AllChannels() const {
  return all_range_->isChecked();
}

void FrmPrint::UpdateRangeOptions() {
  const bool editor = checks_[static_cast<int>(SheetChoice::kEditor)]->isChecked();
  selected_range_->setEnabled(editor);
  all_range_->setEnabled(editor);
}

void FrmPrint::SaveChoices() {
  const QString text = PrtSheetText(Choices());
  project_.settings.PrtSheet = text;
  WriteSetting(paths_.settings_file, QString(ini::kSystem), QString(ini::kPrtSheet), text);
}

PrintDocument FrmPrint::BuildDocument() const {
  return BuildPrintDocument(
      project_, Choices(), AllChannels(),
      MakeSheetInputs(project_, paths_.element_file, QDateTime::currentDateTime()));
}

bool FrmPrint::Prepare(PrintDocument& document) {
  if (!AnyChosen(Choices())) {
    ShowMessage(op_, 2131, msg::kTitleConfirm, MessageIcon::kExclamation);
    return false;
  }
  if (!MayBuildSheets(project_, Choices(), op_)) {
    return false;
  }
  SaveChoices();
  BusyScope busy(op_);
  document = BuildDocument();
  return true;
}

void FrmPrint::OnPrint() {
  PrintDocument document;
  if (Prepare(document)) {
    preview_(document);
  }
}

void FrmPrint::SavePdf() {
  PrintDocument document;
  if (!Prepare(document)) {
    return;
  }
  const QString path = choosers_.ChooseSaveFile(
      this, FileFilter{tr("PDFファイル(*.pdf)"), u"*.pdf"_s}, project_.settings.CardPath,
      PdfFileName(project_), u"pdf"_s, tr("PDFファイルの保存"));
  if (path.isEmpty()) {
    return;
  }
  bool written = false;
  {
    BusyScope busy(op_);
    written = WritePdf(document, path);
  }
  if (!written) {
    ShowText(op_, tr("PDFファイルを保存できませんでした。\r\n%1").arg(path), msg::kTitleError,
             MessageIcon::kError);
    return;
  }
  ShowText(op_, tr("PDFファイルを保存しました。\r\n%1").arg(path), msg::kTitleConfirm,
           MessageIcon::kInformation);
}

void FrmPrint::ShowPreview(const PrintDocument& document) {
  QPrinter printer(QPrinter::HighResolution);
  printer.setPageLayout(
      QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(0, 0, 0, 0)));
  printer.setFullPage(true);
  printer.setDocName(document.title);
  QPrintPreviewDialog preview(&printer, this);
  preview.setObjectName(u"PrintPreview"_s);
  preview.setWindowTitle(document.title);
  connect(&preview, &QPrintPreviewDialog::paintRequested, &preview, [&document](QPrinter* target) {
    QPainter painter;
    if (painter.begin(target)) {
      PaintDocument(document, painter, *target);
      painter.end();
    }
  });
  preview.resize(900, 760);
  preview.exec();
}

void FrmPrint::done(int result) {
  SaveChoices();
  QDialog::done(result);
}

}  // namespace parlatone
