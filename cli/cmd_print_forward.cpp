// SPDX-License-Identifier: GPL-3.0-or-later
#include <QCoreApplication>
#include <QFileInfo>
#include <QProcess>

#include "cmd_print.h"

namespace parlatone::cli {
namespace {

using namespace Qt::StringLiterals;

// The helper beside the tool (a build tree, Windows) or in the installed
// helper folder relative to it, so that a moved installation still finds it.
QString HelperPath() {
  const QString folder = QCoreApplication::applicationDirPath();
#ifdef Q_OS_WIN
  const QString name = u"parlatone-print.exe"_s;
#else
  const QString name = u"parlatone-print"_s;
#endif
  const QString beside = folder + u'/' + name;
  if (QFileInfo(beside).isExecutable()) {
    return beside;
  }
  return folder + u'/' + QStringLiteral(PARLATONE_RELATIVE_HELPER_DIR) + u'/' + name;
}

class ForwardPrintCommand : public PrintCommandText {
 public:
  int Run(const QStringList&, Context& context) override {
    context.out.flush();
    context.err.flush();
    const QString helper = HelperPath();
    QProcess process;
    process.setProcessChannelMode(QProcess::ForwardedChannels);
    process.setInputChannelMode(QProcess::ForwardedInputChannel);
    // The whole command line, global options included: the helper reads the
    // settings and parses the options as this run did.
    process.start(helper, QCoreApplication::arguments().mid(1));
    if (!process.waitForStarted(-1)) {
      context.err << u"parlatone print: "_s
                  << QCoreApplication::translate("PrintCommand", "cannot start %1").arg(helper)
                  << '\n';
      return kExitFailure;
    }
    process.waitForFinished(-1);
    if (process.exitStatus() != QProcess::NormalExit) {
      context.err << u"parlatone print: "_s
                  << QCoreApplication::translate("PrintCommand", "%1 ended abnormally").arg(helper)
                  << '\n';
      return kExitFailure;
    }
    return process.exitCode();
  }
};

}  // namespace

std::unique_ptr<Command> MakePrintCommand() {
  return std::make_unique<ForwardPrintCommand>();
}

}  // namespace parlatone::cli
