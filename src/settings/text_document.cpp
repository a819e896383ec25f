// SPDX-License-Identifier: GPL-3.0-or-later
#include "settings/text_document.h"

#include <QFile>
#include <QRegularExpression>
#include <QStringList>

#include "core/cp932.h"

namespace parlatone {

using namespace Qt::StringLiterals;

QString ReadTextDocument(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) {
    return {};
  }
  // Code page 932 never uses CR or LF as a trail byte, so the decoded text
  // splits exactly where the file's lines end, whichever ends it uses.
  const QString text = cp932::Decode(file.readAll());
  static const QRegularExpression kLineEnd(u"\r\n|\r|\n"_s);
  QStringList lines = text.split(kLineEnd);
  if (!lines.isEmpty() && lines.back().isEmpty()) {
    lines.removeLast();  // the end of the last line, not an empty line after it
  }
  return lines.join(u"\r\n"_s);
}

}  // namespace parlatone
