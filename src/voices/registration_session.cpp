// SPDX-License-Identifier: GPL-3.0-or-later
#include "voices/registration_session.h"

#include <QCoreApplication>
#include <QLocale>

#include "core/messages.h"
#include "core/operator.h"
#include "core/project.h"
#include "core/settings.h"
#include "core/text.h"
#include "sound/voice_record_text.h"

namespace parlatone {

using namespace Qt::StringLiterals;

namespace {

// Every question of the window throws work away when answered Yes.
bool Ask(Operator& op, int number) {
  return AskBeforeDiscarding(op, number) == MessageAnswer::kYes;
}

}  // namespace

RegistrationSession::RegistrationSession(Project& project, QString settings_file, QObject* parent)
    : QObject(parent),
      project_(project),
      settings_file_(std::move(settings_file)),
      list_(project.VoicesRegistered ? WorkingVoiceList::FromProject(project)
                                     : WorkingVoiceList(project.ChannelCount)),
      capacity_at_opening_(project.settings.FileCapacity) {}

int RegistrationSession::PageOfSlot(int slot) const {
  return slot / project_.ChannelsPerPage;
}

int RegistrationSession::Capacity() const {
  return project_.settings.FileCapacity;
}

RegistrationResult RegistrationSession::Register(const QStringList& paths, Operator& op) {
  if (paths.isEmpty()) {
    return {};
  }
  project_.settings.WavePath = FolderOf(paths.front());
  AcceptanceRules rules = AcceptanceRules::From(project_);
  rules.offer_conversion = true;
  // The voices go into the free slots in order, from the first one on.
  const int first_free = list_.FirstFree();
  const RegistrationResult result = RegisterFiles(list_, paths, rules, op);
  if (result.processed > 0) {
    changed_ = true;
  }
  if (result.added()) {
    Q_EMIT VoicesChanged(first_free, result.last_slot);
  }
  return result;
}

void RegistrationSession::EditComment(int slot, const QString& comment) {
  if (slot < 0 || slot >= list_.size() || list_[slot].NAME.isEmpty()) {
    return;
  }
  if (list_[slot].COMENTS != comment) {
    list_[slot].COMENTS = comment;
    changed_ = true;
    Q_EMIT VoicesChanged(slot, slot);
  }
}

bool RegistrationSession::Delete(int slot, Operator& op) {
  if (slot < 0 || slot >= list_.size() || list_[slot].NAME.isEmpty() || !Ask(op, 2028)) {
    return false;
  }
  for (int s = slot; s + 1 < list_.size(); ++s) {
    list_[s] = list_[s + 1];
  }
  list_[list_.size() - 1] = VoiceRecord();
  changed_ = true;
  Q_EMIT VoicesChanged(slot, list_.size() - 1);
  return true;
}

bool RegistrationSession::DeleteAll(Operator& op) {
  if (!Ask(op, 2029)) {
    return false;
  }
  list_ = WorkingVoiceList(list_.size());
  changed_ = true;
  Q_EMIT VoicesChanged(0, list_.size() - 1);
  return true;
}

std::optional<int> RegistrationSession::MoveUp(int slot) {
  if (slot <= 0 || slot >= list_.size() || list_[slot].NAME.isEmpty()) {
    return std::nullopt;
  }
  std::swap(list_[slot], list_[slot - 1]);
  changed_ = true;
  Q_EMIT VoicesChanged(slot - 1, slot);
  return slot - 1;
}

std::optional<int> RegistrationSession::MoveDown(int slot) {
  if (slot < 0 || slot + 1 >= list_.size() || list_[slot].NAME.isEmpty() ||
      list_[slot + 1].NAME.isEmpty()) {
    return std::nullopt;
  }
  std::swap(list_[slot], list_[slot + 1]);
  changed_ = true;
  Q_EMIT VoicesChanged(slot, slot + 1);
  return slot + 1;
}

bool RegistrationSession::ChangeCapacity(int index, Operator& op) {
  if (index == project_.settings.FileCapacity) {
    return true;
  }
  // A choice that still holds every voice costs nothing; only one that
  // would leave the list over the limit empties it, after asking.
  if (!CapacityHolds(list_, project_.Mode(), index)) {
    if (!Ask(op, 2020)) {
      return false;
    }
    list_ = WorkingVoiceList(list_.size());
    Q_EMIT VoicesChanged(0, list_.size() - 1);
  }
  project_.settings.FileCapacity = index;
  changed_ = true;
  return true;
}

QString RegistrationSession::TotalTimeText(bool after_run) const {
  qint64 milliseconds = 0;
  for (int slot = 0; slot < list_.size(); ++slot) {
    bool ok = false;
    const double seconds =
        QLocale::c().toDouble(TextOrDefault(list_[slot].SEC, u"0"_s).trimmed(), &ok);
    if (ok) {
      milliseconds += static_cast<qint64>(std::llround(seconds * 1000));
    }
  }
  if (milliseconds == 0) {
    return {};
  }
  // The unit follows the number directly, as in Japanese; a language that
  // puts a blank between them carries it in its translation of the unit.
  if (after_run) {
    return SecondsText(milliseconds) + GetMessage(2016);
  }
  // The shortest decimal form: 1.75, 2, 0.001.
  return QString::number(static_cast<double>(milliseconds) / 1000, 'g', 15) + GetMessage(2016);
}

QString RegistrationSession::TotalBytesText() const {
  const qint64 bytes = list_.TotalBytes();
  return bytes == 0 ? QString() : QString::number(bytes) + GetMessage(2017);
}

RegistrationSession::OkResult RegistrationSession::Ok(Operator& op) {
  OkResult result;
  for (int slot = 0; slot < list_.size(); ++slot) {
    if (!list_[slot].NAME.isEmpty() && AnsiByteLength(list_[slot].COMENTS) > kMaxCommentBytes) {
      // The editor stops typing at the limit; a longer comment came from a
      // file, so the message names the voice it belongs to.
      ShowMessage(op, 2066, msg::kTitleConfirm, MessageIcon::kExclamation, MessageButtons::kOk,
                  QCoreApplication::translate("RegistrationSession", "\r\nNo.%1（%2）のコメント")
                      .arg(slot + 1, 3, 10, QChar(u'0'))
                      .arg(list_[slot].NAME));
      result.long_comment_slot = slot;
      return result;
    }
  }
  BusyScope busy(op);
  WriteSetting(settings_file_, QString(ini::kSystem), QString(ini::kWavePath),
               project_.settings.WavePath);
  WriteSetting(settings_file_, QString(ini::kSystem), QString(ini::kFileCapacity),
               QString::number(project_.settings.FileCapacity));
  int last = -1;
  for (int slot = 0; slot < list_.size(); ++slot) {
    if (!list_[slot].NAME.isEmpty()) {
      last = slot;
    }
  }
  project_.voices.clear();
  for (int slot = 0; slot <= last; ++slot) {
    project_.voices.append(list_[slot]);
  }
  project_.VoicesRegistered = last >= 0;
  if (changed_) {
    project_
        .PageEdited[static_cast<size_t>(std::clamp(project_.CurrentPage, 0, kMaxPageCount - 1))] =
        true;
    changed_ = false;
  }
  result.closed = true;
  return result;
}

bool RegistrationSession::Cancel(Operator& op) {
  if (changed_ && !Ask(op, 2026)) {
    return false;
  }
  project_.settings.FileCapacity = capacity_at_opening_;
  return true;
}

}  // namespace parlatone
