// SPDX-License-Identifier: GPL-3.0-or-later
// editing_child RECOVERY_BASE SOUND...: edits in the real main window, says
// "ready" once the recovery file holds them, and works on until killed.
#include <QApplication>

#include <cstdio>

#include "controlfile/recovery_file.h"
#include "core/paths.h"
#include "core/project.h"
#include "gui/choosers.h"
#include "gui/frm_main.h"
#include "gui/program_table_model.h"
#include "gui/recovery_keeper.h"
#include "support/card_project.h"
#include "support/quiet_operator.h"
#include "voices/registration.h"

using namespace Qt::StringLiterals;
using namespace parlatone;

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  const QStringList arguments = QApplication::arguments();
  Project project;
  testing::UseSeries(project, 4);
  AppPaths paths = ResolveAppPaths();
  paths.recovery_file = arguments[1];
  testing::QuietOperator op;
  QtChoosers choosers(op);  // never asked
  FrmMain window({project, paths, op, choosers});
  window.show();

  WorkingVoiceList list(project.ChannelCount);
  RegisterFiles(list, arguments.mid(2), AcceptanceRules::From(project), op);
  project.voices = list.Voices();
  project.VoicesRegistered = true;
  project.voices[1].COMENTS = u"始業のチャイム"_s;
  project.PageEdited[0] = true;
  ProgramTableModel& model = *window.Model();
  const auto cell = [&model](int row, int column, const QString& value) {
    model.setData(model.index(row, column), value, Qt::EditRole);
  };
  cell(0, kFirstVoiceColumn, project.voices[0].NAME);
  cell(0, kFirstVoiceColumn + 1, project.voices[2].NAME);
  cell(0, kRpColumn, u"3"_s);
  cell(7, kFirstVoiceColumn, project.voices[1].NAME);
  cell(7, kSpColumn, u"2"_s);
  project.card.CardName = u"ANN01"_s;
  project.card.Forder = u"駅構内"_s;
  project.card.Memo[2] = u"停電の前の作業"_s;
  // Where the work came from, with a character the code page lacks.
  window.Recovery().SetProjectFile(u"/srv/案内🔔/ANN01.wpj"_s);
  window.Recovery().Touch();

  // Ready once the edits are on the disk.
  const QString recovery = RecoveryFilePath(paths.recovery_file, project.Mode());
  while (CheckRecoveryFile(recovery, project.Mode()).state != RecoveryCheck::State::kUsable) {
    QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
  }
  std::puts("ready");
  std::fflush(stdout);
  return QApplication::exec();
}
