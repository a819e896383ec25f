// SPDX-License-Identifier: GPL-3.0-or-later
#include "tools/tools_session.h"

#include <QCoreApplication>

#include "core/messages.h"
#include "core/operator.h"

namespace parlatone {

using namespace Qt::StringLiterals;

namespace {

// The texts of this unit the operator reads, in the interface language.
struct ToolsSessionText {
  Q_DECLARE_TR_FUNCTIONS(ToolsSession)
};

}  // namespace

QStringList IdleOnlyControls() {
  return {u"OptConvMode0"_s, u"OptConvMode1"_s, u"TxtConv010"_s, u"TxtConv011"_s,
          u"CmdConv010"_s,   u"CmdConv011"_s,   u"TxtMM"_s,      u"UpDownMM"_s,
          u"TxtSS"_s,        u"UpDown1"_s,      u"CmbBit"_s,     u"CmbSample"_s,
          u"TxtSirent"_s,    u"CmdSrt"_s,       u"TabStrip1"_s,  u"CmdExit"_s};
}

QString RunButtonCaption(ToolRun run, bool idle) {
  if (run == ToolRun::kConversion) {
    return idle ? ToolsSessionText::tr("変換実行") : ToolsSessionText::tr("変換停止");
  }
  return idle ? ToolsSessionText::tr("実行") : ToolsSessionText::tr("停止");
}

ToolsSession::ToolsSession(Operator& op, ToolsView& view) : op_(op), view_(view) {}

ToolRunResult ToolsSession::Convert(const ConversionRequest& request) {
  return Run(ToolRun::kConversion, [&](const RunView& view) {
    return RunConversion(
        request, op_, progress_, [this](ToolField field) { view_.SelectField(field); }, view);
  });
}

ToolRunResult ToolsSession::MakeSilentFile(const SilentFileRequest& request) {
  return Run(ToolRun::kSilentFile, [&](const RunView& view) {
    return RunSilentFile(
        request, op_, progress_, [this](ToolField field) { view_.SelectField(field); }, view);
  });
}

ToolRunResult ToolsSession::Run(ToolRun run,
                                const std::function<ToolRunResult(const RunView&)>& work) {
  if (running_) {
    return {};  // one run at a time, whatever reaches a run button
  }
  running_ = true;
  run_ = run;
  pending_ = Request::kNone;
  close_after_run_ = false;
  // Messages and the pointer go to the window's operator, the progress to
  // the window's own bar, and every pause of the engine is where a stop
  // request gets its question.
  const RunView view{[this](int value, int maximum) { view_.ShowBar(run_, value, maximum); },
                     [this](bool busy) { SetBusy(busy); },
                     [this] {
                       op_.ProcessPendingEvents();
                       AskPendingStop();
                     }};
  const ToolRunResult result = work(view);
  running_ = false;
  // A request the run ended before asking about: a stop has nothing left to
  // stop, while the operator who closed the window still wants it closed
  // (closing an idle window asks nothing).
  const bool close = close_after_run_ || pending_ == Request::kClose;
  pending_ = Request::kNone;
  close_after_run_ = false;
  if (close) {
    view_.CloseWindow();
  }
  return result;
}

void ToolsSession::SetBusy(bool busy) {
  op_.SetBusy(busy);
  if (busy ? busy_depth_++ == 0 : busy_depth_ > 0 && --busy_depth_ == 0) {
    idle_ = !busy;
    view_.ShowBusy(busy);
  }
}

void ToolsSession::RequestStop() {
  if (!idle_ && pending_ == Request::kNone) {
    pending_ = Request::kStop;
  }
}

bool ToolsSession::RequestClose() {
  if (idle_) {
    return true;
  }
  pending_ = Request::kClose;
  return false;
}

void ToolsSession::AskPendingStop() {
  if (pending_ == Request::kNone || idle_) {
    return;
  }
  const bool closing = pending_ == Request::kClose;
  pending_ = Request::kNone;
  if (ShowText(op_, ToolText(tool_text::kStopQuestion), msg::kTitleConfirm, MessageIcon::kQuestion,
               MessageButtons::kYesNo) == MessageAnswer::kYes) {
    progress_.StopRequested = true;
    close_after_run_ = close_after_run_ || closing;
  }
}

}  // namespace parlatone
