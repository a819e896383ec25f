// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QLatin1StringView>
#include <QString>
#include <QStringList>

#include <vector>

namespace parlatone::cli {

// Writes JSON straight into bytes, laid out exactly as QJsonDocument's
// indented form (four blanks a level, "key": value), for reports too large
// to build as a document first (`info` over a thousand files). Callers give
// an object's keys in the order QJsonObject keeps them: sorted by code unit.
class JsonWriter {
 public:
  void BeginObject();
  void EndObject();
  void BeginArray();
  void EndArray();
  void Key(QLatin1StringView key);

  void Value(const QString& text);
  void Value(qint64 number);
  void Value(double number);
  void Null();
  void Value(bool flag);
  void Value(const QStringList& texts);

  const QByteArray& bytes() const { return bytes_; }

 private:
  void BeforeValue();
  void Indent();
  void Close(char bracket);

  QByteArray bytes_;
  // Per open container: whether it holds anything yet.
  std::vector<bool> filled_;
  bool after_key_ = false;
};

}  // namespace parlatone::cli
