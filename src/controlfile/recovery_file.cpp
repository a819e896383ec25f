// SPDX-License-Identifier: GPL-3.0-or-later
#include "controlfile/recovery_file.h"

#include <QCryptographicHash>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QUrl>

#include <iterator>

#include "controlfile/control_file_loader.h"
#include "controlfile/control_file_writer.h"
#include "core/cp932.h"
#include "core/file_io.h"
#include "core/project.h"
#include "core/series.h"

namespace parlatone {

using namespace Qt::StringLiterals;

namespace {

// The last line: the checksum of every byte before it. A loader of control
// files takes it for a comment beyond the last voice and skips it.
constexpr char kCheckPrefix[] = "CHECK=";
// Among the owner details, as the sound paths of a temporary save are.
constexpr char16_t kModePrefix[] = u"MODE=";
// The project's own file, percent-encoded UTF-8: a path may hold characters
// the code page cannot.
constexpr char16_t kFilePrefix[] = u"FILE=";

QByteArray Checksum(const QByteArray& bytes) {
  return QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex();
}

}  // namespace

QString RecoveryFilePath(const QString& base, int mode) {
  return base.isEmpty() ? QString() : base + u'.' + TemporaryFileExtension(mode);
}

bool WriteRecoveryFile(const Project& project, const QString& path, const QString& project_file) {
  if (project.voices.isEmpty() || path.isEmpty()) {
    return false;
  }
  QString text = ControlFileText(project, true, QDateTime::currentDateTime(), true);
  // The series goes with the owner details, before the card information.
  const qsizetype card_section = text.indexOf(u"\r\n#1\r\n"_s);
  if (card_section < 0) {
    return false;
  }
  QString details = QString::fromUtf16(kModePrefix) + QString::number(project.Mode()) + u"\r\n"_s;
  if (!project_file.isEmpty()) {
    details += QString::fromUtf16(kFilePrefix) +
               QString::fromLatin1(QUrl::toPercentEncoding(project_file)) + u"\r\n"_s;
  }
  text.insert(card_section + 2, details);
  QByteArray bytes = cp932::Encode(text);
  bytes += kCheckPrefix + Checksum(bytes) + "\r\n";
  QDir().mkpath(QFileInfo(path).absolutePath());
  return WriteFileAtomically(path, bytes).ok;
}

RecoveryCheck CheckRecoveryFile(const QString& path, int current_mode) {
  RecoveryCheck check;
  QFile file(path);
  if (path.isEmpty() || !file.open(QIODevice::ReadOnly)) {
    return check;
  }
  const QByteArray bytes = file.readAll();
  check.state = RecoveryCheck::State::kDamaged;
  const qsizetype last_line = bytes.lastIndexOf(QByteArray("\r\n") + kCheckPrefix);
  if (last_line < 0 || !bytes.endsWith("\r\n")) {
    return check;
  }
  const QByteArray body = bytes.left(last_line + 2);
  const QByteArray stated =
      bytes.mid(last_line + 2 + qstrlen(kCheckPrefix)).chopped(2);  // without its CR LF
  if (stated != Checksum(body)) {
    return check;
  }
  for (const QString& line : cp932::Decode(body).split(u"\r\n"_s)) {
    if (line.startsWith(QString::fromUtf16(kModePrefix))) {
      bool ok = false;
      check.mode = line.mid(5).toInt(&ok);
      if (!ok || check.mode < 0 || check.mode >= kSeriesCount) {
        check.mode = -1;
        return check;
      }
    } else if (line.startsWith(QString::fromUtf16(kFilePrefix))) {
      check.project_file =
          QUrl::fromPercentEncoding(line.mid(qsizetype(std::size(kFilePrefix)) - 1).toLatin1());
    }
  }
  if (check.mode < 0) {
    return check;
  }
  check.state = check.mode == current_mode ? RecoveryCheck::State::kUsable
                                           : RecoveryCheck::State::kOtherSeries;
  return check;
}

bool RestoreRecoveryFile(Project& project, const QString& path, Operator& op) {
  if (!LoadWpjFile(project, path, op)) {
    return false;
  }
  // Nothing of it is saved anywhere yet.
  project.PageEdited[0] = true;
  return true;
}

}  // namespace parlatone
