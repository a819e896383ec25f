// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

namespace parlatone::testing {

// The text layer of a PDF file as `pdftotext -layout` (poppler-utils) reads
// it, pages separated by form feeds. Fails the test when the tool is
// missing or the file cannot be read.
QString PdfText(const QString& path);

}  // namespace parlatone::testing
