// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QFile>
#include <QString>
#include <QStringList>

#include <memory>

namespace parlatone {

// The card's folder, held open from the moment the card was checked until
// the read-back ends. Every file is made, removed and read inside that very
// folder, never by its path: once a card is pulled, its path names the bare
// mount-point folder of the computer's own disk, and nothing may land there.
class CardDirectory {
 public:
  ~CardDirectory();
  CardDirectory(const CardDirectory&) = delete;
  CardDirectory& operator=(const CardDirectory&) = delete;

  // Nothing when the folder cannot be opened.
  static std::unique_ptr<CardDirectory> Open(const QString& path);

  // A new, empty file of that name for writing (one in the way is replaced;
  // a link is never followed).
  bool Create(const QString& name, QFile& file) const;
  bool OpenForReading(const QString& name, QFile& file) const;
  bool Remove(const QString& name) const;
  // Everything written so far is on the card's medium.
  bool Sync() const;

  // The top level in directory order: the order the entries stand in, which
  // is what the players read.
  struct Listing {
    QStringList files;
    QStringList folders;
  };
  Listing List() const;

 private:
  explicit CardDirectory(QString path);

  QString path_;
#ifdef Q_OS_UNIX
  int fd_ = -1;
#endif
};

}  // namespace parlatone
