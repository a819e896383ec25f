#pragma once

#include <QJsonDocument>
#include <QString>
#include <QStringList>
#include <QTextStream>

#include <atomic>
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

// Prints a JSON document, indented, to standard output.
void PrintJson(Context& context, const QJsonDocument& document);
// Prints JSON that is UTF-8 already.
void PrintJsonBytes(Context& context, const QByteArray& bytes);

// Prints "parlatone NAME: message", a blank line and the command's usage to
// standard error; returns the usage exit status.
int UsageError(const Command& command, Context& context, const QString& message);

// A command's arguments split into the switches it knows ("--json",
// "--yes", ...) and the rest. An unknown option is a usage error: then
// `status` holds the exit status to return.
struct SplitArguments {
  QStringList switches;
  QStringList rest;
  std::optional<int> status;
  bool Has(const QString& name) const { return switches.contains(name); }
};
SplitArguments SplitSwitches(const QStringList& args, const QStringList& known,
                             const Command& command, Context& context);
// The same for a command that takes files: none given is a usage error.
SplitArguments SplitSwitchesAndFiles(const QStringList& args, const QStringList& known,
                                     const Command& command, Context& context);

// Declared by each command's file.
std::unique_ptr<Command> MakeFitCommand();
std::unique_ptr<Command> MakeWriteCardCommand();
std::unique_ptr<Command> MakeVerifyCardCommand();
std::unique_ptr<Command> MakeInfoCommand();
std::unique_ptr<Command> MakeLevelsCommand();
std::unique_ptr<Command> MakeMakeCardCommand();
std::unique_ptr<Command> MakeSilenceCommand();
std::unique_ptr<Command> MakeToMonoCommand();
std::unique_ptr<Command> MakeRegisterCommand();
std::unique_ptr<Command> MakeShowCommand();
std::unique_ptr<Command> MakeWriteCommand();
std::unique_ptr<Command> MakePlayCommand();
std::unique_ptr<Command> MakePrintCommand();
std::unique_ptr<Command> MakeSettingsCommand();

// While it lives, Ctrl+C stores `value` into `flag` instead of ending the
// process, so that long work stops between two blocks and leaves no
// half-written file behind. One at a time.
class InterruptSets {
 public:
  InterruptSets(std::atomic<int>& flag, int value);
  explicit InterruptSets(std::atomic<bool>& flag);
  ~InterruptSets();
  InterruptSets(const InterruptSets&) = delete;
  InterruptSets& operator=(const InterruptSets&) = delete;

 private:
  void (*previous_)(int) = nullptr;
};

}  // namespace parlatone::cli
