// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/language.h"

#include <QFileInfo>

#include <gtest/gtest.h>

#include "core/paths.h"

namespace parlatone {
namespace {

using namespace Qt::StringLiterals;

// The settings' value read, then resolved against the system's language: an explicit choice
// wins; the system's is English only for an English system, and Japanese for every other language,
// C (and so POSIX) included.
TEST(Language, ChoiceReadAndResolved) {
  constexpr auto kJa = UiLanguage::kJapanese;
  constexpr auto kEn = UiLanguage::kEnglish;
  struct Row {
    QString value;
    QLocale::Language system;
    UiLanguage expected;
  };
  const Row rows[] = {
      {QString(), QLocale::English, kEn},  {QString(), QLocale::Japanese, kJa},
      {QString(), QLocale::C, kJa},        {QString(), QLocale::German, kJa},
      {u"fr"_s, QLocale::English, kEn},    {u"ja"_s, QLocale::English, kJa},
      {u" EN "_s, QLocale::Japanese, kEn}, {u"en"_s, QLocale::C, kEn},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(ResolveLanguage(ParseLanguageChoice(row.value), row.system), row.expected)
        << row.value.toStdString() << ' ' << row.system;
  }
  for (LanguageChoice choice :
       {LanguageChoice::kSystem, LanguageChoice::kJapanese, LanguageChoice::kEnglish}) {
    EXPECT_EQ(ParseLanguageChoice(LanguageChoiceText(choice)), choice);
  }
}

// Both languages' translations are where the program looks for them, and the guide F1 opens
// follows the language installed.
TEST(Language, TranslatorsAndGuideFollowTheLanguage) {
  for (UiLanguage language : {UiLanguage::kEnglish, UiLanguage::kJapanese}) {
    EXPECT_TRUE(InstallTranslators(language));
    EXPECT_EQ(ActiveLanguage(), language);
    const QString guide = ResolveAppPaths().guide_file;
    EXPECT_TRUE(QFileInfo::exists(guide)) << guide.toStdString();
    EXPECT_EQ(guide.endsWith(u"guide.en.md"_s), language == UiLanguage::kEnglish);
  }
}

}  // namespace
}  // namespace parlatone
