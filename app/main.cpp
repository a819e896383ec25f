// SPDX-License-Identifier: GPL-3.0-or-later
#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QEventLoop>
#include <QFileInfo>
#include <QIcon>
#include <QLockFile>
#include <QSplashScreen>
#include <QStandardPaths>
#include <QTimer>

#include "core/language.h"
#include "core/messages.h"
#include "core/operator.h"
#include "core/paths.h"
#include "core/project.h"
#include "core/series.h"
#include "core/settings.h"
#include "core/version.h"
#include "gui/choosers.h"
#include "gui/frm_main.h"
#include "gui/gui_operator.h"
#include "gui/instance_link.h"
#include "gui/window_helpers.h"
#include "splash.h"

using namespace Qt::StringLiterals;

namespace {

constexpr int kSplashMilliseconds = 3000;

// One editor per user: a lock in the user's runtime folder, released by the
// system even when the editor dies, and beside it the socket on which the
// running editor takes files from a second start.
QString RuntimeFolder() {
  QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
  if (folder.isEmpty()) {
    folder = QDir::tempPath();
  }
  return folder;
}

QString LockPath() {
  return RuntimeFolder() + u"/parlatone-editor.lock"_s;
}

QString LinkName() {
#ifdef Q_OS_WIN
  return u"parlatone-editor-"_s + qEnvironmentVariable("USERNAME");
#else
  return RuntimeFolder() + u"/parlatone-editor.socket"_s;
#endif
}

void ShowSplash() {
  QSplashScreen splash(parlatone::SplashPicture());
  splash.setObjectName(u"FrmSplash"_s);
  splash.show();
  splash.repaint();
  QEventLoop wait;
  QTimer::singleShot(kSplashMilliseconds, &wait, &QEventLoop::quit);
  wait.exec(QEventLoop::ExcludeUserInputEvents);
  splash.close();
}

void DescribeCommandLine(QCommandLineParser& parser) {
  parser.setApplicationDescription(QCoreApplication::translate(
      "EditorCommandLine",
      "Parlatone Editor prepares the flash-card data of Parlatone voice-announcement players:\n"
      "it registers WAVE or MP3 files checked against the device series, builds the channel\n"
      "program table, auditions channels, fills in the card information, prints, and writes\n"
      "the control file with a copy of every sound file into one folder to copy to the card.\n"
      "The interface speaks Japanese, or English when chosen in the settings or on an English\n"
      "system. Only one editor runs per user: a second start hands its file to the running one."));
  parser.addHelpOption();
  parser.addVersionOption();
  parser.addPositionalArgument(
      u"file"_s,
      QCoreApplication::translate("EditorCommandLine",
                                  "a project file (.wpj, .zpx, .wpg or .mpi) to open at start"),
      u"[file]"_s);
}

// --help and --version are answered on the terminal before any window,
// display or lock exists: the manual page is made from them at build time.
bool AsksHelpOrVersion(int argc, char** argv) {
  for (int i = 1; i < argc; ++i) {
    const QLatin1String argument(argv[i]);
    if (argument == "--"_L1) {
      return false;
    }
    if (argument == "-h"_L1 || argument == "--help"_L1 || argument == "--help-all"_L1 ||
        argument == "-v"_L1 || argument == "--version"_L1) {
      return true;
    }
  }
  return false;
}

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication::setApplicationName(u"parlatone-editor"_s);
  QCoreApplication::setApplicationVersion(QString::fromLatin1(parlatone::kVersion));
  if (AsksHelpOrVersion(argc, argv)) {
    QCoreApplication terminal(argc, argv);
    QCommandLineParser parser;
    DescribeCommandLine(parser);
    parser.process(terminal);  // prints and ends the program
    return 0;
  }
  QApplication app(argc, argv);
  // The language the settings chose (or the system's), before any window or
  // message; Qt's own dialogs (file choosers, print preview) follow it.
  parlatone::InstallTranslators(parlatone::ResolveLanguage(
      parlatone::ReadSettings(parlatone::ResolveAppPaths().settings_file).Language));
  // The desktop entry's name, so that a desktop groups the windows under its
  // icon; the theme icon when installed, else the one built in.
  QGuiApplication::setDesktopFileName(u"jp.parlatone.editor"_s);
  QIcon built_in;
  for (int size : {16, 32, 48, 64, 256}) {
    built_in.addFile(u":/icons/%1x%1/apps/jp.parlatone.editor.png"_s.arg(size));
  }
  QApplication::setWindowIcon(QIcon::fromTheme(u"jp.parlatone.editor"_s, built_in));
  QApplication::setFont(parlatone::EditorFont());

  // A project file to open: the desktop passes one (a double click in the
  // file manager, the desktop entry's %f).
  QCommandLineParser parser;
  DescribeCommandLine(parser);
  parser.process(app);
  const QStringList arguments = parser.positionalArguments();
  const QString file =
      arguments.isEmpty() ? QString() : QFileInfo(arguments.front()).absoluteFilePath();

  parlatone::GuiOperator op;
  QLockFile lock(LockPath());
  if (!parlatone::AcquireSingleInstanceLock(lock)) {
    // The running editor comes to the front and takes the file; only when
    // it cannot be reached is the operator told that one runs.
    if (!parlatone::InstanceLink::HandOver(LinkName(), file)) {
      parlatone::ShowMessage(op, 2000, parlatone::msg::kTitleConfirm,
                             parlatone::MessageIcon::kExclamation);
    }
    return 0;
  }
  parlatone::InstanceLink link(LinkName());
  link.Listen();

  const parlatone::AppPaths paths = parlatone::ResolveAppPaths();
  ShowSplash();
  parlatone::Project project;
  project.settings = parlatone::LoadStartupSettings(paths).settings;
  parlatone::DeriveSeriesLimits(project);
  parlatone::QtChoosers dialogs(op);
  parlatone::FolderKeepingChoosers choosers(dialogs, project.settings, paths.settings_file);
  parlatone::FrmMain window({project, paths, op, choosers});
  window.show();
  project.VoicesRegistered = false;
  project.ClearPageEdited();
  QObject::connect(&link, &parlatone::InstanceLink::HandedOver, &window,
                   &parlatone::FrmMain::TakeHandedOverFile);
  // Once the window is up: what a crash left is offered first, then the
  // file the editor was started with is loaded as LOAD would.
  QTimer::singleShot(0, &window, [&window, file] {
    window.OfferRecovery();
    if (!file.isEmpty()) {
      window.TakeHandedOverFile(file);
    }
  });
  return QApplication::exec();
}
