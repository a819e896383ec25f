// SPDX-License-Identifier: GPL-3.0-or-later
// monkey [SECONDS] [SEED]: a random operator at the editor's real windows.
//
// It clicks buttons and cells, presses keys, picks from drop-downs, answers
// every question and chooser, hands files over as a second start would and
// closes windows, on a project with registered voices in a home folder of
// its own. After every action it checks that nothing crashed, stalled or
// warned, that every change of the project is an undo step or was allowed
// by the operator, and, once the changes pause, that the recovery file
// holds the project. The same seed gives the same actions.
#include <QAbstractButton>
#include <QAbstractItemModelTester>
#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QDesktopServices>
#include <QDialog>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QHeaderView>
#include <QKeyEvent>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QLockFile>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPointer>
#include <QTabBar>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <QTimer>
#include <QUrl>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <random>
#include <set>
#include <thread>

#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/common_interface_defs.h>
#define MONKEY_HAS_SANITIZER 1
#endif

#include "controlfile/control_file_writer.h"
#include "core/paths.h"
#include "core/project.h"
#include "core/series.h"
#include "core/settings.h"
#include "gui/frm_main.h"
#include "gui/frm_wave_add.h"
#include "gui/instance_link.h"
#include "gui/program_table_model.h"
#include "gui/recovery_keeper.h"
#include "gui/window_helpers.h"
#include "monkey/monkey_ledger.h"
#include "monkey/monkey_people.h"
#include "support/card_project.h"
#include "support/sound_fixtures.h"
#include "tools/fit_rules.h"
#include "voices/registration.h"
#include "voices/registration_session.h"

