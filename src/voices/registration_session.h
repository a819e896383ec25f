// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <QString>
#include <QStringList>

#include <optional>

#include "voices/registration.h"

namespace parlatone {

class Operator;
class Project;

// The voice registration window's work, apart from the window: the private
// working list, the changed flag, the page arithmetic of its moves, the
// totals, the capacity choice of the MP3 series, and what OK and Cancel
// do to the project and the settings. Every change of the list is announced,
// so that whatever shows it follows by itself.
class RegistrationSession : public QObject {
  Q_OBJECT

 public:
  // A comment's limit, in code page 932 bytes (20 full-width characters).
  static constexpr int kMaxCommentBytes = 40;

  RegistrationSession(Project& project, QString settings_file, QObject* parent = nullptr);

  const WorkingVoiceList& List() const { return list_; }
  int PageOfSlot(int slot) const;

  // Files chosen or found in a folder: WavePath becomes the folder of the
  // first, then the registration run.
  RegistrationResult Register(const QStringList& paths, Operator& op);
  void EditComment(int slot, const QString& comment);
  // Asks 2028; the voices after the slot move up one.
  bool Delete(int slot, Operator& op);
  // Asks 2029; every slot empties.
  bool DeleteAll(Operator& op);
  // Swaps with the neighbour; the slot the voice is in afterwards, or
  // nothing when it cannot move.
  std::optional<int> MoveUp(int slot);
  std::optional<int> MoveDown(int slot);
  // The MP3 series' capacity choice: taken at once while the voices stay
  // within the new limit; otherwise asks 2020 and empties the list on Yes.
  // False when the operator kept the old choice.
  bool ChangeCapacity(int index, Operator& op);
  int Capacity() const;

  // "1.75秒" / "33118バイト", empty when the total is 0.
  // After a registration run the total is written with three decimals
  // ("82.420秒"); otherwise in its shortest form ("82.42秒").
  QString TotalTimeText(bool after_run = false) const;
  QString TotalBytesText() const;

  // OK: refuses the first comment over the limit (2066 naming the voice,
  // and its slot), else writes WavePath and FileCapacity, commits the list
  // and closes.
  struct OkResult {
    bool closed = false;
    int long_comment_slot = -1;
  };
  OkResult Ok(Operator& op);
  // Cancel or the close box: asks 2026 when something changed; true when
  // the window closes (the capacity chosen at opening comes back).
  bool Cancel(Operator& op);

 Q_SIGNALS:
  // The voices of these slots changed: registered, edited, moved, shifted
  // up by a delete or emptied. The slots themselves stay; only what they
  // hold is new.
  void VoicesChanged(int first_slot, int last_slot);

 private:
  Project& project_;
  QString settings_file_;
  WorkingVoiceList list_;
  int capacity_at_opening_;
  bool changed_ = false;
};

}  // namespace parlatone
