// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QCoreApplication>
#include <QList>
#include <QString>
#include <QStringList>
#include <QTextStream>

#include <memory>
#include <optional>
#include <vector>

#include "core/operator.h"
#include "core/paths.h"
#include "core/project.h"
#include "terminal_operator.h"

namespace parlatone::cli {

inline constexpr int kExitOk = 0;
inline constexpr int kExitFailure = 1;
inline constexpr int kExitUsage = 2;

// What a command works with: the project of this run, with the settings
// file's values and this run's overrides already applied.

struct Context {
  AppPaths paths;
  Project& project;
  TerminalOperator& op;
  QTextStream& out;
  QTextStream& err;
};

// One word of a command's synopsis: an option, or a positional argument.
// An option is shown in brackets unless it is required.
struct Word {
  Word(const QCommandLineOption& option, bool required = false)
      : option(option), required(required) {}
  Word(const QString& positional) : positional(positional) {}
  std::optional<QCommandLineOption> option;
  QString positional;
  bool required = false;
};
inline Word Required(const QCommandLineOption& option) {
  return Word(option, true);
}
// The forms a command is called in, one synopsis line each.
using Synopsis = QList<QList<Word>>;

// One command of the tool. Each declares its name, summary, synopsis and
// description and gets the arguments that follow it, the global options
// taken out. The options it accepts are those of its synopsis, so that its
// usage shows what it parses.
class Command {
 public:
  virtual ~Command() = default;
  virtual QString Name() const = 0;
  virtual QString Summary() const = 0;
  virtual Synopsis Forms() const = 0;
  virtual QString Description() const = 0;
  virtual int Run(const QStringList& args, Context& context) = 0;
  // The synopsis lines, a blank line and the description.
  QString Usage() const;

 protected:
  // Parses `args` with the synopsis' options. A refused option, or a number
  // of positional arguments that fits no form ("NAME..." takes one or more),
  // is reported as a usage error (`misuse` for the latter); then false.
  bool Parse(const QStringList& args, QCommandLineParser& parser, Context& context,
             const QString& misuse) const;
  // What the usage error calls a refused option.
  virtual QString RefusedOption() const {
    return QCoreApplication::translate("Command", "unknown option");
  }
  // Reports an option's value the command cannot take; returns the usage
  // exit status.
  int RefusedValue(const QCommandLineOption& option, Context& context) const;
};

std::vector<std::unique_ptr<Command>> AllCommands();

// Prints "parlatone NAME: message", a blank line and the command's usage to
// standard error; returns the usage exit status.
int UsageError(const Command& command, Context& context, const QString& message);

// Declared by each command's file.
std::unique_ptr<Command> MakeFitCommand();
std::unique_ptr<Command> MakeWriteCardCommand();
std::unique_ptr<Command> MakeVerifyCardCommand();
std::unique_ptr<Command> MakeInfoCommand();
std::unique_ptr<Command> MakeLevelsCommand();
std::unique_ptr<Command> MakeMakeCardCommand();
std::unique_ptr<Command> MakeSilenceCommand();
std::unique_ptr<Command> MakeToMonoCommand();
std::unique_ptr<Command> MakeRecordCommand();
std::unique_ptr<Command> MakeRegisterCommand();
std::unique_ptr<Command> MakeShowCommand();
std::unique_ptr<Command> MakeWriteCommand();
std::unique_ptr<Command> MakePlayCommand();
std::unique_ptr<Command> MakePrintCommand();
std::unique_ptr<Command> MakeSettingsCommand();

}  // namespace parlatone::cli
