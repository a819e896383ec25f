// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QLatin1String>
#include <QLocale>
#include <QString>

namespace parlatone {

// The language the interface speaks for this run. Japanese is the source
// text; English comes from the translation built into the program.
enum class UiLanguage { kJapanese, kEnglish };

// What the operator chose in the settings: whatever the system speaks (the
// default, which the settings file holds as no value) or a language; in the
// order the settings window lists them.
enum class LanguageChoice { kSystem, kJapanese, kEnglish };

// The settings file's value of the choice: "ja", "en", or empty for the
// system's. Anything else a hand-edited file holds reads as the system's.
LanguageChoice ParseLanguageChoice(const QString& text);
QString LanguageChoiceText(LanguageChoice choice);

// The choice made concrete: the system's is English for an English system
// language and Japanese for every other one, the C and POSIX locales too.
UiLanguage ResolveLanguage(LanguageChoice choice, QLocale::Language system_language);
UiLanguage ResolveLanguage(LanguageChoice choice);  // with the system's language

// Installs the translators of the language into the running application:
// the program's English translation for English, Qt's own Japanese texts
// (file choosers, print preview) for Japanese. Replaces what an earlier call
// installed. False when a translation could not be loaded; the interface
// then shows the source texts.
bool InstallTranslators(UiLanguage language);

// The language the last InstallTranslators installed; Japanese before any.
UiLanguage ActiveLanguage();

}  // namespace parlatone
