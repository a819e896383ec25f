// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>

#include "tools/conversion_engine.h"
#include "tools/tool_runs.h"

namespace parlatone {

class Operator;

// Which page's run a bar belongs to.
enum class ToolRun { kConversion, kSilentFile };

// What the sound tools window does for its session.
class ToolsView {
 public:
  virtual ~ToolsView() = default;
  // Busy: the controls of IdleOnlyControls() disabled and the run buttons
  // relabelled (RunButtonCaption); idle: all back.
  virtual void ShowBusy(bool busy) = 0;
  virtual void ShowBar(ToolRun run, int value, int maximum) = 0;
  // A check failed on this field: select its whole text and focus it.
  virtual void SelectField(ToolField field) = 0;
  // Closes the window without asking: the operator asked for it during a
  // run, and the run has now ended.
  virtual void CloseWindow() = 0;
};

// The object names of the controls that act only while no run is going on:
// everything but the two run buttons and the close box.
QStringList IdleOnlyControls();

// "変換実行" / "変換停止" and "実行" / "停止".
QString RunButtonCaption(ToolRun run, bool idle);

// The sound tools window without its widgets: the idle flag, the runs with
// the window's bar and pointer, the stop requests, the last file and folder
// chosen. Runs go on the interface thread; a stop or close request made
// while one runs (through the events the engine lets in) is not answered on
// the spot: the engine is between two blocks of work inside the operator's
// ProcessPendingEvents, which then asks the stop question before the engine
// goes on, so the engine only ever stops at a point it was built to stop at.
class ToolsSession {
 public:
  ToolsSession(Operator& op, ToolsView& view);
  ToolsSession(const ToolsSession&) = delete;
  ToolsSession& operator=(const ToolsSession&) = delete;

  bool Idle() const { return idle_; }

  // The run buttons while idle (busy, they are RequestStop). Each returns
  // once the run and its closing steps are over.
  ToolRunResult Convert(const ConversionRequest& request);
  ToolRunResult MakeSilentFile(const SilentFileRequest& request);

  // A run button pressed during a run: "処理を中止してよろしいですか？" at the
  // engine's next pause; Yes stops the run.
  void RequestStop();
  // Closing the window: true when it may close now (no run going on).
  // During a run the same question comes at the engine's next pause; Yes
  // stops the run and the window closes once the run has ended, No keeps it.
  bool RequestClose();

  QString last_file;    // the last file chosen with a browse button
  QString last_folder;  // the last folder chosen

  const ConversionProgress& Progress() const { return progress_; }

 private:
  enum class Request { kNone, kStop, kClose };

  ToolRunResult Run(ToolRun run, const std::function<ToolRunResult(const RunView&)>& work);
  void SetBusy(bool busy);
  void AskPendingStop();

  Operator& op_;
  ToolsView& view_;
  ConversionProgress progress_;
  ToolRun run_ = ToolRun::kConversion;
  bool idle_ = true;
  bool running_ = false;
  int busy_depth_ = 0;
  Request pending_ = Request::kNone;
  bool close_after_run_ = false;
};

}  // namespace parlatone