namespace parlatone::monkey {
namespace {

using namespace Qt::StringLiterals;
using Clock = std::chrono::steady_clock;

// ---------------------------------------------------------------------------
// The record of what was done, for the report of a failure.

constexpr size_t kTrailLength = 30;

std::mutex trail_mutex;
std::deque<std::string> trail;  // the last actions, each with what followed it
long long action_count = 0;
unsigned run_seed = 0;
int run_seconds = 0;

bool trace_actions = false;  // MONKEY_TRACE: every action as it is done

void AddToTrail(const QString& line, bool new_action) {
  const std::lock_guard lock(trail_mutex);
  if (trace_actions) {
    std::printf("%s\n", qPrintable(line));
  }
  if (new_action || trail.empty()) {
    trail.push_back(line.toStdString());
    if (trail.size() > kTrailLength) {
      trail.pop_front();
    }
  } else {
    trail.back() += "\n" + line.toStdString();
  }
}

long long start_ms = 0;
long long NowMs();
long long NowMsSinceStart() {
  return NowMs() - start_ms;
}

// Prints the trail and the failure; safe enough from the watchdog thread
// and from a sanitizer's last words.
void PrintFailure(const std::string& what) {
  const std::lock_guard lock(trail_mutex);
  std::fprintf(stdout, "\nLast %zu actions (seed %u):\n", trail.size(), run_seed);
  for (const std::string& entry : trail) {
    std::fprintf(stdout, "%s\n", entry.c_str());
  }
  std::fprintf(stdout, "Replay: scripts/monkey %d %u\n", run_seconds, run_seed);
  std::fprintf(stdout, "FAILED after %lld actions in %lld s (seed %u): %s\n", action_count,
               (NowMsSinceStart() + 500) / 1000, run_seed, what.c_str());
  std::fflush(stdout);
}

[[noreturn]] void Fail(const QString& what) {
  PrintFailure(what.toStdString());
  std::_Exit(1);
}

#ifdef MONKEY_HAS_SANITIZER
void OnSanitizerDeath() {
  PrintFailure("a sanitizer report (above)");
}
#endif

// ---------------------------------------------------------------------------
// Qt warnings and a stalled event loop are failures too.

std::mutex warning_mutex;
QString first_warning;

void OnQtMessage(QtMsgType type, const QMessageLogContext&, const QString& message) {
  if (type == QtDebugMsg || type == QtInfoMsg) {
    return;
  }
  // What the offscreen platform cannot do (raise a window, grab the
  // keyboard) it says on every window; a screen does it.
  if (message.startsWith(u"This plugin does not support"_s)) {
    return;
  }
  // The test library's own remark that a widget let a key or a click pass
  // (a disabled window, a label): what a person's key does too.
  if (message.contains(u"event not accepted by receiving widget"_s)) {
    return;
  }
  // Warnings of faults already known, to look past them (MONKEY_IGNORE_WARNINGS,
  // parts of their texts separated by "|").
  static const QStringList known =
      qEnvironmentVariable("MONKEY_IGNORE_WARNINGS").split(u'|', Qt::SkipEmptyParts);
  for (const QString& part : known) {
    if (message.contains(part)) {
      return;
    }
  }
  std::fprintf(stderr, "Qt: %s\n", qPrintable(message));
  if (type == QtFatalMsg) {
    PrintFailure("Qt fatal message: " + message.toStdString());
    return;  // Qt aborts
  }
  // For a debugger's backtrace of where the warning came from.
  if (qEnvironmentVariableIsSet("MONKEY_ABORT_ON_WARNING")) {
    std::abort();
  }
  const std::lock_guard lock(warning_mutex);
  if (first_warning.isEmpty()) {
    first_warning = message;
  }
}

QString TakeWarning() {
  const std::lock_guard lock(warning_mutex);
  return std::exchange(first_warning, QString());
}

std::atomic<long long> last_beat_ms{0};
std::atomic<long long> last_action_ms{0};

long long NowMs() {
  return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now().time_since_epoch())
      .count();
}

void Beat() {
  last_beat_ms = NowMs();
}

// ---------------------------------------------------------------------------
// The sandbox: a home of its own, sound files and control files.

struct Sandbox {
  QTemporaryDir dir;
  QString Path(const QString& relative) const { return dir.path() + u'/' + relative; }
};

void UseOwnHome(const Sandbox& sandbox) {
  const QByteArray home = QFile::encodeName(sandbox.dir.path());
  qputenv("HOME", home);
  qputenv("XDG_CONFIG_HOME", home + "/config");
  qputenv("XDG_CACHE_HOME", home + "/cache");
  qputenv("XDG_DATA_HOME", home + "/data");
  qputenv("XDG_STATE_HOME", home + "/state");
  qputenv("XDG_RUNTIME_DIR", home + "/runtime");
  qputenv("TMPDIR", home + "/tmp");
  for (const char* folder : {"config", "cache", "data", "state", "runtime", "tmp", "Documents"}) {
    QDir().mkpath(sandbox.Path(QString::fromLatin1(folder)));
  }
  QFile::setPermissions(sandbox.Path(u"runtime"_s),
                        QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

struct Fixtures {
  QString start_file;        // loaded at start
  QStringList files;         // what the choosers pick from
  QStringList folders;       // folders the folder chooser offers
  QString out_folder;        // where files are saved
  QStringList bad_projects;  // project files that cannot load
};

// A control file of `names` (made beside it), the first channels using them.
QString WriteProject(const QString& folder, const QString& stem, int mode, const QStringList& names,
                     int first_ms) {
  Project project;
  project.settings.Mode = mode;
  DeriveSeriesLimits(project);
  for (qsizetype v = 0; v < names.size(); ++v) {
    const QString path = folder + u'/' + names[v];
    testing::WriteBytes(path, testing::WaveOfLength(22050, 1, 16, first_ms + 150 * int(v)));
    VoiceRecord voice;
    voice.NAME = names[v];
    voice.FilePath = path;
    voice.COMENTS = u"声%1"_s.arg(v);
    project.voices.append(voice);
  }
  project.VoicesRegistered = true;
  for (int channel = 0; channel < 6; ++channel) {
    for (int slot = 0; slot <= channel % 3; ++slot) {
      project.programs[static_cast<size_t>(channel)].Voice[static_cast<size_t>(slot)] =
          names[(channel + slot) % names.size()];
    }
  }
  project.programs[2].RP = u"2"_s;
  project.card = testing::GoodCardForm();
  project.card.CardName = stem;
  const QString path = folder + u'/' + stem + u'.' + ControlFileExtension(mode);
  if (!WriteControlFile(project, path, true)) {
    Fail(u"could not write the project file "_s + path);
  }
  return path;
}

Fixtures MakeFixtures(const Sandbox& sandbox, int mode) {
  Fixtures fixtures;
  const QString projects = sandbox.Path(u"projects"_s);
  fixtures.start_file =
      WriteProject(projects + u"/START"_s, u"START"_s, mode,
                   {u"chime.wav"_s, u"door.wav"_s, u"info.wav"_s, u"bell.wav"_s}, 400);
  fixtures.files << fixtures.start_file
                 << WriteProject(projects + u"/OTHER"_s, u"OTHER"_s, mode,
                                 {u"a1.wav"_s, u"b2.wav"_s, u"c3.wav"_s}, 300);
  // A file that is no control file, and one whose sounds are gone.
  const QString broken = projects + u"/BROKEN/BROKEN."_s + ControlFileExtension(mode);
  testing::WriteBytes(broken, "KX3\r\nnot a control file\r\n#2\r\n0,x\r\n");
  const QString orphan =
      WriteProject(projects + u"/ORPHAN"_s, u"ORPHAN"_s, mode, {u"gone.wav"_s}, 300);
  QFile::remove(projects + u"/ORPHAN/gone.wav"_s);
  fixtures.files << broken << orphan;
  fixtures.bad_projects << broken << orphan;

  const QString sounds = sandbox.Path(u"sounds"_s);
  const struct {
    const char16_t* name;
    QByteArray bytes;
  } loose[] = {
      {u"s1.wav", testing::WaveOfLength(22050, 1, 16, 500)},
      {u"s2.wav", testing::WaveOfLength(22050, 1, 16, 1200)},
      {u"tone.wav", testing::SineWave(22050, 700, 0.5)},
      {u"loud.wav", testing::SineWave(22050, 400, 1.0)},
      {u"stereo44.wav", testing::WaveOfLength(44100, 2, 16, 300)},  // to be converted
      {u"eight.wav", testing::WaveOfLength(22050, 1, 8, 300)},
      {u"mp3tone.mp3", testing::TaggedMp3(20, {64})},
      {u"broken.wav", QByteArray("RIFF\x10\0\0\0WAVEfmt ", 16)},
      {u"全角の名前.wav", testing::WaveOfLength(22050, 1, 16, 300)},
      {u"chime.wav", testing::WaveOfLength(22050, 1, 16, 350)},  // a name the project has
  };
  for (const auto& [name, bytes] : loose) {
    const QString path = sounds + u'/' + QString::fromUtf16(name);
    testing::WriteBytes(path, bytes);
    fixtures.files << path;
  }
  fixtures.out_folder = sandbox.Path(u"out"_s);
  QDir().mkpath(fixtures.out_folder);
  fixtures.folders << sounds << fixtures.out_folder << sandbox.Path(u"cards"_s)
                   << sandbox.Path(u"new folder"_s);
  return fixtures;
}

// Links that would start a browser are only noted.
class UrlSink : public QObject {
  Q_OBJECT

 public Q_SLOTS:
  void Open(const QUrl& url) { AddToTrail(u"  opened "_s + url.toString(), false); }
};

// ---------------------------------------------------------------------------
// The monkey.

enum class Context { kMain, kDialog, kQuestion, kPopup, kForeign };

struct Options {
  int seconds = 60;
  unsigned seed = 0;
  std::set<QString> skip;
};

class Monkey {
 public:
  Monkey(Options options, Fixtures fixtures, QString link_name);
  void Begin();

 private:
  struct Action {
    const char* kind;
    unsigned contexts;  // a bit per Context it fits
    int weight;
    bool (Monkey::*run)();
    // Or keys, as key sequences apart by blanks; one is pressed, a repeated one more often.
    const char* keys = nullptr;
  };

  void Start();
  void Restart();
  void Tick();
  void Step();
  void Finish();
  void AfterAction();
  void CheckNow();
  bool Settled() const;
  void Log(const QString& line) { AddToTrail(line, false); }
  void Watch(QWidget* window);
  Context CurrentContext() const;
  QWidget* ActiveWindow() const;
  bool AtTopLevel() const;
  int Roll(int below) { return std::uniform_int_distribution<int>(0, below - 1)(random_); }
  template <typename T>
  QList<T*> Usable(QWidget* root) const;
  template <typename T>
  T* Pick(const QList<T*>& list) {
    return list.isEmpty() ? nullptr : list[Roll(static_cast<int>(list.size()))];
  }
  QString Describe(QWidget* widget) const;
  QWidget* KeyTarget() const;

  // The actions, each small: false when there was nothing to act on;
  // otherwise each says what it does (Act) before it does it, so that what
  // follows (a question, a window) is written under it.
  void Act(const QString& what);
  bool ClickButton();
  bool ClickCell();
  bool MenuCommand();
  bool TypeText();
  bool ChangePage();
  bool ChooseFromList();
  bool AnswerQuestion();
  bool CloseWindow();
  bool HandOver();
  bool Wait();
  bool PressOneOf(const char* keys);
  bool Confirms(const QWidget* widget) const;
  void CheckRegistration(QWidget* acted_in, int shown_before, qsizetype chosen_before);
  void CheckRecovery();

  static const std::vector<Action>& Actions();

  Options options_;
  Fixtures fixtures_;
  QString link_name_;
  std::mt19937 random_;
  MonkeyOperator op_;
  MonkeyChoosers choosers_;
  AppPaths paths_;
  std::unique_ptr<Project> project_;
  std::unique_ptr<FrmMain> window_;
  std::unique_ptr<Ledger> ledger_;
  InstanceLink link_;
  QElapsedTimer clock_;
  long long last_recovery_check_ms_ = 0;
  int depth_ = 0;
  int checks_ = 0;
  bool finishing_ = false;
  bool restart_wanted_ = false;
  bool starting_ = false;
  bool was_edited_ = false;  // unsaved changes when the books were last looked at
  std::atomic<bool> handing_over_ = false;
  long long wait_until_ms_ = 0;
  long long recovery_wait_ms_ = 0;
  int recovery_checks_ = 0;  // since when the monkey waits for a pause
  QPointer<QWidget> last_active_;
  qint64 finish_started_ = -1;
};

Monkey::Monkey(Options options, Fixtures fixtures, QString link_name)
    : options_(std::move(options)),
      fixtures_(std::move(fixtures)),
      link_name_(std::move(link_name)),
      random_(options_.seed),
      op_([](const QString& line) { AddToTrail(line, false); }),
      choosers_(random_, fixtures_.files, fixtures_.folders, fixtures_.out_folder, op_.events,
                [](const QString& line) { AddToTrail(line, false); }),
      paths_(ResolveAppPaths()),
      link_(link_name_) {
  if (!link_.Listen()) {
    Fail(u"cannot listen for second starts on "_s + link_name_);
  }
}

void Monkey::Begin() {
  clock_.start();
  start_ms = NowMs();
  last_action_ms = NowMs();
  last_recovery_check_ms_ = NowMs();
  Beat();
  Start();
  QTimer::singleShot(0, [this] { Tick(); });
}

// As the program starts: settings, the main window, what a crash left, the
// project file it was given.
void Monkey::Start() {
  // No actions while the program starts: it waits for its window below.
  starting_ = true;
  project_ = std::make_unique<Project>();
  project_->settings = LoadStartupSettings(paths_).settings;
  DeriveSeriesLimits(*project_);
  window_ = std::make_unique<FrmMain>(WindowContext{*project_, paths_, op_, choosers_});
  new QAbstractItemModelTester(
      window_->Model(), QAbstractItemModelTester::FailureReportingMode::Fatal, window_.get());
  QObject::connect(window_.get(), &FrmMain::ProjectLoaded, window_.get(),
                   [this] { op_.events.loaded = true; });
  window_->show();
  window_->activateWindow();
  // Laid out before the first action, so that a seed plays the same way.
  if (!QTest::qWaitForWindowExposed(window_.get(), 1000)) {
    Log(u"  (the main window was not exposed within a second)"_s);
  }
  starting_ = false;  // what follows may ask, and the monkey answers
  project_->VoicesRegistered = false;
  project_->ClearPageEdited();
  // Where a hand-over arrives, for the trail: it is taken in whatever event
  // loop runs at that moment.
  QObject::connect(&link_, &InstanceLink::HandedOver, window_.get(), [](const QString& file) {
    QWidget* modal = QApplication::activeModalWidget();
    AddToTrail(u"  (the hand-over of %1 arrives%2)"_s.arg(
                   file.isEmpty() ? u"no file"_s : QFileInfo(file).fileName(),
                   modal != nullptr ? u" over "_s + modal->objectName() : QString()),
               false);
  });
  QObject::connect(&link_, &InstanceLink::HandedOver, window_.get(), &FrmMain::TakeHandedOverFile);
  window_->OfferRecovery();
  window_->TakeHandedOverFile(fixtures_.start_file);
  ledger_ = std::make_unique<Ledger>(*project_, *window_);
  // After a change of series the start file may be one the series does not
  // open; the very first start must load it.
  if (project_->voices.isEmpty() && action_count == 0) {
    Fail(u"the start project did not load: "_s + fixtures_.start_file);
  }
  op_.events.Clear();
  was_edited_ = project_->IsEdited();
}

// The main window closed for good: the program ends cleanly and is started
// again.
void Monkey::Restart() {
  const QString recovery = window_->Recovery().Path();
  if (QFile::exists(recovery)) {
    Fail(u"the editor ended cleanly but left its recovery file: "_s + recovery);
  }
  QObject::disconnect(&link_, nullptr, window_.get(), nullptr);
  ledger_.reset();
  window_.reset();
  project_.reset();
  Log(u"  (started again)"_s);
  Start();  // with books of its own
}

const std::vector<Monkey::Action>& Monkey::Actions() {
  // A bit per Context, in its order.
  constexpr unsigned kMain = 1, kDialog = 2, kQuestion = 4, kPopup = 8, kForeign = 16;
  static_assert(kForeign == 1u << static_cast<unsigned>(Context::kForeign));
  static const std::vector<Action> actions = {
      {"click", kMain | kDialog, 22, &Monkey::ClickButton},
      {"cell", kMain | kDialog, 20, &Monkey::ClickCell},
      {"escape", kMain | kDialog | kPopup | kQuestion | kForeign, 6, nullptr, "Esc"},
      {"arrow", kMain | kDialog | kPopup, 12, nullptr, "Up Down Left Right"},
      {"tab", kMain | kDialog, 5, nullptr, "Shift+Backtab Ctrl+Tab Tab Tab"},
      {"delete", kMain | kDialog | kPopup, 5, nullptr, "Backspace Del Del"},
      {"enter", kMain | kDialog | kPopup | kQuestion, 7, nullptr, "Num+Enter Return Return Return"},
      {"key", kMain | kDialog | kPopup, 5, nullptr, "F2 Space Home End PgUp PgDown Ctrl+A"},
      {"undo", kMain, 7, nullptr, "Ctrl+Z"},
      {"redo", kMain, 4, nullptr, "Ctrl+Y Ctrl+Shift+Z"},
      {"shortcut", kMain, 2, nullptr, "Ctrl+O Ctrl+S Ctrl+P Ctrl+Q F1"},
      {"menu", kMain, 4, &Monkey::MenuCommand},
      {"text", kDialog, 10, &Monkey::TypeText},
      {"page", kMain | kDialog, 4, &Monkey::ChangePage},
      {"choice", kPopup, 30, &Monkey::ChooseFromList},
      {"answer", kQuestion, 40, &Monkey::AnswerQuestion},
      {"close", kMain | kDialog | kQuestion | kForeign, 3, &Monkey::CloseWindow},
      {"handover", kMain | kDialog | kQuestion | kPopup, 2, &Monkey::HandOver},
      {"wait", kMain | kDialog | kForeign, 1, &Monkey::Wait},
  };
  return actions;
}

QWidget* Monkey::ActiveWindow() const {
  if (QWidget* popup = QApplication::activePopupWidget()) {
    return popup;
  }
  if (QWidget* modal = QApplication::activeModalWidget()) {
    return modal;
  }
  return window_.get();
}

Context Monkey::CurrentContext() const {
  if (QApplication::activePopupWidget() != nullptr) {
    return Context::kPopup;
  }
  QWidget* modal = QApplication::activeModalWidget();
  if (modal == nullptr) {
    return Context::kMain;
  }
  if (qobject_cast<QMessageBox*>(modal) != nullptr) {
    return Context::kQuestion;
  }
  static const QStringList ours = {u"FrmWaveAdd"_s, u"FrmSeting"_s, u"FrmCardMake"_s, u"FrmPrint"_s,
                                   u"FrmTools"_s,   u"FrmPlay"_s,   u"FrmText"_s};
  return ours.contains(modal->objectName()) ? Context::kDialog : Context::kForeign;
}

// Only the outermost event loop, with nothing half done: where the program
// is between two things the operator asked of it.
bool Monkey::AtTopLevel() const {
  return depth_ == 1 && QThread::currentThread()->loopLevel() == 1 && op_.Quiet();
}

template <typename T>
QList<T*> Monkey::Usable(QWidget* root) const {
  QList<T*> usable;
  if (root == nullptr) {
    return usable;
  }
  for (T* widget : root->findChildren<T*>()) {
    if (widget->isVisible() && widget->isEnabled() && widget->window() == root->window() &&
        widget->objectName() != u"CmdCardWrite"_s) {  // writes to real removable drives
      usable << widget;
    }
  }
  return usable;
}

QString Monkey::Describe(QWidget* widget) const {
  QString name = widget->objectName();
  if (name.isEmpty()) {
    name = QString::fromLatin1(widget->metaObject()->className());
  }
  if (auto* button = qobject_cast<QAbstractButton*>(widget); button && !button->text().isEmpty()) {
    name += u" \""_s + button->text().simplified() + u'"';
  }
  return name;
}

QWidget* Monkey::KeyTarget() const {
  QWidget* active = ActiveWindow();
  QWidget* focus = QApplication::focusWidget();
  if (focus != nullptr && focus->window() == active->window() && focus->isVisible()) {
    return focus;
  }
  return active;
}

void Monkey::Act(const QString& what) {
  ++action_count;
  last_action_ms = NowMs();
  QString where = QString::fromLatin1(ActiveWindow()->metaObject()->className());
  if (!ActiveWindow()->objectName().isEmpty()) {
    where = ActiveWindow()->objectName();
  }
  AddToTrail(u"#%1 [%2] %3"_s.arg(action_count).arg(where, what), true);
}

void Monkey::Watch(QWidget* window) {
  auto* dialog = qobject_cast<QDialog*>(window);
  if (dialog == nullptr || dialog->property("monkey_watched").toBool()) {
    return;
  }
  dialog->setProperty("monkey_watched", true);
  // OK in the registration and settings windows commits what they hold.
  if (dialog->objectName() == u"FrmWaveAdd"_s || dialog->objectName() == u"FrmSeting"_s) {
    QObject::connect(dialog, &QDialog::accepted, [this] { op_.events.confirmed = true; });
  }
}

// ---------------------------------------------------------------------------
// The loop: one action per turn of whichever event loop runs.

void Monkey::Tick() {
  Beat();
  // The next turn is asked for first: the action may open a window, whose
  // own event loop must keep the monkey going.
  const bool waiting = starting_ || op_.Pausing() || NowMs() < wait_until_ms_;
  if (!finishing_ || finish_started_ >= 0) {
    QTimer::singleShot(waiting ? 5 : 0, [this] { Tick(); });
  }
  if (waiting) {
    return;
  }
  ++depth_;
  Step();
  --depth_;
}

void Monkey::Step() {
  if (const QString warning = TakeWarning(); !warning.isEmpty()) {
    Fail(u"Qt warning: "_s + warning);
  }
  if (restart_wanted_ && AtTopLevel()) {
    restart_wanted_ = false;
    Restart();
    return;
  }
  if (finishing_ || clock_.elapsed() >= options_.seconds * 1000LL) {
    finishing_ = true;
    Finish();
    return;
  }
  if (restart_wanted_ && CurrentContext() == Context::kMain) {
    return;  // the main window is gone: started again once back at the top
  }
  const Context context = CurrentContext();
  bool gentle = false;  // only moves that change nothing
  if (context == Context::kMain && AtTopLevel() && ledger_) {
    // A load between two actions (a file handed over) is booked on its own.
    if (op_.events.loaded) {
      CheckNow();
    }
    // The recovery file is looked at whenever the changes have paused.
    // When they have not for a while, the monkey lets them: it only moves
    // about for a few seconds, then stands still.
    const long long since_check = NowMs() - last_recovery_check_ms_;
    if (ledger_->QuietFor() >= 2500 && since_check > 3000) {
      CheckRecovery();
      recovery_wait_ms_ = 0;
    } else if (since_check > 12000) {
      if (recovery_wait_ms_ == 0) {
        recovery_wait_ms_ = NowMs();
      }
      if (NowMs() - recovery_wait_ms_ > 6000) {
        Act(u"wait for the changes to pause"_s);
        wait_until_ms_ = NowMs() + 2600 - ledger_->QuietFor();
        return;
      }
      gentle = true;
    }
  }
  if (context == Context::kDialog || context == Context::kForeign) {
    Watch(QApplication::activeModalWidget());
  }

  int total = 0;
  std::vector<const Action*> possible;
  for (const Action& action : Actions()) {
    const bool fits = (action.contexts & (1u << static_cast<unsigned>(context))) != 0;
    const QString kind = QString::fromLatin1(action.kind);
    const bool moves_only = kind == u"arrow"_s || kind == u"tab"_s || kind == u"page"_s;
    if (fits && options_.skip.count(kind) == 0 && (!gentle || moves_only)) {
      possible.push_back(&action);
      total += action.weight;
    }
  }
  const int shown_before = op_.Shown();
  const qsizetype chosen_before = choosers_.chosen_sounds.size();
  QWidget* const acted_in = QApplication::activeModalWidget();
  for (int attempt = 0; attempt < 6 && total > 0; ++attempt) {
    int roll = Roll(total);
    const Action* chosen = possible.front();
    for (const Action* action : possible) {
      if (roll < action->weight) {
        chosen = action;
        break;
      }
      roll -= action->weight;
    }
    if (chosen->keys != nullptr ? PressOneOf(chosen->keys) : (this->*chosen->run)()) {
      if (gentle) {
        wait_until_ms_ = NowMs() + 20;  // at a person's pace, not the machine's
      }
      CheckRegistration(acted_in, shown_before, chosen_before);
      AfterAction();
      return;
    }
  }
}

// What a person would see at once: a crash or a warning now; the project's
// books whenever nothing is half done.
void Monkey::AfterAction() {
  if (const QString warning = TakeWarning(); !warning.isEmpty()) {
    Fail(u"Qt warning: "_s + warning);
  }
  if (window_->isHidden()) {
    restart_wanted_ = true;  // closed for good: started again at the top
    return;
  }
  QWidget* active = QApplication::activeModalWidget();
  if (active == nullptr && last_active_ != nullptr && ledger_) {
    ledger_->Touch();  // a window closed: the project may be kept from now on
  }
  last_active_ = active;
  if (Settled()) {
    CheckNow();
  }
}

// Nothing half done: no question open, no wait or work in progress.
bool Monkey::Settled() const {
  const Context context = CurrentContext();
  return op_.Quiet() && context != Context::kQuestion && context != Context::kForeign;
}

void Monkey::CheckNow() {
  if (!ledger_) {
    return;  // starting again: the books open once the project is loaded
  }
  const bool top = AtTopLevel();
  Allowances allowances;
  const OperatorEvents& events = op_.events;
  allowances.confirmed = events.confirmed || events.answered_yes || events.save_chosen;
  allowances.new_project = events.loaded;
  // A new project over unsaved changes needs the operator's Yes.
  if (allowances.new_project && was_edited_ && !events.answered_yes) {
    Fail(u"a project was loaded over unsaved changes without asking"_s);
  }
  ++checks_;
  if (const std::optional<QString> fault = ledger_->Check(allowances, checks_ % 25 == 0)) {
    Fail(*fault);
  }
  was_edited_ = project_->IsEdited();
  // What the operator allowed holds until the action that led to it is
  // over: a window's OK is followed by its caller's own changes.
  if (top) {
    op_.events.Clear();
  }
}

void Monkey::CheckRecovery() {
  CheckNow();  // a change the ledger had not seen yet starts the pause again
  if (ledger_->QuietFor() < 2500) {
    return;
  }
  if (const std::optional<QString> fault = ledger_->CheckRecoveryFile()) {
    Fail(*fault);
  }
  last_recovery_check_ms_ = NowMs();
  ++recovery_checks_;
}

// A registration the operator chose files for registers each, or says why not.
void Monkey::CheckRegistration(QWidget* acted_in, int shown_before, qsizetype chosen_before) {
  if (options_.skip.count(u"dropcheck"_s) != 0) {
    return;
  }
  // Files chosen in the registration window itself, not in a window it opened.
  auto* window = qobject_cast<FrmWaveAdd*>(QApplication::activeModalWidget());
  if (window == nullptr || window != acted_in || choosers_.chosen_sounds.size() == chosen_before ||
      op_.Shown() != shown_before) {
    return;
  }
  const WorkingVoiceList& list = window->Session().List();
  for (const QString& path : choosers_.chosen_sounds.mid(chosen_before)) {
    bool registered = false;
    for (int slot = 0; slot < list.size() && !registered; ++slot) {
      registered = QFileInfo(list[slot].FilePath) == QFileInfo(path);
    }
    if (!registered) {
      Fail(u"registration dropped a chosen file without a word: "_s + path);
    }
  }
}

// Time is up: every window is closed as a person would, the books are
// looked at a last time, and the program ends.
void Monkey::Finish() {
  last_action_ms = NowMs();  // closing is progress too
  if (finish_started_ < 0) {
    finish_started_ = clock_.elapsed();
    AddToTrail(u"(time is up: closing the windows)"_s, true);
  }
  if (clock_.elapsed() - finish_started_ > 60000) {
    Fail(u"the windows could not be closed at the end"_s);
  }
  switch (CurrentContext()) {
    case Context::kPopup:
      QTest::keyClick(KeyTarget(), Qt::Key_Escape);
      return;
    case Context::kQuestion: {
      // The first button: Yes to leaving a window without its changes.
      auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
      const QList<QAbstractButton*> buttons = box->buttons();
      QTest::mouseClick(buttons.front(), Qt::LeftButton);
      return;
    }
    case Context::kDialog:
    case Context::kForeign:
      QApplication::activeModalWidget()->close();
      return;
    case Context::kMain:
      break;
  }
  if (!AtTopLevel() || handing_over_ || !ledger_) {
    return;
  }
  if (ledger_->QuietFor() < 2500) {
    return;  // the recovery file is looked at once the changes pause
  }
  CheckNow();
  if (ledger_->QuietFor() < 2500) {
    return;  // a change seen only now: the recovery file follows it in two seconds
  }
  if (const std::optional<QString> fault = ledger_->RoundTrip()) {
    Fail(*fault);
  }
  if (const std::optional<QString> fault = ledger_->CheckRecoveryFile()) {
    Fail(*fault);
  }
  if (const QString warning = TakeWarning(); !warning.isEmpty()) {
    Fail(u"Qt warning: "_s + warning);
  }
  QObject::disconnect(&link_, nullptr, window_.get(), nullptr);
  ledger_.reset();
  window_.reset();
  project_.reset();
  finishing_ = true;
  finish_started_ = -2;  // no more turns
  const double seconds = static_cast<double>(clock_.elapsed()) / 1000.0;
  std::printf(
      "%.0f s, %.1f actions per second, %d checks of the books (%d with every step "
      "undone and redone), %d of the recovery file\n",
      seconds, static_cast<double>(action_count) / seconds, checks_, checks_ / 25 + 1,
      recovery_checks_ + 1);
  std::printf("%lld actions, 0 failures\n", action_count);
  std::fflush(stdout);
  QApplication::quit();
}

// ---------------------------------------------------------------------------
// The actions.

bool Monkey::ClickButton() {
  QAbstractButton* button = Pick(Usable<QAbstractButton>(ActiveWindow()));
  if (button == nullptr || button->size().isEmpty()) {
    return false;
  }
  Act(u"click "_s + Describe(button));
  op_.events.confirmed = op_.events.confirmed || Confirms(button);
  QTest::mouseClick(button, Qt::LeftButton, {}, button->rect().center());
  return true;
}

bool Monkey::ClickCell() {
  QList<QAbstractItemView*> views;
  for (QAbstractItemView* view : Usable<QAbstractItemView>(ActiveWindow())) {
    if (qobject_cast<QHeaderView*>(view) == nullptr && view->model() != nullptr &&
        view->model()->rowCount() > 0) {
      views << view;
    }
  }
  QAbstractItemView* view = Pick(views);
  if (view == nullptr) {
    return false;
  }
  QAbstractItemModel* model = view->model();
  // Mostly the first rows, where the voices are; now and then anywhere.
  const int rows = model->rowCount();
  const int row = Roll(4) > 0 ? Roll(std::min(rows, 16)) : Roll(rows);
  QList<int> columns;
  auto* table = qobject_cast<QTableView*>(view);
  for (int column = 0; column < model->columnCount(); ++column) {
    if (table == nullptr || (!table->isColumnHidden(column) && table->columnWidth(column) > 0)) {
      columns << column;
    }
  }
  if (columns.isEmpty()) {
    return false;
  }
  const QModelIndex index = model->index(row, columns[Roll(static_cast<int>(columns.size()))]);
  view->scrollTo(index);
  const QRect rect = view->visualRect(index);
  if (!rect.isValid() || !view->viewport()->rect().contains(rect.center())) {
    return false;
  }
  const bool twice = Roll(10) == 0;
  Act(u"%1 %2 row %3 column %4"_s.arg(twice ? u"double-click"_s : u"click"_s, Describe(view))
          .arg(row)
          .arg(index.column()));
  if (twice) {
    QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, rect.center());
  } else {
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, rect.center());
  }
  return true;
}

// The commands that keep what a window holds.
bool Monkey::Confirms(const QWidget* widget) const {
  static const QStringList keeping = {u"CmdOk"_s, u"CmdSave"_s, u"CmdCardMake"_s};
  return keeping.contains(widget->objectName());
}

bool Monkey::PressOneOf(const char* keys) {
  QWidget* target = KeyTarget();
  if (target == nullptr) {
    return false;
  }
  const QStringList names = QString::fromLatin1(keys).split(u' ');
  const QString name = names[Roll(static_cast<int>(names.size()))];
  const QKeyCombination key = QKeySequence::fromString(name, QKeySequence::PortableText)[0];
  if (key.key() == Qt::Key_unknown || key.toCombined() == 0) {
    Fail(u"the table names a key Qt does not know: "_s + name);
  }
  Act(u"key "_s + name + u" to "_s + Describe(target));
  const bool presses =
      key.key() == Qt::Key_Return || key.key() == Qt::Key_Enter || key.key() == Qt::Key_Space;
  op_.events.confirmed = op_.events.confirmed || (presses && Confirms(target));
  QTest::keyClick(target, key.key(), key.keyboardModifiers());
  return true;
}

bool Monkey::MenuCommand() {
  QList<QAction*> commands;
  std::function<void(QMenu*)> collect = [&](QMenu* menu) {
    for (QAction* action : menu->actions()) {
      if (action->menu() != nullptr) {
        const bool recent = action->menu()->objectName() == u"MenuRecent"_s;
        if (action->isEnabled() && !(recent && options_.skip.count(u"recent"_s) != 0)) {
          collect(action->menu());
        }
      } else if (!action->isSeparator() && action->isEnabled() && action->isVisible()) {
        commands << action;
      }
    }
  };
  for (QMenu* menu : window_->menuBar()->findChildren<QMenu*>(Qt::FindDirectChildrenOnly)) {
    collect(menu);
  }
  QAction* command = Pick(commands);
  if (command == nullptr) {
    return false;
  }
  Act(u"menu "_s + command->text());
  command->trigger();
  return true;
}

bool Monkey::TypeText() {
  auto* edit = qobject_cast<QLineEdit*>(QApplication::focusWidget());
  if (edit == nullptr || edit->window() != ActiveWindow()->window() || !edit->isVisible()) {
    edit = Pick(Usable<QLineEdit>(ActiveWindow()));
    if (edit == nullptr || edit->size().isEmpty()) {
      return false;
    }
    QTest::mouseClick(edit, Qt::LeftButton, {}, edit->rect().center());
  }
  // Plain, Japanese, half-width kana, a path, digits, too long, nothing.
  static const char16_t* const texts[] = {
      u"ABC",   u"駅前案内",
      u"ｶｰﾄﾞ",  u"sub/dir",
      u"12",    u"0",
      u"99999", u"あいうえおかきくけこさしすせそたちつてとなにぬねのはひふへほまみむめも",
      u" ",     u".."};
  const QString text = QString::fromUtf16(texts[Roll(static_cast<int>(std::size(texts)))]);
  const bool replace = Roll(3) == 0;
  Act(u"type \"%1\"%2 into %3"_s.arg(text, replace ? u" over everything"_s : QString(),
                                     Describe(edit)));
  if (replace) {
    QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
  }
  for (const QChar c : text) {
    const int key = c.unicode() < 0x80 ? c.toUpper().unicode() : 0;
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, QString(c));
    QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, QString(c));
    if (!edit) {
      break;  // the window went away under the typing
    }
    QApplication::sendEvent(edit, &press);
    if (edit) {
      QApplication::sendEvent(edit, &release);
    }
  }
  return true;
}

