// SPDX-License-Identifier: GPL-3.0-or-later
// Takes the pictures that the README and the guide show: the editor as a new
// user sees it after loading the demo project with the LOAD command, then
// one window of it. Run by scripts/screenshot under Xvfb, once a picture and
// language:
//   main        the main window, a voice cell selected
//   wave-add    the registration window with the demo's voices
//   card-make   the card data window with the demo's card information
//   card-write  the card writing window after the demo's card data was made,
//               listing one card that takes it and one that does not
// The language is the editor's (the settings' choice, else the system's)
// unless --lang ja|en names one: the English pictures need no English locale
// installed on the machine that takes them.

#include <QAction>
#include <QApplication>
#include <QPushButton>
#include <QTimer>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <optional>
#include <utility>

#include "card/card_volume.h"
#include "core/language.h"
#include "core/messages.h"
#include "core/paths.h"
#include "core/project.h"
#include "core/series.h"
#include "core/settings.h"
#include "gui/choosers.h"
#include "gui/frm_card_make.h"
#include "gui/frm_main.h"
#include "gui/gui_operator.h"
#include "gui/program_grid.h"
#include "gui/program_table_model.h"
#include "gui/window_helpers.h"

using namespace Qt::StringLiterals;

namespace {

// Answers the LOAD command's file chooser with the demo's control file.
class DemoChooser : public parlatone::Choosers {
 public:
  explicit DemoChooser(QString path) : path_(std::move(path)) {}
  QString ChooseOpenFile(QWidget*, const parlatone::FileFilter&, const QString&,
                         const QString&) override {
    return path_;
  }
  QStringList ChooseOpenFiles(QWidget*, const parlatone::FileFilter&, const QString&,
                              const QString&) override {
    return {};
  }
  QString ChooseSaveFile(QWidget*, const parlatone::FileFilter&, const QString&, const QString&,
                         const QString&, const QString&) override {
    return {};
  }
  QString ChooseFolder(QWidget*, const QString&, const QString&) override { return {}; }

 private:
  QString path_;
};

// Nothing may ask anything while the picture is taken: a message box would
// wait for ever under Xvfb, so any message ends the program instead. Only
// the card being made may tell that it was made.
class NoQuestions : public parlatone::GuiOperator {
 public:
  bool card_made_may_tell = false;

  parlatone::MessageAnswer ShowMessage(const parlatone::MessageRequest& request) override {
    if (card_made_may_tell && request.buttons == parlatone::MessageButtons::kOk) {
      return parlatone::MessageAnswer::kOk;
    }
    std::fprintf(stderr, "parlatone-screenshot: unexpected message: %s\n",
                 qUtf8Printable(request.text));
    std::exit(1);
  }
};

// The cards an operator might have inserted: one the demo's card data can be
// written to and one formatted as FAT32, which the window refuses. Nothing
// is written: the picture is taken before.
class TwoCards : public parlatone::VolumeProbe {
 public:
  parlatone::VolumeInfo Probe(const QString& folder) override {
    parlatone::VolumeInfo volume;
    volume.mount_point = folder;
    return volume;
  }
  QList<parlatone::VolumeInfo> RemovableVolumes() override {
    return {Card(u"PARLATONE"_s, u"FAT16"_s, 1'013'760'000, 1'013'727'232),
            Card(u"USB-STICK"_s, u"FAT32"_s, 7'742'685'184, 7'742'652'416)};
  }
  bool Eject(const parlatone::VolumeInfo&, QString*) override { return true; }

