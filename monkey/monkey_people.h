// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>

#include <functional>
#include <random>
#include <vector>

#include "core/operator.h"
#include "gui/choosers.h"
#include "gui/gui_operator.h"

namespace parlatone::monkey {

// What happened at the operator's side since the checks last looked: the
// questions answered, the files chosen, the windows confirmed, the loads. The checks read it to
// tell a change the operator allowed from one nobody asked about.
struct OperatorEvents {
  bool answered_yes = false;  // a question answered Yes
  bool save_chosen = false;   // a file to write was chosen
  bool confirmed = false;     // a window's OK, a save or card-making button
  bool loaded = false;        // a project file was loaded
  void Clear() { *this = {}; }
};

// The editor's own operator (real message boxes, which the monkey answers
// by clicking them like a person), remembering what it was asked and what
// the answer was, and how deep in its waits and questions the program is.
class MonkeyOperator : public Operator {
 public:
  explicit MonkeyOperator(std::function<void(const QString&)> log) : log_(std::move(log)) {}

  MessageAnswer ShowMessage(const MessageRequest& request) override;
  void SetBusy(bool busy) override;
  void SetProgress(const QString& caption, int value, int maximum) override;
  void Pause(int milliseconds) override;
  void ProcessPendingEvents() override;

  // Nothing half done: no question open, no wait, no progress, no busy work.
  bool Quiet() const {
    return questions_ == 0 && pauses_ == 0 && processing_ == 0 && busy_ == 0 && !progress_;
  }
  // In a wait that takes no input (a pause between auditions, say).
  bool Pausing() const { return pauses_ > 0; }
  // Message boxes shown since the start, notices included.
  int Shown() const { return shown_; }

  OperatorEvents events;

 private:
  GuiOperator real_;
  std::function<void(const QString&)> log_;
  int questions_ = 0;
  int shown_ = 0;
  int pauses_ = 0;
  int processing_ = 0;
  int busy_ = 0;
  bool progress_ = false;
};

// The files a person would pick: those of the pool the chooser's filter
// takes, sometimes none (Cancel); files to write go to the output folder.
class MonkeyChoosers : public Choosers {
 public:
  MonkeyChoosers(std::mt19937& random, QStringList pool, QStringList folders, QString out_folder,
                 OperatorEvents& events, std::function<void(const QString&)> log);

  QString ChooseOpenFile(QWidget* owner, const FileFilter& filter, const QString& initial_folder,
                         const QString& title) override;
  QStringList ChooseOpenFiles(QWidget* owner, const FileFilter& filter,
                              const QString& initial_folder, const QString& title) override;
  QString ChooseSaveFile(QWidget* owner, const FileFilter& filter, const QString& initial_folder,
                         const QString& proposed_name, const QString& default_extension,
                         const QString& title) override;
  QString ChooseFolder(QWidget* owner, const QString& title,
                       const QString& initial_folder) override;
  QString ChooseFileName(QWidget* owner, const FileFilter& filter, const QString& initial,
                         const QString& title) override;

  // Every sound file chosen so far in the registration window, in order.
  QStringList chosen_sounds;

 private:
  bool Cancelled(int percent);
  const QString& AnyOf(const QStringList& list);
  static bool ForRegistration(const QWidget* owner);
  QStringList Matching(const FileFilter& filter) const;

  std::mt19937& random_;
  QStringList pool_;
  QStringList folders_;
  QString out_folder_;
  OperatorEvents& events_;
  std::function<void(const QString&)> log_;
};

}  // namespace parlatone::monkey
