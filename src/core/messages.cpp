// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/messages.h"

#include <QCoreApplication>

#include <algorithm>

#include "core/message_table.h"

namespace parlatone {

namespace {

// The source text of the number, or nullptr when the table lacks it.
const char* FindMessage(int number) {
  const auto entries = detail::MessageEntries();
  const auto found =
      std::lower_bound(entries.begin(), entries.end(), number,
                       [](const detail::MessageEntry& entry, int n) { return entry.number < n; });
  return found != entries.end() && found->number == number ? found->text : nullptr;
}

QString Translated(const char* text) {
  return QCoreApplication::translate("Messages", text);
}

}  // namespace

std::map<int, QString> MessageTable() {
  std::map<int, QString> table;
  for (const detail::MessageEntry& entry : detail::MessageEntries()) {
    table.emplace(entry.number, Translated(entry.text));
  }
  return table;
}

bool HasMessage(int number) {
  return FindMessage(number) != nullptr;
}

QString GetMessage(int number, const QString& insert) {
  const char* text = FindMessage(number);
  return InsertIntoMessage(text == nullptr ? QString() : Translated(text), insert);
}

QString InsertIntoMessage(QString text, const QString& insert) {
  const qsizetype dollar = text.indexOf(u'$');
  if (dollar < 0) {
    return text + insert;
  }
  return text.replace(dollar, 1, insert);
}

}  // namespace parlatone
