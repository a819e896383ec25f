// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/pdf_text.h"

#include <QProcess>
#include <QStandardPaths>

#include <gtest/gtest.h>

namespace parlatone::testing {

QString PdfText(const QString& path) {
  const QString tool = QStandardPaths::findExecutable(QStringLiteral("pdftotext"));
  if (tool.isEmpty()) {
    ADD_FAILURE() << "pdftotext is missing: install poppler-utils (scripts/deps.sh)";
    return {};
  }
  QProcess process;
  process.start(tool, {QStringLiteral("-layout"), QStringLiteral("-enc"), QStringLiteral("UTF-8"),
                       path, QStringLiteral("-")});
  if (!process.waitForFinished(30000) || process.exitStatus() != QProcess::NormalExit ||
      process.exitCode() != 0) {
    ADD_FAILURE() << "pdftotext failed on " << path.toStdString() << ": "
                  << process.readAllStandardError().toStdString();
    return {};
  }
  return QString::fromUtf8(process.readAllStandardOutput());
}

}  // namespace parlatone::testing
