// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/language.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QPointer>
#include <QTranslator>

namespace parlatone {
namespace {

using namespace Qt::StringLiterals;

UiLanguage active_language = UiLanguage::kJapanese;

// Owned by the application object, so that they go with it; the pointers
// forget them then.
QPointer<QTranslator>& OwnTranslator() {
  static QPointer<QTranslator> translator;
  return translator;
}

QPointer<QTranslator>& QtTranslator() {
  static QPointer<QTranslator> translator;
  return translator;
}

void Remove(QPointer<QTranslator>& translator) {
  if (translator != nullptr) {
    QCoreApplication::removeTranslator(translator);
    delete translator;
  }
}

bool Install(QPointer<QTranslator>& slot, const QString& name, const QString& folder) {
  auto* translator = new QTranslator(QCoreApplication::instance());
  if (!translator->load(name, folder)) {
    delete translator;
    return false;
  }
  QCoreApplication::installTranslator(translator);
  slot = translator;
  return true;
}

}  // namespace

LanguageChoice ParseLanguageChoice(const QString& text) {
  const QString value = text.trimmed().toLower();
  if (value == u"ja"_s) {
    return LanguageChoice::kJapanese;
  }
  if (value == u"en"_s) {
    return LanguageChoice::kEnglish;
  }
  return LanguageChoice::kSystem;
}

QString LanguageChoiceText(LanguageChoice choice) {
  switch (choice) {
    case LanguageChoice::kJapanese:
      return u"ja"_s;
    case LanguageChoice::kEnglish:
      return u"en"_s;
    case LanguageChoice::kSystem:
      break;
  }
  return QString();
}

UiLanguage ResolveLanguage(LanguageChoice choice, QLocale::Language system_language) {
  switch (choice) {
    case LanguageChoice::kJapanese:
      return UiLanguage::kJapanese;
    case LanguageChoice::kEnglish:
      return UiLanguage::kEnglish;
    case LanguageChoice::kSystem:
      break;
  }
  return system_language == QLocale::English ? UiLanguage::kEnglish : UiLanguage::kJapanese;
}

UiLanguage ResolveLanguage(LanguageChoice choice) {
  return ResolveLanguage(choice, QLocale::system().language());
}

bool InstallTranslators(UiLanguage language) {
  Remove(OwnTranslator());
  Remove(QtTranslator());
  active_language = language;
  if (language == UiLanguage::kEnglish) {
    // Qt's own texts are English already.
    return Install(OwnTranslator(), u"parlatone_en"_s, u":/i18n"_s);
  }
  // The program's source texts are Japanese already.
  return Install(QtTranslator(), u"qtbase_ja"_s,
                 QLibraryInfo::path(QLibraryInfo::TranslationsPath));
}

UiLanguage ActiveLanguage() {
  return active_language;
}

}  // namespace parlatone
