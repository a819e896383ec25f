#include "cli_app.h"

#include <csignal>

#include <QCoreApplication>
#include <QIODevice>

#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <functional>

#include "cli_main.h"
#include "command.h"
#include "core/series.h"
#include "core/version.h"
#include "terminal_operator.h"

namespace parlatone::cli {
namespace {

using namespace Qt::StringLiterals;

using Setter = std::function<QString(const QString& value, GlobalOptions& options)>;

struct ValueOption {
  QLatin1String name;
  Setter set;  // returns an error text, empty when the value is good
};

std::optional<int> ParseInt(const QString& text) {
  bool ok = false;
  const int value = text.toInt(&ok, 10);
  return ok ? std::optional<int>(value) : std::nullopt;
}

const std::vector<ValueOption>& ValueOptions() {
  static const std::vector<ValueOption> table = {
      {QLatin1String("--series"),
       [](const QString& value, GlobalOptions& options) {
         const auto series = ParseInt(value);
         if (!series || *series < 0 || *series >= kSeriesCount) {
           return QStringLiteral("--series takes a series number from 0 to 7");
         }
         options.series = series;
         return QString();
       }},
      {QLatin1String("--stereo"),
       [](const QString& value, GlobalOptions& options) {
         if (value != u"on" && value != u"off") {
           return QStringLiteral("--stereo takes on or off");
         }
         options.stereo = value == u"on";
         return QString();
       }},
      {QLatin1String("--capacity"),
       [](const QString& value, GlobalOptions& options) {
         const auto capacity = ParseInt(value);
         if (!capacity || *capacity < 0 || *capacity > 32767) {
           return QStringLiteral("--capacity takes a capacity index (0, 1, 2, or 3 for no limit)");
         }
         options.capacity = capacity;
         return QString();
       }},
      {QLatin1String("--wave-path"),
       [](const QString& value, GlobalOptions& options) {
         if (value.isEmpty()) {
           return QStringLiteral("--wave-path takes a folder");
         }
         options.wave_path = value;
         return QString();
       }},
      {QLatin1String("--card-path"),
       [](const QString& value, GlobalOptions& options) {
         if (value.isEmpty()) {
           return QStringLiteral("--card-path takes a folder");
         }
         options.card_path = value;
         return QString();
       }},
  };
  return table;
}

QString UsageText(const std::vector<std::unique_ptr<Command>>& commands) {
  QString text = QStringLiteral(
      "Usage: parlatone [global options] COMMAND [arguments]\n"
      "\n"
      "Prepares the flash-card data of Parlatone voice-announcement players.\n"
      "Reads the editor's settings file and never writes it.\n"
      "\n"
      "Global options (before or after the command; they last for this run only):\n"
      "  --series N          device series 0 to 7 instead of the one in the settings\n"
      "  --stereo on|off     accept stereo sound files or not\n"
      "  --capacity K        registration capacity index of the MP3 series\n"
      "  --wave-path DIR     folder of the sound files\n"
      "  --card-path DIR     folder in which card data folders are made\n"
      "  -h, --help          show this help, or a command's with COMMAND --help\n"
      "  --version           show the version\n"
      "\n"
      "Commands:\n");
  for (const auto& command : commands) {
    text += QStringLiteral("  %1%2\n").arg(command->Name(), -20).arg(command->Summary());
  }
  text += QStringLiteral("\nExit status: 0 done, 1 the work failed, 2 wrong usage.\n");
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

void PrintJsonBytes(Context& context, const QByteArray& bytes) {
  // Written as it is, not decoded and encoded again by the text stream (a
  // report on a thousand files is large).
  context.out.flush();
  if (QIODevice* device = context.out.device()) {
    device->write(bytes);
  } else {
    context.out << QString::fromUtf8(bytes);
  }
}

namespace {
std::atomic<int>* g_interrupt_int = nullptr;
std::atomic<bool>* g_interrupt_bool = nullptr;
int g_interrupt_value = 0;

extern "C" void OnInterrupt(int) {
  if (g_interrupt_int != nullptr) {
    g_interrupt_int->store(g_interrupt_value);
  }
  if (g_interrupt_bool != nullptr) {
    g_interrupt_bool->store(true);
  }
}
}  // namespace

InterruptSets::InterruptSets(std::atomic<int>& flag, int value) {
  g_interrupt_value = value;
  g_interrupt_int = &flag;
  previous_ = std::signal(SIGINT, OnInterrupt);
}

InterruptSets::InterruptSets(std::atomic<bool>& flag) {
  g_interrupt_bool = &flag;
  previous_ = std::signal(SIGINT, OnInterrupt);
}

InterruptSets::~InterruptSets() {
  std::signal(SIGINT, previous_);
  g_interrupt_int = nullptr;
  g_interrupt_bool = nullptr;
}

void PrintJson(Context& context, const QJsonDocument& document) {
  PrintJsonBytes(context, document.toJson(QJsonDocument::Indented));
}

int UsageError(const Command& command, Context& context, const QString& message) {
  context.err << u"parlatone "_s << command.Name() << u": "_s << message << u"\n\n"_s
              << command.Usage();
  return kExitUsage;
}

QString Command::Usage() const {
  // Words wrap at 80 columns, continued under "[global options]".
  constexpr qsizetype kWidth = 80;
  const QString indent(17, u' ');
  QString text;
  for (const QList<Word>& form : Forms()) {
    QString line =
        (text.isEmpty() ? u"Usage: "_s : u"       "_s) + u"parlatone [global options] "_s + Name();
    for (const Word& word : form) {
      QString shown = word.positional;
      if (word.option) {
        shown = u"--"_s + word.option->names().front();
        if (!word.option->valueName().isEmpty()) {
          shown += u' ' + word.option->valueName();
        }
        if (!word.required) {
          shown = u'[' + shown + u']';
        }
      }
      if (line.size() + 1 + shown.size() > kWidth) {
        text += line + u'\n';
        line = indent + shown;
      } else {
        line += u' ' + shown;
      }
    }
    text += line + u'\n';
  }
  return text + u'\n' + Description();
}

bool Command::Parse(const QStringList& args, QCommandLineParser& parser, Context& context,
                    const QString& misuse) const {
  QList<QCommandLineOption> options;
  const auto find = [&options](const QString& name) {
    return std::find_if(options.cbegin(), options.cend(),
                        [&name](const auto& option) { return option.names().contains(name); });
  };
  for (const QList<Word>& form : Forms()) {
    for (const Word& word : form) {
      if (word.option && find(word.option->names().front()) == options.cend()) {
        options << *word.option;
      }
    }
  }
  parser.addOptions(options);
  if (parser.parse(QStringList(Name()) + args)) {
    const qsizetype given = parser.positionalArguments().size();
    for (const QList<Word>& form : Forms()) {
      const qsizetype count =
          std::count_if(form.cbegin(), form.cend(), [](const Word& word) { return !word.option; });
      const bool more = count > 0 && form.constLast().positional.endsWith(u"..."_s);
      if (given == count || (more && given > count)) {
        return true;
      }
    }
    UsageError(*this, context, misuse);
    return false;
  }
  // Qt's error text is not this tool's: name the first argument refused, as
  // it was typed.
  QString message = parser.errorText();
  for (qsizetype i = 0; i < args.size() && args[i] != u"--"_s; ++i) {
    const QString& arg = args[i];
    if (!arg.startsWith(u'-') || arg.size() == 1) {
      continue;
    }
    const auto known = find(arg.mid(2).section(u'=', 0, 0));
    const bool valued = known != options.cend() && !known->valueName().isEmpty();
    if (!arg.startsWith(u"--"_s) || known == options.cend() || (!valued && arg.contains(u'='))) {
      message = RefusedOption() + u' ' + arg;
      break;
    }
    if (valued && !arg.contains(u'=') && ++i == args.size()) {
      message = arg + u" needs a value"_s;
      break;
    }
  }
  UsageError(*this, context, message);
  return false;
}

int Command::RefusedValue(const QCommandLineOption& option, Context& context) const {
  return UsageError(*this, context, RefusedOption() + u" --"_s + option.names().front());
}

ParsedCommandLine ParseCommandLine(const QStringList& arguments) {
  ParsedCommandLine parsed;
  bool options_ended = false;
  for (qsizetype i = 0; i < arguments.size(); ++i) {
    const QString& argument = arguments.at(i);
    if (options_ended) {
      if (parsed.command.isEmpty()) {
        parsed.command = argument;
      } else {
        parsed.arguments << argument;
      }
      continue;
    }
    if (argument == u"--") {
      options_ended = true;
      continue;
    }
    if (argument == u"--help" || argument == u"-h") {
      parsed.options.help = true;
      continue;
    }
    if (argument == u"--version") {
      parsed.options.version = true;
      continue;
    }
    bool matched = false;
    for (const ValueOption& option : ValueOptions()) {
      QString value;
      if (argument == option.name) {
        if (i + 1 >= arguments.size()) {
          parsed.error = QStringLiteral("%1 needs a value").arg(option.name);
          return parsed;
        }
        value = arguments.at(++i);
      } else if (argument.startsWith(option.name + u'=')) {
        value = argument.mid(option.name.size() + 1);
      } else {
        continue;
      }
      matched = true;
      const QString error = option.set(value, parsed.options);
      if (!error.isEmpty()) {
        parsed.error = error;
        return parsed;
      }
      break;
    }
    if (matched) {
      continue;
    }
    if (parsed.command.isEmpty()) {
      if (argument.startsWith(u'-')) {
        parsed.error = QStringLiteral("unknown option %1").arg(argument);
        return parsed;
      }
      parsed.command = argument;
    } else {
      parsed.arguments << argument;  // the command judges its own arguments
    }
  }
  return parsed;
}

void ApplyOverrides(const GlobalOptions& options, Settings& settings) {
  if (options.series) {
    settings.Mode = *options.series;
  }
  if (options.stereo) {
    settings.AddFunction = *options.stereo ? 1 : 0;
  }
  if (options.capacity) {
    settings.FileCapacity = *options.capacity;
  }
  if (options.wave_path) {
    settings.WavePath = *options.wave_path;
  }
  if (options.card_path) {
    settings.CardPath = *options.card_path;
  }
}

int RunCli(const QStringList& arguments, QTextStream& out, QTextStream& err, bool interactive,
           bool progress_bar) {
  const auto commands = AllCommands();
  const ParsedCommandLine parsed = ParseCommandLine(arguments);
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
    err << u"parlatone: no command given\n\n"_s << UsageText(commands);
    return kExitUsage;
  }
  if (command == nullptr) {
    err << u"parlatone: unknown command "_s << parsed.command << u"\n\n"_s << UsageText(commands);
    return kExitUsage;
  }
  if (parsed.options.help) {
    out << command->Usage();
    return kExitOk;
  }

  Project project;
  const AppPaths paths = ResolveAppPaths();
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
