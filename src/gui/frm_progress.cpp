// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/frm_progress.h"

#include <QCloseEvent>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

#include "core/messages.h"
#include "gui/window_helpers.h"

namespace parlatone {

using namespace Qt::StringLiterals;

FrmProgress::FrmProgress(QWidget* parent) : QDialog(parent) {
  setObjectName(u"FrmProgress"_s);
  setWindowTitle(GetMessage(2038));
  auto* layout = new QVBoxLayout(this);
  label_ = new QLabel(this);
  label_->setObjectName(u"LblProgress"_s);
  label_->setMinimumWidth(420);
  layout->addWidget(label_);
  bar_ = new QProgressBar(this);
  bar_->setObjectName(u"PrgBar"_s);
  bar_->setTextVisible(false);
  layout->addWidget(bar_);
  EnableCloseBox(this, false);
}

void FrmProgress::Show(const QString& caption, int value, int maximum) {
  if (maximum <= 0) {
    finishing_ = true;
    hide();
    finishing_ = false;
    return;
  }
  bar_->setMaximum(maximum);
  bar_->setValue(std::clamp(value, 0, maximum));
  label_->setText(caption);
  if (!isVisible()) {
    show();
  }
  repaint();
}

ProgressSink FrmProgress::Sink() {
  return [this](const QString& caption, int value, int maximum) { Show(caption, value, maximum); };
}

void FrmProgress::AllowStop(std::atomic<bool>* stop) {
  stop_ = stop;
  if (stop_button_ == nullptr) {
    stop_button_ = new QPushButton(tr("中止"), this);
    stop_button_->setObjectName(u"CmdStop"_s);
    layout()->addWidget(stop_button_);
    connect(stop_button_, &QPushButton::clicked, this, [this] {
      if (stop_ != nullptr) {
        stop_->store(true);
        stop_button_->setEnabled(false);
      }
    });
  }
  stop_button_->setEnabled(true);
  stop_button_->setVisible(stop_ != nullptr);
}

void FrmProgress::closeEvent(QCloseEvent* event) {
  if (!finishing_) {
    event->ignore();  // the work is not done yet
  }
}

void FrmProgress::reject() {
  // Escape stops only work that may stop half-way (card making may not).
  if (stop_ != nullptr && stop_button_->isEnabled()) {
    stop_button_->click();
  }
}

}  // namespace parlatone
