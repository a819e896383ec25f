// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/text.h"

#include "core/cp932.h"

#include <QList>

namespace parlatone {
namespace {

// Order in which the messages list the forbidden characters.
constexpr char16_t kForbiddenInMessageOrder[] = u"-()[]<>\\/|*?:";

}  // namespace

int AnsiByteLength(const QString& text) {
  return static_cast<int>(cp932::Encode(text).size());
}

bool HasFullWidth(const QString& text) {
  for (char32_t code_point : text.toUcs4()) {
    if (code_point < 0x80) {
      continue;
    }
    // Half-width katakana are the only one-byte characters above ASCII.
    if (code_point >= 0xFF61 && code_point <= 0xFF9F) {
      continue;
    }
    return true;
  }
  return false;
}

bool HasForbiddenChar(const QString& text) {
  const QString forbidden = QString::fromUtf16(kForbiddenInMessageOrder);
  for (QChar c : text) {
    if (forbidden.contains(c)) {
      return true;
    }
  }
  return false;
}

QString ForbiddenCharList() {
  QString list;
  for (QChar c : QString::fromUtf16(kForbiddenInMessageOrder)) {
    if (!list.isEmpty()) {
      list += u',';
    }
    list += u'"';
    list += c;
    list += u'"';
  }
  return list;
}

bool IsPathSeparator(QChar c) {
#ifdef Q_OS_WIN
  return c == u'\\' || c == u'/';
#else
  return c == u'/';
#endif
}

namespace {

qsizetype LastSeparator(const QString& path) {
  for (qsizetype i = path.size() - 1; i >= 0; --i) {
    if (IsPathSeparator(path.at(i))) {
      return i;
    }
  }
  return -1;
}

}  // namespace

QString FolderOf(const QString& path) {
  const qsizetype at = LastSeparator(path);
  return at < 0 ? path : path.left(at);
}

QString FileNameOf(const QString& path, QString* folder) {
  const qsizetype at = LastSeparator(path);
  if (folder != nullptr) {
    *folder = at < 0 ? QString() : path.left(at);
  }
  return at < 0 ? path : path.mid(at + 1);
}

QString RightBytes(const QString& text, int n) {
  if (n <= 0) {
    return {};
  }
  const QByteArray bytes = cp932::Encode(text);
  return cp932::Decode(bytes.right(n));
}

QString CutAtNul(const QString& text) {
  const qsizetype at = text.indexOf(QChar(u'\0'));
  return at < 0 ? text : text.left(at);
}

QString TextOrDefault(const QString& value, const QString& fallback) {
  if (value.isEmpty() || value == QStringLiteral(" ")) {
    return fallback;
  }
  return value;
}

}  // namespace parlatone
