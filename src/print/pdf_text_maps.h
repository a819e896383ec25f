// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QFont>
#include <QList>
#include <QSet>
#include <QString>

#include <functional>

namespace parlatone {

// The characters a document was painted with, and the fonts.
struct PaintedText {
  QSet<char32_t> characters;
  QList<QFont> fonts;  // one of each family and weight
  void Add(const QString& text, const QFont& font);
};

// A PDF's text layer maps every glyph back to a character (the font's
// ToUnicode map). Qt writes that map by giving each glyph the lowest code
// point the font draws with it, and a CJK font draws the ideograph 山 and
// the Kangxi radical ⼭, or the middle dot ・ and the hyphenation point ‧,
// with one glyph: the page shows 山田, but searching the PDF for it or
// copying it out gives ⼭田. This gives every glyph back the character that
// was painted with it. Anything it cannot read as Qt's own output is
// returned unchanged.
QByteArray MendPdfTextMaps(const QByteArray& pdf, const PaintedText& painted);

// The rewrite on its own: every code point the maps give is passed through
// `mend`; the stream lengths and the cross-reference table follow.
QByteArray RewritePdfTextMaps(const QByteArray& pdf, const std::function<char32_t(char32_t)>& mend);

}  // namespace parlatone
