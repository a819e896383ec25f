// SPDX-License-Identifier: GPL-3.0-or-later
#include "json_output.h"

#include <QIODevice>

#include "command.h"

namespace parlatone::cli {

void PrintJsonBytes(Context& context, const QByteArray& bytes) {
  // Written as it is, not decoded and encoded again by the text stream (a
  // report on a thousand files is large).
  context.out.flush();
  if (QIODevice* device = context.out.device()) {
    device->write(bytes);
  } else {
    context.out << QString::fromUtf8(bytes);
  }
}

void PrintJson(Context& context, const QJsonDocument& document) {
  PrintJsonBytes(context, document.toJson(QJsonDocument::Indented));
}

}  // namespace parlatone::cli
