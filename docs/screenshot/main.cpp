// Takes the picture of the main window that the README and the guide show:
// the editor as a new user sees it after loading the demo project with the
// LOAD command, a voice cell selected. Run by scripts/screenshot under Xvfb.

#include <QAction>
#include <QApplication>
#include <QFont>
#include <QTimer>

#include <cstdio>
#include <cstdlib>
#include <utility>

#include "core/messages.h"
#include "core/paths.h"
#include "core/project.h"
#include "core/series.h"
#include "core/settings.h"
#include "gui/choosers.h"
#include "gui/frm_main.h"
#include "gui/gui_operator.h"
#include "gui/program_grid.h"
#include "gui/program_table_model.h"

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
// wait for ever under Xvfb, so any message ends the program instead.
class NoQuestions : public parlatone::GuiOperator {
 public:
  parlatone::MessageAnswer ShowMessage(const parlatone::MessageRequest& request) override {
    std::fprintf(stderr, "parlatone-screenshot: unexpected message: %s\n",
                 qUtf8Printable(request.text));
    std::exit(1);
  }
};

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  if (argc != 3) {
    std::fprintf(stderr, "usage: parlatone-screenshot CONTROLFILE OUT.png\n");
    return 2;
  }
  QApplication::setApplicationName(u"parlatone-editor"_s);
  QFont font(u"Noto Sans CJK JP"_s);
  font.setPointSize(10);
  QApplication::setFont(font);

  const QString control_file = QString::fromLocal8Bit(argv[1]);
  const QString out = QString::fromLocal8Bit(argv[2]);
  NoQuestions op;
  DemoChooser chooser(control_file);
  const parlatone::AppPaths paths = parlatone::ResolveAppPaths();
  parlatone::Project project;
  project.settings = parlatone::LoadStartupSettings(paths).settings;
  parlatone::DeriveSeriesLimits(project);
  parlatone::FrmMain window(project, paths, op, chooser);
  window.show();
  window.findChild<QAction*>(u"LOAD"_s)->trigger();
  if (!project.VoicesRegistered) {
    std::fprintf(stderr, "parlatone-screenshot: %s did not load\n", argv[1]);
    return 1;
  }
  // The third channel's second voice, as an operator about to audition it.
  window.Grid()->setFocus();
  window.Grid()->setCurrentIndex(window.Model()->IndexOf(2, 1));

  // Leaves without closing the window: closing would ask its questions.
  QTimer::singleShot(1500, &window, [&] { QApplication::exit(window.grab().save(out) ? 0 : 1); });
  return QApplication::exec();
}
