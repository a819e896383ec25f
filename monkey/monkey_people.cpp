// SPDX-License-Identifier: GPL-3.0-or-later
#include "monkey/monkey_people.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>

namespace parlatone::monkey {

using namespace Qt::StringLiterals;

namespace {

QString AnswerName(MessageAnswer answer) {
  static const char16_t* const names[] = {u"OK", u"Cancel", u"Yes", u"No"};
  return QString::fromUtf16(names[static_cast<int>(answer)]);
}

QString Shortened(const QString& text) {
  QString line = text.simplified();
  return line.size() > 40 ? line.left(40) + u"…"_s : line;
}

}  // namespace

MessageAnswer MonkeyOperator::ShowMessage(const MessageRequest& request) {
  ++shown_;
  ++questions_;
  // A question asked during a wait takes input although the wait does not.
  const int pauses = std::exchange(pauses_, 0);
  log_(u"  asked %1 \"%2\""_s.arg(request.number).arg(Shortened(request.text)));
  const MessageAnswer answer = real_.ShowMessage(request);
  pauses_ = pauses;
  --questions_;
  log_(u"  answered %1 to %2"_s.arg(AnswerName(answer)).arg(request.number));
  if (answer == MessageAnswer::kYes) {
    events.answered_yes = true;
  }
  return answer;
}

void MonkeyOperator::SetBusy(bool busy) {
  busy_ = std::max(0, busy_ + (busy ? 1 : -1));
  real_.SetBusy(busy);
}

void MonkeyOperator::SetProgress(const QString& caption, int value, int maximum) {
  progress_ = maximum > 0;
  real_.SetProgress(caption, value, maximum);
}

void MonkeyOperator::Pause(int milliseconds) {
  ++pauses_;
  real_.Pause(milliseconds);
  --pauses_;
}

void MonkeyOperator::ProcessPendingEvents() {
  ++processing_;
  real_.ProcessPendingEvents();
  --processing_;
}

MonkeyChoosers::MonkeyChoosers(std::mt19937& random, QStringList pool, QStringList folders,
                               QString out_folder, OperatorEvents& events,
                               std::function<void(const QString&)> log)
    : random_(random),
      pool_(std::move(pool)),
      folders_(std::move(folders)),
      out_folder_(std::move(out_folder)),
      events_(events),
      log_(std::move(log)) {}

bool MonkeyChoosers::ForRegistration(const QWidget* owner) {
  return owner != nullptr && owner->objectName() == u"FrmWaveAdd"_s;
}

const QString& MonkeyChoosers::AnyOf(const QStringList& list) {
  return list[std::uniform_int_distribution<qsizetype>(0, list.size() - 1)(random_)];
}

bool MonkeyChoosers::Cancelled(int percent) {
  return std::uniform_int_distribution<int>(0, 99)(random_) < percent;
}

QStringList MonkeyChoosers::Matching(const FileFilter& filter) const {
  QStringList patterns = filter.pattern.split(QRegularExpression(u"[; ]"_s), Qt::SkipEmptyParts);
  if (patterns.isEmpty()) {
    patterns << u"*"_s;
  }
  QStringList matching;
  for (const QString& path : pool_) {
    if (QDir::match(patterns, QFileInfo(path).fileName())) {
      matching << path;
    }
  }
  return matching;
}

QString MonkeyChoosers::ChooseOpenFile(QWidget*, const FileFilter& filter, const QString&,
                                       const QString&) {
  const QStringList matching = Matching(filter);
  if (matching.isEmpty() || Cancelled(20)) {
    log_(u"  chooser: nothing"_s);
    return {};
  }
  const QString chosen = AnyOf(matching);
  log_(u"  chooser: "_s + chosen);
  return chosen;
}

QStringList MonkeyChoosers::ChooseOpenFiles(QWidget* owner, const FileFilter& filter,
                                            const QString&, const QString&) {
  QStringList matching = Matching(filter);
  if (matching.isEmpty() || Cancelled(15)) {
    log_(u"  chooser: nothing"_s);
    return {};
  }
  std::shuffle(matching.begin(), matching.end(), random_);
  const qsizetype count =
      std::uniform_int_distribution<qsizetype>(1, std::min<qsizetype>(4, matching.size()))(random_);
  QStringList chosen = matching.mid(0, count);
  log_(u"  chooser: "_s + chosen.join(u", "_s));
  if (ForRegistration(owner)) {
    chosen_sounds << chosen;
  }
  return chosen;
}

QString MonkeyChoosers::ChooseSaveFile(QWidget*, const FileFilter&, const QString&, const QString&,
                                       const QString& default_extension, const QString&) {
  if (Cancelled(20)) {
    log_(u"  save chooser: nothing"_s);
    return {};
  }
  // A few names used again and again, so that files are also overwritten.
  const int name = std::uniform_int_distribution<int>(0, 3)(random_);
  const QString chosen = out_folder_ + u"/SAVE%1."_s.arg(name) + default_extension;
  events_.save_chosen = true;
  log_(u"  save chooser: "_s + chosen);
  return chosen;
}

QString MonkeyChoosers::ChooseFolder(QWidget* owner, const QString&, const QString&) {
  if (folders_.isEmpty() || Cancelled(20)) {
    log_(u"  folder chooser: nothing"_s);
    return {};
  }
  const QString chosen = AnyOf(folders_);
  log_(u"  folder chooser: "_s + chosen);
  // A folder of sounds chosen for a registration registers what it holds.
  for (const QString& path : pool_) {
    if (ForRegistration(owner) && QFileInfo(path).absolutePath() == chosen) {
      chosen_sounds << path;
    }
  }
  return chosen;
}

QString MonkeyChoosers::ChooseFileName(QWidget* owner, const FileFilter& filter,
                                       const QString& initial, const QString& title) {
  // Half the time a file that does not exist yet, to be made.
  if (std::uniform_int_distribution<int>(0, 1)(random_) == 0) {
    const QString chosen =
        out_folder_ + u"/made%1.wav"_s.arg(std::uniform_int_distribution<int>(0, 3)(random_));
    log_(u"  name chooser: "_s + chosen);
    return chosen;
  }
  return ChooseOpenFile(owner, filter, initial, title);
}

}  // namespace parlatone::monkey
