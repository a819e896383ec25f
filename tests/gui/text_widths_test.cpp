// SPDX-License-Identifier: GPL-3.0-or-later
// Every text of every window fits its widget on the smallest screen the editor is made for, in
// each language: English runs longer than Japanese.
#include <QApplication>
#include <QGroupBox>
#include <QHeaderView>
#include <QTabBar>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>

#include "core/language.h"
#include "gui/frm_card_make.h"
#include "gui/frm_card_write.h"
#include "gui/frm_guide.h"
#include "gui/frm_main.h"
#include "gui/frm_play.h"
#include "gui/frm_print.h"
#include "gui/frm_record.h"
#include "gui/frm_seting.h"
#include "gui/frm_text.h"
#include "gui/frm_tools.h"
#include "gui/frm_wave_add.h"
#include "gui/window_helpers.h"
#include "support/card_project.h"
#include "support/listed_cards.h"
#include "support/scripted_choosers.h"
#include "support/scripted_operator.h"
#include "voices/registration.h"

namespace parlatone {
namespace {

using namespace Qt::StringLiterals;

// The smallest screen the editor is made for; ctest gives the windows one of this size.
constexpr QSize kScreen(1024, 768);

// Every visible text of the window against the room its widget has, as "Window/widget: text
// (need N px, have M px)". A widget narrower than its size hint draws its text cut.
void CollectCuts(QWidget& window, QStringList& cuts) {
  const auto check = [&](const QWidget& w, const QString& text, int need, int have) {
    if (need > have && !text.isEmpty()) {
      cuts << u"%1/%2 %3: %4 (need %5 px, have %6 px)"_s.arg(
          window.objectName(), QString::fromLatin1(w.metaObject()->className()), w.objectName(),
          text, QString::number(need), QString::number(have));
    }
  };
  check(window, u"(window width)"_s, window.width(), kScreen.width());
  check(window, u"(window height)"_s, window.height(), kScreen.height());
  for (QWidget* w : window.findChildren<QWidget*>()) {
    if (!w->isVisible()) {
      continue;
    }
    if (auto* header = qobject_cast<QHeaderView*>(w);
        header != nullptr && header->orientation() == Qt::Horizontal) {
      // A header's size hint is all of its sections: each is measured against its caption.
      const int margins = 2 * header->style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, w);
      for (int c = 0; c < header->count(); ++c) {
        const QString text = header->model()->headerData(c, Qt::Horizontal).toString();
        if (!header->isSectionHidden(c)) {
          check(*w, text, header->fontMetrics().horizontalAdvance(text) + margins,
                header->sectionSize(c));
        }
      }
    } else if (auto* box = qobject_cast<QGroupBox*>(w)) {
      // Its minimum holds its contents and its title.
      check(*w, box->title(), box->minimumSizeHint().width(), box->width());
    } else if (w->inherits("QLabel") || w->inherits("QAbstractButton") ||
               w->inherits("QComboBox") || w->inherits("QTabBar") || w->inherits("QToolBar") ||
               w->inherits("QMenuBar")) {
      // A label that wraps its lines cuts none.
      const QVariant text = w->property("text");  // of labels and buttons; the rest by name
      if (!w->property("wordWrap").toBool()) {
        check(*w, text.isValid() ? text.toString() : u"(every item)"_s, w->sizeHint().width(),
              w->width());
      }
    }
  }
}

TEST(TextWidths, EveryTextFitsItsWidgetAt1024x768InEachLanguage) {
  QApplication::setFont(EditorFont());
  for (const UiLanguage language : {UiLanguage::kJapanese, UiLanguage::kEnglish}) {
    ASSERT_TRUE(InstallTranslators(language));
    // A WAVE series of four pages with stereo files accepted, and the MP3 series: between them
    // every caption that differs by series.
    for (const int mode : {4, kMp3Mode}) {
      QTemporaryDir dir;
      Project project;
      testing::UseSeries(project, mode);
      project.settings.AddFunction = mode == kMp3Mode ? 0 : 1;
      AppPaths paths = ResolveAppPaths();  // the guide of the language
      paths.settings_file = dir.filePath(u"settings.ini"_s);
      testing::ScriptedOperator op;
      testing::ScriptedChoosers choosers;
      const WindowContext context{project, paths, op, choosers};
      const FitSeries series{mode, project.settings.StereoAccepted()};
      const WorkingVoiceList list(255);
      testing::ListedCards cards;  // no card in, as on most machines that run the tests
      std::vector<std::unique_ptr<QWidget>> windows;
      windows.push_back(std::make_unique<FrmMain>(context));
      windows.push_back(std::make_unique<FrmWaveAdd>(context));
      windows.push_back(std::make_unique<FrmCardMake>(context));
      windows.push_back(std::make_unique<FrmSeting>(context));
      windows.push_back(std::make_unique<FrmPrint>(context));
      windows.push_back(std::make_unique<FrmCardWrite>(dir.path(), cards, op, choosers));
      windows.push_back(std::make_unique<FrmTools>(op, choosers, series));
      windows.push_back(std::make_unique<FrmRecord>(op, series, dir.path(), list));
      windows.push_back(std::make_unique<FrmPlay>(list, mode));
      windows.push_back(std::make_unique<FrmGuide>(paths.guide_file));
      windows.push_back(std::make_unique<FrmText>(u"-"_s, paths.licence_file));
      // Each as the operator opens it, capped to the screen as a window manager does, every
      // page of every tab strip in turn.
      QStringList cuts;
      for (const auto& window : windows) {
        window->show();
        window->resize(window->size().boundedTo(kScreen));
        QApplication::processEvents();
        CollectCuts(*window, cuts);
        for (QTabBar* tabs : window->findChildren<QTabBar*>()) {
          for (int i = 0; i < tabs->count(); ++i) {
            tabs->setCurrentIndex(i);
            QApplication::processEvents();
            CollectCuts(*window, cuts);
          }
        }
      }
      cuts.removeDuplicates();
      EXPECT_TRUE(cuts.isEmpty()) << (language == UiLanguage::kEnglish ? "English" : "Japanese")
                                  << ", series " << mode << ":\n"
                                  << cuts.join(u'\n').toStdString();
    }
  }
  InstallTranslators(UiLanguage::kJapanese);
}

}  // namespace
}  // namespace parlatone
