// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include <optional>
#include <utility>

namespace parlatone {

enum class MessageIcon { kNone, kInformation, kExclamation, kQuestion, kError };
enum class MessageButtons { kOk, kOkCancel, kYesNo, kYesNoCancel };
enum class MessageAnswer { kOk, kCancel, kYes, kNo };

// The answer that changes nothing, for an operator nobody is there to ask:
// OK to a notice, Cancel where No is not offered, No otherwise.
MessageAnswer SafeAnswer(MessageButtons buttons);

// One message box as core code asks for it. Messages from the table carry
// their number, so that the record of what the operator saw can name it.
struct MessageRequest {
  int number = 0;  // 0 for a text composed from pieces or fixed in code
  QString text;
  int title_number = 0;
  QString title;
  MessageIcon icon = MessageIcon::kNone;
  MessageButtons buttons = MessageButtons::kOk;
  // The button Enter presses; the first one when not given.
  std::optional<MessageAnswer> default_answer;
  // Captions that say what Yes and No do, when plain Yes and No would not.
  QString yes_caption;
  QString no_caption;
};

// Everything core code asks of, or tells, the person at the machine. The
// editor implements it with Qt windows, the command-line tool on the
// terminal, and the tests with a scripted recorder, so every flow runs the
// same code without a screen.
class Operator {
 public:
  virtual ~Operator() = default;

  // Shows a modal message box and returns the button pressed.
  virtual MessageAnswer ShowMessage(const MessageRequest& request) = 0;

  // Busy pointer on or off. Calls nest: the pointer stays busy until every
  // "on" has had its "off".
  virtual void SetBusy(bool busy) = 0;

  // Progress of a long operation: value out of maximum, with a caption. A
  // maximum of 0 hides the progress display.
  virtual void SetProgress(const QString& caption, int value, int maximum) = 0;

  // Waits the given time while the interface stays responsive.
  virtual void Pause(int milliseconds) = 0;

  // Lets the interface repaint and take input between units of long work.
  virtual void ProcessPendingEvents() = 0;
};

// A message built now and shown later: by the caller of a check that
// refused, or kept to be shown with others.
MessageRequest NumberedMessage(int number, int title_number, MessageIcon icon,
                               const QString& insert = {});
MessageRequest TextMessage(const QString& text, int title_number, MessageIcon icon);

// What a check that may say no gives back. The check shows nothing: its
// caller decides whether the reason is shown at once through its operator,
// kept to be shown with the file's name, or only reported. A refusal without
// a reason is one the check has nothing to tell about.
struct CheckResult {
  bool passed = true;
  std::optional<MessageRequest> reason;
  explicit operator bool() const { return passed; }
};
inline CheckResult Refused(MessageRequest reason) {
  return {false, std::move(reason)};
}
inline CheckResult RefusedQuietly() {
  return {false, std::nullopt};
}

// Shows the reason of a refusal, if it has one; true when the check passed.
bool ShowIfRefused(Operator& op, const CheckResult& result);

// Shows message `number` from the table (with its insert) titled with message
// `title_number`.
MessageAnswer ShowMessage(Operator& op, int number, int title_number, MessageIcon icon,
                          MessageButtons buttons = MessageButtons::kOk, const QString& insert = {});

// Shows a text that is not one numbered message (composed from pieces or
// fixed in a window) titled with message `title_number`.
MessageAnswer ShowText(Operator& op, const QString& text, int title_number, MessageIcon icon,
                       MessageButtons buttons = MessageButtons::kOk);

// A Yes/No question whose Yes throws work away (edits, voices, a project, a
// card folder, a file), titled 2002 "確認": No is the default button, so
// that Enter keeps the work.
MessageAnswer AskBeforeDiscarding(Operator& op, int number,
                                  MessageIcon icon = MessageIcon::kQuestion);
MessageAnswer AskTextBeforeDiscarding(Operator& op, const QString& text,
                                      MessageIcon icon = MessageIcon::kQuestion);

// Busy pointer for the lifetime of a scope, whichever way the scope is left.
class BusyScope {
 public:
  explicit BusyScope(Operator& op) : op_(op) { op_.SetBusy(true); }
  ~BusyScope() { op_.SetBusy(false); }
  BusyScope(const BusyScope&) = delete;
  BusyScope& operator=(const BusyScope&) = delete;

 private:
  Operator& op_;
};

}  // namespace parlatone
