// SPDX-License-Identifier: GPL-3.0-or-later
#include "tools/time_boxes.h"

#include <algorithm>
#include <optional>

namespace parlatone {

using namespace Qt::StringLiterals;

namespace {

// The number in a box: blanks around it and a sign allowed, digits only
// otherwise. Any number of digits: a pasted "99999999999" is still a number,
// just far above every maximum.
std::optional<long long> NumberIn(const QString& text) {
  const QString trimmed = text.trimmed();
  qsizetype at = 0;
  bool negative = false;
  if (at < trimmed.size() && (trimmed[at] == u'+' || trimmed[at] == u'-')) {
    negative = trimmed[at] == u'-';
    ++at;
  }
  if (at == trimmed.size()) {
    return std::nullopt;
  }
  constexpr long long kCap = 1'000'000'000;
  long long value = 0;
  for (; at < trimmed.size(); ++at) {
    const QChar c = trimmed[at];
    if (c < u'0' || c > u'9') {
      return std::nullopt;
    }
    value = std::min(kCap, value * 10 + (c.unicode() - u'0'));
  }
  return negative ? -value : value;
}

QString TwoDigits(long long value) {
  return u"%1"_s.arg(value, 2, 10, QChar(u'0'));
}

}  // namespace

bool TimeBoxDiscardsKey(int key, Qt::KeyboardModifiers modifiers, const QString& text) {
  if (key == Qt::Key_Backspace) {
    return false;
  }
  if (modifiers & (Qt::ControlModifier | Qt::MetaModifier)) {
    // Copy, paste and cut; any other control key that types a character
    // (Ctrl+A, Ctrl+Z) goes, while those that type nothing pass below.
    if (key == Qt::Key_C || key == Qt::Key_V || key == Qt::Key_X) {
      return false;
    }
  }
  switch (key) {
    case Qt::Key_Delete:  // types a DEL character on some keyboards, but edits
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
    case Qt::Key_Escape:
    case Qt::Key_Return:
    case Qt::Key_Enter:
      return false;
    default:
      break;
  }
  if (modifiers & Qt::AltModifier) {
    return false;
  }
  if (text.isEmpty()) {
    return (modifiers & Qt::ControlModifier) && key >= Qt::Key_A && key <= Qt::Key_Z;
  }
  return !(text.size() == 1 && text[0] >= u'0' && text[0] <= u'9');
}

QString LeaveTimeBox(const QString& text, int maximum) {
  const std::optional<long long> number = NumberIn(text);
  if (!number) {
    return text;
  }
  return TwoDigits(std::clamp<long long>(*number, 0, maximum));
}

QString StepTimeBox(const QString& text, int maximum, int step) {
  // A value typed out of range (the box not yet left) steps from the range's edge.
  long long value = std::clamp<long long>(NumberIn(text).value_or(0), 0, maximum);
  if (step > 0 && value < maximum) {
    ++value;
  } else if (step < 0 && value > 0) {
    --value;
  }
  return TwoDigits(value);
}

QString FillTimeBox(const QString& text) {
  return text.trimmed().isEmpty() ? u"00"_s : text;
}

int TimeBoxValue(const QString& text, int maximum) {
  return static_cast<int>(std::clamp<long long>(NumberIn(text).value_or(0), 0, maximum));
}

}  // namespace parlatone
