// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/element_lists.h"

#include <QCoreApplication>

#include "core/ini_file.h"
#include "core/text.h"

namespace parlatone {
namespace {

constexpr QLatin1String kElementSection{"Element"};

// The shipped file's entries that read differently in another language,
// named here so that the translation file keeps them. Entries the same in
// every language (8MB, SD) need no place.
[[maybe_unused]] constexpr const char* kShippedEntries[] = {
    QT_TRANSLATE_NOOP("Element", "ＭＤ"),
    QT_TRANSLATE_NOOP("Element", "ＤＡＴ"),
    QT_TRANSLATE_NOOP("Element", "カセット"),
    QT_TRANSLATE_NOOP("Element", "他"),
    QT_TRANSLATE_NOOP("Element", "49000バイトまで"),
    QT_TRANSLATE_NOOP("Element", "99000バイトまで"),
    QT_TRANSLATE_NOOP("Element", "199000バイトまで"),
    QT_TRANSLATE_NOOP("Element", "制限なし"),
};

}  // namespace

ElementListRule ElementListRuleFor(const QString& key) {
  const bool program_table_list = key.compare(u"Sp", Qt::CaseInsensitive) == 0 ||
                                  key.compare(u"Repeat", Qt::CaseInsensitive) == 0;
  return program_table_list ? ElementListRule::kStopAtEmpty : ElementListRule::kKeepEmpty;
}

QStringList SplitElementList(const QString& value, ElementListRule rule) {
  const QString text = CutAtNul(value);
  if (text.isEmpty()) {
    return {};
  }
  QStringList entries = text.split(u',');
  if (rule == ElementListRule::kStopAtEmpty) {
    const qsizetype first_empty = entries.indexOf(QString());
    if (first_empty >= 0) {
      entries.resize(first_empty);
    }
  }
  return entries;
}

QStringList ReadElementList(const QString& element_file, const QString& key) {
  const QString value =
      IniFile::Read(element_file, QString(kElementSection), key).value_or(QString());
  return SplitElementList(value, ElementListRuleFor(key));
}

QStringList DisplayedElementList(const QString& element_file, const QString& key) {
  QStringList entries = ReadElementList(element_file, key);
  for (QString& entry : entries) {
    if (!entry.isEmpty()) {
      entry = QCoreApplication::translate("Element", entry.toUtf8().constData());
    }
  }
  return entries;
}

}  // namespace parlatone
