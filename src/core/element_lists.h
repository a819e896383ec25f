// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>

namespace parlatone {

// The lists of the element file: the choices the windows offer for the
// program table and the card data.

// Keys of the element file whose lists end at their first empty entry.
enum class ElementListRule {
  kStopAtEmpty,  // Sp, Repeat
  kKeepEmpty,    // Card, Tape, Baitai, Capacity
};

// The entries of one key of the element file's "Element" section. Sp and
// Repeat stop at their first empty entry (two commas in a row end the list);
// the other lists keep empty entries, because their entries are addressed by
// position. An empty value has no entries.
QStringList ReadElementList(const QString& element_file, const QString& key);
QStringList SplitElementList(const QString& value, ElementListRule rule);
ElementListRule ElementListRuleFor(const QString& key);

// The entries as the windows and the sheets show them: in the interface
// language where the translation knows the entry, as written otherwise (an
// entry a person added to the file). The files keep the position of the
// chosen entry, never its text, so only what is shown is translated, and the
// element file alone decides how many entries there are and in which order.
QStringList DisplayedElementList(const QString& element_file, const QString& key);

}  // namespace parlatone
