#include <QApplication>
#include <QDir>
#include <QEventLoop>
#include <QFont>
#include <QIcon>
#include <QLibraryInfo>
#include <QLocale>
#include <QLockFile>
#include <QSplashScreen>
#include <QStandardPaths>
#include <QTimer>
#include <QTranslator>

#include "core/messages.h"
#include "core/operator.h"
#include "core/paths.h"
#include "core/project.h"
#include "core/series.h"
#include "core/settings.h"
#include "gui/choosers.h"
#include "gui/frm_main.h"
#include "gui/gui_operator.h"
#include "gui/window_helpers.h"
#include "splash.h"

using namespace Qt::StringLiterals;

namespace {

constexpr int kSplashMilliseconds = 3000;

// One editor per user: a lock in the user's runtime folder, released by the
// system even when the editor dies.
QString LockPath() {
  QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
  if (folder.isEmpty()) {
    folder = QDir::tempPath();
  }
  return folder + u"/parlatone-editor.lock"_s;
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

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setApplicationName(u"parlatone-editor"_s);
  // Qt's own dialogs (file choosers, print preview) speak Japanese too.
  QTranslator qt_texts;
  if (qt_texts.load(QLocale(QLocale::Japanese, QLocale::Japan), u"qtbase"_s, u"_"_s,
                    QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
    QApplication::installTranslator(&qt_texts);
  }
  // The desktop entry's name, so that a desktop groups the windows under its
  // icon; the theme icon when installed, else the one built in.
  QGuiApplication::setDesktopFileName(u"jp.parlatone.editor"_s);
  QIcon built_in;
  for (int size : {16, 32, 48, 64, 256}) {
    built_in.addFile(u":/icons/%1x%1/apps/jp.parlatone.editor.png"_s.arg(size));
  }
  QApplication::setWindowIcon(QIcon::fromTheme(u"jp.parlatone.editor"_s, built_in));
  // Named explicitly: left to the locale, Qt may draw the kanji in Chinese or
  // Korean shapes.
  QFont font(u"Noto Sans CJK JP"_s);
  font.setPointSize(10);
  QApplication::setFont(font);

  parlatone::GuiOperator op;
  QLockFile lock(LockPath());
  if (!parlatone::AcquireSingleInstanceLock(lock)) {
    parlatone::ShowMessage(op, 2000, parlatone::msg::kTitleConfirm,
                           parlatone::MessageIcon::kExclamation);
    return 0;
  }

  const parlatone::AppPaths paths = parlatone::ResolveAppPaths();
  ShowSplash();
  parlatone::Project project;
  project.settings = parlatone::LoadStartupSettings(paths).settings;
  parlatone::DeriveSeriesLimits(project);
  parlatone::QtChoosers choosers(op);
  parlatone::FrmMain window(project, paths, op, choosers);
  window.show();
  project.VoicesRegistered = false;
  project.ClearPageEdited();
  return QApplication::exec();
}
