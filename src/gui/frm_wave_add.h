// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>

#include <memory>

#include "core/paths.h"
#include "gui/window_context.h"

class QComboBox;
class QLabel;
class QPushButton;
class QTabBar;
class QTableView;

namespace parlatone {

class LevelsFeeder;

class Choosers;
class Operator;
class Project;
class RegistrationSession;
class VoiceListModel;
class CommentDelegate;

// The voice registration window: the working voice list page by page, the
// eight voice buttons, the capacity choice of the MP3 series, the totals,
// OK and Cancel. The list is the session's; OK commits it to the project.
class FrmWaveAdd : public QDialog {
  Q_OBJECT

 public:
  explicit FrmWaveAdd(const WindowContext& context, QWidget* parent = nullptr);
  ~FrmWaveAdd() override;

  RegistrationSession& Session() { return *session_; }
  int CurrentPage() const { return page_; }
  // Registers files as the file and folder buttons and a drop do.
  void RegisterPaths(const QStringList& paths);
  // Converts files refused for their format or name into the sound folder,
  // once the operator has seen which it is, or into one the operator
  // chooses, and registers the copies with their original names as
  // comments; the copies it made that were not registered are removed. The
  // last slot filled, or -1.
  int ConvertAndRegister(const QStringList& sources, const QString& sound_folder);

 protected:
  void reject() override;
  bool eventFilter(QObject* watched, QEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;

 private:
  void ShowPage(int page);
  void Select(int slot);
  void SetSelectionButtons(bool enabled);
  // The command buttons' work (CmdWave0 to CmdWave7 in their order).
  void ChooseFiles();
  void DeleteSelected();
  void DeleteAllVoices();
  void PlaySelected();
  void PlayAll();
  void MoveSelectedUp() { MoveSelected(-1); }
  void MoveSelectedDown() { MoveSelected(+1); }
  void MoveSelected(int direction);
  void ChooseFolderOfFiles();
  bool SelectedIsRegistered() const;
  void OnOk();
  void Audition(int slot, bool all);
  void OpenTools();
  void RecordVoice();
  int SlotOfRow(int row) const;
  void FitCommentColumn();

  Project& project_;
  AppPaths paths_;
  LevelsFeeder* feeder_ = nullptr;
  Operator& op_;
  Choosers& choosers_;
  std::unique_ptr<RegistrationSession> session_;
  QTableView* grid_ = nullptr;
  VoiceListModel* model_ = nullptr;
  CommentDelegate* comment_delegate_ = nullptr;
  QTabBar* tabs_ = nullptr;
  // The commands that work on the selected voice.
  QPushButton* delete_button_ = nullptr;
  QPushButton* play_button_ = nullptr;
  QPushButton* up_button_ = nullptr;
  QPushButton* down_button_ = nullptr;
  QComboBox* capacity_ = nullptr;
  QLabel* time_total_ = nullptr;
  QLabel* bytes_total_ = nullptr;
  int page_ = 0;
  int selected_slot_ = -1;
  bool filling_ = false;
};

}  // namespace parlatone