 private:
  static parlatone::VolumeInfo Card(const QString& label, const QString& filesystem, qint64 total,
                                    qint64 free) {
    parlatone::VolumeInfo volume;
    volume.mount_point = u"/media/operator/"_s + label;
    volume.source = u"/dev/sdb1"_s;
    volume.filesystem = filesystem;
    volume.label = label;
    volume.cluster_bytes = 32768;
    volume.total_bytes = total;
    volume.free_bytes = free;
    volume.root_entries = 512;
    volume.removable = true;
    volume.found = true;
    volume.ordered_entries = true;
    return volume;
  }
};

// Saves the window on top (a dialog's own exec is running) and ends at once:
// closing the windows would ask their questions.
void SaveTopWindowAndEnd(QWidget& main_window, const QString& out) {
  QWidget* top = QApplication::activeModalWidget();
  const bool saved = (top != nullptr ? top : &main_window)->grab().save(out);
  std::fflush(nullptr);
  std::_Exit(saved ? 0 : 1);
}

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QStringList arguments = QApplication::arguments().mid(1);
  std::optional<parlatone::LanguageChoice> language;
  if (arguments.size() > 1 && arguments.front() == u"--lang"_s &&
      (arguments[1] == u"ja"_s || arguments[1] == u"en"_s)) {
    language = parlatone::ParseLanguageChoice(arguments[1]);
    arguments.remove(0, 2);
  }
  const QString picture = arguments.size() == 3 ? arguments[1] : QString();
  if (arguments.size() != 3 ||
      !QStringList{u"main"_s, u"wave-add"_s, u"card-make"_s, u"card-write"_s}.contains(picture)) {
    std::fprintf(stderr,
                 "usage: parlatone-screenshot [--lang ja|en] CONTROLFILE "
                 "main|wave-add|card-make|card-write OUT.png\n");
    return 2;
  }
  QApplication::setApplicationName(u"parlatone-editor"_s);
  const parlatone::AppPaths paths = parlatone::ResolveAppPaths();
  // As the editor starts: the language before any window, then its font.
  parlatone::InstallTranslators(parlatone::ResolveLanguage(
      language.value_or(parlatone::ReadSettings(paths.settings_file).Language)));
  QApplication::setFont(parlatone::EditorFont());

  const QString& control_file = arguments[0];
  const QString& out = arguments[2];
  NoQuestions op;
  DemoChooser chooser(control_file);
  parlatone::Project project;
  project.settings = parlatone::LoadStartupSettings(paths).settings;
  parlatone::DeriveSeriesLimits(project);
  parlatone::FrmMain window({project, paths, op, chooser});
  window.show();
  window.findChild<QAction*>(u"LOAD"_s)->trigger();
  if (!project.VoicesRegistered) {
    std::fprintf(stderr, "parlatone-screenshot: %s did not load\n", qUtf8Printable(control_file));
    return 1;
  }
  // The third channel's second voice, as an operator about to audition it.
  window.Grid()->setFocus();
  window.Grid()->setCurrentIndex(window.Model()->IndexOf(2, 1));

  // The registration window's waveforms and levels fill in after it shows.
  constexpr int kSettleMs = 2500;
  if (picture == u"main"_s) {
    QTimer::singleShot(1500, &window, [&] { SaveTopWindowAndEnd(window, out); });
  } else if (picture == u"card-write"_s) {
    // Makes the demo's card data in the card data window, then opens the
    // card writing window from there.
    QTimer::singleShot(500, &window, [&] {
      auto* card = qobject_cast<parlatone::FrmCardMake*>(QApplication::activeModalWidget());
      if (card == nullptr) {
        std::fprintf(stderr, "parlatone-screenshot: the card data window did not open\n");
        std::_Exit(1);
      }
      card->SetVolumeProbe(std::make_unique<TwoCards>());
      op.card_made_may_tell = true;
      card->findChild<QPushButton*>(u"CmdCardMake"_s)->click();
      op.card_made_may_tell = false;
      QTimer::singleShot(kSettleMs, &window, [&] { SaveTopWindowAndEnd(window, out); });
      card->findChild<QPushButton*>(u"CmdCardWrite"_s)->click();
      std::fprintf(stderr, "parlatone-screenshot: the card writing window did not open\n");
      std::_Exit(1);
    });
  } else {
    QTimer::singleShot(kSettleMs, &window, [&] { SaveTopWindowAndEnd(window, out); });
  }
  if (picture == u"wave-add"_s) {
    window.findChild<QAction*>(u"WAVE"_s)->trigger();
  } else if (picture != u"main"_s) {
    window.findChild<QAction*>(u"CARD"_s)->trigger();
  }
  return QApplication::exec();
}
