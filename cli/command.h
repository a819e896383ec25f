#pragma once

#include <QString>
#include <QStringList>
#include <QTextStream>

#include <memory>
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

// One command of the tool. Each declares its own name, summary and usage and
// gets the arguments that follow it, the global options taken out.
class Command {
 public:
  virtual ~Command() = default;
  virtual QString Name() const = 0;
  virtual QString Summary() const = 0;
  virtual QString Usage() const = 0;
  virtual int Run(const QStringList& args, Context& context) = 0;
};

std::vector<std::unique_ptr<Command>> AllCommands();

// Declared by each command's file.
std::unique_ptr<Command> MakeInfoCommand();
std::unique_ptr<Command> MakeMakeCardCommand();
std::unique_ptr<Command> MakeSilenceCommand();
std::unique_ptr<Command> MakeToMonoCommand();
std::unique_ptr<Command> MakeRegisterCommand();
std::unique_ptr<Command> MakeShowCommand();
std::unique_ptr<Command> MakeWriteCommand();
std::unique_ptr<Command> MakePlayCommand();
std::unique_ptr<Command> MakeSettingsCommand();

}  // namespace parlatone::cli
