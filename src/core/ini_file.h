// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>

#include <optional>
#include <vector>

namespace parlatone {

// Reads and writes Windows-style initialisation files in code page 932, one
// key at a time, the way the devices' tools always have:
//  - section and key names compare without regard to letter case, blanks
//    around them and around "=" do not count, and the first of duplicate
//    sections or keys wins;
//  - a missing file, section or key reads as no value;
//  - writing a key rewrites that one line and keeps every other byte of the
//    file as it was: comments, lines without "=", duplicates, blank lines and
//    line ends. Operators and support staff edit these files by hand.
// Parsing happens on decoded text line by line, so Shift-JIS trail bytes that
// look like "[", "]" or "\" are never taken for syntax.
class IniFile {
 public:
  struct Entry {
    QString section;
    QString key;
    QString value;
  };

  // The value of section/key in the file content, or nothing when absent.
  static std::optional<QString> FindValue(const QByteArray& content, const QString& section,
                                          const QString& key);

  // The file content with section/key set to value: the key's line replaced
  // in place, or a line added at the end of the section, or the section added
  // at the end of the file. A key that already holds the value keeps its line
  // byte for byte.
  static QByteArray SetValue(const QByteArray& content, const QString& section, const QString& key,
                             const QString& value);

  // File versions of the above. Read: a file that cannot be read has no
  // values. Write: creates the file and its folder when needed, replaces the
  // file only once the new content is completely on disk; false on failure.
  static std::optional<QString> Read(const QString& path, const QString& section,
                                     const QString& key);
  static bool Write(const QString& path, const QString& section, const QString& key,
                    const QString& value);
  // Several keys in one replacement of the file, in order: either all of
  // them reach the disk or none does.
  static bool Write(const QString& path, const std::vector<Entry>& entries);
};

}  // namespace parlatone
