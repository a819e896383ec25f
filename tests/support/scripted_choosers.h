// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>

#include <deque>

#include <gtest/gtest.h>

#include "gui/choosers.h"

namespace parlatone::testing {

// File and folder choosers answered from a queue, in the order they are
// asked; one that the test did not expect fails it.
class ScriptedChoosers : public Choosers {
 public:
  std::deque<QString> answers;
  // What the many-files chooser gives, in order.
  std::deque<QStringList> selections;
  FileFilter last_filter;
  // Where the last chooser opened, and the name a save chooser proposed.
  QString last_folder;
  QString last_proposed_name;

  QString ChooseOpenFile(QWidget*, const FileFilter& filter, const QString& folder,
                         const QString&) override {
    last_filter = filter;
    last_folder = folder;
    return Next(answers);
  }
  QStringList ChooseOpenFiles(QWidget*, const FileFilter& filter, const QString& folder,
                              const QString&) override {
    last_filter = filter;
    last_folder = folder;
    return Next(selections);
  }
  QString ChooseSaveFile(QWidget*, const FileFilter& filter, const QString& folder,
                         const QString& proposed_name, const QString&, const QString&) override {
    last_filter = filter;
    last_folder = folder;
    last_proposed_name = proposed_name;
    return Next(answers);
  }
  QString ChooseFolder(QWidget*, const QString&, const QString& folder) override {
    last_folder = folder;
    return Next(answers);
  }

 private:
  template <typename T>
  static T Next(std::deque<T>& queue) {
    if (queue.empty()) {
      ADD_FAILURE() << "unexpected chooser";
      return {};
    }
    T answer = queue.front();
    queue.pop_front();
    return answer;
  }
};

}  // namespace parlatone::testing
