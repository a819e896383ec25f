#include <QCoreApplication>
#include <QGuiApplication>
#include <QStringList>
#include <QTextStream>

#include <unistd.h>
#include <cstdio>
#include <memory>

#include "cli_app.h"

int main(int argc, char** argv) {
  QStringList arguments;
  for (int i = 1; i < argc; ++i) {
    arguments << QString::fromLocal8Bit(argv[i]);
  }
  std::unique_ptr<QCoreApplication> app;
  if (parlatone::cli::NeedsGuiApplication(arguments)) {
    // Painting a PDF lays text out with real fonts, which only a GUI
    // application provides. The tool never shows a window, so unless the
    // user chose a platform it takes the offscreen one: it runs the same
    // with or without a display (a terminal over ssh, a build machine).
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
      qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    app = std::make_unique<QGuiApplication>(argc, argv);
  } else {
    app = std::make_unique<QCoreApplication>(argc, argv);
  }
  QCoreApplication::setApplicationName(QStringLiteral("parlatone"));
  QTextStream out(stdout);
  QTextStream err(stderr);
  arguments = QCoreApplication::arguments();
  arguments.removeFirst();
  const bool progress_bar = isatty(fileno(stderr)) != 0;
  const bool interactive = isatty(fileno(stdin)) != 0 && progress_bar;
  const int status = parlatone::cli::RunCli(arguments, out, err, interactive, progress_bar);
  out.flush();
  err.flush();
  return status;
}
