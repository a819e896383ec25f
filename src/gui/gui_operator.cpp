#include "gui/gui_operator.h"

#include <algorithm>

#include <QApplication>
#include <QEventLoop>
#include <QMessageBox>
#include <QPushButton>
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

}  // namespace

QWidget* DialogOwner() {
  if (QWidget* modal = QApplication::activeModalWidget()) {
    return modal;
  }
  return QApplication::activeWindow();
}

MessageAnswer GuiOperator::ShowMessage(const MessageRequest& request) {
  QMessageBox box(BoxIcon(request.icon), request.title, request.text, QMessageBox::NoButton,
                  DialogOwner());
  std::vector<std::pair<QAbstractButton*, MessageAnswer>> buttons;
  const auto add = [&](const QString& text, QMessageBox::ButtonRole role, MessageAnswer answer) {
    buttons.emplace_back(box.addButton(text, role), answer);
  };
  switch (request.buttons) {
    case MessageButtons::kOk:
      add(u"OK"_s, QMessageBox::AcceptRole, MessageAnswer::kOk);
      break;
    case MessageButtons::kOkCancel:
      add(u"OK"_s, QMessageBox::AcceptRole, MessageAnswer::kOk);
      add(u"キャンセル"_s, QMessageBox::RejectRole, MessageAnswer::kCancel);
      break;
    case MessageButtons::kYesNo:
      add(request.yes_caption.isEmpty() ? u"はい(&Y)"_s : request.yes_caption, QMessageBox::YesRole,
          MessageAnswer::kYes);
      add(request.no_caption.isEmpty() ? u"いいえ(&N)"_s : request.no_caption, QMessageBox::NoRole,
          MessageAnswer::kNo);
      break;
    case MessageButtons::kYesNoCancel:
      add(request.yes_caption.isEmpty() ? u"はい(&Y)"_s : request.yes_caption, QMessageBox::YesRole,
          MessageAnswer::kYes);
      add(request.no_caption.isEmpty() ? u"いいえ(&N)"_s : request.no_caption, QMessageBox::NoRole,
          MessageAnswer::kNo);
      add(u"キャンセル"_s, QMessageBox::RejectRole, MessageAnswer::kCancel);
      break;
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

void BarOperator::SetProgress(const QString&, int value, int maximum) {
  if (maximum > 0) {
    bar_.setMaximum(maximum);
    bar_.setValue(std::min(value, maximum));
  }
}

}  // namespace parlatone
