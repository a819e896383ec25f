// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>

#include <functional>

#include "core/paths.h"
#include "gui/window_context.h"
#include "print/print_sheets.h"

class QCheckBox;
class QRadioButton;

namespace parlatone {

class Choosers;
class Operator;
class Project;

// The print window: which sheets, which channels of the editor sheet, one
// preview document from which the operator prints, or a PDF file of the
// same document.
class FrmPrint : public QDialog {
  Q_OBJECT

 public:
  explicit FrmPrint(const WindowContext& context, QWidget* parent = nullptr);
  ~FrmPrint() override;

  SheetChoices Choices() const;
  bool AllChannels() const;

  // The document of the ticked sheets as of now.
  PrintDocument BuildDocument() const;

  // Shows a built document. The editor opens the print preview; tests look
  // at the document instead.
  using PreviewHandler = std::function<void(const PrintDocument&)>;
  void SetPreviewHandler(PreviewHandler handler) { preview_ = std::move(handler); }

  // Closing keeps the choice too.
  void done(int result) override;

  // The PDF button: the ticked sheets to a PDF file the operator names.
  void SavePdf();

 private:
  // The steps both buttons share: refuse an empty choice, keep the choice,
  // build the document under the busy pointer. False when nothing is ticked.
  bool Prepare(PrintDocument& document);
  void OnPrint();
  void SaveChoices();
  void UpdateRangeOptions();
  void ShowPreview(const PrintDocument& document);

  Project& project_;
  AppPaths paths_;
  Operator& op_;
  Choosers& choosers_;
  QCheckBox* checks_[kSheetChoiceCount] = {};
  QRadioButton* selected_range_ = nullptr;
  QRadioButton* all_range_ = nullptr;
  PreviewHandler preview_;
};

}  // namespace parlatone
