// SPDX-License-Identifier: GPL-3.0-or-later
// Every text a window shows fits its widget on the smallest screen the editor is made for, in
// each language the interface speaks: English runs longer than Japanese, and a cut caption reads
// as a different word or none.
#include <QApplication>
#include <QComboBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QMenuBar>
#include <QScreen>
#include <QTabBar>
#include <QTemporaryDir>
#include <QToolBar>
#include <QToolButton>

#include <gtest/gtest.h>

#include <memory>

#include "card/card_volume.h"
#include "core/language.h"
#include "core/project.h"
#include "editor/program_table.h"
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
#include "gui/program_grid.h"
#include "gui/program_table_model.h"
#include "gui/window_helpers.h"
#include "support/card_project.h"
#include "support/scripted_choosers.h"
#include "support/scripted_operator.h"
#include "voices/registration.h"

namespace parlatone {
namespace {

using namespace Qt::StringLiterals;

class NoCards : public VolumeProbe {
 public:
  VolumeInfo Probe(const QString&) override { return {}; }
  QList<VolumeInfo> RemovableVolumes() override { return {}; }
  bool Eject(const VolumeInfo&, QString*) override { return false; }
};

// What a header's section needs for its text: the widest line and the style's margins.
int HeaderNeed(const QHeaderView& header, const QString& text) {
  int widest = 0;
  for (const QString& line : text.split(u'\n')) {
    widest = std::max(widest, header.fontMetrics().horizontalAdvance(line));
  }
  return widest + 2 * header.style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, &header);
}

// Every visible text of the window against the room its widget has, as "Window/widget: text
// (need N px, have M px)". A widget narrower than its size hint draws its text cut.
void CollectCuts(QWidget& window, QStringList& cuts) {
  const auto check = [&](const QWidget& w, const QString& text, int need, int have) {
    if (need > have && !text.isEmpty()) {
      cuts << u"%1/%2: %3 (need %4 px, have %5 px)"_s.arg(
          window.objectName(),
          w.objectName().isEmpty() ? QString::fromLatin1(w.metaObject()->className())
                                   : w.objectName(),
          text, QString::number(need), QString::number(have));
    }
  };
  const QSize screen = window.screen()->availableGeometry().size();
  check(window, u"(window width)"_s, window.width(), screen.width());
  check(window, u"(window height)"_s, window.height(), screen.height());
  for (QWidget* w : window.findChildren<QWidget*>()) {
    if (!w->isVisible()) {
      continue;
    }
    if (auto* label = qobject_cast<QLabel*>(w); label != nullptr && !label->wordWrap()) {
      check(*w, label->text(), label->sizeHint().width(), label->width());
    } else if (auto* button = qobject_cast<QAbstractButton*>(w)) {
      check(*w, button->text(), button->sizeHint().width(), button->width());
    } else if (auto* box = qobject_cast<QGroupBox*>(w)) {
      check(*w, box->title(), box->minimumSizeHint().width(), box->width());
    } else if (auto* combo = qobject_cast<QComboBox*>(w)) {
      QString widest;
      for (int i = 0; i < combo->count(); ++i) {
        if (combo->itemText(i).size() > widest.size()) {
          widest = combo->itemText(i);
        }
      }
      check(*w, widest, combo->sizeHint().width(), combo->width());
    } else if (auto* tabs = qobject_cast<QTabBar*>(w)) {
      QStringList texts;
      for (int i = 0; i < tabs->count(); ++i) {
        texts << tabs->tabText(i);
      }
      check(*w, texts.join(u'|'), tabs->sizeHint().width(), tabs->width());
    } else if (qobject_cast<QToolBar*>(w) != nullptr || qobject_cast<QMenuBar*>(w) != nullptr) {
      check(*w, u"(every command)"_s, w->sizeHint().width(), w->width());
    } else if (auto* header = qobject_cast<QHeaderView*>(w);
               header != nullptr && header->orientation() == Qt::Horizontal) {
      const QAbstractItemModel& model = *header->model();
      const auto text = [&](int c, int role) {
        return model.headerData(c, Qt::Horizontal, role).toString();
      };
      for (int c = 0; c < header->count(); ++c) {
        if (header->isSectionHidden(c)) {
          continue;
        }
        check(*w, text(c, Qt::DisplayRole), HeaderNeed(*header, text(c, Qt::DisplayRole)),
              header->sectionSize(c));
        // The main grid's upper caption spans the neighbours that share it.
        const QString upper = text(c, ProgramTableModel::kUpperHeaderRole);
        if (!upper.isEmpty() && upper != text(c, Qt::DisplayRole) &&
            (c == 0 || text(c - 1, ProgramTableModel::kUpperHeaderRole) != upper)) {
          int span = 0;
          for (int s = c;
               s < header->count() && text(s, ProgramTableModel::kUpperHeaderRole) == upper; ++s) {
            span += header->sectionSize(s);
          }
          check(*w, upper, HeaderNeed(*header, upper), span);
        }
      }
    }
  }
  // The main grid's choices are shown in their cells.
  if (auto* grid = window.findChild<ProgramGrid*>()) {
    const auto* model = static_cast<const ProgramTableModel*>(grid->model());
    for (const auto& [column, texts] :
         {std::pair{kSpColumn, model->SpTexts()}, std::pair{kRpColumn, model->RpTexts()}}) {
      for (const QString& choice : texts) {
        check(*grid, choice, HeaderNeed(*grid->horizontalHeader(), choice),
              grid->columnWidth(column));
      }
    }
  }
}

// Each window as the operator opens it, capped to the screen as a window manager would, every
// page of every tab strip in turn.
void CollectWindowCuts(QWidget& window, QStringList& cuts) {
  window.show();
  const QSize screen = window.screen()->availableGeometry().size();
  window.resize(std::min(window.width(), screen.width()),
                std::min(window.height(), screen.height()));
  QApplication::processEvents();
  CollectCuts(window, cuts);
  for (QTabBar* tabs : window.findChildren<QTabBar*>()) {
    for (int i = 0; i < tabs->count(); ++i) {
      tabs->setCurrentIndex(i);
      QApplication::processEvents();
      CollectCuts(window, cuts);
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
      NoCards cards;
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
      QStringList cuts;
      for (const auto& window : windows) {
        CollectWindowCuts(*window, cuts);
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
