#include "terminal_operator.h"

#include <QThread>

#include <cstdio>
#include <string>

namespace parlatone::cli {
namespace {

using namespace Qt::StringLiterals;

// Message texts carry the devices' CR LF line breaks; a terminal wants LF.
QString ForTerminal(QString text) {
  return text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
}

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

}  // namespace

TerminalOperator::TerminalOperator(QTextStream& err, bool interactive)
    : err_(err), interactive_(interactive) {}

MessageAnswer TerminalOperator::ShowMessage(const MessageRequest& request) {
  err_ << ForTerminal(request.title) << u": "_s << ForTerminal(request.text) << '\n';
  const bool question = request.buttons != MessageButtons::kOk;
  if (!question) {
    err_.flush();
    return MessageAnswer::kOk;
  }
  const bool yes_no =
      request.buttons == MessageButtons::kYesNo || request.buttons == MessageButtons::kYesNoCancel;
  if (!interactive_) {
    const MessageAnswer answer = SafeAnswer(request.buttons);
    err_ << (yes_no ? u"(no terminal: answered No)"_s : u"(no terminal: answered Cancel)"_s)
         << '\n';
    err_.flush();
    return answer;
  }
  err_ << (yes_no ? u"[y/N] "_s : u"[o/C] "_s);
  err_.flush();
  char line[64] = {};
  if (std::fgets(line, sizeof(line), stdin) == nullptr) {
    return SafeAnswer(request.buttons);
  }
  const char first = line[0];
  if (yes_no) {
    return (first == 'y' || first == 'Y') ? MessageAnswer::kYes : MessageAnswer::kNo;
  }
  return (first == 'o' || first == 'O') ? MessageAnswer::kOk : MessageAnswer::kCancel;
}

void TerminalOperator::SetProgress(const QString& caption, int value, int maximum) {
  if (maximum <= 0 || !interactive_) {
    return;
  }
  err_ << '\r' << ForTerminal(caption) << ' ' << value << '/' << maximum;
  if (value >= maximum) {
    err_ << '\n';
  }
  err_.flush();
}

void TerminalOperator::Pause(int milliseconds) {
  if (milliseconds > 0) {
    QThread::msleep(static_cast<unsigned long>(milliseconds));
  }
}

}  // namespace parlatone::cli
