// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/operator.h"

#include "core/messages.h"

namespace parlatone {

MessageAnswer SafeAnswer(MessageButtons buttons) {
  switch (buttons) {
    case MessageButtons::kOk:
      return MessageAnswer::kOk;
    case MessageButtons::kOkCancel:
      return MessageAnswer::kCancel;
    case MessageButtons::kYesNo:
    case MessageButtons::kYesNoCancel:
      return MessageAnswer::kNo;
  }
  return MessageAnswer::kCancel;
}

MessageRequest NumberedMessage(int number, int title_number, MessageIcon icon,
                               const QString& insert) {
  MessageRequest request = TextMessage(GetMessage(number, insert), title_number, icon);
  request.number = number;
  return request;
}

MessageRequest TextMessage(const QString& text, int title_number, MessageIcon icon) {
  MessageRequest request;
  request.text = text;
  request.title_number = title_number;
  request.title = GetMessage(title_number);
  request.icon = icon;
  return request;
}

bool ShowIfRefused(Operator& op, const CheckResult& result) {
  if (!result.passed && result.reason) {
    op.ShowMessage(*result.reason);
  }
  return result.passed;
}

MessageAnswer ShowMessage(Operator& op, int number, int title_number, MessageIcon icon,
                          MessageButtons buttons, const QString& insert) {
  MessageRequest request = NumberedMessage(number, title_number, icon, insert);
  request.buttons = buttons;
  return op.ShowMessage(request);
}

MessageAnswer ShowText(Operator& op, const QString& text, int title_number, MessageIcon icon,
                       MessageButtons buttons) {
  MessageRequest request = TextMessage(text, title_number, icon);
  request.buttons = buttons;
  return op.ShowMessage(request);
}

namespace {
MessageAnswer AskDiscarding(Operator& op, int number, const QString& text, MessageIcon icon) {
  MessageRequest request;
  request.number = number;
  request.text = text;
  request.title_number = msg::kTitleConfirm;
  request.title = GetMessage(msg::kTitleConfirm);
  request.icon = icon;
  request.buttons = MessageButtons::kYesNo;
  request.default_answer = MessageAnswer::kNo;
  return op.ShowMessage(request);
}
}  // namespace

MessageAnswer AskBeforeDiscarding(Operator& op, int number, MessageIcon icon) {
  return AskDiscarding(op, number, GetMessage(number), icon);
}

MessageAnswer AskTextBeforeDiscarding(Operator& op, const QString& text, MessageIcon icon) {
  return AskDiscarding(op, 0, text, icon);
}

}  // namespace parlatone
