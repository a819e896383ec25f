// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QLocalServer>
#include <QObject>
#include <QString>

namespace parlatone {

// One editor per user. The running editor listens on a local socket beside
// its lock; a second start (a double click on a project file in the file
// manager, say) hands its file over, or only asks to be brought to the
// front, and ends.
class InstanceLink : public QObject {
  Q_OBJECT

 public:
  explicit InstanceLink(QString server_name, QObject* parent = nullptr);

  // The running editor starts listening; a socket left by an editor that
  // died is taken over.
  bool Listen();

  // What a second start does: hands over the file (empty: none). False when
  // no editor listens.
  static bool HandOver(const QString& server_name, const QString& file, int timeout_ms = 3000);

 Q_SIGNALS:
  // A second start handed over a file (empty: it only wants the editor seen).
  void HandedOver(const QString& file);

 private:
  void Accept();

  QString server_name_;
  QLocalServer server_;
};

}  // namespace parlatone
