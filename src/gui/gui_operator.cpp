// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/gui_operator.h"

#include <algorithm>

#include <QApplication>
#include <QEventLoop>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QTimer>

namespace parlatone {

using namespace Qt::StringLiterals;

namespace {

QMessageBox::Icon BoxIcon(MessageIcon icon) {
  switch (icon) {
    case MessageIcon::kNone:
      return QMessageBox::NoIcon;
    case MessageIcon::kInformation:
      return QMessageBox::Information;
    case MessageIcon::kExclamation:
      return QMessageBox::Warning;
    case MessageIcon::kQuestion:
      return QMessageBox::Question;
    case MessageIcon::kError:
      return QMessageBox::Critical;
  }
  return QMessageBox::NoIcon;
}

// What a message box needs beside its text: the icon, the spacing and the
// frame.
constexpr int kRoomBesideText = 120;

// The widest a message box grows before it breaks its lines anywhere: the
// screen up to 1024 pixels, beyond that 480 pixels less, at most 1000 (the
// box's own rule).
int WidestMessageBox(const QScreen* screen) {
  const int available = screen->availableGeometry().width();
  return available <= 1024 ? available : std::min(available - 480, 1000);
}

// Japanese has no blanks between words, and a message box that wraps its
// text breaks a line at any character ("よろし／いですか"). So the text gets
// the width of its widest line, and only its own line breaks break it. A line
// too wide for any box (a long path put into a message) is left to the box,
// which then breaks its lines anywhere at its widest.
void WidenForWholeLines(QMessageBox& box) {
  auto* label = box.findChild<QLabel*>(u"qt_msgbox_label"_s);
  const QScreen* screen = box.screen() != nullptr ? box.screen() : QGuiApplication::primaryScreen();
  if (label == nullptr || screen == nullptr) {
    return;
  }
  const bool wrapped = label->wordWrap();
  label->setWordWrap(false);
  // Two pixels for the parts of a pixel that the line widths are rounded by.
  const int whole_lines = label->sizeHint().width() + 2;
  label->setWordWrap(wrapped);
  if (whole_lines <= WidestMessageBox(screen) - kRoomBesideText) {
    label->setMinimumWidth(whole_lines);
  }
}

}  // namespace

QWidget* DialogOwner() {
  if (QWidget* modal = QApplication::activeModalWidget()) {
    return modal;
  }
  return QApplication::activeWindow();
}

MessageAnswer GuiOperator::ShowMessage(const MessageRequest& request) {
  // Plain text, its line ends as the box shows them: "\r" of "\r\n" is no
  // character to draw.
  QString text = request.text;
  text.replace(u"\r\n"_s, u"\n"_s).replace(u'\r', u'\n');
  QMessageBox box(BoxIcon(request.icon), request.title, text, QMessageBox::NoButton, DialogOwner());
  box.setTextFormat(Qt::PlainText);
  WidenForWholeLines(box);
  std::vector<std::pair<QAbstractButton*, MessageAnswer>> buttons;
  const auto add = [&](const QString& text, QMessageBox::ButtonRole role, MessageAnswer answer) {
    buttons.emplace_back(box.addButton(text, role), answer);
  };
  const bool yes_no =
      request.buttons == MessageButtons::kYesNo || request.buttons == MessageButtons::kYesNoCancel;
  if (yes_no) {
    add(request.yes_caption.isEmpty() ? QCoreApplication::translate("GuiOperator", "はい(&Y)")
                                      : request.yes_caption,
        QMessageBox::YesRole, MessageAnswer::kYes);
    add(request.no_caption.isEmpty() ? QCoreApplication::translate("GuiOperator", "いいえ(&N)")
                                     : request.no_caption,
        QMessageBox::NoRole, MessageAnswer::kNo);
  } else {
    add(QCoreApplication::translate("GuiOperator", "OK"), QMessageBox::AcceptRole,
        MessageAnswer::kOk);
  }
  if (request.buttons == MessageButtons::kOkCancel ||
      request.buttons == MessageButtons::kYesNoCancel) {
    add(QCoreApplication::translate("GuiOperator", "キャンセル"), QMessageBox::RejectRole,
        MessageAnswer::kCancel);
  }
  QAbstractButton* default_button = buttons.front().first;
  for (const auto& [button, answer] : buttons) {
    if (request.default_answer == answer) {
      default_button = button;
    }
  }
  box.setDefaultButton(qobject_cast<QPushButton*>(default_button));
  // A busy pointer must not hide that the program is asking something.
  const bool busy = busy_depth_ > 0;
  if (busy) {
    QApplication::setOverrideCursor(Qt::ArrowCursor);
  }
  box.exec();
  if (busy) {
    QApplication::restoreOverrideCursor();
  }
  for (const auto& [button, answer] : buttons) {
    if (box.clickedButton() == button) {
      return answer;
    }
  }
  // The close box answers like the last button: No, Cancel or OK.
  return buttons.back().second;
}

void GuiOperator::SetBusy(bool busy) {
  if (busy) {
    if (busy_depth_++ == 0) {
      QApplication::setOverrideCursor(Qt::WaitCursor);
    }
  } else if (busy_depth_ > 0 && --busy_depth_ == 0) {
    QApplication::restoreOverrideCursor();
  }
}

void GuiOperator::SetProgress(const QString& caption, int value, int maximum) {
  if (maximum <= 0) {
    if (progress_) {
      progress_->close();
      progress_->deleteLater();
    }
    return;
  }
  if (!progress_) {
    progress_ = new QProgressDialog(DialogOwner());
    progress_->setObjectName(u"FrmProgress"_s);
    progress_->setCancelButton(nullptr);
    progress_->setMinimumDuration(0);
    progress_->setWindowModality(Qt::WindowModal);
    progress_->setAutoClose(false);
    progress_->setAutoReset(false);
  }
  progress_->setMaximum(maximum);
  progress_->setValue(std::min(value, maximum));
  progress_->setLabelText(caption);
  progress_->show();
  QCoreApplication::processEvents();
}

void GuiOperator::Pause(int milliseconds) {
  QEventLoop loop;
  QTimer::singleShot(milliseconds, &loop, &QEventLoop::quit);
  loop.exec(QEventLoop::ExcludeUserInputEvents);
}

void GuiOperator::ProcessPendingEvents() {
  QCoreApplication::processEvents();
}

ProgressSink BarSink(QProgressBar& bar) {
  return [&bar](const QString&, int value, int maximum) {
    if (maximum > 0) {
      bar.setMaximum(maximum);
      bar.setValue(std::min(value, maximum));
    }
  };
}

}  // namespace parlatone
