// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>

class QPlainTextEdit;

namespace parlatone {

// A read-only viewer for one of the text documents shipped beside the
// program. A missing document shows an empty page.
class FrmText : public QDialog {
  Q_OBJECT

 public:
  FrmText(const QString& caption, const QString& path, QWidget* parent = nullptr);

 private:
  QString document_;
  QPlainTextEdit* text_ = nullptr;
};

}  // namespace parlatone