bool Monkey::ChangePage() {
  QTabBar* tabs = Pick(Usable<QTabBar>(ActiveWindow()));
  if (tabs == nullptr || tabs->count() == 0) {
    return false;
  }
  const int tab = Roll(tabs->count());
  const QRect rect = tabs->tabRect(tab);
  if (!rect.isValid() || !tabs->isTabEnabled(tab)) {
    return false;
  }
  Act(u"tab \"%1\" of %2"_s.arg(tabs->tabText(tab), Describe(tabs)));
  QTest::mouseClick(tabs, Qt::LeftButton, {}, rect.center());
  return true;
}

bool Monkey::ChooseFromList() {
  QWidget* popup = QApplication::activePopupWidget();
  if (auto* menu = qobject_cast<QMenu*>(popup)) {
    QList<QAction*> entries;
    for (QAction* action : menu->actions()) {
      if (action->isEnabled() && !action->isSeparator()) {
        entries << action;
      }
    }
    QAction* entry = Pick(entries);
    if (entry == nullptr) {
      return false;
    }
    Act(u"menu entry "_s + entry->text());
    QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(entry).center());
    return true;
  }
  auto* view = popup != nullptr ? popup->findChild<QAbstractItemView*>() : nullptr;
  if (view == nullptr || view->model() == nullptr || view->model()->rowCount() == 0) {
    return false;
  }
  const QModelIndex index = view->model()->index(Roll(view->model()->rowCount()), 0);
  view->scrollTo(index);
  const QRect rect = view->visualRect(index);
  if (!rect.isValid()) {
    return false;
  }
  Act(u"choose \"%1\" from the list"_s.arg(index.data().toString()));
  QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, rect.center());
  return true;
}

