// SPDX-License-Identifier: GPL-3.0-or-later
// The stereo-to-mono conversion on arbitrary input files: it completes or
// fails, never crashes, and a failed run leaves no output file behind. A
// completed output is a WAVE file the header check can read.
#include <QFile>
#include <QTemporaryDir>

#include <cstdint>

#include "tools/conversion_engine.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static QTemporaryDir dir;
  const QString input = dir.filePath(QStringLiteral("in.wav"));
  const QString output = dir.filePath(QStringLiteral("out.wav"));
  QFile::remove(output);
  {
    QFile file(input);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
      return 0;
    }
    file.write(reinterpret_cast<const char*>(data), static_cast<qint64>(size));
  }
  parlatone::ConversionProgress progress;
  progress.StepBytes = 1 + static_cast<int64_t>(size) / 100;
  const parlatone::ConversionResult result =
      parlatone::ConvertStereoToMono(input, output, progress);
  const bool exists = QFile::exists(output);
  if (result != parlatone::ConversionResult::kCompleted && exists) {
    __builtin_trap();  // a half-written output could be taken for a good one
  }
  if (result == parlatone::ConversionResult::kCompleted && !exists) {
    __builtin_trap();
  }
  return 0;
}
