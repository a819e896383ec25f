// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli_app.h"

#include <QCoreApplication>

#include <unistd.h>

#include <cstdio>

#include "cli_main.h"
#include "command.h"
#include "core/language.h"
#include "core/paths.h"
#include "core/series.h"
#include "core/version.h"
#include "terminal_operator.h"

namespace parlatone::cli {
namespace {

using namespace Qt::StringLiterals;

QString UsageText(const std::vector<std::unique_ptr<Command>>& commands) {
  QString text = QCoreApplication::translate(
      "Cli",
      "Usage: parlatone [global options] COMMAND [arguments]\n"
      "\n"
      "Prepares the flash-card data of Parlatone voice-announcement players.\n"
      "Reads the editor's settings file and never writes it.\n"
      "\n"
      "Global options (before or after the command; they last for this run only):\n");
  text += GlobalOptionsHelp() + QCoreApplication::translate("Cli", "\nCommands:\n");
  for (const auto& command : commands) {
    text += QStringLiteral("  %1%2\n").arg(command->Name(), -20).arg(command->Summary());
  }
  text += QCoreApplication::translate("Cli",
                                      "\nExit status: 0 done, 1 the work failed, 2 wrong usage.\n");
  return text;
}

}  // namespace

std::vector<std::unique_ptr<Command>> AllCommands() {
  std::vector<std::unique_ptr<Command>> commands;
  commands.push_back(MakeFitCommand());
  commands.push_back(MakeInfoCommand());
  commands.push_back(MakeLevelsCommand());
  commands.push_back(MakeMakeCardCommand());
  commands.push_back(MakePlayCommand());
  commands.push_back(MakePrintCommand());
  commands.push_back(MakeRecordCommand());
  commands.push_back(MakeRegisterCommand());
  commands.push_back(MakeSettingsCommand());
  commands.push_back(MakeShowCommand());
  commands.push_back(MakeSilenceCommand());
  commands.push_back(MakeToMonoCommand());
  commands.push_back(MakeVerifyCardCommand());
  commands.push_back(MakeWriteCommand());
  commands.push_back(MakeWriteCardCommand());
  return commands;
}

int RunCli(const QStringList& arguments, QTextStream& out, QTextStream& err, bool interactive,
           bool progress_bar) {
  const auto commands = AllCommands();
  const ParsedCommandLine parsed = ParseCommandLine(arguments);
  // Before anything is said, usage errors included.
  const AppPaths paths = ResolveAppPaths();
  InstallTranslators(RunLanguage(parsed.options, paths.settings_file));
  if (!parsed.error.isEmpty()) {
    err << u"parlatone: "_s << parsed.error << u"\n\n"_s << UsageText(commands);
    return kExitUsage;
  }
  if (parsed.options.version) {
    out << u"parlatone "_s << QLatin1String(kVersion) << '\n';
    return kExitOk;
  }
  Command* command = nullptr;
  for (const auto& candidate : commands) {
    if (candidate->Name() == parsed.command) {
      command = candidate.get();
    }
  }
  if (parsed.command.isEmpty() || (parsed.options.help && command == nullptr)) {
    if (parsed.options.help) {
      out << UsageText(commands);
      return kExitOk;
    }
    err << u"parlatone: "_s << QCoreApplication::translate("Cli", "no command given") << u"\n\n"_s
        << UsageText(commands);
    return kExitUsage;
  }
  if (command == nullptr) {
    err << u"parlatone: "_s
        << QCoreApplication::translate("Cli", "unknown command %1").arg(parsed.command) << u"\n\n"_s
        << UsageText(commands);
    return kExitUsage;
  }
  if (parsed.options.help) {
    out << command->Usage();
    return kExitOk;
  }

  Project project;
  project.settings = LoadStartupSettings(paths, FirstStartWrites::kReadOnly).settings;
  ApplyOverrides(parsed.options, project.settings);
  DeriveSeriesLimits(project);
  TerminalOperator op(err, interactive, progress_bar);
  Context context{paths, project, op, out, err};
  return command->Run(parsed.arguments, context);
}

int CliMain() {
  QCoreApplication::setApplicationName(QStringLiteral("parlatone"));
  QTextStream out(stdout);
  QTextStream err(stderr);
  QStringList arguments = QCoreApplication::arguments();
  arguments.removeFirst();
  const bool progress_bar = isatty(fileno(stderr)) != 0;
  const bool interactive = isatty(fileno(stdin)) != 0 && progress_bar;
  const int status = RunCli(arguments, out, err, interactive, progress_bar);
  out.flush();
  err.flush();
  return status;
}

}  // namespace parlatone::cli
