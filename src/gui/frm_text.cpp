// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/frm_text.h"

#include <QHBoxLayout>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "settings/text_document.h"

namespace parlatone {

using namespace Qt::StringLiterals;

FrmText::FrmText(const QString& caption, const QString& path, QWidget* parent)
    : QDialog(parent), document_(ReadTextDocument(path)) {
  setObjectName(u"FrmText"_s);
  setWindowTitle(caption);
  setModal(true);
  auto* layout = new QVBoxLayout(this);
  text_ = new QPlainTextEdit(this);
  text_->setObjectName(u"TxtText"_s);
  text_->setReadOnly(true);
  // Read-only, but the operator may still select and copy.
  text_->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
  text_->setLineWrapMode(QPlainTextEdit::WidgetWidth);
  QString shown = document_;
  text_->setPlainText(shown.replace(u"\r\n"_s, u"\n"_s));
  layout->addWidget(text_, 1);
  auto* buttons = new QHBoxLayout();
  buttons->addStretch(1);
  auto* close = new QPushButton(tr("閉じる"), this);
  close->setObjectName(u"CmdClose"_s);
  close->setDefault(true);
  buttons->addWidget(close);
  layout->addLayout(buttons);
  connect(close, &QPushButton::clicked, this, &QDialog::accept);
  resize(680, 520);
}

}  // namespace parlatone
