#pragma once

#include <QString>

namespace parlatone::testing {

// The text layer of a PDF file as `pdftotext -layout` (poppler-utils) reads
// it, pages separated by form feeds. Fails the test when the tool is
// missing or the file cannot be read.
//
// The text comes back in a comparable form (NFKC, wave dash as "~"): a PDF
// maps each glyph back to one character, and where a font draws several
// characters with one glyph (the ideograph 日 and the radical ⽇, the
// full-width tilde and the wave dash) the reader may give the other one.
// Compare with PdfComparable(expected).
QString PdfText(const QString& path);
QString PdfComparable(const QString& text);

}  // namespace parlatone::testing
