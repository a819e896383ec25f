// SPDX-License-Identifier: GPL-3.0-or-later
#include "terminal_operator.h"

#include <algorithm>
#include <cstdio>
#include <string>

namespace parlatone::cli {
namespace {

using namespace Qt::StringLiterals;

// Message texts carry the devices' CR LF line breaks; a terminal wants LF.
QString ForTerminal(QString text) {
  return text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
}

QString AnswerName(MessageAnswer answer) {
  switch (answer) {
    case MessageAnswer::kYes:
      return u"Yes"_s;
    case MessageAnswer::kNo:
      return u"No"_s;
    case MessageAnswer::kOk:
      return u"OK"_s;
    case MessageAnswer::kCancel:
      return u"Cancel"_s;
  }
  return {};
}

}  // namespace

TerminalOperator::TerminalOperator(QTextStream& err, bool interactive, bool progress_bar)
    : err_(err), interactive_(interactive), progress_bar_(progress_bar) {}

MessageAnswer TerminalOperator::ShowMessage(const MessageRequest& request) {
  shown_texts_ << request.text;
  if (progress_shown_) {
    err_ << '\n';  // leave the progress line
    progress_shown_ = false;
  }
  err_ << ForTerminal(request.title) << u": "_s << ForTerminal(request.text) << '\n';
  if (request.buttons == MessageButtons::kOk) {
    err_.flush();
    return MessageAnswer::kOk;
  }
  const bool yes_no =
      request.buttons == MessageButtons::kYesNo || request.buttons == MessageButtons::kYesNoCancel;
  if (policy_ || !interactive_) {
    const MessageAnswer answer = policy_ ? policy_(request) : SafeAnswer(request.buttons);
    err_ << (policy_ ? u"("_s : u"(no terminal: "_s) << u"answered "_s << AnswerName(answer)
         << u")\n"_s;
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
  if (!progress_bar_) {
    return;
  }
  if (maximum <= 0) {
    if (progress_shown_) {
      err_ << '\n';
      err_.flush();
      progress_shown_ = false;
    }
    return;
  }
  constexpr int kWidth = 30;
  const int filled =
      static_cast<int>(static_cast<int64_t>(kWidth) * std::clamp(value, 0, maximum) / maximum);
  err_ << '\r' << '[' << QString(filled, u'#') << QString(kWidth - filled, u'.') << u"] "_s
       << (100 * std::clamp(value, 0, maximum) / maximum) << u"% "_s << ForTerminal(caption)
       << u"\x1b[K"_s;
  err_.flush();
  progress_shown_ = true;
}

}  // namespace parlatone::cli
