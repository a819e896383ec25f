// SPDX-License-Identifier: GPL-3.0-or-later
#include "voices/copies_registration.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>

#include "core/messages.h"
#include "core/operator.h"
#include "core/text.h"
#include "voices/registration_session.h"

namespace parlatone {

using namespace Qt::StringLiterals;

CopiesRegistration::CopiesRegistration(QString folder)
    : folder_(std::move(folder)),
      held_before_(QDir(folder_).entryList(QDir::Files | QDir::Hidden)) {}

std::optional<CopiesRegistration> CopiesRegistration::Start(
    const QStringList& sources, const QString& sound_folder, Operator& op,
    const std::function<QString(const QString& start)>& choose_folder) {
  QString folder = sound_folder;
  const bool beside_sources = std::any_of(
      sources.begin(), sources.end(),
      [&](const QString& source) { return QFileInfo(FolderOf(source)) == QFileInfo(folder); });
  bool choose = folder.isEmpty() || beside_sources || !QFileInfo(folder).isDir();
  if (!choose) {
    MessageRequest where;
    where.text = QCoreApplication::translate(
                     "CopiesRegistration", "変換したファイルは次のフォルダに保存します。\r\n\r\n%1")
                     .arg(QDir::toNativeSeparators(folder));
    where.title_number = msg::kTitleConfirm;
    where.title = GetMessage(msg::kTitleConfirm);
    where.icon = MessageIcon::kQuestion;
    where.buttons = MessageButtons::kYesNoCancel;
    where.yes_caption = QCoreApplication::translate("CopiesRegistration", "このフォルダに保存");
    where.no_caption = QCoreApplication::translate("CopiesRegistration", "別のフォルダを選ぶ...");
    const MessageAnswer answer = op.ShowMessage(where);
    if (answer == MessageAnswer::kCancel) {
      return std::nullopt;
    }
    choose = answer == MessageAnswer::kNo;
  }
  if (choose) {
    folder = choose_folder(folder.isEmpty() ? FolderOf(sources.front()) : folder);
    if (folder.isEmpty()) {
      return std::nullopt;
    }
  }
  return CopiesRegistration(folder);
}

int CopiesRegistration::Register(RegistrationSession& session, const QList<ConvertedCopy>& copies,
                                 Operator& op) const {
  if (copies.isEmpty()) {
    return -1;
  }
  QStringList outputs;
  for (const ConvertedCopy& copy : copies) {
    outputs << copy.output;
  }
  const RegistrationResult registered = session.Register(outputs, op);
  // Copies this conversion made that did not become voices (the list or the
  // capacity ran out, or a name was taken) would only clutter the folder.
  for (const QString& output : outputs) {
    if (!session.List().HoldsFile(output) && !held_before_.contains(QFileInfo(output).fileName())) {
      QFile::remove(output);
    }
  }
  for (const ConvertedCopy& copy : copies) {
    if (copy.comment.isEmpty()) {
      continue;
    }
    for (int slot = 0; slot < session.List().size(); ++slot) {
      if (session.List()[slot].NAME.compare(copy.name, Qt::CaseInsensitive) == 0 &&
          session.List()[slot].FilePath == copy.output) {
        session.EditComment(slot, copy.comment);
      }
    }
  }
  return registered.last_slot;
}

}  // namespace parlatone
