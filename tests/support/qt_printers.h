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

inline void PrintTo(const QByteArray& bytes, std::ostream* os) {
  *os << "bytes \"" << bytes.toHex(' ').toStdString() << '"';
}
