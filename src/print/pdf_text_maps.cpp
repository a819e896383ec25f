// SPDX-License-Identifier: GPL-3.0-or-later
#include "print/pdf_text_maps.h"

#include <QHash>
#include <QRawFont>
#include <QRegularExpression>

#include <algorithm>
#include <map>
#include <optional>
#include <vector>

namespace parlatone {

using namespace Qt::StringLiterals;

namespace {

// A code point as the maps write it: UTF-16 units in hex, big-endian.
QByteArray Hex(char32_t code_point) {
  QByteArray hex;
  char16_t units[2];
  const int count = QChar::requiresSurrogates(code_point) ? 2 : 1;
  if (count == 2) {
    units[0] = QChar::highSurrogate(code_point);
    units[1] = QChar::lowSurrogate(code_point);
  } else {
    units[0] = static_cast<char16_t>(code_point);
  }
  for (int i = 0; i < count; ++i) {
    hex += QByteArray::number(units[i], 16).rightJustified(4, '0').toUpper();
  }
  return hex;
}

// One code point from the hex of a map entry; nothing for anything else.
std::optional<char32_t> CodePoint(QByteArrayView hex) {
  if (hex.size() != 4 && hex.size() != 8) {
    return std::nullopt;
  }
  bool ok = false;
  const uint first = hex.first(4).toUInt(&ok, 16);
  if (!ok) {
    return std::nullopt;
  }
  if (hex.size() == 4) {
    return QChar::isSurrogate(first) ? std::nullopt : std::optional<char32_t>(first);
  }
  const uint second = hex.last(4).toUInt(&ok, 16);
  if (!ok || !QChar::isHighSurrogate(first) || !QChar::isLowSurrogate(second)) {
    return std::nullopt;
  }
  return QChar::surrogateToUcs4(static_cast<char16_t>(first), static_cast<char16_t>(second));
}

// A bfrange line of Qt's maps: "<0001> <0024> <0041>" (consecutive code
// points) or "<0001> <0003> [<0050> <0061> <0072> ]". Rewritten with every
// code point mended; the array form where a consecutive run no longer is.
std::optional<QByteArray> MendRange(const QByteArray& line,
                                    const std::function<char32_t(char32_t)>& mend) {
  static const QRegularExpression range(
      uR"(^<([0-9A-Fa-f]{4})> <([0-9A-Fa-f]{4})> (?:<([0-9A-Fa-f]+)>|\[((?:<[0-9A-Fa-f]+> )*)\])$)"_s);
  const QRegularExpressionMatch match = range.match(QString::fromLatin1(line));
  if (!match.hasMatch()) {
    return std::nullopt;
  }
  const uint first = match.captured(1).toUInt(nullptr, 16);
  const uint last = match.captured(2).toUInt(nullptr, 16);
  if (last < first) {
    return std::nullopt;
  }
  std::vector<char32_t> targets;
  if (match.hasCaptured(3)) {
    const std::optional<char32_t> start = CodePoint(match.captured(3).toLatin1());
    if (!start) {
      return std::nullopt;
    }
    for (uint i = 0; i <= last - first; ++i) {
      targets.push_back(*start + i);
    }
  } else {
    static const QRegularExpression element(u"<([0-9A-Fa-f]+)>"_s);
    for (const QRegularExpressionMatch& item : element.globalMatch(match.captured(4))) {
      const std::optional<char32_t> target = CodePoint(item.captured(1).toLatin1());
      if (!target) {
        return std::nullopt;
      }
      targets.push_back(*target);
    }
    if (targets.size() != last - first + 1) {
      return std::nullopt;
    }
  }
  bool changed = false;
  for (char32_t& target : targets) {
    const char32_t mended = mend(target);
    changed = changed || mended != target;
    target = mended;
  }
  if (!changed) {
    return line;
  }
  QByteArray mended = line.left(14) + '[';
  for (const char32_t target : targets) {
    mended += '<' + Hex(target) + "> ";
  }
  return mended + ']';
}

QByteArray MendMap(const QByteArray& map, const std::function<char32_t(char32_t)>& mend) {
  QList<QByteArray> lines = map.split('\n');
  bool in_ranges = false;
  for (QByteArray& line : lines) {
    if (line.endsWith(" beginbfrange")) {
      in_ranges = true;
    } else if (line == "endbfrange") {
      in_ranges = false;
    } else if (in_ranges) {
      if (const std::optional<QByteArray> mended = MendRange(line, mend)) {
        line = *mended;
      }
    }
  }
  return lines.join('\n');
}

struct Edit {
  qsizetype at;       // where the replaced bytes start
  qsizetype removed;  // how many
  QByteArray inserted;
};

}  // namespace

void PaintedText::Add(const QString& text, const QFont& font) {
  for (const char32_t code_point : text.toUcs4()) {
    characters.insert(code_point);
  }
  const bool known = std::any_of(fonts.begin(), fonts.end(), [&font](const QFont& other) {
    return other.family() == font.family() && other.weight() == font.weight() &&
           other.style() == font.style();
  });
  if (!known) {
    fonts << font;
  }
}

QByteArray RewritePdfTextMaps(const QByteArray& pdf,
                              const std::function<char32_t(char32_t)>& mend) {
  // The map objects, as the fonts name them.
  static const QRegularExpression reference(u"/ToUnicode (\\d+) 0 R"_s);
  std::vector<Edit> edits;
  const QString text = QString::fromLatin1(pdf);
  QSet<int> seen;
  for (const QRegularExpressionMatch& match : reference.globalMatch(text)) {
    const int object = match.captured(1).toInt();
    if (seen.contains(object)) {
      continue;
    }
    seen.insert(object);
    const QRegularExpression header(
        u"(?:^|\\n)%1 0 obj\\n<< /Length (\\d+) >>\\nstream\\n"_s.arg(object));
    const QRegularExpressionMatch found = header.match(text);
    if (!found.hasMatch()) {
      return pdf;
    }
    const qsizetype start = found.capturedEnd(0);
    const qsizetype length = found.captured(1).toLongLong();
    if (start + length > pdf.size()) {
      return pdf;
    }
    const QByteArray mended = MendMap(pdf.mid(start, length), mend);
    if (mended.size() == length && mended == pdf.mid(start, length)) {
      continue;
    }
    edits.push_back(
        {found.capturedStart(1), found.capturedLength(1), QByteArray::number(mended.size())});
    edits.push_back({start, length, mended});
  }
  if (edits.empty()) {
    return pdf;
  }
  std::sort(edits.begin(), edits.end(), [](const Edit& a, const Edit& b) { return a.at < b.at; });
  // Where a byte of the old file is in the new one.
  const auto moved = [&edits](qsizetype offset) {
    qsizetype shift = 0;
    for (const Edit& edit : edits) {
      if (edit.at + edit.removed <= offset) {
        shift += edit.inserted.size() - edit.removed;
      }
    }
    return offset + shift;
  };

  // The cross-reference table (one section, as Qt writes it) and its offset.
  static const QRegularExpression xref(u"\\nxref\\n0 (\\d+)\\n"_s);
  static const QRegularExpression start_xref(u"\\nstartxref\\n(\\d+)"_s);
  const QRegularExpressionMatch table = xref.match(text);
  QRegularExpressionMatch table_start;
  for (const QRegularExpressionMatch& match : start_xref.globalMatch(text)) {
    table_start = match;  // the last one counts
  }
  if (!table.hasMatch() || !table_start.hasMatch()) {
    return pdf;
  }
  const int entries = table.captured(1).toInt();
  const qsizetype first_entry = table.capturedEnd(0);
  constexpr qsizetype kEntryBytes = 20;
  if (first_entry + entries * kEntryBytes > pdf.size() ||
      std::any_of(edits.begin(), edits.end(),
                  [first_entry](const Edit& edit) { return edit.at >= first_entry; })) {
    return pdf;
  }
  std::vector<Edit> table_edits;
  for (int i = 0; i < entries; ++i) {
    const qsizetype at = first_entry + i * kEntryBytes;
    if (pdf.at(at + 17) != 'n') {
      continue;  // a free entry
    }
    const qsizetype offset = pdf.mid(at, 10).toLongLong();
    table_edits.push_back({at, 10, QByteArray::number(moved(offset)).rightJustified(10, '0')});
  }
  table_edits.push_back({table_start.capturedStart(1), table_start.capturedLength(1),
                         QByteArray::number(moved(table.capturedStart(0) + 1))});

  QByteArray result;
  result.reserve(pdf.size() + 4096);
  qsizetype from = 0;
  for (const std::vector<Edit>* list : {&edits, &table_edits}) {
    for (const Edit& edit : *list) {
      result += pdf.mid(from, edit.at - from);
      result += edit.inserted;
      from = edit.at + edit.removed;
    }
  }
  result += pdf.mid(from);
  return result;
}

QByteArray MendPdfTextMaps(const QByteArray& pdf, const PaintedText& painted) {
  // Per font, the glyph each painted character is drawn with.
  struct FontGlyphs {
    QRawFont font;
    QHash<quint32, char32_t> painted_by_glyph;
  };
  std::vector<FontGlyphs> fonts;
  for (const QFont& font : painted.fonts) {
    FontGlyphs glyphs{QRawFont::fromFont(font), {}};
    if (!glyphs.font.isValid()) {
      continue;
    }
    for (const char32_t code_point : painted.characters) {
      const QString character = QString::fromUcs4(&code_point, 1);
      const QList<quint32> indexes = glyphs.font.glyphIndexesForString(character);
      if (indexes.size() == 1 && indexes.front() != 0) {
        glyphs.painted_by_glyph.insert(indexes.front(), code_point);
      }
    }
    fonts.push_back(std::move(glyphs));
  }
  return RewritePdfTextMaps(pdf, [&](char32_t code_point) -> char32_t {
    if (painted.characters.contains(code_point)) {
      return code_point;
    }
    const QString character = QString::fromUcs4(&code_point, 1);
    for (const FontGlyphs& glyphs : fonts) {
      const QList<quint32> indexes = glyphs.font.glyphIndexesForString(character);
      if (indexes.size() == 1 && indexes.front() != 0) {
        const auto twin = glyphs.painted_by_glyph.constFind(indexes.front());
        if (twin != glyphs.painted_by_glyph.cend()) {
          return *twin;
        }
      }
    }
    return code_point;
  });
}

}  // namespace parlatone