bool Monkey::AnswerQuestion() {
  auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
  if (box == nullptr) {
    return false;
  }
  QAbstractButton* button = Pick(box->buttons());
  if (button == nullptr) {
    return false;
  }
  Act(u"answer "_s + button->text());
  QTest::mouseClick(button, Qt::LeftButton, {}, button->rect().center());
  return true;
}

bool Monkey::CloseWindow() {
  QWidget* window = QApplication::activeModalWidget();
  if (window == nullptr) {
    window = window_.get();
  }
  Act(u"close box of "_s + Describe(window));
  window->close();
  return true;
}

bool Monkey::HandOver() {
  if (handing_over_) {
    return false;
  }
  QStringList projects;
  for (const QString& file : fixtures_.files) {
    if (!file.contains(u"/sounds/"_s)) {
      projects << file;
    }
  }
  QString file;
  if (Roll(4) != 0 && !projects.isEmpty()) {
    file = projects[Roll(static_cast<int>(projects.size()))];
  }
  Act(u"second start hands over "_s + (file.isEmpty() ? u"no file"_s : file));
  handing_over_ = true;
  const QString name = link_name_;
  QThread* client = QThread::create([this, name, file] {
    if (!InstanceLink::HandOver(name, file, 5000)) {
      AddToTrail(u"  (the second start got no answer)"_s, false);
    }
    handing_over_ = false;
  });
  QObject::connect(client, &QThread::finished, client, &QObject::deleteLater);
  client->start();
  return true;
}

