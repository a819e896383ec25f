// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/ini_file.h"

#include "core/file_io.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <vector>

#include "core/cp932.h"

namespace parlatone {
namespace {

// One physical line: its bytes without the line end, and the line end itself
// ("\r\n", "\n", a lone "\r" closing the file, or empty for a last line
// without one).
struct Line {
  QByteArray body;
  QByteArray ending;
};

// Whether a line end still ends the line when more lines follow it.
bool EndsLine(const QByteArray& ending) {
  return ending.endsWith('\n');
}

std::vector<Line> SplitLines(const QByteArray& content) {
  std::vector<Line> lines;
  qsizetype start = 0;
  while (start < content.size()) {
    const qsizetype lf = content.indexOf('\n', start);
    if (lf < 0) {
      // A file cut after the CR of its last CR LF: the CR still ends the line,
      // so the line reads the same once a line is added after it.
      if (content.endsWith('\r')) {
        lines.push_back({content.mid(start, content.size() - 1 - start), "\r"});
      } else {
        lines.push_back({content.mid(start), {}});
      }
      break;
    }
    qsizetype body_end = lf;
    if (body_end > start && content.at(body_end - 1) == '\r') {
      --body_end;
    }
    lines.push_back(
        {content.mid(start, body_end - start), content.mid(body_end, lf + 1 - body_end)});
    start = lf + 1;
  }
  return lines;
}

bool IsBlank(QChar c) {
  return c == u' ' || c == u'\t';
}

QString TrimBlanks(const QString& text) {
  qsizetype begin = 0;
  qsizetype end = text.size();
  while (begin < end && IsBlank(text.at(begin))) {
    ++begin;
  }
  while (end > begin && IsBlank(text.at(end - 1))) {
    --end;
  }
  return text.mid(begin, end - begin);
}

// What one line means to the reader.
struct ParsedLine {
  enum Kind { kOther, kSection, kKey } kind = kOther;
  bool blank = false;
  QString name;   // section or key name, trimmed
  QString value;  // key value, trimmed
};

ParsedLine Parse(const QByteArray& body) {
  ParsedLine parsed;
  const QString text = TrimBlanks(cp932::Decode(body));
  parsed.blank = text.isEmpty();
  if (text.startsWith(u'[')) {
    const qsizetype close = text.indexOf(u']');
    if (close > 0) {
      parsed.kind = ParsedLine::kSection;
      parsed.name = TrimBlanks(text.mid(1, close - 1));
    }
    return parsed;
  }
  if (text.startsWith(u';')) {
    return parsed;  // comment
  }
  const qsizetype equals = text.indexOf(u'=');
  if (equals <= 0) {
    return parsed;
  }
  parsed.kind = ParsedLine::kKey;
  parsed.name = TrimBlanks(text.left(equals));
  parsed.value = TrimBlanks(text.mid(equals + 1));
  return parsed;
}

bool SameName(const QString& a, const QString& b) {
  return QString::compare(a, b, Qt::CaseInsensitive) == 0;
}

// Where a key stands in the file, as far as the first matching section goes.
struct Location {
  qsizetype section_line = -1;  // heading line of the first matching section
  qsizetype key_line = -1;      // first line of the key inside it
  qsizetype last_entry = -1;    // last non-blank line of that section
  std::optional<QString> value;
};

Location Locate(const std::vector<Line>& lines, const QString& section, const QString& key) {
  Location location;
  bool inside = false;
  for (qsizetype i = 0; i < static_cast<qsizetype>(lines.size()); ++i) {
    const ParsedLine parsed = Parse(lines[i].body);
    if (parsed.kind == ParsedLine::kSection) {
      if (inside) {
        break;  // the first matching section ended
      }
      inside = SameName(parsed.name, section);
      if (inside) {
        location.section_line = i;
        location.last_entry = i;
      }
      continue;
    }
    if (!inside) {
      continue;
    }
    if (!parsed.blank) {
      location.last_entry = i;
    }
    if (parsed.kind == ParsedLine::kKey && location.key_line < 0 && SameName(parsed.name, key)) {
      location.key_line = i;
      location.value = parsed.value;
    }
  }
  return location;
}

// The line end the file already uses, so that added lines match it.
QByteArray PreferredEnding(const std::vector<Line>& lines) {
  for (const Line& line : lines) {
    if (EndsLine(line.ending)) {
      return line.ending;
    }
  }
  return QByteArrayLiteral("\r\n");
}

// Gives a line that had none a line end. A body that ends in a CR keeps it
// only when the end added is a CR LF: before a bare LF the reader would take
// that CR as part of the line end, and the value would change.
void EndLine(Line& line, const QByteArray& ending) {
  line.ending = line.body.endsWith('\r') && ending == "\n" ? QByteArrayLiteral("\r\n") : ending;
}

QByteArray Join(const std::vector<Line>& lines) {
  QByteArray out;
  for (const Line& line : lines) {
    out += line.body;
    out += line.ending;
  }
  return out;
}

}  // namespace

std::optional<QString> IniFile::FindValue(const QByteArray& content, const QString& section,
                                          const QString& key) {
  return Locate(SplitLines(content), section, key).value;
}

QByteArray IniFile::SetValue(const QByteArray& content, const QString& section, const QString& key,
                             const QString& value) {
  std::vector<Line> lines = SplitLines(content);
  const Location location = Locate(lines, section, key);
  const QByteArray ending = PreferredEnding(lines);
  // A line break inside a value would split it into lines of its own.
  QString one_line = value;
  one_line.replace(u'\r', u' ').replace(u'\n', u' ');

  if (location.key_line >= 0) {
    if (location.value == one_line) {
      return content;
    }
    // Keep the key as it is spelt in the file; only the value changes.
    Line& line = lines[location.key_line];
    const QString old_text = cp932::Decode(line.body);
    const QString spelt_key = TrimBlanks(old_text.left(old_text.indexOf(u'=')));
    line.body = cp932::Encode(spelt_key + u'=' + one_line);
    return Join(lines);
  }

  const Line new_line{cp932::Encode(key + u'=' + one_line), ending};
  if (location.section_line >= 0) {
    const qsizetype after = location.last_entry;
    if (!EndsLine(lines[after].ending)) {
      EndLine(lines[after], ending);
    }
    lines.insert(lines.begin() + after + 1, new_line);
    return Join(lines);
  }

  if (!lines.empty() && !EndsLine(lines.back().ending)) {
    EndLine(lines.back(), ending);
  }
  lines.push_back({cp932::Encode(u'[' + section + u']'), ending});
  lines.push_back(new_line);
  return Join(lines);
}

std::optional<QString> IniFile::Read(const QString& path, const QString& section,
                                     const QString& key) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) {
    return std::nullopt;
  }
  return FindValue(file.readAll(), section, key);
}

bool IniFile::Write(const QString& path, const QString& section, const QString& key,
                    const QString& value) {
  return Write(path, std::vector<Entry>{{section, key, value}});
}

bool IniFile::Write(const QString& path, const std::vector<Entry>& entries) {
  QByteArray content;
  {
    QFile file(path);
    if (file.exists()) {
      if (!file.open(QIODevice::ReadOnly)) {
        return false;  // never replace a file we could not read: its lines would be lost
      }
      content = file.readAll();
    }
  }
  const QFileInfo info(path);
  if (!QDir().mkpath(info.absolutePath())) {
    return false;
  }
  QByteArray updated = content;
  for (const Entry& entry : entries) {
    updated = SetValue(updated, entry.section, entry.key, entry.value);
  }
  return WriteFileAtomically(path, updated).ok;
}

}  // namespace parlatone
