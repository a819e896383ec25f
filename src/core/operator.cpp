#include "core/operator.h"

#include "core/messages.h"

namespace parlatone {

MessageAnswer ShowMessage(Operator& op, int number, int title_number, MessageIcon icon,
                          MessageButtons buttons, const QString& insert) {
  MessageRequest request;
  request.number = number;
  request.text = GetMessage(number, insert);
  request.title_number = title_number;
  request.title = GetMessage(title_number);
  request.icon = icon;
  request.buttons = buttons;
  return op.ShowMessage(request);
}

MessageAnswer ShowText(Operator& op, const QString& text, int title_number, MessageIcon icon,
                       MessageButtons buttons) {
  MessageRequest request;
  request.text = text;
  request.title_number = title_number;
  request.title = GetMessage(title_number);
  request.icon = icon;
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
