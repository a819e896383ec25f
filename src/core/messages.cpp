#include "core/messages.h"

#include <QStringList>

namespace parlatone {
namespace detail {
extern const char* const kMessageTableSource;
}  // namespace detail

namespace {

bool Unescape(QStringView quoted, QString& out) {
  if (quoted.size() < 2 || !quoted.startsWith(u'"') || !quoted.endsWith(u'"')) {
    return false;
  }
  const QStringView body = quoted.mid(1, quoted.size() - 2);
  out.clear();
  for (qsizetype i = 0; i < body.size(); ++i) {
    const QChar c = body.at(i);
    if (c == u'"') {
      return false;  // an unescaped quote means the line is broken
    }
    if (c != u'\\') {
      out += c;
      continue;
    }
    if (++i >= body.size()) {
      return false;
    }
    switch (body.at(i).unicode()) {
      case u'r':
        out += u'\r';
        break;
      case u'n':
        out += u'\n';
        break;
      case u't':
        out += u'\t';
        break;
      case u'"':
        out += u'"';
        break;
      case u'\\':
        out += u'\\';
        break;
      default:
        return false;
    }
  }
  return true;
}

}  // namespace

std::map<int, QString> ParseMessageTable(const QString& source, int* bad_lines) {
  std::map<int, QString> table;
  int bad = 0;
  for (QStringView line : QStringView(source).split(u'\n')) {
    if (line.endsWith(u'\r')) {
      line.chop(1);
    }
    if (line.isEmpty() || line.startsWith(u'#')) {
      continue;
    }
    const qsizetype tab = line.indexOf(u'\t');
    bool number_ok = false;
    const int number = tab > 0 ? line.left(tab).toInt(&number_ok) : 0;
    QString text;
    if (!number_ok || !Unescape(line.mid(tab + 1), text) || table.count(number) != 0) {
      ++bad;
      continue;
    }
    table.emplace(number, text);
  }
  if (bad_lines != nullptr) {
    *bad_lines = bad;
  }
  return table;
}

const std::map<int, QString>& MessageTable() {
  static const std::map<int, QString> table =
      ParseMessageTable(QString::fromUtf8(detail::kMessageTableSource));
  return table;
}

bool HasMessage(int number) {
  return MessageTable().count(number) != 0;
}

QString GetMessage(int number, const QString& insert) {
  const auto found = MessageTable().find(number);
  return InsertIntoMessage(found == MessageTable().end() ? QString() : found->second, insert);
}

QString InsertIntoMessage(QString text, const QString& insert) {
  const qsizetype dollar = text.indexOf(u'$');
  if (dollar < 0) {
    return text + insert;
  }
  return text.replace(dollar, 1, insert);
}

}  // namespace parlatone
