// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <ostream>

// Readable failure output for Qt values: gtest finds these by argument lookup.
inline void PrintTo(const QString& text, std::ostream* os) {
  *os << '"' << text.toStdString() << '"';
}

inline void PrintTo(const QStringList& list, std::ostream* os) {
  *os << '[';
  for (qsizetype i = 0; i < list.size(); ++i) {
    *os << (i == 0 ? "" : ", ");
    PrintTo(list.at(i), os);
  }
  *os << ']';
}

// Long byte strings are cut: a sound file in a failure message helps nobody.
inline void PrintTo(const QByteArray& bytes, std::ostream* os) {
  constexpr qsizetype kShown = 64;
  *os << bytes.size() << " bytes \"" << bytes.left(kShown).toHex(' ').toStdString()
      << (bytes.size() > kShown ? " ..." : "") << '"';
}
