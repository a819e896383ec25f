// SPDX-License-Identifier: GPL-3.0-or-later
#include "json_writer.h"

#include <QLocale>

namespace parlatone::cli {

void JsonWriter::Indent() {
  bytes_.append(static_cast<qsizetype>(filled_.size() * 4), ' ');
}

void JsonWriter::BeforeValue() {
  if (after_key_) {
    after_key_ = false;
    return;
  }
  if (!filled_.empty()) {
    if (filled_.back()) {
      bytes_.append(",\n");
    }
    filled_.back() = true;
    Indent();
  }
}

void JsonWriter::BeginObject() {
  BeforeValue();
  bytes_.append("{\n");
  filled_.push_back(false);
}

void JsonWriter::BeginArray() {
  BeforeValue();
  bytes_.append("[\n");
  filled_.push_back(false);
}

void JsonWriter::Close(char bracket) {
  const bool filled = filled_.back();
  filled_.pop_back();
  if (filled) {
    bytes_.append('\n');
  }
  Indent();
  bytes_.append(bracket);
  if (filled_.empty()) {
    bytes_.append('\n');
  }
}

void JsonWriter::EndObject() {
  Close('}');
}

void JsonWriter::EndArray() {
  Close(']');
}

void JsonWriter::Key(QLatin1StringView key) {
  BeforeValue();
  bytes_.append('"').append(key.data(), key.size()).append("\": ");
  after_key_ = true;
}

void JsonWriter::Value(const QString& text) {
  BeforeValue();
  bytes_.append('"');
  const qsizetype size = text.size();
  for (qsizetype i = 0; i < size;) {
    const char16_t u = text.at(i).unicode();
    if (u >= 0x80) {
      // A run of other characters as UTF-8, so surrogate pairs stay whole.
      qsizetype end = i + 1;
      while (end < size && text.at(end).unicode() >= 0x80) {
        ++end;
      }
      bytes_.append(QStringView(text).mid(i, end - i).toUtf8());
      i = end;
      continue;
    }
    ++i;
    switch (u) {
      case u'"':
        bytes_.append("\\\"");
        break;
      case u'\\':
        bytes_.append("\\\\");
        break;
      case u'\b':
        bytes_.append("\\b");
        break;
      case u'\f':
        bytes_.append("\\f");
        break;
      case u'\n':
        bytes_.append("\\n");
        break;
      case u'\r':
        bytes_.append("\\r");
        break;
      case u'\t':
        bytes_.append("\\t");
        break;
      default:
        if (u < 0x20) {
          static const char kHex[] = "0123456789abcdef";
          bytes_.append("\\u00").append(kHex[u >> 4]).append(kHex[u & 0xF]);
        } else {
          bytes_.append(static_cast<char>(u));
        }
    }
  }
  bytes_.append('"');
}

void JsonWriter::Value(qint64 number) {
  BeforeValue();
  bytes_.append(QByteArray::number(number));
}

void JsonWriter::Value(double number) {
  BeforeValue();
  bytes_.append(QByteArray::number(number, 'g', QLocale::FloatingPointShortest));
}

void JsonWriter::Null() {
  BeforeValue();
  bytes_.append("null");
}

void JsonWriter::Value(bool flag) {
  BeforeValue();
  bytes_.append(flag ? "true" : "false");
}

void JsonWriter::Value(const QStringList& texts) {
  BeginArray();
  for (const QString& text : texts) {
    Value(text);
  }
  EndArray();
}

}  // namespace parlatone::cli
