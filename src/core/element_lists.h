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

}  // namespace parlatone
