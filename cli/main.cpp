#include <QCoreApplication>
#include <QStringList>
#include <QTextStream>

#include <unistd.h>
#include <cstdio>

#include "cli_app.h"

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  QCoreApplication::setApplicationName(QStringLiteral("parlatone"));
  QTextStream out(stdout);
  QTextStream err(stderr);
  QStringList arguments = QCoreApplication::arguments();
  arguments.removeFirst();
  const bool progress_bar = isatty(fileno(stderr)) != 0;
  const bool interactive = isatty(fileno(stdin)) != 0 && progress_bar;
  const int status = parlatone::cli::RunCli(arguments, out, err, interactive, progress_bar);
  out.flush();
  err.flush();
  return status;
}
