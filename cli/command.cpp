// SPDX-License-Identifier: GPL-3.0-or-later
#include "command.h"

#include <QCoreApplication>

#include <algorithm>

namespace parlatone::cli {

using namespace Qt::StringLiterals;

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
      message = QCoreApplication::translate("Command", "%1 needs a value").arg(arg);
      break;
    }
  }
  UsageError(*this, context, message);
  return false;
}

int Command::RefusedValue(const QCommandLineOption& option, Context& context) const {
  return UsageError(*this, context, RefusedOption() + u" --"_s + option.names().front());
}

}  // namespace parlatone::cli