bool Monkey::Wait() {
  const int ms = 50 + Roll(400);
  Act(u"wait %1 ms"_s.arg(ms));
  wait_until_ms_ = NowMs() + ms;
  return true;
}

// ---------------------------------------------------------------------------

void StartWatchdog(int stall_ms) {
  std::thread([stall_ms] {
    for (;;) {
      std::this_thread::sleep_for(std::chrono::milliseconds(100));
      const long long silent = NowMs() - last_beat_ms;
      if (last_beat_ms > 0 && silent > stall_ms) {
        PrintFailure("the event loop stalled for " + std::to_string(silent) + " ms");
        std::_Exit(2);
      }
      // The loop runs but nothing takes input: a wait that never ends.
      const long long idle = NowMs() - last_action_ms;
      if (last_action_ms > 0 && idle > 30000) {
        PrintFailure("no action was possible for " + std::to_string(idle) + " ms");
        std::_Exit(2);
      }
    }
  }).detach();
}

}  // namespace
}  // namespace parlatone::monkey

int main(int argc, char** argv) {
  using namespace parlatone::monkey;
  Options options;
  if (argc > 1) {
    options.seconds = std::atoi(argv[1]);
  }
  options.seed =
      argc > 2 ? static_cast<unsigned>(std::strtoul(argv[2], nullptr, 10)) : std::random_device{}();
  for (const QString& kind : qEnvironmentVariable("MONKEY_SKIP").split(u',', Qt::SkipEmptyParts)) {
    options.skip.insert(kind.trimmed());
  }
  run_seed = options.seed;
  trace_actions = qEnvironmentVariableIsSet("MONKEY_TRACE");
  run_seconds = options.seconds;
#ifdef MONKEY_HAS_SANITIZER
  __sanitizer_set_death_callback(OnSanitizerDeath);
#endif

  Sandbox sandbox;
  if (!sandbox.dir.isValid()) {
    std::fprintf(stderr, "monkey: no temporary folder\n");
    return 2;
  }
  UseOwnHome(sandbox);
  // A folder typed as a relative name is made where the program runs: in
  // the sandbox too.
  QDir::setCurrent(sandbox.dir.path());
  qputenv("QT_QPA_PLATFORM",
          qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
  qputenv("SDL_AUDIODRIVER", "dummy");

  QApplication app(argc, argv);
  QApplication::setApplicationName(u"parlatone-editor"_s);
  QApplication::setQuitOnLastWindowClosed(false);
  qInstallMessageHandler(OnQtMessage);
  UrlSink urls;
  const QStringList schemes = {u"http"_s, u"https"_s, u"file"_s, u"mailto"_s};
  for (const QString& scheme : schemes) {
    QDesktopServices::setUrlHandler(scheme, &urls, "Open");
  }

  // The series: one page of 255 channels, or four pages of 250.
  std::mt19937 series_random(options.seed);
  const int mode = std::uniform_int_distribution<int>(0, 1)(series_random) == 0 ? 1 : 4;
  const parlatone::AppPaths paths = parlatone::ResolveAppPaths();
  parlatone::LoadStartupSettings(paths);
  using parlatone::WriteSetting;
  namespace ini = parlatone::ini;
  WriteSetting(paths.settings_file, QString(ini::kSystem), QString(ini::kMode),
               QString::number(mode));
  WriteSetting(paths.settings_file, QString(ini::kSystem), QString(ini::kWavePath),
               sandbox.Path(u"sounds"_s));
  WriteSetting(paths.settings_file, QString(ini::kSystem), QString(ini::kCardPath),
               sandbox.Path(u"cards"_s));
  QDir().mkpath(sandbox.Path(u"cards"_s));
  Fixtures fixtures = MakeFixtures(sandbox, mode);
  if (options.skip.count(u"badload"_s) != 0) {
    for (const QString& bad : fixtures.bad_projects) {
      fixtures.files.removeAll(bad);
    }
  }

  std::printf("monkey: seed %u, %d s, series %d%s\n", options.seed, options.seconds, mode,
              options.skip.empty()
                  ? ""
                  : qPrintable(u", skipping "_s +
                               QStringList(options.skip.begin(), options.skip.end()).join(u',')));
  std::fflush(stdout);

  // The single-instance lock the editor holds, so that a second start hands over.
  QLockFile lock(sandbox.Path(u"runtime/parlatone-editor.lock"_s));
  parlatone::AcquireSingleInstanceLock(lock);
  Monkey monkey(options, std::move(fixtures), sandbox.Path(u"runtime/parlatone-editor.socket"_s));
  QTimer::singleShot(0, [&monkey] { monkey.Begin(); });
  StartWatchdog(qEnvironmentVariableIntValue("MONKEY_STALL_MS") > 0
                    ? qEnvironmentVariableIntValue("MONKEY_STALL_MS")
                    : 2000);
  const int status = QApplication::exec();
  for (const QString& scheme : schemes) {
    QDesktopServices::unsetUrlHandler(scheme);
  }
  return status;
}

#include "monkey.moc"
